// Code blocks: a value of type 9 points at a CodeBlock (parameter count, function); an object of
// the CodeBlock class keeps those bytes in its _CODE string and runs them through CBRTEval.
#include <cstring>
#include <vector>

#include "call_slots.h"
#include "classes.h"
#include "error_road.h"
#include "heap.h"
#include "predefined_symbols.h"
#include "symbols_table.h"
#include "tb28run/objects.h"

namespace {

Sym CodeSymbol() { return tb::LookupExact("_CODE"); }
Sym ParamCountSymbol() { return tb::LookupExact("NPARAMCOUNT"); }

// The block behind a code-block object, or false when the object holds none.
bool BlockOf(TbObj object, CodeBlock* block) {
  if (!object) return false;
  Usual code = IVarGet(object, CodeSymbol());
  if (!HasType(code, T_STRING) || tb::Length(AsStr(code)) != sizeof(CodeBlock)) return false;
  std::memcpy(block, tb::Text(AsStr(code)), sizeof(CodeBlock));
  return block->function != nullptr;
}

}  // namespace

TBRT Usual CBRTInit(Usual self, std::uint32_t countWord, Usual* args) {
  TbObj object = _P2Object(self);
  if (!object) return self;
  Usual code = PassedOf(countWord) >= 1 ? args[0] : NilValue();
  if (!HasType(code, T_CODEBLOCK) || !WordOf(code)) return self;
  CodeBlock block;
  std::memcpy(&block, reinterpret_cast<const void*>(WordOf(code)), sizeof block);
  if (PassedOf(countWord) >= 2 && HasType(args[1], T_INT)) block.paramCount = std::uint16_t(AsInt(args[1]));
  IVarPut(object, CodeSymbol(), StringValue(tb::NewString(reinterpret_cast<const char*>(&block), sizeof block)));
  IVarPut(object, ParamCountSymbol(), IntValue(block.paramCount));
  return self;
}

TBRT Usual CBRTEval(Usual self, std::uint32_t countWord, Usual* args) {
  // The receiver is settled once: a retry looks at its block again, not at whether it is an object.
  TbObj object = _P2Object(self);
  CodeBlock block;
  tb::Insisted found =
      tb::Insist([&] { return BlockOf(object, &block); }, [&] { return tb::TypeReport("Eval", self, T_CODEBLOCK); });
  if (!found.holds) return found.answer.SubstituteOr(NilValue());
  return tb::CallFunction(block.function, block.paramCount, args, PassedOf(countWord));
}

TBRT Usual Eval(std::uint32_t countWord, Usual* args) {
  std::uint32_t passed = PassedOf(countWord);
  Usual target = passed ? args[0] : NilValue();
  const Usual* rest = passed > 1 ? args + 1 : nullptr;
  std::uint32_t restCount = passed > 1 ? passed - 1 : 0;
  const tb::MethodInfo* method = nullptr;
  auto evaluable = [&] {
    if (HasType(target, T_CODEBLOCK)) return WordOf(target) != 0;
    return IsSomeObject(target) && (method = tb::FindMethod(tb::ClassOf(AsObj(target)), SYM_EVAL)) != nullptr;
  };
  tb::Insisted found = tb::Insist(evaluable, [&] { return tb::TypeReport("Eval", target, T_CODEBLOCK); });
  if (!found.holds) return found.answer.SubstituteOr(NilValue());
  if (method) return tb::CallMethod(*method, target, rest, restCount);
  auto* block = reinterpret_cast<const CodeBlock*>(WordOf(target));
  return tb::CallFunction(block->function, block->paramCount, rest, restCount);
}
