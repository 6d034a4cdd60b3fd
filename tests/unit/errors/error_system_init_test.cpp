// The init procedures that put the error system in place.
#include "errors/error_system_init.h"
#include "errors/def_error.h"
#include "errors/error_class.h"
#include "program_fixture.h"
#include "runtime/call.h"

namespace {

Usual OwnBlockBody(std::uint32_t, Usual*) { return LogicValue(false); }
const CodeBlock kOwnBlock{1, &OwnBlockBody};

class ErrorSystemInitTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(ModuleInit(), 0);
    CallKest<declared::ErrorBlock>(ErrorBlock, NilValue());
    CallKest<declared::ErrorFunc>(ErrorFunc, NilValue());
  }
  static Usual CurrentBlock() { return CallKest<declared::ErrorBlock>(ErrorBlock); }
  static Usual CurrentFunc() { return CallKest<declared::ErrorFunc>(ErrorFunc); }
};

TEST_F(ErrorSystemInitTest, TheDefaultBlockIsInstalledOnlyWhereNoneIsSet) {
  InstallDefaultErrorBlock();
  EXPECT_EQ(CurrentBlock().type, T_CODEBLOCK);
  EXPECT_EQ(CurrentBlock().value, reinterpret_cast<std::uintptr_t>(&DefaultErrorBlock));

  CallKest<declared::ErrorBlock>(ErrorBlock, CodeBlockValue(&kOwnBlock));
  InstallDefaultErrorBlock();
  EXPECT_EQ(CurrentBlock().value, reinterpret_cast<std::uintptr_t>(&kOwnBlock)) << "an application's block stays";
}

TEST_F(ErrorSystemInitTest, TheErrorFunctionIsRegisteredInTheFirstModuleOnly) {
  TbTestSetRTCount(2);
  RegisterErrorGen();
  EXPECT_EQ(CurrentFunc().type, T_NIL);
  TbTestSetRTCount(1);
  RegisterErrorGen();
  ASSERT_TRUE(IsPtr(CurrentFunc()));
  EXPECT_EQ(_P2Ptr(CurrentFunc()), reinterpret_cast<void*>(&DefErrorGen));
}

}  // namespace
