// The error log: records byte for byte, the empty line between records, the hexadecimal
// renderings, a missing directory, and logs that must not be written.
#include <filesystem>

#include "error_handling_fixture.h"
#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/un.h>

#include "hostile_files.h"
#include "traced_child.h"
#endif
#include "errors/error_log.h"
#include "errors/error_log_hex.h"
#include "runtime/frame_guard.h"
#include "tb28run/testing_clock.h"

namespace {

// The expected records, with the texts that depend on the host in braces.
std::string Expected(const char* name) {
  std::filesystem::path dir = ERROR_LOG_EXPECTED_DIR;
  std::string text = ScratchDir::Read(dir / name);
  EXPECT_FALSE(text.empty()) << "missing " << (dir / name).string();
  auto replace = [&text](const std::string& from, const std::string& to) {
    for (std::size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
  };
  replace("{VERSION}", std::string(String2Psz(Version())));
  replace("{EXECNAME}", std::string(String2Psz(_ExecName())));
  replace("{NULLPOINTER}", "0x" + std::string(2 * sizeof(void*), '0'));
  replace("{ADDRESS}", sizeof(void*) == 8 ? "0000000000401000" : "00401000");
  return text;
}

class ErrorLogTest : public ErrorHandlingTest {
 protected:
  void SetUp() override {
    ErrorHandlingTest::SetUp();
    TbTestLocalTime noon{2024, 2, 29, 13, 5, 9};
    TbTestSetLocalTime(&noon);
  }
  // An argument error as the runtime raises it, standing in START at line 42.
  static Usual PlainError() {
    return NewError({{SYM_SUBSYSTEM, S("TB28RUN")},
                     {SYM_GENCODE, IntValue(1)},
                     {SYM_SEVERITY, IntValue(2)},
                     {SYM_CANDEFAULT, LogicValue(true)},
                     {SYM_CANRETRY, LogicValue(true)},
                     {SYM_CANSUBSTITUTE, LogicValue(true)},
                     {SYM_OPERATION, S("FPutS")},
                     {SYM_DESCRIPTION, S("Argument of the wrong type")},
                     {SYM_FUNCSYM, SymbolValue(SYM_FPUTS)},
                     {SYM_ARGNUM, IntValue(2)},
                     {SYM_ARG, S("5")},
                     {SYM_ARGTYPE, IntValue(T_INT)},
                     {SYM_ARGTYPEREQ, IntValue(T_STRING)},
                     {SYM_SUBSTITUTETYPE, IntValue(T_STRING)},
                     {SYM_TRIES, IntValue(1)},
                     {SYM_STACK, S("START (Line:42)\r\n")}});
  }
  // An access violation: subcode 5333 with the exception's data.
  static Usual ExceptionError() {
    return NewError({{SYM_SUBSYSTEM, S("TB28RUN")},
                     {SYM_SUBCODE, IntValue(5333)},
                     {SYM_OSCODE, _DW2T(0xC0000005u)},
                     {SYM_SEVERITY, IntValue(2)},
                     {SYM_DESCRIPTION, S("Access violation")},
                     {SYM_FUNCSYM, SymbolValue(SYM_START)},
                     {SYM_ARGNUM, IntValue(2)},
                     {SYM_FUNCPTR, PtrValue(reinterpret_cast<const void*>(std::uintptr_t(0x401000)))},
                     {SYM_ARGTYPE, IntValue(0)},
                     {SYM_STACK, S("START (Line:42)\r\n")}});
  }
};

TEST_F(ErrorLogTest, TheFirstRecordOpensANewLogAndTheNextFollowsAnEmptyLine) {
  DefError(PlainError());
  EXPECT_EQ(Log(), Expected("plain_error.log"));
  DefError(ExceptionError());
  EXPECT_EQ(Log(), Expected("plain_error.log") + "\r\n" + Expected("exception_error.log"));
}

TEST_F(ErrorLogTest, TheEmptyLineBeforeARecordGoesOutOnlyWithTheRecord) {
  ScratchDir::Write(LogPath(), "earlier record\r\n");
  ErrorLogSeparator separator;
  Usual opened = ErrorLogOpen(separator);
  FileHandle h = reinterpret_cast<FileHandle>(_P2Ptr(opened));
  ASSERT_NE(h, F_ERROR);
  FClose(h);
  EXPECT_EQ(Log(), "earlier record\r\n") << "a log opened and closed without a record is unchanged";

  // A log made anew owes no empty line, whatever an earlier opening left owing.
  opened = ErrorLogOpen(separator);
  h = reinterpret_cast<FileHandle>(_P2Ptr(opened));
  ASSERT_NE(h, F_ERROR);
  FClose(h);
  std::filesystem::remove(LogPath());
  DefError(PlainError());
  EXPECT_EQ(Log(), Expected("plain_error.log"));
  DefError(PlainError());
  EXPECT_EQ(Log(), Expected("plain_error.log") + "\r\n" + Expected("plain_error.log"));
}

TEST_F(ErrorLogTest, TheLogIsWrittenAndClosedBeforeTheDialogShows) {
  TbTestSetErrorDialogHook([](const char*, const char*, std::uint32_t, std::uint32_t, std::uint32_t) -> std::uint32_t {
    // While the dialog shows, the log is free for anyone.
    FileHandle h = FOpen2(String2Psz(_CCS(WorkDir(), Psz2String("TBERROR.LOG"))), FO_WRITE);
    EXPECT_NE(h, F_ERROR);
    FClose(h);
    return ED_FIRST;
  });
  DefError(PlainError());
  EXPECT_EQ(Log(), Expected("plain_error.log"));
}

TEST_F(ErrorLogTest, ARecordSurvivesACollectionBeforeEveryAllocation) {
  static const FrameInfo kFrame{"STRESSED", "errors/test.prg"};
  Usual locals[2];
  FrameGuard frame(kFrame, 0, nullptr, locals, 2);
  locals[0] = PlainError();
  locals[1] = ExceptionError();
  TbTestSetStackScan(0);
  TbTestSetGcStress(1);
  DefError(locals[0]);
  DefError(locals[1]);
  TbTestSetGcStress(0);
  TbTestSetStackScan(1);
  EXPECT_EQ(Log(), Expected("plain_error.log") + "\r\n" + Expected("exception_error.log"));
}

TEST_F(ErrorLogTest, HexadecimalRenderings) {
  auto number = [](const char* text) { return Val(Psz2String(text)); };
  struct Case {
    const char* what;
    Usual value;
    const char* hex;
  } cases[] = {
      {"the string AB", S("AB"), "41 42 "},
      {"the empty string", S(""), ""},
      {"bytes 0 and 255", StringValue(Mem2String("\0\xFF", 2)), "00 FF "},
      {"1.5", number("1.5"), "000000003FF80000"},
      {"7 shown as 7.00", number("7.00"), "00000000401C0000"},
      {"-1 as a float without decimals", number("-1."), "FFFFFFFF"},
      {"the integer -1", IntValue(-1), "FFFFFFFF"},
      {"the integer 255", IntValue(255), "000000FF"},
      {"2^31 as an unsigned number", _DW2T(0x80000000u), "80000000"},
      {"an exception code", _DW2T(0xC0000005u), "C0000005"},
      {"2^32 - 1", _DW2T(0xFFFFFFFFu), "FFFFFFFF"},
      {"2^32, beyond 32 bits", number("4294967296"), "0000000041F00000"},
      {"-2^31 counts as wide", number("-2147483648."), "00000000C1E00000"},
      {"-2^31 + 1 is not", number("-2147483647."), "80000001"},
      {"a symbol", SymbolValue(444), "000001BC"},
      {"a logical", LogicValue(true), "00000001"},
      {"NIL", NilValue(), "00000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(Str(ErrorLogHex(c.value)), c.hex) << c.what;
  Usual pointer = PtrValue(reinterpret_cast<const void*>(std::uintptr_t(0x401000)));
  EXPECT_EQ(Str(ErrorLogHex(pointer)), sizeof(void*) == 8 ? "0000000000401000" : "00401000");
  std::uint32_t blocks = TbTestLiveMemBlocks();
  EXPECT_EQ(Str(ErrorLogHexBytes(S("AB"))), "41 42 ");
  EXPECT_EQ(TbTestLiveMemBlocks(), blocks) << "the work buffers are given back";
}

TEST_F(ErrorLogTest, AFractionShownWithAnotherDecimalSeparatorIsStillWide) {
  CallKest<1>(SetDecimalSep, IntValue(','));
  EXPECT_EQ(Str(ErrorLogHex(Val(Psz2String("1,5")))), "000000003FF80000");
}

TEST_F(ErrorLogTest, AMissingDefaultDirectoryIsReportedAndCleared) {
  std::string missing = dir_.File("gone") + std::string(1, std::filesystem::path::preferred_separator);
  struct Case {
    bool directory;
    const char* report;
  } cases[] = {{true, "SetDefaultDir: "}, {false, "SetDefault: "}};
  for (const Case& c : cases) {
    Reports().clear();
    Dialogs().clear();
    SetDefaultDir(c.directory ? missing.c_str() : "");
    SetDefault(c.directory ? "" : missing.c_str());
    DefError(PlainError());
    ASSERT_EQ(Reports().size(), 1u) << c.report;
    EXPECT_EQ(Reports()[0].code, 1u);
    EXPECT_EQ(Reports()[0].detail, 0u);
    EXPECT_EQ(Reports()[0].text, c.report + missing);
    EXPECT_EQ(Str(GetDefaultDir()), "");
    EXPECT_EQ(Str(GetDefault()), "");
    EXPECT_EQ(Dialogs().size(), 1u) << "the dialog still shows";
    EXPECT_FALSE(std::filesystem::exists(dir_.File("gone")));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path())) << "no record anywhere near";
  }
}

TEST_F(ErrorLogTest, ALogHeldByAnotherKeepsEveryByte) {
  ScratchDir::Write(LogPath(), "earlier record\r\n");
  ErrorLogBusyWait = 30;
  FileHandle holder = FOpen2(LogPath().c_str(), FO_WRITE);
  ASSERT_NE(holder, F_ERROR);
  DefError(PlainError());
  FClose(holder);
  EXPECT_EQ(Dialogs().size(), 1u);
  EXPECT_EQ(Log(), "earlier record\r\n") << "neither emptied nor written";
  EXPECT_TRUE(Reports().empty()) << "a busy log is not a fault to report";
  ErrorLogBusyWait = 5000;
  DefError(PlainError());
  EXPECT_EQ(Log(), "earlier record\r\n\r\n" + Expected("plain_error.log"));
}

TEST_F(ErrorLogTest, AnEmptyLogIsANewLog) {
  // What a writer killed between making the log and writing to it leaves behind.
  ScratchDir::Write(LogPath(), "");
  DefError(PlainError());
  EXPECT_EQ(Log(), Expected("plain_error.log"));
}

#if !defined(_WIN32)
// Whoever can make a file where the log goes can put something else there: the handler goes on
// at once, as for a log it cannot open, and writes into none of it.
TEST_F(ErrorLogTest, ALogThatIsNoRegularFileIsLeftAlone) {
  enum Kind { kPipeWithReader, kSocket, kDirectory };
  for (Kind kind : {kPipeWithReader, kSocket, kDirectory}) {
    std::filesystem::remove_all(LogPath());
    Dialogs().clear();
    int reader = -1, listener = -1;
    if (kind == kPipeWithReader) {
      ASSERT_EQ(mkfifo(LogPath().c_str(), 0600), 0);
      reader = open(LogPath().c_str(), O_RDONLY | O_NONBLOCK);
      ASSERT_GE(reader, 0);
    } else if (kind == kSocket) {
      listener = socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      LogPath().copy(address.sun_path, sizeof address.sun_path - 1);
      ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    } else {
      std::filesystem::create_directory(LogPath());
    }
    DefError(PlainError());
    EXPECT_EQ(Dialogs().size(), 1u) << kind;
    EXPECT_TRUE(Reports().empty()) << kind;
    if (reader >= 0) {
      char byte;
      EXPECT_LE(read(reader, &byte, 1), 0) << "nothing went into the pipe";
      close(reader);
    }
    if (listener >= 0) close(listener);
  }
}

// Two processes that both find no log and both go to make it: the one that comes second must not
// empty the record the first wrote. The child is held just after it found no log; the test then
// makes the log and writes its record before the child goes on to make the log itself.
TEST_F(ErrorLogTest, TwoProcessesMakingTheMissingLogAtOnceKeepBothRecords) {
  auto writeRecord = [this](const char* text) {
    ErrorLogSeparator separator;
    Usual handle = ErrorLogOpen(separator);
    auto file = reinterpret_cast<FileHandle>(_P2Ptr(handle));
    if (file == F_ERROR) return 3;
    ErrorLogWrite(separator, handle, S(text), PlainError());
    return FClose(file) ? 0 : 4;
  };
  TracedChild child([&] { return writeRecord("the second writer's record"); });
  if (!child.Started()) GTEST_SKIP() << "no process can be traced here";
  ASSERT_TRUE(child.StopAfterFailing(SYS_openat, ENOENT)) << "the child looked for the log and found none";
  ASSERT_EQ(writeRecord("the first writer's record"), 0);
  ASSERT_EQ(child.Finish(), 0);
  const std::string log = Log();
  const std::string banner = "***********************ERROR";
  EXPECT_EQ(log.rfind(banner, 0), 0u) << "the log opens with the first record";
  const std::size_t first = log.find("the first writer's record"), second = log.find("the second writer's record");
  ASSERT_NE(first, std::string::npos) << log;
  ASSERT_NE(second, std::string::npos) << log;
  EXPECT_LT(first, second);
  EXPECT_NE(log.find("--------------------\r\n\r\n" + banner), std::string::npos) << "an empty line between";
}

TEST_F(ErrorLogTest, ARecordTheLogCannotTakeWholeLeavesNoTrace) {
  ScratchDir::Write(LogPath(), "earlier record\r\n");
  {
    FileSizeLimit limit(300);
    DefError(PlainError());
    EXPECT_EQ(Log(), "earlier record\r\n") << "neither the record nor its empty line";
    std::filesystem::remove(LogPath());
    DefError(PlainError());
    EXPECT_FALSE(LogExists()) << "no log made for a record that did not fit";
  }
  EXPECT_EQ(Dialogs().size(), 2u) << "the user saw both errors";
  EXPECT_TRUE(Reports().empty()) << "the log's failures are not the user's";
  DefError(PlainError());
  EXPECT_EQ(Log(), Expected("plain_error.log"));
}

TEST_F(ErrorLogTest, AFullDiskKeepsEveryRecordWhole) {
  SmallDisk disk(dir_.Path() / "small");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a small disk needs root";
  SetDefaultDir((disk.Path() / "").string().c_str());
  std::string log = (disk.Path() / "TBERROR.LOG").string();
  DefError(PlainError());
  std::string first = ScratchDir::Read(log);
  ASSERT_EQ(first, Expected("plain_error.log"));
  ASSERT_TRUE(disk.Fill());
  // Longer than the room left in the log's last block.
  Usual longError = PlainError();
  IVarPut(AsObj(longError), SYM_ARG, S(std::string(8000, 'x').c_str()));
  DefError(longError);
  EXPECT_EQ(ScratchDir::Read(log), first);
  std::filesystem::remove(log);
  DefError(longError);
  EXPECT_FALSE(std::filesystem::exists(log)) << "no empty log made on a full disk";
  EXPECT_EQ(Dialogs().size(), 3u);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ErrorLogTest, AWorkingDirectoryDeeperThanAPathCanNameStillGetsItsLog) {
  DeepDirectory deep(dir_.Path());
  ASSERT_GT(deep.Path().size(), std::size_t(PATH_MAX));
  SetDefaultDir((deep.Path() + "/").c_str());
  DefError(PlainError());
  EXPECT_EQ(deep.Read("TBERROR.LOG"), Expected("plain_error.log")) << "a default directory that deep";
  SetDefaultDir("");
  SetDefault("");
  ASSERT_TRUE(deep.Enter());
  DefError(PlainError());
  EXPECT_EQ(deep.Read("TBERROR.LOG"), Expected("plain_error.log") + "\r\n" + Expected("plain_error.log"))
      << "the current directory that deep";
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ErrorLogTest, ALogThatIsASymbolicLinkIsNeitherFollowedNorReplaced) {
  std::string target = dir_.File("elsewhere.txt");
  ScratchDir::Write(target, "not a log");
  std::filesystem::create_symlink(target, LogPath());
  DefError(PlainError());
  EXPECT_EQ(ScratchDir::Read(target), "not a log");
  EXPECT_TRUE(std::filesystem::is_symlink(LogPath()));
  EXPECT_EQ(Dialogs().size(), 1u);
}
#endif

}  // namespace
