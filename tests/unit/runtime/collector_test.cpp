#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "tb28run/errors.h"
#include "tb28run/frames.h"
#include "tb28run/objects.h"

namespace {

class CollectorTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    TbTestSetGcStress(0);
  }
  static std::uint64_t Live() { return TbTestHeapStats().liveBlocks; }
};

// Allocates and drops; the references die with this frame.
__attribute__((noinline)) void MakeGarbage(int n) {
  for (int i = 0; i < n; ++i) Psz2String("garbage that nothing keeps");
}

// Overwrites the stack below the caller, so that no stale copy of a dropped reference remains
// for the conservative scan to find.
__attribute__((noinline)) void ScrubStack() {
  volatile char scratch[16384];
  for (std::size_t i = 0; i < sizeof scratch; ++i) scratch[i] = 0;
}

TEST_F(CollectorTest, WhatNothingReachesIsFreed) {
  std::uint64_t before = Live();
  MakeGarbage(1000);
  EXPECT_GE(Live(), before + 1000);
  ScrubStack();
  TbTestCollect();
  EXPECT_LE(Live(), before + 4) << "at most a few stale words may survive the conservative scan";
  TbTestSetStackScan(0);
  TbTestCollect();
  EXPECT_EQ(Live(), before);
}

// The slot arrays live on the C++ heap, which the conservative scan does not read: only the
// registered frame keeps what they hold.
struct HeapFrame {
  FrameInfo info{"HOLDER", "collector_test.cpp"};
  std::unique_ptr<Usual[]> args{new Usual[2]{}};
  std::unique_ptr<Usual[]> locals{new Usual[2]{}};
  std::unique_ptr<Frame> frame{new Frame{}};
  HeapFrame() {
    frame->info = &info;
    frame->countWord = CountWord(2, 2);
    frame->args = args.get();
    frame->locals = locals.get();
    frame->localCount = 2;
    INCKidStackPtr(frame.get());
  }
  ~HeapFrame() { DECKidStackPtr(frame.get()); }
};

// Stores a new string where only the given slot refers to it.
__attribute__((noinline)) void PutString(Usual* slot, const char* text) { *slot = StringValue(Psz2String(text)); }

TEST_F(CollectorTest, AProbeSeesAFreedBlockGo) {
  TbTestSetStackScan(0);
  HeapFrame holder;
  PutString(&holder.locals[1], "soon dropped");
  const void* block = AsPtr(holder.locals[1]);
  TbTestCollect();
  EXPECT_TRUE(TbTestIsLive(block));
  holder.locals[1] = NilValue();
  TbTestCollect();
  EXPECT_FALSE(TbTestIsLive(block));
}

TEST_F(CollectorTest, TheNativeStackKeepsWhatOnlyALocalVariableHolds) {
  Usual local = StringValue(Psz2String("only in a C++ local"));
  MakeGarbage(50);
  TbTestCollect();
  EXPECT_TRUE(TbTestIsLive(AsPtr(local)));
  EXPECT_EQ(Str(local), "only in a C++ local");
  TbTestSetStackScan(0);
  TbTestCollect();
  EXPECT_FALSE(TbTestIsLive(AsPtr(local))) << "without the scan nothing else holds it";
}

TEST_F(CollectorTest, EachKindOfFrameSlotKeepsItsValue) {
  TbTestSetStackScan(0);
  HeapFrame holder;
  PutString(&holder.args[1], "in an argument");
  PutString(&holder.locals[0], "in a local");
  Usual result;
  PutString(&result, "the result on its way out");
  _PAS(result);
  result = NilValue();
  MakeGarbage(200);
  ScrubStack();
  TbTestCollect();
  for (const Usual* kept : {&holder.args[1], &holder.locals[0], &holder.frame->result})
    EXPECT_TRUE(TbTestIsLive(AsPtr(*kept)));
  EXPECT_EQ(Str(holder.args[1]), "in an argument");
  EXPECT_EQ(Str(holder.locals[0]), "in a local");
  EXPECT_EQ(Str(holder.frame->result), "the result on its way out");
}

TEST_F(CollectorTest, ArraysKeepTheirElements) {
  TbTestSetStackScan(0);
  HeapFrame holder;
  holder.locals[0] = ArrayValue(ArrayCreate(2));
  ArrayPut(AsArr(holder.locals[0]), 2, ArrayValue(ArrayCreate(1)));
  Usual text;
  PutString(&text, "two levels down");
  ArrayPut(AsArr(ArrayGet(AsArr(holder.locals[0]), 2)), 1, text);
  text = NilValue();
  MakeGarbage(100);
  ScrubStack();
  TbTestCollect();
  Usual inner = ArrayGet(AsArr(holder.locals[0]), 2);
  ASSERT_TRUE(TbTestIsLive(AsPtr(inner)));
  ASSERT_TRUE(TbTestIsLive(AsPtr(ArrayGet(AsArr(inner), 1))));
  EXPECT_EQ(Str(ArrayGet(AsArr(inner), 1)), "two levels down");
}

// A class with a run of references and a run of dynamic values, and a number between them.
struct Holder {
  InstanceHeader header;
  TbStr first;
  TbStr second;
  std::uintptr_t number;
  Usual any;
};
constexpr std::uint32_t kHolderMap[] = {2, offsetof(Holder, first), 2, offsetof(Holder, any), REFMAP_USUAL_RUN | 1};

int finalized = 0;
Usual CountFinalize(Usual self, std::uint32_t, Usual*) {
  ++finalized;
  return self;
}

class ObjectCollectorTest : public CollectorTest {
 protected:
  void SetUp() override {
    CollectorTest::SetUp();
    cls = SysAddAtom("HOLDER");
    Sym a = SysAddAtom("FIRST"), b = SysAddAtom("SECOND"), n = SysAddAtom("NUMBER"), u = SysAddAtom("ANY");
    ASSERT_EQ(DeclareClass(cls, 0, sizeof(Holder), kHolderMap, 0, 0, 4, a, offsetof(Holder, first), T_STRING,
                           std::uint32_t(sizeof(void*)), 3u, b, offsetof(Holder, second), T_STRING,
                           std::uint32_t(sizeof(void*)), 3u, n, offsetof(Holder, number), T_INT, 4u, 3u, u,
                           offsetof(Holder, any), T_USUAL, std::uint32_t(sizeof(Usual)), 3u),
              0);
  }
  __attribute__((noinline)) Usual NewHolder() {
    Usual args[1] = {SymbolValue(cls)};
    return CreateInstance(CountWord(1, 1), args);
  }
  Sym cls = 0;
};

TEST_F(ObjectCollectorTest, EachRunOfTheReferenceMapKeepsWhatItNames) {
  TbTestSetStackScan(0);
  HeapFrame holder;
  holder.locals[0] = NewHolder();
  auto* raw = reinterpret_cast<Holder*>(AsObj(holder.locals[0]));
  Usual text;
  PutString(&text, "second field, first run");
  raw->second = AsStr(text);
  PutString(&raw->any, "the dynamic-value run");
  text = NilValue();
  MakeGarbage(100);
  ScrubStack();
  TbTestCollect();
  ASSERT_TRUE(TbTestIsLive(raw->second));
  ASSERT_TRUE(TbTestIsLive(AsPtr(raw->any)));
  EXPECT_EQ(std::string(String2Psz(raw->second)), "second field, first run");
  EXPECT_EQ(Str(raw->any), "the dynamic-value run");
}

// Runs of several fields: the collector follows each field of a run at the run's own stride (a
// reference word, a whole dynamic value), to the run's last field.
struct Runs {
  InstanceHeader header;
  TbStr texts[3];
  std::uint32_t number;
  Usual values[3];
};

TEST_F(CollectorTest, EveryFieldOfALongRunIsFollowed) {
  TbTestSetStackScan(0);
  const Sym cls = SysAddAtom("RUNS");
  Sym t[3], v[3];
  for (int i = 0; i < 3; ++i) {
    t[i] = SysAddAtom(("TEXT" + std::to_string(i)).c_str());
    v[i] = SysAddAtom(("VALUE" + std::to_string(i)).c_str());
  }
  const Sym n = SysAddAtom("NUMBER");
  const auto ref = std::uint32_t(sizeof(void*)), usual = std::uint32_t(sizeof(Usual));
  const std::uint32_t map[] = {2, std::uint32_t(offsetof(Runs, texts)), 3, std::uint32_t(offsetof(Runs, values)),
                               REFMAP_USUAL_RUN | 3};
  ASSERT_EQ(DeclareClass(cls, 0, sizeof(Runs), map, 0, 0, 7,                                  //
                         t[0], std::uint32_t(offsetof(Runs, texts[0])), T_STRING, ref, 3u,    //
                         t[1], std::uint32_t(offsetof(Runs, texts[1])), T_STRING, ref, 3u,    //
                         t[2], std::uint32_t(offsetof(Runs, texts[2])), T_STRING, ref, 3u,    //
                         n, std::uint32_t(offsetof(Runs, number)), T_INT, 4u, 3u,             //
                         v[0], std::uint32_t(offsetof(Runs, values[0])), T_USUAL, usual, 3u,  //
                         v[1], std::uint32_t(offsetof(Runs, values[1])), T_USUAL, usual, 3u,  //
                         v[2], std::uint32_t(offsetof(Runs, values[2])), T_USUAL, usual, 3u),
            0);
  HeapFrame holder;
  Usual args[1] = {SymbolValue(cls)};
  holder.locals[0] = CreateInstance(CountWord(1, 1), args);
  auto* raw = reinterpret_cast<Runs*>(AsObj(holder.locals[0]));
  ASSERT_NE(raw, nullptr);
  for (int i = 0; i < 3; ++i) {
    Usual text;
    PutString(&text, ("reference " + std::to_string(i)).c_str());
    raw->texts[i] = AsStr(text);
    PutString(&raw->values[i], ("dynamic value " + std::to_string(i)).c_str());
  }
  MakeGarbage(100);
  ScrubStack();
  TbTestCollect();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(TbTestIsLive(raw->texts[i]));
    ASSERT_TRUE(TbTestIsLive(AsPtr(raw->values[i])));
    EXPECT_EQ(std::string(String2Psz(raw->texts[i])), "reference " + std::to_string(i));
    EXPECT_EQ(Str(raw->values[i]), "dynamic value " + std::to_string(i));
  }
}

TEST_F(ObjectCollectorTest, TheErrorBlockIsARoot) {
  TbTestSetStackScan(0);
  Usual block = NewHolder();
  ErrorBlock(CountWord(1, 1), &block);
  std::uint64_t withBlock = Live();
  block = NilValue();
  ScrubStack();
  TbTestCollect();
  EXPECT_EQ(Live(), withBlock);
  Usual none = NilValue();
  ErrorBlock(CountWord(1, 1), &none);
  ScrubStack();
  TbTestCollect();
  EXPECT_LT(Live(), withBlock);
}

TEST_F(ObjectCollectorTest, AFinaliserRunsOnceThenTheObjectIsFreed) {
  TbTestSetStackScan(0);
  ASSERT_EQ(DeclareMethod(cls, SYM_FINALIZE, 0, &CountFinalize, 0), 0);
  finalized = 0;
  std::uint64_t before = Live();
  NewHolder();
  ScrubStack();
  TbTestCollect();
  EXPECT_EQ(finalized, 1);
  EXPECT_EQ(Live(), before + 1) << "kept for the round in which its finaliser ran";
  ScrubStack();
  TbTestCollect();
  EXPECT_EQ(finalized, 1);
  EXPECT_EQ(Live(), before);
}

TEST_F(CollectorTest, CollectionsRunOnTheirOwnAsTheHeapGrows) {
  std::uint64_t before = TbTestCollections();
  MakeGarbage(60000);  // well past the first threshold
  EXPECT_GT(TbTestCollections(), before);
  TbTestSetGcStress(1);
  before = TbTestCollections();
  MakeGarbage(10);
  EXPECT_GE(TbTestCollections(), before + 10);
  TbTestSetGcStress(0);
}

}  // namespace
