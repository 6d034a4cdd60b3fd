// The mode reported and returned, the two fixed modes, and modes that are not known.
#include "intl_fixture.h"

namespace {

using SetInternationalTest = IntlTest;

// A state far from both fixed modes.
void Scramble() {
  CallKest<1>(SetDecimalSep, IntValue(','));
  CallKest<1>(SetThousandSep, IntValue('.'));
  SetTimeSep('h');
  CallKest<1>(SetAmPm, LogicValue(true));
  SetAMExt(Psz2String("vorm."));
  SetPMExt(Psz2String("nachm."));
  SetDateFrmt(Psz2String("YYYY-MM-DD"));
  CallKest<1>(SetDecimal, IntValue(5));
  CallKest<1>(_SetDict, LogicValue(true));
  CallKest<1>(_SetIntl, IntValue(1));
  CallKest<1>(SetCentury, LogicValue(true));
  CallKest<1>(SetEpoch, IntValue(1950));
}

TEST_F(SetInternationalTest, WithoutAnArgumentItOnlyReportsTheMode) {
  struct Case {
    std::int32_t runtimeMode;
    Sym reported;
  } cases[] = {{1, SYM_WINDOWS}, {2, SYM_BINARY}, {0, SYM_KESTRAN}, {3, SYM_KESTRAN}, {-1, SYM_KESTRAN}};
  for (const Case& c : cases) {
    Scramble();
    Set(_SetIntl, IntValue(c.runtimeMode));
    IntlSnapshot before = Snapshot();
    EXPECT_TRUE(IsSymbol(ReportIntl(), c.reported)) << c.runtimeMode;
    EXPECT_EQ(Snapshot(), before);
  }
  EXPECT_TRUE(Received().empty());
}

TEST_F(SetInternationalTest, EachCallReturnsTheModeInForceBeforeIt) {
  Set(_SetIntl, IntValue(2));
  struct Step {
    Sym mode, returned;
  } steps[] = {{SYM_KESTRAN, SYM_BINARY},
               {SYM_WINDOWS, SYM_KESTRAN},
               {SYM_BINARY, SYM_WINDOWS},
               {SYM_WINDOWS, SYM_BINARY},
               {SYM_WINDOWS, SYM_WINDOWS}};
  for (const Step& s : steps) {
    EXPECT_TRUE(IsSymbol(SetIntl(SymbolValue(s.mode)), s.returned)) << Symbol2String(s.mode);
  }
  EXPECT_TRUE(Received().empty());
}

TEST_F(SetInternationalTest, TheFixedModes) {
  struct Case {
    Sym mode;
    std::int32_t runtimeMode;
    std::uintptr_t dict;
  } cases[] = {{SYM_KESTRAN, 0, 0}, {SYM_BINARY, 2, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Symbol2String(c.mode));
    Scramble();
    EXPECT_TRUE(IsSymbol(SetIntl(SymbolValue(c.mode)), SYM_WINDOWS));
    IntlSnapshot expected{c.runtimeMode, c.dict,     '.',        ',',        false,      false,     2,
                          1950,          "09:07:08", "21:07:08", "03/05/24", "03/05/24", " 1234.00"};
    EXPECT_EQ(Snapshot(), expected) << "the epoch stays as it was";
    // The clock extensions are emptied, not merely hidden by the 24-hour clock.
    Set(SetAmPm, LogicValue(true));
    EXPECT_EQ(TimeAt(9), "09:07:08");
    EXPECT_EQ(TimeAt(21), "09:07:08");
  }
  EXPECT_TRUE(Received().empty());
}

TEST_F(SetInternationalTest, TheEpochOfTheWindowsModeOutlastsAFixedMode) {
  SetIntl(SymbolValue(SYM_WINDOWS));
  SetIntl(SymbolValue(SYM_KESTRAN));
  EXPECT_EQ(AsInt(Query(SetEpoch)), 1910);
  EXPECT_EQ(Query(SetCentury).value, 0u);
}

TEST_F(SetInternationalTest, AnUnknownModeReachesTheCallersBlockAndChangesNothing) {
  Sym sideways = SysAddAtom("SIDEWAYS");
  struct Case {
    const char* name;
    Usual mode;
    std::vector<Usual> answers;  // the caller's block answers these, then the default
    std::vector<ReceivedError> expected;
  } cases[] = {
      {"another symbol", SymbolValue(SYM_ERROR), {}, {{"International", 30, "", "ERROR", true}}},
      {"the empty symbol", SymbolValue(0), {}, {{"International", 30, "", "", true}}},
      // A value that is no symbol is first an argument error of the conversion; its default, the
      // empty symbol, is then the unknown mode.
      {"a string",
       S("WINDOWS"),
       {},
       {{"TB28RUN", 1, "_P2Symbol", "WINDOWS", true}, {"International", 30, "", "", true}}},
      {"a string replaced by an unknown symbol",
       S("x"),
       {SymbolValue(sideways)},
       {{"TB28RUN", 1, "_P2Symbol", "x", true}, {"International", 30, "", "SIDEWAYS", true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scramble();
    Received().clear();
    for (const Usual& answer : c.answers) ErrorRecorder::Answer(answer);
    IntlSnapshot before = Snapshot();
    EXPECT_TRUE(IsSymbol(SetIntl(c.mode), SYM_WINDOWS));
    EXPECT_EQ(Snapshot(), before);
    ASSERT_EQ(Received().size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      const RaisedError& got = Received()[i];
      const ReceivedError& want = c.expected[i];
      EXPECT_EQ(got.subsystem, want.subsystem) << i;
      EXPECT_EQ(got.gencode, want.gencode) << i;
      EXPECT_EQ(got.operation, want.operation) << i;
      EXPECT_EQ(got.arg, want.arg) << i;
      EXPECT_EQ(got.canDefault, want.canDefault) << i;
    }
    EXPECT_TRUE(IsCallerBlock(CallKest<declared::ErrorBlock>(ErrorBlock)));
  }
}

TEST_F(SetInternationalTest, AStringReplacedByAModeAppliesIt) {
  Scramble();
  ErrorRecorder::Answer(SymbolValue(SYM_BINARY));
  EXPECT_TRUE(IsSymbol(SetIntl(S("BINARY")), SYM_WINDOWS));
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_EQ(Received()[0].operation, "_P2Symbol");
  EXPECT_EQ(AsInt(Query(_SetIntl)), 2);
}

}  // namespace
