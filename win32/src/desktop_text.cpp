// DesktopText (win32_desktop_dialog.h): the program's 8-bit texts made fit for GTK, which takes
// UTF-8 only and would drop or refuse anything else.
#include <win32_desktop_dialog.h>

#include <cstdint>

namespace win32 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 at 0x80 to 0x9F; 0 where it defines no character.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t FromWindows1252(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  char16_t mapped = kWindows1252High[byte - 0x80];
  return mapped != 0 ? mapped : kReplacement;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of the well-formed UTF-8 sequence at `at` and its length; length 0 when the
// bytes there are not one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t DecodeUtf8(std::string_view bytes, std::size_t at, char32_t& point) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  unsigned char lead = byte(0);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead < 0x80) {
    point = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    point = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    point = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() - at < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
    point = point << 6 | (byte(i) & 0x3F);
  }
  return length;
}

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | point >> 6);
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | point >> 12);
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | point >> 18);
    out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

// What a character other than a line end shows as.
char32_t Shown(char32_t point, DesktopLines lines) {
  if (point == '\t') return lines == DesktopLines::Kept ? point : U' ';
  if (point < 0x20) return 0x2400 + point;
  if (point == 0x7F) return 0x2421;
  if (point >= 0x80 && point < 0xA0) return kReplacement;
  return point;
}

}  // namespace

std::string DesktopText(std::string_view bytes, DesktopLines lines) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char c = bytes[at];
    if (c == '\r' || c == '\n') {
      at += c == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
      out += lines == DesktopLines::Kept ? '\n' : ' ';
      continue;
    }
    char32_t point;
    std::size_t length = DecodeUtf8(bytes, at, point);
    if (length == 0) {
      point = FromWindows1252(static_cast<unsigned char>(c));
      length = 1;
    }
    AppendUtf8(out, Shown(point, lines));
    at += length;
  }
  return out;
}

}  // namespace win32
