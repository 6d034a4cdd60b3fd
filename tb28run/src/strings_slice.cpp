// Parts of strings: Left, Right, SubStr, Upper.
#include <cmath>
#include <cstring>
#include <string>

#include "arg_demand.h"
#include "heap.h"
#include "scratch_text.h"
#include "string_make.h"
#include "tb28run/strings.h"

namespace {

bool IsStringValue(const Usual& u) { return HasType(u, T_STRING); }

// A new string of `count` bytes of text from `from`, changed by `change`, made from a copy taken
// first: making the new string may collect `text`, which its caller need not hold anywhere. The
// usual short slice is copied on the stack.
template <typename Change>
TbStr MadeFromCopy(const char* operation, TbStr text, std::uint32_t from, std::uint32_t count, Change change) {
  tb::ScratchText<256> scratch(count);
  char* copy = scratch.data();
  if (count) std::memcpy(copy, tb::Text(text) + from, count);
  change(copy, count);
  return tb::MakeString(operation, copy, count);
}

void Unchanged(char*, std::uint32_t) {}

}  // namespace

TBRT TbStr Left(TbStr text, std::uint32_t count) {
  std::uint32_t n = tb::Length(text) < count ? tb::Length(text) : count;
  return MadeFromCopy("Left", text, 0, n, Unchanged);
}

TBRT TbStr Right(TbStr text, std::uint32_t count) {
  std::uint32_t length = tb::Length(text);
  std::uint32_t n = length < count ? length : count;
  return MadeFromCopy("Right", text, length - n, n, Unchanged);
}

TBRT Usual SubStr(std::uint32_t countWord, Usual* args) {
  Usual text = tb::ArgAt(countWord, args, 0);
  Usual start = tb::ArgAt(countWord, args, 1);
  Usual count = tb::ArgAt(countWord, args, 2);
  auto empty = [] { return StringValue(tb::NewString("", 0)); };
  if (!tb::Demand("SubStr", text, T_STRING, 1, IsStringValue)) return empty();
  if (!tb::DemandNumber("SubStr", start, 2)) return empty();
  bool toEnd = IsNilValue(count);
  if (!toEnd && !tb::DemandNumber("SubStr", count, 3)) return empty();

  // Whole numbers in double: every 32-bit start and count, and far-off ones, compare safely.
  const double length = tb::Length(AsStr(text));
  double from = std::trunc(tb::NumberOf(start));
  if (from < 0) from = length + from + 1 < 1 ? 1 : length + from + 1;
  if (from == 0 || std::isnan(from)) from = 1;
  if (from > length) return empty();
  double available = length - from + 1;
  double n = toEnd ? available : std::trunc(tb::NumberOf(count));
  if (!(n > 0)) return empty();
  if (n > available) n = available;
  return StringValue(tb::MakeString("SubStr", tb::Text(AsStr(text)) + std::size_t(from - 1), std::uint64_t(n)));
}

TBRT TbStr Upper(TbStr text) {
  return MadeFromCopy("Upper", text, 0, tb::Length(text), [](char* letters, std::uint32_t count) {
    for (char* c = letters; c != letters + count; ++c)
      if (*c >= 'a' && *c <= 'z') *c = char(*c - 'a' + 'A');
  });
}
