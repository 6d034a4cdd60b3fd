#include <cstddef>
#include <cstdio>

#include "app/start.h"
#include "errors/call_stack_settings.h"
#include "errors/error_system_init.h"
#include "intl/set_international.h"
#include "latebound/latebound_references.h"
#include "program_fixture.h"
#include "runtime/call.h"
#include "startup/class_layouts.h"
#include "startup/debug_launch.h"
#include "startup/init_procedures.h"
#include "startup/tbobject.h"

namespace {

class ModuleInitTest : public ProgramTest {};

Usual NewObject(Sym cls) {
  Usual args[1] = {SymbolValue(cls)};
  return CreateInstance(CountWord(1, 1), args);
}

TEST_F(ModuleInitTest, DeclaresTheThreeClassesAndSetsTheCallStackDefaults) {
  CallStackMaxEntries = 99;
  CallStackNumbered = 1;
  ASSERT_EQ(ModuleInit(), 0);
  EXPECT_TRUE(IsClass(SYM_TBOBJECT));
  EXPECT_TRUE(IsClass(SYM_CODEBLOCK));
  EXPECT_TRUE(IsClass(SYM_ERROR));
  EXPECT_EQ(CallStackMaxEntries, 5u);
  EXPECT_EQ(CallStackStopCount, 0u);
  EXPECT_EQ(CallStackNumbered, 0u);
  EXPECT_EQ(CallStackWithFile, 0u);
}

// Every Error variable is stored where the layout says, with its type.
TEST_F(ModuleInitTest, ErrorVariablesLieAtTheirDeclaredOffsets) {
  ASSERT_EQ(ModuleInit(), 0);
  Usual error = NewObject(SYM_ERROR);
  ASSERT_EQ(error.type, T_OBJECT);
  ASSERT_NE(error.value, 0u);
  auto* raw = reinterpret_cast<ErrorInstance*>(AsObj(error));
  TbObj o = AsObj(error);
  struct U32Field {
    Sym ivar;
    std::uint32_t ErrorInstance::*field;
  };
  const U32Field numbers[] = {
      {SYM_SUBCODE, &ErrorInstance::SUBCODE},
      {SYM_GENCODE, &ErrorInstance::GENCODE},
      {SYM_OSCODE, &ErrorInstance::OSCODE},
      {SYM_SEVERITY, &ErrorInstance::SEVERITY},
      {SYM_TRIES, &ErrorInstance::TRIES},
      {SYM_FILEHANDLE, &ErrorInstance::FILEHANDLE},
      {SYM_ARGNUM, &ErrorInstance::ARGNUM},
      {SYM_ARGTYPE, &ErrorInstance::ARGTYPE},
      {SYM_ARGTYPEREQ, &ErrorInstance::ARGTYPEREQ},
      {SYM_MAXSIZE, &ErrorInstance::MAXSIZE},
      {SYM_SUBSTITUTETYPE, &ErrorInstance::SUBSTITUTETYPE},
      {SYM_CHOICE, &ErrorInstance::CHOICE},
  };
  std::uint32_t n = 100;
  for (const U32Field& f : numbers) {
    IVarPut(o, f.ivar, IntValue(std::int32_t(++n)));
    EXPECT_EQ(raw->*f.field, n) << Symbol2String(f.ivar);
  }
  const U32Field logicals[] = {{SYM_CANDEFAULT, &ErrorInstance::CANDEFAULT},
                               {SYM_CANRETRY, &ErrorInstance::CANRETRY},
                               {SYM_CANSUBSTITUTE, &ErrorInstance::CANSUBSTITUTE}};
  for (const U32Field& f : logicals) {
    IVarPut(o, f.ivar, LogicValue(true));
    EXPECT_EQ(raw->*f.field, 1u) << Symbol2String(f.ivar);
  }
  struct StrField {
    Sym ivar;
    TbStr ErrorInstance::*field;
  };
  const StrField strings[] = {{SYM_SUBSYSTEM, &ErrorInstance::SUBSYSTEM},
                              {SYM_OPERATION, &ErrorInstance::OPERATION},
                              {SYM_DESCRIPTION, &ErrorInstance::DESCRIPTION},
                              {SYM_FILENAME, &ErrorInstance::FILENAME},
                              {SYM_SUBCODETEXT, &ErrorInstance::SUBCODETEXT},
                              {SYM_ARG, &ErrorInstance::ARG},
                              {SYM_STACK, &ErrorInstance::STACK}};
  for (const StrField& f : strings) {
    IVarPut(o, f.ivar, S(Symbol2String(f.ivar)));
    EXPECT_EQ(Str(raw->*f.field), Symbol2String(f.ivar));
  }
  IVarPut(o, SYM_FUNCSYM, SymbolValue(SYM_THROW));
  IVarPut(o, SYM_CALLFUNCSYM, SymbolValue(SYM_ERROR));
  EXPECT_EQ(raw->FUNCSYM, SYM_THROW);
  EXPECT_EQ(raw->CALLFUNCSYM, SYM_ERROR);
  int marker;
  IVarPut(o, SYM_FUNCPTR, PtrValue(&marker));
  EXPECT_EQ(raw->FUNCPTR, &marker);
  IVarPut(o, SYM_CARGO, IntValue(5));
  EXPECT_EQ(raw->CARGO.type, T_INT);
  IVarPut(o, SYM_METHODSELF, error);
  EXPECT_EQ(raw->METHODSELF, o);
  TbArr array = ArrayCreate(2);
  IVarPut(o, SYM_ARGS, ArrayValue(array));
  EXPECT_EQ(raw->ARGS, array);
}

TEST_F(ModuleInitTest, FailingClassDeclarationStopsEverythingAfterIt) {
  TbTestSetCollectPublics(1);  // the debug-launch check would end the process if it ran
  TbTestFailNthCall(TB_HOOK_DECLARECLASS, 1);
  EXPECT_NE(ModuleInit(), 0);
  EXPECT_FALSE(IsClass(SYM_TBOBJECT));
  EXPECT_FALSE(IsClass(SYM_CODEBLOCK));
  EXPECT_FALSE(IsClass(SYM_ERROR));
  EXPECT_EQ(TbTestCallCount(TB_HOOK_DECLARECLASS), 1u);
  EXPECT_EQ(TbTestCallCount(TB_HOOK_DECLAREMETHOD), 0u);
}

TEST_F(ModuleInitTest, FailingMethodDeclarationEndsWithItsCode) {
  TbTestSetCollectPublics(1);
  CallStackMaxEntries = 0;
  TbTestFailNthCall(TB_HOOK_DECLAREMETHOD, 3);
  std::int32_t result = ModuleInit();
  EXPECT_NE(result, 0);
  EXPECT_EQ(TbTestCallCount(TB_HOOK_DECLAREMETHOD), 3u);
  EXPECT_TRUE(IsClass(SYM_ERROR));
  EXPECT_EQ(CallStackMaxEntries, 0u) << "the settings come after the declarations";
}

// A subclass whose DESTROY leaves a mark, to see method 118 pass the message on.
int destroyed = 0;
Usual MarkDestroy(Usual self, std::uint32_t, Usual*) {
  ++destroyed;
  return self;
}

TEST_F(ModuleInitTest, FinalizeSendsDestroyToTheSameObjectAndAnswersIt) {
  ASSERT_EQ(ModuleInit(), 0);
  Sym sub = SysAddAtom("MARKED");
  ASSERT_EQ(DeclareClass(sub, SYM_TBOBJECT, sizeof(TBObjectInstance), nullptr, 0, 0, 0), 0);
  ASSERT_EQ(DeclareMethod(sub, SYM_DESTROY, 0, &MarkDestroy, 0), 0);
  Usual object = NewObject(sub);
  destroyed = 0;
  Usual send[2] = {object, SymbolValue(SYM_FINALIZE)};
  Usual result = Send(CountWord(2, 2), send);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(result.type, T_OBJECT);
  EXPECT_EQ(result.value, object.value);
  Usual plain = NewObject(SYM_TBOBJECT);
  Usual sendPlain[2] = {plain, SymbolValue(SYM_FINALIZE)};
  EXPECT_EQ(Send(CountWord(2, 2), sendPlain).value, plain.value);
}

Usual AddTwo(std::uint32_t countWord, Usual* args) {
  return IntValue(AsInt(args[0]) + (PassedOf(countWord) > 1 ? AsInt(args[1]) : 100));
}
const CodeBlock kAddTwo{2, &AddTwo};

TEST_F(ModuleInitTest, CodeBlockObjectsRunThroughEval) {
  ASSERT_EQ(ModuleInit(), 0);
  Usual args[3] = {SymbolValue(SYM_CODEBLOCK), CodeBlockValue(&kAddTwo), IntValue(2)};
  Usual block = CreateInstance(CountWord(1, 3), args);
  ASSERT_EQ(block.type, T_OBJECT);
  EXPECT_EQ(AsInt(IVarGet(AsObj(block), SYM_NPARAMCOUNT)), 2);
  Usual eval[3] = {block, IntValue(3), IntValue(4)};
  EXPECT_EQ(AsInt(Eval(CountWord(1, 3), eval)), 7);
  Usual one[2] = {block, IntValue(3)};
  EXPECT_EQ(AsInt(Eval(CountWord(1, 2), one)), 103);
}

TEST(InitProceduresTest, SixInTheirOrder) {
  const InitProcedure expected[] = {&ReferLateBoundHelpers, &ReferAliasFieldAccess,    &CallNoOperation,
                                    &DebugLaunchCheck,      &InstallDefaultErrorBlock, &RegisterErrorGen};
  ASSERT_EQ(INIT_PROCEDURE_COUNT, 6u);
  for (unsigned i = 0; i < 6; ++i) EXPECT_EQ(INIT_PROCEDURES[i], expected[i]) << "procedure " << i + 1;
}

Usual AnswerFalse(std::uint32_t, Usual*) { return LogicValue(false); }
const CodeBlock kOwnBlock{1, &AnswerFalse};

std::int32_t Mode() { return AsInt(CallKest<1>(_SetIntl)); }

TEST_F(ModuleInitTest, AnErrorBlockSetBeforehandKeepsTheDefaultAndTheLocaleOut) {
  CallKest<1>(_SetIntl, IntValue(0));
  CallKest<1>(ErrorBlock, CodeBlockValue(&kOwnBlock));
  ASSERT_EQ(ModuleInit(), 0);
  EXPECT_EQ(CallKest<1>(ErrorBlock).value, reinterpret_cast<std::uintptr_t>(&kOwnBlock));
  EXPECT_EQ(Mode(), 0) << "SetInternational was not called";
}

TEST_F(ModuleInitTest, WithoutABlockTheDefaultComesWithTheWindowsConventions) {
  CallKest<1>(_SetIntl, IntValue(0));
  ASSERT_EQ(ModuleInit(), 0);
  EXPECT_EQ(CallKest<1>(ErrorBlock).type, T_CODEBLOCK);
  EXPECT_EQ(Mode(), 1);
  EXPECT_TRUE(IsPtr(CallKest<1>(ErrorFunc))) << "the first module registers DefErrorGen";
}

TEST_F(ModuleInitTest, NoErrorFunctionUnlessTheRuntimeCountsOneModule) {
  for (std::int64_t count : {0, 2}) {
    TbTestReset();
    ASSERT_EQ(MemInit(), 0);
    ASSERT_EQ(AtomInit(), 0);
    ASSERT_EQ(CreateAtomTable(1u << 20, 1u << 14), 0);
    RegisterProgramSymbols();
    TbTestSetRTCount(count);
    ASSERT_EQ(ModuleInit(), 0);
    EXPECT_EQ(CallKest<1>(ErrorFunc).type, T_NIL) << count;
  }
}

}  // namespace
