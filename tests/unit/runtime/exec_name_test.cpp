// _ExecName: the file name of the running program, without its directory.
#include <windows.h>

#include <string>

#include "runtime_fixture.h"
#include "tb28run/frames.h"

namespace {

class ExecNameTest : public RuntimeTest {};

TEST_F(ExecNameTest, IsTheFileNameOfTheProgramsPath) {
  char path[MAX_PATH + 1] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  std::string full = path;
  std::string name = full.substr(full.find_last_of("/\\") + 1);
  EXPECT_EQ(name.rfind("unit_runtime", 0), 0u) << full;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Str(_ExecName()), name);
}

}  // namespace
