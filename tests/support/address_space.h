// A process that may take only a little more address space, to make allocations fail for real.
#pragma once

#if !defined(_WIN32)

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

// Leaves the calling process about `room` bytes of address space beyond what it holds now;
// false when no limit could be set. Meant for a child process that ends after the test.
//
// Under QEMU's user mode (TEST_EMULATOR) a program's RLIMIT_AS is accepted and ignored, as it
// would limit the emulator too: there the emulated address space is taken instead, every free
// part of it reserved with nothing behind it, and `room` bytes of one reservation given back.
inline bool LimitAddressSpace(std::size_t room) {
#if defined(TEST_EMULATOR)
  const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
  char* roomAt = nullptr;
  for (std::size_t size = std::size_t(1) << 30; size >= page; size /= 2) {
    for (;;) {
      void* taken = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
      if (taken == MAP_FAILED) break;
      if (!roomAt && size >= room) roomAt = static_cast<char*>(taken);
    }
  }
  // The emulator keeps the program's break out of the way of its mappings: malloc, refused a
  // mapping, would grow the break instead. It is grown as far as it goes first.
  for (std::size_t size = std::size_t(1) << 24; size >= page; size /= 2)
    while (sbrk(static_cast<intptr_t>(size)) != reinterpret_cast<void*>(-1)) {
    }
  return !roomAt || munmap(roomAt, room) == 0;
#else
  long pages = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  rlimit limit{};
  if (pages == 0 || getrlimit(RLIMIT_AS, &limit) != 0) return false;
  limit.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + room;
  return setrlimit(RLIMIT_AS, &limit) == 0;
#endif
}

#endif
