// Numbers as text (NTrim, __Str and StrZero), and a number taken from a dynamic value.
#include <cmath>
#include <string>

#include "arg_demand.h"
#include "heap.h"
#include "number_text.h"
#include "string_make.h"
#include "tb28run/number_value.h"
#include "tb28run/numbers.h"

namespace {

Usual TextValue(const char* operation, const std::string& text) { return StringValue(tb::MakeString(operation, text)); }

// The optional width and decimals of __Str and StrZero. A width below 1 counts as none.
struct Field {
  bool hasWidth = false;
  std::uint32_t width = 0;
  bool hasDecimals = false;
  std::int32_t decimals = 0;
};

bool ReadField(const char* operation, std::uint32_t countWord, Usual* args, Field* field) {
  Usual width = tb::ArgAt(countWord, args, 1);
  Usual decimals = tb::ArgAt(countWord, args, 2);
  if (!IsNilValue(width)) {
    if (!tb::DemandNumber(operation, width, 2)) return false;
    double w = std::trunc(tb::NumberOf(width));
    if (w >= 1) {
      field->hasWidth = true;
      field->width = w > tb::kMaxNumberWidth ? tb::kMaxNumberWidth : std::uint32_t(w);
    }
  }
  if (!IsNilValue(decimals)) {
    if (!tb::DemandNumber(operation, decimals, 3)) return false;
    double d = std::trunc(tb::NumberOf(decimals));
    field->hasDecimals = true;
    field->decimals = d > tb::kMaxDecimals ? tb::kMaxDecimals : d > 0 ? std::int32_t(d) : 0;
  }
  return true;
}

// The number's text in its field; zeros pad in place of blanks for StrZero.
Usual FieldText(const char* operation, std::uint32_t countWord, Usual* args, bool zeros) {
  Usual number = tb::ArgAt(countWord, args, 0);
  Field field;
  if (!tb::DemandNumber(operation, number, 1) || !ReadField(operation, countWord, args, &field))
    return TextValue(operation, "");
  std::int32_t decimals = field.hasDecimals ? field.decimals : field.hasWidth ? 0 : tb::NaturalDecimals(number);
  std::string text = tb::NumberText(tb::NumberOf(number), decimals);
  if (!field.hasWidth && !zeros) return TextValue(operation, text.empty() ? tb::NaturalText(number) : text);
  std::uint32_t width = field.width;
  if (!field.hasWidth) width = tb::kDefaultWholeWidth + (decimals > 0 ? std::uint32_t(decimals) + 1 : 0);
  return TextValue(operation, tb::FitWidth(text, width, zeros));
}

}  // namespace

TBRT TbStr NTrim(Usual number) {
  if (!tb::DemandNumber("NTrim", number, 1)) return tb::MakeString("NTrim", "");
  return tb::NaturalString("NTrim", number);
}

TBRT Usual __Str(std::uint32_t countWord, Usual* args) { return FieldText("__Str", countWord, args, false); }

TBRT Usual StrZero(std::uint32_t countWord, Usual* args) { return FieldText("StrZero", countWord, args, true); }

TBRT double _P2Double(Usual value) {
  if (!tb::DemandNumber("_P2Double", value, 1)) return 0;
  return tb::NumberOf(value);
}
