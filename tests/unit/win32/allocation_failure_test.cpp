// MessageBoxA when memory runs out: every allocation it makes gets its turn to fail, and each
// time the box answers 0 (it could not be shown) with ERROR_NOT_ENOUGH_MEMORY, or its answer.
// This program replaces the global operator new so that the n-th allocation from a chosen point
// on throws; until armed it allocates as the library does.
// The POSIX Windows layer exists only on POSIX hosts.
#ifndef _WIN32

#include <cstdlib>
#include <new>

#include "win32_test_support.h"

namespace {

long allocationsLeft = -1;  // -1: never fail
bool failed = false;

}  // namespace

void* operator new(std::size_t size) {
  if (allocationsLeft == 0) {
    failed = true;
    throw std::bad_alloc();
  }
  if (allocationsLeft > 0) --allocationsLeft;
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

constexpr int kFailedMark = 100;  // added to the exit code when an allocation failed

TEST(MessageBoxAllocation, EveryAllocationMayFail) {
  for (long n = 0;; ++n) {
    ASSERT_LT(n, 10000) << "the box never got through without a failure";
    win32_test::ChildResult result = win32_test::RunInChild("y\n", [n] {
      SetLastError(0);
      allocationsLeft = n;
      int answer = MessageBoxA(nullptr, "Confirm fix", "Fix the quorl database now ?", MB_YESNO | MB_ICONINFORMATION);
      allocationsLeft = -1;
      if (answer == 0 && GetLastError() != ERROR_NOT_ENOUGH_MEMORY) return 99;
      return answer + (failed ? kFailedMark : 0);
    });
    if (result.exitCode == IDYES) break;  // nothing failed: every allocation has had its turn
    EXPECT_TRUE(result.exitCode == kFailedMark || result.exitCode == kFailedMark + IDYES)
        << "allocation " << n << ": exit code " << result.exitCode << "\n"
        << result.output;
  }
}

}  // namespace

#endif  // _WIN32
