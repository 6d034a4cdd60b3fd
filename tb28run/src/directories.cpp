// The runtime's default directories and the working directory derived from them.
#include <cstring>
#include <string>
#include <string_view>

#include "file_native.h"
#include "heap.h"
#include "reset.h"
#include "scratch_text.h"
#include "tb28run/files.h"

namespace {

struct Defaults {
  std::string drive;      // the default drive and directory
  std::string directory;  // the default directory
};

Defaults& D() {
  static Defaults defaults;
  return defaults;
}

const tb::ResetRegistration reset([] { D() = Defaults{}; });

TbStr Text(const std::string& s) { return tb::NewString(s.data(), std::uint32_t(s.size())); }

TbStr Replace(std::string& setting, const char* path) {
  TbStr previous = Text(setting);
  setting = path ? path : "";
  return previous;
}

}  // namespace

TBRT TbStr WorkDir(void) {
  const Defaults& d = D();
  std::string current;  // read only when neither default is set
  std::string_view dir = !d.directory.empty() ? std::string_view(d.directory)
                         : !d.drive.empty()   ? std::string_view(d.drive)
                                              : std::string_view(current = tb::native::CurrentDirectory());
  // A current directory that cannot be read is still where relative names lead.
  if (dir.empty()) dir = ".";
  if (tb::native::IsSeparator(dir.back())) return tb::NewString(dir.data(), std::uint32_t(dir.size()));
  // The directory and a separator: on the stack when it fits, as it nearly always does.
  tb::ScratchText<512> scratch(dir.size() + 1);
  char* text = scratch.data();
  std::memcpy(text, dir.data(), dir.size());
  text[dir.size()] = tb::native::kSeparator;
  return tb::NewString(text, std::uint32_t(dir.size() + 1));
}

TBRT TbStr GetDefault(void) { return Text(D().drive); }
TBRT TbStr SetDefault(const char* path) { return Replace(D().drive, path); }
TBRT TbStr GetDefaultDir(void) { return Text(D().directory); }
TBRT TbStr SetDefaultDir(const char* path) { return Replace(D().directory, path); }
