// Memory that runs out anywhere on the way: the n-th allocation of the collected heap, or of the
// texts the error handler builds, fails for every n a scenario reaches. Whatever fails, the
// program neither crashes nor leaks; the error reaches the dialog (as itself, or as the memory
// error met on its way), and the log holds whole records only.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../errors/error_handling_fixture.h"
#include "array_allocations.h"
#include "fault_steps.h"
#include "indexed_box.h"
#include "log_records.h"
#include "tb28run/testing_clock.h"
#include "value_keeper.h"

namespace {

enum class Heap { Collected, Texts };

struct Mode {
  const char* name;
  Heap heap;
  bool onward;  // every allocation from the n-th on fails, not the n-th alone
};

constexpr Mode kModes[] = {
    {"one allocation of the collected heap", Heap::Collected, false},
    {"the collected heap from then on", Heap::Collected, true},
    {"one text allocation", Heap::Texts, false},
    {"every text allocation from then on", Heap::Texts, true},
};

void Arm(const Mode& mode, std::uint32_t nth) {
  if (mode.heap == Heap::Collected)
    TbTestFailAllocations(nth, mode.onward ? 0 : 1);
  else
    FailNthArrayAllocation(nth, mode.onward);
}

std::uint32_t Disarm(const Mode& mode) {
  std::uint32_t failed = mode.heap == Heap::Collected ? TbTestFailedAllocations() : Arrays().failed;
  TbTestFailAllocations(0, 0);
  FailNthArrayAllocation(0, false);
  return failed;
}

const char* kMemoryLow = "Error Code:  11 [ MEMORY LOW ]";
const char* kNoErrorObject = "No error object created !";

class MemoryFaultsTest : public ErrorHandlingTest {
 protected:
  void SetUp() override {
    ErrorHandlingTest::SetUp();
    static const TbTestLocalTime kNoon{2024, 3, 5, 12, 0, 0};
    TbTestSetLocalTime(&kNoon);
    IndexedBox::Declare();
    keeper_ = std::make_unique<ValueKeeper>();
  }
  void TearDown() override {
    keeper_.reset();
    ErrorHandlingTest::TearDown();
  }

  Usual Keep(Usual value) { return keeper_->Keep(value); }
  Usual KeptText(const char* text) { return Keep(S(text)); }
  Usual ArrayOf(std::initializer_list<Usual> values) {
    return Keep(ArrayValue(ArrayInit(std::uint32_t(values.size()), values.begin())));
  }

  // The scenario in a child with the n-th allocation failing (n 0: none): what it answered, the
  // first line of every dialog, the log's records, and whether RTExit left anything behind.
  ChildRun Run(const Mode& mode, std::uint32_t nth, const std::function<std::string()>& scenario) {
    return RunInChild([&] {
      std::filesystem::remove(LogPath());
      Win32TestSetMessageBoxHook([](HWND, LPCSTR text, LPCSTR, UINT) {
        Boxes() += std::string(text) + "|";
        return IDOK;
      });
      Arm(mode, nth);
      std::string result = scenario();
      std::uint32_t failed = Disarm(mode);
      std::string dialogs;
      for (const ShownDialog& d : Dialogs()) dialogs += d.message.substr(0, d.message.find('\r')) + "|";
      Report("failed", std::to_string(failed));
      Report("result", result);
      Report("dialogs", dialogs);
      Report("boxes", Boxes());
      Report("log", LogShape(LogExists() ? Log() : std::string()));
      RTExit();
      TbHeapStats heap = TbTestHeapStats();
      Report("rtexit", heap.liveBlocks == 0 && TbTestLiveMemBlocks() == 0 ? "clean" : "left blocks");
    });
  }

  void StepSetInternational(Sym mode) {
    Step([&] { return std::string(AsPsz(CallKest<1>(SetInternational, SymbolValue(mode)))); });
  }

  static std::string& Boxes() {
    static std::string boxes;
    return boxes;
  }

  // Every run ends as the run without a failure does, or shows the memory it met: the memory
  // error in a dialog of its own, or the box of an error object that could not be made. When
  // memory never comes back, the runtime may end the program as errors keep arising.
  void Step(const std::function<std::string()>& scenario) {
    ChildRun clean = Run(kModes[0], 0, scenario);
    ASSERT_EQ(clean.Code(), 0) << clean.Describe();
    ASSERT_EQ(clean.Value("failed"), "0");
    for (const Mode& mode : kModes) {
      SCOPED_TRACE(mode.name);
      StepFaults(
          2000, [&](std::uint32_t n) { return Run(mode, n, scenario); },
          [](const ChildRun& r) { return r.Value("failed") != "0"; },
          [&](std::uint32_t, const ChildRun& r) {
            ASSERT_TRUE(r.Exited()) << r.Describe();
            ASSERT_FALSE(r.SanitizerReport()) << r.output;
            if (mode.onward && r.Code() == 70) {
              EXPECT_NE(r.output.find("TB28RUN: errors kept arising while an error was being handled"),
                        std::string::npos);
              return;
            }
            ASSERT_EQ(r.Code(), 0) << r.Describe();
            EXPECT_EQ(r.Value("rtexit"), "clean");
            EXPECT_NE(r.Value("log"), "torn") << r.output;
            bool asWithout = r.Value("dialogs") == clean.Value("dialogs") && r.Value("result") == clean.Value("result");
            bool memoryError = r.Value("dialogs").find(kMemoryLow) != std::string::npos ||
                               r.Value("boxes").find(kNoErrorObject) != std::string::npos;
            EXPECT_TRUE(asWithout || memoryError) << r.output << "\nwithout a failure:\n" << clean.output;
          });
    }
  }

 private:
  std::unique_ptr<ValueKeeper> keeper_;
};

// The argument is longer than the room the handler's texts have on the stack: the message and
// the record take memory of their own.
TEST_F(MemoryFaultsTest, ARuntimeErrorThroughTheHandlerToTheLogAndTheDialog) {
  Usual text = KeptText(("not a number, " + std::string(5000, 'x')).c_str());
  Step([&] { return std::to_string(_P2DW(text)); });
}

// SetInternational, one test a mode, so that each stays short: the mode read from the locale,
// a fixed one, and one it does not know (an error of its own on the way to the handler).
TEST_F(MemoryFaultsTest, SetInternationalToTheWindowsMode) { StepSetInternational(SYM_WINDOWS); }
TEST_F(MemoryFaultsTest, SetInternationalToAFixedMode) { StepSetInternational(SYM_KESTRAN); }
TEST_F(MemoryFaultsTest, SetInternationalToAnUnknownMode) { StepSetInternational(SYM_ERROR); }

TEST_F(MemoryFaultsTest, EachLateBoundHelper) {
  Usual square = ArrayOf({ArrayOf({IntValue(1), IntValue(2)}), ArrayOf({IntValue(3), IntValue(4)})});
  Usual box = Keep(IndexedBox::New());
  IVarPut(AsObj(box), IndexedBox::ContentSym(), square);
  struct Call {
    Sym helper;
    std::vector<Usual> args;
  };
  const Call calls[] = {
      {SYM___PCARRGETCOLLECTION, {square, IntValue(2), IntValue(1)}},
      {SYM___PCARRPUTCOLLECTION, {square, IntValue(2), IntValue(1), KeptText("x")}},
      {SYM___PCIVAGETCOLLECTION, {box, KeptText("content"), IntValue(2), IntValue(1)}},
      {SYM___PCIVAPUTCOLLECTION, {box, KeptText("Content"), IntValue(1), IntValue(2), KeptText("y")}},
      {SYM___PCCREATEINSTANCE, {KeptText("IndexedBox")}},
      {SYM___PCIVARGET, {box, KeptText("content")}},
      {SYM___PCIVARPUT, {box, KeptText("content"), IntValue(5)}},
      {SYM___PCSEND, {box, KeptText("CollectionGet"), IntValue(1)}},
      {SYM___PCSYMBOL, {KeptText("quorl")}},
  };
  for (const Call& call : calls) {
    SCOPED_TRACE(Symbol2String(call.helper));
    TbArr args = AsArr(Keep(ArrayValue(ArrayInit(std::uint32_t(call.args.size()), call.args.data()))));
    Step([&] {
      Usual result = _CallKestFunc(call.helper, args);
      return result.type == T_OBJECT ? std::string("object") : std::string(AsPsz(result));
    });
  }
}

// Start-up: a bring-up that cannot have its memory is a silent failure with -1; past it, the
// prompt is asked as always, or the memory error is.
TEST_F(MemoryFaultsTest, StartUp) {
  for (const Mode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    auto run = [&](std::uint32_t n) {
      return RunInChild([&] {
        TbTestReset();
        Win32TestReset();
        Win32TestSetMessageBoxHook([](HWND, LPCSTR text, LPCSTR caption, UINT) {
          std::printf("\nbox=%s|%s\n", caption, text);
          return IDNO;
        });
        TbTestSetErrorDialogHook(
            [](const char* message, const char*, std::uint32_t, std::uint32_t, std::uint32_t third) {
              std::printf("\nerror=%.*s\n", int(std::string_view(message).find('\r')), message);
              return third;
            });
        std::atexit([] { std::printf("\nfailed=%u\n", TbTestFailedAllocations() + Arrays().failed); });
        Arm(mode, n);
        ProcessEntryWith(TheModuleRecord);
      });
    };
    StepFaults(
        5000, run, [](const ChildRun& r) { return r.Value("failed") != "0"; },
        [&](std::uint32_t, const ChildRun& r) {
          ASSERT_TRUE(r.Exited()) << r.Describe();
          ASSERT_FALSE(r.SanitizerReport()) << r.output;
          bool silentFailure = r.Code() == 255 && r.Value("box") == "<none>" && r.Value("error") == "<none>";
          bool asked = r.Code() == 0 && r.Value("box") == "Fix the quorl database now ?|Confirm fix";
          bool memoryError = r.Code() == 11 && r.output.find("\nerror=" + std::string(kMemoryLow)) != std::string::npos;
          bool endedByRuntime =
              mode.onward && r.Code() == 70 &&
              r.output.find("TB28RUN: errors kept arising while an error was being handled") != std::string::npos;
          EXPECT_TRUE(silentFailure || asked || memoryError || endedByRuntime) << r.Describe();
        });
  }
}

}  // namespace
