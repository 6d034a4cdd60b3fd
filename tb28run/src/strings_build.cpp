// Making strings: concatenation, blanks, characters, work buffers and copies of memory.
#include <string>

#include "heap.h"
#include "string_make.h"
#include "tb28run/memory.h"
#include "tb28run/strings.h"

TBRT TbStr _CCS(TbStr a, TbStr b) {
  std::uint64_t total = std::uint64_t(tb::Length(a)) + tb::Length(b);
  if (total > tb::kMaxStringLength) return tb::MakeString("_CCS", nullptr, total);  // raises the overflow
  std::string joined;
  joined.reserve(total);
  joined.append(tb::Text(a), tb::Length(a)).append(tb::Text(b), tb::Length(b));
  return tb::MakeString("_CCS", joined);
}

TBRT TbStr Space(std::uint32_t count) { return tb::MakeFilled("Space", count, ' '); }

TBRT TbStr Chr(std::uint32_t code) {
  char c = char(code & 0xFF);
  return tb::MakeString("Chr", &c, 1);
}

TBRT char* StringAlloc(std::uint32_t count) {
  if (count == UINT32_MAX) return nullptr;  // count + 1 bytes cannot be asked for
  auto* buffer = static_cast<char*>(MemAlloc(count + 1));
  if (buffer) buffer[count] = '\0';
  return buffer;
}

TBRT TbStr Mem2String(const void* bytes, std::uint32_t count) {
  if (!bytes) count = 0;
  return tb::MakeString("Mem2String", static_cast<const char*>(bytes), count);
}
