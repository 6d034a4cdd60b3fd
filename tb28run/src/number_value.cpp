#include "tb28run/number_value.h"

#include "arg_demand.h"

TBRT double _P2Double(Usual value) {
  if (!tb::DemandNumber("_P2Double", value, 1)) return 0;
  return tb::NumberOf(value);
}
