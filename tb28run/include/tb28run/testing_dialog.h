// Test seams of the error dialog, tones and internal-fault reports. Not for the program: only
// tests include this. The test reset removes every hook. Only the test build of the library
// exports them (see testing.h).
#pragma once

#include <cstdint>

#include "tb28run/api.h"

// Answers ErrorMessageBox instead of the dialog; null restores the dialog.
using TbErrorDialogHook = std::uint32_t (*)(const char* message, const char* caption, std::uint32_t first,
                                            std::uint32_t second, std::uint32_t third);
TBRT void TbTestSetErrorDialogHook(TbErrorDialogHook hook);

// Receives every Tone instead of the speaker; null restores the speaker.
using TbToneSink = void (*)(std::uint32_t frequency, std::uint32_t duration);
TBRT void TbTestSetToneSink(TbToneSink sink);

// Receives every _IError report, besides standard error.
using TbInternalErrorSink = void (*)(std::uint32_t code, std::uint32_t detail, const char* text);
TBRT void TbTestSetInternalErrorSink(TbInternalErrorSink sink);
