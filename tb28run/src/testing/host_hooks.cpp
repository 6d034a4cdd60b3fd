// The exported setters of testing_dialog.h and testing_clock.h: what the runtime shows, sounds and
// reads from the host.
#include "testing_hooks.h"

TBRT void TbTestSetErrorDialogHook(TbErrorDialogHook hook) { tb::ErrorDialogHook() = hook; }
TBRT void TbTestSetToneSink(TbToneSink sink) { tb::ToneSink() = sink; }
TBRT void TbTestSetInternalErrorSink(TbInternalErrorSink sink) { tb::InternalErrorSink() = sink; }
TBRT void TbTestSetLocalTime(const TbTestLocalTime* time) { tb::FixLocalTime(time); }
