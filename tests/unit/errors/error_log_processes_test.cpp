// Several processes handling errors at once into one log, and a program quitting from the
// error dialog, each a process of its own built from the program's library.
#if !defined(_WIN32) && defined(ERROR_LOG_WRITER)

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <functional>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "child_program.h"
#include "runtime_fixture.h"
#include "scratch_dir.h"
#include "tb28run/datetime.h"

namespace {

// Starts the writer in the directory with these arguments; its pid. The child limits itself as
// asked before it becomes the writer, which may map `addressSpace` bytes when that is given; its
// standard output goes to `output` when one is given.
pid_t Start(const ScratchDir& dir, const std::string& first, const std::string& second,
            const std::function<void()>& limit = {}, int output = -1, std::size_t addressSpace = 0) {
  const ChildProgram writer(ERROR_LOG_WRITER, {"error_log_writer", first, second}, addressSpace);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.Path().c_str()) != 0) _exit(126);
    if (limit) limit();
    if (output >= 0) dup2(output, STDOUT_FILENO);
    writer.Exec();
    _exit(127);
  }
  return pid;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The way the process ended, for a message: its status or the signal that ended it.
std::string Ending(int status) {
  if (WIFEXITED(status)) return "status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return std::string("signal ") + strsignal(WTERMSIG(status));
  return "?";
}

void Limit(int resource, rlim_t value) {
  rlimit r{value, value};
  if (setrlimit(resource, &r) != 0) _exit(125);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  EXPECT_EQ(at, text.size()) << "the log ends with a whole line";
  return lines;
}

const char* const kLabels[] = {
    "SubSystem       :", "SubCode         :", "GenCode         :", "OsCode          :", "ArgType         :",
    "FuncPtr         :", "ArgNum          :", "FuncSym         :", "Severity        :", "CanDefault      :",
    "CanRetry        :", "CanSubstitute   :", "Operation       :", "Description     :", "FileName        :",
    "Tries           :", "FileHandle      :", "SubCodeText     :", "Arg             :", "ArgTypeReq      :",
    "MaxSize         :", "SubstituteType  :", "CallFuncSym     :",
};

// Reads one whole record from line i on; false at the first line that breaks the layout. The
// argument the record names goes to `arg`; unless told otherwise, the message must name it too.
bool ReadRecord(const std::vector<std::string>& lines, std::size_t& i, std::string& arg, std::string& why,
                bool messageNamesArgument = true) {
  // The writers take the conventions of the locale they run under, with or without the century
  // and the 12-hour clock.
  static const std::regex dateTime(R"(\d\d/\d\d/\d\d(\d\d)? \d\d:\d\d:\d\d( \S+)?)");
  auto expect = [&](bool ok, const char* what) {
    if (!ok) why = std::string(what) + " at line " + std::to_string(i + 1) + ": " + (i < lines.size() ? lines[i] : "");
    return ok;
  };
  auto next = [&]() -> const std::string& {
    static const std::string none = "<end>";
    return i < lines.size() ? lines[i++] : none;
  };
  if (!expect(next() == "***********************ERROR********************************", "banner")) return false;
  if (!expect(next() == String2Psz(Version()), "version")) return false;
  if (!expect(std::regex_match(next(), dateTime), "date and time")) return false;
  if (!expect(next() == "Application: error_log_writer", "application")) return false;
  if (!expect(next() == " " && next() == "Error message:" && next() == "--------------", "headings")) return false;
  std::string messageArg;
  while (i < lines.size() && lines[i] != "Error Object created:") {
    if (lines[i].rfind("*****", 0) == 0) return expect(false, "interleaved");
    if (lines[i].rfind("Argument: ", 0) == 0) messageArg = lines[i].substr(10);
    ++i;
  }
  if (!expect(i > 0 && lines[i - 1].empty(), "empty line after the message")) return false;
  if (!expect(next() == "Error Object created:" && next() == "--------------------", "object heading")) return false;
  for (const char* label : kLabels) {
    const std::string& line = next();
    if (!expect(line.rfind(label, 0) == 0, label)) return false;
    if (std::string(label) == "Arg             :") arg = line.substr(17);
  }
  if (!expect(next() == "--------------------", "closing rule")) return false;
  return expect(!messageNamesArgument || arg == messageArg, "the message and the fields name one argument");
}

// Every record of the log whole, with an empty line between two; how many there are. A message
// may have been shortened, or given up, for want of memory.
std::size_t WholeRecords(const std::string& log, bool messagesWhole = true) {
  std::vector<std::string> lines = Lines(log);
  std::size_t records = 0;
  for (std::size_t i = 0; i < lines.size();) {
    if (records > 0) {
      EXPECT_TRUE(lines[i++].empty()) << "an empty line between records, line " << i;
    }
    std::string arg, why;
    if (!ReadRecord(lines, i, arg, why, messagesWhole)) {
      ADD_FAILURE() << "record " << records + 1 << ": " << why;
      return records;
    }
    ++records;
  }
  return records;
}

class ErrorLogProcessesTest : public RuntimeTest {
 protected:
  std::string Log() const { return ScratchDir::Read(dir_.File("TBERROR.LOG")); }
  ScratchDir dir_;
};

TEST_F(ErrorLogProcessesTest, EightWritersLoseNoRecordAndMixNone) {
  constexpr int kWriters = 8, kErrors = 200;
  std::vector<pid_t> pids;
  for (int w = 0; w < kWriters; ++w) pids.push_back(Start(dir_, std::to_string(w), std::to_string(kErrors)));
  for (pid_t pid : pids) EXPECT_EQ(ExitStatus(pid), 0);

  std::vector<std::string> lines = Lines(ScratchDir::Read(dir_.File("TBERROR.LOG")));
  std::map<std::string, std::vector<int>> seen;  // writer -> its errors in log order
  std::size_t records = 0;
  static const std::regex argument(R"(writer (\d+) error (\d+))");
  for (std::size_t i = 0; i < lines.size();) {
    if (records > 0) {
      ASSERT_TRUE(lines[i++].empty()) << "an empty line between records, line " << i;
    }
    std::string arg, why;
    ASSERT_TRUE(ReadRecord(lines, i, arg, why)) << "record " << records + 1 << ": " << why;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(arg, m, argument)) << arg;
    seen[m[1]].push_back(std::stoi(m[2]));
    ++records;
  }
  EXPECT_EQ(records, std::size_t(kWriters * kErrors));
  ASSERT_EQ(seen.size(), std::size_t(kWriters));
  for (const auto& [writer, errors] : seen) {
    ASSERT_EQ(errors.size(), std::size_t(kErrors)) << "writer " << writer;
    for (int e = 0; e < kErrors; ++e) ASSERT_EQ(errors[e], e) << "writer " << writer << ": in order, each once";
  }
  std::size_t entries = 0;
  for (auto it = std::filesystem::directory_iterator(dir_.Path()); it != std::filesystem::directory_iterator(); ++it)
    ++entries;
  EXPECT_EQ(entries, 1u) << "nothing but the log is left in the directory";
}

// A pipe with no reader in place of the log: opening it to write would wait for a reader for
// ever. The writer is given a minute before an alarm ends it.
TEST_F(ErrorLogProcessesTest, APipeWhereTheLogGoesHoldsNoOneUp) {
  ASSERT_EQ(mkfifo(dir_.File("TBERROR.LOG").c_str(), 0600), 0);
  int status = 0;
  pid_t pid = Start(dir_, "0", "3", [] { alarm(60); });
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Ending(status);
}

TEST_F(ErrorLogProcessesTest, ALogPastTheFileSizeLimitEndsNoProgram) {
  constexpr int kErrors = 10;
  // Room for a few records: the one that does not fit is left out whole, and so is each after it.
  int status = 0;
  pid_t pid = Start(dir_, "0", std::to_string(kErrors), [] { Limit(RLIMIT_FSIZE, 4000); });
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Ending(status);
  std::string log = Log();
  EXPECT_LE(log.size(), 4000u);
  std::size_t records = WholeRecords(log);
  EXPECT_GT(records, 0u);
  EXPECT_LT(records, std::size_t(kErrors));
}

// An argument of 16 MiB under limits on the address space from too small to hold two copies of
// it to room for everything: the writer always shows its dialog and ends as usual, and its log
// never holds part of a record. With room for about eight copies the record is written whole.
TEST_F(ErrorLogProcessesTest, MemoryThatRunsShortEndsNoProgram) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any limit here allows";
#endif
  constexpr std::size_t kMegabytes = 16;
  struct Case {
    rlim_t megabytes;
    bool whole;
  } cases[] = {{24, false}, {40, false}, {56, false}, {72, false}, {96, false}, {160, true}};
  for (const Case& c : cases) {
    std::filesystem::remove(dir_.File("TBERROR.LOG"));
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    int status = 0;
    pid_t pid = Start(dir_, "big", std::to_string(kMegabytes), {}, out[1], std::size_t(c.megabytes) << 20);
    close(out[1]);
    std::string shown;
    char block[64];
    for (ssize_t n; (n = read(out[0], block, sizeof block)) > 0;) shown.append(block, std::size_t(n));
    close(out[0]);
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.megabytes << " MiB: " << Ending(status);
    EXPECT_FALSE(shown.empty()) << c.megabytes << " MiB: the dialog was shown";
    std::string log = Log();
    if (!log.empty()) WholeRecords(log, false);
    if (c.whole) {
      EXPECT_GT(log.size(), 2 * (kMegabytes << 20)) << c.megabytes << " MiB: the record holds the argument twice";
    }
  }
}

TEST_F(ErrorLogProcessesTest, QuittingEndsTheProgramWithTheGenericCodeAsItsStatus) {
  struct Case {
    const char* gencode;
    int status;
  } cases[] = {{"21", 21}, {"255", 255}, {"256", 255}, {"512", 255}};
  for (const Case& c : cases) {
    EXPECT_EQ(ExitStatus(Start(dir_, "quit", c.gencode)), c.status) << c.gencode;
  }
  std::vector<std::string> lines = Lines(ScratchDir::Read(dir_.File("TBERROR.LOG")));
  std::size_t records = 0;
  for (const std::string& line : lines)
    records += line == "***********************ERROR********************************";
  EXPECT_EQ(records, 4u) << "each error was logged before the program ended";
}

}  // namespace

#endif
