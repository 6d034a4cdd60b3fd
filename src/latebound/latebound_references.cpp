#include "latebound/latebound_references.h"

#include "latebound/latebound.h"
#include "runtime/call.h"
#include "runtime/frame_guard.h"

namespace {

// Never true; volatile so that the calls below are neither folded away nor the helpers dropped.
volatile bool helpersCalledHere = false;

}  // namespace

void ReferLateBoundHelpers() {
  static const FrameInfo kFrame{"REFERLATEBOUNDHELPERS", "latebound/latebound_references.cpp"};
  FrameGuard frame(kFrame);
  if (helpersCalledHere) {
    CallKest<declared::PcArrGetCollection>(&PcArrGetCollection);
    CallKest<declared::PcArrPutCollection>(&PcArrPutCollection);
    CallKest<declared::PcCreateInstance>(&PcCreateInstance);
    CallKest<declared::PcIvaGetCollection>(&PcIvaGetCollection);
    CallKest<declared::PcIvaPutCollection>(&PcIvaPutCollection);
    CallKest<declared::PcIVarGet>(&PcIVarGet);
    CallKest<declared::PcIVarPut>(&PcIVarPut);
    CallKest<declared::PcSend>(&PcSend);
    CallKest<declared::PcSymbol>(&PcSymbol);
  }
}
