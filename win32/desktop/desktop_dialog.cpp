// The desktop plugin (desktop_plugin.h): the dialogs drawn with GTK 3 and answered the way a
// Windows user answers a message box. The letter underlined in a button's label picks it, with
// or without Alt; Enter picks the button that has the focus (at first the default one); Escape
// and the close box answer only where the dialog allows it; otherwise the window manager is asked
// not to offer the close box, and closing does nothing. The underline is always drawn, not only
// while Alt is held, since the letter alone answers.
#include <gtk/gtk.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <string>
#include <vector>

#include "desktop_plugin.h"

namespace {

// Room beside the title for what the window manager puts in the title bar (its buttons, the
// window icon), so that the whole caption shows, as Windows widens a message box for its caption.
constexpr int kTitleBarAllowance = 120;
constexpr int kBorder = 12;
constexpr int kSpacing = 12;
constexpr int kButtonMinWidth = 80;
constexpr int kTextMaxChars = 60;
constexpr int kAreaMinWidth = 360, kAreaMaxWidth = 760, kAreaMinHeight = 80, kAreaMaxHeight = 380, kAreaPadding = 8;

// The user's locale, in force on this thread only while GTK works. The process itself stays in
// the C locale the runtime formats its numbers in: GTK is told not to set the global locale.
class UserLocale {
 public:
  UserLocale() : previous_(Locale() != nullptr ? uselocale(Locale()) : nullptr) {}
  ~UserLocale() {
    if (previous_ != nullptr) uselocale(previous_);
  }
  UserLocale(const UserLocale&) = delete;
  UserLocale& operator=(const UserLocale&) = delete;

 private:
  // Null when the environment names no locale that exists; then the dialogs speak English.
  static locale_t Locale() {
    static locale_t user = [] {
      locale_t all = newlocale(LC_ALL_MASK, "", nullptr);
      // One category naming a missing locale spoils the whole: the language and the character
      // set are what the dialogs need.
      return all != nullptr ? all : newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "", nullptr);
    }();
    return user;
  }

  locale_t previous_;
};

struct Shown {
  const Tb28DesktopDialog* dialog = nullptr;
  GtkWidget* window = nullptr;
  std::vector<GtkWidget*> buttons;
  std::vector<guint> keys;  // the lower-case key of each button's letter, 0 for none
  GMainLoop* loop = nullptr;
  int answer = -1;
};

void Answer(Shown& shown, int index) {
  if (shown.answer >= 0) return;
  shown.answer = index;
  g_main_loop_quit(shown.loop);
}

// A label as Pango markup with its mnemonic letter underlined ("__" is a plain underscore), and
// the key of that letter.
std::string ButtonMarkup(const char* label, guint& key) {
  std::string markup;
  key = 0;
  auto append = [&markup](const char* from, const char* to) {
    gchar* escaped = g_markup_escape_text(from, to - from);
    markup += escaped;
    g_free(escaped);
  };
  const char* p = label;
  while (*p != '\0') {
    const char* next = g_utf8_next_char(p);
    if (*p == '_' && *next == '_') {
      markup += '_';
      p = next + 1;
    } else if (*p == '_' && *next != '\0' && key == 0) {
      const char* after = g_utf8_next_char(next);
      markup += "<u>";
      append(next, after);
      markup += "</u>";
      key = gdk_keyval_to_lower(gdk_unicode_to_keyval(g_utf8_get_char(next)));
      p = after;
    } else {
      append(p, next);
      p = next;
    }
  }
  return markup;
}

void OnClicked(GtkButton* button, gpointer data) {
  auto& shown = *static_cast<Shown*>(data);
  for (std::size_t i = 0; i < shown.buttons.size(); ++i) {
    if (shown.buttons[i] == GTK_WIDGET(button)) Answer(shown, static_cast<int>(i));
  }
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto& shown = *static_cast<Shown*>(data);
  if (shown.dialog->closeButton >= 0) Answer(shown, shown.dialog->closeButton);
  return TRUE;  // the window goes when the dialog is answered, not before
}

// Runs before the focused widget sees the key, so that the text area does not take the letters.
gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& shown = *static_cast<Shown*>(data);
  guint modifiers = event->state & gtk_accelerator_get_default_mod_mask();
  bool plain = (modifiers & ~(GDK_SHIFT_MASK | GDK_MOD1_MASK)) == 0;
  switch (event->keyval) {
    case GDK_KEY_Escape:
      if (shown.dialog->closeButton >= 0) Answer(shown, shown.dialog->closeButton);
      return TRUE;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: {
      if (!plain) return FALSE;
      GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(shown.window));
      int picked = shown.dialog->defaultButton;
      for (std::size_t i = 0; i < shown.buttons.size(); ++i) {
        if (shown.buttons[i] == focus) picked = static_cast<int>(i);
      }
      Answer(shown, picked);
      return TRUE;
    }
    default: break;
  }
  if (!plain) return FALSE;  // Ctrl+C and the like belong to the text area
  guint key = gdk_keyval_to_lower(event->keyval);
  for (std::size_t i = 0; i < shown.keys.size(); ++i) {
    if (shown.keys[i] != 0 && shown.keys[i] == key) {
      Answer(shown, static_cast<int>(i));
      return TRUE;
    }
  }
  return FALSE;
}

int TitleWidth(GtkWidget* window, const char* title) {
  PangoLayout* layout = gtk_widget_create_pango_layout(window, title);
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
  pango_layout_set_attributes(layout, attributes);
  pango_attr_list_unref(attributes);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  return width;
}

const char* IconName(int icon) {
  switch (icon) {
    case TB28_ICON_INFORMATION: return "dialog-information";
    case TB28_ICON_QUESTION: return "dialog-question";
    case TB28_ICON_WARNING: return "dialog-warning";
    case TB28_ICON_ERROR: return "dialog-error";
    default: return nullptr;
  }
}

GtkWidget* TextLabel(const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), kTextMaxChars);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_widget_set_valign(label, GTK_ALIGN_CENTER);
  return label;
}

GtkWidget* TextArea(const char* text) {
  GtkWidget* view = gtk_text_view_new();
  gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), text, -1);
  gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_monospace(GTK_TEXT_VIEW(view), TRUE);
  gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), kAreaPadding / 2);
  gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), kAreaPadding / 2);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  // Big enough for the whole message up to a limit, past which it scrolls. Measured here: a text
  // view knows its height only once it has been laid out on the screen.
  PangoLayout* layout = gtk_widget_create_pango_layout(view, text);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  GtkScrolledWindow* area = GTK_SCROLLED_WINDOW(scrolled);
  gtk_scrolled_window_set_min_content_width(area, std::clamp(width + kAreaPadding, kAreaMinWidth, kAreaMaxWidth));
  gtk_scrolled_window_set_min_content_height(area, std::clamp(height + kAreaPadding, kAreaMinHeight, kAreaMaxHeight));
  gtk_container_add(GTK_CONTAINER(scrolled), view);
  gtk_widget_set_hexpand(scrolled, TRUE);
  gtk_widget_set_vexpand(scrolled, TRUE);
  return scrolled;
}

GtkWidget* ButtonRow(Shown& shown) {
  const Tb28DesktopDialog& dialog = *shown.dialog;
  GtkWidget* row = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  // A message box centres its buttons; the error dialog keeps them to the right under its text.
  gtk_button_box_set_layout(GTK_BUTTON_BOX(row), dialog.textArea ? GTK_BUTTONBOX_END : GTK_BUTTONBOX_CENTER);
  gtk_box_set_spacing(GTK_BOX(row), 8);
  for (int i = 0; i < dialog.buttonCount; ++i) {
    const char* label = dialog.gtkLabels ? g_dgettext("gtk30", dialog.buttons[i]) : dialog.buttons[i];
    guint key = 0;
    std::string markup = ButtonMarkup(label, key);
    GtkWidget* text = gtk_label_new(nullptr);
    gtk_label_set_markup(GTK_LABEL(text), markup.c_str());
    GtkWidget* button = gtk_button_new();
    gtk_container_add(GTK_CONTAINER(button), text);
    gtk_widget_set_size_request(button, kButtonMinWidth, -1);
    gtk_widget_set_can_default(button, TRUE);
    g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), &shown);
    gtk_container_add(GTK_CONTAINER(row), button);
    shown.buttons.push_back(button);
    shown.keys.push_back(key);
  }
  return row;
}

GtkWidget* BuildWindow(Shown& shown) {
  const Tb28DesktopDialog& dialog = *shown.dialog;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  shown.window = window;
  gtk_window_set_title(GTK_WINDOW(window), dialog.title);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_window_set_resizable(GTK_WINDOW(window), dialog.textArea != 0);
  gtk_window_set_deletable(GTK_WINDOW(window), dialog.closeButton >= 0);
  gtk_container_set_border_width(GTK_CONTAINER(window), kBorder);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
  GtkWidget* body = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
  if (const char* icon = IconName(dialog.icon)) {
    GtkWidget* image = gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(body), image, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(body), dialog.textArea ? TextArea(dialog.text) : TextLabel(dialog.text), TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(column), body, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(column), ButtonRow(shown), FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window), column);
  gtk_widget_set_size_request(column, TitleWidth(window, dialog.title) + kTitleBarAllowance - 2 * kBorder, -1);

  // What the window manager offers in the title bar: a dialog is neither minimised nor, unless
  // it can be resized, maximised, and has a close box only where closing answers it. A window
  // manager that draws a close box all the same (openbox does) finds it does nothing.
  gtk_widget_realize(window);
  int functions = GDK_FUNC_MOVE;
  if (dialog.closeButton >= 0) functions |= GDK_FUNC_CLOSE;
  if (dialog.textArea) functions |= GDK_FUNC_RESIZE | GDK_FUNC_MAXIMIZE;
  gdk_window_set_functions(gtk_widget_get_window(window), static_cast<GdkWMFunction>(functions));

  g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), &shown);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), &shown);
  GtkWidget* chosen = shown.buttons[static_cast<std::size_t>(dialog.defaultButton)];
  gtk_window_set_default(GTK_WINDOW(window), chosen);
  gtk_widget_grab_focus(chosen);
  return window;
}

bool WellFormed(const Tb28DesktopDialog* dialog) {
  if (dialog == nullptr || dialog->title == nullptr || dialog->text == nullptr || dialog->buttons == nullptr) {
    return false;
  }
  if (dialog->buttonCount < 1 || dialog->defaultButton < 0 || dialog->defaultButton >= dialog->buttonCount) {
    return false;
  }
  if (dialog->closeButton < -1 || dialog->closeButton >= dialog->buttonCount) return false;
  for (int i = 0; i < dialog->buttonCount; ++i) {
    if (dialog->buttons[i] == nullptr) return false;
  }
  return true;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int Tb28DesktopOpen1(void) {
  UserLocale user;
  gtk_disable_setlocale();
  // The window manager and the desktop entry know the program by this name (its window class).
  // The dialogs carry no icon of their own, as a Windows message box has none in its title bar.
  if (g_get_prgname() == nullptr) g_set_prgname(program_invocation_short_name);
  // The dialogs draw nothing with OpenGL, and GDK would load the GL driver while it opens the
  // display (with Mesa's, LLVM: half the time to the first window). A GDK_GL of the user's own
  // stands. It stays set: other threads may be reading the environment once GTK is up.
  g_setenv("GDK_GL", "disable", FALSE);
  return gtk_init_check(nullptr, nullptr) ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) int Tb28DesktopAsk1(const Tb28DesktopDialog* dialog) {
  if (!WellFormed(dialog)) return -1;
  UserLocale user;
  Shown shown;
  shown.dialog = dialog;
  GtkWidget* window = nullptr;
  try {
    window = BuildWindow(shown);
  } catch (const std::bad_alloc&) {
    if (shown.window != nullptr) gtk_widget_destroy(shown.window);
    return -1;
  }
  shown.loop = g_main_loop_new(nullptr, FALSE);
  gtk_widget_show_all(window);
  // The focus ring shows from the start which button Enter picks, as Windows marks its default.
  gtk_window_set_focus_visible(GTK_WINDOW(window), TRUE);
  gtk_window_present(GTK_WINDOW(window));
  g_main_loop_run(shown.loop);
  g_main_loop_unref(shown.loop);
  gtk_widget_destroy(window);
  // The window is gone from the screen before the program goes on to its next box or its end.
  while (gtk_events_pending()) gtk_main_iteration();
  gdk_display_sync(gdk_display_get_default());
  return shown.answer;
}
