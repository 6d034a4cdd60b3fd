// Test seams of the runtime. Not for the program: only tests include this. Only the test build of
// the library exports them (defined under src/testing/); the shipped library has none.
#pragma once

#include <cstdint>

#include "tb28run/api.h"

enum TbHook : std::uint32_t {
  TB_HOOK_MEMINIT,
  TB_HOOK_MEMALLOC,
  TB_HOOK_ATOMINIT,
  TB_HOOK_CREATEATOMTABLE,
  TB_HOOK_SYSADDATOM,
  TB_HOOK_RTINIT,
  TB_HOOK_DECLARECLASS,
  TB_HOOK_DECLAREMETHOD,
  TB_HOOK_COUNT
};

// Makes the n-th call (1-based, counted from now) of the export fail; 0 turns it off.
TBRT void TbTestFailNthCall(TbHook hook, std::uint32_t n);
// Calls of the export since the last reset.
TBRT std::uint32_t TbTestCallCount(TbHook hook);

// Called with the name of a bring-up event ("RTInit", "RTExit", "__ConvertResult").
using TbEventSink = void (*)(const char* event);
TBRT void TbTestSetEventSink(TbEventSink sink);

// Overrides what __CollectPublics and _GetRTCount answer; -1 restores the real answer.
TBRT void TbTestSetCollectPublics(std::int32_t answer);
TBRT void TbTestSetRTCount(std::int64_t answer);

// Releases everything and forgets every setting, hook and counter.
TBRT void TbTestReset(void);

// Blocks from MemAlloc not yet given back with MemFree.
TBRT std::uint32_t TbTestLiveMemBlocks(void);

struct TbHeapStats {
  std::uint64_t liveBlocks;
  std::uint64_t liveBytes;
  std::uint64_t allocatedBlocks;
  std::uint64_t chunkBytes;  // taken from the C heap for the chunks of small blocks
};
TBRT TbHeapStats TbTestHeapStats(void);

// Runs a collection now; turns collecting before every allocation on or off.
TBRT void TbTestCollect(void);
TBRT void TbTestSetGcStress(std::int32_t on);
TBRT std::uint64_t TbTestCollections(void);
// Turns the conservative scan of the native stack off (0) or on, to see exactly what the
// precise roots keep. The reset turns it on again.
TBRT void TbTestSetStackScan(std::int32_t on);
// A weak probe: whether a block the runtime handed out is still allocated.
TBRT std::int32_t TbTestIsLive(const void* block);
// The start of the block whose own memory holds the address, as the collector finds it for a
// word of the native stack; null when no block does.
TBRT const void* TbTestBlockContaining(const void* address);

// Injected faults. Each counts its events from the moment it is set: the n-th (1-based) fails,
// and so do the count-1 after it (count 0: every one from the n-th on). n 0 turns it off; the
// reset turns every one off. Unset, each costs its path one test of a word.

// Allocations of the collected heap: strings, arrays and their slots, floats, instances.
TBRT void TbTestFailAllocations(std::uint32_t nth, std::uint32_t count);
// The allocations failed on purpose since the hook was last set.
TBRT std::uint32_t TbTestFailedAllocations(void);

// The runtime's file operations, as bits to choose which of them are counted.
enum TbFileOp : std::uint32_t {
  TB_FILE_OPEN = 0x01,
  TB_FILE_LOCK = 0x02,  // a host without locks of their own (Windows) counts none
  TB_FILE_WRITE = 0x04,
  TB_FILE_SEEK = 0x08,
  TB_FILE_CLOSE = 0x10,
  TB_FILE_ANY = 0x1F,
};
struct TbFileFault {
  std::uint32_t ops;    // the operations counted
  std::uint32_t nth;    // the first to fail; 0: none
  std::uint32_t count;  // how many fail from there; 0: every one
  // The host's error number the operation fails with: an errno value on POSIX hosts, a Windows
  // error code on Windows. A close that fails has still released the file.
  std::int32_t error;
  // A write that fails puts out half its bytes and answers that, as a short write does; one of
  // a single byte fails with the error.
  std::int32_t shortWrite;
};
TBRT void TbTestFailFileOps(const TbFileFault* fault);  // null turns it off
// The file operations failed on purpose since the hook was last set.
TBRT std::uint32_t TbTestFailedFileOps(void);
