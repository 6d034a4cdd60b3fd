// Faults the helpers leave to the runtime arrive through the error block as the runtime's own
// errors, and the helper answers what the runtime answers; nothing crashes.
#include "latebound_fixture.h"

namespace {

class RuntimeFaultsTest : public LateBoundTest {
 protected:
  static std::vector<std::string> Raised() {
    std::vector<std::string> out;
    for (const SeenError& e : Seen()) out.push_back(std::to_string(e.gencode) + " " + e.operation);
    return out;
  }
  using Texts = std::vector<std::string>;
};

TEST_F(RuntimeFaultsTest, EachFaultReachesTheBlock) {
  struct Case {
    const char* what;
    Sym helper;
    std::vector<Usual> args;
    Texts raised;  // gencode and operation of each error, in order
  };
  Usual flat = Ints({1, 2});
  const Case cases[] = {
      {"index out of range", SYM___PCARRGETCOLLECTION, {flat, IntValue(3)}, {"2 ArrayGet"}},
      {"index zero", SYM___PCARRGETCOLLECTION, {flat, IntValue(0)}, {"2 ArrayGet"}},
      {"inner index out of range", SYM___PCARRGETCOLLECTION, {Nest({flat}), IntValue(1), IntValue(5)}, {"2 ArrayGet"}},
      {"store out of range", SYM___PCARRPUTCOLLECTION, {flat, IntValue(3), IntValue(9)}, {"2 ArrayPut"}},
      // The conversion's default (no array, position 0) then meets the bound check.
      {"intermediate no array",
       SYM___PCARRGETCOLLECTION,
       {flat, IntValue(1), IntValue(1)},
       {"1 _P2Array", "2 ArrayGet"}},
      {"index no number", SYM___PCARRGETCOLLECTION, {flat, S("x")}, {"1 _P2DW", "2 ArrayGet"}},
      {"container that serves no indexes",
       SYM___PCARRGETCOLLECTION,
       {S("abc"), IntValue(1)},
       {"1 _ArrayGetCollection"}},
      {"object without indexed access",
       SYM___PCARRGETCOLLECTION,
       {Keep(CallBySymbol(SYM___PCCREATEINSTANCE, {S("TBObject")})), IntValue(1)},
       {"13 Send"}},
      {"ivar get, no object", SYM___PCIVARGET, {IntValue(5), S("content")}, {"1 _P2Object"}},
      {"ivar put, no object", SYM___PCIVARPUT, {S("x"), S("content"), IntValue(1)}, {"1 _P2Object"}},
      {"ivar get, unknown variable", SYM___PCIVARGET, {Box(), S("nosuch")}, {"16 IVarGet"}},
      {"ivar get, name a number", SYM___PCIVARGET, {Box(), IntValue(5)}, {"16 IVarGet"}},
      {"ivar put, unknown variable", SYM___PCIVARPUT, {Box(), S("nosuch"), IntValue(1)}, {"16 IVarPut"}},
      {"send, unknown method", SYM___PCSEND, {Box(), S("nosuch"), IntValue(1)}, {"13 _SendClassParams"}},
      // _SendClassParams meets the null object the conversion defaulted to and reports it too.
      {"send, no object", SYM___PCSEND, {IntValue(5), S("collectionget")}, {"1 _P2Object", "1 _P2Object"}},
      {"ivar collection, unknown variable",
       SYM___PCIVAGETCOLLECTION,
       {Box(), S("nosuch"), IntValue(1)},
       {"16 IVarGet"}},
      {"ivar collection, index out of range",
       SYM___PCIVAGETCOLLECTION,
       {Box(Ints({1})), S("content"), IntValue(2)},
       {"2 ArrayGet"}},
      {"ivar collection, no object",
       SYM___PCIVAPUTCOLLECTION,
       {IntValue(1), S("content"), IntValue(1), S("v")},
       {"1 _IVarPutCollection"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Seen().clear();
    EXPECT_EQ(CallBySymbol(c.helper, c.args).type, T_NIL) << "the default";
    EXPECT_EQ(Raised(), c.raised);
    for (const SeenError& e : Seen()) EXPECT_NE(e.subsystem, "PCEVal") << "the runtime's own error";
  }
  EXPECT_EQ(Describe(flat), "{1, 2}") << "no store went astray";
}

TEST_F(RuntimeFaultsTest, TheRuntimesAnswerComesBack) {
  Usual flat = Ints({1, 2});
  ErrorRecorder::Answer(S("instead"));  // a substitute for the missing element
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCARRGETCOLLECTION, {flat, IntValue(3)})), "'instead'");
  ErrorRecorder::Answer(S("instead"));  // a store takes no substitute: NIL, nothing stored
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCARRPUTCOLLECTION, {flat, IntValue(3), IntValue(9)})), "NIL");
  ErrorRecorder::Answer(S("instead"));
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCSEND, {Box(), S("nosuch")})), "'instead'");
  EXPECT_EQ(Describe(flat), "{1, 2}");
  EXPECT_EQ(Seen().size(), 3u);
}

TEST_F(RuntimeFaultsTest, ABreakOutOfTheBlockLeavesTheHelpersAtOnce) {
  static const CodeBlock breaking{1, [](std::uint32_t, Usual* args) -> Usual { LabelJump(args[0]); }};
  Usual block = CodeBlockValue(&breaking);
  ErrorBlock(CountWord(1, 1), &block);
  struct Case {
    const char* what;
    Sym helper;
    std::vector<Usual> args;
  };
  Usual box = Box(IntValue(1));
  const Case cases[] = {
      {"argument error", SYM___PCIVARPUT, {box, S("content"), IntValue(2), IntValue(3)}},
      {"runtime error", SYM___PCARRGETCOLLECTION, {Ints({1}), IntValue(4)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::uint32_t depth = GetDASPtr()->depth;
    LabelPush();
    bool broke = false;
    try {
      CallBySymbol(c.helper, c.args);
    } catch (const TbBreak& b) {
      broke = true;
      EXPECT_EQ(b.value.type, T_OBJECT) << "the Error travels with the break";
    }
    LabelPop();
    EXPECT_TRUE(broke);
    EXPECT_EQ(GetDASPtr()->depth, depth) << "every frame on the way was removed";
  }
  EXPECT_EQ(AsInt(IVarGet(AsObj(box), IndexedBox::ContentSym())), 1);
}

}  // namespace
