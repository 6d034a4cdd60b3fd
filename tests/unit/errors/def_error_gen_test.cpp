#include <cstring>
#include <string>
#include <vector>

#include "documented_layout.h"
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

// The record as documented for i386 (100 bytes), each field with the variable it fills, and the
// argument block it may point to (two 16-bit counts, then the values).
struct RecordField {
  DocumentedField field;
  Sym ivar;
  std::uint32_t type;  // of the variable
};
const RecordField kRecord[] = {
    {{"SUBSYSTEM", 0, Holds::Address}, SYM_SUBSYSTEM, T_STRING},
    {{"SUBCODE", 4, Holds::Word32}, SYM_SUBCODE, T_DWORD},
    {{"GENCODE", 8, Holds::Word32}, SYM_GENCODE, T_DWORD},
    {{"OSCODE", 12, Holds::Word32}, SYM_OSCODE, T_DWORD},
    {{"SEVERITY", 16, Holds::Word32}, SYM_SEVERITY, T_DWORD},
    {{"CANDEFAULT", 20, Holds::Word32}, SYM_CANDEFAULT, T_LOGIC},
    {{"CANRETRY", 24, Holds::Word32}, SYM_CANRETRY, T_LOGIC},
    {{"CANSUBSTITUTE", 28, Holds::Word32}, SYM_CANSUBSTITUTE, T_LOGIC},
    {{"OPERATION", 32, Holds::Address}, SYM_OPERATION, T_STRING},
    {{"DESCRIPTION", 36, Holds::Address}, SYM_DESCRIPTION, T_STRING},
    {{"FILENAME", 40, Holds::Address}, SYM_FILENAME, T_STRING},
    {{"ARGS", 44, Holds::Address}, SYM_ARGS, T_ARRAY},
    {{"TRIES", 48, Holds::Word32}, SYM_TRIES, T_DWORD},
    {{"FUNCSYM", 52, Holds::Word32}, SYM_FUNCSYM, T_SYMBOL},
    {{"FILEHANDLE", 56, Holds::Word32}, SYM_FILEHANDLE, T_DWORD},
    {{"ARGNUM", 60, Holds::Word32}, SYM_ARGNUM, T_DWORD},
    {{"FUNCPTR", 64, Holds::Address}, SYM_FUNCPTR, T_PTR},
    {{"SUBCODETEXT", 68, Holds::Address}, SYM_SUBCODETEXT, T_STRING},
    {{"ARG", 72, Holds::Address}, SYM_ARG, T_STRING},
    {{"ARGTYPE", 76, Holds::Word32}, SYM_ARGTYPE, T_DWORD},
    {{"ARGTYPEREQ", 80, Holds::Word32}, SYM_ARGTYPEREQ, T_DWORD},
    {{"MAXSIZE", 84, Holds::Word32}, SYM_MAXSIZE, T_DWORD},
    {{"SUBSTITUTETYPE", 88, Holds::Word32}, SYM_SUBSTITUTETYPE, T_DWORD},
    {{"CHOICE", 92, Holds::Word32}, SYM_CHOICE, T_DWORD},
    {{"CALLFUNCSYM", 96, Holds::Word32}, SYM_CALLFUNCSYM, T_SYMBOL},
};
const std::vector<DocumentedField> kArgBlock = {{"count 1", 0, Holds::Word16},
                                                {"count 2", 2, Holds::Word16},
                                                {"value 1", 4, Holds::DynamicValue},
                                                {"value 2", 12, Holds::DynamicValue},
                                                {"value 3", 20, Holds::DynamicValue}};

std::vector<DocumentedField> RecordFields() {
  std::vector<DocumentedField> fields;
  for (const RecordField& f : kRecord) fields.push_back(f.field);
  return fields;
}

TEST(DocumentedRecordTest, TheTablesAreTheI386LayoutsThemselves) {
  Layout record = LayOut(RecordFields(), 4);
  EXPECT_EQ(record.size, 100u);
  for (std::size_t i = 0; i < std::size(kRecord); ++i) EXPECT_EQ(record.offsets[i], kRecord[i].field.i386Offset);
  Layout block = LayOut(kArgBlock, 4);
  for (std::size_t i = 0; i < kArgBlock.size(); ++i) EXPECT_EQ(block.offsets[i], kArgBlock[i].i386Offset);
}

// A record written byte by byte where the documented layout puts its fields on this target, with
// a value of its own in every field (and one logical at a time set), fills each variable from its
// own field; the module's copy is the record's bytes and nothing more.
TEST_F(DefErrorGenTest, ARecordLaidOutAsDocumentedFillsEachVariableFromItsField) {
  const Layout here = LayOut(RecordFields());
  const Layout blockHere = LayOut(kArgBlock);
  std::vector<unsigned char> block(blockHere.size);
  WriteAt<std::uint16_t>(block.data(), blockHere.offsets[0], 2);
  WriteAt<std::uint16_t>(block.data(), blockHere.offsets[1], 3);
  for (std::size_t v = 0; v < 3; ++v) PutDynamicValue(block.data() + blockHere.offsets[2 + v], 10 * (v + 1), T_INT);
  int marker;
  for (Sym logical : {SYM_CANDEFAULT, SYM_CANRETRY, SYM_CANSUBSTITUTE}) {
    SCOPED_TRACE(Symbol2String(logical));
    std::vector<unsigned char> record(here.size);  // exactly as long: a sanitizer sees any read beyond
    for (std::size_t i = 0; i < std::size(kRecord); ++i) {
      const RecordField& f = kRecord[i];
      std::size_t at = here.offsets[i];
      switch (f.type) {
        case T_STRING: WriteAt<const char*>(record.data(), at, f.field.name); break;
        case T_ARRAY: WriteAt<const void*>(record.data(), at, block.data()); break;
        case T_PTR: WriteAt<const void*>(record.data(), at, &marker); break;
        case T_LOGIC: WriteAt<std::uint32_t>(record.data(), at, f.ivar == logical ? 1 : 0); break;
        default: WriteAt<std::uint32_t>(record.data(), at, std::uint32_t(0x100 + i)); break;
      }
    }
    Usual e = Gen(PtrValue(record.data()));
    ASSERT_EQ(e.type, T_OBJECT);
    for (std::size_t i = 0; i < std::size(kRecord); ++i) {
      const RecordField& f = kRecord[i];
      SCOPED_TRACE(f.field.name);
      Usual got = Get(e, f.ivar);
      switch (f.type) {
        case T_STRING: EXPECT_EQ(Str(got), f.field.name); break;
        case T_ARRAY: {
          ASSERT_EQ(got.type, T_ARRAY);
          ASSERT_EQ(ALen(AsArr(got)), 3u);
          for (std::uint32_t v = 1; v <= 3; ++v) EXPECT_EQ(AsInt(ArrayGet(AsArr(got), v)), std::int32_t(10 * v));
          break;
        }
        case T_PTR: EXPECT_EQ(AsPtr(got), &marker); break;
        case T_LOGIC: EXPECT_EQ(got.value, f.ivar == logical ? 1u : 0u); break;
        case T_SYMBOL: EXPECT_EQ(got.value, 0x100 + i); break;
        default: EXPECT_EQ(_P2DW(got), 0x100 + i); break;
      }
    }
    ASSERT_EQ(sizeof LastErrorRecord, here.size);
    EXPECT_EQ(std::memcmp(&LastErrorRecord, record.data(), here.size), 0);
  }
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
