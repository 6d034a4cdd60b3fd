// Modules: GetModuleHandleA and GetModuleFileNameA.
//
// The main module's handle is the load address of the executable, a shared object's handle the
// address of its first mapping (as an HMODULE is an image base on Windows). A name is looked up
// the way Windows does: case-insensitively, by the file name of the main executable, of a module
// pretended loaded by the test hook, or of a shared object the dynamic linker has loaded. A name without an extension
// means "name.dll" on Windows; here it also finds "name.so" and "libname.so", and a name ending in ".dll" finds the
// same POSIX spellings.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
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

std::string_view BaseName(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `file` reads prefix + middle + suffix, ignoring ASCII case: the spellings are never
// assembled, so that a lookup allocates nothing.
bool Spells(std::string_view file, std::string_view prefix, std::string_view middle, std::string_view suffix) {
  if (file.size() != prefix.size() + middle.size() + suffix.size()) return false;
  for (std::string_view part : {prefix, middle, suffix}) {
    for (char c : part) {
      if (Lower(file.front()) != Lower(c)) return false;
      file.remove_prefix(1);
    }
  }
  return true;
}

// A requested module name and the file names it stands for: the name itself; without an
// extension also "name.dll"; without one or with ".dll" also "stem.so" and "libstem.so". A
// trailing dot means "no extension", exactly as written.
class Wanted {
 public:
  explicit Wanted(std::string_view requested) : name_(BaseName(requested)) {
    if (!name_.empty() && name_.back() == '.') {
      name_.remove_suffix(1);
    } else if (name_.find('.') == std::string_view::npos) {
      stem_ = name_;
      dll_ = true;
    } else if (name_.size() > 4 && Spells(name_.substr(name_.size() - 4), "", ".dll", "")) {
      stem_ = name_.substr(0, name_.size() - 4);
    }
  }
  bool Matches(std::string_view file) const {
    if (Spells(file, "", name_, "")) return true;
    if (dll_ && Spells(file, "", name_, ".dll")) return true;
    return !stem_.empty() && (Spells(file, "", stem_, ".so") || Spells(file, "lib", stem_, ".so"));
  }

 private:
  std::string_view name_, stem_;
  bool dll_ = false;
};

// Calls visit(start, path) for each shared object the dynamic linker has loaded, with the address
// of its first mapping, until visit answers true. The list is asked afresh each time: a request
// costs a walk of a few dozen objects, and no answer can be out of date.
template <class Visit>
void ForEachObject(Visit visit) {
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) -> int {
        if (!info->dlpi_name || !*info->dlpi_name) return 0;  // the main program has no name here
        std::uintptr_t lowest = UINTPTR_MAX;
        for (int i = 0; i < info->dlpi_phnum; ++i)
          if (info->dlpi_phdr[i].p_type == PT_LOAD)
            lowest = std::min<std::uintptr_t>(lowest, info->dlpi_phdr[i].p_vaddr);
        if (lowest == UINTPTR_MAX) lowest = 0;
        return (*static_cast<Visit*>(data))(info->dlpi_addr + lowest, std::string_view(info->dlpi_name)) ? 1 : 0;
      },
      &visit);
}

// The executable answers to its file name, and to that name with ".exe" as on Windows.
bool IsMainModuleName(const Wanted& wanted) {
  static const std::string& exe = *new std::string(BaseName(ExecutablePath()));
  static const std::string& exeDotExe = *new std::string(exe + ".exe");
  return wanted.Matches(exe) || wanted.Matches(exeDotExe);
}

}  // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return MainModule();
  Wanted wanted(moduleName);
  if (IsMainModuleName(wanted)) return MainModule();
  {
    auto& hooks = win32::Hooks();
    std::lock_guard lock(hooks.mutex);
    for (const std::string& pretended : hooks.pretendModules)
      if (wanted.Matches(pretended)) return reinterpret_cast<HMODULE>(const_cast<std::string*>(&pretended));
  }
  std::uintptr_t found = 0;
  ForEachObject([&](std::uintptr_t start, std::string_view path) {
    if (path == ExecutablePath() || !wanted.Matches(BaseName(path))) return false;
    found = start;
    return true;
  });
  if (found) return reinterpret_cast<HMODULE>(found);
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

// Windows Vista+ semantics: a name that fits is copied with its NUL, its length returned and
// the last error cleared (ERROR_SUCCESS, as Windows since XP SP3 and Wine do); a name that does
// not fit is truncated to size-1 characters plus NUL, `size` is returned and the last error is
// ERROR_INSUFFICIENT_BUFFER (size 0: nothing is written, 0 is returned). Wine, like Windows XP,
// leaves a truncated name without its NUL; we follow current Windows.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  // The executable's path never changes and is read in place; a shared object's is copied while
  // the list cannot change under it.
  std::string copied;
  std::string_view path;
  if (module == nullptr || module == MainModule()) {
    path = ExecutablePath();
  } else {
    ForEachObject([&](std::uintptr_t start, std::string_view objectPath) {
      if (reinterpret_cast<HMODULE>(start) != module) return false;
      copied = objectPath;
      return true;
    });
    if (copied.empty()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    path = copied;
  }
  if (path.size() < size) {
    std::memcpy(fileName, path.data(), path.size());
    fileName[path.size()] = '\0';
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
