// The runtime up with the program's symbols registered and its module initialised, as at the
// moment Start runs.
#pragma once

#include <cstring>

#include "runtime_fixture.h"
#include "startup/function_table.h"
#include "startup/module_init.h"
#include "startup/process_entry.h"

#include <windows.h>

class ProgramTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    RegisterProgramSymbols();
    ASSERT_EQ(RTInit(&ExitForTest, 3, FUNCTION_COUNT, FunctionTable.symbols, const_cast<char*>(""), 68, 0, nullptr,
                     nullptr, 1, 10, 1, 1, 1048576, nullptr),
              0);
  }

  // The names of the program's ATOMTABLE, in order, as start-up registers them.
  static void RegisterProgramSymbols() {
    for (const char* name : ATOMTABLE_NAMES) ASSERT_NE(SysAddAtom(name), 0u) << name;
  }

  [[noreturn]] static void ExitForTest(std::uint32_t code) { ExitProcess(code); }
};
