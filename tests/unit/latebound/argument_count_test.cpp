// Every helper, reached by symbol, one argument below its bounds, at them and above: the Error
// its block receives, and NIL whatever the block answers.
#include "latebound_fixture.h"

namespace {

struct CountCase {
  const char* what;
  Sym helper;
  std::vector<Usual> args;
  // For a count fault: the texts and the argument list of the Error. Otherwise only `result`.
  const char* description;
  const char* operation;
  std::string errorArgs;
  Sym funcSym;
  std::string result;
};

class ArgumentCountTest : public LateBoundTest {
 protected:
  std::vector<CountCase> Cases() {
    Usual content = Sy("CONTENT");
    Sym contentSym = IndexedBox::ContentSym();
    const char* few = "Arg error, To few arguments";
    const char* many = "Arg error, To manny arguments";
    Usual pair = Ints({1, 2});
    Usual square = Nest({Ints({1, 2}), Ints({3, 4})});
    return {
        {"ARRGET none", SYM___PCARRGETCOLLECTION, {}, few, "ArrayGetCollection", "{}", 0, ""},
        {"ARRGET below", SYM___PCARRGETCOLLECTION, {pair}, few, "ArrayGetCollection", "{{1, 2}}", 0, ""},
        {"ARRGET at", SYM___PCARRGETCOLLECTION, {pair, IntValue(2)}, nullptr, "", "", 0, "2"},
        {"ARRGET beyond", SYM___PCARRGETCOLLECTION, {square, IntValue(2), IntValue(1)}, nullptr, "", "", 0, "3"},
        {"ARRPUT below",
         SYM___PCARRPUTCOLLECTION,
         {pair, IntValue(1)},
         few,
         "ArrayPutCollection",
         "{{1, 2}, 1}",
         0,
         ""},
        {"ARRPUT at", SYM___PCARRPUTCOLLECTION, {pair, IntValue(1), IntValue(9)}, nullptr, "", "", 0, "9"},
        {"IVAGET below",
         SYM___PCIVAGETCOLLECTION,
         {Box(square), S("content")},
         few,
         "IVarGetCollection",
         "{OBJ{INDEXEDBOX}, 'content'}",
         0,
         ""},
        {"IVAGET at", SYM___PCIVAGETCOLLECTION, {Box(square), S("content"), IntValue(1)}, nullptr, "", "", 0, "{1, 2}"},
        {"IVAPUT below",
         SYM___PCIVAPUTCOLLECTION,
         {Box(square), S("content"), IntValue(1)},
         few,
         "IVarPutCollection",
         "{OBJ{INDEXEDBOX}, 'content', 1}",
         0,
         ""},
        {"IVAPUT at",
         SYM___PCIVAPUTCOLLECTION,
         {Box(square), S("content"), IntValue(2), IntValue(9)},
         nullptr,
         "",
         "",
         0,
         "9"},
        {"CREATEINSTANCE below", SYM___PCCREATEINSTANCE, {}, few, "CreateInstance", "{#}", 0, ""},
        {"CREATEINSTANCE at", SYM___PCCREATEINSTANCE, {S("IndexedBox")}, nullptr, "", "", 0, "OBJ{INDEXEDBOX}"},
        {"CREATEINSTANCE beyond",
         SYM___PCCREATEINSTANCE,
         {S("IndexedBox"), IntValue(1), IntValue(2)},
         nullptr,
         "",
         "",
         0,
         "OBJ{INDEXEDBOX}"},
        {"IVARGET below", SYM___PCIVARGET, {Box()}, few, "IVarGet", "NULLARRAY", 0, ""},
        {"IVARGET at", SYM___PCIVARGET, {Box(IntValue(8)), content}, nullptr, "", "", 0, "8"},
        {"IVARGET above",
         SYM___PCIVARGET,
         {Box(), S("content"), IntValue(1)},
         many,
         "IVarGet",
         "NULLARRAY",
         contentSym,
         ""},
        {"IVARPUT below", SYM___PCIVARPUT, {Box(), S("content")}, few, "IVarPut", "{NIL}", contentSym, ""},
        {"IVARPUT at", SYM___PCIVARPUT, {Box(), content, IntValue(5)}, nullptr, "", "", 0, "5"},
        {"IVARPUT above",
         SYM___PCIVARPUT,
         {Box(), content, IntValue(5), IntValue(6)},
         many,
         "IVarPut",
         "{5}",
         contentSym,
         ""},
        {"SEND none", SYM___PCSEND, {}, few, "Send", "{}", 0, ""},
        {"SEND below", SYM___PCSEND, {Box()}, few, "Send", "{}", 0, ""},
        {"SEND at", SYM___PCSEND, {Box(), S("collectionget")}, nullptr, "", "", 0, "4711"},
        {"SEND beyond", SYM___PCSEND, {Box(), S("collectionget"), IntValue(1)}, nullptr, "", "", 0, "4711"},
        {"SYMBOL below", SYM___PCSYMBOL, {}, few, "Symbol", "NULLARRAY", 0, ""},
        {"SYMBOL at", SYM___PCSYMBOL, {S("abc")}, nullptr, "", "", 0, "#ABC"},
        {"SYMBOL above", SYM___PCSYMBOL, {S("abc"), S("def")}, many, "Symbol", "NULLARRAY", 0, ""},
    };
  }
};

TEST_F(ArgumentCountTest, BelowAtAndAboveTheBounds) {
  for (const CountCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    Seen().clear();
    Usual result = CallBySymbol(c.helper, c.args);
    if (!c.description) {
      EXPECT_TRUE(Seen().empty()) << Seen()[0].description;
      EXPECT_EQ(Describe(result), c.result);
      continue;
    }
    EXPECT_EQ(result.type, T_NIL);
    ASSERT_EQ(Seen().size(), 1u);
    const SeenError& e = Seen()[0];
    EXPECT_EQ(e.description, c.description);
    EXPECT_EQ(e.operation, c.operation);
    EXPECT_EQ(e.args, c.errorArgs);
    EXPECT_EQ(e.funcSym, c.funcSym);
    EXPECT_EQ(e.argNum, 0u);
  }
}

TEST_F(ArgumentCountTest, TheErrorIsAPCEValArgumentError) {
  for (const CountCase& c : Cases()) {
    if (!c.description) continue;
    SCOPED_TRACE(c.what);
    Seen().clear();
    CallBySymbol(c.helper, c.args);
    ASSERT_EQ(Seen().size(), 1u);
    const SeenError& e = Seen()[0];
    EXPECT_EQ(e.subsystem, "PCEVal");
    EXPECT_EQ(e.subcodeText, "PCode");
    EXPECT_EQ(e.gencode, 1u);
    EXPECT_EQ(e.severity, 2u);
    EXPECT_EQ(e.subcode, 0u);
    EXPECT_EQ(e.oscode, 0u);
    EXPECT_EQ(e.tries, 0u);
    EXPECT_FALSE(e.canDefault || e.canRetry || e.canSubstitute);
    EXPECT_EQ(e.filename, "");
    EXPECT_EQ(e.arg, "");
    EXPECT_EQ(e.fileHandle | e.argType | e.argTypeReq | e.maxSize | e.substituteType | e.choice, 0u);
    EXPECT_EQ(e.callFuncSym, 0u);
    EXPECT_EQ(e.cargoType, T_NIL);
    EXPECT_TRUE(e.funcPtrNull && e.methodSelfNull);
    // The call stack the constructor recorded: ThrowArgError and the helper are on it.
    EXPECT_NE(e.stack.find("THROWARGERROR"), std::string::npos) << e.stack;
    EXPECT_NE(e.stack.find("__PC"), std::string::npos) << e.stack;
  }
}

TEST_F(ArgumentCountTest, TheResultIsNilWhateverTheBlockAnswers) {
  const Usual answers[] = {LogicValue(true), LogicValue(false), S("substitute"), IntValue(1), NilValue()};
  for (const CountCase& c : Cases()) {
    if (!c.description) continue;
    for (const Usual& answer : answers) {
      SCOPED_TRACE(std::string(c.what) + " answered " + Describe(answer));
      Seen().clear();
      ErrorRecorder::Answer(answer);
      EXPECT_EQ(CallBySymbol(c.helper, c.args).type, T_NIL);
      EXPECT_EQ(Seen().size(), 1u) << "raised once, nothing retried";
    }
  }
}

TEST_F(ArgumentCountTest, EachHelperIsCalledWithItsDeclaredParameters) {
  struct Expect {
    Sym helper;
    std::uint16_t declared;
  };
  const Expect expected[] = {{SYM___PCARRGETCOLLECTION, 0},
                             {SYM___PCARRPUTCOLLECTION, 0},
                             {SYM___PCIVAGETCOLLECTION, 0},
                             {SYM___PCIVAPUTCOLLECTION, 0},
                             {SYM___PCCREATEINSTANCE, 1},
                             {SYM___PCIVARGET, 2},
                             {SYM___PCIVARPUT, 3},
                             {SYM___PCSEND, 2},
                             {SYM___PCSYMBOL, 1}};
  for (const Expect& x : expected) {
    Seen().clear();
    CallBySymbol(x.helper, {});  // too few for each: the block sees the helper's frame
    ASSERT_EQ(Seen().size(), 1u) << Symbol2String(x.helper);
    EXPECT_EQ(HelperCountWords().back(), CountWord(x.declared, 0)) << Symbol2String(x.helper);
  }
  Seen().clear();
  CallBySymbol(SYM___PCIVARPUT, {Box(), S("content"), IntValue(1), IntValue(2)});
  ASSERT_EQ(Seen().size(), 1u);
  EXPECT_EQ(HelperCountWords().back(), 196612u);  // three declared, four passed
}

TEST_F(ArgumentCountTest, AValueWithTooManyArgumentsIsNotStored) {
  Usual box = Box(IntValue(1));
  CallBySymbol(SYM___PCIVARPUT, {box, S("content"), IntValue(5), IntValue(6)});
  EXPECT_EQ(AsInt(IVarGet(AsObj(box), IndexedBox::ContentSym())), 1);
}

}  // namespace
