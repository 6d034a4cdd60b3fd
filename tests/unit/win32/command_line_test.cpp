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
                         ::testing::Values(QuoteCase{{"prog"}, "prog"},                                    //
                                           QuoteCase{{"prog", "one", "two"}, "prog one two"},              //
                                           QuoteCase{{"prog", "a b"}, R"(prog "a b")"},                    //
                                           QuoteCase{{"prog", "a\tb"}, "prog \"a\tb\""},                   //
                                           QuoteCase{{"prog", ""}, R"(prog "")"},                          //
                                           QuoteCase{{"x", "", "y"}, R"(x "" y)"},                         //
                                           QuoteCase{{"prog", R"(a"b)"}, R"(prog a\"b)"},                  //
                                           QuoteCase{{"prog", R"(say "hi")"}, R"(prog "say \"hi\"")"},     //
                                           QuoteCase{{"prog", R"(c:\dir\file)"}, R"(prog c:\dir\file)"},   //
                                           QuoteCase{{"prog", R"(c:\dir\)"}, R"(prog c:\dir\)"},           //
                                           QuoteCase{{"prog", R"(c:\my dir\)"}, R"(prog "c:\my dir\\")"},  //
                                           QuoteCase{{"prog", R"(a\"b)"}, R"(prog a\\\"b)"},               //
                                           QuoteCase{{"prog", R"(a\\"b c)"}, R"(prog "a\\\\\"b c")"},      //
                                           QuoteCase{{"prog", R"(\\server\share)"}, R"(prog \\server\share)"},
                                           QuoteCase{{"-x=1", "--name=a b"}, R"(-x=1 "--name=a b")"}));

// The program name has no escapes: it is enclosed in quotes only when it must be, and a quote in
// it can never end it early, so nothing in it splits off as an argument.
struct NameCase {
  std::string name;
  std::string line;    // joined with the argument "x"
  std::string splits;  // the name the line gives back
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << "name [" << c.name << "]"; }

class ProgramNameQuoting : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProgramNameQuoting, SplitsBackIntoTheNameAndTheArguments) {
  const NameCase& c = GetParam();
  std::string line = Quote({c.name, "x"});
  EXPECT_EQ(line, c.line);
  EXPECT_EQ(win32::SplitCommandLine(line), (std::vector<std::string>{c.splits, "x"})) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProgramNameQuoting,
    ::testing::Values(NameCase{"prog", "prog x", "prog"}, NameCase{"", R"("" x)", ""},
                      NameCase{R"(/opt/my dir/prog)", R"("/opt/my dir/prog" x)", R"(/opt/my dir/prog)"},
                      NameCase{R"(C:\my dir\)", R"("C:\my dir\" x)", R"(C:\my dir\)"},
                      NameCase{R"(a"b)", R"(a"b x)", R"(a"b)"}, NameCase{R"(a\"b)", R"(a\"b x)", R"(a\"b)"},
                      NameCase{R"("quoted)", R"("quoted" x)", "quoted"},
                      NameCase{R"(p" --tb28run:gc-stress ")", R"("p --tb28run:gc-stress " x)",
                               "p --tb28run:gc-stress "}));

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
