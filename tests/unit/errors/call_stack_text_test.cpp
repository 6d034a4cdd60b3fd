#include <string>
#include <vector>

#include "errors/call_stack_text.h"
#include "program_fixture.h"
#include "runtime/frame_guard.h"

namespace {

struct Activation {
  const char* name;
  std::uint32_t line;
};

class CallStackTextTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    CallStackMaxEntries = 5;
    CallStackStopCount = 0;
    CallStackNumbered = 0;
    CallStackWithFile = 0;
  }

  // Registers the activations outermost first, each at its line, and takes the text from inside
  // the innermost: level 0 is the last one registered (the text's own routine does not count).
  std::string TextWith(const std::vector<Activation>& stack, std::uint32_t startLevel) {
    infos.assign(stack.size(), FrameInfo{});
    return Push(stack, 0, startLevel);
  }

 private:
  std::string Push(const std::vector<Activation>& stack, std::size_t i, std::uint32_t startLevel) {
    if (i == stack.size()) return Str(CallStackText(startLevel));
    infos[i] = FrameInfo{stack[i].name, "file.prg"};
    FrameGuard frame(infos[i]);
    uiLineNum_RT = stack[i].line;
    return Push(stack, i + 1, startLevel);
  }
  std::vector<FrameInfo> infos;
};

TEST_F(CallStackTextTest, EntriesInnermostFirstFromTheStartLevel) {
  // Depth 3 and start level 1: the entries for levels 1 and 2.
  EXPECT_EQ(TextWith({{"A", 1}, {"B", 2}, {"C", 3}}, 1), "B (Line:2)\r\nA (Line:1)\r\n");
  EXPECT_EQ(TextWith({{"A", 10}, {"B", 20}}, 0), "B (Line:20)\r\nA (Line:10)\r\n");
  EXPECT_EQ(TextWith({{"START", 42}}, 0), "START (Line:42)\r\n");
  EXPECT_EQ(TextWith({{"A", 0}}, 0), "A (Line:0)\r\n") << "line 0 is the single digit";
}

TEST_F(CallStackTextTest, BudgetOfFiveAndAtLeastOne) {
  std::vector<Activation> deep;
  for (int i = 0; i < 12; ++i) deep.push_back({"R", std::uint32_t(i)});
  std::string text = TextWith(deep, 1);  // depth 12: levels 1 to 5
  EXPECT_EQ(text, "R (Line:10)\r\nR (Line:9)\r\nR (Line:8)\r\nR (Line:7)\r\nR (Line:6)\r\n");
  CallStackMaxEntries = 0;
  EXPECT_EQ(TextWith(deep, 1), "R (Line:10)\r\n");
}

TEST_F(CallStackTextTest, EmptyStackAndStartAtTheDepth) {
  EXPECT_EQ(TextWith({}, 0), "*EmptyCallStack*\r\n");
  EXPECT_EQ(TextWith({{"A", 1}}, 1), "*EmptyCallStack*\r\n");
  EXPECT_EQ(std::string("*EmptyCallStack*\r\n").size(), 18u);
}

TEST_F(CallStackTextTest, NumberedEntriesCountDownAndStarsAboveTheDepth) {
  CallStackNumbered = 1;
  EXPECT_EQ(TextWith({{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}}, 1),
            "003, C (Line:3)\r\n002, B (Line:2)\r\n001, A (Line:1)\r\n");
  // A start level above the depth never meets it: the budget ends the walk.
  CallStackMaxEntries = 2;
  EXPECT_EQ(TextWith({{"A", 1}}, 5), "*** , *ProcName* (Line:0)\r\n*** , *ProcName* (Line:0)\r\n");
}

TEST_F(CallStackTextTest, FileNamesWhenAskedFor) {
  CallStackWithFile = 1;
  EXPECT_EQ(TextWith({{"A", 3}}, 0), "file.prg, A (Line:3)\r\n");
}

TEST_F(CallStackTextTest, StopCounterCountsOnlySuffixes) {
  CallStackStopCount = 1;
  // Levels 0, 1, 2 are A, APP:EXEC and B: the walk stops after APP:EXEC.
  EXPECT_EQ(TextWith({{"B", 3}, {"APP:EXEC", 2}, {"A", 1}}, 0), "A (Line:1)\r\nAPP:EXEC (Line:2)\r\n");
  EXPECT_EQ(TextWith({{"B", 3}, {"APP:DISPATCH", 2}, {"A", 1}}, 0), "A (Line:1)\r\nAPP:DISPATCH (Line:2)\r\n");
  EXPECT_EQ(TextWith({{"B", 3}, {"X:EXECUTE", 2}, {"A", 1}}, 0), "A (Line:1)\r\nX:EXECUTE (Line:2)\r\nB (Line:3)\r\n");
  CallStackStopCount = 0;
  EXPECT_EQ(TextWith({{"B", 3}, {"APP:EXEC", 2}, {"A", 1}}, 0), "A (Line:1)\r\nAPP:EXEC (Line:2)\r\nB (Line:3)\r\n");
}

}  // namespace
