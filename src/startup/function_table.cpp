#include "startup/function_table.h"

#include "app/start.h"
#include "errors/error_class.h"

// Row i of the pairs belongs to symbol i.
const FunctionTableLayout FunctionTable = {
    {
        SYM_START,
        SYM_PROCFILE,
        SYM_PROCNAME,
        SYM_PROCLINE,
        SYM_ERRORBLOCK,
        SYM_EVAL,
        SYM_DEFERRORGEN,
        SYM_CREATEINSTANCE,
        SYM_ERRORFUNC,
        SYM__SENDSELF,
        SYM_SEND,
    },
    {
        {&Start, 0},
        {&ProcFile, 1},
        {&ProcName, 1},
        {&ProcLine, 1},
        {&ErrorBlock, 1},
        {&Eval, 1},
        {&DefErrorGen, 1},
        {&CreateInstance, 1},
        {&ErrorFunc, 1},
        {&_SendSelf, 2},
        {&Send, 2},
    },
};
