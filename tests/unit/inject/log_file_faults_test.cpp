// The file under the log failing at every step: the n-th open, lock, write, seek or close fails
// for every n the logged error reaches, with the faults a disk and a kernel give. Whatever fails,
// the log holds whole records only and keeps every byte it held before; the user is asked as
// always and the program quits with the error's code.
#include <cerrno>
#include <filesystem>
#include <string>

#include "../errors/error_handling_fixture.h"
#include "fault_steps.h"
#include "log_records.h"
#include "tb28run/testing_clock.h"

namespace {

struct Fault {
  const char* name;
  TbFileFault fault;  // nth is set by the step
};

constexpr Fault kFaults[] = {
    {"an input/output error", {TB_FILE_ANY, 0, 1, EIO, 0}},
    {"an interrupted call", {TB_FILE_ANY, 0, 1, EINTR, 0}},
    {"a full disk from then on", {TB_FILE_ANY, 0, 0, ENOSPC, 0}},
    {"a lock another holds", {TB_FILE_LOCK, 0, 1, EWOULDBLOCK, 0}},
    {"a short write", {TB_FILE_WRITE, 0, 1, EIO, 1}},
    {"short writes until the disk is full", {TB_FILE_WRITE, 0, 0, ENOSPC, 1}},
    {"a short write, then every operation failing", {TB_FILE_ANY, 0, 0, EIO, 1}},
};

constexpr int kArgumentErrorCode = 1;  // the generic code a quit from an argument error ends with

class LogFileFaultsTest : public ErrorHandlingTest {
 protected:
  void SetUp() override {
    ErrorHandlingTest::SetUp();
    static const TbTestLocalTime kNoon{2024, 3, 5, 12, 0, 0};
    TbTestSetLocalTime(&kNoon);
  }

  // The logged error in a child with the fault at the n-th operation (n 0: none): the user quits
  // from the dialog, and the program ends with the error's code.
  ChildRun Run(const TbFileFault& fault, std::uint32_t nth) {
    Usual text = S("not a number");
    return RunInChild([&] {
      std::atexit([] {
        std::string dialogs;
        for (const ShownDialog& d : Dialogs()) dialogs += d.message.substr(0, d.message.find('\r')) + "|";
        Report("dialogs", dialogs);
        Report("failed", std::to_string(TbTestFailedFileOps()));
      });
      Script().push_back(ED_QUIT);
      TbFileFault at = fault;
      at.nth = nth;
      TbTestFailFileOps(nth ? &at : nullptr);
      _P2DW(text);
    });
  }
};

TEST_F(LogFileFaultsTest, TheLogHoldsWholeRecordsAndLosesNothing) {
  // The record the run without a fault appends, to a log that is new and to one that is not.
  std::filesystem::remove(LogPath());
  ChildRun clean = Run({}, 0);
  ASSERT_EQ(clean.Code(), kArgumentErrorCode) << clean.Describe();
  const std::string record = Log();
  ASSERT_EQ(LogShape(record), "1 whole");
  const std::string earlier = record;

  for (bool existed : {false, true}) {
    SCOPED_TRACE(existed ? "a log with a record" : "no log yet");
    const std::string before = existed ? earlier : std::string();
    const std::string after = existed ? earlier + "\r\n" + record : record;
    for (const Fault& f : kFaults) {
      SCOPED_TRACE(f.name);
      std::uint32_t steps = StepFaults(
          200,
          [&](std::uint32_t n) {
            std::filesystem::remove(LogPath());
            if (existed) ScratchDir::Write(LogPath(), before);
            return Run(f.fault, n);
          },
          [](const ChildRun& r) { return r.Value("failed") != "0"; },
          [&](std::uint32_t, const ChildRun& r) {
            ASSERT_TRUE(r.Exited()) << r.Describe();
            ASSERT_FALSE(r.SanitizerReport()) << r.output;
            EXPECT_EQ(r.Code(), kArgumentErrorCode) << r.Describe();
            EXPECT_EQ(r.Value("dialogs"), clean.Value("dialogs"));
            std::string log = LogExists() ? Log() : std::string();
            EXPECT_TRUE(log == before || log == after) << "log:\n" << log;
            if (!existed && log.empty()) {
              EXPECT_FALSE(LogExists()) << "an empty log left behind";
            }
          });
      EXPECT_GT(steps, 0u) << "the log's file operations";
    }
  }
}

}  // namespace
