// The choice between the desktop and the terminal form, and the desktop plugin that draws the
// first (win32_desktop_dialog.h). The plugin is opened at the first dialog the desktop form is
// chosen for and stays loaded: GTK cannot be unloaded.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <win32_desktop_dialog.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop_plugin.h"

namespace win32 {
namespace {

constexpr const char* kSetting = "QUORLFIX_DIALOGS";

bool Named(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

bool Is(const char* setting, const char* word) { return setting != nullptr && std::strcmp(setting, word) == 0; }

// Each note is written once a process: a program may show many dialogs.
void NoteOnce(bool& noted, const std::string& note) {
  if (noted) return;
  noted = true;
  std::fprintf(stderr, "%s\n", note.c_str());
}

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Beside this library, where the build and the package put both; then beside the executable.
std::vector<std::string> PluginPaths() {
  std::vector<std::string> directories;
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&ClassifyStandardInput), &self) != 0 && self.dli_fname != nullptr) {
    directories.push_back(DirectoryOf(self.dli_fname));
  }
  char executable[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
  if (length > 0) {
    std::string directory = DirectoryOf(std::string(executable, static_cast<std::size_t>(length)));
    if (directories.empty() || directories[0] != directory) directories.push_back(directory);
  }
  std::vector<std::string> paths;
  for (const std::string& directory : directories) paths.push_back(directory + "/" + WIN32_DESKTOP_PLUGIN);
  return paths;
}

struct Plugin {
  Tb28DesktopAskFunction ask = nullptr;  // null when the desktop form cannot be shown
  std::string failure;                   // why, for the note a forced desktop form gets
};

Plugin OpenPlugin() {
  Plugin plugin;
  for (const std::string& path : PluginPaths()) {
    if (access(path.c_str(), F_OK) != 0) continue;
    // Bound lazily, as a program linked with GTK binds it: GTK and the libraries under it have
    // thousands of entries that one dialog never calls.
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* error = dlerror();
      plugin.failure = error != nullptr ? error : path + " cannot be loaded";
      return plugin;
    }
    auto open = reinterpret_cast<Tb28DesktopOpenFunction>(dlsym(handle, TB28_DESKTOP_OPEN));
    auto ask = reinterpret_cast<Tb28DesktopAskFunction>(dlsym(handle, TB28_DESKTOP_ASK));
    if (open == nullptr || ask == nullptr) {
      plugin.failure = path + " is a desktop plugin of another version";
      return plugin;
    }
    if (open() == 0) {
      plugin.failure = "the display cannot be opened";
      return plugin;
    }
    plugin.ask = ask;
    return plugin;
  }
  plugin.failure = std::string("the desktop plugin ") + WIN32_DESKTOP_PLUGIN + " is not installed";
  return plugin;
}

int PluginIcon(DesktopIcon icon) {
  switch (icon) {
    case DesktopIcon::Information: return TB28_ICON_INFORMATION;
    case DesktopIcon::Question: return TB28_ICON_QUESTION;
    case DesktopIcon::Warning: return TB28_ICON_WARNING;
    case DesktopIcon::Error: return TB28_ICON_ERROR;
    case DesktopIcon::None: break;
  }
  return TB28_ICON_NONE;
}

}  // namespace

StandardInput ClassifyStandardInput(int fd) {
  struct stat input {};
  if (fstat(fd, &input) != 0) return errno == EBADF ? StandardInput::Closed : StandardInput::FedAnswers;
  if (isatty(fd)) return StandardInput::Terminal;
  struct stat null {};
  if (S_ISCHR(input.st_mode) && stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) &&
      null.st_rdev == input.st_rdev) {
    return StandardInput::Null;
  }
  return StandardInput::FedAnswers;
}

bool IsKnownDialogSetting(const char* setting) {
  return setting == nullptr || *setting == '\0' || Is(setting, "auto") || Is(setting, "terminal") ||
         Is(setting, "desktop");
}

DialogForm ChooseDialogForm(const char* setting, bool displayNamed, StandardInput input) {
  if (Is(setting, "terminal")) return DialogForm::Terminal;
  if (Is(setting, "desktop")) return DialogForm::Desktop;
  return displayNamed && input != StandardInput::FedAnswers ? DialogForm::Desktop : DialogForm::Terminal;
}

std::optional<std::size_t> AskOnDesktop(const DesktopDialog& dialog) {
  const char* setting = std::getenv(kSetting);
  if (!IsKnownDialogSetting(setting)) {
    static bool noted = false;
    NoteOnce(noted, std::string(kSetting) + "=" + setting +
                        " is neither terminal, desktop nor auto: the form is chosen as if it were unset");
  }
  bool displayNamed = Named("WAYLAND_DISPLAY") || Named("DISPLAY");
  if (ChooseDialogForm(setting, displayNamed, ClassifyStandardInput(STDIN_FILENO)) != DialogForm::Desktop) {
    return std::nullopt;
  }
  static const Plugin plugin = OpenPlugin();
  if (plugin.ask == nullptr) {
    // Chosen by itself, the desktop form falls back quietly: the terminal form is what runs
    // without a desktop. Asked for, it says why it is not there.
    static bool noted = false;
    if (Is(setting, "desktop")) NoteOnce(noted, std::string(kSetting) + "=desktop: " + plugin.failure);
    return std::nullopt;
  }
  std::string title = DesktopText(dialog.caption, DesktopLines::Joined);
  std::string text = DesktopText(dialog.text, DesktopLines::Kept);
  std::vector<const char*> labels;
  for (const std::string& label : dialog.buttons) labels.push_back(label.c_str());
  Tb28DesktopDialog shown{};
  shown.title = title.c_str();
  shown.text = text.c_str();
  shown.icon = PluginIcon(dialog.icon);
  shown.textArea = dialog.textArea ? 1 : 0;
  shown.gtkLabels = dialog.gtkLabels ? 1 : 0;
  shown.buttons = labels.data();
  shown.buttonCount = static_cast<int>(labels.size());
  shown.defaultButton = static_cast<int>(dialog.defaultIndex);
  shown.closeButton = dialog.closeIndex ? static_cast<int>(*dialog.closeIndex) : -1;
  int picked = plugin.ask(&shown);
  if (picked < 0) return std::nullopt;
  return static_cast<std::size_t>(picked);
}

}  // namespace win32
