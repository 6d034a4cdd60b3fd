#include "documented_layout.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "tb28run/datetime.h"
#include "tb28run/numbers.h"
#include "tb28run/value_ops.h"

namespace {

class ValueTypesTest : public RuntimeTest {};

int dummy;

TEST_F(ValueTypesTest, EmptyOverEveryType) {
  TbArr none = nullptr;
  struct Case {
    const char* what;
    Usual value;
    bool empty;
  } cases[] = {
      {"NIL", NilValue(), true},
      {"0", IntValue(0), true},
      {"-1", IntValue(-1), false},
      {"0.0", Val(Psz2String("0.00")), true},
      {"0.01", Val(Psz2String("0.01")), false},
      {"2^31 as float", _DW2T(2147483648u), false},
      {"\"\"", S(""), true},
      {"blanks", S(" \t\r\n "), true},
      {"text after blanks", S("  x"), false},
      {".F.", LogicValue(false), true},
      {".T.", LogicValue(true), false},
      {"null array", ArrayValue(none), true},
      {"empty array", EmptyUsual(T_ARRAY), true},
      {"array of NILs", ArrayValue(ArrayCreate(1)), false},
      {"symbol 0", SymbolValue(0), true},
      {"symbol", SymbolValue(33), false},
      {"null pointer", PtrValue(nullptr), true},
      {"pointer", PtrValue(&dummy), false},
      {"null call pointer", Usual{0, T_PTR_CALL}, true},
      {"empty date", Usual{0, T_DATE}, true},
      {"date", Today(), false},
      {"null object", Usual{0, T_OBJECT}, true},
      {"null code block", Usual{0, T_CODEBLOCK}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(Empty(c.value) != 0, c.empty) << c.what;
}

TEST_F(ValueTypesTest, EmptyUsualGivesAnEmptyValueOfTheType) {
  const std::uint32_t types[] = {T_NIL,   T_INT,       T_DATE,   T_FLOAT, T_ARRAY, T_OBJECT, T_STRING,
                                 T_LOGIC, T_CODEBLOCK, T_SYMBOL, T_DWORD, T_PTR,   T_USUAL,  T_PTR_CALL};
  for (std::uint32_t type : types) {
    Usual v = EmptyUsual(type);
    EXPECT_NE(Empty(v), 0) << type;
    std::uint32_t expected = type == T_DWORD ? T_INT : type == T_PTR_CALL ? T_PTR : type;
    if (type == T_OBJECT || type == T_CODEBLOCK || type == T_USUAL) expected = T_NIL;
    EXPECT_EQ(UsualType(v), expected) << type;
  }
  Usual zero = EmptyUsual(T_FLOAT);
  EXPECT_EQ(Str(NTrim(zero)), "0.00");             // no decimals of its own: the setting's
  EXPECT_NE(AsArr(EmptyUsual(T_ARRAY)), nullptr);  // an array, not the null array
  EXPECT_EQ(Str(AsString(EmptyUsual(T_ARRAY))), "{[0]}");
}

TEST_F(ValueTypesTest, TypeTests) {
  struct Case {
    Usual value;
    std::uint32_t type;
    bool numeric, ptr, string, symbol, array;
  } cases[] = {
      {IntValue(1), T_INT, true, false, false, false, false},
      {_DW2T(3000000000u), T_FLOAT, true, false, false, false, false},
      {PtrValue(&dummy), T_PTR, false, true, false, false, false},
      {Usual{0, T_PTR_CALL}, T_PTR, false, true, false, false, false},
      {S("x"), T_STRING, false, false, true, false, false},
      {SymbolValue(5), T_SYMBOL, false, false, false, true, false},
      {EmptyUsual(T_ARRAY), T_ARRAY, false, false, false, false, true},
      {NilValue(), T_NIL, false, false, false, false, false},
      {LogicValue(true), T_LOGIC, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UsualType(c.value), c.type);
    EXPECT_EQ(IsNumeric(c.value) != 0, c.numeric) << c.type;
    EXPECT_EQ(IsPtr(c.value) != 0, c.ptr) << c.type;
    EXPECT_EQ(IsString(c.value) != 0, c.string) << c.type;
    EXPECT_EQ(IsSymbol(c.value) != 0, c.symbol) << c.type;
    EXPECT_EQ(IsArray(c.value) != 0, c.array) << c.type;
  }
}

TEST_F(ValueTypesTest, TypeNames) {
  const std::pair<std::uint32_t, const char*> names[] = {
      {0, "NIL"},       {1, "LONGINT"}, {2, "DATE"},       {3, "FLOAT"},
      {5, "ARRAY"},     {6, "OBJECT"},  {7, "STRING"},     {8, "LOGIC"},
      {9, "CODEBLOCK"}, {10, "SYMBOL"}, {14, "DWORD"},     {18, "PTR"},
      {19, "USUAL"},    {139, "PTR"},   {4, "UNKNOWN(4)"}, {4294967295u, "UNKNOWN(4294967295)"}};
  for (const auto& [code, name] : names) EXPECT_EQ(Str(TypeString(code)), name) << code;
}

// A value word, then the 32-bit type code: 8 bytes on i386. Arrays of them are the slots every
// call passes, so their size is the stride between arguments.
TEST_F(ValueTypesTest, ADynamicValueIsLaidOutAsDocumented) {
  const std::vector<DocumentedField> fields = {{"value", 0, Holds::Address}, {"type", 4, Holds::Word32}};
  ASSERT_EQ(LayOut(fields, 4).size, 8u);
  const Layout here = LayOut(fields);
  EXPECT_EQ(sizeof(Usual), here.size);
  Usual slots[2] = {S("first"), IntValue(-2)};
  EXPECT_EQ(ReadAt<std::uintptr_t>(slots, here.offsets[0]), reinterpret_cast<std::uintptr_t>(AsStr(slots[0])));
  EXPECT_EQ(ReadAt<std::uint32_t>(slots, here.offsets[1]), T_STRING);
  EXPECT_EQ(ReadAt<std::uint32_t>(slots, here.size + here.offsets[0]), 0xFFFFFFFEu);
  EXPECT_EQ(ReadAt<std::uint32_t>(slots, here.size + here.offsets[1]), T_INT);
}

}  // namespace
