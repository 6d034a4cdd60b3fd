// Resources: bytes linked into the executable and registered at start-up under a numeric type
// and name (Win32RegisterResource, called by static initialisers), found again through
// FindResourceA / LoadResource / LockResource / SizeofResource for the main module.
//
// An HRSRC is the address of the registry entry, an HGLOBAL the address of the bytes (LockResource
// hands it back as it is). Names and types are numeric (MAKEINTRESOURCEA) or "#number" strings;
// other strings name nothing here.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include <win32_resources.h>
#include "hooks.h"

namespace {

struct Resource {
  const void* bytes = nullptr;  // what is found; null: missing
  DWORD size = 0;
  const void* registeredBytes = nullptr;
  DWORD registeredSize = 0;
  std::vector<BYTE> replacement;  // test bytes, owned
};

struct Registry {
  std::map<std::pair<WORD, WORD>, Resource> resources;  // (type, name); nodes never move
};

// A function-local static, because registration runs during the static initialisation of other
// modules; never destroyed, because the bytes stay mapped for the life of the process.
Registry& TheRegistry() {
  static Registry& registry = *new Registry;
  return registry;
}

// The number a resource type or name stands for, or -1 for a string that is not "#number".
long ResourceId(LPCSTR id) {
  if (IS_INTRESOURCE(id)) return static_cast<long>(reinterpret_cast<ULONG_PTR>(id));
  if (id[0] != '#' || id[1] == '\0') return -1;
  char* end = nullptr;
  unsigned long value = std::strtoul(id + 1, &end, 10);
  if (*end != '\0' || value > 0xFFFF) return -1;
  return static_cast<long>(value);
}

}  // namespace

namespace win32 {

void ResetResourceOverrides() {
  Registry& registry = TheRegistry();
  for (auto& [key, resource] : registry.resources) {
    resource.bytes = resource.registeredBytes;
    resource.size = resource.registeredSize;
    resource.replacement.clear();
  }
}

void OverrideResource(WORD type, WORD name, const void* bytes, DWORD size) {
  Registry& registry = TheRegistry();
  Resource& resource = registry.resources[{type, name}];
  if (bytes == nullptr) {
    resource.replacement.clear();
    resource.bytes = nullptr;
    resource.size = 0;
    return;
  }
  const BYTE* first = static_cast<const BYTE*>(bytes);
  resource.replacement.assign(first, first + size);
  // An empty vector has no storage; a found resource of zero bytes still needs an address.
  resource.replacement.reserve(1);
  resource.bytes = resource.replacement.data();
  resource.size = size;
}

}  // namespace win32

extern "C" {

void Win32RegisterResource(WORD type, WORD name, const void* bytes, DWORD size) {
  Registry& registry = TheRegistry();
  Resource& resource = registry.resources[{type, name}];
  resource.bytes = resource.registeredBytes = bytes;
  resource.size = resource.registeredSize = size;
  resource.replacement.clear();
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (module != nullptr && module != GetModuleHandleA(nullptr)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  if (name == nullptr || type == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  long typeId = ResourceId(type);
  long nameId = ResourceId(name);
  Registry& registry = TheRegistry();
  bool typeFound = false;
  for (auto& [key, resource] : registry.resources) {
    if (resource.bytes == nullptr || key.first != typeId) continue;
    typeFound = true;
    if (key.second == nameId) return reinterpret_cast<HRSRC>(&resource);
  }
  SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE /*module*/, HRSRC resource) {
  if (resource == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<void*>(reinterpret_cast<Resource*>(resource)->bytes);
}

LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

DWORD WINAPI SizeofResource(HMODULE /*module*/, HRSRC resource) {
  if (resource == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return reinterpret_cast<Resource*>(resource)->size;
}

}  // extern "C"
