#include "startup/module_init.h"

#include <initializer_list>

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
constexpr std::uint32_t kErrorMap[] = {
    5,
    offsetof(ErrorInstance, SUBSYSTEM),
    1,
    offsetof(ErrorInstance, OPERATION),
    4,  // OPERATION, DESCRIPTION, FILENAME, ARGS
    offsetof(ErrorInstance, SUBCODETEXT),
    2,  // SUBCODETEXT, ARG
    offsetof(ErrorInstance, CARGO),
    REFMAP_USUAL_RUN | 1,  // CARGO
    offsetof(ErrorInstance, METHODSELF),
    2,  // METHODSELF, STACK
};

std::int32_t DeclareTBObject() {
  return DeclareClass(SYM_TBOBJECT, 0, sizeof(TBObjectInstance), kTBObjectMap, 0, 0, 1,
                      IVAR(TBObjectInstance, OCARGO, T_OBJECT));
}

std::int32_t DeclareCodeBlock() {
  return DeclareClass(SYM_CODEBLOCK, 0, sizeof(CodeBlockInstance), kCodeBlockMap, 0, 0, 2,
                      IVAR(CodeBlockInstance, NPARAMCOUNT, T_INT), IVAR(CodeBlockInstance, _CODE, T_STRING));
}

std::int32_t DeclareError() {
  return DeclareClass(SYM_ERROR, 0, sizeof(ErrorInstance), kErrorMap, 0, 0, 28, IVAR(ErrorInstance, STACK, T_STRING),
                      IVAR(ErrorInstance, METHODSELF, T_OBJECT), IVAR(ErrorInstance, CARGO, T_USUAL),
                      IVAR(ErrorInstance, CALLFUNCSYM, T_SYMBOL), IVAR(ErrorInstance, CHOICE, T_DWORD),
                      IVAR(ErrorInstance, SUBSTITUTETYPE, T_DWORD), IVAR(ErrorInstance, MAXSIZE, T_DWORD),
                      IVAR(ErrorInstance, ARGTYPEREQ, T_DWORD), IVAR(ErrorInstance, ARGTYPE, T_DWORD),
                      IVAR(ErrorInstance, ARG, T_STRING), IVAR(ErrorInstance, SUBCODETEXT, T_STRING),
                      IVAR(ErrorInstance, FUNCPTR, T_PTR), IVAR(ErrorInstance, ARGNUM, T_DWORD),
                      IVAR(ErrorInstance, FILEHANDLE, T_DWORD), IVAR(ErrorInstance, FUNCSYM, T_SYMBOL),
                      IVAR(ErrorInstance, TRIES, T_DWORD), IVAR(ErrorInstance, ARGS, T_ARRAY),
                      IVAR(ErrorInstance, FILENAME, T_STRING), IVAR(ErrorInstance, DESCRIPTION, T_STRING),
                      IVAR(ErrorInstance, OPERATION, T_STRING), IVAR(ErrorInstance, CANSUBSTITUTE, T_LOGIC),
                      IVAR(ErrorInstance, CANRETRY, T_LOGIC), IVAR(ErrorInstance, CANDEFAULT, T_LOGIC),
                      IVAR(ErrorInstance, SEVERITY, T_DWORD), IVAR(ErrorInstance, OSCODE, T_DWORD),
                      IVAR(ErrorInstance, GENCODE, T_DWORD), IVAR(ErrorInstance, SUBCODE, T_DWORD),
                      IVAR(ErrorInstance, SUBSYSTEM, T_STRING));
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
