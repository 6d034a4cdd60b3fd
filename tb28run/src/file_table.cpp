#include "file_table.h"

#include <vector>

#include "reset.h"

namespace tb {
namespace {

struct Slot {
  OpenFile file;
  bool used;
};

struct FileTable {
  std::vector<Slot> slots;
  std::uint32_t lastError = 0;
};

FileTable& T() {
  static FileTable table;
  return table;
}

// Handles count from 1; far below F_ERROR on every host.
constexpr std::size_t kMaxFiles = 0x10000;

}  // namespace

FileHandle AddFile(OpenFile file) {
  auto& slots = T().slots;
  for (std::size_t i = 0; i < slots.size(); ++i)
    if (!slots[i].used) {
      slots[i] = Slot{file, true};
      return FileHandle(i + 1);
    }
  if (slots.size() >= kMaxFiles) return F_ERROR;
  slots.push_back(Slot{file, true});
  return FileHandle(slots.size());
}

OpenFile* FindFile(FileHandle handle) {
  auto& slots = T().slots;
  if (handle == 0 || handle > slots.size() || !slots[handle - 1].used) return nullptr;
  return &slots[handle - 1].file;
}

bool RemoveFile(FileHandle handle, std::uint32_t* error) {
  OpenFile* file = FindFile(handle);
  if (!file) {
    *error = native::kInvalidHandle;
    return false;
  }
  native::OsFile os = file->os;
  T().slots[handle - 1].used = false;
  return native::Close(os, error);
}

void CloseAllFiles() {
  std::uint32_t ignored;
  for (Slot& slot : T().slots)
    if (slot.used) {
      slot.used = false;
      native::Close(slot.file.os, &ignored);
    }
}

std::uint32_t& LastFileError() { return T().lastError; }

namespace {
const ResetRegistration reset([] {
  CloseAllFiles();
  T() = FileTable{};
});
}  // namespace

}  // namespace tb
