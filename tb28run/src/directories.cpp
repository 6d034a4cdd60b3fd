// The runtime's default directories and the working directory derived from them.
#include <string>

#include "file_native.h"
#include "heap.h"
#include "reset.h"
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
  std::string dir = !D().directory.empty() ? D().directory
                    : !D().drive.empty()   ? D().drive
                                           : tb::native::CurrentDirectory();
  // A current directory that cannot be read is still where relative names lead.
  if (dir.empty()) dir = ".";
  if (!tb::native::IsSeparator(dir.back())) dir += tb::native::kSeparator;
  return Text(dir);
}

TBRT TbStr GetDefault(void) { return Text(D().drive); }
TBRT TbStr SetDefault(const char* path) { return Replace(D().drive, path); }
TBRT TbStr GetDefaultDir(void) { return Text(D().directory); }
TBRT TbStr SetDefaultDir(const char* path) { return Replace(D().directory, path); }
