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
  auto isText = [&] { return HasType(value, T_STRING) || IsNilValue(value); };
  auto report = [&] { return tb::TypeReport("Cast2Psz", value, T_STRING); };
  if (!tb::Insist(isText, report, tb::Into(value)).holds || IsNilValue(value)) return "";
  return tb::Text(AsStr(value));
}

TBRT const char* String2Psz(TbStr text) { return tb::Text(text); }

TBRT std::uint32_t SLen(TbStr text) { return tb::Length(text); }
