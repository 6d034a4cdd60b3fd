// What a POSIX locale says about numbers, dates and times, put in the terms GetLocaleInfoA
// answers in. For a locale other than C, GetLocaleInfoA asks nl_langinfo and answers through
// LocaleInfoFromLangInfo: the answer depends on these texts and the locale's name alone.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// nl_langinfo's answers: the number items from the LC_NUMERIC locale, the date and time items
// from the LC_TIME one. An item of the other category may stay empty: it is not consulted.
struct LangInfo {
  std::string radix;       // RADIXCHAR
  std::string thousands;   // THOUSEP
  std::string dateFormat;  // D_FMT
  std::string timeFormat;  // T_FMT
  std::string am;          // AM_STR
  std::string pm;          // PM_STR
};

// GetLocaleInfoA's answer for `type` (its flags taken off) in the locale `localeName`
// ("de_DE.UTF-8") that answered `info`, written by CopyLocaleAnswer's rules. A type that is not
// answered fails with ERROR_INVALID_FLAGS.
int LocaleInfoFromLangInfo(LCTYPE type, const LangInfo& info, const std::string& localeName, LPSTR data, int size);

// The size rules every locale answer follows: the count of characters written, NUL included;
// size 0 asks for that count; a buffer too small fails with ERROR_INSUFFICIENT_BUFFER and is left
// untouched (Windows may write part of the answer; untouched is our choice); a negative size, or
// a size without a buffer, fails with ERROR_INVALID_PARAMETER.
int CopyLocaleAnswer(const std::string& answer, LPSTR data, int size);

// "de_DE" of "de_DE.UTF-8@euro".
std::string LanguageTerritory(const std::string& name);

}  // namespace win32
