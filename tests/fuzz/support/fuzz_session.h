// The runtime as one fuzz input meets it: brought up afresh when the input starts and reset when
// it ends, so that every input runs alone and a finding replays from its input by itself.
#pragma once

#include <cstdint>

#include "runtime/tb28run.h"

namespace fuzz {

// Ends the run as a finding: the message on standard error, then abort (libFuzzer saves the input).
[[noreturn]] void Finding(const char* what);

// The runtime alone: memory and the symbol table, nothing registered yet.
class RuntimeSession {
 public:
  RuntimeSession();
  ~RuntimeSession();
  RuntimeSession(const RuntimeSession&) = delete;
  RuntimeSession& operator=(const RuntimeSession&) = delete;
};

// The runtime with the program up as at start-up (its symbols, its function table, its classes and
// init procedures), plus the classes the fuzz targets make objects of.
// The exit step a quit reaches; without one, a quit is a finding.
class ProgramSession : public RuntimeSession {
 public:
  explicit ProgramSession(ExitStep exitStep = nullptr);
};

// The classes declared for fuzzing beside the program's: FUZZBOX, one variable of every storage
// type, and INDEXEDBOX, which serves indexed access.
Sym FuzzBoxClass();
// The names FUZZBOX's variables go by.
extern const char* const kFuzzBoxVariables[];
extern const std::uint32_t kFuzzBoxVariableCount;

}  // namespace fuzz

namespace fuzz {

// What every call must leave as it found it: the activation stack's depth, the recovery points
// and the error block.
struct Balance {
  std::uint32_t depth;
  std::int32_t canBreak;
  Usual errorBlock;
};
Balance BalanceNow();
// A finding when the state differs from `before`; `what` names the call.
void CheckBalance(const Balance& before, const char* what);

}  // namespace fuzz
