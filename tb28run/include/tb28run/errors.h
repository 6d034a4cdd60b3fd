// Runtime errors: the raw error record, the error function and block, recovery points.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tb28run/error_fields.h"
#include "tb28run/values.h"

// The raw error record the runtime fills for a failed operation and hands (as a pointer
// value) to the registered error function: the Error class's variables up to CALLFUNCSYM.
struct ErrorStructure {
#define TB_RECORD_MEMBER(NAME, Kind, member, label, i386) error_field::Kind::InRecord member;
  TB_ERROR_RECORD_FIELDS(TB_RECORD_MEMBER)
#undef TB_RECORD_MEMBER
};

// The arguments of a failed call: two 16-bit counts, then dynamic values (as many as the larger).
struct ErrorArgBlock {
  std::uint16_t count1;
  std::uint16_t count2;
  Usual values[1];
};

#if defined(__i386__)
static_assert(sizeof(ErrorStructure) == 100, "the raw error record is 100 bytes on i386");
#define TB_RECORD_AT(NAME, Kind, member, label, i386) static_assert(offsetof(ErrorStructure, member) == i386 - 8);
TB_ERROR_RECORD_FIELDS(TB_RECORD_AT)
#undef TB_RECORD_AT
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
