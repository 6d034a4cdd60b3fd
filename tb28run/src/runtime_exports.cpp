#include "runtime_exports.h"

#include <string_view>

#include "symbols_table.h"
#include "tb28run/arrays.h"
#include "tb28run/declared.h"
#include "tb28run/errors.h"
#include "tb28run/files.h"
#include "tb28run/frames.h"
#include "tb28run/intl.h"
#include "tb28run/numbers.h"
#include "tb28run/objects.h"
#include "tb28run/process.h"
#include "tb28run/strings.h"
#include "tb28run/switches.h"
#include "tb28run/symbols.h"

namespace tb {
namespace {

#define EXPORT(function) \
  { &function, declared::function }

// Functions under the runtime's own numbers.
struct ByNumber {
  Sym symbol;
  RuntimeExport entry;
};

constexpr ByNumber kByNumber[] = {
    {SYM_SUBSTR, EXPORT(SubStr)},
    {SYM_EVAL, EXPORT(Eval)},
    {SYM_SEND, EXPORT(Send)},
    {SYM_CREATEINSTANCE, EXPORT(CreateInstance)},
    {SYM_STRZERO, EXPORT(StrZero)},
    {SYM_SETCENTURY, EXPORT(SetCentury)},
    {SYM_PROCFILE, EXPORT(ProcFile)},
    {SYM_PROCNAME, EXPORT(ProcName)},
    {SYM_PROCLINE, EXPORT(ProcLine)},
    {SYM_ERRORBLOCK, EXPORT(ErrorBlock)},
    {SYM_SETEPOCH, EXPORT(SetEpoch)},
    {SYM_SETDECIMAL, EXPORT(SetDecimal)},
    {SYM_SETDECIMALSEP, EXPORT(SetDecimalSep)},
    {SYM_SETINTL, EXPORT(_SetIntl)},
    {SYM_SETDICT, EXPORT(_SetDict)},
    {SYM_SETAMPM, EXPORT(SetAmPm)},
    {SYM_ERRORLEVEL, EXPORT(ErrorLevel)},
    {SYM_NETERR, EXPORT(NetErr)},
    {SYM_SETBEEP, EXPORT(SetBeep)},
    {SYM_SETERRORLOG, EXPORT(SetErrorLog)},
    {SYM_FERROR, EXPORT(FError)},
};

// Functions whose names the program registers itself (a name the runtime predefined would take
// the number the program expects for it), found by the name of the symbol asked for.
struct ByName {
  std::string_view name;
  RuntimeExport entry;
};

constexpr ByName kByName[] = {
    {"ARRAYBUILD", EXPORT(ArrayBuild)},
    {"_ARRAYGETCOLLECTION", EXPORT(_ArrayGetCollection)},
    {"_ARRAYPUTCOLLECTION", EXPORT(_ArrayPutCollection)},
    {"_IVARGETCOLLECTION", EXPORT(_IVarGetCollection)},
    {"_IVARPUTCOLLECTION", EXPORT(_IVarPutCollection)},
    {"_SENDSELF", EXPORT(_SendSelf)},
    {"ERRORFUNC", EXPORT(ErrorFunc)},
    {"SETTHOUSANDSEP", EXPORT(SetThousandSep)},
    {"__STR", EXPORT(__Str)},
    {"FPUTS", EXPORT(FPutS)},
};

#undef EXPORT

}  // namespace

const RuntimeExport* FindRuntimeExport(Sym symbol) {
  if (symbol == 0) return nullptr;
  for (const ByNumber& e : kByNumber)
    if (e.symbol == symbol) return &e.entry;
  std::string_view name = NameOf(symbol);
  for (const ByName& e : kByName)
    if (e.name == name) return &e.entry;
  return nullptr;
}

}  // namespace tb
