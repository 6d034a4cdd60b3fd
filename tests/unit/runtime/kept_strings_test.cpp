// Texts the runtime keeps once made: the same string every time, outside the collected heap, and
// nothing allocated to hand it out again. Every other text is a new string each time.
#include <functional>
#include <string>

#include "runtime_fixture.h"
#include "tb28run/datetime.h"
#include "tb28run/errors.h"
#include "tb28run/numbers.h"
#include "tb28run/value_ops.h"

namespace {

class KeptStringsTest : public RuntimeTest {};

struct Case {
  const char* what;
  std::function<TbStr()> make;
  const char* text;
};

const Case kKept[] = {
    {"true", [] { return AsString(LogicValue(true)); }, ".T."},
    {"false", [] { return AsString(LogicValue(false)); }, ".F."},
    {"NIL", [] { return AsString(NilValue()); }, "NIL"},
    {"zero", [] { return AsString(IntValue(0)); }, "0"},
    {"255, the last number kept", [] { return AsString(IntValue(255)); }, "255"},
    {"unsigned 7",
     [] {
       return AsString(Usual{7, T_DWORD});
     },
     "7"},
    {"NTrim of 42", [] { return NTrim(IntValue(42)); }, "42"},
    {"type name", [] { return TypeString(T_STRING); }, "STRING"},
    {"pointer argument's type name", [] { return TypeString(T_PTR_CALL); }, "PTR"},
    {"error text", [] { return ErrString(1); }, "Argument error"},
    {"text of an unknown error code", [] { return ErrString(9999); }, ""},
    {"version", [] { return Version(); }, "TB28RUN 2.8.0"},
    {"name of no symbol", [] { return AsString(SymbolValue(0)); }, ""},
};

TEST_F(KeptStringsTest, KeptTextsAreOneStringOutsideTheHeapThatNoCollectionFrees) {
  // Nothing but the runtime's own slot holds them: with the stack scan off, a collection would
  // free a heap string here and the texts would no longer read (under ASan, a use after free).
  TbTestSetStackScan(0);
  for (const Case& c : kKept) {
    TbStr first = c.make();
    TbTestCollect();
    TbStr again = c.make();
    EXPECT_EQ(first, again) << c.what;
    EXPECT_EQ(Str(first), c.text) << c.what;
    EXPECT_EQ(TbTestBlockContaining(first), nullptr) << c.what;
  }
  TbTestSetStackScan(1);
}

TEST_F(KeptStringsTest, HandingOutAKeptTextAgainAllocatesNothing) {
  for (const Case& c : kKept) c.make();  // each made once
  std::uint64_t before = TbTestHeapStats().allocatedBlocks;
  for (int round = 0; round < 100; ++round)
    for (const Case& c : kKept) c.make();
  EXPECT_EQ(TbTestHeapStats().allocatedBlocks, before);
}

TEST_F(KeptStringsTest, OtherTextsAreNewStringsEachTime) {
  const Case fresh[] = {
      {"256, past the numbers kept", [] { return AsString(IntValue(256)); }, "256"},
      {"-1", [] { return AsString(IntValue(-1)); }, "-1"},
      {"a large unsigned number",
       [] {
         return AsString(Usual{4294967295u, T_DWORD});
       },
       "4294967295"},
      {"an unknown type code", [] { return TypeString(77); }, "UNKNOWN(77)"},
      {"a string's own text", [] { return Upper(Psz2String("quorl")); }, "QUORL"},
  };
  for (const Case& c : fresh) {
    TbStr first = c.make();
    TbStr again = c.make();
    EXPECT_NE(first, again) << c.what;
    EXPECT_EQ(Str(first), c.text) << c.what;
    EXPECT_EQ(Str(again), c.text) << c.what;
    EXPECT_NE(TbTestBlockContaining(first), nullptr) << c.what;
  }
}

}  // namespace
