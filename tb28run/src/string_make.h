// Making the strings that string operations return. A result longer than a string may be, or
// one memory cannot hold, is an error on the error road rather than a crash or a silent cut.
#pragma once

#include <cstdint>
#include <string_view>

#include "heap.h"
#include "kept_strings.h"
#include "tb28run/strings.h"
#include "tb28run/values.h"

namespace tb {

// Longest string the runtime makes: its length must fit a signed 32-bit count, header included.
constexpr std::uint64_t kMaxStringLength = TB_MAX_STRING;

// On a string overflow or memory error the error block may substitute a string; its default
// is the empty string. MakeString is inline for the usual string that is simply made (an empty
// one is the kept empty string); MakeStringRaising tries once more and then takes the error road.
TbStr MakeStringRaising(const char* operation, const char* bytes, std::uint64_t length);
inline TbStr MakeString(const char* operation, const char* bytes, std::uint64_t length) {
  if (length == 0)
    if (TbStr empty = KeptEmpty()) return empty;
  if (length <= kMaxStringLength)
    if (TbStr s = NewString(bytes, std::uint32_t(length))) return s;
  return MakeStringRaising(operation, bytes, length);
}
TbStr MakeFilled(const char* operation, std::uint64_t length, char fill);
inline TbStr MakeString(const char* operation, std::string_view text) {
  return MakeString(operation, text.data(), text.size());
}
// The text's kept string (kept_strings.h); an ordinary one, made as above, when memory could not
// hold it.
inline TbStr KeptOrMade(KeptSlot& slot, const char* operation, std::string_view text) {
  if (TbStr kept = Kept(slot, text)) return kept;
  return MakeString(operation, text);
}

}  // namespace tb
