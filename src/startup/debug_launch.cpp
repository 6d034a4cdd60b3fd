#include "startup/debug_launch.h"

#include <windows.h>

#include "runtime/call.h"
#include "runtime/frame_guard.h"
#include "runtime/tb28run.h"

namespace {

// The block's one argument is the buffer's address; it reads TBCurrentPrjDir into it.
Usual ReadProjectDirectory(std::uint32_t countWord, Usual* args) {
  static const FrameInfo kFrame{"DEBUGLAUNCHCHECK:BLOCK", "startup/debug_launch.cpp"};
  FrameGuard frame(kFrame, countWord, args);
  char* buffer = static_cast<char*>(_P2Ptr(args[0]));
  if (GetEnvironmentVariableA("TBCurrentPrjDir", buffer, DEBUG_LAUNCH_BUFFER_SIZE) == 0) ExitProcess(0);
  return LogicValue(true);
}

const CodeBlock kReadProjectDirectory{1, &ReadProjectDirectory};

// The largest block the path is read into: a Windows path of 32,767 UTF-16 units in a
// double-byte code page.
constexpr std::uint32_t kLongestPathBytes = 65536;

// The executable's path, read into the buffer first. A path that does not fit (the buffer then
// holds a cut one and the answer is the buffer's size) is read again into blocks twice as large
// until it fits, so that the check looks at the real name. A path that never fits, or no block
// for it, gives the empty string, which the check refuses: a cut name proves nothing.
TbStr ExecutablePath(char* buffer) {
  if (GetModuleFileNameA(nullptr, buffer, DEBUG_LAUNCH_BUFFER_SIZE) < DEBUG_LAUNCH_BUFFER_SIZE) {
    return Psz2String(buffer);
  }
  for (std::uint32_t size = 2 * DEBUG_LAUNCH_BUFFER_SIZE; size <= kLongestPathBytes; size *= 2) {
    char* block = static_cast<char*>(MemAlloc(size));
    if (block == nullptr) break;
    bool fits = GetModuleFileNameA(nullptr, block, size) < size;
    TbStr path = fits ? Psz2String(block) : nullptr;
    MemFree(block);
    if (fits) return path;
  }
  return Psz2String("");
}

}  // namespace

void DebugLaunchCheck() {
  static const FrameInfo kFrame{"DEBUGLAUNCHCHECK", "startup/debug_launch.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, 0, nullptr, locals, 1);
  if (__CollectPublics() == 0) return;
  char buffer[DEBUG_LAUNCH_BUFFER_SIZE] = {};
  locals[0] = StringValue(ExecutablePath(buffer));
  TbStr ending = Upper(Right(AsStr(locals[0]), 3));
  if (!_CPSE(ending, Psz2String("DBG"))) ExitProcess(0);
  CallKest<declared::Eval>(Eval, CodeBlockValue(&kReadProjectDirectory),
                           Usual{reinterpret_cast<std::uintptr_t>(buffer), T_PTR_CALL});
}
