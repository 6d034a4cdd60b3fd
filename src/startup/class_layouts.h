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
  TbStr SUBSYSTEM;
  std::uint32_t SUBCODE;
  std::uint32_t GENCODE;
  std::uint32_t OSCODE;
  std::uint32_t SEVERITY;
  std::uint32_t CANDEFAULT;
  std::uint32_t CANRETRY;
  std::uint32_t CANSUBSTITUTE;
  TbStr OPERATION;
  TbStr DESCRIPTION;
  TbStr FILENAME;
  TbArr ARGS;
  std::uint32_t TRIES;
  Sym FUNCSYM;
  std::uint32_t FILEHANDLE;
  std::uint32_t ARGNUM;
  void* FUNCPTR;
  TbStr SUBCODETEXT;
  TbStr ARG;
  std::uint32_t ARGTYPE;
  std::uint32_t ARGTYPEREQ;
  std::uint32_t MAXSIZE;
  std::uint32_t SUBSTITUTETYPE;
  std::uint32_t CHOICE;
  Sym CALLFUNCSYM;
  Usual CARGO;
  TbObj METHODSELF;
  TbStr STACK;
};

#if defined(__i386__)
static_assert(sizeof(TBObjectInstance) == 12 && offsetof(TBObjectInstance, OCARGO) == 8);
static_assert(sizeof(CodeBlockInstance) == 16 && offsetof(CodeBlockInstance, _CODE) == 8 &&
              offsetof(CodeBlockInstance, NPARAMCOUNT) == 12);
static_assert(sizeof(ErrorInstance) == 124);
static_assert(offsetof(ErrorInstance, SUBSYSTEM) == 8 && offsetof(ErrorInstance, SUBCODE) == 12 &&
              offsetof(ErrorInstance, GENCODE) == 16 && offsetof(ErrorInstance, OSCODE) == 20 &&
              offsetof(ErrorInstance, SEVERITY) == 24 && offsetof(ErrorInstance, CANDEFAULT) == 28 &&
              offsetof(ErrorInstance, CANRETRY) == 32 && offsetof(ErrorInstance, CANSUBSTITUTE) == 36 &&
              offsetof(ErrorInstance, OPERATION) == 40 && offsetof(ErrorInstance, DESCRIPTION) == 44 &&
              offsetof(ErrorInstance, FILENAME) == 48 && offsetof(ErrorInstance, ARGS) == 52 &&
              offsetof(ErrorInstance, TRIES) == 56 && offsetof(ErrorInstance, FUNCSYM) == 60 &&
              offsetof(ErrorInstance, FILEHANDLE) == 64 && offsetof(ErrorInstance, ARGNUM) == 68 &&
              offsetof(ErrorInstance, FUNCPTR) == 72 && offsetof(ErrorInstance, SUBCODETEXT) == 76 &&
              offsetof(ErrorInstance, ARG) == 80 && offsetof(ErrorInstance, ARGTYPE) == 84 &&
              offsetof(ErrorInstance, ARGTYPEREQ) == 88 && offsetof(ErrorInstance, MAXSIZE) == 92 &&
              offsetof(ErrorInstance, SUBSTITUTETYPE) == 96 && offsetof(ErrorInstance, CHOICE) == 100 &&
              offsetof(ErrorInstance, CALLFUNCSYM) == 104 && offsetof(ErrorInstance, CARGO) == 108 &&
              offsetof(ErrorInstance, METHODSELF) == 116 && offsetof(ErrorInstance, STACK) == 120);
#endif
