// AsString and AsPsz: the text form of any value.
#include <string>

#include "classes.h"
#include "heap.h"
#include "kept_strings.h"
#include "number_text.h"
#include "string_make.h"
#include "symbols_table.h"
#include "tb28run/datetime.h"
#include "tb28run/strings.h"
#include "tb28run/value_ops.h"

namespace {

TbStr PointerText(std::uintptr_t address) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char text[2 + 2 * sizeof address] = {'0', 'x'};
  char* digit = text + 2;
  for (int shift = int(sizeof address * 8) - 4; shift >= 0; shift -= 4) *digit++ = kDigits[(address >> shift) & 0xF];
  return tb::MakeString("AsString", text, sizeof text);
}

std::string Braced(std::uint32_t type) {
  TbStr name = TypeString(type);
  return "{" + std::string(tb::Text(name), tb::Length(name)) + "}";
}

std::string ObjectText(TbObj object) {
  const tb::ClassInfo* cls = tb::ClassOf(object);
  std::string_view name = cls ? tb::NameOf(cls->symbol) : std::string_view{};
  if (name.empty()) return Braced(T_OBJECT);
  return "{" + std::string(name) + "}";
}

// The text forms of the two flags and of NIL, once made.
tb::KeptSlot keptTrue, keptFalse, keptNil;

}  // namespace

TBRT TbStr AsString(Usual value) {
  switch (TypeOf(value)) {
    case T_STRING: return AsStr(value);  // a null string is the empty string already
    case T_INT:
    case T_FLOAT:
    case T_DWORD: return tb::NaturalString("AsString", value);
    case T_LOGIC:
      return AsLogic(value) ? tb::KeptOrMade(keptTrue, "AsString", ".T.")
                            : tb::KeptOrMade(keptFalse, "AsString", ".F.");
    case T_NIL: return tb::KeptOrMade(keptNil, "AsString", "NIL");
    case T_DATE: return DToC(value);
    case T_SYMBOL: return tb::MakeString("AsString", tb::NameOf(AsSym(value)));
    case T_PTR:
    case T_PTR_CALL: return PointerText(WordOf(value));
    case T_ARRAY: {
      std::uint32_t length = AsArr(value) ? AsArr(value)->length : 0;
      return tb::MakeString("AsString", "{[" + std::to_string(length) + "]}");
    }
    case T_OBJECT: return tb::MakeString("AsString", ObjectText(AsObj(value)));
    default: return tb::MakeString("AsString", Braced(TypeOf(value)));
  }
}

TBRT const char* AsPsz(Usual value) { return tb::Text(AsString(value)); }
