#include "startup/process_entry.h"

#include <windows.h>
#include <cstring>

char* CommandLineCopy = nullptr;
std::uint32_t RuntimeUp = 0;

namespace {

void* InitialStackPointer = nullptr;
HMODULE ModuleHandle = nullptr;
STARTUPINFOA StartupInfo;

constexpr unsigned char kSignature[12] = {'A', 'T', 'O', 'M', 'T', 'A', 'B', 'L', 'E', 0, 0, 0};

std::uint32_t ReadU32(const unsigned char* at) {
  return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
}

// The whole bring-up; false at the first step that fails.
bool BringUp(const ModuleRecord& record) {
  SetHandleCount(255);
  ModuleHandle = GetModuleHandleA(nullptr);
  StartupInfo = STARTUPINFOA{};
  StartupInfo.cb = sizeof(STARTUPINFOA);
  GetStartupInfoA(&StartupInfo);

  if (MemInit() != 0) return false;

  const char* commandLine = GetCommandLineA();
  if (!commandLine) commandLine = "";
  std::uint32_t n = std::uint32_t(std::strlen(commandLine)) + 1;
  CommandLineCopy = static_cast<char*>(MemAlloc(n));
  if (!CommandLineCopy) return false;
  std::memcpy(CommandLineCopy, commandLine, n);

  if (AtomInit() != 0) return false;
  if (CreateAtomTable(record.AtomTableSize, ATOM_TABLE_MAX_NAMES) != 0) return false;

  HRSRC found =
      FindResourceA(ModuleHandle, MAKEINTRESOURCEA(ATOMTABLE_RESOURCE_NAME), MAKEINTRESOURCEA(ATOMTABLE_RESOURCE_TYPE));
  HGLOBAL loaded = found ? LoadResource(ModuleHandle, found) : nullptr;
  auto* bytes = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return false;
  if (!RegisterAtomTable(bytes, SizeofResource(ModuleHandle, found))) return false;

  std::uint32_t startupInfoSize = std::uint32_t(*reinterpret_cast<const WORD*>(&StartupInfo));
  if (RTInit(&ProcessExit, record.ModuleKind, record.FunctionCount, record.SymbolList, CommandLineCopy, startupInfoSize,
             0, ModuleHandle, record.GlobalAreaTable, 1, 10, 1, 1, record.StackSize, InitialStackPointer) != 0)
    return false;
  ++RuntimeUp;
  return true;
}

}  // namespace

bool RegisterAtomTable(const unsigned char* bytes, std::uint32_t size) {
  if (size < sizeof kSignature) return false;
  for (int word = 0; word < 3; ++word)
    if (ReadU32(bytes + 4 * word) != ReadU32(kSignature + 4 * word)) return false;
  std::uint32_t position = sizeof kSignature;
  for (;;) {
    // Every length is checked against what is left, so a damaged table cannot lead the walk
    // out of the resource.
    if (size - position < 4) return false;
    std::uint32_t length = ReadU32(bytes + position);
    if (length == 0) return true;
    if (length > size - position - 4) return false;
    const char* name = reinterpret_cast<const char*>(bytes + position + 4);
    if (name[length - 1] != '\0') return false;
    if (SysAddAtom(name) == 0) return false;
    position += 4 + length;
  }
}

void ProcessExit(std::uint32_t exitCode) {
  if (RuntimeUp) RTExit();
  ExitProcess(exitCode);
}

void ProcessEntryWith(const ModuleRecord& record) {
  if (!BringUp(record)) ProcessExit(STARTUP_FAILURE_EXIT_CODE);
  if (record.InitHook && record.InitHook() != 0) ProcessExit(STARTUP_FAILURE_EXIT_CODE);
  Usual result = record.MainFunction(0, nullptr);
  __ConvertResult(result.value, result.type);
  ProcessExit(std::uint32_t(result.value));
}

void ProcessEntry() {
  InitialStackPointer = __builtin_frame_address(0);
  ProcessEntryWith(TheModuleRecord);
}
