#include "startup/module_record.h"

#include "app/start.h"
#include "startup/function_table.h"
#include "startup/module_init.h"

ModuleGlobalArea ModuleGlobals = {{'D', 'A', 'T', 'A'}, {0, 0, 0, 0, 0, 0, 0}};

const GlobalAreaTableLayout GlobalAreaTable = {1, {{ModuleGlobals.slots, 7}}};

const ModuleRecord TheModuleRecord = {
    FunctionTable.symbols,  // SymbolList
    3,                      // ModuleKind
    &ModuleInit,            // InitHook
    &Start,                 // MainFunction
    FUNCTION_COUNT,         // FunctionCount
    &GlobalAreaTable,       // GlobalAreaTable
    1048576,                // StackSize: the executable's stack reserve
    33554432,               // AtomTableSize
};
