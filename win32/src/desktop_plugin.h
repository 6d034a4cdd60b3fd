// The boundary between the host layer and its desktop plugin, the small library that draws the
// dialogs with GTK 3. The host opens the plugin with dlopen only when a dialog is to be shown on
// the desktop, so that a run on the terminal never loads GTK; the two meet through these plain C
// types and two functions found by name. The names carry the layout's number: a plugin built for
// another layout lacks them and is not used.
#pragma once

extern "C" {

enum Tb28DesktopIcon { TB28_ICON_NONE, TB28_ICON_INFORMATION, TB28_ICON_QUESTION, TB28_ICON_WARNING, TB28_ICON_ERROR };

struct Tb28DesktopDialog {
  const char* title;           // UTF-8, one line
  const char* text;            // UTF-8, lines separated by "\n"
  int icon;                    // a Tb28DesktopIcon
  int textArea;                // non-zero: the text in a scrollable area a user can select and copy from
  int gtkLabels;               // non-zero: the labels are GTK's own and are shown in the user's language
  const char* const* buttons;  // left to right; "_" stands before the letter that answers
  int buttonCount;             // at least one
  int defaultButton;           // answered by Enter
  int closeButton;             // answered by Escape and the close box; -1: neither answers
};

// Opens the display: non-zero when it is open. Asked once; the host never unloads the plugin.
using Tb28DesktopOpenFunction = int (*)(void);
// Shows the dialog until one of its buttons is chosen and answers its index, or -1 when the
// dialog could not be shown.
using Tb28DesktopAskFunction = int (*)(const Tb28DesktopDialog* dialog);

}  // extern "C"

#define TB28_DESKTOP_OPEN "Tb28DesktopOpen1"
#define TB28_DESKTOP_ASK "Tb28DesktopAsk1"
