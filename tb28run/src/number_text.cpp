#include "number_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "arg_demand.h"
#include "heap.h"
#include "intl_settings.h"
#include "kept_strings.h"
#include "string_make.h"

namespace tb {
namespace {

// Below this every scaled value is an exact integer in a double and in an int64.
constexpr double kExactLimit = 9.0e15;

double PowerOfTen(std::int32_t n) {
  double p = 1.0;
  for (std::int32_t i = 0; i < n; ++i) p *= 10.0;
  return p;
}

std::string ScaledText(double v, std::int32_t decimals, double scaled) {
  // A decimal fraction such as 1.005 lies a hair below its true value in binary; a few units
  // in the last place restore the half that the reader sees, so that it rounds up.
  double nudged = scaled + std::copysign(std::fabs(scaled) * 4 * DBL_EPSILON, scaled);
  std::int64_t n = std::llround(nudged);
  std::string digits = std::to_string(n < 0 ? -n : n);
  if (decimals > 0) {
    if (digits.size() <= std::size_t(decimals)) digits.insert(0, std::size_t(decimals) + 1 - digits.size(), '0');
    digits.insert(digits.size() - std::size_t(decimals), 1, DecimalChar());
  }
  if (n != 0 && v < 0) digits.insert(0, 1, '-');
  return digits;
}

}  // namespace

std::string NumberText(double v, std::int32_t decimals) {
  if (!std::isfinite(v)) return {};
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  double scaled = v * PowerOfTen(decimals);
  if (std::fabs(scaled) < kExactLimit) return ScaledText(v, decimals, scaled);
  // Too large for exact integer digits: the C library's rounding of the binary value.
  char buffer[DBL_MAX_10_EXP + kMaxDecimals + 8];
  std::snprintf(buffer, sizeof buffer, "%.*f", int(decimals), v);
  std::string text = buffer;
  if (std::size_t dot = text.find('.'); dot != std::string::npos) text[dot] = DecimalChar();
  return text;
}

std::int32_t NaturalDecimals(const Usual& number) {
  if (!HasType(number, T_FLOAT)) return 0;
  std::int32_t own = FloatDecimals(number);
  return own >= 0 ? own : Intl().decimals;
}

std::string NaturalText(const Usual& number) {
  std::string text = NumberText(NumberOf(number), NaturalDecimals(number));
  return text.empty() ? std::string(kDefaultWholeWidth, '*') : text;
}

TbStr NaturalString(const char* operation, const Usual& number) {
  // A small whole number's text is kept: most numbers a program or an error shows are small.
  if ((HasType(number, T_INT) || HasType(number, T_DWORD)) && WordOf(number) < kKeptNumbers)
    if (TbStr kept = KeptNumber(std::uint32_t(WordOf(number)))) return kept;
  char digits[16];
  std::to_chars_result written;
  switch (TypeOf(number)) {
    case T_INT: written = std::to_chars(digits, digits + sizeof digits, AsInt(number)); break;
    case T_DWORD: written = std::to_chars(digits, digits + sizeof digits, AsDword(number)); break;
    default: return MakeString(operation, NaturalText(number));
  }
  return MakeString(operation, digits, std::uint64_t(written.ptr - digits));
}

std::string FitWidth(const std::string& text, std::uint32_t width, bool zeros) {
  if (text.empty() || text.size() > width) return std::string(width, '*');
  std::size_t pad = width - text.size();
  if (!zeros) return std::string(pad, ' ') + text;
  std::size_t signs = text[0] == '-' ? 1 : 0;
  return text.substr(0, signs) + std::string(pad, '0') + text.substr(signs);
}

}  // namespace tb
