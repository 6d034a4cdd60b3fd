#include "runtime_exports.h"

#include <string_view>

#include "symbols_table.h"
#include "tb28run/arrays.h"
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

// Functions under the runtime's own numbers.
struct ByNumber {
  Sym symbol;
  RuntimeExport entry;
};

constexpr ByNumber kByNumber[] = {
    {SYM_SUBSTR, {&SubStr, 3}},
    {SYM_EVAL, {&Eval, 1}},
    {SYM_SEND, {&Send, 2}},
    {SYM_CREATEINSTANCE, {&CreateInstance, 1}},
    {SYM_STRZERO, {&StrZero, 3}},
    {SYM_SETCENTURY, {&SetCentury, 1}},
    {SYM_PROCFILE, {&ProcFile, 1}},
    {SYM_PROCNAME, {&ProcName, 1}},
    {SYM_PROCLINE, {&ProcLine, 1}},
    {SYM_ERRORBLOCK, {&ErrorBlock, 1}},
    {SYM_SETEPOCH, {&SetEpoch, 1}},
    {SYM_SETDECIMAL, {&SetDecimal, 1}},
    {SYM_SETDECIMALSEP, {&SetDecimalSep, 1}},
    {SYM_SETINTL, {&_SetIntl, 1}},
    {SYM_SETDICT, {&_SetDict, 1}},
    {SYM_SETAMPM, {&SetAmPm, 1}},
    {SYM_ERRORLEVEL, {&ErrorLevel, 1}},
    {SYM_NETERR, {&NetErr, 1}},
    {SYM_SETBEEP, {&SetBeep, 1}},
    {SYM_SETERRORLOG, {&SetErrorLog, 1}},
    {SYM_FERROR, {&FError, 1}},
};

// Functions whose names the program registers itself (a name the runtime predefined would take
// the number the program expects for it), found by the name of the symbol asked for.
struct ByName {
  std::string_view name;
  RuntimeExport entry;
};

constexpr ByName kByName[] = {
    {"ARRAYBUILD", {&ArrayBuild, 0}},
    {"_ARRAYGETCOLLECTION", {&_ArrayGetCollection, 2}},
    {"_ARRAYPUTCOLLECTION", {&_ArrayPutCollection, 3}},
    {"_IVARGETCOLLECTION", {&_IVarGetCollection, 2}},
    {"_IVARPUTCOLLECTION", {&_IVarPutCollection, 3}},
    {"_SENDSELF", {&_SendSelf, 2}},
    {"ERRORFUNC", {&ErrorFunc, 1}},
    {"SETTHOUSANDSEP", {&SetThousandSep, 1}},
    {"__STR", {&__Str, 3}},
    {"FPUTS", {&FPutS, 3}},
};

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
