#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime_fixture.h"
#include "startup/process_entry.h"

namespace {

std::vector<unsigned char> Table(std::initializer_list<const char*> names, bool terminated = true) {
  std::vector<unsigned char> bytes = {'A', 'T', 'O', 'M', 'T', 'A', 'B', 'L', 'E', 0, 0, 0};
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  for (const char* name : names) {
    std::uint32_t length = std::uint32_t(std::strlen(name)) + 1;
    put32(length);
    bytes.insert(bytes.end(), name, name + length);
  }
  if (terminated) put32(0);
  return bytes;
}

class AtomTableTest : public RuntimeTest {};

TEST_F(AtomTableTest, ProgramNamesRegisterFrom444InOrder) {
  std::vector<const char*> names(std::begin(ATOMTABLE_NAMES), std::end(ATOMTABLE_NAMES));
  ASSERT_EQ(names.size(), 62u);
  std::vector<unsigned char> bytes = {'A', 'T', 'O', 'M', 'T', 'A', 'B', 'L', 'E', 0, 0, 0};
  for (const char* name : names) {
    std::uint32_t length = std::uint32_t(std::strlen(name)) + 1;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(length >> (8 * i)));
    bytes.insert(bytes.end(), name, name + length);
  }
  bytes.insert(bytes.end(), 4, 0);
  ASSERT_TRUE(RegisterAtomTable(bytes.data(), std::uint32_t(bytes.size())));
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_STREQ(Symbol2String(Sym(444 + i)), names[i]);
  EXPECT_STREQ(Symbol2String(444), "START");
  EXPECT_STREQ(Symbol2String(445), "Start");
  EXPECT_STREQ(Symbol2String(474), "ERROR");
  EXPECT_STREQ(Symbol2String(505), "__PCSYMBOL");
  EXPECT_EQ(SYM___PCSYMBOL, 505u);
}

TEST_F(AtomTableTest, EverySignatureByteCounts) {
  for (std::size_t at = 0; at < 12; ++at) {
    std::vector<unsigned char> bytes = Table({"START"});
    bytes[at] ^= 0x20;
    EXPECT_FALSE(RegisterAtomTable(bytes.data(), std::uint32_t(bytes.size()))) << "byte " << at;
  }
  EXPECT_EQ(TbTestCallCount(TB_HOOK_SYSADDATOM), 0u);
}

TEST_F(AtomTableTest, SignatureAndZeroLengthRegisterNothing) {
  std::vector<unsigned char> bytes = Table({});
  EXPECT_TRUE(RegisterAtomTable(bytes.data(), std::uint32_t(bytes.size())));
  EXPECT_EQ(TbTestCallCount(TB_HOOK_SYSADDATOM), 0u);
}

TEST_F(AtomTableTest, LengthsAreReadExactlyWithoutRounding) {
  std::vector<unsigned char> bytes = Table({"A", "BC", "DEF", "GHIJ"});
  ASSERT_TRUE(RegisterAtomTable(bytes.data(), std::uint32_t(bytes.size())));
  EXPECT_STREQ(Symbol2String(444), "A");
  EXPECT_STREQ(Symbol2String(447), "GHIJ");
  EXPECT_EQ(TbTestCallCount(TB_HOOK_SYSADDATOM), 4u);
}

struct Damage {
  const char* what;
  std::vector<unsigned char> bytes;
};

TEST_F(AtomTableTest, DamagedTablesFailWithoutReadingPastTheEnd) {
  std::vector<unsigned char> pastEnd = Table({"START"}, false);
  pastEnd[12] = 200;  // the first length claims more than there is
  std::vector<unsigned char> noNul = Table({"START"});
  noNul[12 + 4 + 5] = 'X';  // the last counted byte is not NUL
  const Damage cases[] = {
      {"a length past the end", pastEnd},
      {"no closing zero length", Table({"START", "Start"}, false)},
      {"a name without its NUL", noNul},
      {"shorter than the signature", {'A', 'T', 'O', 'M'}},
      {"a length cut in half",
       [] {
         auto b = Table({"START"}, false);
         b.push_back(0);
         b.push_back(0);
         return b;
       }()},
  };
  for (const Damage& d : cases) {
    // A copy of exactly the damaged size, so that a sanitizer sees any read beyond it.
    std::vector<unsigned char> exact(d.bytes);
    EXPECT_FALSE(RegisterAtomTable(exact.data(), std::uint32_t(exact.size()))) << d.what;
  }
}

// A table that ends with fewer bytes than a length word takes is damaged, whatever those bytes
// and whatever lies after the resource: the walk never reads a length word it does not wholly
// have. The table is first placed in front of zero bytes (which would read as the closing zero
// length), for the builds without a sanitizer to notice a read beyond; then it is exactly as long.
TEST_F(AtomTableTest, FewerThanFourBytesLeftAreNoLengthWord) {
  for (bool exact : {false, true}) {
    for (std::size_t left = 1; left < 4; ++left) {
      SCOPED_TRACE(std::to_string(left) + (exact ? " bytes left, exactly as long" : " bytes left, zeros beyond"));
      std::vector<unsigned char> bytes = Table({"START"}, false);
      bytes.insert(bytes.end(), left, 0);
      auto size = std::uint32_t(bytes.size());
      if (!exact) bytes.insert(bytes.end(), 8, 0);
      EXPECT_FALSE(RegisterAtomTable(bytes.data(), size));
    }
  }
}

TEST_F(AtomTableTest, RefusedNameStopsTheWalk) {
  std::vector<unsigned char> bytes = Table({"ONE", "TWO", "THREE"});
  TbTestFailNthCall(TB_HOOK_SYSADDATOM, 2);
  EXPECT_FALSE(RegisterAtomTable(bytes.data(), std::uint32_t(bytes.size())));
  EXPECT_EQ(TbTestCallCount(TB_HOOK_SYSADDATOM), 2u);
}

}  // namespace
