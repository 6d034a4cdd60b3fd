#include "symbols_table.h"

#include <deque>
#include <string>
#include <unordered_map>

#include "heap.h"
#include "predefined_symbols.h"
#include "tb28run/symbols.h"

namespace tb {
namespace {

struct Table {
  bool ready = false;
  std::deque<std::string> names;  // index = symbol number; 0 is the empty symbol (a deque never moves them)
  std::unordered_map<std::string_view, Sym> numbers;
  std::uint64_t nameBytes = 0;
  std::uint32_t maxNameBytes = 0;  // 0: no limit
  std::uint32_t maxNames = 0;
};

Table& Symbols() {
  static Table table;
  return table;
}

Sym Add(std::string_view name) {
  Table& t = Symbols();
  t.names.emplace_back(name);
  Sym number = Sym(t.names.size() - 1);
  t.numbers.emplace(std::string_view(t.names.back()), number);
  t.nameBytes += name.size() + 1;
  return number;
}

}  // namespace

void SymbolsInit() {
  Table& t = Symbols();
  SymbolsClear();
  // Room for the runtime's names and a program's first ones, so that filling it never rehashes.
  t.numbers.reserve(2 * FIRST_PROGRAM_SYMBOL);
  t.names.emplace_back();  // the empty symbol
  for (Sym n = 1; n < FIRST_PROGRAM_SYMBOL; ++n) Add(PredefinedSymbolName(n));
  t.nameBytes = 0;  // the runtime's own names do not count against the program's limits
  t.ready = true;
}

void SymbolsClear() {
  Table& t = Symbols();
  t.names.clear();
  t.names.shrink_to_fit();
  t.numbers.clear();
  t.nameBytes = 0;
  t.maxNameBytes = 0;
  t.maxNames = 0;
  t.ready = false;
}

bool SymbolsReady() { return Symbols().ready; }

void SymbolLimits(std::uint32_t maxNameBytes, std::uint32_t maxNames) {
  Symbols().maxNameBytes = maxNameBytes;
  Symbols().maxNames = maxNames;
}

Sym InternExact(std::string_view name) {
  Table& t = Symbols();
  if (!t.ready) return 0;
  if (auto it = t.numbers.find(name); it != t.numbers.end()) return it->second;
  std::uint32_t programNames = std::uint32_t(t.names.size()) - FIRST_PROGRAM_SYMBOL;
  if (t.maxNames && programNames >= t.maxNames) return 0;
  if (t.maxNameBytes && t.nameBytes + name.size() + 1 > t.maxNameBytes) return 0;
  return Add(name);
}

Sym LookupExact(std::string_view name) {
  Table& t = Symbols();
  auto it = t.numbers.find(name);
  return it == t.numbers.end() ? 0 : it->second;
}

std::string_view NameOf(Sym symbol) {
  Table& t = Symbols();
  if (symbol == 0 || symbol >= t.names.size()) return {};
  return t.names[symbol];
}

std::uint32_t SymbolCount() { return Symbols().names.empty() ? 0 : std::uint32_t(Symbols().names.size() - 1); }

}  // namespace tb

TBRT const char* Symbol2String(Sym symbol) {
  std::string_view name = tb::NameOf(symbol);
  return name.empty() ? "" : name.data();
}

TBRT Sym String2Symbol(TbStr name) {
  std::uint32_t n = name ? name->length : 0;
  if (n == 0) return 0;
  std::string upper(name->text, n);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return tb::InternExact(upper);
}
