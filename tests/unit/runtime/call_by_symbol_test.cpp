// Late-bound calls by symbol: the program's table first, then the runtime's own functions.
#include <memory>
#include <vector>

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
