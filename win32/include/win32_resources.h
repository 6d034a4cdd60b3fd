// Resources on POSIX hosts: bytes linked into the executable, registered at start-up under a
// numeric type and name, and found again through FindResourceA for the main module.
#pragma once

#include <windows.h>

extern "C" void Win32RegisterResource(WORD type, WORD name, const void* bytes, DWORD size);

struct Win32ResourceRegistration {
  Win32ResourceRegistration(WORD type, WORD name, const void* bytes, DWORD size) {
    Win32RegisterResource(type, name, bytes, size);
  }
};
