// Comparing and searching strings.
#include <cstring>
#include <string_view>

#include "heap.h"
#include "tb28run/strings.h"

namespace {

std::string_view View(TbStr s) { return {tb::Text(s), tb::Length(s)}; }

}  // namespace

TBRT std::int32_t _CPSE(TbStr a, TbStr b) { return View(a) == View(b) ? 1 : 0; }

TBRT std::int32_t _CPPSZ(const char* a, const char* b) { return std::strcmp(a ? a : "", b ? b : "") == 0 ? 1 : 0; }

TBRT std::uint32_t At(TbStr needle, TbStr haystack) {
  if (tb::Length(needle) == 0) return 0;
  std::size_t at = View(haystack).find(View(needle));
  return at == std::string_view::npos ? 0 : std::uint32_t(at + 1);
}

TBRT std::uint32_t _INSTR(TbStr needle, TbStr haystack) { return At(needle, haystack) ? 1 : 0; }
