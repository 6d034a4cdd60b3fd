// GetEnvironmentVariableA with the Windows size rules.
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <cstring>
#include <string>

#include "win32_test_support.h"

namespace {

using win32_test::ScopedEnv;

constexpr DWORD kSentinel = 0xDEADBEEF;
constexpr const char* kName = "WIN32_UNIT_TEST_VARIABLE";

class EnvironmentVariable : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(buffer, 'X', sizeof buffer);
    SetLastError(kSentinel);
  }
  char buffer[64];
};

TEST_F(EnvironmentVariable, FoundAndFits) {
  ScopedEnv env(kName, "C:\\quorl");
  EXPECT_EQ(GetEnvironmentVariableA(kName, buffer, sizeof buffer), 8u);
  EXPECT_STREQ(buffer, "C:\\quorl");
  EXPECT_EQ(buffer[9], 'X');
  EXPECT_EQ(GetLastError(), kSentinel);
}

TEST_F(EnvironmentVariable, ExactFit) {
  ScopedEnv env(kName, "abc");
  EXPECT_EQ(GetEnvironmentVariableA(kName, buffer, 4), 3u);
  EXPECT_STREQ(buffer, "abc");
}

TEST_F(EnvironmentVariable, TooSmallAnswersSizeNeededAndLeavesBuffer) {
  ScopedEnv env(kName, "abc");
  for (DWORD size : {0u, 1u, 3u}) {
    EXPECT_EQ(GetEnvironmentVariableA(kName, buffer, size), 4u) << size;
    EXPECT_EQ(buffer[0], 'X') << size;
  }
  EXPECT_EQ(GetEnvironmentVariableA(kName, nullptr, 0), 4u);
  EXPECT_EQ(GetLastError(), kSentinel);
}

TEST_F(EnvironmentVariable, MissingIsZeroWithEnvvarNotFound) {
  ScopedEnv env(kName, nullptr);
  EXPECT_EQ(GetEnvironmentVariableA(kName, buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
  EXPECT_EQ(buffer[0], 'X');
}

TEST_F(EnvironmentVariable, EmptyIsZeroWithLastErrorCleared) {
  ScopedEnv env(kName, "");
  EXPECT_EQ(GetEnvironmentVariableA(kName, buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'X');
}

TEST_F(EnvironmentVariable, SpecCallShape) {
  // As the debug-launch check asks: GetEnvironmentVariableA("TBCurrentPrjDir", buffer, 260); 0 means missing or empty.
  char path[260];
  {
    ScopedEnv env("TBCurrentPrjDir", "/projects/quorl");
    EXPECT_EQ(GetEnvironmentVariableA("TBCurrentPrjDir", path, sizeof path), 15u);
    EXPECT_STREQ(path, "/projects/quorl");
  }
  ScopedEnv env("TBCurrentPrjDir", nullptr);
  EXPECT_EQ(GetEnvironmentVariableA("TBCurrentPrjDir", path, sizeof path), 0u);
}

}  // namespace

#endif  // _WIN32
