// The program's runtime as the late-bound helpers meet it: program symbols, a function table with
// the helpers' rows, the classes declared, and an error block that records every Error it gets.
#pragma once

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "indexed_box.h"
#include "latebound/latebound.h"
#include "runtime/tb28run.h"
#include "runtime_fixture.h"
#include "startup/module_init.h"
#include "test_function_table.h"
#include "value_keeper.h"

// An Error as the error block received it, every variable read back.
struct SeenError {
  std::string subsystem, operation, description, filename, subcodeText, arg, stack;
  std::uint32_t subcode, gencode, oscode, severity, tries, fileHandle, argNum, argType, argTypeReq, maxSize,
      substituteType, choice;
  bool canDefault, canRetry, canSubstitute;
  std::string args;  // described, see Describe
  Sym funcSym, callFuncSym;
  std::uint32_t cargoType;
  bool funcPtrNull, methodSelfNull;
  std::uint32_t helperCountWord;  // the count word the innermost helper was called with (0: none)
};

// A value as text for comparisons: NIL, 3, 'text', #NAME (# alone for the empty symbol), {1, 2},
// NULLARRAY, OBJ{CLASSNAME}, NULLOBJ.
inline std::string Describe(const Usual& u) {
  switch (u.type) {
    case T_NIL: return "NIL";
    case T_INT: return std::to_string(AsInt(u));
    case T_SYMBOL: return std::string("#") + Symbol2String(Sym(u.value));
    case T_STRING: return "'" + std::string(String2Psz(AsStr(u)), SLen(AsStr(u))) + "'";
    case T_LOGIC: return u.value ? ".T." : ".F.";
    case T_ARRAY: {
      if (!u.value) return "NULLARRAY";
      std::string text = "{";
      for (std::uint32_t i = 1; i <= ALen(AsArr(u)); ++i) text += (i > 1 ? ", " : "") + Describe(ArrayGet(AsArr(u), i));
      return text + "}";
    }
    case T_OBJECT: return u.value ? std::string("OBJ") + AsPsz(u) : "NULLOBJ";
    default: return "T" + std::to_string(u.type) + ":" + AsPsz(u);
  }
}

class LateBoundTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    Seen().clear();
    Answers().clear();
    for (const char* name : ATOMTABLE_NAMES) ASSERT_NE(SysAddAtom(name), 0u) << name;
    ASSERT_EQ(BringUpWithTable(), 0);
    ASSERT_EQ(ModuleInit(), 0);
    keeper_ = std::make_unique<ValueKeeper>();
    IndexedBox::Declare();
    static const CodeBlock recording{1, &RecordingBlock};
    Usual block = CodeBlockValue(&recording);
    ErrorBlock(CountWord(1, 1), &block);
  }
  void TearDown() override {
    keeper_.reset();
    RuntimeTest::TearDown();
  }

  // The nine helpers in their rows, and the runtime functions the program's table lists.
  virtual std::int32_t BringUpWithTable() {
    static const TestFunctionTable<14> table = {
        {SYM___PCARRGETCOLLECTION, SYM___PCARRPUTCOLLECTION, SYM___PCIVAGETCOLLECTION, SYM___PCIVAPUTCOLLECTION,
         SYM___PCCREATEINSTANCE, SYM___PCIVARGET, SYM___PCIVARPUT, SYM___PCSEND, SYM___PCSYMBOL, SYM_CREATEINSTANCE,
         SYM__ARRAYGETCOLLECTION, SYM__ARRAYPUTCOLLECTION, SYM_ARRAYBUILD, SYM_SEND},
        {{&PcArrGetCollection, 0},
         {&PcArrPutCollection, 0},
         {&PcIvaGetCollection, 0},
         {&PcIvaPutCollection, 0},
         {&PcCreateInstance, 1},
         {&PcIVarGet, 2},
         {&PcIVarPut, 3},
         {&PcSend, 2},
         {&PcSymbol, 1},
         {&CreateInstance, 1},
         {&_ArrayGetCollection, 2},
         {&_ArrayPutCollection, 3},
         {&ArrayBuild, 0},
         {&Send, 2}},
    };
    return RTInitWithTable(table);
  }

  // Calls a function the way the runtime does: by symbol, the arguments in an array.
  static Usual CallBySymbol(Sym symbol, const std::vector<Usual>& args) {
    return _CallKestFunc(symbol, ArrayInit(std::uint32_t(args.size()), args.data()));
  }

  static std::vector<SeenError>& Seen() {
    static std::vector<SeenError> seen;
    return seen;
  }
  // What the block answers, in turn; FALSE once they run out.
  static std::deque<Usual>& Answers() {
    static std::deque<Usual> answers;
    return answers;
  }

  // Values made here stay alive until the test ends, wherever the test keeps them.
  Usual Keep(Usual value) { return keeper_->Keep(value); }
  Usual S(const char* text) { return Keep(RuntimeTest::S(text)); }
  Usual Ints(std::initializer_list<std::int32_t> values) {
    std::vector<Usual> items;
    for (std::int32_t v : values) items.push_back(IntValue(v));
    return Keep(ArrayValue(ArrayInit(std::uint32_t(items.size()), items.data())));
  }
  Usual Nest(std::initializer_list<Usual> values) {
    return Keep(ArrayValue(ArrayInit(std::uint32_t(values.size()), values.begin())));
  }
  // A new IndexedBox whose CONTENT is the value.
  Usual Box(Usual content = NilValue()) {
    Usual box = Keep(IndexedBox::New());
    IVarPut(AsObj(box), IndexedBox::ContentSym(), content);
    return box;
  }
  static Usual Sy(const char* name) { return SymbolValue(String2Symbol(Psz2String(name))); }

 private:
  std::unique_ptr<ValueKeeper> keeper_;

  static std::string Text(TbObj e, Sym s) {
    Usual u = IVarGet(e, s);
    return u.type == T_STRING ? std::string(String2Psz(AsStr(u)), SLen(AsStr(u))) : "<" + Describe(u) + ">";
  }
  static std::uint32_t Dword(TbObj e, Sym s) { return _P2DW(IVarGet(e, s)); }
  static bool Logic(TbObj e, Sym s) { return _P2Logic(IVarGet(e, s)) != 0; }

  static std::uint32_t HelperCountWord() {
    for (const Frame* f = GetDASPtr()->top; f; f = f->prev)
      if (f->info && std::strncmp(f->info->name, "__PC", 4) == 0) return f->countWord;
    return 0;
  }

  static Usual RecordingBlock(std::uint32_t, Usual* args) {
    TbObj e = AsObj(args[0]);
    SeenError s{};
    s.subsystem = Text(e, SYM_SUBSYSTEM);
    s.subcode = Dword(e, SYM_SUBCODE);
    s.gencode = Dword(e, SYM_GENCODE);
    s.oscode = Dword(e, SYM_OSCODE);
    s.severity = Dword(e, SYM_SEVERITY);
    s.canDefault = Logic(e, SYM_CANDEFAULT);
    s.canRetry = Logic(e, SYM_CANRETRY);
    s.canSubstitute = Logic(e, SYM_CANSUBSTITUTE);
    s.operation = Text(e, SYM_OPERATION);
    s.description = Text(e, SYM_DESCRIPTION);
    s.filename = Text(e, SYM_FILENAME);
    s.args = Describe(IVarGet(e, SYM_ARGS));
    s.tries = Dword(e, SYM_TRIES);
    s.funcSym = Sym(IVarGet(e, SYM_FUNCSYM).value);
    s.fileHandle = Dword(e, SYM_FILEHANDLE);
    s.argNum = Dword(e, SYM_ARGNUM);
    s.funcPtrNull = IVarGet(e, SYM_FUNCPTR).value == 0;
    s.subcodeText = Text(e, SYM_SUBCODETEXT);
    s.arg = Text(e, SYM_ARG);
    s.argType = Dword(e, SYM_ARGTYPE);
    s.argTypeReq = Dword(e, SYM_ARGTYPEREQ);
    s.maxSize = Dword(e, SYM_MAXSIZE);
    s.substituteType = Dword(e, SYM_SUBSTITUTETYPE);
    s.choice = Dword(e, SYM_CHOICE);
    s.callFuncSym = Sym(IVarGet(e, SYM_CALLFUNCSYM).value);
    s.cargoType = IVarGet(e, SYM_CARGO).type;
    s.methodSelfNull = IVarGet(e, SYM_METHODSELF).value == 0;
    s.stack = Text(e, SYM_STACK);
    s.helperCountWord = HelperCountWord();
    Seen().push_back(s);
    if (Answers().empty()) return LogicValue(false);
    Usual answer = Answers().front();
    Answers().pop_front();
    return answer;
  }
};
