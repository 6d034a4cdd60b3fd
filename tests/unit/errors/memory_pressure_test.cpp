// The handler when memory is short: the texts it builds ask for no more than they hold, and
// when even that cannot be had it still asks and answers, with a shortened text and no torn
// record. Array allocations of this program go through the counting allocator below, which a
// test can also make fail.
#include <cstdlib>
#include <new>

#include "error_handling_fixture.h"

namespace {

struct ArrayAllocations {
  bool counting = false;
  std::size_t failFrom = 0;  // 0: none fails
  std::size_t live = 0, peak = 0;
};

ArrayAllocations& Arrays() {
  static ArrayAllocations arrays;
  return arrays;
}

// Each block carries its size in front, so that the count can be kept as blocks go.
constexpr std::size_t kHead = alignof(std::max_align_t);

void* TakeArray(std::size_t size) {
  ArrayAllocations& a = Arrays();
  if (a.failFrom && size >= a.failFrom) return nullptr;
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHead));
  if (!block) return nullptr;
  *reinterpret_cast<std::size_t*>(block) = size;
  if (a.counting) {
    a.live += size;
    if (a.live > a.peak) a.peak = a.live;
  }
  return block + kHead;
}

void GiveArray(void* memory) {
  if (!memory) return;
  auto* block = static_cast<unsigned char*>(memory) - kHead;
  std::size_t size = *reinterpret_cast<std::size_t*>(block);
  ArrayAllocations& a = Arrays();
  if (a.counting) a.live -= size < a.live ? size : a.live;
  std::free(block);
}

}  // namespace

void* operator new[](std::size_t size) {
  if (void* memory = TakeArray(size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TakeArray(size); }
void operator delete[](void* memory) noexcept { GiveArray(memory); }
void operator delete[](void* memory, std::size_t) noexcept { GiveArray(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { GiveArray(memory); }

namespace {

class MemoryPressureTest : public ErrorHandlingTest {
 protected:
  void TearDown() override {
    Arrays() = ArrayAllocations{};
    ErrorHandlingTest::TearDown();
  }
  // An argument error whose argument is long.
  static Usual LongArgumentError(std::size_t length) {
    return NewError({{SYM_SUBSYSTEM, S("TB28RUN")},
                     {SYM_GENCODE, IntValue(1)},
                     {SYM_SEVERITY, IntValue(2)},
                     {SYM_CANDEFAULT, LogicValue(true)},
                     {SYM_DESCRIPTION, S("Argument of the wrong type")},
                     {SYM_ARG, StringValue(Space(std::uint32_t(length)))},
                     {SYM_STACK, S("START (Line:42)\r\n")}});
  }
};

TEST_F(MemoryPressureTest, WithoutMemoryForItsTextsTheHandlerStillAsksAndAnswers) {
  for (bool logExisted : {false, true}) {
    std::filesystem::remove(LogPath());
    if (logExisted) ScratchDir::Write(LogPath(), "earlier record\r\n");
    Dialogs().clear();
    Arrays().failFrom = 0x10000;
    Usual result = NilValue();
    EXPECT_NO_THROW(result = DefError(LongArgumentError(0x40000))) << logExisted;
    Arrays().failFrom = 0;
    EXPECT_EQ(result.type, T_LOGIC) << "the default was taken";
    ASSERT_EQ(Dialogs().size(), 1u);
    const std::string& shown = Dialogs()[0].message;
    EXPECT_EQ(shown.rfind("Error Code:  1 [ ARGUMENT ERROR ]\r\n", 0), 0u) << "the text's beginning is shown";
    EXPECT_LT(shown.size(), std::size_t(0x40000)) << "the text is shortened";
    if (logExisted) {
      EXPECT_EQ(Log(), "earlier record\r\n") << "no part of a record";
    } else {
      EXPECT_FALSE(LogExists()) << "no log made for a record that was never written";
    }
  }
  DefError(LongArgumentError(0x40000));
  EXPECT_NE(Log().find(std::string(0x40000, ' ')), std::string::npos) << "with memory back, all of it";
}

// The record of an error with a long argument holds it twice (in the message and in its field):
// building it takes about that much, not several times as much.
TEST_F(MemoryPressureTest, TheTextsTakeAboutAsMuchMemoryAsTheyHold) {
  constexpr std::size_t kArgument = 4 << 20;
  Usual error = LongArgumentError(kArgument);
  Arrays().counting = true;
  DefError(error);
  Arrays().counting = false;
  std::size_t record = Log().size();
  ASSERT_GT(record, 2 * kArgument);
  EXPECT_LE(Arrays().peak, record + record / 4) << "at most a quarter more than the record";
}

}  // namespace
