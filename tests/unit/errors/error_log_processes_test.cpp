// Several processes handling errors at once into one log, and a program quitting from the
// error dialog, each a process of its own built from the program's library.
#if !defined(_WIN32) && defined(ERROR_LOG_WRITER)

#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "child_program.h"
#include "runtime_fixture.h"
#include "scratch_dir.h"
#include "tb28run/datetime.h"

namespace {

// Starts the writer in the directory with these arguments; its pid.
pid_t Start(const ScratchDir& dir, const std::string& first, const std::string& second) {
  const ChildProgram writer(ERROR_LOG_WRITER, {"error_log_writer", first, second});
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.Path().c_str()) != 0) _exit(126);
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
// argument the record names goes to `arg`.
bool ReadRecord(const std::vector<std::string>& lines, std::size_t& i, std::string& arg, std::string& why) {
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
  return expect(arg == messageArg, "the message and the fields name one argument");
}

class ErrorLogProcessesTest : public RuntimeTest {
 protected:
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
