// One fuzz input as the targets over the program take it: the program brought up afresh, the
// input's values kept where the collector finds them, and values made from the input's bytes.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "answering_block.h"
#include "fuzz_session.h"
#include "value_maker.h"
#include "value_roots.h"

namespace fuzz {

struct ProgramInput {
  ProgramInput(const std::uint8_t* data, std::size_t size, ExitStep exitStep = nullptr)
      : in(data, size), session(exitStep), maker(in, roots) {}

  FuzzedDataProvider in;
  ProgramSession session;
  ValueRoots roots;
  ValueMaker maker;
};

// An input whose runtime errors go to the answering block its own bytes script (answering_block.h).
struct AnsweredInput : ProgramInput {
  AnsweredInput(const std::uint8_t* data, std::size_t size) : ProgramInput(data, size) { InstallAnsweringBlock(maker); }
};

// The bytes of a string value; for a value of another type a finding that `what` names.
inline std::string StringOf(Usual value, const char* what) {
  if (value.type != T_STRING) Finding(what);
  return std::string(String2Psz(AsStr(value)), SLen(AsStr(value)));
}

}  // namespace fuzz
