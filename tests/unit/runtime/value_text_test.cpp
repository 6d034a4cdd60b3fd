#include <cstdio>

#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/arrays.h"
#include "tb28run/intl.h"
#include "tb28run/numbers.h"
#include "tb28run/value_ops.h"

namespace {

class ValueTextTest : public RuntimeTest {};

TEST_F(ValueTextTest, TextFormOfEveryKindOfValue) {
  Sym named = SysAddAtom("QUORL");
  struct Case {
    Usual value;
    const char* text;
  } cases[] = {
      {S("as is"), "as is"},
      {Usual{0, T_STRING}, ""},
      {IntValue(-12), "-12"},
      {IntValue(0), "0"},
      {IntValue(INT32_MIN), "-2147483648"},
      {IntValue(INT32_MAX), "2147483647"},
      {Usual{4294967295u, T_DWORD}, "4294967295"},
      {Usual{7, T_DWORD}, "7"},
      {Val(Psz2String("3.50")), "3.50"},
      {_DW2T(3221225477u), "3221225477"},
      {LogicValue(true), ".T."},
      {LogicValue(false), ".F."},
      {NilValue(), "NIL"},
      {Usual{2451545, T_DATE}, "01/01/00"},
      {Usual{0, T_DATE}, "  /  /  "},
      {SymbolValue(named), "QUORL"},
      {SymbolValue(0), ""},
      {EmptyUsual(T_ARRAY), "{[0]}"},
      {ArrayValue(ArrayCreate(3)), "{[3]}"},
      {Usual{0, T_ARRAY}, "{[0]}"},
      {Usual{0, T_OBJECT}, "{OBJECT}"},
      {Usual{1, T_CODEBLOCK}, "{CODEBLOCK}"},
      {Usual{1, 42}, "{UNKNOWN(42)}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Str(AsString(c.value)), c.text) << c.text;
    EXPECT_STREQ(AsPsz(c.value), c.text);
    if (c.value.type == T_INT || c.value.type == T_DWORD) {
      EXPECT_EQ(Str(NTrim(c.value)), c.text) << c.text;
    }
  }
}

TEST_F(ValueTextTest, PointersShowEveryDigitOfTheAddress) {
  char buffer[40];
  std::uintptr_t address = sizeof(void*) == 8 ? std::uintptr_t(0x00007FFA12345678ull) : std::uintptr_t(0x0040ABCDu);
  std::snprintf(buffer, sizeof buffer, "0x%0*llX", int(2 * sizeof(void*)), static_cast<unsigned long long>(address));
  EXPECT_EQ(Str(AsString(PtrValue(reinterpret_cast<void*>(address)))), buffer);
  EXPECT_EQ(Str(AsString(Usual{0, T_PTR_CALL})), "0x" + std::string(2 * sizeof(void*), '0'));
}

TEST_F(ValueTextTest, FloatsFollowTheSettings) {
  KestCall(SetDecimal, 1, {IntValue(3)});
  KestCall(SetDecimalSep, 1, {IntValue(',')});
  EXPECT_EQ(Str(AsString(_PAD(EmptyUsual(T_FLOAT), IntValue(2)))), "2,000");
  EXPECT_EQ(Str(AsString(IntValue(2))), "2");
}

}  // namespace
