#include "startup/module_record.h"

#include "app/start.h"
#include "startup/function_table.h"
#include "startup/module_init.h"

ModuleGlobalArea ModuleGlobals = {{'D', 'A', 'T', 'A'}, {0, 0, 0, 0, 0, 0, 0}};

const GlobalAreaTableLayout GlobalAreaTable = {1, {{ModuleGlobals.slots, 7}}};

const ModuleRecord TheModuleRecord = {
    .SymbolList = FunctionTable.symbols,
    .ModuleKind = 3,
    .InitHook = &ModuleInit,
    .MainFunction = &Start,
    .FunctionCount = FUNCTION_COUNT,
    .GlobalAreaTable = &GlobalAreaTable,
    .StackSize = 1048576,  // the executable's stack reserve
    .AtomTableSize = 33554432,
};
