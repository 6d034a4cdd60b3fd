// Runtime work the error system leans on, each beside the same work done in plain C++: symbols
// from names, the call-stack text, the message text of a full Error.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench_program.h"
#include "errors/call_stack_text.h"
#include "errors/error_message_text.h"
#include "runtime/call.h"

namespace {

constexpr std::uint32_t kNames = 10000;
constexpr std::uint32_t kDepth = 12;

Usual& Names() {
  static Usual names;
  return names;
}
Usual& FullError() {
  static Usual error;
  return error;
}

std::string NameText(std::uint32_t i) {
  char name[16];
  std::snprintf(name, sizeof name, "Name%05u", unsigned(i));
  return name;
}

bool Prepare() {
  Names() = bench::Keep(ArrayValue(ArrayCreate(kNames)));
  for (std::uint32_t i = 1; i <= kNames; ++i) ArrayPut(AsArr(Names()), i, StringValue(Psz2String(NameText(i).c_str())));

  Usual error = bench::Keep(CallKest<declared::CreateInstance>(CreateInstance, SymbolValue(SYM_ERROR), IntValue(0)));
  if (error.type != T_OBJECT || !error.value) return false;
  TbObj e = AsObj(error);
  IVarPut(e, SYM_SEVERITY, IntValue(2));
  IVarPut(e, SYM_GENCODE, IntValue(21));
  IVarPut(e, SYM_SUBSYSTEM, bench::Text("TB28RUN"));
  IVarPut(e, SYM_SUBCODE, IntValue(1004));
  IVarPut(e, SYM_SUBCODETEXT, bench::Text("FOpen"));
  IVarPut(e, SYM_OPERATION, bench::Text("FOpen2"));
  IVarPut(e, SYM_FUNCSYM, SymbolValue(SYM_START));
  IVarPut(e, SYM_FILENAME, bench::Text("C:\\QUORL\\DATA\\QUORLBASE\\INDEX\\PRIMARY.QRL"));
  IVarPut(e, SYM_ARG, bench::Text("PRIMARY.QRL"));
  IVarPut(e, SYM_ARGTYPE, IntValue(T_STRING));
  IVarPut(e, SYM_ARGNUM, IntValue(1));
  IVarPut(e, SYM_ARGTYPEREQ, IntValue(T_PTR));
  IVarPut(e, SYM_DESCRIPTION, bench::Text("Open error"));
  FullError() = error;
  return true;
}

// String2Symbol: each of 10,000 names (registered by the first round, looked up after).
void String2SymbolTenThousandNames(benchmark::State& state) {
  TbArr names = AsArr(Names());
  for (auto _ : state)
    for (std::uint32_t i = 1; i <= kNames; ++i) benchmark::DoNotOptimize(String2Symbol(AsStr(ArrayGet(names, i))));
}
BENCHMARK(String2SymbolTenThousandNames);

// The baseline: the same names upper-cased and looked up in a standard hash map.
void HashMapTenThousandNames(benchmark::State& state) {
  std::vector<std::string> names;
  std::unordered_map<std::string, std::uint32_t> symbols;
  for (std::uint32_t i = 1; i <= kNames; ++i) names.push_back(NameText(i));
  for (auto _ : state) {
    for (const std::string& name : names) {
      std::string upper = name;
      for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
      auto [it, added] = symbols.try_emplace(std::move(upper), std::uint32_t(symbols.size() + 444));
      benchmark::DoNotOptimize(it->second);
    }
  }
}
BENCHMARK(HashMapTenThousandNames);

// The activations on the stack, counted along their links.
std::uint32_t Activations() {
  std::uint32_t n = 0;
  for (const Frame* f = GetDASPtr()->top; f; f = f->prev) ++n;
  return n;
}

// CallStackText(0) called with 12 activations on the stack, under the settings module
// initialisation leaves: five entries, each a name and a line.
void CallStackTextDepth12(benchmark::State& state) {
  static FrameInfo infos[kDepth];
  static std::string names[kDepth];
  Frame frames[kDepth] = {};
  std::uint32_t pushed = 0;
  for (; Activations() < kDepth; ++pushed) {
    names[pushed] = "LEVEL" + std::to_string(pushed + 1);
    infos[pushed] = FrameInfo{names[pushed].c_str(), "bench/runtime_bench.cpp"};
    frames[pushed].info = &infos[pushed];
    INCKidStackPtr(&frames[pushed]);
    uiLineNum_RT = 10 + pushed;
  }
  for (auto _ : state) benchmark::DoNotOptimize(CallStackText(0));
  if (pushed) DECKidStackPtr(&frames[0]);
}
BENCHMARK(CallStackTextDepth12);

// The baseline: five lines of the same shape from a plain table.
void PlainCallStackLines(benchmark::State& state) {
  std::vector<std::pair<std::string, std::uint32_t>> frames;
  for (std::uint32_t i = kDepth; i >= 1; --i) frames.emplace_back("LEVEL" + std::to_string(i), 10 + i);
  for (auto _ : state) {
    std::string text;
    for (std::size_t i = 0; i < 5; ++i)
      text += frames[i].first + " (Line:" + std::to_string(frames[i].second) + ")\r\n";
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(PlainCallStackLines);

void ErrorMessageTextFullError(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ErrorMessageText(FullError()));
}
BENCHMARK(ErrorMessageTextFullError);

// The baseline: the same nine lines from plain C++ values.
void PlainMessageText(benchmark::State& state) {
  struct {
    std::uint32_t gencode = 21, subcode = 1004;
    std::string genText = "OPEN ERROR", subsystem = "TB28RUN", subcodeText = "FOpen", operation = "FOpen2",
                function = "START", filename = "C:\\QUORL\\DATA\\QUORLBASE\\INDEX\\PRIMARY.QRL", arg = "PRIMARY.QRL",
                argType = "STRING", argTypeReq = "PTR", description = "Open error";
  } e;
  for (auto _ : state) {
    std::string text = "Error Code:  " + std::to_string(e.gencode) + " [ " + e.genText + " ]\r\n";
    text += "Subsystem: " + e.subsystem + "\r\n";
    text += "Error Subcode: " + std::to_string(e.subcode) + " (" + e.subcodeText + ")\r\n";
    text += "Operation: " + e.operation + "\r\n";
    text += "Function: " + e.function + "\r\n";
    text += "Filename: " + e.filename.substr(0, 40) + "\r\n";
    text += "Argument: " + e.arg + "\r\nType: " + e.argType + "\r\n";
    text += "Argument Number: 1\r\nRequested type: " + e.argTypeReq + "\r\n";
    text += "Description: " + e.description + "\r\n";
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(PlainMessageText);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv, &Prepare); }
