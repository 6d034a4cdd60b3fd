// The init procedures module initialisation runs, in order, after the declarations.
#pragma once

using InitProcedure = void (*)();

void NoOperation();
void CallNoOperation();
// Refers to the runtime's alias field access with the symbol A; does nothing at run time.
void ReferAliasFieldAccess();

extern const InitProcedure INIT_PROCEDURES[];
extern const unsigned INIT_PROCEDURE_COUNT;
