// The test program's array allocations (operator new[]), which every text the error handler
// builds takes its memory from: counted, and made to fail on purpose, by size or by number.
#pragma once

#include <cstddef>
#include <cstdint>

struct ArrayAllocations {
  bool counting = false;
  std::size_t failFrom = 0;  // 0: none fails for its size
  std::size_t live = 0, peak = 0;
  // The n-th allocation from when it was set fails, and every one after it when `onward`; 0: none.
  std::uint32_t failCountdown = 0;
  bool onward = false;
  std::uint32_t failed = 0;  // allocations failed by number
};

ArrayAllocations& Arrays();

// Makes the n-th array allocation from now fail (and every later one, when onward); 0: none.
inline void FailNthArrayAllocation(std::uint32_t nth, bool onward) {
  Arrays().failCountdown = nth;
  Arrays().onward = onward;
  Arrays().failed = 0;
}
