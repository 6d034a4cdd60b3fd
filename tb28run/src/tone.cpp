// Tones: Beep on Windows; on POSIX hosts the host layer's Beep rings the terminal bell.
#include <windows.h>

#include "reset.h"
#include "tb28run/dialog.h"
#include "testing_hooks.h"

namespace tb {

TbToneSink& ToneSink() {
  static TbToneSink sink = nullptr;
  return sink;
}

}  // namespace tb

namespace {

const tb::ResetRegistration reset([] { tb::ToneSink() = nullptr; });

// A clock tick is 1/18.2 second, about 55 ms.
constexpr double kMillisecondsPerTick = 1000.0 / 18.2;

}  // namespace

TBRT void Tone(std::uint32_t frequency, std::uint32_t duration) {
  if (TbToneSink sink = tb::ToneSink()) {
    sink(frequency, duration);
    return;
  }
  double ms = duration * kMillisecondsPerTick + 0.5;
  Beep(frequency, ms > 4294967295.0 ? 0xFFFFFFFFu : DWORD(ms));
}
