// A function table of a test's own, handed to RTInit the way start-up hands the program's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tb28run/bringup.h"

template <std::size_t N>
struct TestFunctionTable {
  std::uint32_t symbols[N];
  FunctionPair pairs[N];  // row i belongs to symbols[i]
};

inline void ExitFromTableTest(std::uint32_t code) { std::_Exit(int(code)); }

// The pairs follow the symbols at the next position aligned for a pair.
inline std::int32_t RTInitWithList(std::uint32_t rows, const std::uint32_t* symbols) {
  static char commandLine[] = "";
  return RTInit(&ExitFromTableTest, 3, rows, symbols, commandLine, 68, 0, nullptr, nullptr, 1, 10, 1, 1, 1048576,
                nullptr);
}

template <std::size_t N>
std::int32_t RTInitWithTable(const TestFunctionTable<N>& table) {
  return RTInitWithList(std::uint32_t(N), table.symbols);
}
