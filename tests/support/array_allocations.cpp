#include "array_allocations.h"

#include <cstdlib>
#include <new>

ArrayAllocations& Arrays() {
  static ArrayAllocations arrays;
  return arrays;
}

namespace {

// Each block carries its size in front, so that the count can be kept as blocks go.
constexpr std::size_t kHead = alignof(std::max_align_t);

bool FailsByNumber(ArrayAllocations& a) {
  if (a.failCountdown == 0) return false;
  if (a.failCountdown > 1) {
    --a.failCountdown;
    return false;
  }
  if (!a.onward) a.failCountdown = 0;
  ++a.failed;
  return true;
}

void* TakeArray(std::size_t size) {
  ArrayAllocations& a = Arrays();
  if ((a.failFrom && size >= a.failFrom) || FailsByNumber(a)) return nullptr;
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHead));
  if (!block) return nullptr;
  *reinterpret_cast<std::size_t*>(block) = size;
  if (a.counting) {
    a.live += size;
    if (a.live > a.peak) a.peak = a.live;
  }
  return block + kHead;
}

void GiveArray(void* memory) {
  if (!memory) return;
  auto* block = static_cast<unsigned char*>(memory) - kHead;
  std::size_t size = *reinterpret_cast<std::size_t*>(block);
  ArrayAllocations& a = Arrays();
  if (a.counting) a.live -= size < a.live ? size : a.live;
  std::free(block);
}

}  // namespace

void* operator new[](std::size_t size) {
  if (void* memory = TakeArray(size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TakeArray(size); }
void operator delete[](void* memory) noexcept { GiveArray(memory); }
void operator delete[](void* memory, std::size_t) noexcept { GiveArray(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { GiveArray(memory); }
