// Element access, building and reshaping arrays, and their faults on the error road.
#include <vector>

#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"

namespace {

constexpr std::int32_t kNil = -1;

class ArrayAccessTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ErrorRecorder::Install();
  }
  static TbArr Ints(std::initializer_list<std::int32_t> values) {
    std::vector<Usual> items;
    for (std::int32_t v : values) items.push_back(v == kNil ? NilValue() : IntValue(v));
    return ArrayInit(std::uint32_t(items.size()), items.data());
  }
  // The elements as integers, kNil for NIL.
  static std::vector<std::int32_t> Contents(TbArr a) {
    std::vector<std::int32_t> out;
    for (std::uint32_t i = 1; i <= ALen(a); ++i) {
      Usual u = ArrayGet(a, i);
      out.push_back(u.type == T_NIL ? kNil : AsInt(u));
    }
    return out;
  }
  static std::vector<std::int32_t> V(std::initializer_list<std::int32_t> v) { return v; }
  static const RaisedError& Only() {
    EXPECT_EQ(ErrorRecorder::Raised().size(), 1u);
    return ErrorRecorder::Raised().back();
  }
};

TEST_F(ArrayAccessTest, GetAndPutWithinBounds) {
  TbArr a = Ints({10, 20, 30});
  EXPECT_EQ(AsInt(ArrayGet(a, 1)), 10);
  EXPECT_EQ(AsInt(ArrayGet(a, 3)), 30);
  Usual stored = ArrayPut(a, 2, IntValue(7));
  EXPECT_EQ(stored.type, T_INT);
  EXPECT_EQ(AsInt(stored), 7);
  EXPECT_EQ(Contents(a), V({10, 7, 30}));
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(ArrayAccessTest, PositionsOutOfRangeAreBoundErrors) {
  struct Case {
    const char* what;
    TbArr array;
    std::uint32_t position;
  };
  TbArr a = Ints({1, 2});
  const Case cases[] = {
      {"zero", a, 0}, {"past the end", a, 3}, {"-1 as unsigned", a, 4294967295u}, {"the null array", nullptr, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ErrorRecorder::Raised().clear();
    EXPECT_EQ(ArrayGet(c.array, c.position).type, T_NIL);  // the default
    const RaisedError& get = Only();
    EXPECT_EQ(get.gencode, 2u);
    EXPECT_EQ(get.operation, "ArrayGet");
    EXPECT_EQ(get.argNum, 2u);
    EXPECT_TRUE(get.canDefault && get.canRetry && get.canSubstitute);

    ErrorRecorder::Raised().clear();
    EXPECT_EQ(ArrayPut(c.array, c.position, IntValue(9)).type, T_NIL);
    const RaisedError& put = Only();
    EXPECT_EQ(put.gencode, 2u);
    EXPECT_EQ(put.operation, "ArrayPut");
    EXPECT_TRUE(put.canDefault && put.canRetry);
    EXPECT_FALSE(put.canSubstitute);
  }
  EXPECT_EQ(Contents(a), V({1, 2}));  // no write went astray
}

TEST_F(ArrayAccessTest, BoundErrorAnswers) {
  TbArr a = Ints({1, 2});
  ErrorRecorder::Answer(IntValue(55));  // a substitute stands for the element
  EXPECT_EQ(AsInt(ArrayGet(a, 5)), 55);
  ErrorRecorder::Answer(IntValue(55));  // a put takes none: the default, nothing stored
  EXPECT_EQ(ArrayPut(a, 5, IntValue(3)).type, T_NIL);
  ErrorRecorder::Answer(LogicValue(true));  // a retry looks again, then the default
  EXPECT_EQ(ArrayGet(a, 5).type, T_NIL);
  EXPECT_EQ(ErrorRecorder::Raised().size(), 4u);
  EXPECT_EQ(Contents(a), V({1, 2}));
}

TEST_F(ArrayAccessTest, ARetryAfterTheBlockGrewTheArraySucceeds) {
  TbArr a = Ints({1});
  static TbArr grown;
  grown = a;
  static const CodeBlock growing{1, [](std::uint32_t, Usual*) {
                                   AAdd(grown, IntValue(2));
                                   return LogicValue(true);
                                 }};
  Usual block = CodeBlockValue(&growing);
  ErrorBlock(CountWord(1, 1), &block);
  EXPECT_EQ(AsInt(ArrayGet(a, 2)), 2);
  EXPECT_EQ(AsInt(ArrayPut(a, 3, IntValue(9))), 9);
  EXPECT_EQ(Contents(a), V({1, 2, 9}));
}

TEST_F(ArrayAccessTest, BuildAppendAndLength) {
  Usual built = KestCall(&ArrayBuild, 0, {IntValue(4), IntValue(5), IntValue(6)});
  ASSERT_EQ(built.type, T_ARRAY);
  EXPECT_EQ(Contents(AsArr(built)), V({4, 5, 6}));
  Usual none = KestCall(&ArrayBuild, 0, {});
  ASSERT_EQ(none.type, T_ARRAY);
  ASSERT_NE(AsArr(none), nullptr);
  EXPECT_EQ(ALen(AsArr(none)), 0u);
  EXPECT_EQ(ALen(nullptr), 0u);

  EXPECT_EQ(AsInt(AAdd(AsArr(none), IntValue(8))), 8);
  EXPECT_EQ(AsInt(AAdd(AsArr(none), IntValue(9))), 9);
  EXPECT_EQ(Contents(AsArr(none)), V({8, 9}));
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(ArrayAccessTest, AppendingToTheNullArrayIsAnArgumentError) {
  EXPECT_EQ(AAdd(nullptr, IntValue(1)).type, T_NIL);
  EXPECT_EQ(Only().operation, "AAdd");
  EXPECT_EQ(Only().gencode, 1u);
  TbArr substitute = ArrayCreate(0);
  ErrorRecorder::Answer(ArrayValue(substitute));  // appends to the array the block names
  EXPECT_EQ(AsInt(AAdd(nullptr, IntValue(3))), 3);
  EXPECT_EQ(Contents(substitute), V({3}));
}

TEST_F(ArrayAccessTest, DeleteAndInsertKeepTheLength) {
  struct Case {
    const char* what;
    TbArr (*edit)(TbArr, std::uint32_t);
    std::uint32_t position;
    std::vector<std::int32_t> after;
  };
  const Case cases[] = {
      {"ADel first", &ADel, 1, {2, 3, 4, kNil}}, {"ADel inner", &ADel, 2, {1, 3, 4, kNil}},
      {"ADel last", &ADel, 4, {1, 2, 3, kNil}},  {"AIns first", &AIns, 1, {kNil, 1, 2, 3}},
      {"AIns inner", &AIns, 3, {1, 2, kNil, 3}}, {"AIns last", &AIns, 4, {1, 2, 3, kNil}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TbArr a = Ints({1, 2, 3, 4});
    EXPECT_EQ(c.edit(a, c.position), a);
    EXPECT_EQ(Contents(a), c.after);
  }
  TbArr one = Ints({5});
  ADel(one, 1);
  EXPECT_EQ(Contents(one), V({kNil}));
  TbArr other = Ints({5});
  AIns(other, 1);
  EXPECT_EQ(Contents(other), V({kNil}));
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

// An array grows by appending: past its inline slots into slots of its own, and again as those
// fill. Every element it had stays in its place.
TEST_F(ArrayAccessTest, GrowingKeepsEveryElementInItsPlace) {
  for (std::int32_t start : {0, 1, 3, 4, 5}) {
    SCOPED_TRACE(start);
    std::vector<std::int32_t> want;
    std::vector<Usual> first;
    for (std::int32_t i = 0; i < start; ++i) {
      want.push_back(100 + i);
      first.push_back(IntValue(100 + i));
    }
    TbArr a = ArrayInit(std::uint32_t(first.size()), first.data());
    for (std::int32_t i = start; i < 40; ++i) {
      ASSERT_EQ(AsInt(AAdd(a, IntValue(100 + i))), 100 + i);
      want.push_back(100 + i);
      ASSERT_EQ(Contents(a), want);
    }
  }
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

// The last element of a full array, in its inline slots or in slots of its own: nothing follows
// it to move up, and nothing past the end is read (a sanitizer build sees any such read).
TEST_F(ArrayAccessTest, DeletingTheLastElementOfAFullArrayReadsNothingBeyond) {
  for (std::int32_t length : {4, 8, 16}) {
    SCOPED_TRACE(length);
    TbArr a = ArrayCreate(0);
    std::vector<std::int32_t> want;
    for (std::int32_t i = 1; i <= length; ++i) {
      AAdd(a, IntValue(i));
      want.push_back(i);
    }
    EXPECT_EQ(ADel(a, std::uint32_t(length)), a);
    want.back() = kNil;
    EXPECT_EQ(Contents(a), want);
  }
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(ArrayAccessTest, DeleteAndInsertOutOfRangeChangeNothing) {
  for (auto edit : {&ADel, &AIns}) {
    for (std::uint32_t position : {0u, 4u}) {
      ErrorRecorder::Raised().clear();
      TbArr a = Ints({1, 2, 3});
      EXPECT_EQ(edit(a, position), a);
      EXPECT_EQ(Contents(a), V({1, 2, 3}));
      EXPECT_EQ(Only().gencode, 2u);
      EXPECT_EQ(Only().operation, edit == &ADel ? "ADel" : "AIns");
    }
  }
  ErrorRecorder::Raised().clear();
  EXPECT_EQ(ADel(nullptr, 1), nullptr);
  EXPECT_EQ(Only().gencode, 2u);
}

TEST_F(ArrayAccessTest, ArrayConversion) {
  TbArr a = Ints({1});
  EXPECT_EQ(_P2Array(ArrayValue(a)), a);
  EXPECT_EQ(_P2Array(ArrayValue(nullptr)), nullptr);  // the null array is an array value
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
  EXPECT_EQ(_P2Array(IntValue(3)), nullptr);
  EXPECT_EQ(Only().operation, "_P2Array");
  EXPECT_EQ(Only().argTypeReq, T_ARRAY);
  EXPECT_EQ(Only().argType, T_INT);
  ErrorRecorder::Answer(ArrayValue(a));
  EXPECT_EQ(_P2Array(S("x")), a);
}

TEST_F(ArrayAccessTest, ArgumentSlotAsValue) {
  Usual slot = S("name");
  Usual read = _NCARG(&slot);
  EXPECT_EQ(read.type, T_STRING);
  EXPECT_EQ(read.value, slot.value);
  EXPECT_EQ(_NCARG(nullptr).type, T_NIL);
}

}  // namespace
