#include "value_maker.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <iterator>
#include <string>

#include "fuzz_session.h"
#include "indexed_box.h"
#include "runtime/call.h"

namespace fuzz {
namespace {

constexpr unsigned kMaxDepth = 3;
constexpr std::uint32_t kMaxArrayLength = 5;
constexpr std::size_t kMaxTextBytes = 80;
// Now and then a text past the 64 KiB that texts of the error system reserve room for.
constexpr std::size_t kMaxLongTextBytes = 1 << 17;

// Names beside the program's own (its ATOMTABLE) that lead somewhere: classes, methods and
// variables of the runtime and of the fuzz classes.
constexpr const char* kOtherNames[] = {"FUZZBOX",     "INDEXEDBOX",    "CONTENT",        "CODEBLOCK",  "EVAL",
                                       "INIT",        "COLLECTIONGET", "COLLECTIONPUT",  "FINALIZE",   "_CODE",
                                       "NPARAMCOUNT", "SEND",          "CREATEINSTANCE", "ARRAYBUILD", "",
                                       " ",           "NO SUCH NAME"};

const Sym kErrorFields[] = {SYM_SUBSYSTEM,  SYM_SUBCODE,    SYM_GENCODE,        SYM_OSCODE,    SYM_SEVERITY,
                            SYM_CANDEFAULT, SYM_CANRETRY,   SYM_CANSUBSTITUTE,  SYM_OPERATION, SYM_DESCRIPTION,
                            SYM_FILENAME,   SYM_ARGS,       SYM_TRIES,          SYM_FUNCSYM,   SYM_FILEHANDLE,
                            SYM_ARGNUM,     SYM_FUNCPTR,    SYM_SUBCODETEXT,    SYM_ARG,       SYM_ARGTYPE,
                            SYM_ARGTYPEREQ, SYM_MAXSIZE,    SYM_SUBSTITUTETYPE, SYM_CHOICE,    SYM_CALLFUNCSYM,
                            SYM_CARGO,      SYM_METHODSELF, SYM_STACK};

unsigned char scratch[64];  // what pointer values may point at

Usual Echo(std::uint32_t countWord, Usual* args) { return PassedOf(countWord) ? args[0] : NilValue(); }
Usual Nothing(std::uint32_t, Usual*) { return NilValue(); }
// A block that fails inside: a runtime error raised while another may be handled.
Usual Faulty(std::uint32_t, Usual*) { return ArrayGet(nullptr, 1); }
Usual CountOfArguments(std::uint32_t countWord, Usual*) { return IntValue(PassedOf(countWord)); }

const CodeBlock kBlocks[] = {{1, &Echo},    {0, &Echo},   {3, &Echo},   {0, &Nothing},
                             {2, &Nothing}, {1, &Faulty}, {0, &Faulty}, {5, &CountOfArguments}};

}  // namespace

const char* ValueMaker::KnownName() {
  std::size_t program = std::size(ATOMTABLE_NAMES), other = std::size(kOtherNames);
  std::size_t pick = in_.ConsumeIntegralInRange<std::size_t>(0, program + other + kFuzzBoxVariableCount - 1);
  if (pick < program) return ATOMTABLE_NAMES[pick];
  if (pick < program + other) return kOtherNames[pick - program];
  return kFuzzBoxVariables[pick - program - other];
}

Sym ValueMaker::Symbol() {
  switch (in_.ConsumeIntegralInRange(0, 3)) {
    case 0: return 0;
    case 1: return in_.ConsumeIntegral<std::uint32_t>();
    default: return String2Symbol(Psz2String(KnownName()));
  }
}

Sym ValueMaker::ErrorField() {
  if (in_.ConsumeIntegralInRange(0, 15) == 0) return Symbol();
  return kErrorFields[in_.ConsumeIntegralInRange<std::size_t>(0, std::size(kErrorFields) - 1)];
}

Usual ValueMaker::Name() {
  std::string name = KnownName();
  if (in_.ConsumeBool())
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
  return roots_.Keep(StringValue(Mem2String(name.data(), std::uint32_t(name.size()))));
}

Usual ValueMaker::Text() {
  if (in_.ConsumeBool()) return Name();
  std::string bytes =
      in_.ConsumeRandomLengthString(in_.ConsumeIntegralInRange(0, 15) == 0 ? kMaxLongTextBytes : kMaxTextBytes);
  return roots_.Keep(StringValue(Mem2String(bytes.data(), std::uint32_t(bytes.size()))));
}

Usual ValueMaker::Number() {
  switch (in_.ConsumeIntegralInRange(0, 4)) {
    case 0: return IntValue(in_.ConsumeIntegral<std::int32_t>());
    case 1: return IntValue(in_.ConsumeIntegralInRange(-3, 12));
    case 2: return roots_.Keep(_DW2T(in_.ConsumeIntegral<std::uint32_t>() | 0x80000000u));
    case 3: {
      // Decimal text read back by the runtime: fractions, huge magnitudes, past the double range.
      std::string text = in_.ConsumeBool() ? "-" : "";
      std::size_t whole = in_.ConsumeBool() ? in_.ConsumeIntegralInRange<std::size_t>(0, 24)
                                            : in_.ConsumeIntegralInRange<std::size_t>(300, 320);
      for (std::size_t i = 0; i < whole; ++i) text += char('0' + in_.ConsumeIntegralInRange(0, 9));
      if (in_.ConsumeBool()) {
        text += '.';
        for (std::size_t i = 0, n = in_.ConsumeIntegralInRange<std::size_t>(0, 12); i < n; ++i)
          text += char('0' + in_.ConsumeIntegralInRange(0, 9));
      }
      return roots_.Keep(Val(Psz2String(text.c_str())));
    }
    default: {
      // A sum that leaves 32 bits.
      Usual a = roots_.Keep(_DW2T(in_.ConsumeIntegral<std::uint32_t>() | 0x80000000u));
      return roots_.Keep(_PAD(a, IntValue(in_.ConsumeIntegral<std::int32_t>())));
    }
  }
}

Usual ValueMaker::Plain() {
  switch (in_.ConsumeIntegralInRange(0, 5)) {
    case 0: return NilValue();
    case 1: return IntValue(in_.ConsumeIntegral<std::int32_t>());
    case 2: return Usual{in_.ConsumeIntegral<std::uint32_t>(), T_DATE};
    case 3: return Usual{in_.ConsumeIntegralInRange<std::uint32_t>(0, 3), T_LOGIC};
    case 4: return SymbolValue(Symbol());
    default: return Usual{in_.ConsumeIntegral<std::uint32_t>(), T_DWORD};
  }
}

Usual ValueMaker::Block() {
  if (in_.ConsumeIntegralInRange(0, 7) == 0) return Usual{0, T_CODEBLOCK};
  return CodeBlockValue(&kBlocks[in_.ConsumeIntegralInRange<std::size_t>(0, std::size(kBlocks) - 1)]);
}

Usual ValueMaker::Array(unsigned depth) {
  if (in_.ConsumeIntegralInRange(0, 7) == 0) return Usual{0, T_ARRAY};
  std::uint32_t n = in_.ConsumeIntegralInRange<std::uint32_t>(0, kMaxArrayLength);
  Usual array = roots_.Keep(ArrayValue(ArrayCreate(n)));
  if (array.type != T_ARRAY) return array;
  for (std::uint32_t i = 1; i <= n; ++i) {
    // Now and then the array holds itself: a cycle for every walk to survive.
    Usual item = in_.ConsumeIntegralInRange(0, 15) == 0 ? array : Any(depth + 1);
    ArrayPut(AsArr(array), i, item);
  }
  return array;
}

Usual ValueMaker::Object(unsigned depth) {
  auto create = [this](std::initializer_list<Usual> args) {
    std::uint16_t n = std::uint16_t(args.size());
    Usual slots[3] = {NilValue(), NilValue(), NilValue()};
    std::copy(args.begin(), args.end(), slots);
    return roots_.Keep(CreateInstance(CountWord(1, n), slots));
  };
  switch (in_.ConsumeIntegralInRange(0, 6)) {
    case 0: return ObjectValue(nullptr);
    case 1: return create({SymbolValue(SYM_ERROR), IntValue(in_.ConsumeIntegralInRange(0, 3))});
    case 2: {
      Usual box = create({SymbolValue(FuzzBoxClass())});
      if (box.type == T_OBJECT && box.value && depth < kMaxDepth) {
        // One variable set: of its type, or not (the conversion then fails to the error block).
        const char* name = kFuzzBoxVariables[in_.ConsumeIntegralInRange<std::uint32_t>(0, kFuzzBoxVariableCount - 1)];
        IVarPut(AsObj(box), SysAddAtom(name), Any(depth + 1));
      }
      return box;
    }
    case 3: return roots_.Keep(IndexedBox::New());
    case 4: return create({SymbolValue(SYM_CODEBLOCK), Block(), IntValue(in_.ConsumeIntegralInRange(-1, 4))});
    case 5: return create({SymbolValue(SYM_TBOBJECT)});
    default: {
      // An error with something in every text and the arguments a failed call would carry.
      Usual error = create({SymbolValue(SYM_ERROR), IntValue(0)});
      if (error.type == T_OBJECT && error.value && depth < kMaxDepth) {
        IVarPut(AsObj(error), SYM_DESCRIPTION, Text());
        IVarPut(AsObj(error), SYM_ARGS, Array(depth + 1));
      }
      return error;
    }
  }
}

Usual ValueMaker::Any(unsigned depth) {
  if (roots_.Full()) return NilValue();
  bool deep = depth >= kMaxDepth;
  switch (in_.ConsumeIntegralInRange(0, 15)) {
    case 0: return NilValue();
    case 1:
    case 2: return Number();
    case 3: return Usual{in_.ConsumeIntegral<std::uint32_t>(), T_DATE};
    case 4: return deep ? Usual{0, T_ARRAY} : Array(depth);
    case 5: return deep ? ObjectValue(nullptr) : Object(depth);
    case 6:
    case 7: return Text();
    case 8: return Usual{in_.ConsumeIntegralInRange<std::uint32_t>(0, 3), T_LOGIC};
    case 9: return Block();
    case 10: return SymbolValue(Symbol());
    case 11: return Usual{in_.ConsumeIntegral<std::uint32_t>(), T_DWORD};
    case 12:
    case 13: {
      std::uint32_t type = in_.ConsumeBool() ? T_PTR : T_PTR_CALL;
      switch (in_.ConsumeIntegralInRange(0, 2)) {
        case 0: return Usual{0, type};
        case 1: return Usual{reinterpret_cast<std::uintptr_t>(scratch), type};
        default: return Usual{in_.ConsumeIntegral<std::uintptr_t>(), type};
      }
    }
    case 14: return Usual{in_.ConsumeIntegral<std::uint32_t>(), T_USUAL};
    default: {
      // A type code no value has (4, 11 to 13, 15 to 17, 20 and up but 139).
      static constexpr std::uint32_t kUnknown[] = {4, 11, 12, 13, 15, 16, 17, 20, 99, 138, 140, 0xFFFFFFFFu};
      return Usual{in_.ConsumeIntegral<std::uint32_t>(),
                   kUnknown[in_.ConsumeIntegralInRange<std::size_t>(0, std::size(kUnknown) - 1)]};
    }
  }
}

}  // namespace fuzz
