// The storage of the program's three classes. The first two words of every instance belong to
// the runtime. On i386 these are the classic layouts (sizes and offsets asserted below); on wider
// targets references widen and the offsets follow from the structures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/tb28run.h"

struct TBObjectInstance {
  InstanceHeader header;
  TbObj OCARGO;
};

struct CodeBlockInstance {
  InstanceHeader header;
  TbStr _CODE;
  std::int32_t NPARAMCOUNT;
};

struct ErrorInstance {
  InstanceHeader header;
#define ERROR_VARIABLE(NAME, Kind, member, label, i386) error_field::Kind::Stored NAME;
  TB_ERROR_FIELDS(ERROR_VARIABLE)
#undef ERROR_VARIABLE
};

#if defined(__i386__)
static_assert(sizeof(TBObjectInstance) == 12 && offsetof(TBObjectInstance, OCARGO) == 8);
static_assert(sizeof(CodeBlockInstance) == 16 && offsetof(CodeBlockInstance, _CODE) == 8 &&
              offsetof(CodeBlockInstance, NPARAMCOUNT) == 12);
static_assert(sizeof(ErrorInstance) == 124);
#define ERROR_VARIABLE_AT(NAME, Kind, member, label, i386) static_assert(offsetof(ErrorInstance, NAME) == i386);
TB_ERROR_FIELDS(ERROR_VARIABLE_AT)
#undef ERROR_VARIABLE_AT
#endif
