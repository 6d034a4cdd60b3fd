#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "app/start.h"
#include "documented_layout.h"
#include "errors/call_stack_text.h"
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

// The classes as documented for i386: the runtime's two header words (symbol 0), then the
// variables by offset, with their type codes.
struct DocumentedVar {
  Sym symbol;
  std::uint32_t type;
  DocumentedField field;
};
struct DocumentedClass {
  Sym symbol;
  std::uint32_t i386Size;
  std::vector<DocumentedVar> vars;
};

std::vector<DocumentedVar> WithHeader(std::vector<DocumentedVar> vars) {
  vars.insert(vars.begin(), {{0, 0, {"class word", 0, Holds::Address}}, {0, 0, {"collector word", 4, Holds::Address}}});
  return vars;
}

const DocumentedClass kDocumentedClasses[] = {
    {SYM_TBOBJECT, 12, WithHeader({{SYM_OCARGO, T_OBJECT, {"OCARGO", 8, Holds::Address}}})},
    {SYM_CODEBLOCK, 16,
     WithHeader({{SYM__CODE, T_STRING, {"_CODE", 8, Holds::Address}},
                 {SYM_NPARAMCOUNT, T_INT, {"NPARAMCOUNT", 12, Holds::Word32}}})},
    {SYM_ERROR, 124,
     WithHeader({
         {SYM_SUBSYSTEM, T_STRING, {"SUBSYSTEM", 8, Holds::Address}},
         {SYM_SUBCODE, T_DWORD, {"SUBCODE", 12, Holds::Word32}},
         {SYM_GENCODE, T_DWORD, {"GENCODE", 16, Holds::Word32}},
         {SYM_OSCODE, T_DWORD, {"OSCODE", 20, Holds::Word32}},
         {SYM_SEVERITY, T_DWORD, {"SEVERITY", 24, Holds::Word32}},
         {SYM_CANDEFAULT, T_LOGIC, {"CANDEFAULT", 28, Holds::Word32}},
         {SYM_CANRETRY, T_LOGIC, {"CANRETRY", 32, Holds::Word32}},
         {SYM_CANSUBSTITUTE, T_LOGIC, {"CANSUBSTITUTE", 36, Holds::Word32}},
         {SYM_OPERATION, T_STRING, {"OPERATION", 40, Holds::Address}},
         {SYM_DESCRIPTION, T_STRING, {"DESCRIPTION", 44, Holds::Address}},
         {SYM_FILENAME, T_STRING, {"FILENAME", 48, Holds::Address}},
         {SYM_ARGS, T_ARRAY, {"ARGS", 52, Holds::Address}},
         {SYM_TRIES, T_DWORD, {"TRIES", 56, Holds::Word32}},
         {SYM_FUNCSYM, T_SYMBOL, {"FUNCSYM", 60, Holds::Word32}},
         {SYM_FILEHANDLE, T_DWORD, {"FILEHANDLE", 64, Holds::Word32}},
         {SYM_ARGNUM, T_DWORD, {"ARGNUM", 68, Holds::Word32}},
         {SYM_FUNCPTR, T_PTR, {"FUNCPTR", 72, Holds::Address}},
         {SYM_SUBCODETEXT, T_STRING, {"SUBCODETEXT", 76, Holds::Address}},
         {SYM_ARG, T_STRING, {"ARG", 80, Holds::Address}},
         {SYM_ARGTYPE, T_DWORD, {"ARGTYPE", 84, Holds::Word32}},
         {SYM_ARGTYPEREQ, T_DWORD, {"ARGTYPEREQ", 88, Holds::Word32}},
         {SYM_MAXSIZE, T_DWORD, {"MAXSIZE", 92, Holds::Word32}},
         {SYM_SUBSTITUTETYPE, T_DWORD, {"SUBSTITUTETYPE", 96, Holds::Word32}},
         {SYM_CHOICE, T_DWORD, {"CHOICE", 100, Holds::Word32}},
         {SYM_CALLFUNCSYM, T_SYMBOL, {"CALLFUNCSYM", 104, Holds::Word32}},
         {SYM_CARGO, T_USUAL, {"CARGO", 108, Holds::DynamicValue}},
         {SYM_METHODSELF, T_OBJECT, {"METHODSELF", 116, Holds::Address}},
         {SYM_STACK, T_STRING, {"STACK", 120, Holds::Address}},
     })},
};

Layout LayOutClass(const DocumentedClass& c, std::size_t addressBytes = sizeof(void*)) {
  std::vector<DocumentedField> fields;
  for (const DocumentedVar& v : c.vars) fields.push_back(v.field);
  return LayOut(fields, addressBytes);
}

TEST(DocumentedClassesTest, TheTablesAreTheI386LayoutsThemselves) {
  for (const DocumentedClass& c : kDocumentedClasses) {
    Layout i386 = LayOutClass(c, 4);
    EXPECT_EQ(i386.size, c.i386Size) << Symbol2String(c.symbol);
    for (std::size_t i = 0; i < c.vars.size(); ++i) EXPECT_EQ(i386.offsets[i], c.vars[i].field.i386Offset);
  }
}

// Each variable, put through the runtime by its symbol, changes the bytes the documented layout
// gives it on this target and no others; the instance is exactly as long as that layout.
TEST_F(ModuleInitTest, EveryVariableLiesWhereTheDocumentedLayoutPutsIt) {
  ASSERT_EQ(ModuleInit(), 0);
  int marker;
  for (const DocumentedClass& c : kDocumentedClasses) {
    SCOPED_TRACE(Symbol2String(c.symbol));
    const Layout here = LayOutClass(c);
    Usual object = NewObject(c.symbol);
    ASSERT_EQ(object.type, T_OBJECT);
    auto* base = static_cast<const unsigned char*>(AsPtr(object));
    const void* block = TbTestBlockContaining(base);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(TbTestBlockContaining(base + here.size - 1), block) << "the instance is shorter";
    EXPECT_NE(TbTestBlockContaining(base + here.size), block) << "the instance is longer";
    for (std::size_t i = 0; i < c.vars.size(); ++i) {
      const DocumentedVar& v = c.vars[i];
      if (!v.symbol) continue;
      SCOPED_TRACE(v.field.name);
      std::uint32_t number = 0x1000 + std::uint32_t(i);
      Usual value;
      switch (v.type) {
        case T_INT:
        case T_DWORD: value = IntValue(std::int32_t(number)); break;
        case T_LOGIC: value = LogicValue(true); break;
        case T_SYMBOL: value = SymbolValue(number); break;
        case T_STRING: value = S(v.field.name); break;
        case T_ARRAY: value = ArrayValue(ArrayCreate(1)); break;
        case T_OBJECT: value = object; break;
        case T_PTR: value = PtrValue(&marker); break;
        default: value = IntValue(std::int32_t(number)); break;
      }
      const std::vector<unsigned char> before(base, base + here.size);
      IVarPut(AsObj(object), v.symbol, value);
      const std::size_t at = here.offsets[i];
      const std::size_t size = ShapeOf(v.field.holds, sizeof(void*)).size;
      for (std::size_t b = 0; b < here.size; ++b) {
        if (base[b] != before[b]) {
          EXPECT_TRUE(b >= at && b < at + size) << "byte " << b << " changed";
        }
      }
      switch (v.field.holds) {
        case Holds::Word32: EXPECT_EQ(ReadAt<std::uint32_t>(base, at), v.type == T_LOGIC ? 1u : number); break;
        case Holds::Address: EXPECT_EQ(ReadAt<std::uintptr_t>(base, at), value.value); break;
        default:
          EXPECT_EQ(ReadAt<std::uintptr_t>(base, at), value.value);
          EXPECT_EQ(ReadAt<std::uint32_t>(base, at + sizeof(void*)), T_INT);
          break;
      }
    }
  }
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
