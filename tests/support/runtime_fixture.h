// A runtime brought up for one test and released after it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tb28run/bringup.h"
#include "tb28run/memory.h"
#include "tb28run/strings.h"
#include "tb28run/symbols.h"
#include "tb28run/testing.h"

#if !defined(_WIN32)
#include <win32_testing.h>
#endif

// A string's text while it is alive, "<freed>" once the collector has taken it (or for no string):
// what a test reads where a value might have been collected under it.
inline std::string LiveText(Usual u) {
  if (u.type != T_STRING || !TbTestIsLive(AsPtr(u))) return "<freed>";
  return std::string(String2Psz(AsStr(u)), SLen(AsStr(u)));
}

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TbTestReset();
#if !defined(_WIN32)
    Win32TestReset();
#endif
    ASSERT_EQ(MemInit(), 0);
    ASSERT_EQ(AtomInit(), 0);
    ASSERT_EQ(CreateAtomTable(1u << 20, 1u << 14), 0);
  }
  void TearDown() override {
    TbTestReset();
#if !defined(_WIN32)
    Win32TestReset();
#endif
  }

  static std::string Str(TbStr s) { return std::string(String2Psz(s), SLen(s)); }
  static std::string Str(Usual u) { return u.type == T_STRING ? Str(AsStr(u)) : std::string("<not a string>"); }
  static Usual S(const char* text) { return StringValue(Psz2String(text)); }
};
