// GetEnvironmentVariableA over getenv, with the Windows size rules.
#include <windows.h>

#include <cstdlib>
#include <cstring>

extern "C" {

// Found and fits: the value and its NUL are copied, the length without the NUL returned.
// Does not fit: the size needed (NUL included) is returned and the buffer is untouched.
// Missing: 0 and ERROR_ENVVAR_NOT_FOUND. Empty value: "" is written when there is room, 0 is
// returned and the last error is 0, which tells it apart from a missing variable.
DWORD WINAPI GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  if (name == nullptr || *name == '\0' || std::strchr(name, '=') != nullptr) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  const char* value = std::getenv(name);
  if (value == nullptr) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  std::size_t length = std::strlen(value);
  if (buffer == nullptr || length >= size) return static_cast<DWORD>(length + 1);
  std::memcpy(buffer, value, length + 1);
  if (length == 0) SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(length);
}

}  // extern "C"
