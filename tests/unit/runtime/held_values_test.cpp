// What the runtime holds on its own while a message is on its way: the arguments of a message
// whose method is missing while the error block decides, the slots of a long argument list, and
// the object an indexed walk sends to. The tests run with the stack scan off and a collection
// before every allocation, so that only what the runtime holds for the collector survives, and
// the garbage made meanwhile takes the freed slots over.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "address_space.h"
#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "tb28run/errors.h"
#include "tb28run/objects.h"
#include "value_keeper.h"

namespace {

struct Box {
  InstanceHeader header;
  std::int32_t mark;
};
constexpr std::uint32_t kNoReferences[] = {0};
constexpr std::int32_t kMark = 4242;

// The error block's step before it answers retry (declare the method, drop what the caller held).
std::function<void()> onMissing;
int blockCalls = 0;

// Strings of the length the tests' own have, so that they take the slots a collection freed.
void MakeGarbage() {
  for (int i = 0; i < 64; ++i) Psz2String(("leftover " + std::to_string(100 + i)).c_str());
}

Usual RetryingBlock(std::uint32_t, Usual*) {
  ++blockCalls;
  if (onMissing) onMissing();
  MakeGarbage();
  return LogicValue(true);
}
const CodeBlock kRetryingBlock{1, &RetryingBlock};

// What a method saw: each argument's text, or "<freed>" for one the collector took.
std::vector<std::string> received;
Usual RecordArguments(Usual self, std::uint32_t countWord, Usual* args) {
  received.clear();
  for (std::uint32_t i = 0; i < PassedOf(countWord); ++i) received.push_back(LiveText(args[i]));
  return self;
}

class HeldValuesTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    keeper = std::make_unique<ValueKeeper>();
    boxClass = SysAddAtom("BOX");
    mark = SysAddAtom("MARK");
    ASSERT_EQ(DeclareClass(boxClass, 0, sizeof(Box), kNoReferences, 0, 0, 1, mark, offsetof(Box, mark), T_INT, 4u, 3u),
              0);
    box = AsObj(keeper->Keep(NewBox()));
    Usual block[1] = {CodeBlockValue(&kRetryingBlock)};
    ErrorBlock(CountWord(1, 1), block);
    onMissing = nullptr;
    blockCalls = 0;
    received.clear();
    TbTestSetStackScan(0);
    TbTestSetGcStress(1);
  }
  void TearDown() override {
    TbTestSetGcStress(0);
    onMissing = nullptr;
    keeper.reset();
    RuntimeTest::TearDown();
  }

  Usual NewBox() {
    Usual args[1] = {SymbolValue(boxClass)};
    Usual made = CreateInstance(CountWord(1, 1), args);
    IVarPut(AsObj(made), mark, IntValue(kMark));
    return made;
  }
  // An array of n new strings that nothing but the array (kept) holds, and their texts.
  TbArr Arguments(std::uint32_t n, std::vector<std::string>& texts) {
    TbArr array = AsArr(keeper->Keep(ArrayValue(ArrayCreate(n))));
    texts.clear();
    for (std::uint32_t i = 0; i < n; ++i) {
      texts.push_back("argument " + std::to_string(100 + i));
      ArrayPut(array, i + 1, StringValue(Psz2String(texts.back().c_str())));
    }
    return array;
  }
  static void Clear(TbArr array) {
    for (std::uint32_t i = 1; i <= ALen(array); ++i) ArrayPut(array, i, NilValue());
  }

  std::unique_ptr<ValueKeeper> keeper;
  Sym boxClass = 0, mark = 0;
  TbObj box = nullptr;
};

TEST_F(HeldValuesTest, AMethodDeclaredByTheErrorBlockReceivesTheArgumentsAsTheyWereSent) {
  for (std::uint32_t n : {3u, 8u, 9u, 20u}) {
    SCOPED_TRACE(n);
    Sym method = SysAddAtom(("LATE" + std::to_string(n)).c_str());
    std::vector<std::string> sent;
    TbArr args = Arguments(n, sent);
    // The block empties the caller's array: the runtime's copy is all that holds the arguments.
    onMissing = [&] {
      Clear(args);
      DeclareMethod(boxClass, method, 0, &RecordArguments, 0);
    };
    blockCalls = 0;
    _SendClassParams(box, method, args);
    EXPECT_EQ(blockCalls, 1);
    EXPECT_EQ(received, sent);
  }
}

// A method that empties the array it was sent, makes garbage and only then reads its arguments.
Usual EmptyThenRecord(Usual self, std::uint32_t countWord, Usual* args) {
  if (onMissing) onMissing();
  MakeGarbage();
  return RecordArguments(self, countWord, args);
}

TEST_F(HeldValuesTest, ALongArgumentListKeepsItsSlotsWhileTheMethodRuns) {
  // Past eight arguments the callee's slots lie on the C++ heap, where no stack scan reaches.
  Sym method = SysAddAtom("EMPTYTHENRECORD");
  ASSERT_EQ(DeclareMethod(boxClass, method, 0, &EmptyThenRecord, 0), 0);
  std::vector<std::string> sent;
  TbArr args = Arguments(12, sent);
  onMissing = [&] { Clear(args); };
  _SendClassParams(box, method, args);
  EXPECT_EQ(blockCalls, 0) << "found at once";
  EXPECT_EQ(received, sent);
}

// Whether the object an indexed read reached is still the box it was, alive.
bool selfWasLive = false;
Usual CheckSelf(Usual self, std::uint32_t, Usual*) {
  selfWasLive =
      self.type == T_OBJECT && TbTestIsLive(AsPtr(self)) && reinterpret_cast<const Box*>(self.value)->mark == kMark;
  return IntValue(0);
}

TEST_F(HeldValuesTest, AnIndexedReadKeepsTheObjectItSendsToWhileTheErrorBlockDecides) {
  Usual outer = keeper->Keep(ArrayValue(ArrayCreate(1)));
  ArrayPut(AsArr(outer), 1, NewBox());
  // Only the outer array holds the inner box; the block takes it out before the retry.
  onMissing = [&] {
    ArrayPut(AsArr(outer), 1, NilValue());
    DeclareMethod(boxClass, SYM_COLLECTIONGET, 0, &CheckSelf, 1);
  };
  selfWasLive = false;
  KestCall(&_ArrayGetCollection, 2, {outer, IntValue(7), IntValue(1)});
  EXPECT_EQ(blockCalls, 1);
  EXPECT_TRUE(selfWasLive);
}

// A constructor that marks the object it builds, makes garbage, and then looks at it again.
Usual InitAfterGarbage(Usual self, std::uint32_t, Usual*) {
  reinterpret_cast<Box*>(self.value)->mark = kMark;
  MakeGarbage();
  selfWasLive = TbTestIsLive(AsPtr(self)) && reinterpret_cast<const Box*>(self.value)->mark == kMark;
  return self;
}

TEST_F(HeldValuesTest, ANewObjectIsHeldWhileItsConstructorRuns) {
  Sym built = SysAddAtom("BUILT");
  ASSERT_EQ(DeclareClass(built, 0, sizeof(Box), kNoReferences, 0, 0, 0), 0);
  ASSERT_EQ(DeclareMethod(built, SYM_INIT, 0, &InitAfterGarbage, 0), 0);
  selfWasLive = false;
  Usual args[1] = {SymbolValue(built)};
  CreateInstance(CountWord(1, 1), args);
  EXPECT_TRUE(selfWasLive);
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
// In a child: a missing method sent a long argument list when the address space has no room for
// another list of that size. Exits 0 when the send ended in one memory error of its own.
[[noreturn]] void SendWithoutRoomForTheCopy(TbObj box) {
  TbTestSetGcStress(0);
  TbTestSetStackScan(1);
  constexpr std::uint32_t kCount = 1u << 20;  // 16 MiB of arguments on x86_64
  Usual list = ArrayValue(ArrayCreate(kCount));
  ErrorRecorder::Install();
  if (!LimitAddressSpace(kCount * sizeof(Usual) / 2)) {
    std::fprintf(stderr, "no limit set\n");
    std::_Exit(2);
  }
  Usual result = _SendClassParams(box, SysAddAtom("NOSUCHMETHOD"), AsArr(list));
  const auto& raised = ErrorRecorder::Raised();
  for (const RaisedError& e : raised) std::fprintf(stderr, "error %u %s\n", unsigned(e.gencode), e.operation.c_str());
  std::_Exit(raised.size() == 1 && raised[0].gencode == 11 && result.type == T_NIL ? 0 : 1);
}
#endif

TEST_F(HeldValuesTest, NoRoomForTheCopyOfTheArgumentsIsAMemoryErrorOfTheSend) {
#if defined(_WIN32)
  GTEST_SKIP() << "the address-space limit is a POSIX one";
#elif defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit leaves";
#else
  EXPECT_EXIT(SendWithoutRoomForTheCopy(box), ::testing::ExitedWithCode(0), "error 11 _SendClassParams");
#endif
}

}  // namespace
