#include "startup/function_table.h"

#include "app/start.h"
#include "errors/error_class.h"
#include "intl/set_international.h"
#include "latebound/latebound.h"

// clang-format off
// Row i of the pairs belongs to symbol i.
const FunctionTableLayout FunctionTable = {
    {
        SYM_START,  // row 0
        SYM_STRZERO,  // row 1
        SYM_PROCFILE,  // row 2
        SYM_PROCNAME,  // row 3
        SYM_PROCLINE,  // row 4
        SYM_ERRORBLOCK,  // row 5
        SYM_EVAL,  // row 6
        SYM_DEFERRORGEN,  // row 7
        SYM_CREATEINSTANCE,  // row 8
        SYM_ERRORFUNC,  // row 9
        SYM_SETINTERNATIONAL,  // row 10
        SYM_SETINTL,  // row 11
        SYM_SETDECIMALSEP,  // row 12
        SYM_SETTHOUSANDSEP,  // row 13
        SYM_SUBSTR,  // row 14
        SYM_SETAMPM,  // row 15
        SYM_SETDECIMAL,  // row 16
        SYM_SETDICT,  // row 17
        SYM_SETCENTURY,  // row 18
        SYM_SETEPOCH,  // row 19
        SYM_NETERR,  // row 20
        SYM_SETBEEP,  // row 21
        SYM_SETERRORLOG,  // row 22
        SYM_FERROR,  // row 23
        SYM_FPUTS,  // row 24
        SYM___STR,  // row 25
        SYM_ERRORLEVEL,  // row 26
        SYM__SENDSELF,  // row 27
        SYM___PCARRGETCOLLECTION,  // row 28
        SYM__ARRAYPUTCOLLECTION,  // row 29
        SYM_SEND,  // row 30
        SYM__ARRAYGETCOLLECTION,  // row 31
        SYM___PCARRPUTCOLLECTION,  // row 32
        SYM___PCCREATEINSTANCE,  // row 33
        SYM___PCIVAGETCOLLECTION,  // row 34
        SYM___PCIVAPUTCOLLECTION,  // row 35
        SYM___PCIVARGET,  // row 36
        SYM___PCIVARPUT,  // row 37
        SYM_ARRAYBUILD,  // row 38
        SYM___PCSEND,  // row 39
        SYM___PCSYMBOL,  // row 40
    },
    {
        {&Start, 0},  // row 0
        {&StrZero, 3},  // row 1
        {&ProcFile, 1},  // row 2
        {&ProcName, 1},  // row 3
        {&ProcLine, 1},  // row 4
        {&ErrorBlock, 1},  // row 5
        {&Eval, 1},  // row 6
        {&DefErrorGen, 1},  // row 7
        {&CreateInstance, 1},  // row 8
        {&ErrorFunc, 1},  // row 9
        {&SetInternational, 1},  // row 10
        {&_SetIntl, 1},  // row 11
        {&SetDecimalSep, 1},  // row 12
        {&SetThousandSep, 1},  // row 13
        {&SubStr, 3},  // row 14
        {&SetAmPm, 1},  // row 15
        {&SetDecimal, 1},  // row 16
        {&_SetDict, 1},  // row 17
        {&SetCentury, 1},  // row 18
        {&SetEpoch, 1},  // row 19
        {&NetErr, 1},  // row 20
        {&SetBeep, 1},  // row 21
        {&SetErrorLog, 1},  // row 22
        {&FError, 1},  // row 23
        {&FPutS, 3},  // row 24
        {&__Str, 3},  // row 25
        {&ErrorLevel, 1},  // row 26
        {&_SendSelf, 2},  // row 27
        {&PcArrGetCollection, 0},  // row 28
        {&_ArrayPutCollection, 3},  // row 29
        {&Send, 2},  // row 30
        {&_ArrayGetCollection, 2},  // row 31
        {&PcArrPutCollection, 0},  // row 32
        {&PcCreateInstance, 1},  // row 33
        {&PcIvaGetCollection, 0},  // row 34
        {&PcIvaPutCollection, 0},  // row 35
        {&PcIVarGet, 2},  // row 36
        {&PcIVarPut, 3},  // row 37
        {&ArrayBuild, 0},  // row 38
        {&PcSend, 2},  // row 39
        {&PcSymbol, 1},  // row 40
    },
};
// clang-format on
