#include <cstring>

#include "error_road.h"
#include "heap.h"
#include "string_make.h"
#include "tb28run/strings.h"

// A string of its own every time, the empty one too.
TBRT TbStr Psz2String(const char* text) {
  if (!text) text = "";
  return tb::MakeStringRaising("Psz2String", text, std::strlen(text));
}

TBRT const char* Cast2Psz(Usual value) {
  for (;;) {
    if (HasType(value, T_STRING)) return tb::Text(AsStr(value));
    if (IsNilValue(value)) return "";
    tb::Answer a = tb::RaiseTypeError("Cast2Psz", value, T_STRING);
    if (a.resolution == tb::Resolution::Default) return "";
    if (a.resolution == tb::Resolution::Substitute) value = a.value;
  }
}

TBRT const char* String2Psz(TbStr text) { return tb::Text(text); }

TBRT std::uint32_t SLen(TbStr text) { return tb::Length(text); }
