#include <cmath>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "error_recorder.h"
#include "runtime_fixture.h"
#include "tb28run/errors.h"
#include "tb28run/numbers.h"
#include "tb28run/objects.h"
#include "tb28run/value_ops.h"
#include "value_keeper.h"

namespace {

// A class with one variable of every storage type.
struct Sample {
  InstanceHeader header;
  std::int32_t i;
  std::uint32_t dw;
  std::uint32_t logic;
  Sym symbol;
  TbStr text;
  TbArr list;
  TbObj other;
  void* pointer;
  Usual any;
  double real;
};

constexpr std::uint32_t kSampleMap[] = {
    2, offsetof(Sample, text), 3, offsetof(Sample, any), REFMAP_USUAL_RUN | 1,
};

class ObjectsTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    cls = SysAddAtom("SAMPLE");
    for (const char* n : {"I", "DW", "LOGIC", "SYMBOL", "TEXT", "LIST", "OTHER", "POINTER", "ANY", "REAL"})
      ivars.push_back(SysAddAtom(n));
    ASSERT_EQ(DeclareClass(cls, 0, sizeof(Sample), kSampleMap, 0, 0, 10,          //
                           ivars[0], offsetof(Sample, i), T_INT, 4u, 3u,          //
                           ivars[1], offsetof(Sample, dw), T_DWORD, 4u, 3u,       //
                           ivars[2], offsetof(Sample, logic), T_LOGIC, 4u, 3u,    //
                           ivars[3], offsetof(Sample, symbol), T_SYMBOL, 4u, 3u,  //
                           ivars[4], offsetof(Sample, text), T_STRING, std::uint32_t(sizeof(void*)), 3u, ivars[5],
                           offsetof(Sample, list), T_ARRAY, std::uint32_t(sizeof(void*)), 3u, ivars[6],
                           offsetof(Sample, other), T_OBJECT, std::uint32_t(sizeof(void*)), 3u, ivars[7],
                           offsetof(Sample, pointer), T_PTR, std::uint32_t(sizeof(void*)), 3u, ivars[8],
                           offsetof(Sample, any), T_USUAL, std::uint32_t(sizeof(Usual)), 3u, ivars[9],
                           offsetof(Sample, real), T_FLOAT, 8u, 3u),
              0);
    Usual args[1] = {SymbolValue(cls)};
    keeper = std::make_unique<ValueKeeper>();  // the fixture lives on the C++ heap, out of the collector's sight
    object = AsObj(keeper->Keep(CreateInstance(CountWord(1, 1), args)));
    ASSERT_NE(object, nullptr);
  }
  void TearDown() override {
    keeper.reset();
    RuntimeTest::TearDown();
  }

  Sample& Raw() { return *reinterpret_cast<Sample*>(object); }

  Sym cls = 0;
  std::vector<Sym> ivars;
  std::unique_ptr<ValueKeeper> keeper;
  TbObj object = nullptr;
};

TEST_F(ObjectsTest, TypedStorageLandsAtTheDeclaredOffsetAndComesBack) {
  int marker = 0;
  IVarPut(object, ivars[0], IntValue(-5));
  IVarPut(object, ivars[1], IntValue(7));
  IVarPut(object, ivars[2], LogicValue(true));
  IVarPut(object, ivars[3], SymbolValue(cls));
  IVarPut(object, ivars[4], S("text"));
  IVarPut(object, ivars[7], PtrValue(&marker));
  IVarPut(object, ivars[8], S("any"));
  IVarPut(object, ivars[9], IntValue(3));
  EXPECT_EQ(Raw().i, -5);
  EXPECT_EQ(Raw().dw, 7u);
  EXPECT_EQ(Raw().logic, 1u);
  EXPECT_EQ(Raw().symbol, cls);
  EXPECT_EQ(Str(Raw().text), "text");
  EXPECT_EQ(Raw().pointer, &marker);
  EXPECT_EQ(Raw().any.type, T_STRING);
  EXPECT_EQ(Raw().real, 3.0);

  EXPECT_EQ(AsInt(IVarGet(object, ivars[0])), -5);
  EXPECT_EQ(IVarGet(object, ivars[1]).type, T_INT);
  EXPECT_EQ(IVarGet(object, ivars[2]).value, 1u);
  EXPECT_EQ(IVarGet(object, ivars[2]).type, T_LOGIC);
  EXPECT_EQ(IVarGet(object, ivars[3]).type, T_SYMBOL);
  EXPECT_EQ(Str(IVarGet(object, ivars[4])), "text");
  EXPECT_EQ(AsPtr(IVarGet(object, ivars[7])), &marker);
  EXPECT_EQ(Str(IVarGet(object, ivars[8])), "any");
  EXPECT_EQ(IVarGet(object, ivars[9]).type, T_FLOAT);
}

TEST_F(ObjectsTest, UnsignedStorageGivesFloatsFromTwoToThe31) {
  struct Case {
    Usual in;
    std::uint32_t stored;
    std::uint32_t type;
  };
  const Case cases[] = {
      {IntValue(0), 0u, T_INT},
      {IntValue(2147483647), 2147483647u, T_INT},
      {_DW2T(2147483648u), 2147483648u, T_FLOAT},
      {_DW2T(4294967295u), 4294967295u, T_FLOAT},
  };
  for (const Case& c : cases) {
    IVarPut(object, ivars[1], c.in);
    EXPECT_EQ(Raw().dw, c.stored);
    Usual back = IVarGet(object, ivars[1]);
    EXPECT_EQ(back.type, c.type);
    EXPECT_EQ(_P2DW(back), c.stored);
  }
}

// An error block that answers with a fixed value and counts its calls. A runtime value the
// block answers is kept by the test's keeper: this global is no root.
int blockCalls = 0;
Usual blockAnswer = NilValue();
Usual CountingBlock(std::uint32_t, Usual*) {
  ++blockCalls;
  return blockAnswer;
}
const CodeBlock kCountingBlock{1, &CountingBlock};

TEST_F(ObjectsTest, WrongTypeStoreIsARuntimeErrorNotACast) {
  blockCalls = 0;
  blockAnswer = LogicValue(false);
  Usual set[1] = {CodeBlockValue(&kCountingBlock)};
  ErrorBlock(CountWord(1, 1), set);
  IVarPut(object, ivars[0], IntValue(9));
  for (std::size_t v : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u}) {
    Usual wrong = (v == 4) ? IntValue(1) : S("not that type");
    Usual result = IVarPut(object, ivars[v], wrong);
    EXPECT_EQ(result.type, T_NIL) << "ivar " << v;
  }
  EXPECT_EQ(blockCalls, 8);
  EXPECT_EQ(Raw().i, 9) << "a refused store leaves the variable as it was";

  // A substitute answer stores the substitute.
  blockAnswer = IntValue(77);
  IVarPut(object, ivars[0], S("x"));
  EXPECT_EQ(Raw().i, 77);
}

TEST_F(ObjectsTest, MissingVariableAndMethodReachTheErrorBlock) {
  blockCalls = 0;
  blockAnswer = keeper->Keep(S("stand-in"));
  Usual set[1] = {CodeBlockValue(&kCountingBlock)};
  ErrorBlock(CountWord(1, 1), set);
  Sym missing = SysAddAtom("MISSING");
  EXPECT_EQ(Str(IVarGet(object, missing)), "stand-in");
  Usual send[2] = {ObjectValue(object), SymbolValue(missing)};
  EXPECT_EQ(Str(Send(CountWord(2, 2), send)), "stand-in");
  EXPECT_EQ(blockCalls, 2);
  EXPECT_EQ(IVarGetInfo(object, missing), 0u);
  EXPECT_NE(IVarGetInfo(object, ivars[4]), 0u);
}

// A receiver the error block stood an object in for is settled: a retry of the method lookup that
// follows asks about the method again, not about the receiver.
TEST_F(ObjectsTest, ARetriedLookupDoesNotAskAgainAboutTheReceiver) {
  ErrorRecorder::Install();
  ErrorRecorder::Answer(ObjectValue(object));  // the receiver, 5, becomes the sample
  ErrorRecorder::Answer(LogicValue(true));     // it has no MISSING: look again
  Usual send[2] = {IntValue(5), SymbolValue(SysAddAtom("MISSING"))};
  EXPECT_EQ(Send(CountWord(2, 2), send).type, T_NIL) << "then the default";
  std::vector<std::string> raised;
  for (const RaisedError& e : ErrorRecorder::Raised()) raised.push_back(std::to_string(e.gencode) + " " + e.operation);
  EXPECT_EQ(raised, (std::vector<std::string>{"1 _P2Object", "13 Send", "13 Send"}));
}

Usual ReturnsSelf(Usual self, std::uint32_t, Usual*) { return self; }

// The object the error block stood in for a receiver that was none is the one the method is
// called with, whether the send names its message or passes a typed object that is empty: the
// method would otherwise read the number, or the empty object, as its instance.
TEST_F(ObjectsTest, AMethodFoundOnAStandInIsCalledWithIt) {
  Sym self = SysAddAtom("SELF");
  ASSERT_EQ(DeclareMethod(cls, self, 0, &ReturnsSelf, 0), 0);
  ErrorRecorder::Install();
  Usual send[2] = {IntValue(5), SymbolValue(self)};
  ErrorRecorder::Answer(ObjectValue(object));
  Usual byName = Send(CountWord(2, 2), send);
  ASSERT_EQ(byName.type, T_OBJECT);
  EXPECT_EQ(AsObj(byName), object);
  ErrorRecorder::Answer(ObjectValue(object));
  Usual typed = _SendClassParams(nullptr, self, nullptr);
  ASSERT_EQ(typed.type, T_OBJECT);
  EXPECT_EQ(AsObj(typed), object);
  ASSERT_EQ(ErrorRecorder::Raised().size(), 2u);
  for (const RaisedError& e : ErrorRecorder::Raised()) EXPECT_EQ(e.operation, "_P2Object");
}

// Variables are found by symbol whether their names were registered side by side or far apart,
// and a name between or beside them that is no variable of the class is missing, however the
// variables were indexed.
TEST_F(ObjectsTest, VariablesAreFoundWhereverTheirNamesLie) {
  // Instances are made between the answers: with a collection before each and only the precise
  // roots, the stand-in lives as long as the keeper holds it.
  TbTestSetStackScan(0);
  TbTestSetGcStress(1);
  blockCalls = 0;
  blockAnswer = keeper->Keep(S("stand-in"));
  Usual set[1] = {CodeBlockValue(&kCountingBlock)};
  ErrorBlock(CountWord(1, 1), set);
  struct Pair {
    InstanceHeader header;
    std::int32_t first;
    std::int32_t second;
  };
  const std::uint32_t noRefs[] = {0};
  for (std::uint32_t apart : {1u, 5000u}) {
    SCOPED_TRACE(apart);
    const std::string tag = std::to_string(apart);
    Sym below = SysAddAtom(("BELOW" + tag).c_str());
    Sym first = SysAddAtom(("FIRST" + tag).c_str());
    Sym between = 0;
    for (std::uint32_t i = 1; i < apart; ++i) {
      Sym s = SysAddAtom(("BETWEEN" + tag + "_" + std::to_string(i)).c_str());
      if (i == 1) between = s;
    }
    Sym second = SysAddAtom(("SECOND" + tag).c_str());
    Sym above = SysAddAtom(("ABOVE" + tag).c_str());
    Sym pairClass = SysAddAtom(("PAIR" + tag).c_str());
    ASSERT_EQ(DeclareClass(pairClass, 0, sizeof(Pair), noRefs, 0, 0, 2, first, offsetof(Pair, first), T_INT, 4u, 3u,
                           second, offsetof(Pair, second), T_INT, 4u, 3u),
              0);
    Usual args[1] = {SymbolValue(pairClass)};
    TbObj pair = AsObj(keeper->Keep(CreateInstance(CountWord(1, 1), args)));
    IVarPut(pair, first, IntValue(11));
    IVarPut(pair, second, IntValue(22));
    EXPECT_EQ(IVarGet(pair, first).value, 11u);
    EXPECT_EQ(IVarGet(pair, second).value, 22u);
    EXPECT_EQ(IVarGet(pair, first).value, 11u) << "again, after the other one";
    int before = blockCalls;
    for (Sym missing : {below, between, above, Sym(0)}) {
      if (missing == 0 && apart == 1) continue;
      EXPECT_EQ(LiveText(IVarGet(pair, missing)), "stand-in") << missing;
      EXPECT_EQ(IVarGetInfo(pair, missing), 0u) << missing;
    }
    EXPECT_EQ(blockCalls, before + (apart == 1 ? 2 : 4));
  }
  TbTestSetGcStress(0);
}

TEST_F(ObjectsTest, DeclarationsAreChecked) {
  Sym bad = SysAddAtom("BAD");
  Sym v = SysAddAtom("V");
  // A reference map that leaves out a string variable is refused.
  const std::uint32_t noMap[] = {0};
  EXPECT_NE(
      DeclareClass(bad, 0, 16 + sizeof(void*), noMap, 0, 0, 1, v, 16u, T_STRING, std::uint32_t(sizeof(void*)), 3u), 0);
  // So is one that names a number as a reference.
  const std::uint32_t wrongMap[] = {1, 16, 1};
  EXPECT_NE(DeclareClass(bad, 0, 24, wrongMap, 0, 0, 1, v, 16u, T_INT, 4u, 3u), 0);
  // A variable past the instance's end, or of the wrong size.
  EXPECT_NE(DeclareClass(bad, 0, 16, nullptr, 0, 0, 1, v, 16u, T_INT, 4u, 3u), 0);
  EXPECT_NE(DeclareClass(bad, 0, 24, nullptr, 0, 0, 1, v, 16u, T_INT, 8u, 3u), 0);
  // An unknown superclass; a class declared twice.
  EXPECT_NE(DeclareClass(bad, SysAddAtom("NOSUCH"), 24, nullptr, 0, 0, 0), 0);
  EXPECT_NE(DeclareClass(cls, 0, sizeof(Sample), kSampleMap, 0, 0, 0), 0);
  EXPECT_FALSE(IsClass(bad));
  EXPECT_TRUE(IsClass(cls));
}

// The first two words of every instance are the runtime's (its class and the collector's word):
// a variable that reaches into them, by its offset or by its length, is refused with the class.
TEST_F(ObjectsTest, NoVariableMayOverlapTheInstanceHeader) {
  const auto header = std::uint32_t(sizeof(InstanceHeader)), word = std::uint32_t(sizeof(void*));
  struct Case {
    const char* what;
    std::uint32_t offset;
    std::uint32_t type;
    std::uint32_t size;
  };
  const Case cases[] = {
      {"a number on the class word", 0, T_INT, 4},
      {"a number inside the class word", 4, T_INT, 4},
      {"a number on the collector's word", word, T_INT, 4},
      {"a number in the header's last four bytes", header - 4, T_INT, 4},
      {"a reference over the collector's word", word, T_STRING, word},
      {"a dynamic value from the header's last four bytes on", header - 4, T_USUAL, std::uint32_t(sizeof(Usual))},
  };
  const std::uint32_t noMap[] = {0};
  Sym v = SysAddAtom("V");
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sym bad = SysAddAtom(("OVERLAPPING" + std::to_string(++n)).c_str());
    const std::uint32_t map[] = {1, c.offset, c.type == T_USUAL ? REFMAP_USUAL_RUN | 1 : 1};
    const bool reference = c.type == T_STRING || c.type == T_USUAL;
    EXPECT_NE(DeclareClass(bad, 0, header + 32, reference ? map : noMap, 0, 0, 1, v, c.offset, c.type, c.size, 3u), 0);
    EXPECT_FALSE(IsClass(bad));
  }
  Sym right = SysAddAtom("RIGHTAFTER");
  EXPECT_EQ(DeclareClass(right, 0, header + 4, noMap, 0, 0, 1, v, header, std::uint32_t(T_INT), 4u, 3u), 0)
      << "the first byte after the header is the variables'";
}

Usual ReturnsSecond(Usual, std::uint32_t countWord, Usual* args) {
  return PassedOf(countWord) >= 2 ? args[1] : IntValue(DeclaredOf(countWord));
}

TEST_F(ObjectsTest, SubclassInheritsVariablesAndMethods) {
  Sym sub = SysAddAtom("SUBSAMPLE");
  Sym extra = SysAddAtom("EXTRA");
  Sym method = SysAddAtom("SECOND");
  ASSERT_EQ(DeclareClass(sub, cls, sizeof(Sample) + 8, kSampleMap, 0, 0, 1, extra, std::uint32_t(sizeof(Sample)), T_INT,
                         4u, 3u),
            0);
  ASSERT_EQ(DeclareMethod(cls, method, 0, &ReturnsSecond, 2), 0);
  Usual args[1] = {SymbolValue(sub)};
  Usual o = CreateInstance(CountWord(1, 1), args);
  EXPECT_TRUE(IsInstanceOf(o, sub));
  EXPECT_TRUE(IsInstanceOf(o, cls));
  EXPECT_FALSE(IsInstanceOf(ObjectValue(object), sub));
  IVarPut(AsObj(o), ivars[0], IntValue(4));
  IVarPut(AsObj(o), extra, IntValue(5));
  EXPECT_EQ(AsInt(IVarGet(AsObj(o), ivars[0])), 4);
  EXPECT_EQ(AsInt(IVarGet(AsObj(o), extra)), 5);
  Usual send[4] = {o, S("second"), IntValue(1), IntValue(2)};
  EXPECT_EQ(AsInt(Send(CountWord(2, 4), send)), 2) << "a message named by a string in any case";
  Usual one[3] = {o, SymbolValue(method), IntValue(1)};
  EXPECT_EQ(AsInt(Send(CountWord(2, 3), one)), 2) << "the method sees its declared count";
}

Usual SumArgs(std::uint32_t countWord, Usual* args) {
  std::int32_t sum = 0;
  for (std::uint32_t i = 0; i < PassedOf(countWord); ++i) sum += AsInt(args[i]);
  return IntValue(sum * 10 + std::int32_t(DeclaredOf(countWord)));
}
const CodeBlock kSum{2, &SumArgs};

TEST_F(ObjectsTest, EvalRunsACodeBlockWithItsArguments) {
  Usual three[3] = {CodeBlockValue(&kSum), IntValue(3), IntValue(4)};
  EXPECT_EQ(AsInt(Eval(CountWord(1, 3), three)), 72);
  Usual none[1] = {CodeBlockValue(&kSum)};
  EXPECT_EQ(AsInt(Eval(CountWord(1, 1), none)), 2);
}

TEST_F(ObjectsTest, ErrorBlockQueryAndSetAnswerThePreviousBlock) {
  EXPECT_EQ(ErrorBlock(CountWord(1, 0), nullptr).type, T_NIL);
  Usual set[1] = {CodeBlockValue(&kSum)};
  EXPECT_EQ(ErrorBlock(CountWord(1, 1), set).type, T_NIL);
  Usual now = ErrorBlock(CountWord(1, 0), nullptr);
  EXPECT_EQ(now.type, T_CODEBLOCK);
  EXPECT_EQ(AsPtr(now), &kSum);
}

}  // namespace
