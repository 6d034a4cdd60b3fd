// The late-bound helpers as the runtime reaches them: by symbol through _CallKestFunc, with the
// argument array built beforehand. Lua's method call and field read, timed by bench/run in the
// same run, are their baselines.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench_program.h"
#include "runtime/call.h"

namespace {

// POINT: one variable X of any type, and M, a method of one parameter that answers it.
struct PointInstance {
  InstanceHeader header;
  Usual X;
};

Usual Identity(Usual, std::uint32_t countWord, Usual* args) { return PassedOf(countWord) ? args[0] : NilValue(); }

struct Calls {
  Usual point;
  Sym x;
  Usual send, ivarGet, arrGet;
};

Calls& TheCalls() {
  static Calls calls;
  return calls;
}

Usual Args(std::initializer_list<Usual> values) {
  return bench::Keep(ArrayValue(ArrayInit(std::uint32_t(values.size()), values.begin())));
}

bool Prepare() {
  Sym pointClass = SysAddAtom("POINT"), x = SysAddAtom("X"), m = SysAddAtom("M");
  static constexpr std::uint32_t kMap[] = {1, offsetof(PointInstance, X), REFMAP_USUAL_RUN | 1};
  if (DeclareClass(pointClass, 0, sizeof(PointInstance), kMap, 0, 0, 1, x, std::uint32_t(offsetof(PointInstance, X)),
                   std::uint32_t(T_USUAL), std::uint32_t(sizeof(Usual)), 3u) != 0 ||
      DeclareMethod(pointClass, m, 0, &Identity, 1) != 0)
    return false;
  Usual point = bench::Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(pointClass)));
  if (point.type != T_OBJECT || !point.value) return false;
  IVarPut(AsObj(point), x, IntValue(1));

  // A 4 x 4 array of arrays; the element read is row 2, column 3.
  Usual grid = bench::Keep(ArrayValue(ArrayCreate(4)));
  for (std::uint32_t row = 1; row <= 4; ++row) {
    Usual cells = bench::Keep(ArrayValue(ArrayCreate(4)));
    for (std::uint32_t column = 1; column <= 4; ++column) ArrayPut(AsArr(cells), column, IntValue(10 * row + column));
    ArrayPut(AsArr(grid), row, cells);
  }

  Calls& c = TheCalls();
  c.point = point;
  c.x = x;
  c.send = Args({point, SymbolValue(m), IntValue(7)});
  c.ivarGet = Args({point, SymbolValue(x)});
  c.arrGet = Args({grid, IntValue(2), IntValue(3)});
  // Each answers what it should before it is timed.
  return _CallKestFunc(SYM___PCSEND, AsArr(c.send)).value == 7 &&
         _CallKestFunc(SYM___PCIVARGET, AsArr(c.ivarGet)).value == 1 &&
         _CallKestFunc(SYM___PCARRGETCOLLECTION, AsArr(c.arrGet)).value == 23;
}

// The timing loop alone, taken off the figures below as the Lua script takes off its own.
void EmptyLoop(benchmark::State& state) {
  Usual value = IntValue(1);
  for (auto _ : state) benchmark::DoNotOptimize(value);
}
BENCHMARK(EmptyLoop);

void PcSendOneArgument(benchmark::State& state) {
  TbArr args = AsArr(TheCalls().send);
  for (auto _ : state) benchmark::DoNotOptimize(_CallKestFunc(SYM___PCSEND, args));
}
BENCHMARK(PcSendOneArgument);

void PcIVarGet(benchmark::State& state) {
  TbArr args = AsArr(TheCalls().ivarGet);
  for (auto _ : state) benchmark::DoNotOptimize(_CallKestFunc(SYM___PCIVARGET, args));
}
BENCHMARK(PcIVarGet);

// The instance-variable read a program compiles to, without the late binding.
void IVarGetDirect(benchmark::State& state) {
  TbObj point = AsObj(TheCalls().point);
  Sym x = TheCalls().x;
  for (auto _ : state) benchmark::DoNotOptimize(IVarGet(point, x));
}
BENCHMARK(IVarGetDirect);

void PcArrGetCollectionTwoLevels(benchmark::State& state) {
  TbArr args = AsArr(TheCalls().arrGet);
  for (auto _ : state) benchmark::DoNotOptimize(_CallKestFunc(SYM___PCARRGETCOLLECTION, args));
}
BENCHMARK(PcArrGetCollectionTwoLevels);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv, &Prepare); }
