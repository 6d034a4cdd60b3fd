// Keeps the runtime values a test makes alive across collections: a frame registered on the
// activation stack whose locals hold them. Values a test keeps only in C++ heap storage (a
// std::vector of cases) are otherwise invisible to the collector.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tb28run/frames.h"
#include "tb28run/values.h"

class ValueKeeper {
 public:
  static constexpr std::uint32_t kCapacity = 512;

  // Registers the frame; create it once the runtime is up, and destroy it before it goes down.
  ValueKeeper() {
    frame_.info = &info_;
    frame_.locals = slots_;
    frame_.localCount = kCapacity;
    INCKidStackPtr(&frame_);
  }
  ~ValueKeeper() { DECKidStackPtr(&frame_); }
  ValueKeeper(const ValueKeeper&) = delete;
  ValueKeeper& operator=(const ValueKeeper&) = delete;

  // The value, kept until the keeper goes.
  Usual Keep(Usual value) {
    if (next_ == kCapacity) {
      std::fprintf(stderr, "ValueKeeper: more than %u values to keep\n", unsigned(kCapacity));
      std::abort();
    }
    slots_[next_++] = value;
    return value;
  }

 private:
  FrameInfo info_{"TEST", "value_keeper.h"};
  Usual slots_[kCapacity] = {};
  Frame frame_{};
  std::uint32_t next_ = 0;
};
