// The dynamic value ("usual"): a pointer-sized value word and a 32-bit type code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tb28run/api.h"
#include "tb28run/assert.h"

using Sym = std::uint32_t;  // a symbol number; 0 is the empty symbol

enum : std::uint32_t {
  T_NIL = 0,
  T_INT = 1,   // signed 32-bit
  T_DATE = 2,  // a day number (Julian day)
  T_FLOAT = 3,
  T_ARRAY = 5,
  T_OBJECT = 6,
  T_STRING = 7,
  T_LOGIC = 8,
  T_CODEBLOCK = 9,
  T_SYMBOL = 10,
  T_DWORD = 14,  // instance-variable storage only: unsigned 32-bit
  T_PTR = 18,
  T_USUAL = 19,      // instance-variable storage only: a whole dynamic value
  T_PTR_CALL = 139,  // a pointer handed as a call argument (treated as T_PTR)
};

struct TbString;  // collector-owned string
struct TbArray;   // collector-owned array of dynamic values
struct TbFloat;   // collector-owned boxed double
struct Instance;  // an object's storage; its first two words belong to the runtime

using TbStr = TbString*;  // a null TbStr reads as the empty string
using TbArr = TbArray*;   // a null TbArr is "the null array"
using TbObj = Instance*;  // a null TbObj is "no object"

struct Usual {
  std::uintptr_t value;
  std::uint32_t type;
};

#if defined(__i386__)
static_assert(sizeof(Usual) == 8, "a dynamic value is 8 bytes on i386");
#endif

// The two words every instance begins with: the class and a word for the collector.
struct InstanceHeader {
  void* cls;
  std::uintptr_t gcword;
};

// Functions reachable by symbol and runtime exports that take dynamic arguments share one
// signature: the count word (declared << 16 | passed) and the argument slots. The slot array
// holds max(declared, passed) values; declared slots not passed hold NIL.
using KestFn = Usual (*)(std::uint32_t countWord, Usual* args);
// A method body receives the object it was sent to first.
using MethodFn = Usual (*)(Usual self, std::uint32_t countWord, Usual* args);

constexpr std::uint32_t CountWord(std::uint16_t declared, std::uint16_t passed) {
  return (std::uint32_t(declared) << 16) | passed;
}
constexpr std::uint16_t DeclaredOf(std::uint32_t countWord) { return std::uint16_t(countWord >> 16); }
constexpr std::uint16_t PassedOf(std::uint32_t countWord) { return std::uint16_t(countWord & 0xFFFF); }
constexpr std::uint32_t SlotsOf(std::uint32_t countWord) {
  return DeclaredOf(countWord) > PassedOf(countWord) ? DeclaredOf(countWord) : PassedOf(countWord);
}

// Plain constructors for values that need no allocation.
constexpr Usual NilValue() { return Usual{0, T_NIL}; }
constexpr Usual IntValue(std::int32_t v) { return Usual{std::uintptr_t(std::uint32_t(v)), T_INT}; }
constexpr Usual LogicValue(bool v) { return Usual{v ? 1u : 0u, T_LOGIC}; }
constexpr Usual SymbolValue(Sym s) { return Usual{s, T_SYMBOL}; }
inline Usual PtrValue(const void* p) { return Usual{reinterpret_cast<std::uintptr_t>(p), T_PTR}; }
inline Usual StringValue(TbStr s) { return Usual{reinterpret_cast<std::uintptr_t>(s), T_STRING}; }
inline Usual ArrayValue(TbArr a) { return Usual{reinterpret_cast<std::uintptr_t>(a), T_ARRAY}; }
inline Usual ObjectValue(TbObj o) { return Usual{reinterpret_cast<std::uintptr_t>(o), T_OBJECT}; }

inline bool IsPointerType(std::uint32_t type) { return type == T_PTR || type == T_PTR_CALL; }

// Reading a value. The type is read through TypeOf and tested through the predicates; the word
// through the accessor of the type the caller has tested, which checks it (TB_ASSERT), or
// through WordOf where any type will do (identity, marking, a zero test).
inline std::uint32_t TypeOf(Usual u) { return u.type; }
inline bool HasType(Usual u, std::uint32_t type) { return u.type == type; }
inline bool IsNilValue(const Usual& u) { return u.type == T_NIL; }
inline bool IsPointerValue(const Usual& u) { return IsPointerType(u.type); }
// An object other than the empty one, which stands for none.
inline bool IsSomeObject(const Usual& u) { return u.type == T_OBJECT && u.value; }
inline std::uintptr_t WordOf(Usual u) { return u.value; }

inline TbStr AsStr(Usual u) {
  TB_ASSERT(u.type == T_STRING);
  return reinterpret_cast<TbStr>(u.value);
}
inline TbArr AsArr(Usual u) {
  TB_ASSERT(u.type == T_ARRAY);
  return reinterpret_cast<TbArr>(u.value);
}
inline TbObj AsObj(Usual u) {
  TB_ASSERT(u.type == T_OBJECT);
  return reinterpret_cast<TbObj>(u.value);
}
inline std::int32_t AsInt(Usual u) {
  TB_ASSERT(u.type == T_INT);
  return std::int32_t(std::uint32_t(u.value));
}
inline std::uint32_t AsDword(Usual u) {
  TB_ASSERT(u.type == T_DWORD);
  return std::uint32_t(u.value);
}
inline std::uint32_t AsDay(Usual u) {
  TB_ASSERT(u.type == T_DATE);
  return std::uint32_t(u.value);
}
inline Sym AsSym(Usual u) {
  TB_ASSERT(u.type == T_SYMBOL);
  return Sym(u.value);
}
// The word a logic value holds: 0 is false; some settings read 2 as a third answer.
inline std::uintptr_t AsLogicWord(Usual u) {
  TB_ASSERT(u.type == T_LOGIC);
  return u.value;
}
inline bool AsLogic(Usual u) { return AsLogicWord(u) != 0; }
inline void* AsPtr(Usual u) { return reinterpret_cast<void*>(u.value); }
