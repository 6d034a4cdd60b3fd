#include <cstring>
#include <iterator>

#include "error_road.h"
#include "heap.h"
#include "kept_strings.h"

namespace {

struct CodeText {
  std::uint32_t code;
  const char* text;
};

constexpr CodeText kTexts[] = {
    {tb::EG_ARG, "Argument error"},
    {tb::EG_BOUND, "Bound error"},
    {tb::EG_STROVERFLOW, "String overflow"},
    {tb::EG_NUMOVERFLOW, "Numeric overflow"},
    {tb::EG_ZERODIV, "Zero divisor"},
    {tb::EG_NUMERR, "Numeric error"},
    {tb::EG_MEM, "Memory low"},
    {tb::EG_NOFUNC, "Undefined function"},
    {tb::EG_NOMETHOD, "No exported method"},
    {tb::EG_NOVAR, "Variable does not exist"},
    {tb::EG_NOVARMETHOD, "No exported variable"},
    {tb::EG_NOCLASS, "Class does not exist"},
    {tb::EG_CREATE, "Create error"},
    {tb::EG_OPEN, "Open error"},
    {tb::EG_CLOSE, "Close error"},
    {tb::EG_READ, "Read error"},
    {tb::EG_WRITE, "Write error"},
    {tb::EG_WRONGOBJECT, "Not an error object"},
    {tb::EG_UNSUPPORTED, "Operation not supported"},
    {tb::EG_LIMIT, "Limit exceeded"},
    {tb::EG_CORRUPTION, "Corruption detected"},
    {tb::EG_DATATYPE, "Data type error"},
    {tb::EG_DATAWIDTH, "Data width error"},
    {tb::EG_APPENDLOCK, "Append lock failed"},
    {tb::EG_LOCK, "Lock failure"},
};

}  // namespace

namespace tb {

namespace {

// The place of the code's text in kTexts; one past the end for a code without a text.
std::size_t TextIndex(std::uint32_t gencode) {
  std::size_t i = 0;
  while (i < std::size(kTexts) && kTexts[i].code != gencode) ++i;
  return i;
}

// The text at that place; the empty text one past the end.
const char* TextAt(std::size_t i) { return i < std::size(kTexts) ? kTexts[i].text : ""; }

// Each text as a string, once made: a handled error asks for its own text at least twice.
KeptSlot keptTexts[std::size(kTexts) + 1];  // the last for the empty text of an unknown code

}  // namespace

const char* GenCodeText(std::uint32_t gencode) { return TextAt(TextIndex(gencode)); }

}  // namespace tb

TBRT TbStr ErrString(std::uint32_t gencode) {
  std::size_t i = tb::TextIndex(gencode);
  const char* text = tb::TextAt(i);
  if (TbStr kept = tb::Kept(tb::keptTexts[i], text)) return kept;
  return tb::NewString(text, std::uint32_t(std::strlen(text)));
}
