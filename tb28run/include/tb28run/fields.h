// Fields of work areas reached through an alias: ALIAS->FIELD read and assigned.
#pragma once

#include "tb28run/values.h"

// The runtime keeps no work areas, so an alias never names an open one: both raise the
// runtime's error for an unknown alias, generic code 14 ("Variable does not exist") with the
// description "Alias does not exist", the alias as the offending first argument and the alias,
// the field (and the value assigned) in ARGS. The error offers the default and a substitute of
// any type; it offers no retry, since nothing can open a work area meanwhile.

// The field's value: the error block's substitute, else NIL.
TBRT Usual FieldGetAlias(Sym alias, Sym field);
// The value as stored: the error block's substitute, else NIL (nothing is stored).
TBRT Usual FieldPutAlias(Sym alias, Sym field, Usual value);
