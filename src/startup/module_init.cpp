#include "startup/module_init.h"

#include <array>
#include <initializer_list>
#include <iterator>

#include "errors/call_stack_text.h"
#include "errors/error_class.h"
#include "runtime/frame_guard.h"
#include "startup/class_layouts.h"
#include "startup/debug_launch.h"
#include "startup/init_procedures.h"
#include "startup/tbobject.h"

namespace {

constexpr std::uint32_t kAccess = 3;

template <class Field>
constexpr std::uint32_t Size() {
  return std::uint32_t(sizeof(Field));
}

#define IVAR(Layout, name, type) \
  SYM_##name, std::uint32_t(offsetof(Layout, name)), type, Size<decltype(Layout::name)>(), kAccess

constexpr std::uint32_t kTBObjectMap[] = {1, offsetof(TBObjectInstance, OCARGO), 1};
constexpr std::uint32_t kCodeBlockMap[] = {1, offsetof(CodeBlockInstance, _CODE), 1};

// The Error class's reference map: its reference variables, and apart from them its dynamic
// values, in runs of neighbours.
struct ErrorVariable {
  std::uint32_t offset;
  std::uint32_t type;
};
#define ERROR_VARIABLE(NAME, Kind, member, label, i386) {offsetof(ErrorInstance, NAME), error_field::Kind::type},
constexpr ErrorVariable kErrorVariables[] = {TB_ERROR_FIELDS(ERROR_VARIABLE)};
#undef ERROR_VARIABLE

constexpr bool IsReference(std::uint32_t type) { return type == T_STRING || type == T_ARRAY || type == T_OBJECT; }

// Writes the runs into `map` when it is given; answers the number of words they take.
constexpr std::size_t ErrorRuns(std::uint32_t* map) {
  std::size_t words = 1;
  std::uint32_t runEnd = 0, runFlag = 0;
  for (const ErrorVariable& v : kErrorVariables) {
    if (v.type != T_USUAL && !IsReference(v.type)) continue;
    std::uint32_t flag = v.type == T_USUAL ? REFMAP_USUAL_RUN : 0;
    if (words == 1 || v.offset != runEnd || flag != runFlag) {
      if (map) map[words] = v.offset, map[words + 1] = flag;
      words += 2;
    }
    if (map) ++map[words - 1];
    runEnd = v.offset + std::uint32_t(flag ? sizeof(Usual) : sizeof(void*));
    runFlag = flag;
  }
  if (map) map[0] = std::uint32_t(words / 2);
  return words;
}

constexpr auto kErrorMap = [] {
  std::array<std::uint32_t, ErrorRuns(nullptr)> map{};
  ErrorRuns(map.data());
  return map;
}();

std::int32_t DeclareTBObject() {
  return DeclareClass(SYM_TBOBJECT, 0, sizeof(TBObjectInstance), kTBObjectMap, 0, 0, 1,
                      IVAR(TBObjectInstance, OCARGO, T_OBJECT));
}

std::int32_t DeclareCodeBlock() {
  return DeclareClass(SYM_CODEBLOCK, 0, sizeof(CodeBlockInstance), kCodeBlockMap, 0, 0, 2,
                      IVAR(CodeBlockInstance, NPARAMCOUNT, T_INT), IVAR(CodeBlockInstance, _CODE, T_STRING));
}

std::int32_t DeclareError() {
#define ERROR_IVAR(NAME, Kind, member, label, i386) , IVAR(ErrorInstance, NAME, error_field::Kind::type)
  return DeclareClass(SYM_ERROR, 0, sizeof(ErrorInstance), kErrorMap.data(), 0, 0,
                      std::size(kErrorVariables) TB_ERROR_FIELDS(ERROR_IVAR));
#undef ERROR_IVAR
}

#undef IVAR

struct MethodRow {
  Sym classSym;
  Sym methodSym;
  MethodFn function;
  std::uint32_t params;
};

// In the order they are declared.
const MethodRow kMethods[] = {
    {SYM_TBOBJECT, SYM_FINALIZE, &TBObjectFinalize, 0},
    {SYM_TBOBJECT, SYM_DESTROY, &TBObjectDestroy, 0},
    {SYM_TBOBJECT, SYM_INIT, &TBObjectInit, 0},
    {SYM_CODEBLOCK, SYM_EVAL, &CBRTEval, 0},
    {SYM_CODEBLOCK, SYM_INIT, &CBRTInit, 2},
    {SYM_ERROR, SYM_THROW, &ErrorThrow, 0},
    {SYM_ERROR, SYM_INIT, &ErrorInit, 1},
};

}  // namespace

std::int32_t ModuleInit() {
  static const FrameInfo kFrame{"MODULEINIT", "startup/module_init.cpp"};
  FrameGuard frame(kFrame);
  for (auto declare : {&DeclareTBObject, &DeclareCodeBlock, &DeclareError})
    if (std::int32_t result = declare()) return result;
  for (const MethodRow& m : kMethods)
    if (std::int32_t result = DeclareMethod(m.classSym, m.methodSym, 0, m.function, m.params)) return result;

  CallStackWithFile = 0;
  CallStackNumbered = 0;
  CallStackStopCount = 0;
  CallStackMaxEntries = 5;

  for (unsigned i = 0; i < INIT_PROCEDURE_COUNT; ++i) INIT_PROCEDURES[i]();
  return 0;
}
