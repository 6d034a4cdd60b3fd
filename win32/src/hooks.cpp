// The state behind the test seams of win32_testing.h.
#include "hooks.h"

namespace win32 {

// Never destroyed: a static destructor elsewhere may still show a box or ask the locale.
HookState& Hooks() {
  static HookState& state = *new HookState;
  return state;
}

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace win32
