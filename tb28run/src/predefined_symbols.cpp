#include "predefined_symbols.h"

#include <cstddef>
#include <utility>

namespace tb {
namespace {

// Numbers that carry a meaning; the rest are held in reserve under generated names.
constexpr std::pair<Sym, const char*> kNamed[] = {
    {SYM_INIT, "INIT"},
    {SYM_SUBSTR, "SUBSTR"},
    {SYM_EVAL, "EVAL"},
    {SYM_CODEBLOCK, "CODEBLOCK"},
    {SYM_FINALIZE, "FINALIZE"},
    {SYM_SEND, "SEND"},
    {SYM_COLLECTIONGET, "COLLECTIONGET"},
    {SYM_COLLECTIONPUT, "COLLECTIONPUT"},
    {SYM_CREATEINSTANCE, "CREATEINSTANCE"},
    {SYM_ERRORLEVEL, "ERRORLEVEL"},
    {SYM_STRZERO, "STRZERO"},
    {SYM_SETCENTURY, "SETCENTURY"},
    {SYM_NETERR, "NETERR"},
    {SYM_SETBEEP, "SETBEEP"},
    {SYM_SETERRORLOG, "SETERRORLOG"},
    {SYM_DEFERRORGEN, "DEFERRORGEN"},
    {SYM_FERROR, "FERROR"},
    {SYM_PROCFILE, "PROCFILE"},
    {SYM_PROCNAME, "PROCNAME"},
    {SYM_PROCLINE, "PROCLINE"},
    {SYM_ERRORBLOCK, "ERRORBLOCK"},
    {SYM_SETEPOCH, "SETEPOCH"},
    {SYM_SETDECIMAL, "SETDECIMAL"},
    {SYM_SETDECIMALSEP, "SETDECIMALSEP"},
    {SYM_SETINTL, "_SETINTL"},
    {SYM_SETDICT, "_SETDICT"},
    {SYM_SETAMPM, "SETAMPM"},
};

}  // namespace

std::string PredefinedSymbolName(Sym n) {
  for (const auto& [number, name] : kNamed)
    if (number == n) return name;
  // "__RTRESERVED" and three digits, spelled out by hand: snprintf for some 400 names was a tenth
  // of the instructions the whole program runs.
  std::string reserved = "__RTRESERVED000";
  for (std::size_t at = reserved.size(); n > 0 && at > reserved.size() - 3; n /= 10)
    reserved[--at] = char('0' + n % 10);
  return reserved;
}

}  // namespace tb
