#include "startup/function_table.h"

#include "app/start.h"
#include "errors/error_class.h"

// Row i of the pairs belongs to symbol i. The comments give each row's place in the full table.
const FunctionTableLayout FunctionTable = {
    {
        SYM_START,           // row 0
        SYM_STRZERO,         // row 1
        SYM_PROCFILE,        // row 2
        SYM_PROCNAME,        // row 3
        SYM_PROCLINE,        // row 4
        SYM_ERRORBLOCK,      // row 5
        SYM_EVAL,            // row 6
        SYM_DEFERRORGEN,     // row 7
        SYM_CREATEINSTANCE,  // row 8
        SYM_ERRORFUNC,       // row 9
        SYM_SETINTL,         // row 11
        SYM_SETDECIMALSEP,   // row 12
        SYM_SETTHOUSANDSEP,  // row 13
        SYM_SUBSTR,          // row 14
        SYM_SETAMPM,         // row 15
        SYM_SETDECIMAL,      // row 16
        SYM_SETDICT,         // row 17
        SYM_SETCENTURY,      // row 18
        SYM_SETEPOCH,        // row 19
        SYM___STR,           // row 25
        SYM__SENDSELF,       // row 27
        SYM_SEND,            // row 30
    },
    {
        {&Start, 0},      {&StrZero, 3},       {&ProcFile, 1},       {&ProcName, 1},       {&ProcLine, 1},
        {&ErrorBlock, 1}, {&Eval, 1},          {&DefErrorGen, 1},    {&CreateInstance, 1}, {&ErrorFunc, 1},
        {&_SetIntl, 1},   {&SetDecimalSep, 1}, {&SetThousandSep, 1}, {&SubStr, 3},         {&SetAmPm, 1},
        {&SetDecimal, 1}, {&_SetDict, 1},      {&SetCentury, 1},     {&SetEpoch, 1},       {&__Str, 3},
        {&_SendSelf, 2},  {&Send, 2},
    },
};
