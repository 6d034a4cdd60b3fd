// ErrorLogHex and ErrorLogHexBytes over values of every type: the result is always a string of
// the documented shape, and the bytes of a string come back from their rendering.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "errors/error_log_hex.h"
#include "fuzz_session.h"
#include "program_input.h"
#include "runtime/call.h"
#include "value_maker.h"

namespace {

std::string Text(Usual value) { return fuzz::StringOf(value, "a hexadecimal rendering is not a string"); }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

int DigitValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

// "41 42 " for "AB": two upper-case digits and a blank a byte.
void CheckBytes(const std::string& bytes, const std::string& rendered) {
  if (rendered.size() != 3 * bytes.size()) fuzz::Finding("ErrorLogHexBytes: not three characters a byte");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char* at = rendered.data() + 3 * i;
    if (!IsHexDigit(at[0]) || !IsHexDigit(at[1]) || at[2] != ' ') fuzz::Finding("ErrorLogHexBytes: a malformed byte");
    if (DigitValue(at[0]) * 16 + DigitValue(at[1]) != static_cast<unsigned char>(bytes[i]))
      fuzz::Finding("ErrorLogHexBytes: a byte does not come back");
  }
}

void CheckWords(Usual value, const std::string& rendered) {
  if (rendered.size() != 8 && rendered.size() != 16) fuzz::Finding("ErrorLogHex: neither 8 nor 16 digits");
  for (char c : rendered)
    if (!IsHexDigit(c)) fuzz::Finding("ErrorLogHex: not a hexadecimal digit");
  if (value.type == T_INT || value.type == T_DWORD || value.type == T_LOGIC || value.type == T_DATE ||
      value.type == T_SYMBOL) {
    char expected[9];
    std::snprintf(expected, sizeof expected, "%08X", unsigned(std::uint32_t(value.value)));
    if (rendered != expected) fuzz::Finding("ErrorLogHex: a 32-bit word rendered wrongly");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::AnsweredInput input(data, size);
  auto& [in, session, roots, maker] = input;
  // A float's decimals are told by the separator in force.
  if (in.ConsumeBool()) CallKest<1>(SetDecimalSep, IntValue(in.ConsumeIntegralInRange(0, 255)));
  if (in.ConsumeBool()) CallKest<1>(SetDecimal, IntValue(in.ConsumeIntegralInRange(0, 9)));

  fuzz::Balance before = fuzz::BalanceNow();
  Usual value = maker.Any();
  Usual words = roots.Keep(ErrorLogHex(value));
  fuzz::CheckBalance(before, "ErrorLogHex");
  if (value.type == T_STRING) {
    CheckBytes(Text(value), Text(words));
  } else {
    CheckWords(value, Text(words));
  }

  Usual text = in.ConsumeBool() ? maker.Text() : maker.Any();
  Usual bytes = roots.Keep(ErrorLogHexBytes(text));
  fuzz::CheckBalance(before, "ErrorLogHexBytes");
  if (text.type == T_STRING) CheckBytes(Text(text), Text(bytes));
  return 0;
}
