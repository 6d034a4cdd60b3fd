// Stands in for the program's error system in runtime tests: keeps every raw error record that
// reaches the error function and answers the error block with scripted values, the default
// (FALSE) once the script runs out.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "tb28run/errors.h"
#include "tb28run/objects.h"
#include "tb28run/strings.h"
#include "tb28run/values.h"

struct RaisedError {
  std::uint32_t gencode;
  std::string operation;
  std::uint32_t argNum;
  std::uint32_t argType;
  std::uint32_t argTypeReq;
  bool canDefault, canRetry, canSubstitute;
};

class ErrorRecorder {
 public:
  // Installs the error function and block; call after the runtime is up.
  static void Install() {
    Raised().clear();
    Script().clear();
    Usual fn = PtrValue(reinterpret_cast<const void*>(&Record));
    ErrorFunc(CountWord(1, 1), &fn);
    Usual block = CodeBlockValue(&kBlock);
    ErrorBlock(CountWord(1, 1), &block);
  }
  // A string answer is kept as its text and made anew when it is given: a collector-owned value
  // waiting in a C++ container would be out of the collector's sight.
  static void Answer(Usual answer) {
    if (answer.type == T_STRING) {
      Script().push_back(Scripted{NilValue(), std::string(String2Psz(AsStr(answer)), SLen(AsStr(answer))), true});
    } else {
      Script().push_back(Scripted{answer, std::string(), false});
    }
  }
  static std::vector<RaisedError>& Raised() {
    static std::vector<RaisedError> raised;
    return raised;
  }

 private:
  struct Scripted {
    Usual value;
    std::string text;
    bool isString;
  };
  static std::deque<Scripted>& Script() {
    static std::deque<Scripted> script;
    return script;
  }
  static Usual Record(std::uint32_t, Usual* args) {
    auto* rec = static_cast<const ErrorStructure*>(AsPtr(args[0]));
    Raised().push_back(RaisedError{rec->gencode, rec->operation ? rec->operation : "", rec->argNum, rec->argType,
                                   rec->argTypeReq, rec->canDefault != 0, rec->canRetry != 0, rec->canSubstitute != 0});
    return NilValue();
  }
  static Usual Reply(std::uint32_t, Usual*) {
    if (Script().empty()) return LogicValue(false);
    Scripted next = Script().front();
    Script().pop_front();
    return next.isString ? StringValue(Mem2String(next.text.data(), std::uint32_t(next.text.size()))) : next.value;
  }
  static inline const CodeBlock kBlock{1, &Reply};
};
