// Resources registered with Win32RegisterResource, found through FindResourceA and friends.
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <cstring>
#include <string>

#include <win32_resources.h>

#include "win32_test_support.h"

namespace {

using win32_test::Win32Test;

constexpr WORD kType = 0x7E57;
constexpr WORD kOtherType = 0x7E58;
constexpr unsigned char kFirst[] = {'F', 'I', 'R', 'S', 'T', 0, 1, 2};
constexpr unsigned char kSecond[] = {'2'};

const Win32ResourceRegistration firstRegistration(kType, 1, kFirst, sizeof kFirst);
const Win32ResourceRegistration secondRegistration(kType, 2, kSecond, sizeof kSecond);

constexpr DWORD kSentinel = 0xDEADBEEF;

std::string Bytes(HMODULE module, WORD name, WORD type) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
  if (found == nullptr) return "<missing>";
  const void* data = LockResource(LoadResource(module, found));
  if (data == nullptr) return "<not loaded>";
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

class Resources : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    SetLastError(kSentinel);
  }
};

TEST_F(Resources, FoundByNumericTypeAndName) {
  EXPECT_EQ(Bytes(nullptr, 1, kType), std::string(reinterpret_cast<const char*>(kFirst), sizeof kFirst));
  EXPECT_EQ(Bytes(nullptr, 2, kType), "2");
  EXPECT_EQ(GetLastError(), kSentinel);
}

TEST_F(Resources, LockedBytesAreTheRegisteredOnes) {
  HRSRC found = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(kType));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(LockResource(LoadResource(GetModuleHandleA(nullptr), found)), static_cast<const void*>(kFirst));
  EXPECT_EQ(SizeofResource(nullptr, found), sizeof kFirst);
}

TEST_F(Resources, HashNumberStringsNameTheSameResource) {
  HRSRC numeric = FindResourceA(nullptr, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(kType));
  EXPECT_EQ(FindResourceA(nullptr, "#2", "#32343"), numeric);
}

TEST_F(Resources, MissingNameAndMissingType) {
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(kType)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(kOtherType)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceA(nullptr, "NAMED", MAKEINTRESOURCEA(kType)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(Resources, OnlyTheMainModuleHasThem) {
  HMODULE libc = GetModuleHandleA("libc.so.6");
  ASSERT_NE(libc, nullptr);
  EXPECT_EQ(FindResourceA(libc, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(kType)), nullptr);
  EXPECT_NE(GetLastError(), kSentinel);
}

TEST_F(Resources, NullResourceLoadsNothing) {
  EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
  EXPECT_EQ(LockResource(nullptr), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST_F(Resources, ReplacedByTheHookThenRestored) {
  const char replacement[] = "NEW";
  Win32TestSetResource(kType, 1, replacement, 3);
  EXPECT_EQ(Bytes(nullptr, 1, kType), "NEW");
  Win32TestSetResource(kType, 1, "", 0);
  EXPECT_EQ(Bytes(nullptr, 1, kType), "");
  Win32TestReset();
  EXPECT_EQ(Bytes(nullptr, 1, kType).substr(0, 5), "FIRST");
}

TEST_F(Resources, ReplacementIsCopied) {
  std::string bytes = "TEMP";
  Win32TestSetResource(kType, 2, bytes.data(), static_cast<DWORD>(bytes.size()));
  bytes = "GONE";
  EXPECT_EQ(Bytes(nullptr, 2, kType), "TEMP");
}

TEST_F(Resources, RemovedByTheHook) {
  Win32TestSetResource(kType, 1, nullptr, 0);
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(kType)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  Win32TestSetResource(kType, 2, nullptr, 0);
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(kType)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

TEST_F(Resources, AddedByTheHook) {
  Win32TestSetResource(kOtherType, 9, "added", 5);
  EXPECT_EQ(Bytes(nullptr, 9, kOtherType), "added");
  Win32TestReset();
  EXPECT_EQ(Bytes(nullptr, 9, kOtherType), "<missing>");
}

}  // namespace

#endif  // _WIN32
