// The desktop form's choice, and the program's 8-bit texts made fit for GTK. The dialogs
// themselves are driven under Xvfb by tests/desktop.
// The POSIX Windows layer exists only on POSIX hosts.
#ifndef _WIN32

#include <fcntl.h>
#include <unistd.h>
#include <win32_desktop_dialog.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "win32_test_support.h"

namespace {

using win32::ChooseDialogForm;
using win32::DesktopLines;
using win32::DesktopText;
using win32::DialogForm;
using win32::StandardInput;

struct TextCase {
  const char* name;
  std::string bytes;
  std::string kept;    // as a text shows it
  std::string joined;  // as a title bar shows it
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class DesktopTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(DesktopTexts, ShowAsUtf8) {
  const TextCase& c = GetParam();
  EXPECT_EQ(DesktopText(c.bytes, DesktopLines::Kept), c.kept);
  EXPECT_EQ(DesktopText(c.bytes, DesktopLines::Joined), c.joined);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DesktopTexts,
    ::testing::Values(
        TextCase{"Ascii", "Fix the quorl database now ?", "Fix the quorl database now ?",
                 "Fix the quorl database now ?"},
        TextCase{"Empty", "", "", ""},
        TextCase{"Utf8Kept", "Ma\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80", "Ma\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80",
                 "Ma\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80"},
        TextCase{"Latin1",
                 "Stra\xDF"
                 "e caf\xE9 \xA0\xFF",
                 "Stra\xC3\x9F"
                 "e caf\xC3\xA9 \xC2\xA0\xC3\xBF",
                 "Stra\xC3\x9F"
                 "e caf\xC3\xA9 \xC2\xA0\xC3\xBF"},
        TextCase{"Windows1252", "\x80\x93quote\x94\x85", "\xE2\x82\xAC\xE2\x80\x9Cquote\xE2\x80\x9D\xE2\x80\xA6",
                 "\xE2\x82\xAC\xE2\x80\x9Cquote\xE2\x80\x9D\xE2\x80\xA6"},
        TextCase{"Windows1252Undefined", "a\x81z\x9D", "a\xEF\xBF\xBDz\xEF\xBF\xBD", "a\xEF\xBF\xBDz\xEF\xBF\xBD"},
        // U+0085, well-formed UTF-8 but a control character.
        TextCase{"C1ControlInUtf8", "a\xC2\x85z", "a\xEF\xBF\xBDz", "a\xEF\xBF\xBDz"},
        // Not UTF-8, so each byte is a character of its own.
        TextCase{"Overlong", "\xC0\xAF", "\xC3\x80\xC2\xAF", "\xC3\x80\xC2\xAF"},
        TextCase{"Surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        TextCase{"PastUnicode", "\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC",
                 "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},
        TextCase{"CutShortAtTheEnd", "caf\xC3", "caf\xC3\x83", "caf\xC3\x83"},
        TextCase{"LeadWithoutContinuation", "\xE2\x82z", "\xC3\xA2\xE2\x80\x9Az", "\xC3\xA2\xE2\x80\x9Az"},
        TextCase{"LineEnds", "a\r\nb\nc\rd\r\n", "a\nb\nc\nd\n", "a b c d "}, TextCase{"Tab", "a\tb", "a\tb", "a b"},
        TextCase{"Controls", std::string("a\x01z\x1B\x7F", 5) + std::string(1, '\0') + "!",
                 "a\xE2\x90\x81z\xE2\x90\x9B\xE2\x90\xA1\xE2\x90\x80!",
                 "a\xE2\x90\x81z\xE2\x90\x9B\xE2\x90\xA1\xE2\x90\x80!"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

// Whatever the bytes, what comes out is well-formed UTF-8 with no control character but the line
// end and the tab: such a text passes through unchanged.
TEST(DesktopText, AnyBytesComeOutAsTextThatPassesUnchanged) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(static_cast<std::size_t>(round % 12), '\0');
    for (char& c : bytes) c = static_cast<char>(byte(random));
    for (DesktopLines lines : {DesktopLines::Kept, DesktopLines::Joined}) {
      std::string shown = DesktopText(bytes, lines);
      ASSERT_EQ(DesktopText(shown, lines), shown) << ::testing::PrintToString(bytes);
    }
  }
}

struct ChoiceCase {
  const char* setting;
  bool display;
  StandardInput input;
  DialogForm form;
};

TEST(DialogFormChoice, SettingThenDisplayAndStandardInput) {
  const ChoiceCase cases[] = {
      // Unset: a display and a standard input that feeds no answers.
      {nullptr, true, StandardInput::Terminal, DialogForm::Desktop},
      {nullptr, true, StandardInput::Null, DialogForm::Desktop},
      {nullptr, true, StandardInput::Closed, DialogForm::Desktop},
      {nullptr, true, StandardInput::FedAnswers, DialogForm::Terminal},
      {nullptr, false, StandardInput::Terminal, DialogForm::Terminal},
      {nullptr, false, StandardInput::Null, DialogForm::Terminal},
      {"", true, StandardInput::Null, DialogForm::Desktop},
      {"auto", true, StandardInput::FedAnswers, DialogForm::Terminal},
      {"auto", true, StandardInput::Terminal, DialogForm::Desktop},
      // Forced either way.
      {"terminal", true, StandardInput::Terminal, DialogForm::Terminal},
      {"terminal", true, StandardInput::Null, DialogForm::Terminal},
      {"desktop", true, StandardInput::FedAnswers, DialogForm::Desktop},
      {"desktop", false, StandardInput::FedAnswers, DialogForm::Desktop},
      // Unknown words and other spellings choose as if unset.
      {"Desktop", false, StandardInput::Null, DialogForm::Terminal},
      {"gtk", true, StandardInput::Null, DialogForm::Desktop},
      {"TERMINAL", true, StandardInput::Null, DialogForm::Desktop},
  };
  for (const ChoiceCase& c : cases) {
    EXPECT_EQ(ChooseDialogForm(c.setting, c.display, c.input), c.form)
        << (c.setting ? c.setting : "(unset)") << " display " << c.display << " input " << static_cast<int>(c.input);
  }
  for (const char* known : {"", "auto", "terminal", "desktop"}) EXPECT_TRUE(win32::IsKnownDialogSetting(known));
  EXPECT_TRUE(win32::IsKnownDialogSetting(nullptr));
  for (const char* unknown : {"gtk", "Desktop", "terminal "}) EXPECT_FALSE(win32::IsKnownDialogSetting(unknown));
}

// Runs the classification in a child whose standard input is `fd` (closed when fd is -1).
StandardInput ClassifyAs(int fd) {
  win32_test::ChildResult result = win32_test::RunInChild("", [fd] {
    if (fd < 0) {
      close(STDIN_FILENO);
    } else {
      dup2(fd, STDIN_FILENO);
    }
    return static_cast<int>(win32::ClassifyStandardInput(STDIN_FILENO));
  });
  return static_cast<StandardInput>(result.exitCode);
}

TEST(StandardInputClass, WhatTheChoiceSees) {
  int null = open("/dev/null", O_RDONLY);
  int zero = open("/dev/zero", O_RDONLY);
  std::FILE* file = std::tmpfile();
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(null, 0);
  ASSERT_GE(zero, 0);
  ASSERT_NE(file, nullptr);

  EXPECT_EQ(ClassifyAs(null), StandardInput::Null);
  EXPECT_EQ(ClassifyAs(-1), StandardInput::Closed);
  EXPECT_EQ(ClassifyAs(pipeEnds[0]), StandardInput::FedAnswers);
  EXPECT_EQ(ClassifyAs(fileno(file)), StandardInput::FedAnswers);
  EXPECT_EQ(ClassifyAs(zero), StandardInput::FedAnswers) << "a device other than /dev/null may feed answers";
  if (terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0) {
    int secondary = open(ptsname(terminal), O_RDWR | O_NOCTTY);
    ASSERT_GE(secondary, 0);
    EXPECT_EQ(ClassifyAs(secondary), StandardInput::Terminal);
    close(secondary);
  }
  if (terminal >= 0) close(terminal);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  std::fclose(file);
  close(zero);
  close(null);
}

}  // namespace

#endif  // _WIN32
