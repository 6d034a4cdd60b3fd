#include "errors/error_log_hex.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

constexpr std::uint32_t kDigitsPerWord = 8;
// The longest text the runtime makes, so that three characters a byte stay within it.
constexpr std::uint32_t kMaxRenderedBytes = TB_MAX_STRING / 3;

Usual Words(std::initializer_list<std::uint32_t> words) {
  std::string field(words.size() * kDigitsPerWord, ' ');
  std::size_t at = 0;
  for (std::uint32_t w : words) {
    _Hex(w, field.data() + at);
    at += kDigitsPerWord;
  }
  return StringValue(Mem2String(field.data(), std::uint32_t(field.size())));
}

// Whether the float's text shows a fraction: a "." or the decimal separator in force.
bool ShowsDecimals(TbStr text) {
  if (At(Psz2String("."), text) > 0) return true;
  std::uint32_t separator = _P2DW(CallKest<1>(SetDecimalSep));
  return separator != 0 && separator != '.' && At(Chr(separator), text) > 0;
}

bool CarriesAddress(std::uint32_t type) {
  return type == T_PTR || type == T_OBJECT || type == T_ARRAY || type == T_CODEBLOCK;
}

}  // namespace

Usual ErrorLogHex(Usual value) {
  static const FrameInfo kFrame{"ERRORLOGHEX", "errors/error_log_hex.cpp"};
  Usual args[1] = {value};
  Usual locals[1];
  FrameGuard frame(kFrame, CountWord(1, 1), args, locals, 1);
  std::uint32_t type = UsualType(value);
  if (type == T_FLOAT) {
    locals[0] = CallKest<3>(__Str, value);
    double v = _P2Double(value);
    // NaN has no 32-bit form either.
    if (ShowsDecimals(AsStr(locals[0])) || v > 4294967295.0 || v < -2147483647.0 || std::isnan(v)) {
      std::uint64_t bits;
      std::memcpy(&bits, &v, sizeof bits);
      return Words({std::uint32_t(bits), std::uint32_t(bits >> 32)});
    }
    if (v > 0) return Words({std::uint32_t(v)});
    return Words({std::uint32_t(std::int32_t(v))});
  }
  if (type == T_STRING) return ErrorLogHexBytes(value);
  std::uint64_t word = value.value;
  if (sizeof value.value > 4 && CarriesAddress(type)) return Words({std::uint32_t(word >> 32), std::uint32_t(word)});
  return Words({std::uint32_t(word)});
}

Usual ErrorLogHexBytes(Usual text) {
  static const FrameInfo kFrame{"ERRORLOGHEXBYTES", "errors/error_log_hex.cpp"};
  Usual args[1] = {text};
  FrameGuard frame(kFrame, CountWord(1, 1), args);
  TbStr s = _P2String(text);
  std::uint32_t n = SLen(s);
  if (n > kMaxRenderedBytes) n = kMaxRenderedBytes;
  if (n == 0) return StringValue(Psz2String(""));
  char* rendered = StringAlloc(3 * n);
  char* bytes = StringAlloc(n);
  Usual result = StringValue(Psz2String(""));
  if (rendered && bytes) {
    std::memset(rendered, ' ', 3 * n);
    MemCopy(bytes, String2Psz(s), n);
    for (std::uint32_t i = 0; i < n; ++i) _HexByte(std::uint8_t(bytes[i]), rendered + 3 * i);
    result = StringValue(Mem2String(rendered, 3 * n));
  }
  MemFree(rendered);
  MemFree(bytes);
  return result;
}
