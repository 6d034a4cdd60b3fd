// A runtime error while a mode is applied: the applying stops there and nothing reaches the caller.
#if !defined(_WIN32)
#include <win32_testing.h>

#include "intl_fixture.h"

namespace {

using RecoveryTest = IntlTest;

constexpr LCTYPE kQueries[] = {LOCALE_SDECIMAL, LOCALE_STHOUSAND, LOCALE_STIME, LOCALE_ITIME,      LOCALE_S1159,
                               LOCALE_S2359,    LOCALE_IDATE,     LOCALE_SDATE, LOCALE_SSHORTDATE, LOCALE_IDIGITS};

TEST_F(RecoveryTest, ASettingThatRaisesEndsTheApplyingQuietly) {
  // A digit count the runtime refuses: SetDecimal raises an argument error, after every other
  // locale setting and before the dictionary, century and epoch.
  for (const char* digits : {"99", "-1"}) {
    SCOPED_TRACE(digits);
    for (LCTYPE type : kQueries) Win32TestSetLocaleAnswer(type, nullptr);
    Win32TestSetLocaleAnswer(LOCALE_SDECIMAL, ",");
    Win32TestSetLocaleAnswer(LOCALE_IDATE, "1");
    Win32TestSetLocaleAnswer(LOCALE_SDATE, ".");
    Win32TestSetLocaleAnswer(LOCALE_SSHORTDATE, "dd.MM.yyyy");
    Win32TestSetLocaleAnswer(LOCALE_IDIGITS, digits);
    SetIntl(SymbolValue(SYM_KESTRAN));
    Set(SetEpoch, IntValue(1950));
    Received().clear();
    std::uint32_t outer = LabelPush();  // a recovery point of the caller's, which must survive
    std::uint32_t blocks = TbTestLiveMemBlocks();
    std::uint32_t allocations = TbTestCallCount(TB_HOOK_MEMALLOC);

    EXPECT_TRUE(IsSymbol(SetIntl(SymbolValue(SYM_WINDOWS)), SYM_KESTRAN));

    IntlSnapshot expected{
        1, 0, ',', ',', true, false, 2, 1950, "09:07:08 am", "09:07:08 pm", "05.03.2024", "05.03.2024", " 1234,00"};
    EXPECT_EQ(Snapshot(), expected) << "what was set stays; decimals, dictionary, century and epoch are untouched";
    EXPECT_TRUE(Received().empty()) << "no error reaches the caller's block";
    EXPECT_TRUE(IsCallerBlock(CallKest<declared::ErrorBlock>(ErrorBlock)));
    EXPECT_EQ(TbTestCallCount(TB_HOOK_MEMALLOC), allocations + 1);
    EXPECT_EQ(TbTestLiveMemBlocks(), blocks) << "the work buffer is freed";

    // The caller's own recovery point is the innermost again.
    try {
      LabelJump(IntValue(7));
    } catch (const TbBreak& jump) {
      EXPECT_EQ(jump.label, outer);
    }
    LabelPop();
    EXPECT_EQ(CanBreak(), 0);

    // And the caller's block handles the next error again.
    _P2Object(IntValue(1));
    ASSERT_EQ(Received().size(), 1u);
    EXPECT_EQ(Received()[0].operation, "_P2Object");
  }
}

}  // namespace
#endif
