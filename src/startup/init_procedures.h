// The init procedures module initialisation runs, in order, after the declarations.
#pragma once

using InitProcedure = void (*)();

void NoOperation();
void CallNoOperation();
// Keeps the reference to the alias field symbol A; does nothing at run time.
void ReferAliasFieldAccess();

extern const InitProcedure INIT_PROCEDURES[];
extern const unsigned INIT_PROCEDURE_COUNT;
