// The four icons a message box's style asks for (information, question, warning, error), drawn
// with cairo alone. They are ours rather than the icon theme's: starting GTK's icon theme and its
// image loaders to find one costs a dialog more time than everything else it does before its
// window shows, and the desktop's own message dialogs show no icon at all.
#pragma once

#include <cairo.h>

#include "desktop_plugin.h"

namespace tb28desktop {

// The side of the square an icon fills at scale 1, as large as GTK's dialog icons.
constexpr int kIconSize = 48;

// Whether icon (a Tb28DesktopIcon) is one that is drawn; TB28_ICON_NONE and unknown values are not.
bool IsDrawnIcon(int icon);

// Draws the icon into the square from the origin of context to (size, size), leaving the rest
// of the square untouched so that the window's background shows through. Nothing is drawn for
// an icon that IsDrawnIcon refuses. The context's state is as it was afterwards.
void DrawIcon(cairo_t* context, int icon, double size);

}  // namespace tb28desktop
