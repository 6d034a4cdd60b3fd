// Hexadecimal digits written into a caller's buffer.
#include "tb28run/strings.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

}  // namespace

TBRT void _Hex(std::uint32_t value, char* place) {
  if (!place) return;
  for (int i = 7; i >= 0; --i, value >>= 4) place[i] = kDigits[value & 0xF];
}

TBRT void _HexByte(std::uint8_t value, char* place) {
  if (!place) return;
  place[0] = kDigits[value >> 4];
  place[1] = kDigits[value & 0xF];
}
