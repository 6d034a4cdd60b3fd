// A value as text for comparisons: NIL, 3, 'text', #NAME (# alone for the empty symbol), {1, 2},
// NULLARRAY, OBJ{CLASSNAME}, NULLOBJ.
#pragma once

#include <string>

#include "tb28run/arrays.h"
#include "tb28run/strings.h"
#include "tb28run/symbols.h"
#include "tb28run/values.h"

inline std::string Describe(const Usual& u) {
  switch (u.type) {
    case T_NIL: return "NIL";
    case T_INT: return std::to_string(AsInt(u));
    case T_SYMBOL: return std::string("#") + Symbol2String(Sym(u.value));
    case T_STRING: return "'" + std::string(String2Psz(AsStr(u)), SLen(AsStr(u))) + "'";
    case T_LOGIC: return u.value ? ".T." : ".F.";
    case T_ARRAY: {
      if (!u.value) return "NULLARRAY";
      std::string text = "{";
      for (std::uint32_t i = 1; i <= ALen(AsArr(u)); ++i) text += (i > 1 ? ", " : "") + Describe(ArrayGet(AsArr(u), i));
      return text + "}";
    }
    case T_OBJECT: return u.value ? std::string("OBJ") + AsPsz(u) : "NULLOBJ";
    default: return "T" + std::to_string(u.type) + ":" + AsPsz(u);
  }
}
