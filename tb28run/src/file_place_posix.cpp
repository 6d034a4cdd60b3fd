#if !defined(_WIN32)

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "file_native.h"
#include "file_place.h"

namespace tb::native {
namespace {

// Paths up to this long are given whole; the room left lets a side name beside the file fit too.
constexpr std::size_t kWholePath = PATH_MAX - 64;

#if defined(O_PATH)
constexpr int kDirectoryFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

}  // namespace

Place::Place(const char* path) : name_(path), base_(path) {
  const char* last = std::strrchr(path, '/');
  if (last) base_ = last + 1;
  std::size_t length = std::strlen(path);
  if (length >= kWholePath && last && last[1]) {
    Walk(path, last);
    return;
  }
  // The parent as a path of its own: the text before the last separator, "/" for a name at the
  // root, "." for a name without one.
  std::size_t parentLength = last ? std::size_t(last - path) : 0;
  if (!last) {
    std::strcpy(parent_, ".");
  } else if (parentLength == 0) {
    std::strcpy(parent_, "/");
  } else {
    std::memcpy(parent_, path, parentLength);
    parent_[parentLength] = '\0';
  }
}

Place::~Place() {
  if (owned_ >= 0) close(owned_);
}

void Place::Walk(const char* path, const char* last) {
  std::strcpy(parent_, ".");
  name_ = last + 1;
  const char* at = path;
  auto enter = [this](const char* dir) {
    int next;
    do next = openat(dir_, dir, kDirectoryFlags);
    while (next < 0 && errno == EINTR);
    if (next < 0) {
      error_ = errno == ENOENT || errno == ENOTDIR ? kPathNotFound : errno == EACCES ? kAccessDenied : kGeneralFailure;
      return false;
    }
    if (owned_ >= 0) close(owned_);
    dir_ = owned_ = next;
    return true;
  };
  if (*at == '/' && !enter("/")) return;
  while (at < last) {
    while (*at == '/') ++at;
    if (at >= last) break;
    // As many whole directories as fit in one call; a single name is never that long.
    const char* cut = last - at < PATH_MAX - 1 ? last : at + PATH_MAX - 1;
    while (cut > at && *cut != '/') --cut;
    if (cut == at) {
      error_ = kNameTooLong;
      return;
    }
    char run[PATH_MAX];
    std::memcpy(run, at, std::size_t(cut - at));
    run[cut - at] = '\0';
    if (!enter(run)) return;
    at = cut + 1;
  }
}

}  // namespace tb::native

#endif
