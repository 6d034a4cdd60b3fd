#include "scratch_log.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "fuzz_session.h"
#include "runtime/tb28run.h"

namespace fuzz {
namespace {

// Removes what the directory holds (a log, whatever an input put in its place), not the
// directory itself.
void Empty(const std::string& directory) {
  DIR* d = opendir(directory.c_str());
  if (!d) Finding("the run's directory is gone");
  while (dirent* entry = readdir(d)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = directory + name;
    if (unlink(path.c_str()) != 0) rmdir(path.c_str());
  }
  closedir(d);
}

}  // namespace

const std::string& ScratchLog::Directory() {
  static const std::string directory = [] {
    char pattern[] = "/tmp/quorlfix-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) Finding("no directory for the error log");
    static const std::string removeAtExit = std::string(pattern) + "/";
    std::atexit([] {
      Empty(removeAtExit);
      rmdir(removeAtExit.c_str());
    });
    return removeAtExit;
  }();
  return directory;
}

ScratchLog::ScratchLog() {
  Empty(Directory());
  SetDefaultDir(Directory().c_str());
}

std::string ScratchLog::Path() { return Directory() + "TBERROR.LOG"; }

bool ScratchLog::Exists() { return access(Path().c_str(), F_OK) == 0; }

std::string ScratchLog::Read() {
  std::ifstream file(Path(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void ScratchLog::Write(std::string_view bytes) {
  std::ofstream file(Path(), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file.flush()) Finding("the log could not be put in place");
}

}  // namespace fuzz
