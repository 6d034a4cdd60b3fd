#include "answering_block.h"

#include <vector>

#include "runtime/call.h"

namespace fuzz {
namespace {

constexpr std::size_t kMaxAnswers = 12;

struct Script {
  std::vector<Usual> answers;  // each also kept in the input's roots
  std::size_t next = 0;
  std::uint32_t received = 0;
};

Script& TheScript() {
  static Script script;
  return script;
}

Usual Answer(std::uint32_t countWord, Usual* args) {
  Script& s = TheScript();
  ++s.received;
  Usual error = PassedOf(countWord) ? args[0] : NilValue();
  if (error.type == T_OBJECT && error.value && IsInstanceOf(error, SYM_ERROR)) {
    TbObj e = AsObj(error);
    AsPsz(IVarGet(e, SYM_DESCRIPTION));
    AsPsz(IVarGet(e, SYM_ARGS));
    _P2DW(IVarGet(e, SYM_GENCODE));
  }
  if (s.next < s.answers.size()) return s.answers[s.next++];
  return LogicValue(false);
}

const CodeBlock kAnsweringBlock{1, &Answer};

}  // namespace

void InstallAnsweringBlock(ValueMaker& maker) {
  Script& s = TheScript();
  s = Script{};
  // In place first: making the answers may already raise errors (a conversion that fails).
  CallKest<declared::ErrorBlock>(ErrorBlock, CodeBlockValue(&kAnsweringBlock));
  FuzzedDataProvider& in = maker.In();
  for (std::size_t i = 0, n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxAnswers); i < n; ++i) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0: s.answers.push_back(LogicValue(false)); break;
      case 1: s.answers.push_back(LogicValue(true)); break;
      case 2: s.answers.push_back(NilValue()); break;
      default: s.answers.push_back(maker.Any(1)); break;
    }
  }
}

std::uint32_t ErrorsAnswered() { return TheScript().received; }

}  // namespace fuzz
