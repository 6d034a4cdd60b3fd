// The types of dynamic values, their empty values and their names.
#include <string>

#include "heap.h"
#include "kept_strings.h"
#include "string_make.h"
#include "tb28run/value_ops.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Each type's name as a string, once made, by type code (a pointer argument's code shares the
// pointer's name and its string).
tb::KeptSlot keptTypeNames[T_USUAL + 1];

}  // namespace

TBRT std::uint32_t UsualType(Usual value) { return IsPointerValue(value) ? T_PTR : TypeOf(value); }

TBRT Usual EmptyUsual(std::uint32_t type) {
  switch (type) {
    case T_INT: return IntValue(0);
    case T_DWORD: return IntValue(0);
    case T_FLOAT: return tb::NewFloat(0.0);
    case T_STRING: return StringValue(tb::NewString("", 0));
    case T_LOGIC: return LogicValue(false);
    case T_ARRAY: return ArrayValue(tb::NewArray(0));
    case T_PTR:
    case T_PTR_CALL: return PtrValue(nullptr);
    case T_SYMBOL: return SymbolValue(0);
    case T_DATE: return Usual{0, T_DATE};
    default: return NilValue();
  }
}

TBRT std::int32_t Empty(Usual value) {
  switch (TypeOf(value)) {
    case T_NIL: return 1;
    case T_INT:
    case T_DWORD: return std::uint32_t(WordOf(value)) == 0;
    case T_FLOAT: return tb::FloatOf(value) == 0.0;
    case T_STRING: {
      const char* text = tb::Text(AsStr(value));
      for (std::uint32_t i = 0, n = tb::Length(AsStr(value)); i < n; ++i)
        if (!IsBlank(text[i])) return 0;
      return 1;
    }
    case T_ARRAY: return !AsArr(value) || AsArr(value)->length == 0;
    case T_LOGIC:
    case T_SYMBOL:
    case T_DATE: return std::uint32_t(WordOf(value)) == 0;
    default: return WordOf(value) == 0;  // pointers, objects, code blocks
  }
}

TBRT std::int32_t IsNumeric(Usual value) {
  return HasType(value, T_INT) || HasType(value, T_FLOAT) || HasType(value, T_DWORD);
}
TBRT std::int32_t IsPtr(Usual value) { return IsPointerValue(value); }
TBRT std::int32_t IsString(Usual value) { return HasType(value, T_STRING); }
TBRT std::int32_t IsSymbol(Usual value) { return HasType(value, T_SYMBOL); }
TBRT std::int32_t IsArray(Usual value) { return HasType(value, T_ARRAY); }

TBRT TbStr TypeString(std::uint32_t typeCode) {
  const char* name = nullptr;
  switch (typeCode) {
    case T_NIL: name = "NIL"; break;
    case T_INT: name = "LONGINT"; break;
    case T_DATE: name = "DATE"; break;
    case T_FLOAT: name = "FLOAT"; break;
    case T_ARRAY: name = "ARRAY"; break;
    case T_OBJECT: name = "OBJECT"; break;
    case T_STRING: name = "STRING"; break;
    case T_LOGIC: name = "LOGIC"; break;
    case T_CODEBLOCK: name = "CODEBLOCK"; break;
    case T_SYMBOL: name = "SYMBOL"; break;
    case T_DWORD: name = "DWORD"; break;
    case T_PTR:
    case T_PTR_CALL: name = "PTR"; break;
    case T_USUAL: name = "USUAL"; break;
  }
  if (name) {
    return tb::KeptOrMade(keptTypeNames[typeCode == T_PTR_CALL ? T_PTR : typeCode], "TypeString", name);
  }
  return tb::MakeString("TypeString", "UNKNOWN(" + std::to_string(typeCode) + ")");
}
