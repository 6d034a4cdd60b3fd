// GetModuleHandleA and GetModuleFileNameA.
// The POSIX Windows layer and its test hooks exist only on POSIX hosts.
#ifndef _WIN32

#include <dlfcn.h>

#include <cstring>
#include <iterator>
#include <string>

#include "win32_test_support.h"

namespace {

using win32_test::ExecutablePath;
using win32_test::Win32Test;

constexpr DWORD kSentinel = 0xDEADBEEF;

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return text;
}

class ModuleFileName : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    ASSERT_LT(path.size() + 1, sizeof buffer);
    std::memset(buffer, 'X', sizeof buffer);
    SetLastError(kSentinel);
  }
  std::string path;
  char buffer[4096 + 16];
};

TEST_F(ModuleFileName, FitsReturnsLengthAndClearsLastError) {
  if (path.size() >= MAX_PATH) GTEST_SKIP() << "build directory path too long for this case";
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  EXPECT_EQ(n, path.size());
  EXPECT_EQ(std::string(buffer), path);
  EXPECT_EQ(buffer[n + 1], 'X');
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(ModuleFileName, MainHandleIsTheSameAsNull) {
  DWORD n = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, static_cast<DWORD>(sizeof buffer));
  EXPECT_EQ(n, path.size());
  EXPECT_EQ(std::string(buffer), path);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(ModuleFileName, ExactFitWithNul) {
  DWORD size = static_cast<DWORD>(path.size() + 1);
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, size), path.size());
  EXPECT_EQ(std::string(buffer), path);
  EXPECT_EQ(buffer[size], 'X');
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(ModuleFileName, OneShortIsTruncatedAndTerminated) {
  DWORD size = static_cast<DWORD>(path.size());
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, size), size);
  EXPECT_EQ(std::string(buffer), path.substr(0, size - 1));
  EXPECT_EQ(buffer[size], 'X');
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(ModuleFileName, SmallBufferIsTruncatedAndTerminated) {
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 5), 5u);
  EXPECT_EQ(std::string(buffer), path.substr(0, 4));
  EXPECT_EQ(buffer[5], 'X');
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(ModuleFileName, SizeOneGivesEmptyString) {
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 1), 1u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'X');
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(ModuleFileName, SizeZeroWritesNothing) {
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 0), 0u);
  EXPECT_EQ(buffer[0], 'X');
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(ModuleFileName, SharedObjectHandleGivesItsPath) {
  HMODULE libc = GetModuleHandleA("libc.so.6");
  ASSERT_NE(libc, nullptr);
  DWORD n = GetModuleFileNameA(libc, buffer, static_cast<DWORD>(sizeof buffer));
  ASSERT_GT(n, 0u);
  EXPECT_EQ(BaseName(buffer), "libc.so.6");
  EXPECT_EQ(buffer[0], '/');
}

TEST_F(ModuleFileName, UnknownHandleFails) {
  HMODULE bogus = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x10));
  EXPECT_EQ(GetModuleFileNameA(bogus, buffer, static_cast<DWORD>(sizeof buffer)), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(buffer[0], 'X');
}

class ModuleHandle : public Win32Test {};

TEST_F(ModuleHandle, MainModuleByNullAndByName) {
  HMODULE main = GetModuleHandleA(nullptr);
  ASSERT_NE(main, nullptr);
  std::string name = BaseName(ExecutablePath());
  EXPECT_EQ(GetModuleHandleA(name.c_str()), main);
  EXPECT_EQ(GetModuleHandleA(Upper(name).c_str()), main);
  EXPECT_EQ(GetModuleHandleA((name + ".exe").c_str()), main);
  EXPECT_EQ(GetModuleHandleA(ExecutablePath().c_str()), main);
}

TEST_F(ModuleHandle, LoadedSharedObjectByFileName) {
  HMODULE libc = GetModuleHandleA("libc.so.6");
  ASSERT_NE(libc, nullptr);
  EXPECT_NE(libc, GetModuleHandleA(nullptr));
  EXPECT_EQ(GetModuleHandleA("LIBC.SO.6"), libc);
}

TEST_F(ModuleHandle, WindowsSpellingsOfThisLayer) {
  // The layer itself is libtb28win32.so: "TB28WIN32.DLL" and "tb28win32" name it as on Windows.
  HMODULE layer = GetModuleHandleA("libtb28win32.so");
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(GetModuleHandleA("TB28WIN32.DLL"), layer);
  EXPECT_EQ(GetModuleHandleA("tb28win32"), layer);
  EXPECT_EQ(GetModuleHandleA("Tb28Win32.dll"), layer);
}

// Answers are kept by the file name a request names, whatever its case or directory: every
// spelling gets the answer it would get alone, asked first or again, in any order.
TEST_F(ModuleHandle, EachSpellingGetsItsOwnAnswerFirstAndAgain) {
  HMODULE libc = GetModuleHandleA("libc.so.6");
  HMODULE layer = GetModuleHandleA("libtb28win32.so");
  ASSERT_NE(libc, nullptr);
  ASSERT_NE(layer, nullptr);
  const std::string longDirectory(100, 'd');
  const std::string longName(80, 'n');
  struct Case {
    std::string name;
    HMODULE expected;
  } cases[] = {
      {"libc.so.6", libc},
      {"/no/such/dir/LIBC.SO.6", libc},
      {"LiBc.So.6", libc},
      {"libc.so.6.", libc},
      {longDirectory + "/libc.so.6", libc},
      {"tb28win32", layer},
      {"dir/TB28WIN32", layer},
      {"tb28win32.", nullptr},
      {"tb28win32/", nullptr},
      {"tb28win32.dll.", nullptr},
      {"TB28WIN32.DLL", layer},
      {longName + ".dll", nullptr},
      {longName + "/tb28win32.dll", layer},
      {"/", nullptr},
  };
  for (int round = 0; round < 2; ++round) {
    for (const Case& c : cases) EXPECT_EQ(GetModuleHandleA(c.name.c_str()), c.expected) << c.name;
    for (auto it = std::rbegin(cases); it != std::rend(cases); ++it)
      EXPECT_EQ(GetModuleHandleA(it->name.c_str()), it->expected) << it->name;
  }
}

TEST_F(ModuleHandle, MissingModuleFailsWithModNotFound) {
  for (const char* name : {"KMTBRT20.DLL", "TB27RUN.DLL", "libnothere.so.1", "libc", ""}) {
    SetLastError(kSentinel);
    EXPECT_EQ(GetModuleHandleA(name), nullptr) << name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << name;
  }
}

TEST_F(ModuleHandle, PretendedModuleIsFoundUntilForgotten) {
  Win32TestPretendModuleLoaded("KMTBRT20.DLL", TRUE);
  HMODULE pretended = GetModuleHandleA("KMTBRT20.DLL");
  EXPECT_NE(pretended, nullptr);
  EXPECT_EQ(GetModuleHandleA("kmtbrt20.dll"), pretended);
  EXPECT_EQ(GetModuleHandleA("KMTBRT20"), pretended);
  EXPECT_EQ(GetModuleHandleA("TB27RUN.DLL"), nullptr);

  Win32TestPretendModuleLoaded("KMTBRT20.DLL", FALSE);
  EXPECT_EQ(GetModuleHandleA("KMTBRT20.DLL"), nullptr);

  Win32TestPretendModuleLoaded("TB27RUN.DLL", TRUE);
  EXPECT_NE(GetModuleHandleA("TB27RUN.DLL"), nullptr);
  Win32TestReset();
  EXPECT_EQ(GetModuleHandleA("TB27RUN.DLL"), nullptr);
}

TEST_F(ModuleHandle, ASharedObjectLoadedLaterIsFoundUntilItIsUnloaded) {
  const char* names[] = {"late_loaded_module", "LATE_LOADED_MODULE.DLL", "liblate_loaded_module.so"};
  for (const char* name : names) EXPECT_EQ(GetModuleHandleA(name), nullptr) << name;

  void* library = dlopen(LATE_LOADED_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  HMODULE loaded = GetModuleHandleA(names[0]);
  EXPECT_NE(loaded, nullptr);
  for (const char* name : names) EXPECT_EQ(GetModuleHandleA(name), loaded) << name;
  char path[4096] = {};
  ASSERT_GT(GetModuleFileNameA(loaded, path, sizeof path), 0u);
  EXPECT_EQ(BaseName(path), "liblate_loaded_module.so");

  ASSERT_EQ(dlclose(library), 0);
  // Nothing else holds the object, so the dynamic linker lets it go.
  for (const char* name : names) {
    SetLastError(kSentinel);
    EXPECT_EQ(GetModuleHandleA(name), nullptr) << name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << name;
  }
}

}  // namespace

#endif  // _WIN32
