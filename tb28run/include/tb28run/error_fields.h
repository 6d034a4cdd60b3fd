// The variables of the program's ERROR class, one line each, in the order its instances store
// them. The instance layout, the class declaration and its reference map, the raw error record,
// the fills of an error from a record and the error log all expand these lists, so that a
// variable is added, moved or retyped in one place.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

namespace error_field {

// What a variable holds: its type in the raw error record (void: not in the record), in the
// instance, and as a variable.
template <class InRecordType, class StoredType, std::uint32_t Type>
struct Kind {
  using InRecord = InRecordType;
  using Stored = StoredType;
  static constexpr std::uint32_t type = Type;
};
using Text = Kind<const char*, TbStr, T_STRING>;
using Dword = Kind<std::uint32_t, std::uint32_t, T_DWORD>;
using Logic = Kind<std::uint32_t, std::uint32_t, T_LOGIC>;
using Symbol = Kind<Sym, Sym, T_SYMBOL>;
using Pointer = Kind<const void*, void*, T_PTR>;
using Array = Kind<const void* /* an ErrorArgBlock, or null */, TbArr, T_ARRAY>;
using Dynamic = Kind<void, Usual, T_USUAL>;
using Object = Kind<void, TbObj, T_OBJECT>;

}  // namespace error_field

// X(NAME, Kind, recordMember, logLabel, i386Offset): the variable NAME holds an error_field::Kind;
// the raw error record carries it as recordMember; the error log heads its line with logLabel
// (null: not logged); on i386 it lies i386Offset bytes into the instance, and so eight bytes
// less into the record, which has no instance header.
// clang-format off
#define TB_ERROR_RECORD_FIELDS(X)                                 \
  X(SUBSYSTEM,      Text,    subsystem,      "SubSystem",      8)   \
  X(SUBCODE,        Dword,   subcode,        "SubCode",        12)  \
  X(GENCODE,        Dword,   gencode,        "GenCode",        16)  \
  X(OSCODE,         Dword,   oscode,         "OsCode",         20)  \
  X(SEVERITY,       Dword,   severity,       "Severity",       24)  \
  X(CANDEFAULT,     Logic,   canDefault,     "CanDefault",     28)  \
  X(CANRETRY,       Logic,   canRetry,       "CanRetry",       32)  \
  X(CANSUBSTITUTE,  Logic,   canSubstitute,  "CanSubstitute",  36)  \
  X(OPERATION,      Text,    operation,      "Operation",      40)  \
  X(DESCRIPTION,    Text,    description,    "Description",    44)  \
  X(FILENAME,       Text,    filename,       "FileName",       48)  \
  X(ARGS,           Array,   argBlock,       nullptr,          52)  \
  X(TRIES,          Dword,   tries,          "Tries",          56)  \
  X(FUNCSYM,        Symbol,  funcSym,        "FuncSym",        60)  \
  X(FILEHANDLE,     Dword,   fileHandle,     "FileHandle",     64)  \
  X(ARGNUM,         Dword,   argNum,         "ArgNum",         68)  \
  X(FUNCPTR,        Pointer, funcPtr,        "FuncPtr",        72)  \
  X(SUBCODETEXT,    Text,    subcodeText,    "SubCodeText",    76)  \
  X(ARG,            Text,    arg,            "Arg",            80)  \
  X(ARGTYPE,        Dword,   argType,        "ArgType",        84)  \
  X(ARGTYPEREQ,     Dword,   argTypeReq,     "ArgTypeReq",     88)  \
  X(MAXSIZE,        Dword,   maxSize,        "MaxSize",        92)  \
  X(SUBSTITUTETYPE, Dword,   substituteType, "SubstituteType", 96)  \
  X(CHOICE,         Dword,   choice,         nullptr,          100) \
  X(CALLFUNCSYM,    Symbol,  callFuncSym,    "CallFuncSym",    104)

// The variables past the record's fields: the instance has them, the record does not.
#define TB_ERROR_INSTANCE_ONLY_FIELDS(X)                          \
  X(CARGO,          Dynamic, ,               nullptr,          108) \
  X(METHODSELF,     Object,  ,               nullptr,          116) \
  X(STACK,          Text,    ,               nullptr,          120)
// clang-format on

#define TB_ERROR_FIELDS(X) TB_ERROR_RECORD_FIELDS(X) TB_ERROR_INSTANCE_ONLY_FIELDS(X)
