// The activation queries: a level given as a float is taken as its whole part, a 32-bit word, as
// ErrorLevel takes a code; a float with no whole part a word carries is level 0.
#include <string>

#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/frames.h"
#include "tb28run/numbers.h"
#include "tb28run/value_ops.h"

namespace {

class FramesTest : public RuntimeTest {};

TEST_F(FramesTest, ALevelGivenAsAFloatIsItsWholePartAsAWord) {
  FrameInfo outer{"OUTER", "frames_test.prg"}, inner{"INNER", "frames_test.prg"}, asking{"ASKING", "frames_test.prg"};
  Frame frames[3] = {};
  frames[0].info = &outer;
  frames[1].info = &inner;
  frames[2].info = &asking;
  for (Frame& f : frames) INCKidStackPtr(&f);
  const std::string digits(400, '9');  // past the largest double: Val answers an infinity
  Usual infinity = Val(Psz2String(digits.c_str()));
  struct Case {
    const char* what;
    Usual level;
    const char* name;
  } cases[] = {
      {"0.5", Val(Psz2String("0.5")), "INNER"},
      {"1.9", Val(Psz2String("1.9")), "OUTER"},
      {"-1.0, the last word", Val(Psz2String("-1.0")), ""},
      {"1e300", Val(Psz2String(("1" + std::string(300, '0') + ".0").c_str())), "INNER"},
      {"NaN", _PAD(infinity, Val(Psz2String(("-" + digits).c_str()))), "INNER"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.level.type, T_FLOAT) << c.what;
    EXPECT_EQ(Str(KestCall(ProcName, 1, {c.level})), c.name) << c.what;
  }
  DECKidStackPtr(&frames[0]);
}

}  // namespace
