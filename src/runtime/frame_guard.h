// Every routine of the program registers its activation for as long as it runs.
#pragma once

#include <cstdint>

#include "tb28run/frames.h"

class FrameGuard {
 public:
  // `args` are the routine's argument slots as received; `locals` the slots of its own that
  // hold collectable values (cleared before registration).
  explicit FrameGuard(const FrameInfo& info, std::uint32_t countWord = 0, Usual* args = nullptr,
                      Usual* locals = nullptr, std::uint32_t localCount = 0)
      : frame_{} {
    frame_.info = &info;
    frame_.countWord = countWord;
    frame_.args = args;
    frame_.locals = locals;
    frame_.localCount = localCount;
    for (std::uint32_t i = 0; i < localCount; ++i) locals[i] = NilValue();
    INCKidStackPtr(&frame_);
  }
  ~FrameGuard() { DECKidStackPtr(&frame_); }
  FrameGuard(const FrameGuard&) = delete;
  FrameGuard& operator=(const FrameGuard&) = delete;

 private:
  Frame frame_;
};
