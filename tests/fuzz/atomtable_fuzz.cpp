// The ATOMTABLE reader over arbitrary resource bytes. Besides the sanitizers' checks (no read past
// the resource), what it accepts must be a sound table whose names are now all registered, and a
// sound table it refuses must hold a name the runtime refuses.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_session.h"
#include "startup/process_entry.h"

namespace {

std::uint32_t U32(const std::uint8_t* at) {
  std::uint32_t v;
  std::memcpy(&v, at, sizeof v);
  return v;  // the resource is little-endian, as are the hosts this runs on
}

// The table as the format describes it: the signature, then entries (a 32-bit length and as many
// bytes, the last a NUL) until a length of 0.
struct Table {
  bool sound = false;
  std::vector<std::string> names;
};

Table Parse(const std::uint8_t* data, std::size_t size) {
  static constexpr char kSignature[12] = {'A', 'T', 'O', 'M', 'T', 'A', 'B', 'L', 'E', 0, 0, 0};
  Table t;
  if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) return t;
  std::size_t at = sizeof kSignature;
  while (size - at >= 4) {
    std::uint32_t length = U32(data + at);
    at += 4;
    if (length == 0) {
      t.sound = true;
      return t;
    }
    if (length > size - at || data[at + length - 1] != 0) return t;
    t.names.emplace_back(reinterpret_cast<const char*>(data + at));
    at += length;
  }
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::RuntimeSession session;
  bool accepted = RegisterAtomTable(data, std::uint32_t(size));
  Table table = Parse(data, size);
  if (accepted && !table.sound) fuzz::Finding("a damaged ATOMTABLE was accepted");
  if (accepted) {
    for (const std::string& name : table.names) {
      Sym s = SysAddAtom(name.c_str());
      if (s < FIRST_PROGRAM_SYMBOL || name != Symbol2String(s)) fuzz::Finding("an accepted name is not registered");
    }
  } else if (table.sound) {
    bool refusedOne = false;
    for (const std::string& name : table.names) refusedOne = refusedOne || SysAddAtom(name.c_str()) == 0;
    if (!refusedOne) fuzz::Finding("a sound ATOMTABLE was refused");
  }
  return 0;
}
