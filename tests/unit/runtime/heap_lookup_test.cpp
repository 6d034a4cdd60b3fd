// Finding the block an address points into (what the collector does for every word of the
// native stack), and the heap giving memory back once its blocks are gone.
#include <cstdint>
#include <cstring>
#include <set>
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

// A frame of the test's own: its one local is a root of every collection while it stands.
struct RootFrame {
  FrameInfo info{"HOLDER", "heap_lookup_test.cpp"};
  Usual local = NilValue();
  Frame frame{};
  RootFrame() {
    frame.info = &info;
    frame.locals = &local;
    frame.localCount = 1;
    INCKidStackPtr(&frame);
  }
  ~RootFrame() { DECKidStackPtr(&frame); }
  RootFrame(const RootFrame&) = delete;
  RootFrame& operator=(const RootFrame&) = delete;
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

// Chunk memory comes from the C heap as it is: a slot not handed out yet may hold anything, even
// the bytes of a live block. Neither the lookup nor a sweep takes it for a block.
TEST_F(HeapLookupTest, ASlotNeverHandedOutIsNoBlockWhateverItHolds) {
  TbTestSetStackScan(0);
  const std::string text(150, 'q');  // a size no other block of the test has
  const char* s[3];
  for (const char*& slot : s) slot = Bytes(Psz2String(text.c_str()));
  if (TbTestHeapStats().chunkBytes == 0) GTEST_SKIP() << "no chunks in this build: every block stands alone";
  const std::ptrdiff_t stride = s[1] - s[0];
  ASSERT_GT(stride, 0);
  ASSERT_EQ(s[2] - s[1], stride) << "three slots side by side";
  char* next = const_cast<char*>(s[2]) + stride;  // the first slot not handed out
  auto chunkOf = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p) & ~std::uintptr_t(0xFFFF); };
  ASSERT_EQ(chunkOf(next + stride - 1), chunkOf(s[0])) << "room for one more slot in the chunk";
  std::memcpy(next, s[2], std::size_t(stride));
  EXPECT_EQ(Containing(next), nullptr);
  EXPECT_EQ(Containing(next + 24), nullptr);
  // The three go. Their slots, and then the fresh ones up to the end of the chunk and past it,
  // are handed out each once: a slot never handed out is on no free list.
  TbTestCollect();
  const auto count = std::uint32_t(2 * 0x10000 / stride);
  RootFrame root;
  root.local = ArrayValue(ArrayCreate(count));
  for (std::uint32_t i = 1; i <= count; ++i) ArrayPut(AsArr(root.local), i, StringValue(Psz2String(text.c_str())));
  std::set<const void*> taken;
  for (std::uint32_t i = 1; i <= count; ++i) taken.insert(AsPtr(ArrayGet(AsArr(root.local), i)));
  EXPECT_EQ(taken.size(), count) << "a slot was handed out twice";
}

// Empty chunks past those kept go back to the C heap, but never the one a size takes its new
// slots from, wherever it lies among the others. The C heap places chunks in no set order, so two
// sizes take their chunk, one before a great many others and one after them.
TEST_F(HeapLookupTest, TheChunkNewSlotsComeFromIsNeverGivenBack) {
  TbTestSetStackScan(0);
  const std::string before(150, 'b'), after(200, 'a');
  Psz2String(before.c_str());
  if (TbTestHeapStats().chunkBytes == 0) GTEST_SKIP() << "no chunks in this build: every block stands alone";
  RootFrame root;
  constexpr std::uint32_t kStrings = 80000;  // some eighty chunks
  root.local = ArrayValue(ArrayCreate(kStrings));
  for (std::uint32_t i = 1; i <= kStrings; ++i)
    ArrayPut(AsArr(root.local), i, StringValue(Psz2String("a string of some forty bytes")));
  Psz2String(after.c_str());
  std::uint64_t held = TbTestHeapStats().chunkBytes;
  root.local = NilValue();
  TbTestCollect();
  ASSERT_LT(TbTestHeapStats().chunkBytes, held) << "empty chunks went back";
  for (const std::string* text : {&before, &after}) {
    SCOPED_TRACE(text == &before ? "the size taken before" : "the size taken after");
    root.local = StringValue(Psz2String(text->c_str()));
    EXPECT_EQ(Containing(AsPtr(root.local)), AsPtr(root.local));
    TbTestCollect();
    ASSERT_TRUE(TbTestIsLive(AsPtr(root.local)));
    EXPECT_EQ(Str(root.local), *text);
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
