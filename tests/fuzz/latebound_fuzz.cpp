// The nine late-bound helpers over arbitrary argument lists, called by symbol as the runtime calls
// them, a few calls an input with earlier results among later arguments. Every call must leave
// the activation stack, the recovery points and the error block as it found them, and a helper
// that answers a symbol answers a symbol.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "fuzz_session.h"
#include "program_input.h"
#include "tb28run/testing.h"
#include "value_maker.h"

namespace {

constexpr Sym kHelpers[] = {SYM___PCARRGETCOLLECTION,
                            SYM___PCARRPUTCOLLECTION,
                            SYM___PCIVAGETCOLLECTION,
                            SYM___PCIVAPUTCOLLECTION,
                            SYM___PCCREATEINSTANCE,
                            SYM___PCIVARGET,
                            SYM___PCIVARPUT,
                            SYM___PCSEND,
                            SYM___PCSYMBOL};
constexpr std::size_t kMaxCalls = 4;
constexpr std::uint32_t kMaxArguments = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::AnsweredInput input(data, size);
  auto& [in, session, roots, maker] = input;
  // Now and then a collection before every allocation, so that a value some helper holds where
  // the collector cannot see it is freed under it.
  if (in.ConsumeIntegralInRange(0, 15) == 0) TbTestSetGcStress(1);

  std::vector<Usual> results;
  for (std::size_t call = 0, calls = in.ConsumeIntegralInRange<std::size_t>(1, kMaxCalls); call < calls; ++call) {
    Sym helper = kHelpers[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kHelpers) - 1)];
    std::uint32_t n = in.ConsumeIntegralInRange<std::uint32_t>(0, kMaxArguments);
    Usual args = roots.Keep(ArrayValue(ArrayCreate(n)));
    if (args.type != T_ARRAY) break;
    for (std::uint32_t i = 1; i <= n; ++i) {
      bool earlier = !results.empty() && in.ConsumeIntegralInRange(0, 3) == 0;
      Usual arg = earlier ? results[in.ConsumeIntegralInRange<std::size_t>(0, results.size() - 1)] : maker.Any();
      ArrayPut(AsArr(args), i, arg);
    }
    fuzz::Balance before = fuzz::BalanceNow();
    Usual result = roots.Keep(_CallKestFunc(helper, AsArr(args)));
    fuzz::CheckBalance(before, Symbol2String(helper));
    if (helper == SYM___PCSYMBOL && result.type != T_SYMBOL && result.type != T_NIL)
      fuzz::Finding("__PCSYMBOL answered neither a symbol nor NIL");
    AsPsz(result);
    results.push_back(result);
  }
  TbTestSetGcStress(0);
  return 0;
}
