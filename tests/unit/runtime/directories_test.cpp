// The working directory and the default directories that lead it.
#include <filesystem>

#include "runtime_fixture.h"
#include "scratch_dir.h"
#include "tb28run/files.h"

namespace {

class DirectoriesTest : public RuntimeTest {
 protected:
  static std::string Separator() { return std::string(1, std::filesystem::path::preferred_separator); }
  // On Windows std::filesystem::equivalent answers false for a directory named with a trailing separator.
  static std::filesystem::path WithoutSeparator(const std::string& dir) {
    return std::filesystem::path(dir).parent_path();
  }
};

TEST_F(DirectoriesTest, WithoutDefaultsTheWorkingDirectoryIsTheCurrentOneWithASeparator) {
  std::string work = Str(WorkDir());
  ASSERT_FALSE(work.empty());
  EXPECT_EQ(work.back(), Separator()[0]);
  EXPECT_TRUE(std::filesystem::equivalent(WithoutSeparator(work), std::filesystem::current_path())) << work;
}

TEST_F(DirectoriesTest, TheDefaultDirectoryLeadsThenTheDefaultDriveAndDirectory) {
  std::string dir = "some" + Separator() + "dir";
  std::string drive = "other" + Separator();
  EXPECT_EQ(Str(SetDefault(drive.c_str())), "");
  EXPECT_EQ(Str(WorkDir()), drive) << "a separator already there is not doubled";
  EXPECT_EQ(Str(SetDefaultDir(dir.c_str())), "");
  EXPECT_EQ(Str(WorkDir()), dir + Separator());
  EXPECT_EQ(Str(GetDefaultDir()), dir);
  EXPECT_EQ(Str(GetDefault()), drive);

  EXPECT_EQ(Str(SetDefaultDir("")), dir) << "the previous value comes back";
  EXPECT_EQ(Str(WorkDir()), drive);
  EXPECT_EQ(Str(SetDefault(nullptr)), drive);
  EXPECT_EQ(Str(GetDefault()), "");
  EXPECT_TRUE(std::filesystem::equivalent(WithoutSeparator(Str(WorkDir())), std::filesystem::current_path()));
}

TEST_F(DirectoriesTest, ALongDefaultDirectoryIsKeptWhole) {
  for (std::size_t length : {510u, 511u, 512u, 2000u}) {
    std::string dir(length, 'd');
    SetDefaultDir(dir.c_str());
    EXPECT_EQ(Str(WorkDir()), dir + Separator()) << length;
    dir.back() = Separator()[0];
    SetDefaultDir(dir.c_str());
    EXPECT_EQ(Str(WorkDir()), dir) << length;
  }
}

TEST_F(DirectoriesTest, TheResetForgetsTheDefaults) {
  SetDefaultDir("x");
  SetDefault("y");
  TbTestReset();
  ASSERT_EQ(MemInit(), 0);
  EXPECT_EQ(Str(GetDefaultDir()), "");
  EXPECT_EQ(Str(GetDefault()), "");
}

}  // namespace
