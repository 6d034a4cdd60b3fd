// GetUserDefaultLCID and GetLocaleInfoA, answered from the POSIX locale in force.
//
// The locale in force for a category is named by LC_ALL, else by the category's variable
// (LC_NUMERIC for the number settings, LC_TIME for the date and time settings), else by LANG,
// else it is "C". It is read from the environment at every call, as the Windows user locale is
// a setting of the user rather than of the program. The C and POSIX locales (C.UTF-8 too, and a
// name that newlocale does not know, since a program would stay in C then) answer exactly what
// Windows answers for en-US. Any other locale is asked through nl_langinfo_l, and its answers
// are translated into Windows terms by LocaleInfoFromLangInfo (locale_translation.cpp).
//
// The LCID argument is not consulted: the answer is always that of the locale in force. Every
// answer, a test hook's too, follows the size rules of CopyLocaleAnswer.
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <win32_locale_translation.h>

#include "hooks.h"

namespace {

std::string LocaleName(const char* categoryVariable) {
  for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
    if (variable == nullptr) continue;
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

bool IsCLocale(const std::string& name) { return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0; }

// A POSIX locale for one category, or none when the name is C-like or unknown.
class PosixLocale {
 public:
  PosixLocale(int mask, const char* categoryVariable) {
    std::string name = LocaleName(categoryVariable);
    if (!IsCLocale(name)) locale_ = newlocale(mask, name.c_str(), static_cast<locale_t>(nullptr));
  }
  ~PosixLocale() {
    if (locale_ != nullptr) freelocale(locale_);
  }
  PosixLocale(const PosixLocale&) = delete;
  PosixLocale& operator=(const PosixLocale&) = delete;

  bool IsC() const { return locale_ == nullptr; }
  std::string Item(nl_item item) const { return nl_langinfo_l(item, locale_); }

 private:
  locale_t locale_ = nullptr;
};

// What Windows answers for en-US.
std::optional<std::string> EnglishUS(LCTYPE type) {
  switch (type) {
    case LOCALE_SDECIMAL: return ".";
    case LOCALE_STHOUSAND: return ",";
    case LOCALE_IDIGITS: return "2";
    case LOCALE_SDATE: return "/";
    case LOCALE_STIME: return ":";
    case LOCALE_SSHORTDATE: return "M/d/yyyy";
    case LOCALE_IDATE: return "0";
    case LOCALE_ITIME: return "0";
    case LOCALE_S1159: return "AM";
    case LOCALE_S2359: return "PM";
    default: return std::nullopt;
  }
}

// GetLocaleInfoA's answer from the POSIX locale in force: C-like locales answer as en-US, any
// other through what its nl_langinfo says.
int LocaleAnswer(LCTYPE type, LPSTR data, int size) {
  switch (type) {
    case LOCALE_SDECIMAL:
    case LOCALE_STHOUSAND:
    case LOCALE_IDIGITS: {
      PosixLocale locale(LC_NUMERIC_MASK, "LC_NUMERIC");
      if (locale.IsC()) break;
      win32::LangInfo info;
      info.radix = locale.Item(RADIXCHAR);
      info.thousands = locale.Item(THOUSEP);
      return win32::LocaleInfoFromLangInfo(type, info, LocaleName("LC_NUMERIC"), data, size);
    }
    case LOCALE_SDATE:
    case LOCALE_STIME:
    case LOCALE_SSHORTDATE:
    case LOCALE_IDATE:
    case LOCALE_ITIME:
    case LOCALE_S1159:
    case LOCALE_S2359: {
      PosixLocale locale(LC_TIME_MASK, "LC_TIME");
      if (locale.IsC()) break;
      win32::LangInfo info;
      info.dateFormat = locale.Item(D_FMT);
      info.timeFormat = locale.Item(T_FMT);
      info.am = locale.Item(AM_STR);
      info.pm = locale.Item(PM_STR);
      return win32::LocaleInfoFromLangInfo(type, info, LocaleName("LC_TIME"), data, size);
    }
    default: break;
  }
  std::optional<std::string> answer = EnglishUS(type);
  if (!answer) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  return win32::CopyLocaleAnswer(*answer, data, size);
}

struct KnownLocale {
  const char* name;  // language_TERRITORY
  LCID lcid;
};

constexpr KnownLocale kKnownLocales[] = {
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_IE", 0x1809}, {"de_DE", 0x0407},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C},
    {"it_IT", 0x0410}, {"it_CH", 0x0810}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"nl_NL", 0x0413}, {"nl_BE", 0x0813},
    {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"da_DK", 0x0406}, {"sv_SE", 0x041D}, {"nb_NO", 0x0414}, {"fi_FI", 0x040B},
    {"pl_PL", 0x0415}, {"cs_CZ", 0x0405}, {"hu_HU", 0x040E}, {"el_GR", 0x0408}, {"tr_TR", 0x041F}, {"ru_RU", 0x0419},
    {"ja_JP", 0x0411}, {"ko_KR", 0x0412}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404},
};

}  // namespace

extern "C" {

// 0x0409 for C, POSIX and en_US; the LCID of a few common language_TERRITORY pairs; otherwise
// LOCALE_USER_DEFAULT. The locale is that of LC_ALL, else LC_NUMERIC, else LC_TIME, else LANG.
LCID WINAPI GetUserDefaultLCID(void) {
  std::string name = "C";
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      name = value;
      break;
    }
  }
  if (IsCLocale(name)) return 0x0409;
  name = win32::LanguageTerritory(name);
  for (const KnownLocale& known : kKnownLocales) {
    if (name == known.name) return known.lcid;
  }
  return LOCALE_USER_DEFAULT;
}

int WINAPI GetLocaleInfoA(LCID /*locale*/, LCTYPE type, LPSTR data, int size) {
  if ((type & LOCALE_RETURN_NUMBER) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  type &= ~static_cast<LCTYPE>(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP);
  std::optional<std::string> answer;
  bool hooked = false;
  {
    auto& hooks = win32::Hooks();
    auto it = hooks.localeAnswers.find(type);
    if (it != hooks.localeAnswers.end()) {
      hooked = true;
      answer = it->second;
    }
  }
  if (!hooked) return LocaleAnswer(type, data, size);
  if (!answer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return win32::CopyLocaleAnswer(*answer, data, size);
}

}  // extern "C"
