// Files: handles, line writing, positions, Windows error numbers and closing everything.
#include "tb28run/files.h"

#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "scratch_dir.h"
#include "tb28run/arrays.h"
#include "test_function_table.h"

namespace {

class FilesTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ErrorRecorder::Install();
  }
  static std::uint32_t LastError() { return std::uint32_t(AsInt(KestCall(FError, 1, {}))); }
  static Usual Handle(FileHandle h) { return PtrValue(reinterpret_cast<const void*>(h)); }
  FileHandle Created(const std::string& name) {
    FileHandle h = FCreate2(dir_.File(name).c_str(), FC_ARCHIVE);
    EXPECT_NE(h, F_ERROR) << name;
    return h;
  }
  ScratchDir dir_;
};

TEST_F(FilesTest, LinesEndWithCrLfAndALengthCutsTheText) {
  FileHandle h = Created("lines.txt");
  struct Case {
    std::initializer_list<Usual> args;
    std::int32_t written;
  } cases[] = {
      {{Handle(h), S("abc")}, 5},
      {{Handle(h), S("abcdef"), IntValue(2)}, 4},
      {{Handle(h), S("xy"), IntValue(10)}, 4},
      {{Handle(h), S("gone"), IntValue(-3)}, 2},
      {{Handle(h), S("")}, 2},
      {{IntValue(std::int32_t(h)), S("by number")}, 11},
  };
  for (const Case& c : cases) EXPECT_EQ(AsInt(KestCall(FPutS, 3, c.args)), c.written);
  EXPECT_EQ(FPutS3(h, "12345", 3), 5u);
  EXPECT_EQ(FPutS3(h, nullptr, 0), 2u);
  EXPECT_EQ(FPutS3(h, nullptr, 7), 2u) << "no text, nothing but the line end";
  for (std::uint32_t length : {4094u, 4095u, 10000u}) {  // around the line a writer holds on its stack
    std::string text(length, 'L');
    EXPECT_EQ(FPutS3(h, text.c_str(), length), length + 2) << length;
  }
  EXPECT_EQ(FClose(h), 1);
  EXPECT_EQ(ScratchDir::Read(dir_.File("lines.txt")), "abc\r\nab\r\nxy\r\n\r\n\r\nby number\r\n123\r\n\r\n\r\n" +
                                                          std::string(4094, 'L') + "\r\n" + std::string(4095, 'L') +
                                                          "\r\n" + std::string(10000, 'L') + "\r\n");
  EXPECT_EQ(LastError(), 0u);
}

TEST_F(FilesTest, FPutSIsReachableBySymbol) {
  static TestFunctionTable<1> table{{FIRST_PROGRAM_SYMBOL}, {{nullptr, 0}}};
  ASSERT_EQ(RTInitWithTable(table), 0);
  FileHandle h = Created("by-symbol.txt");
  Usual args[2] = {Handle(h), S("called by name")};
  EXPECT_EQ(AsInt(_CallKestFunc(SysAddAtom("FPUTS"), ArrayInit(2, args))), 16);
  FClose(h);
  EXPECT_EQ(ScratchDir::Read(dir_.File("by-symbol.txt")), "called by name\r\n");
}

TEST_F(FilesTest, TextOfTheWrongTypeIsAnArgumentErrorAndWritesNothing) {
  FileHandle h = Created("typed.txt");
  EXPECT_EQ(AsInt(KestCall(FPutS, 3, {Handle(h), IntValue(5)})), 0);
  ASSERT_EQ(ErrorRecorder::Raised().size(), 1u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].gencode, 1u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].argNum, 2u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].operation, "FPutS");
  ErrorRecorder::Answer(S("substituted"));
  EXPECT_EQ(AsInt(KestCall(FPutS, 3, {Handle(h), LogicValue(true)})), 13);
  FClose(h);
  EXPECT_EQ(ScratchDir::Read(dir_.File("typed.txt")), "substituted\r\n");
}

TEST_F(FilesTest, SeekingMovesTheWritePosition) {
  FileHandle h = Created("seek.txt");
  FPutS3(h, "0123456789", 10);
  EXPECT_EQ(FSeek3(h, 0, FS_SET), 0);
  EXPECT_EQ(FSeek3(h, 4, FS_RELATIVE), 4);
  FPutS3(h, "ab", 2);
  EXPECT_EQ(FSeek3(h, 0, FS_END), 12);
  EXPECT_EQ(FSeek3(h, -20, FS_END), -1);
  EXPECT_EQ(LastError(), 131u) << "negative seek";
  EXPECT_EQ(FSeek3(h, 0, 7), -1);
  EXPECT_EQ(LastError(), 87u);
  FClose(h);
  EXPECT_EQ(ScratchDir::Read(dir_.File("seek.txt")), std::string("0123ab\r\n89\r\n"));
}

TEST_F(FilesTest, AHandleOpenedToAppendWritesAtTheEndWhereverItWasMoved) {
  ScratchDir::Write(dir_.File("append.txt"), "start\r\n");
  for (std::uint32_t access : {FO_WRITE, FO_READWRITE}) {
    FileHandle h = FOpen2(dir_.File("append.txt").c_str(), access | FO_APPEND | FO_NOFOLLOW);
    ASSERT_NE(h, F_ERROR) << access;
    EXPECT_EQ(FPutS3(h, "first", 5), 7u);
    EXPECT_EQ(FSeek3(h, 0, FS_SET), 0);
    EXPECT_EQ(FPutS3(h, "second", 6), 8u);
    FClose(h);
  }
  EXPECT_EQ(ScratchDir::Read(dir_.File("append.txt")), "start\r\nfirst\r\nsecond\r\nfirst\r\nsecond\r\n");
  KestCall(FError, 1, {IntValue(0)});
  EXPECT_EQ(FOpen2(dir_.File("append.txt").c_str(), FO_READ | FO_APPEND), F_ERROR) << "nothing to append to";
  EXPECT_EQ(LastError(), 87u);
}

// The size a regular file had when it was opened stays what it was: lines written since and
// moves of the handle do not change it. Only an open that looked at the file knows it.
TEST_F(FilesTest, TheSizeAtOpeningIsKnownOnlyWhereTheOpenLooked) {
  ScratchDir::Write(dir_.File("sized.txt"), "twelve bytes");
  ScratchDir::Write(dir_.File("empty.txt"), "");
  struct Case {
    const char* name;
    std::uint32_t mode;
    std::int64_t size;
  } cases[] = {
      {"sized.txt", FO_WRITE | FO_APPEND | FO_REGULAR, 12},
      {"sized.txt", FO_READWRITE | FO_REGULAR, 12},
      {"sized.txt", FO_READ | FO_DENYNONE | FO_REGULAR, 12},
      {"empty.txt", FO_WRITE | FO_APPEND | FO_REGULAR, 0},
      {"sized.txt", FO_WRITE | FO_APPEND, -1},
      {"sized.txt", FO_READ, -1},
  };
  for (const Case& c : cases) {
    FileHandle h = FOpen2(dir_.File(c.name).c_str(), c.mode);
    ASSERT_NE(h, F_ERROR) << c.name << " " << c.mode;
    EXPECT_EQ(FOpenedSize(h), c.size) << c.name << " " << c.mode;
    EXPECT_EQ(LastError(), 0u);
    if (c.mode & (FO_WRITE | FO_READWRITE)) {
      FPutS3(h, "more", 4);
      FSeek3(h, 0, FS_SET);
      EXPECT_EQ(FOpenedSize(h), c.size) << "after a line, " << c.name << " " << c.mode;
    }
    FClose(h);
    ScratchDir::Write(dir_.File(c.name), c.size == 0 ? "" : "twelve bytes");
  }
  FileHandle made = Created("made.txt");
  EXPECT_EQ(FOpenedSize(made), -1) << "a file made new was not looked at";
  FClose(made);
  EXPECT_EQ(FOpenedSize(made), -1) << "a closed handle";
  EXPECT_EQ(LastError(), 6u);
}

TEST_F(FilesTest, FailuresAnswerTheFailureValueAndAWindowsErrorNumber) {
  ScratchDir::Write(dir_.File("exists.txt"), "kept");
  struct Case {
    const char* what;
    FileHandle (*attempt)(const ScratchDir&);
    std::uint32_t error;
  } cases[] = {
      {"a missing file", [](const ScratchDir& d) { return FOpen2(d.File("missing.txt").c_str(), FO_WRITE); }, 2},
      {"a missing directory",
       [](const ScratchDir& d) { return FOpen2(d.File("no-dir/missing.txt").c_str(), FO_WRITE); }, 3},
      {"creating in a missing directory",
       [](const ScratchDir& d) { return FCreate2(d.File("no-dir/new.txt").c_str(), FC_ARCHIVE); }, 3},
      {"creating anew over a file",
       [](const ScratchDir& d) { return FCreate2(d.File("exists.txt").c_str(), FC_ARCHIVE | FC_NEW); }, 80},
      {"a directory opened as a file", [](const ScratchDir& d) { return FOpen2(d.Path().string().c_str(), FO_READ); },
       5},
      {"a directory opened for writing",
       [](const ScratchDir& d) { return FOpen2(d.Path().string().c_str(), FO_WRITE | FO_NOFOLLOW); }, 5},
      {"a directory opened for reading and writing",
       [](const ScratchDir& d) { return FOpen2(d.Path().string().c_str(), FO_READWRITE | FO_DENYNONE); }, 5},
      {"an unknown access value", [](const ScratchDir& d) { return FOpen2(d.File("exists.txt").c_str(), 3); }, 87},
      {"an unknown sharing value", [](const ScratchDir& d) { return FOpen2(d.File("exists.txt").c_str(), 0x50); }, 87},
      {"no path", [](const ScratchDir&) { return FOpen2("", FO_READ); }, 2},
  };
  for (const Case& c : cases) {
    KestCall(FError, 1, {IntValue(0)});
    EXPECT_EQ(c.attempt(dir_), F_ERROR) << c.what;
    EXPECT_EQ(LastError(), c.error) << c.what;
  }
  EXPECT_EQ(ScratchDir::Read(dir_.File("exists.txt")), "kept");
}

TEST_F(FilesTest, AHandleThatIsNotOpenIsInvalid) {
  FileHandle h = Created("once.txt");
  EXPECT_EQ(FClose(h), 1);
  EXPECT_EQ(FClose(h), 0);
  EXPECT_EQ(LastError(), 6u);
  for (FileHandle stranger : {h, FileHandle(0), FileHandle(12345), F_ERROR}) {
    EXPECT_EQ(FPutS3(stranger, "x", 1), 0u);
    EXPECT_EQ(LastError(), 6u);
    EXPECT_EQ(FSeek3(stranger, 0, FS_SET), -1);
    EXPECT_EQ(LastError(), 6u);
  }
}

TEST_F(FilesTest, WritingToAHandleOpenedForReadingIsDenied) {
  ScratchDir::Write(dir_.File("read.txt"), "text");
  FileHandle h = FOpen2(dir_.File("read.txt").c_str(), FO_READ);
  ASSERT_NE(h, F_ERROR);
  EXPECT_EQ(FPutS3(h, "x", 1), 0u);
  EXPECT_EQ(LastError(), 5u);
  FClose(h);
  EXPECT_EQ(ScratchDir::Read(dir_.File("read.txt")), "text");
}

TEST_F(FilesTest, CreatingEmptiesAFileThatNoOneHolds) {
  ScratchDir::Write(dir_.File("old.txt"), "old contents");
  FileHandle h = Created("old.txt");
  EXPECT_EQ(FSeek3(h, 0, FS_END), 0);
  FClose(h);
  EXPECT_EQ(ScratchDir::Read(dir_.File("old.txt")), "");
}

TEST_F(FilesTest, CreatingANewFileMakesItEmptyAndOpen) {
  FileHandle h = FCreate2(dir_.File("fresh.txt").c_str(), FC_ARCHIVE | FC_NEW);
  ASSERT_NE(h, F_ERROR);
  FPutS3(h, "first", 5);
  FClose(h);
  EXPECT_EQ(ScratchDir::Read(dir_.File("fresh.txt")), "first\r\n");
  std::size_t entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.Path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1u) << "nothing left beside the new file";
}

TEST_F(FilesTest, ErrorNumbersCanBeSetAndAnswerThePreviousOne) {
  FOpen2(dir_.File("missing.txt").c_str(), FO_READ);
  EXPECT_EQ(AsInt(KestCall(FError, 1, {IntValue(7)})), 2);
  EXPECT_EQ(LastError(), 7u);
  EXPECT_EQ(AsInt(KestCall(FError, 1, {})), 7) << "a query changes nothing";
}

TEST_F(FilesTest, CloseAllClosesEveryHandle) {
  FileHandle a = Created("a.txt"), b = Created("b.txt");
  TBDBCloseAll();
  EXPECT_EQ(FClose(a), 0);
  EXPECT_EQ(FClose(b), 0);
  FileHandle again = FOpen2(dir_.File("a.txt").c_str(), FO_WRITE);
  EXPECT_NE(again, F_ERROR) << "nothing holds the file any more";
  FClose(again);
}

TEST_F(FilesTest, TheRuntimeResetClosesItsFiles) {
  FileHandle h = Created("held.txt");
  TbTestReset();
  ASSERT_EQ(MemInit(), 0);
  EXPECT_EQ(FClose(h), 0);
  FileHandle again = FOpen2(dir_.File("held.txt").c_str(), FO_WRITE);
  EXPECT_NE(again, F_ERROR);
  FClose(again);
}

}  // namespace
