// The program's error system in place as at start-up, with the dialog answered from a script,
// tones and internal-fault reports recorded, and the error log in a directory of the test's own.
#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "errors/def_error.h"
#include "errors/error_system_init.h"
#include "intl/set_international.h"
#include "program_fixture.h"
#include "runtime/call.h"
#include "scratch_dir.h"
#include "tb28run/testing_dialog.h"

struct ShownDialog {
  std::string message, caption;
  std::uint32_t first, second, third;
};

struct InternalReport {
  std::uint32_t code, detail;
  std::string text;
};

class ErrorHandlingTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(ModuleInit(), 0);
    InstallDefaultErrorBlock();
    RegisterErrorGen();
    // Start-up took the conventions of the locale the tests run under; the expected logs are
    // written in the fixed ones.
    CallKest<1>(SetInternational, SymbolValue(SYM_KESTRAN));
    Dialogs().clear();
    Tones().clear();
    Reports().clear();
    Script().clear();
    TbTestSetErrorDialogHook(&Dialog);
    TbTestSetToneSink([](std::uint32_t f, std::uint32_t d) { Tones().push_back({f, d}); });
    TbTestSetInternalErrorSink([](std::uint32_t c, std::uint32_t d, const char* t) { Reports().push_back({c, d, t}); });
    SetDefaultDir(dir_.WithSeparator().c_str());
  }

  static std::vector<ShownDialog>& Dialogs() {
    static std::vector<ShownDialog> dialogs;
    return dialogs;
  }
  static std::vector<std::pair<std::uint32_t, std::uint32_t>>& Tones() {
    static std::vector<std::pair<std::uint32_t, std::uint32_t>> tones;
    return tones;
  }
  static std::vector<InternalReport>& Reports() {
    static std::vector<InternalReport> reports;
    return reports;
  }
  // The dialog's answers in turn; the first option once they run out.
  static std::deque<std::uint32_t>& Script() {
    static std::deque<std::uint32_t> script;
    return script;
  }

  // A new Error object with these fields set (the constructor's STACK and SUBSYSTEM otherwise).
  static Usual NewError(std::initializer_list<std::pair<Sym, Usual>> fields) {
    Usual error = CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(0));
    for (const auto& [field, value] : fields) IVarPut(AsObj(error), field, value);
    return error;
  }
  static Usual Field(Usual error, Sym field) { return IVarGet(AsObj(error), field); }
  static std::string Text(Usual value) { return Str(StringValue(AsString(value))); }

  std::string LogPath() const { return dir_.File("TBERROR.LOG"); }
  std::string Log() const { return ScratchDir::Read(LogPath()); }
  bool LogExists() const { return std::filesystem::exists(LogPath()); }

  ScratchDir dir_;

 private:
  static std::uint32_t Dialog(const char* message, const char* caption, std::uint32_t first, std::uint32_t second,
                              std::uint32_t third) {
    Dialogs().push_back({message, caption, first, second, third});
    if (Script().empty()) return ED_FIRST;
    std::uint32_t answer = Script().front();
    Script().pop_front();
    return answer;
  }
};
