// Runtime errors: the raw error record, the error function and block, recovery points.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tb28run/values.h"

// The raw error record the runtime fills for a failed operation and hands (as a pointer
// value) to the registered error function. 25 fields; 100 bytes on i386.
struct ErrorStructure {
  const char* subsystem;
  std::uint32_t subcode;
  std::uint32_t gencode;
  std::uint32_t oscode;
  std::uint32_t severity;
  std::uint32_t canDefault;
  std::uint32_t canRetry;
  std::uint32_t canSubstitute;
  const char* operation;
  const char* description;
  const char* filename;
  const void* argBlock;  // an ErrorArgBlock, or null
  std::uint32_t tries;
  Sym funcSym;
  std::uint32_t fileHandle;
  std::uint32_t argNum;
  const void* funcPtr;
  const char* subcodeText;
  const char* arg;
  std::uint32_t argType;
  std::uint32_t argTypeReq;
  std::uint32_t maxSize;
  std::uint32_t substituteType;
  std::uint32_t choice;
  Sym callFuncSym;
};

// The arguments of a failed call: two 16-bit counts, then dynamic values (as many as the larger).
struct ErrorArgBlock {
  std::uint16_t count1;
  std::uint16_t count2;
  Usual values[1];
};

#if defined(__i386__)
static_assert(sizeof(ErrorStructure) == 100, "the raw error record is 100 bytes on i386");
static_assert(offsetof(ErrorStructure, choice) == 92 && offsetof(ErrorStructure, callFuncSym) == 96);
static_assert(offsetof(ErrorArgBlock, values) == 4);
#endif

// Query (no argument) or set (one code block) the error block; answers the previous one.
TBRT Usual ErrorBlock(std::uint32_t countWord, Usual* args);
// Query or set the error function (a pointer value to a KestFn); answers the previous one.
TBRT Usual ErrorFunc(std::uint32_t countWord, Usual* args);
// The error object the error function builds from the record.
TBRT Usual ErrorBuild(ErrorStructure* record);

// Recovery points. LabelPush registers one and answers its number; LabelJump unwinds to the
// innermost one by throwing TbBreak, which the code that pushed it catches (and then pops it).
struct TB28RUN_API TbBreak {
  std::uint32_t label;
  Usual value;
};
TBRT std::uint32_t LabelPush(void);
TBRT void LabelPop(void);
TBRT void LabelJump(Usual value) __attribute__((noreturn));
TBRT std::int32_t CanBreak(void);

// The text of a generic error code ("" for a code without one).
TBRT TbStr ErrString(std::uint32_t gencode);
