// The error dialog's options and the host's way of showing them.
#pragma once

#include <cstdint>
#include <vector>

namespace tb {

struct DialogOption {
  const char* label;     // its first letter picks it on the terminal
  std::uint32_t answer;  // what ErrorMessageBox answers for it
};

// The options the three words offer, left to right; the third is always there.
std::vector<DialogOption> OfferedOptions(std::uint32_t first, std::uint32_t second, std::uint32_t third);

// Shows the dialog and answers the chosen option's answer, or `otherwise` when nothing was
// chosen (the dialog could not be shown, was closed, or input ended).
std::uint32_t ShowErrorDialog(const char* message, const char* caption, const std::vector<DialogOption>& options,
                              std::uint32_t otherwise);

#if !defined(_WIN32)
// The terminal form, which a POSIX host shows when the desktop form is not chosen or cannot be
// shown.
std::uint32_t ShowErrorDialogOnTerminal(const char* message, const char* caption,
                                        const std::vector<DialogOption>& options, std::uint32_t otherwise);
#endif

}  // namespace tb
