// The process entry, run in child processes: exit codes and what ran, for every way start-up ends.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/start.h"
#include "program_fixture.h"

#if !defined(_WIN32)
namespace {

void PrintEvent(const char* event) { std::fprintf(stderr, "[%s]", event); }

int AnswerNo(HWND, LPCSTR, LPCSTR caption, UINT) {
  std::fprintf(stderr, "[box:%s]", caption);
  return IDNO;
}

std::int32_t InitFails() {
  std::fprintf(stderr, "[init]");
  return 7;
}

std::int32_t InitSucceeds() {
  std::fprintf(stderr, "[init]");
  return 0;
}

Usual MainReturns42(std::uint32_t, Usual*) {
  std::fprintf(stderr, "[main]");
  return IntValue(42);
}

Usual MainShowsCommandLine(std::uint32_t, Usual*) {
  const char* source = GetCommandLineA();
  bool exact = std::memcmp(CommandLineCopy, source, std::strlen(source) + 1) == 0;
  std::fprintf(stderr, "[copy:%s|%s|%zu]", CommandLineCopy, exact ? "exact" : "differs", std::strlen(CommandLineCopy));
  return NilValue();
}

ModuleRecord Record(InitHookFn init, KestFn main) {
  ModuleRecord record = TheModuleRecord;
  record.InitHook = init;
  record.MainFunction = main;
  return record;
}

class ProcessEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TbTestReset();
    Win32TestReset();
  }
  void TearDown() override {
    TbTestReset();
    Win32TestReset();
  }
  // Runs the entry in a child with the hooks that report what happened.
  static void Enter(const ModuleRecord& record) {
    TbTestSetEventSink(&PrintEvent);
    Win32TestSetMessageBoxHook(&AnswerNo);
    ProcessEntryWith(record);
  }
};

struct Failure {
  const char* name;
  TbHook hook;
  std::uint32_t nth;
};

TEST_F(ProcessEntryTest, EveryBringUpFailureExitsMinusOneSilentlyWithoutRTExit) {
  const Failure failures[] = {
      {"MemInit", TB_HOOK_MEMINIT, 1},
      {"MemAlloc", TB_HOOK_MEMALLOC, 1},
      {"AtomInit", TB_HOOK_ATOMINIT, 1},
      {"CreateAtomTable", TB_HOOK_CREATEATOMTABLE, 1},
      {"first SysAddAtom", TB_HOOK_SYSADDATOM, 1},
      {"30th SysAddAtom", TB_HOOK_SYSADDATOM, 30},
      {"RTInit", TB_HOOK_RTINIT, 1},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.name);
    // The child exits with 255 and reports neither RTExit nor a box; the regex forbids both.
    EXPECT_EXIT(
        {
          TbTestFailNthCall(f.hook, f.nth);
          Enter(TheModuleRecord);
        },
        ::testing::ExitedWithCode(255), "^(\\[RTInit\\])?$");
  }
}

TEST_F(ProcessEntryTest, LaterNamesAreNotRegisteredAfterARefusal) {
  EXPECT_EXIT(
      {
        TbTestFailNthCall(TB_HOOK_SYSADDATOM, 30);
        Win32TestSetMessageBoxHook(&AnswerNo);
        TbTestSetEventSink(&PrintEvent);
        std::atexit([] { std::fprintf(stderr, "[calls:%u]", TbTestCallCount(TB_HOOK_SYSADDATOM)); });
        ProcessEntryWith(TheModuleRecord);
      },
      ::testing::ExitedWithCode(255), "^\\[calls:30\\]$");
}

TEST_F(ProcessEntryTest, DamagedAtomTableIsAStartupFailure) {
  static const unsigned char kBad[] = {'A', 'T', 'O', 'M', 'T', 'A', 'B', 'L', 'X', 0, 0, 0, 0, 0, 0, 0};
  static const unsigned char kPastEnd[] = {'A', 'T', 'O', 'M', 'T', 'A', 'B', 'L', 'E', 0, 0, 0, 9, 0, 0, 0, 'A', 0};
  for (const auto& [name, bytes, size] :
       {std::tuple{"bad signature", kBad, sizeof kBad}, std::tuple{"length past the end", kPastEnd, sizeof kPastEnd}}) {
    SCOPED_TRACE(name);
    EXPECT_EXIT(
        {
          Win32TestSetResource(0x5441, 1, bytes, DWORD(size));
          Enter(TheModuleRecord);
        },
        ::testing::ExitedWithCode(255), "^$");
  }
}

TEST_F(ProcessEntryTest, MissingAtomTableIsAStartupFailure) {
  EXPECT_EXIT(
      {
        Win32TestSetResource(0x5441, 1, nullptr, 0);
        Enter(TheModuleRecord);
      },
      ::testing::ExitedWithCode(255), "^$");
}

TEST_F(ProcessEntryTest, FailingInitHookExitsMinusOneAfterRTExitWithoutStart) {
  EXPECT_EXIT(Enter(Record(&InitFails, &MainReturns42)), ::testing::ExitedWithCode(255),
              "^\\[RTInit\\]\\[init\\]\\[RTExit\\]$");
}

TEST_F(ProcessEntryTest, WithoutInitHookStartRunsRightAfterRTInit) {
  EXPECT_EXIT(Enter(Record(nullptr, &MainReturns42)), ::testing::ExitedWithCode(42),
              "^\\[RTInit\\]\\[main\\]\\[__ConvertResult\\]\\[RTExit\\]$");
}

TEST_F(ProcessEntryTest, MainResultIsTheExitCodeAfterRTExit) {
  EXPECT_EXIT(Enter(Record(&InitSucceeds, &MainReturns42)), ::testing::ExitedWithCode(42),
              "^\\[RTInit\\]\\[init\\]\\[main\\]\\[__ConvertResult\\]\\[RTExit\\]$");
}

TEST_F(ProcessEntryTest, NoFaultRunsThePromptAndExitsZero) {
  EXPECT_EXIT(Enter(TheModuleRecord), ::testing::ExitedWithCode(0),
              "^\\[RTInit\\]\\[box:Fix the quorl database now \\?\\]\\[__ConvertResult\\]\\[RTExit\\]$");
}

TEST_F(ProcessEntryTest, CommandLineCopyIsByteExactWithItsNul) {
  for (const char* line : {"quorlfix \"two words\" x", ""}) {
    SCOPED_TRACE(line);
    std::string expected = std::string("\\[copy:") + (*line ? "quorlfix \"two words\" x" : "") + "\\|exact\\|" +
                           std::to_string(std::strlen(line)) + "\\]";
    EXPECT_EXIT(
        {
          Win32TestSetCommandLine(line);
          Enter(Record(nullptr, &MainShowsCommandLine));
        },
        ::testing::ExitedWithCode(0), expected);
  }
}

}  // namespace
#endif
