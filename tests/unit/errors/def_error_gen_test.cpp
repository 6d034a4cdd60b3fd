#include <cstring>
#include <string>
#include <vector>

#include "errors/error_class.h"
#include "program_fixture.h"

namespace {

std::vector<std::string> boxes;

Usual AnswerDefault(std::uint32_t, Usual*) { return LogicValue(false); }
const CodeBlock kAnswerDefault{1, &AnswerDefault};
[[maybe_unused]] int RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  boxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(type));
  return IDOK;
}

class DefErrorGenTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(ModuleInit(), 0);
    boxes.clear();
#if !defined(_WIN32)
    Win32TestSetMessageBoxHook(&RecordBox);
#endif
  }
  Usual Gen(Usual arg) {
    Usual args[1] = {arg};
    return DefErrorGen(CountWord(1, 1), args);
  }
  Usual Get(Usual error, Sym ivar) { return IVarGet(AsObj(error), ivar); }
};

// An argument block: two counts, then the values.
struct Block3 {
  std::uint16_t count1, count2;
  Usual values[3];
};

TEST_F(DefErrorGenTest, FillsEveryVariableFromTheRecord) {
  Block3 block{2, 3, {IntValue(1), IntValue(2), IntValue(3)}};
  int marker;
  ErrorStructure rec{};
  rec.subsystem = "SUB";
  rec.subcode = 5333;
  rec.gencode = 21;
  rec.oscode = 3221225477u;
  rec.severity = 2;
  rec.canDefault = 1;
  rec.canRetry = 0;
  rec.canSubstitute = 1;
  rec.operation = "OP";
  rec.description = "DESC";
  rec.filename = "FILE";
  rec.argBlock = &block;
  rec.tries = 4;
  rec.funcSym = SYM_THROW;
  rec.fileHandle = 9;
  rec.argNum = 2;
  rec.funcPtr = &marker;
  rec.subcodeText = "SCT";
  rec.arg = "ARGTEXT";
  rec.argType = 7;
  rec.argTypeReq = 1;
  rec.maxSize = 10;
  rec.substituteType = 7;
  rec.choice = 3;
  rec.callFuncSym = SYM_ERROR;
  Usual e = Gen(PtrValue(&rec));
  ASSERT_EQ(e.type, T_OBJECT);
  EXPECT_EQ(Str(Get(e, SYM_SUBSYSTEM)), "SUB");
  EXPECT_EQ(_P2DW(Get(e, SYM_SUBCODE)), 5333u);
  EXPECT_EQ(_P2DW(Get(e, SYM_GENCODE)), 21u);
  EXPECT_EQ(_P2DW(Get(e, SYM_OSCODE)), 3221225477u);
  EXPECT_EQ(Get(e, SYM_OSCODE).type, T_FLOAT);
  EXPECT_EQ(Get(e, SYM_CANDEFAULT).value, 1u);
  EXPECT_EQ(Get(e, SYM_CANRETRY).value, 0u);
  EXPECT_EQ(Str(Get(e, SYM_OPERATION)), "OP");
  EXPECT_EQ(Str(Get(e, SYM_DESCRIPTION)), "DESC");
  EXPECT_EQ(Str(Get(e, SYM_FILENAME)), "FILE");
  EXPECT_EQ(_P2DW(Get(e, SYM_TRIES)), 4u);
  EXPECT_EQ(Get(e, SYM_FUNCSYM).value, SYM_THROW);
  EXPECT_EQ(AsPtr(Get(e, SYM_FUNCPTR)), &marker);
  EXPECT_EQ(Str(Get(e, SYM_SUBCODETEXT)), "SCT");
  EXPECT_EQ(Str(Get(e, SYM_ARG)), "ARGTEXT");
  EXPECT_EQ(_P2DW(Get(e, SYM_CHOICE)), 3u);
  EXPECT_EQ(Get(e, SYM_CALLFUNCSYM).value, SYM_ERROR);
  Usual args = Get(e, SYM_ARGS);
  ASSERT_EQ(args.type, T_ARRAY);
  TbArr a = AsArr(args);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(ALen(a), 3u) << "the larger of the two counts";
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(std::memcmp(&LastErrorRecord, &rec, sizeof rec), 0);
  EXPECT_NE(Str(Get(e, SYM_STACK)), "") << "the constructor's call stack stays";
}

TEST_F(DefErrorGenTest, NullBlockGivesAnEmptyArrayAndNullTextsGiveEmptyStrings) {
  ErrorStructure rec{};
  rec.gencode = 1;
  Usual e = Gen(PtrValue(&rec));
  Usual args = Get(e, SYM_ARGS);
  ASSERT_EQ(args.type, T_ARRAY);
  ASSERT_NE(AsArr(args), nullptr) << "an empty array, not NIL";
  EXPECT_EQ(ALen(AsArr(args)), 0u);
  EXPECT_EQ(Str(Get(e, SYM_SUBSYSTEM)), "") << "the executable name is replaced";
  EXPECT_EQ(Str(Get(e, SYM_OPERATION)), "");
}

TEST_F(DefErrorGenTest, TheLastRecordItselfIsReadUnchanged) {
  ClearLastErrorRecord();
  LastErrorRecord.gencode = 28;
  LastErrorRecord.argNum = 1;
  LastErrorRecord.funcSym = SYM_DEFERROR;
  ErrorStructure before = LastErrorRecord;
  Usual e = Gen(PtrValue(&LastErrorRecord));
  EXPECT_EQ(std::memcmp(&LastErrorRecord, &before, sizeof before), 0);
  EXPECT_EQ(_P2DW(Get(e, SYM_GENCODE)), 28u);
  EXPECT_EQ(Get(e, SYM_FUNCSYM).value, SYM_DEFERROR);
}

#if !defined(_WIN32)
TEST_F(DefErrorGenTest, WrongTagShowsOneBoxAndReturnsTheUnfilledObject) {
  Usual e = Gen(S("not a record"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "FROM DefErrorGen|Error structure has wrong tag|0");
  ASSERT_EQ(e.type, T_OBJECT);
  EXPECT_NE(Str(Get(e, SYM_SUBSYSTEM)), "") << "the executable name from the constructor";
  EXPECT_NE(Str(Get(e, SYM_STACK)), "");
  EXPECT_EQ(_P2DW(Get(e, SYM_GENCODE)), 0u);
  EXPECT_EQ(Str(Get(e, SYM_OPERATION)), "");
}

TEST_F(DefErrorGenTest, NoObjectShowsTheBoxAndReturnsANullObject) {
  ErrorStructure rec{};
  rec.gencode = 5;
  ClearLastErrorRecord();
  // Without the class the instance cannot be made; the error it raises takes the default.
  TbTestReset();
  ASSERT_EQ(MemInit(), 0);
  ASSERT_EQ(AtomInit(), 0);
  ASSERT_EQ(CreateAtomTable(1u << 20, 1u << 14), 0);
  RegisterProgramSymbols();
  Usual block = CodeBlockValue(&kAnswerDefault);
  ErrorBlock(CountWord(1, 1), &block);
  Usual e = Gen(PtrValue(&rec));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "FROM DefErrorGen|No error object created !|0");
  EXPECT_EQ(e.type, T_OBJECT);
  EXPECT_EQ(e.value, 0u);
  EXPECT_EQ(LastErrorRecord.gencode, 0u) << "nothing is taken from the record";
}
#endif

}  // namespace
