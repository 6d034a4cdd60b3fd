// Sharing between handles: a handle that shares nothing keeps every other out, a file held by
// another is neither opened nor emptied, and a new file is never made over an existing one.
#include <filesystem>

#include "kest_call.h"
#include "runtime_fixture.h"
#include "scratch_dir.h"
#include "tb28run/files.h"

namespace {

class FileSharingTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ScratchDir::Write(path_, "held bytes");
  }
  static std::uint32_t LastError() { return std::uint32_t(AsInt(KestCall(FError, 1, {}))); }
  FileHandle Open(std::uint32_t mode) { return FOpen2(path_.c_str(), mode); }
  ScratchDir dir_;
  std::string path_ = dir_.File("shared.txt");
};

TEST_F(FileSharingTest, AHandleThatSharesNothingKeepsEveryOtherOut) {
  for (std::uint32_t holder : {FO_WRITE | FO_COMPAT, FO_READ | FO_EXCLUSIVE, FO_READWRITE | 0u}) {
    FileHandle held = Open(holder);
    ASSERT_NE(held, F_ERROR);
    for (std::uint32_t second : {FO_READ | FO_DENYNONE, FO_WRITE | FO_COMPAT, FO_READWRITE | FO_DENYWRITE}) {
      EXPECT_EQ(Open(second), F_ERROR) << std::hex << holder << " / " << second;
      EXPECT_EQ(LastError(), 32u);
    }
    EXPECT_EQ(FCreate2(path_.c_str(), FC_ARCHIVE), F_ERROR) << "not emptied under its holder";
    EXPECT_EQ(LastError(), 32u);
    FClose(held);
  }
  EXPECT_EQ(ScratchDir::Read(path_), "held bytes");
  FileHandle free = Open(FO_WRITE);
  EXPECT_NE(free, F_ERROR) << "closing lets the next one in";
  FClose(free);
}

TEST_F(FileSharingTest, HandlesThatShareCoexist) {
  FileHandle a = Open(FO_READ | FO_DENYNONE);
  FileHandle b = Open(FO_WRITE | FO_DENYNONE);
  EXPECT_NE(a, F_ERROR);
  EXPECT_NE(b, F_ERROR);
  EXPECT_EQ(Open(FO_WRITE | FO_COMPAT), F_ERROR) << "one that shares nothing waits for both";
  EXPECT_EQ(LastError(), 32u);
  FClose(a);
  FClose(b);
}

TEST_F(FileSharingTest, ANewFileIsNeverMadeOverAnExistingOne) {
  EXPECT_EQ(FCreate2(path_.c_str(), FC_ARCHIVE | FC_NEW), F_ERROR);
  EXPECT_EQ(LastError(), 80u);
  EXPECT_EQ(ScratchDir::Read(path_), "held bytes");
}

#if !defined(_WIN32)
TEST_F(FileSharingTest, ASymbolicLinkIsRefusedWhenAskedNotToFollow) {
  std::string link = dir_.File("link.txt");
  std::filesystem::create_symlink(path_, link);
  EXPECT_EQ(FOpen2(link.c_str(), FO_WRITE | FO_NOFOLLOW), F_ERROR);
  EXPECT_EQ(LastError(), 1921u);
  FileHandle followed = FOpen2(link.c_str(), FO_READ);
  EXPECT_NE(followed, F_ERROR) << "without the flag the link leads to its file";
  FClose(followed);

  std::string dangling = dir_.File("dangling.txt");
  std::filesystem::create_symlink(dir_.File("elsewhere.txt"), dangling);
  EXPECT_EQ(FCreate2(dangling.c_str(), FC_ARCHIVE | FC_NEW), F_ERROR) << "a link counts as existing";
  EXPECT_EQ(LastError(), 80u);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("elsewhere.txt")));
  EXPECT_EQ(ScratchDir::Read(path_), "held bytes");
}

TEST_F(FileSharingTest, ANewFileIsHeldBeforeAnyoneCanOpenIt) {
  std::string fresh = dir_.File("fresh.txt");
  FileHandle creator = FCreate2(fresh.c_str(), FC_ARCHIVE | FC_NEW);
  ASSERT_NE(creator, F_ERROR);
  EXPECT_EQ(FOpen2(fresh.c_str(), FO_WRITE), F_ERROR);
  EXPECT_EQ(LastError(), 32u);
  FClose(creator);
}
#endif

}  // namespace
