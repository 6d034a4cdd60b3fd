// Quitting through the exit step, internal-fault reports, the floating-point reset and tones.
#include <cfenv>
#include <vector>

#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/dialog.h"
#include "tb28run/process.h"
#include "tb28run/testing_dialog.h"

namespace {

std::vector<std::uint32_t> exitCodes;
void RecordExit(std::uint32_t code) { exitCodes.push_back(code); }

struct Report {
  std::uint32_t code, detail;
  std::string text;
};
std::vector<Report> reports;

std::vector<std::pair<std::uint32_t, std::uint32_t>> tones;

class ProcessEndTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    exitCodes.clear();
    reports.clear();
    tones.clear();
  }
  static std::int32_t BringUpWith(ExitStep step) {
    static char commandLine[] = "";
    static const std::uint32_t symbols[1] = {0};
    return RTInit(step, 3, 0, symbols, commandLine, 68, 0, nullptr, nullptr, 1, 10, 1, 1, 1048576, nullptr);
  }
};

TEST_F(ProcessEndTest, QuitRunsTheExitStepWithTheErrorLevel) {
  _Quit();
  EXPECT_TRUE(exitCodes.empty()) << "without an exit step there is nothing to run";
  ASSERT_EQ(BringUpWith(&RecordExit), 0);
  KestCall(ErrorLevel, 1, {IntValue(256)});
  _Quit();
  ASSERT_EQ(exitCodes.size(), 1u);
  EXPECT_EQ(exitCodes[0], 256u);
}

TEST_F(ProcessEndTest, AnInternalFaultIsReportedOnStandardErrorAndReturns) {
  TbTestSetInternalErrorSink([](std::uint32_t code, std::uint32_t detail, const char* text) {
    reports.push_back({code, detail, text});
  });
  ::testing::internal::CaptureStderr();
  _IError(1, 0, "SetDefaultDir: /gone/");
  _IError(2, 7, nullptr);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "TB28RUN internal error 1.0: SetDefaultDir: /gone/\nTB28RUN internal error 2.7: \n");
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].text, "SetDefaultDir: /gone/");
  EXPECT_EQ(reports[1].detail, 7u);
  EXPECT_EQ(reports[1].text, "");
}

TEST_F(ProcessEndTest, MathInitClearsTheFloatingPointState) {
  std::feraiseexcept(FE_DIVBYZERO | FE_INEXACT);
  std::fesetround(FE_UPWARD);
  MathInit();
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

TEST_F(ProcessEndTest, TonesGoToTheSinkWhileOneIsSet) {
  TbTestSetToneSink([](std::uint32_t frequency, std::uint32_t duration) { tones.push_back({frequency, duration}); });
  Tone(440, 1);
  Tone(523, 18);
  ASSERT_EQ(tones.size(), 2u);
  EXPECT_EQ(tones[0], std::make_pair(440u, 1u));
  EXPECT_EQ(tones[1], std::make_pair(523u, 18u));
  TbTestReset();
  ASSERT_EQ(MemInit(), 0);
  Tone(440, 0);
  EXPECT_EQ(tones.size(), 2u) << "the reset removes the sink";
}

}  // namespace
