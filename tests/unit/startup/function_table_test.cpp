#include <set>
#include <vector>

#include "app/start.h"
#include "documented_layout.h"
#include "program_fixture.h"
#include "startup/function_table.h"

namespace {

// The table's symbols and declared parameters, row by row.
struct Row {
  Sym symbol;
  std::uint32_t params;
};
constexpr Row kRows[] = {
    {444, 0}, {299, 3}, {390, 1}, {391, 1}, {392, 1}, {394, 1}, {86, 1},  {378, 1}, {239, 1}, {478, 1}, {480, 1},
    {424, 1}, {399, 1}, {483, 1}, {73, 3},  {426, 1}, {397, 1}, {425, 1}, {311, 1}, {395, 1}, {312, 1}, {313, 1},
    {360, 1}, {387, 1}, {485, 3}, {486, 3}, {240, 1}, {491, 2}, {492, 0}, {494, 3}, {184, 2}, {493, 2}, {495, 0},
    {496, 1}, {497, 0}, {499, 0}, {501, 2}, {502, 3}, {503, 0}, {504, 2}, {505, 1},
};

TEST(FunctionTableTest, FortyOneRowsWithTheirSymbolsAndParameterCounts) {
  ASSERT_EQ(FUNCTION_COUNT, 41u);
  ASSERT_EQ(std::size(kRows), std::size_t(FUNCTION_COUNT));
  std::set<Sym> seen;
  for (std::uint32_t i = 0; i < FUNCTION_COUNT; ++i) {
    EXPECT_EQ(FunctionTable.symbols[i], kRows[i].symbol) << "row " << i;
    EXPECT_EQ(FunctionTable.pairs[i].params, kRows[i].params) << "row " << i;
    EXPECT_NE(FunctionTable.pairs[i].function, nullptr) << "row " << i;
    EXPECT_TRUE(seen.insert(FunctionTable.symbols[i]).second) << "row " << i << " repeats a symbol";
  }
}

TEST(FunctionTableTest, TheTableLiesWhereTheDocumentedLayoutPutsIt) {
  const std::vector<DocumentedField> fields = DocumentedFunctionTable(FUNCTION_COUNT);
  const Layout i386 = LayOut(fields, 4);
  ASSERT_EQ(i386.size, 12u * FUNCTION_COUNT);
  for (std::size_t i = 0; i < fields.size(); ++i) ASSERT_EQ(i386.offsets[i], fields[i].i386Offset);
  const Layout here = LayOut(fields);
  EXPECT_EQ(sizeof FunctionTable, here.size);
  for (std::uint32_t i = 0; i < FUNCTION_COUNT; ++i) {
    EXPECT_EQ(ReadAt<std::uint32_t>(&FunctionTable, here.offsets[i]), kRows[i].symbol) << "row " << i;
    EXPECT_EQ(ReadAt<std::uint32_t>(&FunctionTable, here.offsets[FUNCTION_COUNT + 2 * i + 1]), kRows[i].params)
        << "row " << i;
  }
  EXPECT_EQ(ReadAt<KestFn>(&FunctionTable, here.offsets[FUNCTION_COUNT]), &Start) << "row 0";
#if defined(_WIN32)
  // A runtime export in a constant table is the program's import stub, which no address taken
  // through the import table equals: the row's own pointer stands in for it.
  const KestFn arrayBuild = FunctionTable.pairs[38].function;
#else
  const KestFn arrayBuild = &ArrayBuild;
#endif
  EXPECT_EQ(ReadAt<KestFn>(&FunctionTable, here.offsets[FUNCTION_COUNT + 2 * 38]), arrayBuild) << "row 38";
}

class FunctionTableCallTest : public ProgramTest {};

// The runtime finds a row by its symbol and calls it with the row's declared count.
TEST_F(FunctionTableCallTest, TheRuntimeCallsRowsBySymbol) {
  ASSERT_EQ(ModuleInit(), 0);
  TbArr args = ArrayCreate(3);
  ArrayPut(args, 1, IntValue(7));
  ArrayPut(args, 2, IntValue(3));
  ArrayPut(args, 3, IntValue(0));
  EXPECT_EQ(Str(_CallKestFunc(SYM_STRZERO, args)), "007");
  TbArr none = ArrayCreate(0);
  Usual built = _CallKestFunc(SYM_ARRAYBUILD, none);
  ASSERT_EQ(built.type, T_ARRAY);
  EXPECT_EQ(ALen(AsArr(built)), 0u);
}

}  // namespace
