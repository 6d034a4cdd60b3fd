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

#if !defined(QUORLFIX_BENCH_WITHOUT_MODULE_CACHE)
// Eight characters at once in ASCII lower case, as Lower makes each: a byte from 'A' to 'Z' (its
// low seven bits in that range, its high bit clear) gains 0x20, no other byte changes.
std::uint64_t LowerWord(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
  std::uint64_t low7 = word & ~kHigh;
  std::uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;   // high bit set where low7 >= 'A'
  std::uint64_t pastZ = low7 + (0x80 - 'Z' - 1) * kOnes;  // high bit set where low7 > 'Z'
  return word | ((atLeastA & ~pastZ & ~word & kHigh) >> 2);
}

// The name a request's answer is kept under: its file name (what follows the last '/') in ASCII
// lower case, since the lookup reads nothing else of it and ignores case. A file name too long to
// hold here is looked up every time. Every error asks twice, so the name is found with strlen and
// memrchr and lowered a word at a time.
class RequestKey {
 public:
  explicit RequestKey(const char* requested) {
    std::size_t total = std::strlen(requested);
    const void* slash = memrchr(requested, '/', total);
    const char* name = slash ? static_cast<const char*>(slash) + 1 : requested;
    length_ = total - static_cast<std::size_t>(name - requested);
    if (length_ == 0 || length_ > sizeof words_) return;
    std::size_t words = (length_ + 7) / 8;
    words_[words - 1] = 0;  // the bytes past the name in the last word
    std::memcpy(words_, name, length_);
    for (std::size_t i = 0; i < words; ++i) words_[i] = LowerWord(words_[i]);
  }
  bool Kept() const { return length_ <= sizeof words_; }
  std::string_view View() const { return std::string_view(reinterpret_cast<const char*>(words_), length_); }

 private:
  std::uint64_t words_[8];
  std::size_t length_ = 0;
};

struct Mapping {
  std::uintptr_t start;
  std::string path;
  std::size_t nameAt;  // where the file name begins in the path
  bool isExecutable;   // the main program, reported again under its path
  std::string_view Name() const { return std::string_view(path).substr(nameAt); }
};

// The shared objects loaded in the process, with their load addresses, as the dynamic linker
// lists them. Asked on every error, the list is kept and read again only when the linker's
// counts of objects added and removed have moved: nothing else can change the answer.
class LoadedObjects {
 public:
  // Calls visit(mapping) for each object, the list brought up to date first.
  template <class Visit>
  void ForEach(Visit visit) {
    if (Changed()) Reload();
    for (const Mapping& mapping : mappings_) visit(mapping);
  }

  // The answer to a request (0 for none), worked out by resolve(mappings).
  // Each answer is kept under the request's key until the list changes or a module is pretended
  // loaded or forgotten: a program asks for the same few names on every error.
  template <class Resolve>
  std::uintptr_t Find(const RequestKey& key, Resolve resolve) {
    if (Changed()) Reload();
    if (win32::Hooks().pretendChanges != pretendSeen_) {
      answers_.clear();
      pretendSeen_ = win32::Hooks().pretendChanges;
    }
    if (!key.Kept()) return resolve(std::as_const(mappings_));
    for (const auto& [name, start] : answers_)
      if (name == key.View()) return start;
    std::uintptr_t found = resolve(std::as_const(mappings_));
    if (answers_.size() >= kAnswersKept) answers_.clear();
    answers_.emplace_back(std::string(key.View()), found);
    return found;
  }

 private:
  static constexpr std::size_t kAnswersKept = 16;
  struct Counts {
    unsigned long long adds = 0, subs = 0;
    bool known = false;
  };

  // The linker's counts travel with the first object it reports; an old linker without them
  // leaves the list to be read every time.
  bool Changed() {
    Counts now;
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
    bool changed = !now.known || !seen_.known || now.adds != seen_.adds || now.subs != seen_.subs;
    seen_ = now;
    return changed;
  }

  void Reload() {
    mappings_.clear();
    answers_.clear();
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
          if (!info->dlpi_name || !*info->dlpi_name) return 0;  // the main program has no name here
          std::string path = info->dlpi_name;
          std::size_t nameAt = path.size() - BaseName(path).size();
          bool isExecutable = path == ExecutablePath();
          static_cast<std::vector<Mapping>*>(data)->push_back(
              {FirstMapping(info), std::move(path), nameAt, isExecutable});
          return 0;
        },
        &mappings_);
  }

  Counts seen_;
  std::uint64_t pretendSeen_ = 0;
  std::vector<Mapping> mappings_;
  std::vector<std::pair<std::string, std::uintptr_t>> answers_;
};

LoadedObjects& Loaded() {
  static LoadedObjects& loaded = *new LoadedObjects;
  return loaded;
}

#else
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

#endif

// The executable answers to its file name, and to that name with ".exe" as on Windows.
bool IsMainModuleName(const Wanted& wanted) {
  static const std::string& exe = *new std::string(BaseName(ExecutablePath()));
  static const std::string& exeDotExe = *new std::string(exe + ".exe");
  return wanted.Matches(exe) || wanted.Matches(exeDotExe);
}

}  // namespace

extern "C" {

#if defined(QUORLFIX_BENCH_WITHOUT_MODULE_CACHE)
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return MainModule();
  Wanted wanted(moduleName);
  if (IsMainModuleName(wanted)) return MainModule();
  {
    auto& hooks = win32::Hooks();
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
#else
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return MainModule();
  std::uintptr_t found = Loaded().Find(RequestKey(moduleName), [&](const std::vector<Mapping>& mappings) {
    Wanted wanted(moduleName);
    if (IsMainModuleName(wanted)) return reinterpret_cast<std::uintptr_t>(MainModule());
    {
      auto& hooks = win32::Hooks();
      for (const std::string& pretended : hooks.pretendModules) {
        if (wanted.Matches(pretended)) return reinterpret_cast<std::uintptr_t>(&pretended);
      }
    }
    for (const Mapping& mapping : mappings) {
      if (!mapping.isExecutable && wanted.Matches(mapping.Name())) return mapping.start;
    }
    return std::uintptr_t(0);
  });
  if (found) return reinterpret_cast<HMODULE>(found);
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

#endif

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
#if defined(QUORLFIX_BENCH_WITHOUT_MODULE_CACHE)
    ForEachObject([&](std::uintptr_t start, std::string_view objectPath) {
      if (reinterpret_cast<HMODULE>(start) != module) return false;
      copied = objectPath;
      return true;
    });
#else
    Loaded().ForEach([&](const Mapping& mapping) {
      if (reinterpret_cast<HMODULE>(mapping.start) == module) copied = mapping.path;
    });
#endif
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
