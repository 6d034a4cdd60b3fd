#include "startup/function_table.h"

#include "app/start.h"
#include "errors/error_class.h"
#include "intl/set_international.h"
#include "latebound/latebound.h"
#include "tb28run/declared.h"

// X(symbol, function): the functions reachable by symbol, in the table's order.
// clang-format off
#define FUNCTION_ROWS(X) \
  X(SYM_START, Start) \
  X(SYM_STRZERO, StrZero) \
  X(SYM_PROCFILE, ProcFile) \
  X(SYM_PROCNAME, ProcName) \
  X(SYM_PROCLINE, ProcLine) \
  X(SYM_ERRORBLOCK, ErrorBlock) \
  X(SYM_EVAL, Eval) \
  X(SYM_DEFERRORGEN, DefErrorGen) \
  X(SYM_CREATEINSTANCE, CreateInstance) \
  X(SYM_ERRORFUNC, ErrorFunc) \
  X(SYM_SETINTERNATIONAL, SetInternational) \
  X(SYM_SETINTL, _SetIntl) \
  X(SYM_SETDECIMALSEP, SetDecimalSep) \
  X(SYM_SETTHOUSANDSEP, SetThousandSep) \
  X(SYM_SUBSTR, SubStr) \
  X(SYM_SETAMPM, SetAmPm) \
  X(SYM_SETDECIMAL, SetDecimal) \
  X(SYM_SETDICT, _SetDict) \
  X(SYM_SETCENTURY, SetCentury) \
  X(SYM_SETEPOCH, SetEpoch) \
  X(SYM_NETERR, NetErr) \
  X(SYM_SETBEEP, SetBeep) \
  X(SYM_SETERRORLOG, SetErrorLog) \
  X(SYM_FERROR, FError) \
  X(SYM_FPUTS, FPutS) \
  X(SYM___STR, __Str) \
  X(SYM_ERRORLEVEL, ErrorLevel) \
  X(SYM__SENDSELF, _SendSelf) \
  X(SYM___PCARRGETCOLLECTION, PcArrGetCollection) \
  X(SYM__ARRAYPUTCOLLECTION, _ArrayPutCollection) \
  X(SYM_SEND, Send) \
  X(SYM__ARRAYGETCOLLECTION, _ArrayGetCollection) \
  X(SYM___PCARRPUTCOLLECTION, PcArrPutCollection) \
  X(SYM___PCCREATEINSTANCE, PcCreateInstance) \
  X(SYM___PCIVAGETCOLLECTION, PcIvaGetCollection) \
  X(SYM___PCIVAPUTCOLLECTION, PcIvaPutCollection) \
  X(SYM___PCIVARGET, PcIVarGet) \
  X(SYM___PCIVARPUT, PcIVarPut) \
  X(SYM_ARRAYBUILD, ArrayBuild) \
  X(SYM___PCSEND, PcSend) \
  X(SYM___PCSYMBOL, PcSymbol)
// clang-format on

#define SYMBOL(symbol, function) symbol,
#define PAIR(symbol, function) {&function, declared::function},
#define ONE(symbol, function) +1
static_assert(0 FUNCTION_ROWS(ONE) == FUNCTION_COUNT, "a row for every function the table has room for");

const FunctionTableLayout FunctionTable = {{FUNCTION_ROWS(SYMBOL)}, {FUNCTION_ROWS(PAIR)}};
