// What the helpers achieve with the runtime behind them: elements read and stored, objects
// created, variables read and written, messages sent, symbols made.
#include "latebound_fixture.h"

namespace {

class HelperResultsTest : public LateBoundTest {};

TEST_F(HelperResultsTest, ArraysAreWalkedAndWritten) {
  Usual square = Nest({Ints({1, 2}), Ints({3, 4})});
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCARRGETCOLLECTION, {square, IntValue(2), IntValue(1)})), "3");
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCARRGETCOLLECTION, {square, IntValue(1)})), "{1, 2}");

  Usual flat = Ints({1, 2});
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCARRPUTCOLLECTION, {flat, IntValue(2), IntValue(7)})), "7");
  EXPECT_EQ(Describe(flat), "{1, 7}");
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCARRPUTCOLLECTION, {square, IntValue(2), IntValue(1), S("x")})), "'x'");
  EXPECT_EQ(Describe(square), "{{1, 2}, {'x', 4}}");

  Usual cube = Nest({Nest({Ints({1, 2}), Ints({3, 4})})});
  CallBySymbol(SYM___PCARRPUTCOLLECTION, {cube, IntValue(1), IntValue(2), IntValue(2), IntValue(0)});
  EXPECT_EQ(Describe(cube), "{{{1, 2}, {3, 0}}}");
  EXPECT_TRUE(Seen().empty());
}

TEST_F(HelperResultsTest, ObjectsThatServeIndexedAccessGetTheIndexesInOrder) {
  Usual box = Box();
  EXPECT_EQ(AsInt(CallBySymbol(SYM___PCARRGETCOLLECTION, {box, IntValue(1), IntValue(2), IntValue(3)})),
            IndexedBox::kGetAnswer);
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCARRPUTCOLLECTION, {box, IntValue(1), IntValue(2), S("v")})), "'v'");
  ASSERT_EQ(IndexedBox::Gets().size(), 1u);
  ASSERT_EQ(IndexedBox::Puts().size(), 1u);
  EXPECT_EQ(Describe(Nest({IndexedBox::Gets()[0][0], IndexedBox::Gets()[0][1], IndexedBox::Gets()[0][2]})),
            "{1, 2, 3}");
  EXPECT_EQ(Describe(Nest({IndexedBox::Puts()[0][0], IndexedBox::Puts()[0][1], IndexedBox::Puts()[0][2]})),
            "{'v', 1, 2}");
  EXPECT_TRUE(Seen().empty());
}

TEST_F(HelperResultsTest, InstanceVariableCollections) {
  Usual square = Nest({Ints({1, 2}), Ints({3, 4})});
  Usual box = Box(square);
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCIVAGETCOLLECTION, {box, S("content"), IntValue(2), IntValue(1)})), "3");
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCIVAGETCOLLECTION, {box, Sy("CONTENT"), IntValue(1)})), "{1, 2}");
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCIVAPUTCOLLECTION, {box, S("Content"), IntValue(2), IntValue(1), S("n")})),
            "'n'");
  EXPECT_EQ(Describe(square), "{{1, 2}, {'n', 4}}");
  EXPECT_TRUE(Seen().empty());
}

TEST_F(HelperResultsTest, CreatingInstances) {
  Usual made = CallBySymbol(SYM___PCCREATEINSTANCE, {S("IndexedBox"), IntValue(2), IntValue(3)});
  EXPECT_TRUE(IsInstanceOf(made, IndexedBox::ClassSym()));
  EXPECT_TRUE(IsInstanceOf(CallBySymbol(SYM___PCCREATEINSTANCE, {Sy("INDEXEDBOX")}), IndexedBox::ClassSym()));
  EXPECT_TRUE(Seen().empty());

  struct Case {
    const char* what;
    std::vector<Usual> args;
    std::string errorArgs;
    Sym funcSym;
  };
  const Case invalid[] = {
      {"a string naming no class",
       {S("NoSuchClass"), IntValue(2), IntValue(3)},
       "{#NOSUCHCLASS, 2, 3}",
       String2Symbol(Psz2String("NOSUCHCLASS"))},
      {"a number", {IntValue(5), IntValue(2)}, "{#, 2}", 0},
      {"an empty string", {S("")}, "{#}", 0},
      {"a symbol naming no class", {Sy("NOTACLASS")}, "{#NOTACLASS}", String2Symbol(Psz2String("NOTACLASS"))},
  };
  for (const Case& c : invalid) {
    SCOPED_TRACE(c.what);
    Seen().clear();
    EXPECT_EQ(CallBySymbol(SYM___PCCREATEINSTANCE, c.args).type, T_NIL);
    ASSERT_EQ(Seen().size(), 1u);
    EXPECT_EQ(Seen()[0].description, "Arg error, Invalid class");
    EXPECT_EQ(Seen()[0].operation, "CreateInstance");
    EXPECT_EQ(Seen()[0].argNum, 1u);
    EXPECT_EQ(Seen()[0].args, c.errorArgs);
    EXPECT_EQ(Seen()[0].funcSym, c.funcSym);
  }
}

TEST_F(HelperResultsTest, InstanceVariablesAndMessages) {
  Usual box = Box(IntValue(1));
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCIVARGET, {box, S("content")})), "1");
  EXPECT_EQ(Describe(CallBySymbol(SYM___PCIVARPUT, {box, Sy("CONTENT"), S("new")})), "'new'");
  EXPECT_EQ(Describe(IVarGet(AsObj(box), IndexedBox::ContentSym())), "'new'");

  EXPECT_EQ(AsInt(CallBySymbol(SYM___PCSEND, {box, S("CollectionGet"), IntValue(1), IntValue(2)})),
            IndexedBox::kGetAnswer);
  EXPECT_EQ(AsInt(CallBySymbol(SYM___PCSEND, {box, Sy("COLLECTIONGET")})), IndexedBox::kGetAnswer);
  ASSERT_EQ(IndexedBox::Gets().size(), 2u);
  ASSERT_EQ(IndexedBox::Gets()[0].size(), 2u);
  EXPECT_EQ(AsInt(IndexedBox::Gets()[0][1]), 2);
  EXPECT_TRUE(IndexedBox::Gets()[1].empty()) << "a message without arguments";
  EXPECT_TRUE(Seen().empty());
}

TEST_F(HelperResultsTest, NamesReachTheCountErrorAsSymbols) {
  struct Case {
    Sym helper;
    std::vector<Usual> args;  // a count fault in each, the name second (first for the class)
    Sym funcSym;
  };
  Sym name = String2Symbol(Psz2String("SOMENAME"));
  const Case cases[] = {
      {SYM___PCIVARGET, {Box(), S("someName"), IntValue(1)}, name},
      {SYM___PCIVARGET, {Box(), SymbolValue(name), IntValue(1)}, name},
      {SYM___PCIVARGET, {Box(), IntValue(9), IntValue(1)}, 0},
      {SYM___PCIVARPUT, {Box(), S("someName")}, name},
      {SYM___PCIVARPUT, {Box(), IntValue(9)}, 0},
      {SYM___PCCREATEINSTANCE, {S("SomeName")}, name},  // a value fault: no such class
      {SYM___PCCREATEINSTANCE, {IntValue(9)}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Symbol2String(c.helper) + std::string(" ") + Describe(c.args[1 % c.args.size()]));
    Seen().clear();
    CallBySymbol(c.helper, c.args);
    ASSERT_EQ(Seen().size(), 1u);
    EXPECT_EQ(Seen()[0].subsystem, "PCEVal");
    EXPECT_EQ(Seen()[0].funcSym, c.funcSym);
  }
  // __PCSEND has no upper bound and needs its name second: a count fault leaves the name out.
  Seen().clear();
  CallBySymbol(SYM___PCSEND, {Box()});
  ASSERT_EQ(Seen().size(), 1u);
  EXPECT_EQ(Seen()[0].funcSym, 0u);
}

TEST_F(HelperResultsTest, Symbols) {
  struct Case {
    const char* what;
    Usual value;
    std::string result;
  };
  const Case cases[] = {
      {"a string", S("abc"), "#ABC"},    {"a symbol", Sy("XYZ"), "#XYZ"},
      {"an empty string", S(""), "#"},   {"blanks", S("  "), "#"},
      {"zero", IntValue(0), "#"},        {"NIL", NilValue(), "#"},
      {"false", LogicValue(false), "#"}, {"the empty symbol", SymbolValue(0), "#"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Usual result = CallBySymbol(SYM___PCSYMBOL, {c.value});
    EXPECT_EQ(result.type, T_SYMBOL);
    EXPECT_EQ(Describe(result), c.result);
  }
  EXPECT_TRUE(Seen().empty());

  const Usual invalid[] = {IntValue(5), LogicValue(true), Ints({1})};
  for (const Usual& v : invalid) {
    SCOPED_TRACE(Describe(v));
    Seen().clear();
    EXPECT_EQ(CallBySymbol(SYM___PCSYMBOL, {v}).type, T_NIL);
    ASSERT_EQ(Seen().size(), 1u);
    EXPECT_EQ(Seen()[0].description, "Arg error, Invalid symbol");
    EXPECT_EQ(Seen()[0].operation, "Symbol");
    EXPECT_EQ(Seen()[0].argNum, 1u);
    EXPECT_EQ(Seen()[0].args, "NULLARRAY");
    EXPECT_EQ(Seen()[0].funcSym, 0u);
  }
}

}  // namespace
