// The runtime's unknown-alias error through the program's own error system: what the default
// handler shows, logs and answers, and what the Error object carries.
#include "error_handling_fixture.h"
#include "tb28run/dialog.h"

namespace {

class AliasErrorTest : public ErrorHandlingTest {};

TEST_F(AliasErrorTest, TheHandlerOffersTheDefaultAndQuitButNoRetry) {
  for (std::uint32_t answer : {ED_FIRST, ED_RETRY}) {
    Dialogs().clear();
    Script().push_back(answer);
    EXPECT_EQ(FieldGetAlias(SYM_A, SYM_A).type, T_NIL) << "answer " << answer;
    ASSERT_EQ(Dialogs().size(), 1u) << "answer " << answer << " ends the error, never asks again";
    EXPECT_EQ(Dialogs()[0].caption, "ERROR");
    EXPECT_EQ(Dialogs()[0].first, ED_FIRST);
    EXPECT_EQ(Dialogs()[0].second, 0u);
    EXPECT_EQ(Dialogs()[0].third, ED_QUIT);
  }
  const std::string& message = Dialogs()[0].message;
  EXPECT_EQ(message.rfind("Error Code:  14 [ VARIABLE DOES NOT EXIST ]\r\n"
                          "Subsystem: TB28RUN\r\n"
                          "Operation: FieldGetAlias\r\n"
                          "Function: A\r\n"
                          "Argument: A\r\n"
                          "Type: SYMBOL\r\n"
                          "Argument Number: 1\r\n"
                          "Description: Alias does not exist\r\n",
                          0),
            0u)
      << message;
  EXPECT_NE(Log().find("\r\nCanRetry        :.F.\r\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("\r\nOperation       :FieldGetAlias\r\n"), std::string::npos) << Log();
}

// Keeps what the error object says, read while it is handled.
struct Seen {
  std::uint32_t gencode = 0;
  std::vector<std::string> args;
};
Seen seen;

Usual Inspect(std::uint32_t, Usual* args) {
  TbObj error = _P2Object(args[0]);
  seen.gencode = _P2DW(IVarGet(error, SYM_GENCODE));
  TbArr list = AsArr(IVarGet(error, SYM_ARGS));
  seen.args.clear();
  for (std::uint32_t i = 1; i <= ALen(list); ++i) seen.args.push_back(AsPsz(ArrayGet(list, i)));
  return LogicValue(false);
}
const CodeBlock kInspect{1, &Inspect};

TEST_F(AliasErrorTest, TheErrorObjectCarriesTheAliasTheFieldAndTheValueInArgs) {
  CallKest<declared::ErrorBlock>(ErrorBlock, CodeBlockValue(&kInspect));
  Sym customer = SysAddAtom("CUSTOMER"), name = SysAddAtom("NAME");
  FieldGetAlias(customer, name);
  EXPECT_EQ(seen.gencode, 14u);
  EXPECT_EQ(seen.args, (std::vector<std::string>{"CUSTOMER", "NAME"}));
  FieldPutAlias(customer, name, S("Smith"));
  EXPECT_EQ(seen.args, (std::vector<std::string>{"CUSTOMER", "NAME", "Smith"}));
}

}  // namespace
