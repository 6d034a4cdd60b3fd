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

}  // namespace

void DebugLaunchCheck() {
  static const FrameInfo kFrame{"DEBUGLAUNCHCHECK", "startup/debug_launch.cpp"};
  Usual locals[1];
  FrameGuard frame(kFrame, 0, nullptr, locals, 1);
  if (__CollectPublics() == 0) return;
  char buffer[DEBUG_LAUNCH_BUFFER_SIZE] = {};
  GetModuleFileNameA(nullptr, buffer, DEBUG_LAUNCH_BUFFER_SIZE);
  locals[0] = StringValue(Psz2String(buffer));
  TbStr ending = Upper(Right(AsStr(locals[0]), 3));
  if (!_CPSE(ending, Psz2String("DBG"))) ExitProcess(0);
  CallKest<declared::Eval>(Eval, CodeBlockValue(&kReadProjectDirectory),
                           Usual{reinterpret_cast<std::uintptr_t>(buffer), T_PTR_CALL});
}
