// Finding the block an address points into (what the collector does for every word of the
// native stack), and the heap giving memory back once its blocks are gone.
#include <cstdint>
#include <string>
#include <vector>

#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "tb28run/frames.h"
#include "tb28run/objects.h"

namespace {

class HeapLookupTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    TbTestSetGcStress(0);
  }
  static const void* Containing(const void* address) { return TbTestBlockContaining(address); }
  static const char* Bytes(const void* p) { return static_cast<const char*>(p); }
};

TEST_F(HeapLookupTest, EveryByteOfABlockLeadsToItsStartAndNoByteBeyond) {
  const std::string longText(1000, 'x');  // past the small sizes: a block of its own
  struct Case {
    const char* what;
    TbStr s;
  };
  const Case cases[] = {
      {"empty string", Psz2String("")},
      {"short string", Psz2String("abc")},
      {"long string", Psz2String(longText.c_str())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const char* start = Bytes(c.s);
    const char* text = String2Psz(c.s);
    std::uint32_t length = SLen(c.s);
    EXPECT_EQ(Containing(start), start);
    EXPECT_EQ(Containing(text), start) << "the text Cast2Psz hands out keeps its string";
    EXPECT_EQ(Containing(text + length / 2), start);
    EXPECT_EQ(Containing(text + length), start) << "the closing NUL";
    EXPECT_EQ(Containing(text + length + 1), nullptr) << "the first byte past the string";
  }
}

TEST_F(HeapLookupTest, ObjectsAndArraysAreFoundFromTheirHandles) {
  TbArr array = ArrayCreate(3);
  EXPECT_EQ(Containing(array), static_cast<const void*>(array));
  EXPECT_EQ(Containing(Bytes(array) + 1), static_cast<const void*>(array)) << "a byte inside";

  Sym point = SysAddAtom("POINT"), x = SysAddAtom("X");
  struct PointInstance {
    InstanceHeader header;
    Usual X;
  };
  static constexpr std::uint32_t kMap[] = {1, offsetof(PointInstance, X), REFMAP_USUAL_RUN | 1};
  ASSERT_EQ(DeclareClass(point, 0, sizeof(PointInstance), kMap, 0, 0, 1, x, std::uint32_t(offsetof(PointInstance, X)),
                         std::uint32_t(T_USUAL), std::uint32_t(sizeof(Usual)), 3u),
            0);
  Usual args[1] = {SymbolValue(point)};
  Usual object = CreateInstance(CountWord(1, 1), args);
  ASSERT_EQ(object.type, std::uint32_t(T_OBJECT));
  const void* block = Containing(AsPtr(object));
  ASSERT_NE(block, nullptr);
  EXPECT_LT(Bytes(block), Bytes(AsPtr(object))) << "an object's handle lies behind the block's own header";
  EXPECT_EQ(Containing(Bytes(AsPtr(object)) + sizeof(PointInstance) - 1), block);
}

TEST_F(HeapLookupTest, AddressesOutsideEveryBlockFindNone) {
  int local = 0;
  std::vector<char> cHeap(64);
  EXPECT_EQ(Containing(nullptr), nullptr);
  EXPECT_EQ(Containing(&local), nullptr);
  EXPECT_EQ(Containing(cHeap.data()), nullptr);
  EXPECT_EQ(Containing(reinterpret_cast<const void*>(std::uintptr_t(-64))), nullptr);
  // Small blocks share 64 KiB aligned chunks whose first bytes describe the chunk: no block
  // lies there, nor past the last slot handed out.
  if (TbTestHeapStats().chunkBytes > 0) {
    TbStr small = Psz2String("in a chunk");
    auto chunk = reinterpret_cast<std::uintptr_t>(small) & ~std::uintptr_t(0xFFFF);
    EXPECT_EQ(Containing(reinterpret_cast<const void*>(chunk)), nullptr);
    EXPECT_EQ(Containing(reinterpret_cast<const void*>(chunk + 8)), nullptr);
    EXPECT_EQ(Containing(reinterpret_cast<const void*>(chunk + 0xFFF0)), nullptr);
  }
}

// Allocates strings that only the returned pointers know of; the references die with the frame.
__attribute__((noinline)) std::vector<const void*> DroppedStrings(int n) {
  std::vector<const void*> blocks;
  for (int i = 0; i < n; ++i) blocks.push_back(Psz2String("soon nothing refers to this"));
  return blocks;
}

TEST_F(HeapLookupTest, AFreedBlockIsNoLongerFound) {
  TbTestSetStackScan(0);
  std::vector<const void*> gone = DroppedStrings(100);
  for (const void* block : gone) ASSERT_EQ(Containing(block), block);
  TbTestCollect();
  for (const void* block : gone) EXPECT_EQ(Containing(block), nullptr);
  // The freed places serve new blocks, which are found again.
  TbStr fresh = Psz2String("fresh");
  EXPECT_EQ(Containing(String2Psz(fresh)), static_cast<const void*>(fresh));
}

TEST_F(HeapLookupTest, MemoryOfDroppedBlocksGoesBack) {
  TbTestSetStackScan(0);
  std::uint64_t chunksBefore = TbTestHeapStats().chunkBytes;
  std::uint64_t liveBefore = TbTestHeapStats().liveBytes;
  // About 4 MiB of small strings, held by one array in a registered frame.
  FrameInfo info{"HOLDER", "heap_lookup_test.cpp"};
  Usual locals[1] = {NilValue()};
  Frame frame{};
  frame.info = &info;
  frame.locals = locals;
  frame.localCount = 1;
  INCKidStackPtr(&frame);
  constexpr std::uint32_t kStrings = 80000;
  locals[0] = ArrayValue(ArrayCreate(kStrings));
  for (std::uint32_t i = 1; i <= kStrings; ++i)
    ArrayPut(AsArr(locals[0]), i, StringValue(Psz2String("a string of some forty bytes")));
  TbTestCollect();
  EXPECT_EQ(ALen(AsArr(locals[0])), kStrings) << "all still held";
  std::uint64_t chunksHeld = TbTestHeapStats().chunkBytes;

  locals[0] = NilValue();
  TbTestCollect();
  DECKidStackPtr(&frame);
  EXPECT_LE(TbTestHeapStats().liveBytes, liveBefore + 4096);
  // Empty chunks stay for what may be allocated before the next collection (1 MiB once the heap
  // is small again, and a few more); the rest is given back.
  EXPECT_LE(TbTestHeapStats().chunkBytes, chunksBefore + 32 * 64 * 1024);
  if (chunksHeld > 0) {
    EXPECT_LT(TbTestHeapStats().chunkBytes, chunksHeld);
  }

  TbStr again = Psz2String("allocating goes on");
  EXPECT_EQ(Str(again), "allocating goes on");
}

}  // namespace
