#include "string_make.h"

#include "error_road.h"
#include "heap.h"

namespace tb {
namespace {

template <typename Make>
TbStr Acquire(const char* operation, std::uint64_t length, Make make) {
  bool tooLong = length > kMaxStringLength;
  TbStr made = nullptr;
  // Made only on a failure: every string of the runtime comes this way.
  auto report = [&] {
    RaiseSpec r;
    r.gencode = tooLong ? EG_STROVERFLOW : EG_MEM;
    r.operation = operation;
    r.description = tooLong ? "The result is longer than a string can be" : "Not enough memory for the string";
    r.canDefault = true;
    r.canRetry = !tooLong;
    r.canSubstitute = true;
    r.substituteType = T_STRING;
    r.maxSize = std::uint32_t(kMaxStringLength);
    return r;
  };
  Insisted got = Insist([&] { return !tooLong && (made = make()) != nullptr; }, report);
  if (got.holds) return made;
  // A substitute is a string: the error road lets no other type through.
  return got.answer.resolution == Resolution::Substitute ? AsStr(got.answer.value) : NewString("", 0);
}

}  // namespace

TbStr MakeStringRaising(const char* operation, const char* bytes, std::uint64_t length) {
  return Acquire(operation, length, [&] { return NewString(bytes, std::uint32_t(length)); });
}

TbStr MakeFilled(const char* operation, std::uint64_t length, char fill) {
  return Acquire(operation, length, [&] { return NewStringFilled(std::uint32_t(length), fill); });
}

}  // namespace tb
