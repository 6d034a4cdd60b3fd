// The activation stack: every routine of the program registers a frame while it runs.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

struct FrameInfo {
  const char* name;  // methods are CLASS:METHOD
  const char* file;
};

struct Frame {
  const FrameInfo* info;
  std::uint32_t countWord;  // as received; 0 for routines without dynamic arguments
  Usual* args;              // SlotsOf(countWord) slots
  Usual* locals;            // slots holding collectable values, cleared by the routine
  std::uint32_t localCount;
  std::uint32_t line;  // the activation's line, saved while a callee runs
  Sym symbol;          // announced with _GAS
  Sym nameSymbol;
  Usual result;  // held by _PAS while the frame is removed
  Frame* prev;
};

// The record GetDASPtr returns: its second 32-bit field is the depth (the asking routine's own
// activation not counted).
struct ActivationStack {
  std::uint32_t version;
  std::uint32_t depth;
  Frame* top;
};

// The current source line of the innermost activation.
extern "C" TB28RUN_API std::uint32_t uiLineNum_RT;

TBRT void INCKidStackPtr(Frame* frame);
// Removes the frame and any frame left above it.
TBRT void DECKidStackPtr(Frame* frame);
TBRT void _GAS(Sym symbol, Sym nameSymbol);
TBRT void _PAS(Usual result);
TBRT const ActivationStack* GetDASPtr(void);

// Routine name, current line and source file of the activation at a level (one numeric
// argument, default 0). The routine that asks does not count itself: level 0 is its caller,
// higher levels lie further out, and GetDASPtr's depth leaves it out too. Past the depth they
// answer "" and 0. Reachable by symbol, hence the dynamic signature.
TBRT Usual ProcName(std::uint32_t countWord, Usual* args);
TBRT Usual ProcLine(std::uint32_t countWord, Usual* args);
TBRT Usual ProcFile(std::uint32_t countWord, Usual* args);
// The executable's file name without its directory.
TBRT TbStr _ExecName(void);

// Arguments of the innermost activation.
TBRT std::uint32_t PCount(void);
TBRT Usual _GetFParam(std::uint32_t position);  // 1-based; NIL past the count
