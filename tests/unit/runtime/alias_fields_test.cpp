// Alias field access in a runtime without work areas: every alias is unknown, and the error says
// so through the error road with the alias in ARGS.
#include <string>
#include <vector>

#include "error_recorder.h"
#include "runtime_fixture.h"
#include "tb28run/errors.h"
#include "tb28run/fields.h"
#include "tb28run/objects.h"
#include "value_keeper.h"

namespace {

std::vector<RaisedError>& raised = ErrorRecorder::Raised();

class AliasFieldsTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ErrorRecorder::Install();
    alias = SysAddAtom("CUSTOMER");
    field = SysAddAtom("NAME");
  }

  Sym alias = 0, field = 0;
};

bool Same(const Usual& a, const Usual& b) { return a.type == b.type && a.value == b.value; }

struct Access {
  const char* operation;
  Usual (*call)(Sym alias, Sym field);
  bool assigns;
};

const Access kAccesses[] = {
    {"FieldGetAlias", [](Sym a, Sym f) { return FieldGetAlias(a, f); }, false},
    {"FieldPutAlias", [](Sym a, Sym f) { return FieldPutAlias(a, f, IntValue(7)); }, true},
};

TEST_F(AliasFieldsTest, EveryAliasIsUnknownAndTheErrorNamesIt) {
  for (const Access& access : kAccesses) {
    SCOPED_TRACE(access.operation);
    raised.clear();
    EXPECT_EQ(access.call(alias, field).type, T_NIL) << "the default: NIL";
    ASSERT_EQ(raised.size(), 1u);
    const RaisedError& r = raised[0];
    EXPECT_EQ(r.gencode, 14u);
    EXPECT_EQ(Str(ErrString(r.gencode)), "Variable does not exist");
    EXPECT_EQ(r.subsystem, "TB28RUN");
    EXPECT_EQ(r.operation, access.operation);
    EXPECT_EQ(r.description, "Alias does not exist");
    EXPECT_EQ(r.arg, "CUSTOMER");
    EXPECT_EQ(r.argType, T_SYMBOL);
    EXPECT_EQ(r.argNum, 1u);
    EXPECT_EQ(r.funcSym, field);
    EXPECT_TRUE(r.canDefault);
    EXPECT_TRUE(r.canSubstitute);
    EXPECT_FALSE(r.canRetry) << "no work area can open meanwhile";
    EXPECT_EQ(r.args, access.assigns ? "{#CUSTOMER, #NAME, 7}" : "{#CUSTOMER, #NAME}");
  }
}

TEST_F(AliasFieldsTest, TheBlocksAnswerDecidesTheResult) {
  struct Case {
    Usual answer;
    Usual result;
    const char* what;
  };
  const Case cases[] = {
      {LogicValue(false), NilValue(), "the default gives NIL"},
      {LogicValue(true), NilValue(), "a retry is not offered: it counts as the default, once"},
      {IntValue(42), IntValue(42), "a substitute of any type stands for the field"},
      {SymbolValue(5), SymbolValue(5), "a substitute of any type stands for the field"},
      {NilValue(), NilValue(), "NIL is a substitute too"},
  };
  for (const Access& access : kAccesses) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(access.operation) + ": " + c.what);
      raised.clear();
      ErrorRecorder::Answer(c.answer);
      EXPECT_TRUE(Same(access.call(alias, field), c.result));
      EXPECT_EQ(raised.size(), 1u);
    }
  }
}

TEST_F(AliasFieldsTest, AStringSubstituteComesBackWhole) {
  ValueKeeper keeper;
  ErrorRecorder::Answer(S("stand-in"));
  EXPECT_EQ(Str(FieldGetAlias(alias, field)), "stand-in");
  ErrorRecorder::Answer(S("stored"));
  EXPECT_EQ(Str(FieldPutAlias(alias, field, keeper.Keep(S("value")))), "stored");
}

TEST_F(AliasFieldsTest, TheEmptySymbolIsNoAliasEither) {
  EXPECT_EQ(FieldGetAlias(0, 0).type, T_NIL);
  ASSERT_EQ(raised.size(), 1u);
  EXPECT_EQ(raised[0].gencode, 14u);
  EXPECT_EQ(raised[0].arg, "");
}

}  // namespace
