#include "string_make.h"

#include "error_road.h"
#include "heap.h"

namespace tb {
namespace {

template <typename Make>
TbStr Acquire(const char* operation, std::uint64_t length, Make make) {
  bool tooLong = length > kMaxStringLength;
  TbStr made = nullptr;
  RaiseSpec report;
  report.gencode = tooLong ? EG_STROVERFLOW : EG_MEM;
  report.operation = operation;
  report.description = tooLong ? "The result is longer than a string can be" : "Not enough memory for the string";
  report.canDefault = true;
  report.canRetry = !tooLong;
  report.canSubstitute = true;
  report.substituteType = T_STRING;
  report.maxSize = std::uint32_t(kMaxStringLength);
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
