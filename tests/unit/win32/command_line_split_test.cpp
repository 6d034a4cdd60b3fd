// Splitting a command line into arguments the Windows way, and finding an argument in it. Runs on
// every host; on Windows each line is also split by CommandLineToArgvW, which must agree.
#include <win32_command_line.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>
#endif

namespace {

using Arguments = std::vector<std::string>;

struct SplitCase {
  const char* line;
  Arguments arguments;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << "line [" << c.line << "]"; }

class CommandLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, GivesTheArguments) {
  EXPECT_EQ(win32::SplitCommandLine(GetParam().line), GetParam().arguments);
}

#ifdef _WIN32
// The lines are ASCII: each character converts to one wide character and back.
Arguments SplitByWindows(const std::string& line) {
  std::wstring wide(line.begin(), line.end());
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
  EXPECT_NE(argv, nullptr);
  Arguments arguments;
  for (int i = 0; argv != nullptr && i < count; ++i) {
    std::string argument;
    for (const wchar_t* c = argv[i]; *c != 0; ++c) argument += static_cast<char>(*c);
    arguments.push_back(argument);
  }
  LocalFree(argv);
  return arguments;
}

TEST_P(CommandLineSplit, AgreesWithCommandLineToArgvW) {
  // Given an empty line, Windows answers the program's own path.
  if (*GetParam().line == '\0') GTEST_SKIP() << "no line";
  EXPECT_EQ(win32::SplitCommandLine(GetParam().line), SplitByWindows(GetParam().line));
}
#endif

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineSplit,
    ::testing::Values(
        SplitCase{"", {}}, SplitCase{"prog", {"prog"}}, SplitCase{"prog a  b\tc ", {"prog", "a", "b", "c"}},
        // The program name: up to a blank, or between quotes; no escapes in it.
        SplitCase{"  prog a", {"", "prog", "a"}},
        SplitCase{R"("C:\Program Files\q.exe" x)", {R"(C:\Program Files\q.exe)", "x"}},
        SplitCase{R"("C:\dir\"x y)", {R"(C:\dir\)", "x", "y"}}, SplitCase{R"(a\"b c)", {R"(a\"b)", "c"}},
        SplitCase{R"(""prog)", {"", "prog"}},
        // Backslashes: literal unless a quote follows.
        SplitCase{R"(prog a\\b c\)", {"prog", R"(a\\b)", R"(c\)"}}, SplitCase{R"(prog a\"b)", {"prog", R"(a"b)"}},
        SplitCase{R"(prog a\\"b c")", {"prog", R"(a\b c)"}}, SplitCase{R"(prog a\\\"b)", {"prog", R"(a\"b)"}},
        SplitCase{R"(prog "a\\" b)", {"prog", R"(a\)", "b"}}, SplitCase{R"(prog \")", {"prog", R"(")"}},
        // Quotes, and quotes in a row.
        SplitCase{R"(prog "a b" c)", {"prog", "a b", "c"}}, SplitCase{R"(prog x"y z"w)", {"prog", "xy zw"}},
        SplitCase{R"(prog "" "")", {"prog", "", ""}},
        SplitCase{R"(prog "open to the end)", {"prog", "open to the end"}}, SplitCase{R"(prog """)", {"prog", R"(")"}},
        SplitCase{R"(prog """")", {"prog", R"(")"}}, SplitCase{R"(prog "a""b")", {"prog", R"(a"b)"}},
        SplitCase{R"(prog "a"" b")", {"prog", R"(a")", "b"}},
        SplitCase{R"(prog """a b""")", {"prog", R"("a)", R"(b")"}}, SplitCase{R"(prog \"" x")", {"prog", R"(" x)"}},
        SplitCase{R"(prog 'x --opt')", {"prog", "'x", "--opt'"}}));

struct FindCase {
  const char* line;
  bool found;
};

class CommandLineArgument : public ::testing::TestWithParam<FindCase> {};

TEST_P(CommandLineArgument, IsFoundOnlyWhole) {
  EXPECT_EQ(win32::HasArgument(GetParam().line, "--opt"), GetParam().found) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineArgument,
                         ::testing::Values(FindCase{"prog --opt", true}, FindCase{"prog a --opt b", true},
                                           FindCase{"prog\t--opt\t", true}, FindCase{R"(prog "--opt")", true},
                                           FindCase{R"(prog ""--opt)", true}, FindCase{R"(prog --o"pt")", true},
                                           FindCase{R"(prog a\" --opt)", true},  //
                                           FindCase{"prog", false}, FindCase{"--opt", false},
                                           FindCase{R"("--opt" x)", false}, FindCase{R"(prog "x --opt")", false},
                                           FindCase{R"(prog "a\" --opt")", false}, FindCase{R"(prog \"--opt)", false},
                                           FindCase{R"(prog --opt\")", false}, FindCase{"prog --op", false},
                                           FindCase{"prog --optx", false}, FindCase{"prog x--opt", false},
                                           FindCase{"prog --OPT", false}, FindCase{"prog '--opt'", false}));

}  // namespace
