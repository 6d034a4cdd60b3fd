// Files where the host is unkind: lines that do not fit, things that are no regular file,
// debris of creators that died, paths longer than one call can take, lines past 4 GiB.
#include <cstdint>

#include "kest_call.h"
#include "runtime_fixture.h"
#include "scratch_dir.h"
#include "tb28run/files.h"

#if !defined(_WIN32)
#include <sys/mman.h>

#include "hostile_files.h"
#endif

namespace {

class FileFaultsTest : public RuntimeTest {
 protected:
  static std::uint32_t LastError() { return std::uint32_t(AsInt(KestCall(FError, 1, {}))); }
  ScratchDir dir_;
};

TEST_F(FileFaultsTest, ANewFileClosedEmptyGoesAgain) {
  std::string path = dir_.File("made.txt");
  FileHandle h = FCreate2(path.c_str(), FC_ARCHIVE | FC_NEW);
  ASSERT_NE(h, F_ERROR);
  EXPECT_TRUE(std::filesystem::exists(path)) << "there while it is open";
  FClose(h);
  EXPECT_FALSE(std::filesystem::exists(path));

  h = FCreate2(path.c_str(), FC_ARCHIVE);
  ASSERT_NE(h, F_ERROR);
  FClose(h);
  EXPECT_TRUE(std::filesystem::exists(path)) << "a file created the usual way stays, empty or not";
}

TEST_F(FileFaultsTest, ADeviceIsNoRegularFile) {
#if defined(_WIN32)
  const char* device = "NUL";
#else
  const char* device = "/dev/null";
#endif
  EXPECT_EQ(FOpen2(device, FO_WRITE | FO_REGULAR), F_ERROR);
  EXPECT_EQ(LastError(), 5u);
  FileHandle plain = FOpen2(device, FO_WRITE);
  EXPECT_NE(plain, F_ERROR) << "opened as it is when a regular file is not asked for";
  FClose(plain);
  std::string path = dir_.File("plain.txt");
  ScratchDir::Write(path, "text");
  FileHandle regular = FOpen2(path.c_str(), FO_WRITE | FO_APPEND | FO_REGULAR);
  ASSERT_NE(regular, F_ERROR);
  EXPECT_EQ(FPutS3(regular, "more", 4), 6u);
  FClose(regular);
  EXPECT_EQ(ScratchDir::Read(path), "textmore\r\n");
}

#if !defined(_WIN32)
// A line that goes past the file-size limit: the part the kernel took is cut off again, and
// the next line follows the last whole one.
TEST_F(FileFaultsTest, ALineThatCannotBeWrittenWholeLeavesNothingOfItself) {
  struct Case {
    const char* what;
    FileHandle (*open)(const std::string& path);
  } cases[] = {
      {"appending", [](const std::string& p) { return FOpen2(p.c_str(), FO_WRITE | FO_APPEND); }},
      {"where it stands",
       [](const std::string& p) {
         FileHandle h = FOpen2(p.c_str(), FO_READWRITE);
         FSeek3(h, 0, FS_END);
         return h;
       }},
  };
  const std::string line(60, 'x');
  for (const Case& c : cases) {
    std::string path = dir_.File("limited.txt");
    ScratchDir::Write(path, "first\r\n");
    FileHandle h = c.open(path);
    ASSERT_NE(h, F_ERROR) << c.what;
    {
      FileSizeLimit limit(40);
      EXPECT_EQ(FPutS3(h, line.data(), line.size()), 0u) << c.what;
      EXPECT_EQ(LastError(), 112u) << c.what;
      EXPECT_EQ(ScratchDir::Read(path), "first\r\n") << c.what;
      EXPECT_EQ(FPutS3(h, "next", 4), 6u) << c.what << ": a line that fits still goes";
    }
    FClose(h);
    EXPECT_EQ(ScratchDir::Read(path), "first\r\nnext\r\n") << c.what;
  }
}

TEST_F(FileFaultsTest, SideFilesOfDeadCreatorsAreCleared) {
  std::string path = dir_.File("made.txt");
  std::string dead = path + ".tb28run-" + std::to_string(EndedProcess()) + "-3";
  std::string alive = path + ".tb28run-" + std::to_string(getpid()) + "-900";
  std::string otherFile = dir_.File("other.txt") + ".tb28run-" + std::to_string(EndedProcess()) + "-1";
  std::string notOurs = path + ".tb28run-notanumber";
  for (const std::string& side : {dead, alive, otherFile, notOurs}) ScratchDir::Write(side, "");
  FileHandle h = FCreate2(path.c_str(), FC_ARCHIVE | FC_NEW);
  ASSERT_NE(h, F_ERROR);
  FPutS3(h, "line", 4);
  FClose(h);
  EXPECT_FALSE(std::filesystem::exists(dead)) << "left by a process that is gone";
  EXPECT_TRUE(std::filesystem::exists(alive)) << "a creator that still runs";
  EXPECT_TRUE(std::filesystem::exists(otherFile)) << "beside another file";
  EXPECT_TRUE(std::filesystem::exists(notOurs));
  std::size_t sideFiles = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.Path()))
    sideFiles += e.path().filename().string().rfind("made.txt.tb28run-", 0) == 0;
  EXPECT_EQ(sideFiles, 2u) << "making the file left no side file of its own";

  // A creator that died after linking its file to the path and before removing the side name.
  std::string linked = dir_.File("linked.txt");
  std::string second = linked + ".tb28run-" + std::to_string(EndedProcess()) + "-1";
  ScratchDir::Write(linked, "");
  std::filesystem::create_hard_link(linked, second);
  h = FOpen2(linked.c_str(), FO_WRITE | FO_APPEND | FO_REGULAR);
  ASSERT_NE(h, F_ERROR);
  FClose(h);
  EXPECT_FALSE(std::filesystem::exists(second)) << "the empty file's second name";
  EXPECT_TRUE(std::filesystem::exists(linked));
}

TEST_F(FileFaultsTest, APathLongerThanOneCallTakesStillLeadsToItsFile) {
  DeepDirectory deep(dir_.Path());
  ASSERT_GT(deep.Path().size(), std::size_t(PATH_MAX));
  std::string made = deep.Path() + "/made.txt", created = deep.Path() + "/created.txt";
  FileHandle h = FCreate2(made.c_str(), FC_ARCHIVE | FC_NEW);
  ASSERT_NE(h, F_ERROR) << LastError();
  FPutS3(h, "new", 3);
  FClose(h);
  h = FCreate2(created.c_str(), FC_ARCHIVE);
  ASSERT_NE(h, F_ERROR) << LastError();
  FPutS3(h, "created", 7);
  FClose(h);
  h = FOpen2(made.c_str(), FO_WRITE | FO_APPEND | FO_NOFOLLOW | FO_REGULAR);
  ASSERT_NE(h, F_ERROR) << LastError();
  FPutS3(h, "appended", 8);
  FClose(h);
  EXPECT_EQ(deep.Read("made.txt"), "new\r\nappended\r\n");
  EXPECT_EQ(deep.Read("created.txt"), "created\r\n");

  EXPECT_EQ(FOpen2((deep.Path() + "/missing.txt").c_str(), FO_READ), F_ERROR);
  EXPECT_EQ(LastError(), 2u) << "the directory is there, the file is not";
  EXPECT_EQ(FCreate2((deep.Path() + "/gone/made.txt").c_str(), FC_ARCHIVE | FC_NEW), F_ERROR);
  EXPECT_EQ(LastError(), 3u) << "a directory on the way is missing";
}

#if SIZE_MAX > UINT32_MAX
// A line past 4 GiB is written whole, not cut to its length modulo 2^32. The bytes come from
// a mapping no page of which is ever touched, and go nowhere. A 32-bit process holds no such line.
TEST_F(FileFaultsTest, ALinePastFourGibibytesIsWrittenWhole) {
  const std::size_t length = std::size_t((std::uint64_t(1) << 32) + 3);
  void* bytes = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(bytes, MAP_FAILED);
  FileHandle h = FOpen2("/dev/null", FO_WRITE);
  ASSERT_NE(h, F_ERROR);
  EXPECT_EQ(FPutS3(h, static_cast<const char*>(bytes), length), length + 2);
  FClose(h);
  munmap(bytes, length);
}
#endif
#endif

}  // namespace
