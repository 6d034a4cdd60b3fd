// The argument lists the helpers hand on, observed by functions that stand in the program's table
// for the runtime's collection functions and CreateInstance.
#include "latebound_fixture.h"

namespace {

struct Forwarded {
  Sym to;
  std::uint32_t countWord;
  std::string args;  // the passed arguments, described
};

std::vector<Forwarded>& Received() {
  static std::vector<Forwarded> received;
  return received;
}

template <Sym To>
Usual Recorder(std::uint32_t countWord, Usual* args) {
  std::string text = "{";
  for (std::uint32_t i = 0; i < PassedOf(countWord); ++i) text += (i ? ", " : "") + Describe(args[i]);
  Received().push_back({To, countWord, text + "}"});
  return SymbolValue(To);  // tells which stand-in answered
}

class ForwardingTest : public LateBoundTest {
 protected:
  void SetUp() override {
    Received().clear();
    LateBoundTest::SetUp();
  }
  std::int32_t BringUpWithTable() override {
    static const TestFunctionTable<10> table = {
        {SYM___PCARRGETCOLLECTION, SYM___PCARRPUTCOLLECTION, SYM___PCIVAGETCOLLECTION, SYM___PCIVAPUTCOLLECTION,
         SYM___PCCREATEINSTANCE, SYM__ARRAYGETCOLLECTION, SYM__ARRAYPUTCOLLECTION, SYM__IVARGETCOLLECTION,
         SYM__IVARPUTCOLLECTION, SYM_CREATEINSTANCE},
        {{&PcArrGetCollection, 0},
         {&PcArrPutCollection, 0},
         {&PcIvaGetCollection, 0},
         {&PcIvaPutCollection, 0},
         {&PcCreateInstance, 1},
         {&Recorder<SYM__ARRAYGETCOLLECTION>, 2},
         {&Recorder<SYM__ARRAYPUTCOLLECTION>, 3},
         {&Recorder<SYM__IVARGETCOLLECTION>, 0},
         {&Recorder<SYM__IVARPUTCOLLECTION>, 0},
         {&Recorder<SYM_CREATEINSTANCE>, 1}},
    };
    return RTInitWithTable(table);
  }
};

TEST_F(ForwardingTest, ArgumentListsHandedOn) {
  struct Case {
    const char* what;
    Sym helper;
    std::vector<Usual> args;
    Sym to;
    std::string forwarded;
  };
  Usual box = Box();
  Usual v = S("v");
  const Case cases[] = {
      {"get, one index", SYM___PCARRGETCOLLECTION, {box, IntValue(1)}, SYM__ARRAYGETCOLLECTION, "{OBJ{INDEXEDBOX}, 1}"},
      {"get, two indexes",
       SYM___PCARRGETCOLLECTION,
       {box, IntValue(1), IntValue(2)},
       SYM__ARRAYGETCOLLECTION,
       "{OBJ{INDEXEDBOX}, 2, 1}"},
      {"get, three indexes",
       SYM___PCARRGETCOLLECTION,
       {box, IntValue(1), IntValue(2), IntValue(3)},
       SYM__ARRAYGETCOLLECTION,
       "{OBJ{INDEXEDBOX}, 2, 3, 1}"},
      {"get from a string", SYM___PCARRGETCOLLECTION, {S("abc"), IntValue(1)}, SYM__ARRAYGETCOLLECTION, "{'abc', 1}"},
      {"put, one index",
       SYM___PCARRPUTCOLLECTION,
       {box, IntValue(1), v},
       SYM__ARRAYPUTCOLLECTION,
       "{OBJ{INDEXEDBOX}, 'v', 1}"},
      {"put, two indexes",
       SYM___PCARRPUTCOLLECTION,
       {box, IntValue(1), IntValue(2), v},
       SYM__ARRAYPUTCOLLECTION,
       "{OBJ{INDEXEDBOX}, 'v', 2, 1}"},
      {"put, three indexes",
       SYM___PCARRPUTCOLLECTION,
       {box, IntValue(1), IntValue(2), IntValue(3), v},
       SYM__ARRAYPUTCOLLECTION,
       "{OBJ{INDEXEDBOX}, 'v', 2, 3, 1}"},
      {"ivar get, name as string",
       SYM___PCIVAGETCOLLECTION,
       {box, S("content"), IntValue(1), IntValue(2)},
       SYM__IVARGETCOLLECTION,
       "{OBJ{INDEXEDBOX}, #CONTENT, 1, 2}"},
      {"ivar get, name as symbol",
       SYM___PCIVAGETCOLLECTION,
       {box, Sy("OTHER"), IntValue(1)},
       SYM__IVARGETCOLLECTION,
       "{OBJ{INDEXEDBOX}, #OTHER, 1}"},
      {"ivar put, one index",
       SYM___PCIVAPUTCOLLECTION,
       {box, S("content"), IntValue(1), v},
       SYM__IVARPUTCOLLECTION,
       "{OBJ{INDEXEDBOX}, #CONTENT, 'v', 1}"},
      {"ivar put, two indexes",
       SYM___PCIVAPUTCOLLECTION,
       {box, S("content"), IntValue(1), IntValue(2), v},
       SYM__IVARPUTCOLLECTION,
       "{OBJ{INDEXEDBOX}, #CONTENT, 'v', 1, 2}"},
      {"create, class as string",
       SYM___PCCREATEINSTANCE,
       {S("indexedbox"), IntValue(2), S("three")},
       SYM_CREATEINSTANCE,
       "{#INDEXEDBOX, 2, 'three'}"},
      {"create, class as symbol", SYM___PCCREATEINSTANCE, {Sy("INDEXEDBOX")}, SYM_CREATEINSTANCE, "{#INDEXEDBOX}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Received().clear();
    Seen().clear();
    Usual result = CallBySymbol(c.helper, c.args);
    ASSERT_EQ(Received().size(), 1u);
    EXPECT_EQ(Received()[0].to, c.to);
    EXPECT_EQ(Received()[0].args, c.forwarded);
    EXPECT_EQ(Describe(result), Describe(SymbolValue(c.to))) << "the stand-in's answer comes back unchanged";
    EXPECT_TRUE(Seen().empty());
  }
}

TEST_F(ForwardingTest, CountWordsOfTheForwardedCalls) {
  Usual box = Box();
  CallBySymbol(SYM___PCARRGETCOLLECTION, {box, IntValue(1), IntValue(2), IntValue(3)});
  CallBySymbol(SYM___PCARRPUTCOLLECTION, {box, IntValue(1), S("v")});
  ASSERT_EQ(Received().size(), 2u);
  EXPECT_EQ(Received()[0].countWord, CountWord(2, 4));
  EXPECT_EQ(Received()[1].countWord, CountWord(3, 3));
}

TEST_F(ForwardingTest, ANameThatIsNoSymbolIsNotForwarded) {
  Usual box = Box();
  CallBySymbol(SYM___PCIVAGETCOLLECTION, {box, IntValue(7), IntValue(1)});
  CallBySymbol(SYM___PCIVAPUTCOLLECTION, {box, IntValue(7), IntValue(1), IntValue(2), S("v")});
  EXPECT_TRUE(Received().empty());
  ASSERT_EQ(Seen().size(), 2u);
  for (const SeenError& e : Seen()) {
    EXPECT_EQ(e.description, "Arg error, !IsSymbol(aArgs[2])");
    EXPECT_EQ(e.argNum, 0u);
    EXPECT_EQ(e.funcSym, 0u);
  }
  EXPECT_EQ(Seen()[0].operation, "IVarGetCollection");
  EXPECT_EQ(Seen()[0].args, "{OBJ{INDEXEDBOX}, 7, 1}");
  EXPECT_EQ(Seen()[1].operation, "IVarPutCollection");
  EXPECT_EQ(Seen()[1].args, "{OBJ{INDEXEDBOX}, 7, 'v', 1, 2}") << "the order of that moment: reordered";
}

TEST_F(ForwardingTest, AnArrayContainerIsWalkedHereNotForwarded) {
  Usual square = Nest({Ints({1, 2}), Ints({3, 4})});
  EXPECT_EQ(AsInt(CallBySymbol(SYM___PCARRGETCOLLECTION, {square, IntValue(2), IntValue(1)})), 3);
  EXPECT_EQ(AsInt(CallBySymbol(SYM___PCARRPUTCOLLECTION, {square, IntValue(2), IntValue(1), IntValue(7)})), 7);
  EXPECT_TRUE(Received().empty());
  EXPECT_EQ(Describe(square), "{{1, 2}, {7, 4}}");
}

}  // namespace
