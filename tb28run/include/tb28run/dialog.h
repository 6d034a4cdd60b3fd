// What the runtime shows and sounds when an error is handled: the error dialog and tones.
#pragma once

#include <cstdint>

#include "tb28run/api.h"

// Option words of the error dialog. The first option (default or substitute) is offered with
// ED_FIRST, a retry with ED_RETRY; the third option is always offered: ED_BREAK when a recovery
// point exists, else ED_QUIT.
enum : std::uint32_t {
  ED_FIRST = 1,
  ED_RETRY = 2,
  ED_QUIT = 0x80000000u,
  ED_BREAK = 0x80000003u,
};

// Shows the message under the caption with exactly the options offered (a word of 0 offers
// none): "Default", "Retry" and, for the third, "Break" when its low two bits are set, else
// "Quit". Answers 1 or 2 for the first two options and the third word for the third; a dialog
// that cannot be shown, or is closed without a choice, answers the third word.
// On Windows a dialog window; elsewhere the terminal: the box drawn on standard output and one
// line read from standard input, whose first letter picks an option (Enter: the leftmost); end
// of input picks the third.
TBRT std::uint32_t ErrorMessageBox(const char* message, const char* caption, std::uint32_t first, std::uint32_t second,
                                   std::uint32_t third);

// A tone of the frequency (Hz) for the duration in clock ticks of 1/18.2 second. Windows sounds
// it; a POSIX host rings the terminal bell when standard output is a terminal.
TBRT void Tone(std::uint32_t frequency, std::uint32_t duration);
