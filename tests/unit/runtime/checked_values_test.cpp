// In the debug and sanitizer builds a value read as a type it does not hold, and a frame pushed
// onto the activation stack twice, stop the program at once with the broken condition named. A
// release build compiles the checks away: there the tests report themselves skipped.
#include "runtime_fixture.h"
#include "tb28run/frames.h"

namespace {

class CheckedValuesTest : public RuntimeTest {
 protected:
  void SetUp() override {
#if !defined(TB28RUN_CHECKED)
    GTEST_SKIP() << "TB_ASSERT is compiled away in this build";
#endif
    RuntimeTest::SetUp();
  }
};

TEST_F(CheckedValuesTest, ReadingAValueAsATypeItDoesNotHoldStops) {
  Usual text = S("seven");
  Usual number = IntValue(7);
  EXPECT_DEATH((void)AsStr(number), "TB_ASSERT\\(u.type == T_STRING\\) failed");
  EXPECT_DEATH((void)AsStr(NilValue()), "T_STRING");
  EXPECT_DEATH((void)AsInt(text), "T_INT");
  EXPECT_DEATH((void)AsArr(text), "T_ARRAY");
  EXPECT_DEATH((void)AsObj(number), "T_OBJECT");
  EXPECT_DEATH((void)AsSym(number), "T_SYMBOL");
  EXPECT_DEATH((void)AsLogic(number), "T_LOGIC");
  // The right type reads without a word.
  EXPECT_EQ(AsInt(number), 7);
  EXPECT_EQ(Str(text), "seven");
}

TEST_F(CheckedValuesTest, AFramePushedTwiceStops) {
  FrameInfo info{"TWICE", "checked_values_test.prg"};
  Frame frame{};
  frame.info = &info;
  INCKidStackPtr(&frame);
  EXPECT_DEATH(INCKidStackPtr(&frame), "frame != das.top");
  DECKidStackPtr(&frame);
}

}  // namespace
