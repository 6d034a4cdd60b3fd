// Late-bound calls by symbol: the program's table first, then the runtime's own functions.
#include <memory>
#include <vector>

#include "documented_layout.h"
#include "error_recorder.h"
#include "indexed_box.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "test_function_table.h"
#include "value_keeper.h"

namespace {

struct Received {
  std::uint32_t countWord;
  std::vector<Usual> slots;
};

std::vector<Received>& Calls() {
  static std::vector<Received> calls;
  return calls;
}

Usual Record(std::uint32_t countWord, Usual* args) {
  Calls().push_back({countWord, std::vector<Usual>(args, args + SlotsOf(countWord))});
  return IntValue(77);
}

class CallBySymbolTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    Calls().clear();
    recorder_ = SysAddAtom("RECORDER");
    table_ = {{recorder_, SYM_CREATEINSTANCE}, {{&Record, 2}, {&Record, 0}}};
    ASSERT_EQ(RTInitWithTable(table_), 0);
    ErrorRecorder::Install();
    keeper_ = std::make_unique<ValueKeeper>();
  }
  void TearDown() override {
    keeper_.reset();
    RuntimeTest::TearDown();
  }
  static TbArr Args(std::initializer_list<Usual> values) {
    return ArrayInit(std::uint32_t(values.size()), values.begin());
  }
  // A table written byte by byte where the documented layout puts its fields on this target, and
  // handed to RTInit; each row calls Record with the row's parameter count.
  static std::vector<unsigned char> DocumentedTable(const std::vector<std::pair<Sym, std::uint32_t>>& rows) {
    const auto n = std::uint32_t(rows.size());
    const Layout here = LayOut(DocumentedFunctionTable(n));
    std::vector<unsigned char> bytes(here.size);
    for (std::uint32_t i = 0; i < n; ++i) {
      WriteAt<std::uint32_t>(bytes.data(), here.offsets[i], rows[i].first);
      WriteAt<KestFn>(bytes.data(), here.offsets[n + 2 * i], &Record);
      WriteAt<std::uint32_t>(bytes.data(), here.offsets[n + 2 * i + 1], rows[i].second);
    }
    EXPECT_EQ(RTInitWithList(n, reinterpret_cast<const std::uint32_t*>(bytes.data())), 0);
    return bytes;
  }
  // The parameter count of the row a call by the symbol reached.
  static std::uint32_t RowReached(Sym symbol) {
    Calls().clear();
    _CallKestFunc(symbol, nullptr);
    return Calls().size() == 1 ? DeclaredOf(Calls()[0].countWord) : 0xFFFFFFFFu;
  }
  std::unique_ptr<ValueKeeper> keeper_;
  Sym recorder_ = 0;
  TestFunctionTable<2> table_{};
};

TEST_F(CallBySymbolTest, TheProgramsTableGetsTheElementsWithItsDeclaredCount) {
  struct Case {
    std::vector<Usual> passed;
    std::uint32_t countWord;
  };
  const Case cases[] = {
      {{}, CountWord(2, 0)},
      {{IntValue(1)}, CountWord(2, 1)},
      {{IntValue(1), IntValue(2)}, CountWord(2, 2)},
      {{IntValue(1), IntValue(2), IntValue(3)}, CountWord(2, 3)},
  };
  for (const Case& c : cases) {
    Calls().clear();
    TbArr args = ArrayInit(std::uint32_t(c.passed.size()), c.passed.data());
    EXPECT_EQ(AsInt(_CallKestFunc(recorder_, args)), 77);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].countWord, c.countWord);
    ASSERT_EQ(Calls()[0].slots.size(), SlotsOf(c.countWord));
    for (std::size_t i = 0; i < Calls()[0].slots.size(); ++i) {
      const Usual& slot = Calls()[0].slots[i];
      if (i < c.passed.size())
        EXPECT_EQ(AsInt(slot), AsInt(c.passed[i]));
      else
        EXPECT_EQ(slot.type, T_NIL) << "a declared slot not passed";
    }
  }
  Calls().clear();
  _CallKestFunc(recorder_, nullptr);  // the null array passes nothing
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].countWord, CountWord(2, 0));
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

// An odd number of rows, so that on a 64-bit target the pairs start past a gap after the symbols;
// symbols below and above 65536 (looked up by different indexes).
TEST_F(CallBySymbolTest, ATableLaidOutAsDocumentedIsReadRowByRow) {
  const Sym a = SysAddAtom("ROWA"), b = SysAddAtom("ROWB"), far = 0x12345;
  const std::vector<unsigned char> table = DocumentedTable({{a, 1}, {far, 2}, {b, 3}});
  EXPECT_EQ(RowReached(a), 1u);
  EXPECT_EQ(RowReached(far), 2u);
  EXPECT_EQ(RowReached(b), 3u);
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

// A lookup reads the table from its first row: a symbol listed again further down keeps the row
// it was first listed with, whichever index finds it.
TEST_F(CallBySymbolTest, ASymbolListedTwiceKeepsItsFirstRow) {
  const Sym near = SysAddAtom("TWICE"), far = 0x12345, other = SysAddAtom("ONCE");
  const std::vector<unsigned char> table =
      DocumentedTable({{near, 1}, {far, 2}, {other, 3}, {near, 4}, {far, 5}, {near, 6}});
  EXPECT_EQ(RowReached(near), 1u);
  EXPECT_EQ(RowReached(far), 2u);
  EXPECT_EQ(RowReached(other), 3u);
}

TEST_F(CallBySymbolTest, TheProgramsRowComesBeforeTheRuntimesFunction) {
  _CallKestFunc(SYM_CREATEINSTANCE, Args({S("NOCLASS")}));
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].countWord, CountWord(0, 1));
  EXPECT_TRUE(ErrorRecorder::Raised().empty()) << "CreateInstance itself would have found no class";
}

TEST_F(CallBySymbolTest, TheRuntimesOwnFunctionsByNumberAndByName) {
  IndexedBox::Declare();
  // SEND under the runtime's own number.
  Usual box = IndexedBox::New();
  Usual sent = _CallKestFunc(SYM_SEND, Args({box, SymbolValue(SYM_COLLECTIONGET), IntValue(5)}));
  EXPECT_EQ(AsInt(sent), IndexedBox::kGetAnswer);
  ASSERT_EQ(IndexedBox::Gets().size(), 1u);
  EXPECT_EQ(AsInt(IndexedBox::Gets()[0][0]), 5);

  // Functions under names the program registers are found by the name of the symbol.
  Sym arrayBuild = SysAddAtom("ARRAYBUILD");
  Usual built = _CallKestFunc(arrayBuild, Args({IntValue(1), IntValue(2)}));
  ASSERT_EQ(built.type, T_ARRAY);
  EXPECT_EQ(ALen(AsArr(built)), 2u);
  Usual element = _CallKestFunc(SysAddAtom("_ARRAYGETCOLLECTION"), Args({built, IntValue(2)}));
  EXPECT_EQ(AsInt(element), 2);
  _CallKestFunc(SysAddAtom("_ARRAYPUTCOLLECTION"), Args({built, IntValue(9), IntValue(1)}));
  EXPECT_EQ(AsInt(ArrayGet(AsArr(built), 1)), 9);
  IVarPut(AsObj(box), IndexedBox::ContentSym(), built);
  Usual viaIVar =
      _CallKestFunc(SysAddAtom("_IVARGETCOLLECTION"), Args({box, SymbolValue(IndexedBox::ContentSym()), IntValue(1)}));
  EXPECT_EQ(AsInt(viaIVar), 9);
  _CallKestFunc(SysAddAtom("_IVARPUTCOLLECTION"),
                Args({box, SymbolValue(IndexedBox::ContentSym()), IntValue(4), IntValue(2)}));
  EXPECT_EQ(AsInt(ArrayGet(AsArr(built), 2)), 4);
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(CallBySymbolTest, AnUnknownSymbolIsAnUndefinedFunction) {
  const Sym unknown[] = {0, SysAddAtom("NOTAFUNCTION"), 4000};
  for (Sym s : unknown) {
    ErrorRecorder::Raised().clear();
    EXPECT_EQ(_CallKestFunc(s, Args({IntValue(1)})).type, T_NIL) << s;
    ASSERT_EQ(ErrorRecorder::Raised().size(), 1u);
    const RaisedError& e = ErrorRecorder::Raised()[0];
    EXPECT_EQ(e.gencode, 12u);
    EXPECT_EQ(e.operation, "_CallKestFunc");
    EXPECT_TRUE(e.canDefault && e.canSubstitute);
    EXPECT_FALSE(e.canRetry);
  }
  ErrorRecorder::Answer(keeper_->Keep(S("stand-in")));
  EXPECT_EQ(Str(_CallKestFunc(4000, nullptr)), "stand-in");
  EXPECT_TRUE(Calls().empty());
}

TEST_F(CallBySymbolTest, MoreArgumentsThanACountWordHoldsAreRefused) {
  TbArr many = ArrayCreate(0x10000);
  EXPECT_EQ(_CallKestFunc(recorder_, many).type, T_NIL);
  ASSERT_EQ(ErrorRecorder::Raised().size(), 1u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].gencode, 31u);
  EXPECT_TRUE(Calls().empty());
  _CallKestFunc(recorder_, ArrayCreate(0xFFFF));
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(PassedOf(Calls()[0].countWord), 0xFFFFu);
}

}  // namespace
