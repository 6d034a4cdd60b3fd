// End to end under real locales: the user locale decides the date and time line of a logged error.
#if !defined(_WIN32)
#include <locale.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

#include "errors/def_error.h"
#include "intl_fixture.h"
#include "tb28run/testing_dialog.h"

namespace {

// The locale variables, set for one test and given back after it.
class LocaleEnvironment {
 public:
  explicit LocaleEnvironment(const char* lang) {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      const char* value = getenv(kNames[i]);
      if (value) saved_[i] = value;
      unsetenv(kNames[i]);
    }
    setenv("LANG", lang, 1);
  }
  ~LocaleEnvironment() {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (saved_[i]) {
        setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }
  LocaleEnvironment(const LocaleEnvironment&) = delete;
  LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

  static bool Installed(const char* lang) {
    locale_t locale = newlocale(LC_ALL_MASK, lang, static_cast<locale_t>(nullptr));
    if (locale == nullptr) return false;
    freelocale(locale);
    return true;
  }

 private:
  static constexpr const char* kNames[] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"};
  std::optional<std::string> saved_[std::size(kNames)];
};

int dialogs = 0;

// Takes the default. The one error of a case is shown once; a handler that kept showing it would
// end the test here instead of running on.
std::uint32_t TakeTheDefault(const char*, const char*, std::uint32_t, std::uint32_t, std::uint32_t) {
  if (++dialogs > 1) throw std::runtime_error("the error dialog came back");
  return 1;
}

class LocaleLogTest : public IntlTest {
 protected:
  void SetUp() override {
    IntlTest::SetUp();
    directory_ = std::filesystem::temp_directory_path() / ("intl_log_" + std::to_string(getpid()));
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    SetDefaultDir(directory_.c_str());
    TbTestSetErrorDialogHook(&TakeTheDefault);
    CallKest<1>(SetBeep, LogicValue(false));
    CallKest<1>(SetErrorLog, LogicValue(true));
    CallKest<declared::ErrorBlock>(ErrorBlock, CodeBlockValue(&DefaultErrorBlock));
    TbTestLocalTime t{2024, 3, 5, 21, 7, 8};
    TbTestSetLocalTime(&t);
  }
  void TearDown() override {
    IntlTest::TearDown();
    std::filesystem::remove_all(directory_);
  }

  // The third line of the log's one record: the date and the time.
  std::string DateLine() const {
    std::ifstream log(directory_ / "TBERROR.LOG", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    for (int line = 1; line < 3; ++line) {
      start = text.find("\r\n", start);
      if (start == std::string::npos) return "<no line 3 in [" + text + "]>";
      start += 2;
    }
    return text.substr(start, text.find("\r\n", start) - start);
  }

  std::filesystem::path directory_;
};

TEST_F(LocaleLogTest, TheLoggedDateAndTimeFollowTheUserLocale) {
  struct Case {
    const char* lang;
    const char* line;
  } cases[] = {
      {"de_DE.UTF-8", "05.03.2024 21:07:08"},
      {"en_US.UTF-8", "03/05/2024 09:07:08 PM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    if (!LocaleEnvironment::Installed(c.lang)) GTEST_SKIP() << c.lang << " is not installed";
    std::filesystem::remove(directory_ / "TBERROR.LOG");
    LocaleEnvironment environment(c.lang);
    SetIntl(SymbolValue(SYM_WINDOWS));
    dialogs = 0;
    SetIntl(SymbolValue(SYM_ERROR));  // the "International" error, which the default handler logs
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(DateLine(), c.line);
  }
}

}  // namespace
#endif
