// The values one fuzz input makes, kept alive for as long as the input runs: they sit in the
// local slots of a frame on the activation stack, where the collector looks for roots.
#pragma once

#include <cstdint>

#include "tb28run/frames.h"
#include "tb28run/values.h"

namespace fuzz {

class ValueRoots {
 public:
  static constexpr std::uint32_t kCapacity = 512;

  // Registers the frame: make it once the runtime is up, and let it go before the reset.
  ValueRoots() {
    frame_.info = &info_;
    frame_.locals = slots_;
    frame_.localCount = kCapacity;
    INCKidStackPtr(&frame_);
  }
  ~ValueRoots() { DECKidStackPtr(&frame_); }
  ValueRoots(const ValueRoots&) = delete;
  ValueRoots& operator=(const ValueRoots&) = delete;

  // The value, kept until the input ends; NIL once every slot is taken, so that no value handed
  // out goes unrooted.
  Usual Keep(Usual value) {
    if (used_ == kCapacity) return NilValue();
    slots_[used_++] = value;
    return value;
  }
  bool Full() const { return used_ == kCapacity; }

 private:
  FrameInfo info_{"FUZZINPUT", "tests/fuzz/support/value_roots.h"};
  Usual slots_[kCapacity] = {};
  Frame frame_{};
  std::uint32_t used_ = 0;
};

}  // namespace fuzz
