// The program's runtime as the late-bound helpers meet it: program symbols, a function table with
// the helpers' rows, the classes declared, and an error block that records every Error it gets.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "error_recorder.h"
#include "indexed_box.h"
#include "latebound/latebound.h"
#include "runtime/tb28run.h"
#include "runtime_fixture.h"
#include "startup/module_init.h"
#include "test_function_table.h"
#include "value_keeper.h"

// An Error as the error block received it, every variable read back.
using SeenError = RaisedError;

class LateBoundTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    for (const char* name : ATOMTABLE_NAMES) ASSERT_NE(SysAddAtom(name), 0u) << name;
    ASSERT_EQ(BringUpWithTable(), 0);
    ASSERT_EQ(ModuleInit(), 0);
    keeper_ = std::make_unique<ValueKeeper>();
    IndexedBox::Declare();
    ErrorRecorder::InstallOnErrors();
    HelperCountWords().clear();
    ErrorRecorder::OnRaised() = [] { HelperCountWords().push_back(HelperCountWord()); };
  }
  void TearDown() override {
    keeper_.reset();
    RuntimeTest::TearDown();
  }

  // The nine helpers in their rows, and the runtime functions the program's table lists.
  virtual std::int32_t BringUpWithTable() {
    static const TestFunctionTable<14> table = {
        {SYM___PCARRGETCOLLECTION, SYM___PCARRPUTCOLLECTION, SYM___PCIVAGETCOLLECTION, SYM___PCIVAPUTCOLLECTION,
         SYM___PCCREATEINSTANCE, SYM___PCIVARGET, SYM___PCIVARPUT, SYM___PCSEND, SYM___PCSYMBOL, SYM_CREATEINSTANCE,
         SYM__ARRAYGETCOLLECTION, SYM__ARRAYPUTCOLLECTION, SYM_ARRAYBUILD, SYM_SEND},
        {{&PcArrGetCollection, 0},
         {&PcArrPutCollection, 0},
         {&PcIvaGetCollection, 0},
         {&PcIvaPutCollection, 0},
         {&PcCreateInstance, 1},
         {&PcIVarGet, 2},
         {&PcIVarPut, 3},
         {&PcSend, 2},
         {&PcSymbol, 1},
         {&CreateInstance, 1},
         {&_ArrayGetCollection, 2},
         {&_ArrayPutCollection, 3},
         {&ArrayBuild, 0},
         {&Send, 2}},
    };
    return RTInitWithTable(table);
  }

  // Calls a function the way the runtime does: by symbol, the arguments in an array.
  static Usual CallBySymbol(Sym symbol, const std::vector<Usual>& args) {
    return _CallKestFunc(symbol, ArrayInit(std::uint32_t(args.size()), args.data()));
  }

  static std::vector<SeenError>& Seen() { return ErrorRecorder::Raised(); }
  // For each error seen, the count word the innermost helper was called with (0: none).
  static std::vector<std::uint32_t>& HelperCountWords() {
    static std::vector<std::uint32_t> words;
    return words;
  }

  // Values made here stay alive until the test ends, wherever the test keeps them.
  Usual Keep(Usual value) { return keeper_->Keep(value); }
  Usual S(const char* text) { return Keep(RuntimeTest::S(text)); }
  Usual Ints(std::initializer_list<std::int32_t> values) {
    std::vector<Usual> items;
    for (std::int32_t v : values) items.push_back(IntValue(v));
    return Keep(ArrayValue(ArrayInit(std::uint32_t(items.size()), items.data())));
  }
  Usual Nest(std::initializer_list<Usual> values) {
    return Keep(ArrayValue(ArrayInit(std::uint32_t(values.size()), values.begin())));
  }
  // A new IndexedBox whose CONTENT is the value.
  Usual Box(Usual content = NilValue()) {
    Usual box = Keep(IndexedBox::New());
    IVarPut(AsObj(box), IndexedBox::ContentSym(), content);
    return box;
  }
  static Usual Sy(const char* name) { return SymbolValue(String2Symbol(Psz2String(name))); }

 private:
  std::unique_ptr<ValueKeeper> keeper_;

  static std::uint32_t HelperCountWord() {
    for (const Frame* f = GetDASPtr()->top; f; f = f->prev)
      if (f->info && std::strncmp(f->info->name, "__PC", 4) == 0) return f->countWord;
    return 0;
  }
};
