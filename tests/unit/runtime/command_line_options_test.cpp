// The runtime's own options on the command line handed to RTInit: an option counts only as an
// argument of its own, the line split as Windows splits it.
#include <string>

#include "runtime_fixture.h"

namespace {

void NoExit(std::uint32_t) {}

class CommandLineOptionsTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    TbTestSetGcStress(0);
  }
  static void BringUpWith(std::string line) {
    static const std::uint32_t symbols[1] = {0};
    ASSERT_EQ(RTInit(&NoExit, 3, 0, symbols, line.data(), 68, 0, nullptr, nullptr, 1, 10, 1, 1, 1048576, nullptr), 0);
  }
};

struct OptionCase {
  const char* line;
  bool found;
};

TEST_F(CommandLineOptionsTest, CollectPublicsOnlyAsAWholeArgument) {
  const OptionCase cases[] = {
      {"quorlfix --tb28run:collect-publics", true},
      {R"(quorlfix "--tb28run:collect-publics")", true},
      {"quorlfix one\t--tb28run:collect-publics two", true},
      {R"("C:\Program Files\QUORLFIX.DBG" --tb28run:collect-publics)", true},
      {"quorlfix", false},
      {R"(quorlfix "x --tb28run:collect-publics")", false},
      {R"(quorlfix "a\" --tb28run:collect-publics")", false},
      {R"(quorlfix \"--tb28run:collect-publics)", false},
      {"quorlfix --tb28run:collect-publicsX", false},
      {"--tb28run:collect-publics", false},  // the program's name is no option
  };
  for (const OptionCase& c : cases) {
    TbTestReset();
    ASSERT_EQ(MemInit(), 0);
    ASSERT_EQ(AtomInit(), 0);
    ASSERT_EQ(CreateAtomTable(1u << 20, 1u << 14), 0);
    BringUpWith(c.line);
    EXPECT_EQ(__CollectPublics(), c.found ? 1 : 0) << c.line;
  }
}

TEST_F(CommandLineOptionsTest, GcStressInsideAnotherArgumentIsNoOption) {
  BringUpWith(R"(quorlfix "x --tb28run:gc-stress")");
  std::uint64_t before = TbTestCollections();
  Psz2String("one allocation");
  EXPECT_EQ(TbTestCollections(), before);
}

TEST_F(CommandLineOptionsTest, GcStressAsAnArgumentCollectsBeforeEveryAllocation) {
  BringUpWith(R"(quorlfix "--tb28run:gc-stress")");
  std::uint64_t before = TbTestCollections();
  Psz2String("one allocation");
  Psz2String("and another");
  EXPECT_GE(TbTestCollections(), before + 2);
}

}  // namespace
