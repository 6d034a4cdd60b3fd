// ErrorMessageBox: the options offered, the test hook, and the host's dialog.
#include "error_dialog.h"

#include "reset.h"
#include "tb28run/dialog.h"
#include "testing_hooks.h"

namespace tb {

TbErrorDialogHook& ErrorDialogHook() {
  static TbErrorDialogHook hook = nullptr;
  return hook;
}

namespace {

const ResetRegistration reset([] { ErrorDialogHook() = nullptr; });

}  // namespace

std::vector<DialogOption> OfferedOptions(std::uint32_t first, std::uint32_t second, std::uint32_t third) {
  std::vector<DialogOption> options;
  if (first) options.push_back({"Default", ED_FIRST});
  if (second) options.push_back({"Retry", ED_RETRY});
  // The low bits tell that a recovery point exists to break to.
  options.push_back({(third & 3) == 3 ? "Break" : "Quit", third});
  return options;
}

}  // namespace tb

TBRT std::uint32_t ErrorMessageBox(const char* message, const char* caption, std::uint32_t first, std::uint32_t second,
                                   std::uint32_t third) {
  if (!message) message = "";
  if (!caption) caption = "";
  if (TbErrorDialogHook hook = tb::ErrorDialogHook()) return hook(message, caption, first, second, third);
  return tb::ShowErrorDialog(message, caption, tb::OfferedOptions(first, second, third), third);
}
