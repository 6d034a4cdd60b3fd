// Modules: GetModuleHandleA and GetModuleFileNameA.
//
// The main module's handle is the load address of the executable, a shared object's handle the
// address of its first mapping (as an HMODULE is an image base on Windows). A name is looked up
// the way Windows does: case-insensitively, by the file name of the main executable, of a module
// pretended loaded by the test hook, or of a shared object mapped in the process
// (/proc/self/maps). A name without an extension means "name.dll" on Windows; here it also finds
// "name.so" and "libname.so", and a name ending in ".dll" finds the same POSIX spellings.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hooks.h"

namespace {

const std::string& ExecutablePath() {
  static const std::string& path = *new std::string([] {
    std::vector<char> buffer(4096);
    for (;;) {
      ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
      if (n < 0) return std::string();
      if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
      buffer.resize(buffer.size() * 2);
    }
  }());
  return path;
}

HMODULE MainModule() {
  static const HMODULE handle = [] {
    std::uintptr_t base = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
          // The first object reported is the main program.
          std::uintptr_t lowest = UINTPTR_MAX;
          for (int i = 0; i < info->dlpi_phnum; ++i) {
            if (info->dlpi_phdr[i].p_type == PT_LOAD)
              lowest = std::min<std::uintptr_t>(lowest, info->dlpi_phdr[i].p_vaddr);
          }
          if (lowest == UINTPTR_MAX) lowest = 0;
          long page = sysconf(_SC_PAGESIZE);
          std::uintptr_t address = info->dlpi_addr + lowest;
          if (page > 0) address &= ~(static_cast<std::uintptr_t>(page) - 1);
          *static_cast<std::uintptr_t*>(data) = address;
          return 1;
        },
        &base);
    static const char fallback = 0;
    return base != 0 ? reinterpret_cast<HMODULE>(base) : reinterpret_cast<HMODULE>(const_cast<char*>(&fallback));
  }();
  return handle;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The lower-cased file names that a requested module name stands for.
std::vector<std::string> Spellings(std::string name) {
  name = win32::AsciiLower(BaseName(name));
  std::vector<std::string> result;
  std::string stem;
  if (!name.empty() && name.back() == '.') {
    name.pop_back();  // a trailing dot: "no extension", exactly as written
    result.push_back(name);
    return result;
  }
  result.push_back(name);
  if (name.find('.') == std::string::npos) {
    stem = name;
    result.push_back(name + ".dll");
  } else if (EndsWith(name, ".dll")) {
    stem = name.substr(0, name.size() - 4);
  }
  if (!stem.empty()) {
    result.push_back(stem + ".so");
    result.push_back("lib" + stem + ".so");
  }
  return result;
}

bool Matches(const std::vector<std::string>& spellings, const std::string& fileName) {
  std::string lower = win32::AsciiLower(fileName);
  return std::find(spellings.begin(), spellings.end(), lower) != spellings.end();
}

struct Mapping {
  std::uintptr_t start;
  std::string path;
};

// Every shared object loaded in the process, with its load address. The dynamic linker's own
// list: no file to read, so that the question is cheap enough to ask on every error.
std::vector<Mapping> MappedFiles() {
  std::vector<Mapping> result;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) -> int {
        if (!info->dlpi_name || !*info->dlpi_name) return 0;  // the main program has no name here
        std::uintptr_t lowest = UINTPTR_MAX;
        for (int i = 0; i < info->dlpi_phnum; ++i)
          if (info->dlpi_phdr[i].p_type == PT_LOAD)
            lowest = std::min<std::uintptr_t>(lowest, info->dlpi_phdr[i].p_vaddr);
        if (lowest == UINTPTR_MAX) lowest = 0;
        static_cast<std::vector<Mapping>*>(data)->push_back({info->dlpi_addr + lowest, info->dlpi_name});
        return 0;
      },
      &result);
  return result;
}

}  // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return MainModule();
  std::vector<std::string> spellings = Spellings(moduleName);
  std::string exe = BaseName(ExecutablePath());
  if (Matches(spellings, exe) || Matches(spellings, exe + ".exe")) return MainModule();
  {
    auto& hooks = win32::Hooks();
    std::lock_guard lock(hooks.mutex);
    for (const std::string& spelling : spellings) {
      auto it = hooks.pretendModules.find(spelling);
      if (it != hooks.pretendModules.end()) return reinterpret_cast<HMODULE>(const_cast<std::string*>(&*it));
    }
  }
  for (const Mapping& mapping : MappedFiles()) {
    if (mapping.path == ExecutablePath()) continue;
    if (Matches(spellings, BaseName(mapping.path))) return reinterpret_cast<HMODULE>(mapping.start);
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

// Windows Vista+ semantics: a name that fits is copied with its NUL, its length returned and
// the last error cleared (ERROR_SUCCESS, as Windows since XP SP3 and Wine do); a name that does
// not fit is truncated to size-1 characters plus NUL, `size` is returned and the last error is
// ERROR_INSUFFICIENT_BUFFER (size 0: nothing is written, 0 is returned). Wine, like Windows XP,
// leaves a truncated name without its NUL; we follow current Windows.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  std::string path;
  if (module == nullptr || module == MainModule()) {
    path = ExecutablePath();
  } else {
    for (const Mapping& mapping : MappedFiles()) {
      if (reinterpret_cast<HMODULE>(mapping.start) == module) path = mapping.path;
    }
    if (path.empty()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
  }
  if (path.size() < size) {
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
  }
  if (size > 0) {
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
  }
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

}  // extern "C"
