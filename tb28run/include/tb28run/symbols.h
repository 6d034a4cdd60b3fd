// Symbols: names numbered by the runtime. Below 444 the runtime's own; from 444 the program's.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

constexpr Sym FIRST_PROGRAM_SYMBOL = 444;

// The runtime's own symbols that programs name by number.
enum PredefinedSymbol : Sym {
  SYM_INIT = 33,
  SYM_SUBSTR = 73,
  SYM_EVAL = 86,
  SYM_CODEBLOCK = 116,
  SYM_FINALIZE = 118,  // sent to an object the runtime is about to release
  SYM_SEND = 184,
  SYM_COLLECTIONGET = 205,  // indexed read of an object that serves indexed access
  SYM_COLLECTIONPUT = 206,  // indexed write of such an object
  SYM_CREATEINSTANCE = 239,
  SYM_ERRORLEVEL = 240,
  SYM_STRZERO = 299,
  SYM_SETCENTURY = 311,
  SYM_NETERR = 312,
  SYM_SETBEEP = 313,
  SYM_SETERRORLOG = 360,
  SYM_DEFERRORGEN = 378,
  SYM_FERROR = 387,
  SYM_PROCFILE = 390,
  SYM_PROCNAME = 391,
  SYM_PROCLINE = 392,
  SYM_ERRORBLOCK = 394,
  SYM_SETEPOCH = 395,
  SYM_SETDECIMAL = 397,
  SYM_SETDECIMALSEP = 399,
  SYM_SETINTL = 424,
  SYM_SETDICT = 425,
  SYM_SETAMPM = 426,
};

// The name registered for the symbol, or "" for a number no name has.
TBRT const char* Symbol2String(Sym symbol);
// The symbol of a name, registering it when new. Names are looked up in capitals, so that
// "Eval" and "EVAL" are one symbol; an empty name is the empty symbol.
TBRT Sym String2Symbol(TbStr name);
