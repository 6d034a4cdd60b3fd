#include "error_recorder.h"
#include "kest_call.h"
#include "runtime_fixture.h"
#include "tb28run/datetime.h"
#include "tb28run/intl.h"

namespace {

class IntlSettingsTest : public RuntimeTest {
 protected:
  static Usual Query(KestFn setter) { return KestCall(setter, 1, {}); }
  static Usual Set(KestFn setter, Usual value) { return KestCall(setter, 1, {value}); }
};

TEST_F(IntlSettingsTest, DynamicSettersAnswerThePreviousValue) {
  struct Case {
    const char* name;
    KestFn setter;
    Usual initial, first, second;
  } cases[] = {
      {"_SetIntl", _SetIntl, IntValue(0), IntValue(1), IntValue(7)},
      {"_SetDict", _SetDict, LogicValue(false), LogicValue(true), Usual{2, T_LOGIC}},
      {"SetAmPm", SetAmPm, LogicValue(false), LogicValue(true), LogicValue(false)},
      {"SetCentury", SetCentury, LogicValue(false), LogicValue(true), LogicValue(false)},
      {"SetDecimalSep", SetDecimalSep, IntValue('.'), IntValue(','), IntValue(0)},
      {"SetThousandSep", SetThousandSep, IntValue(','), IntValue('.'), IntValue(' ')},
      {"SetDecimal", SetDecimal, IntValue(2), IntValue(0), IntValue(64)},
      {"SetEpoch", SetEpoch, IntValue(1900), IntValue(1910), IntValue(1950)},
  };
  auto same = [](Usual a, Usual b) { return a.type == b.type && a.value == b.value; };
  for (const Case& c : cases) {
    EXPECT_TRUE(same(Query(c.setter), c.initial)) << c.name;
    EXPECT_TRUE(same(Set(c.setter, c.first), c.initial)) << c.name;
    EXPECT_TRUE(same(Set(c.setter, NilValue()), c.first)) << c.name << ": NIL only asks";
    EXPECT_TRUE(same(Set(c.setter, c.second), c.first)) << c.name;
    EXPECT_TRUE(same(Query(c.setter), c.second)) << c.name;
  }
}

TEST_F(IntlSettingsTest, ModeFromLogicals) {
  struct Case {
    Usual value;
    std::int32_t mode;
  } cases[] = {{LogicValue(true), 1}, {LogicValue(false), 0}, {Usual{2, T_LOGIC}, 2}, {Usual{5, T_LOGIC}, 1}};
  for (const Case& c : cases) {
    Set(_SetIntl, c.value);
    EXPECT_EQ(AsInt(Query(_SetIntl)), c.mode);
  }
}

TEST_F(IntlSettingsTest, BadValuesChangeNothing) {
  ErrorRecorder::Install();
  Set(SetDecimal, IntValue(-1));
  Set(SetDecimal, IntValue(65));
  Set(SetDecimalSep, IntValue(256));
  Set(SetEpoch, S("1910"));
  Set(SetCentury, IntValue(1));
  Set(_SetIntl, S("WINDOWS"));
  EXPECT_EQ(AsInt(Query(SetDecimal)), 2);
  EXPECT_EQ(AsInt(Query(SetDecimalSep)), '.');
  EXPECT_EQ(AsInt(Query(SetEpoch)), 1900);
  EXPECT_EQ(Query(SetCentury).value, 0u);
  EXPECT_EQ(AsInt(Query(_SetIntl)), 0);
  ASSERT_EQ(ErrorRecorder::Raised().size(), 6u);
  EXPECT_EQ(ErrorRecorder::Raised()[0].operation, "SetDecimal");
  EXPECT_FALSE(ErrorRecorder::Raised()[0].canRetry);  // the same number would fail again

  ErrorRecorder::Answer(IntValue(4));
  Set(SetDecimal, IntValue(100));
  EXPECT_EQ(AsInt(Query(SetDecimal)), 4);
}

TEST_F(IntlSettingsTest, PlainSettersTakeEffectAndTheResetForgetsThem) {
  SetDateFrmt(Psz2String("DD.MM.YYYY"));
  EXPECT_EQ(Str(DToC(Usual{2451545, T_DATE})), "01.01.2000");
  SetDateFrmt(nullptr);
  EXPECT_EQ(Str(DToC(Usual{2451545, T_DATE})), "");
  Set(SetDecimal, IntValue(5));
  TbTestReset();
  EXPECT_EQ(AsInt(Query(SetDecimal)), 2);
  EXPECT_EQ(Str(DToC(Usual{2451545, T_DATE})), "01/01/00");
}

}  // namespace
