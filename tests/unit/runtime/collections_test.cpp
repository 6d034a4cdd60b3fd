// Indexed access through the runtime's collection functions: nested arrays, objects that serve
// indexed access, instance variables holding either, and the faults on the way.
#include <memory>
#include <vector>

#include "error_recorder.h"
#include "indexed_box.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "value_keeper.h"

namespace {

class CollectionsTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    ErrorRecorder::Install();
    IndexedBox::Declare();
    keeper_ = std::make_unique<ValueKeeper>();
  }
  void TearDown() override {
    keeper_.reset();
    RuntimeTest::TearDown();
  }
  // Values made here stay alive until the test ends, wherever the test keeps them.
  Usual S(const char* text) { return keeper_->Keep(RuntimeTest::S(text)); }
  Usual Ints(std::initializer_list<std::int32_t> values) {
    std::vector<Usual> items;
    for (std::int32_t v : values) items.push_back(IntValue(v));
    return keeper_->Keep(ArrayValue(ArrayInit(std::uint32_t(items.size()), items.data())));
  }
  Usual Nest(std::initializer_list<Usual> values) {
    return keeper_->Keep(ArrayValue(ArrayInit(std::uint32_t(values.size()), values.begin())));
  }
  static std::vector<std::int32_t> AsInts(const std::vector<Usual>& values) {
    std::vector<std::int32_t> out;
    for (const Usual& u : values) out.push_back(u.type == T_INT ? AsInt(u) : -1000 - std::int32_t(u.type));
    return out;
  }
  static Usual Get(std::initializer_list<Usual> args) { return KestCall(&_ArrayGetCollection, 2, args); }
  static Usual Put(std::initializer_list<Usual> args) { return KestCall(&_ArrayPutCollection, 3, args); }
  static Usual IGet(std::initializer_list<Usual> args) { return KestCall(&_IVarGetCollection, 2, args); }
  static Usual IPut(std::initializer_list<Usual> args) { return KestCall(&_IVarPutCollection, 3, args); }
  Usual Box(Usual content) {
    Usual box = keeper_->Keep(IndexedBox::New());
    IVarPut(AsObj(box), IndexedBox::ContentSym(), content);
    return box;
  }
  static std::vector<std::uint32_t> Gencodes() {
    std::vector<std::uint32_t> out;
    for (const RaisedError& e : ErrorRecorder::Raised()) out.push_back(e.gencode);
    return out;
  }
  using Codes = std::vector<std::uint32_t>;

 private:
  std::unique_ptr<ValueKeeper> keeper_;
};

TEST_F(CollectionsTest, ArrayGetTakesTheFirstIndexLast) {
  // {{1, 2, 3}, {4, 5, 6}}: [2][3] is 6, [2][1] is 4.
  Usual m = Nest({Ints({1, 2, 3}), Ints({4, 5, 6})});
  EXPECT_EQ(AsInt(Get({m, IntValue(3), IntValue(2)})), 6);
  EXPECT_EQ(AsInt(Get({m, IntValue(1), IntValue(2)})), 4);
  EXPECT_EQ(AsInt(Get({Ints({7, 8}), IntValue(2)})), 8);
  Usual deep = Nest({Nest({Ints({1, 2}), Ints({3, 4})})});  // [1][2][1] is 3
  EXPECT_EQ(AsInt(Get({deep, IntValue(2), IntValue(1), IntValue(1)})), 3);
  Usual whole = Get({m});  // no index: the container itself
  EXPECT_EQ(whole.value, m.value);
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(CollectionsTest, ArrayPutTakesTheValueSecondAndTheFirstIndexLast) {
  Usual m = Nest({Ints({1, 2, 3}), Ints({4, 5, 6})});
  EXPECT_EQ(AsInt(Put({m, IntValue(9), IntValue(3), IntValue(2)})), 9);  // m[2][3] := 9
  EXPECT_EQ(AsInt(Get({m, IntValue(3), IntValue(2)})), 9);
  Usual flat = Ints({1, 2});
  EXPECT_EQ(AsInt(Put({flat, IntValue(7), IntValue(2)})), 7);
  EXPECT_EQ(AsInt(ArrayGet(AsArr(flat), 2)), 7);
  EXPECT_EQ(AsInt(ArrayGet(AsArr(flat), 1)), 1);
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(CollectionsTest, ObjectsReceiveTheIndexesInTheirNaturalOrder) {
  Usual box = IndexedBox::New();
  EXPECT_EQ(AsInt(Get({box, IntValue(2), IntValue(3), IntValue(1)})), IndexedBox::kGetAnswer);
  ASSERT_EQ(IndexedBox::Gets().size(), 1u);
  EXPECT_EQ(AsInts(IndexedBox::Gets()[0]), (std::vector<std::int32_t>{1, 2, 3}));

  EXPECT_EQ(AsInt(Put({box, IntValue(50), IntValue(2), IntValue(1)})), 50);
  ASSERT_EQ(IndexedBox::Puts().size(), 1u);
  EXPECT_EQ(AsInts(IndexedBox::Puts()[0]), (std::vector<std::int32_t>{50, 1, 2}));

  // An object met part way through an array walk gets the indexes that are left.
  Usual arrayOfBoxes = Nest({box});
  Get({arrayOfBoxes, IntValue(7), IntValue(8), IntValue(1)});
  ASSERT_EQ(IndexedBox::Gets().size(), 2u);
  EXPECT_EQ(AsInts(IndexedBox::Gets()[1]), (std::vector<std::int32_t>{7, 8}));
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(CollectionsTest, InstanceVariableCollections) {
  Usual symbolName = SymbolValue(IndexedBox::ContentSym());
  Usual holder = Box(Nest({Ints({1, 2}), Ints({3, 4})}));
  EXPECT_EQ(AsInt(IGet({holder, symbolName, IntValue(2), IntValue(1)})), 3);
  EXPECT_EQ(AsInt(IGet({holder, S("content"), IntValue(1), IntValue(2)})), 2);  // a name as a string
  EXPECT_EQ(AsInt(IPut({holder, symbolName, IntValue(30), IntValue(2), IntValue(1)})), 30);
  EXPECT_EQ(AsInt(IGet({holder, symbolName, IntValue(2), IntValue(1)})), 30);

  // Without an index the variable itself is read and written.
  EXPECT_EQ(IGet({holder, symbolName}).type, T_ARRAY);
  EXPECT_EQ(AsInt(IPut({holder, symbolName, IntValue(5)})), 5);
  EXPECT_EQ(AsInt(IVarGet(AsObj(holder), IndexedBox::ContentSym())), 5);

  // A variable holding an object that serves indexed access hands it the indexes in order.
  Usual inner = IndexedBox::New();
  Usual outer = Box(inner);
  IGet({outer, symbolName, IntValue(1), IntValue(2)});
  IPut({outer, symbolName, IntValue(9), IntValue(1), IntValue(2)});
  ASSERT_EQ(IndexedBox::Gets().size(), 1u);
  EXPECT_EQ(AsInts(IndexedBox::Gets()[0]), (std::vector<std::int32_t>{1, 2}));
  ASSERT_EQ(IndexedBox::Puts().size(), 1u);
  EXPECT_EQ(AsInts(IndexedBox::Puts()[0]), (std::vector<std::int32_t>{9, 1, 2}));
  EXPECT_TRUE(ErrorRecorder::Raised().empty());
}

TEST_F(CollectionsTest, FaultsArriveOnTheErrorRoadOnce) {
  struct Case {
    const char* what;
    KestFn function;
    std::uint16_t declared;
    std::vector<Usual> args;
    Codes codes;
    const char* operation;
  };
  Usual m = Nest({Ints({1, 2}), IntValue(5)});
  Usual box = Box(Ints({1}));
  Usual name = SymbolValue(IndexedBox::ContentSym());
  const Case cases[] = {
      {"index out of range", &_ArrayGetCollection, 2, {m, IntValue(3)}, {2}, "ArrayGet"},
      {"inner index out of range", &_ArrayGetCollection, 2, {m, IntValue(3), IntValue(1)}, {2}, "ArrayGet"},
      {"put out of range", &_ArrayPutCollection, 3, {m, IntValue(9), IntValue(0)}, {2}, "ArrayPut"},
      {"intermediate no array", &_ArrayGetCollection, 2, {m, IntValue(1), IntValue(2)}, {1}, "_ArrayGetCollection"},
      {"container no collection", &_ArrayGetCollection, 2, {S("text"), IntValue(1)}, {1}, "_ArrayGetCollection"},
      {"index no number", &_ArrayGetCollection, 2, {m, S("1")}, {1}, "_ArrayGetCollection"},
      {"put without an index", &_ArrayPutCollection, 3, {m, IntValue(1)}, {1}, "_ArrayPutCollection"},
      {"put into no collection",
       &_ArrayPutCollection,
       3,
       {IntValue(4), IntValue(1), IntValue(1)},
       {1},
       "_ArrayPutCollection"},
      {"first argument no object", &_IVarGetCollection, 2, {IntValue(1), name, IntValue(1)}, {1}, "_IVarGetCollection"},
      {"name neither symbol nor string",
       &_IVarGetCollection,
       2,
       {box, IntValue(3), IntValue(1)},
       {1},
       "_IVarGetCollection"},
      {"unknown variable", &_IVarGetCollection, 2, {box, S("NOSUCHVAR"), IntValue(1)}, {16}, "IVarGet"},
      {"unknown variable on put",
       &_IVarPutCollection,
       3,
       {box, S("NOSUCHVAR"), IntValue(1), IntValue(1)},
       {16},
       "IVarGet"},
      {"variable index out of range", &_IVarGetCollection, 2, {box, name, IntValue(2)}, {2}, "ArrayGet"},
      {"variable holds no collection",
       &_IVarPutCollection,
       3,
       {Box(IntValue(1)), name, IntValue(1), IntValue(1)},
       {1},
       "_IVarPutCollection"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ErrorRecorder::Raised().clear();
    std::uint32_t countWord = CountWord(c.declared, std::uint16_t(c.args.size()));
    std::vector<Usual> slots = c.args;
    slots.resize(SlotsOf(countWord), NilValue());
    EXPECT_EQ(c.function(countWord, slots.data()).type, T_NIL);
    EXPECT_EQ(Gencodes(), c.codes);
    ASSERT_FALSE(ErrorRecorder::Raised().empty());
    EXPECT_EQ(ErrorRecorder::Raised()[0].operation, c.operation);
  }
}

TEST_F(CollectionsTest, AnObjectThatServesNoIndexedAccessIsAMissingMethod) {
  Usual cls = S("ERRORLESS");
  const std::uint32_t map[] = {0};
  ASSERT_EQ(DeclareClass(String2Symbol(AsStr(cls)), 0, sizeof(InstanceHeader), map, 0, 0, 0), 0);
  Usual plain = CreateInstance(CountWord(1, 1), &cls);
  EXPECT_EQ(Get({plain, IntValue(1)}).type, T_NIL);
  EXPECT_EQ(Gencodes(), (Codes{13}));
  EXPECT_EQ(Put({plain, IntValue(1), IntValue(1)}).type, T_NIL);
  EXPECT_EQ(Gencodes(), (Codes{13, 13}));
}

}  // namespace
