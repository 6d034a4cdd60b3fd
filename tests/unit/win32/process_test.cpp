// SetHandleCount, GetStartupInfoA, ExitProcess, Beep, GetLastError/SetLastError.
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>

#include "win32_test_support.h"

namespace {

using win32_test::ChildResult;
using win32_test::RunInChild;

TEST(SetHandleCount, AnswersTheNumberAsked) {
  EXPECT_EQ(SetHandleCount(255), 255u);
  EXPECT_EQ(SetHandleCount(20), 20u);
}

TEST(GetStartupInfo, ZeroesEverythingButTheSize) {
  STARTUPINFOA info;
  std::memset(&info, 0xAB, sizeof info);
  info.cb = 68;  // the i386 size the program sets
  GetStartupInfoA(&info);
  EXPECT_EQ(info.cb, 68u);
  STARTUPINFOA zero;
  std::memset(&zero, 0, sizeof zero);
  zero.cb = 68;
  EXPECT_EQ(std::memcmp(&info, &zero, sizeof info), 0);
}

TEST(LastError, SetThenGet) {
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  SetLastError(0xDEADBEEF);
  EXPECT_EQ(GetLastError(), 0xDEADBEEFu);
}

TEST(LastError, OnePerThread) {
  SetLastError(5);
  DWORD seen = 1;
  std::thread other([&] {
    seen = GetLastError();
    SetLastError(6);
  });
  other.join();
  EXPECT_EQ(seen, 0u);
  EXPECT_EQ(GetLastError(), 5u);
}

struct ExitCase {
  UINT code;
  int status;
};

class ExitProcessDeathTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitProcessDeathTest, StatusIsEightBitsAndNeverFalselyZero) {
  EXPECT_EXIT(ExitProcess(GetParam().code), ::testing::ExitedWithCode(GetParam().status), "");
}

INSTANTIATE_TEST_SUITE_P(Codes, ExitProcessDeathTest,
                         ::testing::Values(ExitCase{0, 0}, ExitCase{7, 7}, ExitCase{255, 255}, ExitCase{256, 255},
                                           ExitCase{512, 255}, ExitCase{static_cast<UINT>(-1), 255}));

TEST(ExitProcess, FlushesStandardOutput) {
  ChildResult result = RunInChild("", []() -> int {
    std::fputs("unterminated line", stdout);  // still in the stdio buffer (stdout is a pipe)
    ExitProcess(3);
  });
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.output, "unterminated line");
}

TEST(Beep, SilentWhenStandardOutputIsNotATerminal) {
  ChildResult result = RunInChild("", [] { return Beep(440, 1) == TRUE ? 0 : 1; });
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "");
}

TEST(Beep, BellOnATerminal) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) GTEST_SKIP() << "no pseudo-terminal";
  std::string slavePath = ptsname(master);
  ChildResult result = RunInChild("", [&] {
    int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) return 2;
    dup2(slave, STDOUT_FILENO);
    return Beep(440, 1) == TRUE ? 0 : 1;
  });
  EXPECT_EQ(result.exitCode, 0);
  pollfd ready = {master, POLLIN, 0};
  ASSERT_EQ(poll(&ready, 1, 2000), 1);
  char c = 0;
  EXPECT_EQ(read(master, &c, 1), 1);
  EXPECT_EQ(c, '\a');
  close(master);
}

}  // namespace

#endif  // _WIN32
