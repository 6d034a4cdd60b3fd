// Values of every type, made from fuzz input: numbers and texts of every shape, names the program
// and the fuzz classes know, nested and self-containing arrays, objects of every class, code
// blocks, symbols, pointers, and type codes a value should never carry.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "runtime/tb28run.h"
#include "value_roots.h"

namespace fuzz {

class ValueMaker {
 public:
  ValueMaker(FuzzedDataProvider& in, ValueRoots& roots) : in_(in), roots_(roots) {}

  // Every value made is kept in the roots before anything else can allocate.
  Usual Any(unsigned depth = 0);
  // A value that needs no allocation and names nothing: NIL, numbers, dates, logicals, symbols.
  Usual Plain();
  // A string: arbitrary bytes, or a name the program or the fuzz classes know (either case).
  Usual Text();
  Usual Name();
  Usual Number();
  Usual Array(unsigned depth);
  Usual Object(unsigned depth);
  Usual Block();
  Sym Symbol();
  // A variable of the Error class; now and then any symbol.
  Sym ErrorField();

  FuzzedDataProvider& In() { return in_; }
  ValueRoots& Roots() { return roots_; }

 private:
  const char* KnownName();

  FuzzedDataProvider& in_;
  ValueRoots& roots_;
};

}  // namespace fuzz
