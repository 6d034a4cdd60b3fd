// Classes, objects, messages and code blocks.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// A code block: the parameter count first, then the function it runs. A code-block value
// (type 9) points at one of these.
struct CodeBlock {
  std::uint16_t paramCount;
  KestFn function;
};

inline Usual CodeBlockValue(const CodeBlock* block) {
  return Usual{reinterpret_cast<std::uintptr_t>(block), T_CODEBLOCK};
}

// A reference map: a run count, then (offset, count) runs of pointer-sized reference fields;
// a count with bit 31 set is a run of dynamic values.
constexpr std::uint32_t REFMAP_USUAL_RUN = 0x80000000u;

// Declares a class. After the seven fixed arguments come ivarCount groups of five unsigned
// values: symbol, byte offset, type code, size in bytes, access flags. The reference map covers the
// whole instance; a null map takes the superclass's. 0 on success.
TBRT std::int32_t DeclareClass(Sym classSym, Sym superSym, std::uint32_t instanceSize,
                               const std::uint32_t* referenceMap, std::uint32_t reserved5, std::uint32_t reserved6,
                               std::uint32_t ivarCount, ...);
// 0 on success.
TBRT std::int32_t DeclareMethod(Sym classSym, Sym methodSym, std::uint32_t reserved, MethodFn function,
                                std::uint32_t params);

// Class symbol, then the constructor's arguments. The new object, or a null object.
TBRT Usual CreateInstance(std::uint32_t countWord, Usual* args);
TBRT std::int32_t IsInstanceOf(Usual value, Sym classSym);
TBRT std::int32_t IsClass(Sym classSym);
TBRT Usual IVarGet(TbObj object, Sym ivar);
// Stores the value (converted to the variable's type) and returns the value as stored.
TBRT Usual IVarPut(TbObj object, Sym ivar, Usual value);
// Non-zero (the access flags, at least 1) when the object's class has the variable.
TBRT std::uint32_t IVarGetInfo(TbObj object, Sym ivar);
// Object, method symbol (or name), then the message's arguments.
TBRT Usual Send(std::uint32_t countWord, Usual* args);
TBRT Usual _SendSelf(std::uint32_t countWord, Usual* args);
TBRT Usual _SendClassParams(TbObj object, Sym method, TbArr args);
TBRT TbObj _P2Object(Usual value);

// Method bodies of the CodeBlock class: Init(code block, parameter count) and Eval(arguments…).
TBRT Usual CBRTInit(Usual self, std::uint32_t countWord, Usual* args);
TBRT Usual CBRTEval(Usual self, std::uint32_t countWord, Usual* args);
// A code block (value or CodeBlock object) and its arguments.
TBRT Usual Eval(std::uint32_t countWord, Usual* args);
TBRT std::int32_t IsNil(Usual value);
