// GetCommandLineA: Windows quoting of the process's arguments, the re-read of a real process's
// arguments, and the test hook.
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <sys/wait.h>
#include <unistd.h>
#include <win32_command_line.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_program.h"
#include "win32_test_support.h"

namespace {

using win32_test::Win32Test;

// When started by the end-to-end test below, the test program prints its command line and ends.
const bool printCommandLineAndExit = [] {
  if (std::getenv("WIN32_TEST_PRINT_COMMAND_LINE") != nullptr) {
    std::fputs(GetCommandLineA(), stdout);
    std::fflush(stdout);
    _exit(0);
  }
  return false;
}();

std::string Quote(const std::vector<std::string>& arguments) {
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  return Win32TestQuoteArguments(pointers.data(), static_cast<int>(pointers.size()));
}

struct QuoteCase {
  std::vector<std::string> arguments;
  std::string expected;
};

class CommandLineQuoting : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(CommandLineQuoting, JoinsAndQuotesTheWindowsWay) {
  const QuoteCase& c = GetParam();
  EXPECT_EQ(Quote(c.arguments), c.expected);
}

TEST_P(CommandLineQuoting, SplitsBackIntoTheSameArguments) {
  const QuoteCase& c = GetParam();
  std::vector<std::string> arguments = c.arguments;
  arguments.insert(arguments.begin(), "prog");
  EXPECT_EQ(win32::SplitCommandLine(Quote(arguments)), arguments);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineQuoting,
                         ::testing::Values(QuoteCase{{"prog"}, "prog"},                            //
                                           QuoteCase{{"prog", "one", "two"}, "prog one two"},      //
                                           QuoteCase{{"a b"}, R"("a b")"},                         //
                                           QuoteCase{{"a\tb"}, "\"a\tb\""},                        //
                                           QuoteCase{{""}, R"("")"},                               //
                                           QuoteCase{{"x", "", "y"}, R"(x "" y)"},                 //
                                           QuoteCase{{R"(a"b)"}, R"(a\"b)"},                       //
                                           QuoteCase{{R"(say "hi")"}, R"("say \"hi\"")"},          //
                                           QuoteCase{{R"(c:\dir\file)"}, R"(c:\dir\file)"},        //
                                           QuoteCase{{R"(c:\dir\)"}, R"(c:\dir\)"},                //
                                           QuoteCase{{R"(c:\my dir\)"}, R"("c:\my dir\\")"},       //
                                           QuoteCase{{R"(a\"b)"}, R"(a\\\"b)"},                    //
                                           QuoteCase{{R"(a\\"b c)"}, R"("a\\\\\"b c")"},           //
                                           QuoteCase{{R"(\\server\share)"}, R"(\\server\share)"},  //
                                           QuoteCase{{"-x=1", "--name=a b"}, R"(-x=1 "--name=a b")"}));

TEST(CommandLine, EmptyArgumentListGivesEmptyLine) { EXPECT_STREQ(Win32TestQuoteArguments(nullptr, 0), ""); }

// A real process: the test program started again with awkward arguments prints its line.
TEST(CommandLine, IsTheProcessArgumentsQuoted) {
  std::vector<std::string> arguments = {"unit win32", "plain", "with blank", "", R"(q"uote)", R"(trail\ ing\)"};
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const ChildProgram program(win32_test::ExecutablePath(), arguments);
  std::fflush(nullptr);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    setenv("WIN32_TEST_PRINT_COMMAND_LINE", "1", 1);
    program.Exec();
    _exit(127);
  }
  close(out[1]);
  std::string printed;
  char buffer[1024];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) printed.append(buffer, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(printed, R"("unit win32" plain "with blank" "" q\"uote "trail\ ing\\")");
  EXPECT_EQ(printed, Quote(arguments));
}

class CommandLineHook : public Win32Test {};

TEST_F(CommandLineHook, PointerIsStable) {
  LPSTR first = GetCommandLineA();
  ASSERT_NE(first, nullptr);
  std::string copy = first;
  EXPECT_EQ(GetCommandLineA(), first);
  EXPECT_EQ(std::string(GetCommandLineA()), copy);
}

TEST_F(CommandLineHook, OverridesAndRestores) {
  std::string own = GetCommandLineA();
  Win32TestSetCommandLine("QUORLFIX.EXE /fix");
  EXPECT_STREQ(GetCommandLineA(), "QUORLFIX.EXE /fix");
  Win32TestSetCommandLine(nullptr);
  EXPECT_EQ(std::string(GetCommandLineA()), own);
  Win32TestSetCommandLine("other");
  Win32TestReset();
  EXPECT_EQ(std::string(GetCommandLineA()), own);
}

}  // namespace

#endif  // _WIN32
