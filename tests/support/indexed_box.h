// A class whose objects serve indexed access: they answer COLLECTIONGET and COLLECTIONPUT and
// keep the argument list of every such message. One variable, CONTENT, holds any value.
#pragma once

#include <cstddef>
#include <vector>

#include "tb28run/objects.h"
#include "tb28run/strings.h"
#include "tb28run/symbols.h"

class IndexedBox {
 public:
  static constexpr std::int32_t kGetAnswer = 4711;

  // Declares the class (once per runtime) and forgets earlier messages.
  static void Declare() {
    Gets().clear();
    Puts().clear();
    const std::uint32_t map[] = {1, std::uint32_t(sizeof(InstanceHeader)), REFMAP_USUAL_RUN | 1};
    DeclareClass(ClassSym(), 0, sizeof(InstanceHeader) + sizeof(Usual), map, 0, 0, 1, ContentSym(),
                 std::uint32_t(sizeof(InstanceHeader)), std::uint32_t(T_USUAL), std::uint32_t(sizeof(Usual)), 3u);
    DeclareMethod(ClassSym(), SYM_COLLECTIONGET, 0, &Get, 0);
    DeclareMethod(ClassSym(), SYM_COLLECTIONPUT, 0, &Put, 0);
  }
  static Usual New() {
    Usual cls = SymbolValue(ClassSym());
    return CreateInstance(CountWord(1, 1), &cls);
  }
  static Sym ClassSym() { return String2Symbol(Psz2String("INDEXEDBOX")); }
  static Sym ContentSym() { return String2Symbol(Psz2String("CONTENT")); }
  // The arguments of each message, in the order received.
  static std::vector<std::vector<Usual>>& Gets() {
    static std::vector<std::vector<Usual>> gets;
    return gets;
  }
  static std::vector<std::vector<Usual>>& Puts() {
    static std::vector<std::vector<Usual>> puts;
    return puts;
  }

 private:
  static std::vector<Usual> Received(std::uint32_t countWord, const Usual* args) {
    return std::vector<Usual>(args, args + PassedOf(countWord));
  }
  static Usual Get(Usual, std::uint32_t countWord, Usual* args) {
    Gets().push_back(Received(countWord, args));
    return IntValue(kGetAnswer);
  }
  static Usual Put(Usual, std::uint32_t countWord, Usual* args) {
    Puts().push_back(Received(countWord, args));
    return PassedOf(countWord) ? args[0] : NilValue();
  }
};
