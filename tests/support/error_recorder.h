// Stands in for the program's error system in tests: keeps every error that reaches the error
// block and answers with scripted values, the default (FALSE) once the script runs out. It reads
// each error from the runtime's raw record, as the error function (Install: a runtime without the
// program's Error class), or from the Error object the installed error function made
// (InstallOnErrors).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "atomtable_symbols.h"
#include "described_value.h"
#include "tb28run/errors.h"
#include "tb28run/objects.h"
#include "tb28run/strings.h"
#include "tb28run/value_ops.h"
#include "tb28run/values.h"

// An error as the block received it. From a raw record, what only the Error object holds stays
// empty: STACK, CARGO, METHODSELF.
struct RaisedError {
  std::string subsystem, operation, description, filename, subcodeText, arg, stack;
  std::uint32_t subcode, gencode, oscode, severity, tries, fileHandle, argNum, argType, argTypeReq, maxSize,
      substituteType, choice;
  bool canDefault, canRetry, canSubstitute;
  std::string args;  // described, see Describe
  Sym funcSym, callFuncSym;
  std::uint32_t cargoType;
  bool funcPtrNull, methodSelfNull;
};

class ErrorRecorder {
 public:
  // Installs the error function and block; call after the runtime is up.
  static void Install() {
    InstallOnErrors();
    Usual fn = PtrValue(reinterpret_cast<const void*>(&FromRecord));
    ErrorFunc(CountWord(1, 1), &fn);
  }
  // Installs the block only: the error function in place makes the Error objects it reads.
  static void InstallOnErrors() {
    Raised().clear();
    Script().clear();
    OnRaised() = nullptr;
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
  static bool IsInstalled(const Usual& block) {
    return block.type == T_CODEBLOCK && block.value == reinterpret_cast<std::uintptr_t>(&kBlock);
  }
  // What the block does with each error after keeping it and before it answers.
  static std::function<void()>& OnRaised() {
    static std::function<void()> step;
    return step;
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
  static std::string Text(const char* s) { return s ? s : ""; }

  // The error function: keeps the record; the block then receives NIL.
  static Usual FromRecord(std::uint32_t, Usual* args) {
    auto* rec = static_cast<const ErrorStructure*>(AsPtr(args[0]));
    RaisedError r{};
    r.subsystem = Text(rec->subsystem);
    r.operation = Text(rec->operation);
    r.description = Text(rec->description);
    r.filename = Text(rec->filename);
    r.subcodeText = Text(rec->subcodeText);
    r.arg = Text(rec->arg);
    r.subcode = rec->subcode;
    r.gencode = rec->gencode;
    r.oscode = rec->oscode;
    r.severity = rec->severity;
    r.tries = rec->tries;
    r.fileHandle = rec->fileHandle;
    r.argNum = rec->argNum;
    r.argType = rec->argType;
    r.argTypeReq = rec->argTypeReq;
    r.maxSize = rec->maxSize;
    r.substituteType = rec->substituteType;
    r.choice = rec->choice;
    r.canDefault = rec->canDefault != 0;
    r.canRetry = rec->canRetry != 0;
    r.canSubstitute = rec->canSubstitute != 0;
    r.args = "{";
    if (auto* block = static_cast<const ErrorArgBlock*>(rec->argBlock))
      for (std::uint32_t i = 0; i < block->count1; ++i) r.args += (i ? ", " : "") + Describe(block->values[i]);
    r.args += "}";
    r.funcSym = rec->funcSym;
    r.callFuncSym = rec->callFuncSym;
    r.funcPtrNull = rec->funcPtr == nullptr;
    r.methodSelfNull = true;
    Raised().push_back(r);
    return NilValue();
  }

  static Usual Field(TbObj e, Sym name) { return IVarGet(e, name); }
  static std::string TextField(TbObj e, Sym name) {
    Usual u = Field(e, name);
    return u.type == T_STRING ? std::string(String2Psz(AsStr(u)), SLen(AsStr(u))) : "<" + Describe(u) + ">";
  }
  static std::uint32_t DwordField(TbObj e, Sym name) { return _P2DW(Field(e, name)); }

  static void FromObject(TbObj e) {
    RaisedError r{};
    r.subsystem = TextField(e, SYM_SUBSYSTEM);
    r.subcode = DwordField(e, SYM_SUBCODE);
    r.gencode = DwordField(e, SYM_GENCODE);
    r.oscode = DwordField(e, SYM_OSCODE);
    r.severity = DwordField(e, SYM_SEVERITY);
    r.canDefault = _P2Logic(Field(e, SYM_CANDEFAULT)) != 0;
    r.canRetry = _P2Logic(Field(e, SYM_CANRETRY)) != 0;
    r.canSubstitute = _P2Logic(Field(e, SYM_CANSUBSTITUTE)) != 0;
    r.operation = TextField(e, SYM_OPERATION);
    r.description = TextField(e, SYM_DESCRIPTION);
    r.filename = TextField(e, SYM_FILENAME);
    r.args = Describe(Field(e, SYM_ARGS));
    r.tries = DwordField(e, SYM_TRIES);
    r.funcSym = Sym(Field(e, SYM_FUNCSYM).value);
    r.fileHandle = DwordField(e, SYM_FILEHANDLE);
    r.argNum = DwordField(e, SYM_ARGNUM);
    r.funcPtrNull = Field(e, SYM_FUNCPTR).value == 0;
    r.subcodeText = TextField(e, SYM_SUBCODETEXT);
    r.arg = TextField(e, SYM_ARG);
    r.argType = DwordField(e, SYM_ARGTYPE);
    r.argTypeReq = DwordField(e, SYM_ARGTYPEREQ);
    r.maxSize = DwordField(e, SYM_MAXSIZE);
    r.substituteType = DwordField(e, SYM_SUBSTITUTETYPE);
    r.choice = DwordField(e, SYM_CHOICE);
    r.callFuncSym = Sym(Field(e, SYM_CALLFUNCSYM).value);
    r.cargoType = Field(e, SYM_CARGO).type;
    r.methodSelfNull = Field(e, SYM_METHODSELF).value == 0;
    r.stack = TextField(e, SYM_STACK);
    Raised().push_back(r);
  }

  static Usual Reply(std::uint32_t, Usual* args) {
    if (args[0].type == T_OBJECT && args[0].value) FromObject(AsObj(args[0]));
    if (OnRaised()) OnRaised()();
    if (Script().empty()) return LogicValue(false);
    Scripted next = Script().front();
    Script().pop_front();
    return next.isString ? StringValue(Mem2String(next.text.data(), std::uint32_t(next.text.size()))) : next.value;
  }
  static inline const CodeBlock kBlock{1, &Reply};
};
