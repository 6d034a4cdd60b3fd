#include "kept_strings.h"

#include <charconv>
#include <cstddef>
#include <cstring>
#include <new>

#include "heap.h"

namespace tb {
namespace {

// A string block of its own, in memory the collector does not manage.
TbStr MakeOutsideHeap(std::string_view text) {
  std::size_t bytes = offsetof(TbString, text) + text.size() + 1;
  void* memory = ::operator new (bytes, std::align_val_t{alignof(TbString)}, std::nothrow);
  if (!memory) return nullptr;
  auto* s = static_cast<TbStr>(memory);
  s->gc = GcHeader{};
  s->gc.kind = Kind::String;
  s->gc.bytes = std::uint32_t(bytes);
  s->length = std::uint32_t(text.size());
  if (!text.empty()) std::memcpy(s->text, text.data(), text.size());
  s->text[text.size()] = '\0';
  return s;
}

KeptSlot keptNumbers[kKeptNumbers];
KeptSlot keptEmpty;
#if defined(QUORLFIX_BENCH_WITHOUT_KEPT_STRINGS)
constexpr bool keptWithout = true;
#else
constexpr bool keptWithout = false;
#endif

}  // namespace

TbStr KeptNew(KeptSlot& slot, std::string_view text) {
#if defined(QUORLFIX_BENCH_WITHOUT_KEPT_STRINGS)
  (void)slot;
  (void)text;
  return nullptr;
#endif
  slot = MakeOutsideHeap(text);
  return slot;
}

TbStr KeptEmpty() { return Kept(keptEmpty, std::string_view()); }

TbStr KeptNumber(std::uint32_t n) {
  if (n >= kKeptNumbers || keptWithout) return nullptr;
  KeptSlot& slot = keptNumbers[n];
  if (slot) return slot;
  char digits[4];
  auto written = std::to_chars(digits, digits + sizeof digits, n);
  return KeptNew(slot, std::string_view(digits, std::size_t(written.ptr - digits)));
}

}  // namespace tb
