#include "file_table.h"

#include <new>
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

FileTable& OpenFiles() {
  static FileTable table;
  return table;
}

// Handles count from 1; far below F_ERROR on every host.
constexpr std::size_t kMaxFiles = 0x10000;

// A file made new that nothing was written to goes as it came.
bool Close(OpenFile& file, std::uint32_t* error) {
  if (!file.madeAt.empty()) native::RemoveIfEmpty(file.os, file.madeAt.c_str());
  file.madeAt.clear();
  return native::Close(file.os, error);
}

}  // namespace

FileHandle AddFile(OpenFile& file) {
  auto& slots = OpenFiles().slots;
  for (std::size_t i = 0; i < slots.size(); ++i)
    if (!slots[i].used) {
      slots[i] = Slot{std::move(file), true};
      return FileHandle(i + 1);
    }
  if (slots.size() >= kMaxFiles) return F_ERROR;
  try {
    slots.emplace_back();
  } catch (const std::bad_alloc&) {
    return F_ERROR;
  }
  slots.back() = Slot{std::move(file), true};
  return FileHandle(slots.size());
}

OpenFile* FindFile(FileHandle handle) {
  auto& slots = OpenFiles().slots;
  if (handle == 0 || handle > slots.size() || !slots[handle - 1].used) return nullptr;
  return &slots[handle - 1].file;
}

bool RemoveFile(FileHandle handle, std::uint32_t* error) {
  OpenFile* file = FindFile(handle);
  if (!file) {
    *error = native::kInvalidHandle;
    return false;
  }
  OpenFiles().slots[handle - 1].used = false;
  return Close(*file, error);
}

void CloseAllFiles() {
  std::uint32_t ignored;
  for (Slot& slot : OpenFiles().slots)
    if (slot.used) {
      slot.used = false;
      Close(slot.file, &ignored);
    }
}

std::uint32_t& LastFileError() { return OpenFiles().lastError; }

namespace {
const ResetRegistration reset([] {
  CloseAllFiles();
  OpenFiles() = FileTable{};
});
}  // namespace

}  // namespace tb
