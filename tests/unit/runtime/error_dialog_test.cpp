// The error dialog: exactly the offered options, the answers they give, and the test hook.
#include <string>
#include <vector>

#include "runtime_fixture.h"
#include "scratch_dir.h"
#include "tb28run/dialog.h"
#include "tb28run/testing_dialog.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

struct Shown {
  std::string message, caption;
  std::uint32_t first, second, third;
};
std::vector<Shown> shown;

std::uint32_t Answer(const char* message, const char* caption, std::uint32_t first, std::uint32_t second,
                     std::uint32_t third) {
  shown.push_back({message, caption, first, second, third});
  return 2;
}

class ErrorDialogTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    shown.clear();
  }
};

TEST_F(ErrorDialogTest, TheHookAnswersInsteadOfTheDialog) {
  TbTestSetErrorDialogHook(&Answer);
  EXPECT_EQ(ErrorMessageBox("text\r\n", "ERROR", ED_FIRST, ED_RETRY, ED_BREAK), 2u);
  EXPECT_EQ(ErrorMessageBox(nullptr, nullptr, 0, 0, ED_QUIT), 2u);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].message, "text\r\n");
  EXPECT_EQ(shown[0].caption, "ERROR");
  EXPECT_EQ(shown[0].first, 1u);
  EXPECT_EQ(shown[0].second, 2u);
  EXPECT_EQ(shown[0].third, 0x80000003u);
  EXPECT_EQ(shown[1].message, "") << "a null text shows as empty";
  EXPECT_EQ(shown[1].third, 0x80000000u);
}

#if !defined(_WIN32)
// Standard input from a text and standard output into a file, for one dialog.
class Terminal {
 public:
  Terminal(const std::string& input, const std::string& outputFile) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], input.data(), input.size()), ssize_t(input.size()));
    close(fds[1]);
    savedIn_ = dup(STDIN_FILENO);
    dup2(fds[0], STDIN_FILENO);
    close(fds[0]);
    std::fflush(stdout);
    savedOut_ = dup(STDOUT_FILENO);
    int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    close(out);
  }
  ~Terminal() {
    std::fflush(stdout);
    dup2(savedIn_, STDIN_FILENO);
    dup2(savedOut_, STDOUT_FILENO);
    close(savedIn_);
    close(savedOut_);
  }

 private:
  int savedIn_, savedOut_;
};

class ErrorDialogTerminalTest : public ErrorDialogTest {
 protected:
  std::uint32_t Ask(const std::string& input, std::uint32_t first, std::uint32_t second, std::uint32_t third) {
    {
      Terminal terminal(input, dir_.File("screen.txt"));
      answer_ =
          ErrorMessageBox("Error Code:  1 [ ARGUMENT ERROR ]\r\nOperation: FPutS\r\n", "ERROR", first, second, third);
    }
    screen_ = ScratchDir::Read(dir_.File("screen.txt"));
    return answer_;
  }
  ScratchDir dir_;
  std::uint32_t answer_ = 0;
  std::string screen_;
};

TEST_F(ErrorDialogTerminalTest, OnlyTheOfferedOptionsAreShown) {
  struct Case {
    std::uint32_t first, second, third;
    const char* row;
    const char* prompt;
  } cases[] = {
      {ED_FIRST, ED_RETRY, ED_BREAK, "| [*Default*]  [Retry]  [Break]", "Answer (D/R/B, Enter = Default): "},
      {ED_FIRST, 0, ED_QUIT, "| [*Default*]  [Quit]  ", "Answer (D/Q, Enter = Default): "},
      {0, ED_RETRY, ED_QUIT, "| [*Retry*]  [Quit]  ", "Answer (R/Q, Enter = Retry): "},
      {0, 0, ED_QUIT, "| [*Quit*]  ", "Answer (Q, Enter = Quit): "},
      {0, 0, ED_BREAK, "| [*Break*]  ", "Answer (B, Enter = Break): "},
  };
  for (const Case& c : cases) {
    Ask("", c.first, c.second, c.third);
    EXPECT_NE(screen_.find(c.row), std::string::npos) << screen_;
    EXPECT_NE(screen_.find(c.prompt), std::string::npos) << screen_;
  }
}

TEST_F(ErrorDialogTerminalTest, TheBoxShowsTheCaptionAndEveryLineOfTheMessage) {
  Ask("d\n", ED_FIRST, ED_RETRY, ED_QUIT);
  const char* expected =
      "+-----------------------------------+\n"
      "| ERROR                             |\n"
      "+-----------------------------------+\n"
      "| Error Code:  1 [ ARGUMENT ERROR ] |\n"
      "| Operation: FPutS                  |\n"
      "|                                   |\n"
      "| [*Default*]  [Retry]  [Quit]      |\n"
      "+-----------------------------------+\n"
      "Answer (D/R/Q, Enter = Default): d\n";
  EXPECT_EQ(screen_, expected);
}

TEST_F(ErrorDialogTerminalTest, TheFirstLetterPicksAndEndOfInputIsTheThirdOption) {
  struct Case {
    const char* input;
    std::uint32_t first, second, third;
    std::uint32_t answer;
  } cases[] = {
      {"d\n", ED_FIRST, ED_RETRY, ED_BREAK, 1},        {"  Retry please\n", ED_FIRST, ED_RETRY, ED_BREAK, 2},
      {"b\n", ED_FIRST, ED_RETRY, ED_BREAK, ED_BREAK}, {"Q\n", ED_FIRST, 0, ED_QUIT, ED_QUIT},
      {"\n", ED_FIRST, ED_RETRY, ED_QUIT, 1},          {"\n", 0, ED_RETRY, ED_QUIT, 2},
      {"", ED_FIRST, ED_RETRY, ED_BREAK, ED_BREAK},    {"", ED_FIRST, 0, ED_QUIT, ED_QUIT},
      {"r\nq\n", ED_FIRST, 0, ED_QUIT, ED_QUIT},        // no retry on offer
      {"q\n", ED_FIRST, ED_RETRY, ED_BREAK, ED_BREAK},  // refused, then end of input
  };
  for (const Case& c : cases)
    EXPECT_EQ(Ask(c.input, c.first, c.second, c.third), c.answer) << "input \"" << c.input << "\"\n" << screen_;
}

TEST_F(ErrorDialogTerminalTest, AnErrorsControlCharactersAreShownNotSent) {
  {
    Terminal terminal("\n", dir_.File("screen.txt"));
    ErrorMessageBox(
        "Argument: \x1B]52;c;cGF5bG9hZA==\x07\r\nOperation: \x1B[2J\x9B"
        "0m\r\n",
        "ERROR", ED_FIRST, 0, ED_QUIT);
  }
  screen_ = ScratchDir::Read(dir_.File("screen.txt"));
  const char* expected =
      "+----------------------------------+\n"
      "| ERROR                            |\n"
      "+----------------------------------+\n"
      "| Argument: ^[]52;c;cGF5bG9hZA==^G |\n"
      "| Operation: ^[[2J\\x9B0m           |\n"
      "|                                  |\n"
      "| [*Default*]  [Quit]              |\n"
      "+----------------------------------+\n"
      "Answer (D/Q, Enter = Default): \n";
  EXPECT_EQ(screen_, expected);
}

// Standard output a pipe that nobody reads: the dialog cannot be shown and answers the third
// option, in a child process, which SIGPIPE would end.
TEST_F(ErrorDialogTerminalTest, ADialogThatCannotBeDrawnAnswersTheThirdOption) {
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  close(out[0]);
  ASSERT_EQ(write(in[1], "d\n", 2), 2);  // an answer that would pick the first option
  close(in[1]);
  std::fflush(nullptr);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(in[0], STDIN_FILENO);
    std::uint32_t answer = ErrorMessageBox("Error Code:  1\r\n", "ERROR", ED_FIRST, ED_RETRY, ED_QUIT);
    _exit(answer == ED_QUIT ? 0 : 1);
  }
  close(in[0]);
  close(out[1]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(ErrorDialogTerminalTest, ALetterThatPicksNothingIsRefusedAndAskedAgain) {
  EXPECT_EQ(Ask("x\nr\n", ED_FIRST, ED_RETRY, ED_QUIT), 2u);
  EXPECT_NE(screen_.find("x\nNo option starts with \"x\".\nAnswer (D/R/Q, Enter = Default): r\n"), std::string::npos)
      << screen_;
}
#endif

}  // namespace
