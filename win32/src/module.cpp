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
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// The address of an object's first mapping: its load address plus its lowest loaded segment's.
std::uintptr_t FirstMapping(const dl_phdr_info* info) {
  std::uintptr_t lowest = UINTPTR_MAX;
  for (int i = 0; i < info->dlpi_phnum; ++i)
    if (info->dlpi_phdr[i].p_type == PT_LOAD) lowest = std::min<std::uintptr_t>(lowest, info->dlpi_phdr[i].p_vaddr);
  return info->dlpi_addr + (lowest == UINTPTR_MAX ? 0 : lowest);
}

HMODULE MainModule() {
  static const HMODULE handle = [] {
    std::uintptr_t base = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
          // The first object reported is the main program.
          long page = sysconf(_SC_PAGESIZE);
          std::uintptr_t address = FirstMapping(info);
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
// of its first mapping, until visit answers true.
template <class Visit>
void ForEachObject(Visit visit) {
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) -> int {
        if (!info->dlpi_name || !*info->dlpi_name) return 0;  // the main program has no name here
        return (*static_cast<Visit*>(data))(FirstMapping(info), std::string_view(info->dlpi_name)) ? 1 : 0;
      },
      &visit);
}

// The executable answers to its file name, and to that name with ".exe" as on Windows.
bool IsMainModuleName(const Wanted& wanted) {
  static const std::string& exe = *new std::string(BaseName(ExecutablePath()));
  static const std::string& exeDotExe = *new std::string(exe + ".exe");
  return wanted.Matches(exe) || wanted.Matches(exeDotExe);
}

// The module a name stands for, looked up afresh: the main program, a module pretended loaded,
// else the first shared object the name matches; 0 for none.
std::uintptr_t Resolve(const char* moduleName) {
  Wanted wanted(moduleName);
  if (IsMainModuleName(wanted)) return reinterpret_cast<std::uintptr_t>(MainModule());
  for (const std::string& pretended : win32::Hooks().pretendModules)
    if (wanted.Matches(pretended)) return reinterpret_cast<std::uintptr_t>(&pretended);
  std::uintptr_t found = 0;
  ForEachObject([&](std::uintptr_t start, std::string_view path) {
    if (path == ExecutablePath() || !wanted.Matches(BaseName(path))) return false;
    found = start;
    return true;
  });
  return found;
}

// The answers given, kept by the request's text: a program asks for the same few names on every
// error, and walking the linker's list for each costs more than the rest of the error's message.
// They are forgotten when the linker's counts of objects added and removed move, or a module is
// pretended loaded or forgotten: nothing else can change an answer.
class KeptAnswers {
 public:
  std::uintptr_t Find(const char* moduleName) {
    if (Changed()) answers_.clear();
    for (const auto& [name, start] : answers_)
      if (name == moduleName) return start;
    std::uintptr_t found = Resolve(moduleName);
    try {
      if (answers_.size() >= kKept) answers_.clear();
      answers_.emplace_back(moduleName, found);
    } catch (const std::bad_alloc&) {
      // Not kept: the next request looks it up again.
    }
    return found;
  }

 private:
  static constexpr std::size_t kKept = 16;
  struct Counts {
    unsigned long long adds = 0, subs = 0;
    bool known = false;
    std::uint64_t pretendChanges = 0;
  };

  // The linker's counts travel with the first object it reports; an old linker without them
  // leaves every answer to be looked up afresh.
  bool Changed() {
    Counts now;
    now.pretendChanges = win32::Hooks().pretendChanges;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t size, void* data) -> int {
          auto* counts = static_cast<Counts*>(data);
          if (size >= offsetof(dl_phdr_info, dlpi_subs) + sizeof info->dlpi_subs) {
            counts->adds = info->dlpi_adds;
            counts->subs = info->dlpi_subs;
            counts->known = true;
          }
          return 1;
        },
        &now);
    bool changed = !now.known || !seen_.known || now.adds != seen_.adds || now.subs != seen_.subs ||
                   now.pretendChanges != seen_.pretendChanges;
    seen_ = now;
    return changed;
  }

  Counts seen_;
  std::vector<std::pair<std::string, std::uintptr_t>> answers_;
};

// Windows Vista+ semantics: a name that fits is copied with its NUL, its length returned and
// the last error cleared (ERROR_SUCCESS, as Windows since XP SP3 and Wine do); a name that does
// not fit is truncated to size-1 characters plus NUL, `size` is returned and the last error is
// ERROR_INSUFFICIENT_BUFFER (size 0: nothing is written, 0 is returned). Wine, like Windows XP,
// leaves a truncated name without its NUL; we follow current Windows.
DWORD CopiedName(std::string_view path, LPSTR fileName, DWORD size) {
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

}  // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return MainModule();
#if defined(QUORLFIX_BENCH_WITHOUT_MODULE_CACHE)
  std::uintptr_t found = Resolve(moduleName);
#else
  static KeptAnswers& kept = *new KeptAnswers;
  std::uintptr_t found = kept.Find(moduleName);
#endif
  if (found) return reinterpret_cast<HMODULE>(found);
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (module == nullptr || module == MainModule()) return CopiedName(ExecutablePath(), fileName, size);
  // A shared object's path is copied out while the linker's list, which holds it, cannot change.
  std::optional<DWORD> copied;
  ForEachObject([&](std::uintptr_t start, std::string_view path) {
    if (reinterpret_cast<HMODULE>(start) != module) return false;
    copied = CopiedName(path, fileName, size);
    return true;
  });
  if (copied) return *copied;
  SetLastError(ERROR_MOD_NOT_FOUND);
  return 0;
}

}  // extern "C"
