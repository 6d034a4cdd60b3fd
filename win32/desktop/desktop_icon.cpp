// The icons are drawn on a grid of kIconSize units and scaled to the size asked for, so that
// they stay sharp at any screen scale. Each is a coloured body with a light top and a darker
// outline, and a glyph drawn as strokes: no font is needed, which keeps them the same on every
// desktop.
#include "desktop_icon.h"

#include <numbers>

namespace tb28desktop {
namespace {

struct Colour {
  double red, green, blue;
};

struct Look {
  Colour top, bottom, outline, glyph;
};

constexpr Colour kWhite{1.0, 1.0, 1.0};
constexpr Look kBlue{{0.21, 0.52, 0.89}, {0.10, 0.37, 0.71}, {0.08, 0.28, 0.56}, kWhite};
constexpr Look kYellow{{0.97, 0.89, 0.36}, {0.96, 0.76, 0.07}, {0.72, 0.50, 0.00}, {0.14, 0.12, 0.19}};
constexpr Look kRed{{0.93, 0.20, 0.23}, {0.75, 0.11, 0.16}, {0.58, 0.09, 0.14}, kWhite};

constexpr double kCentre = kIconSize / 2.0;
constexpr double kRadius = kCentre - 2.0;
constexpr double kGlyphStroke = 5.0;
constexpr double kPi = std::numbers::pi;

void SetColour(cairo_t* context, const Colour& colour) {
  cairo_set_source_rgb(context, colour.red, colour.green, colour.blue);
}

// Fills the current path from the light top to the darker bottom, keeping the path.
void FillBody(cairo_t* context, const Look& look) {
  cairo_pattern_t* shade = cairo_pattern_create_linear(0.0, 2.0, 0.0, kIconSize - 2.0);
  cairo_pattern_add_color_stop_rgb(shade, 0.0, look.top.red, look.top.green, look.top.blue);
  cairo_pattern_add_color_stop_rgb(shade, 1.0, look.bottom.red, look.bottom.green, look.bottom.blue);
  cairo_set_source(context, shade);
  cairo_pattern_destroy(shade);
  cairo_fill_preserve(context);
}

void Disc(cairo_t* context, double x, double y, double radius) {
  cairo_new_path(context);
  cairo_arc(context, x, y, radius, 0.0, 2.0 * kPi);
  cairo_fill(context);
}

void Round(cairo_t* context, const Look& look) {
  cairo_new_path(context);
  cairo_arc(context, kCentre, kCentre, kRadius - 0.5, 0.0, 2.0 * kPi);
  FillBody(context, look);
  SetColour(context, look.outline);
  cairo_set_line_width(context, 1.0);
  cairo_stroke(context);
}

// A triangle with rounded corners: its path stroked wide with round joins, first in the outline's
// colour and then a little narrower in the body's, and filled.
void Triangle(cairo_t* context, const Look& look) {
  cairo_new_path(context);
  cairo_move_to(context, kCentre, 6.5);
  cairo_line_to(context, kIconSize - 4.5, 40.5);
  cairo_line_to(context, 4.5, 40.5);
  cairo_close_path(context);
  SetColour(context, look.outline);
  cairo_set_line_width(context, 6.5);
  cairo_stroke_preserve(context);
  FillBody(context, look);
  cairo_set_line_width(context, 4.5);
  cairo_stroke(context);
}

// A vertical stroke and a dot, the glyph of both "i" (dot above) and "!" (dot below).
void StemAndDot(cairo_t* context, double top, double bottom, double width, double dot, double radius) {
  cairo_new_path(context);
  cairo_move_to(context, kCentre, top);
  cairo_line_to(context, kCentre, bottom);
  cairo_set_line_width(context, width);
  cairo_stroke(context);
  Disc(context, kCentre, dot, radius);
}

void Question(cairo_t* context) {
  cairo_new_path(context);
  cairo_arc(context, kCentre, 18.5, 6.5, kPi, 2.25 * kPi);
  cairo_line_to(context, kCentre, 26.5);
  cairo_line_to(context, kCentre, 28.5);
  cairo_set_line_width(context, kGlyphStroke);
  cairo_stroke(context);
  Disc(context, kCentre, 35.0, 3.0);
}

void Cross(cairo_t* context) {
  cairo_new_path(context);
  cairo_move_to(context, 16.5, 16.5);
  cairo_line_to(context, 31.5, 31.5);
  cairo_move_to(context, 31.5, 16.5);
  cairo_line_to(context, 16.5, 31.5);
  cairo_set_line_width(context, kGlyphStroke);
  cairo_stroke(context);
}

}  // namespace

bool IsDrawnIcon(int icon) {
  return icon == TB28_ICON_INFORMATION || icon == TB28_ICON_QUESTION || icon == TB28_ICON_WARNING ||
         icon == TB28_ICON_ERROR;
}

void DrawIcon(cairo_t* context, int icon, double size) {
  if (!IsDrawnIcon(icon)) return;
  cairo_save(context);
  cairo_scale(context, size / kIconSize, size / kIconSize);
  cairo_set_line_cap(context, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(context, CAIRO_LINE_JOIN_ROUND);
  const Look& look = icon == TB28_ICON_WARNING ? kYellow : icon == TB28_ICON_ERROR ? kRed : kBlue;
  if (icon == TB28_ICON_WARNING) {
    Triangle(context, look);
  } else {
    Round(context, look);
  }
  SetColour(context, look.glyph);
  switch (icon) {
    case TB28_ICON_INFORMATION: StemAndDot(context, 22.5, 32.5, 5.5, 14.0, 3.2); break;
    case TB28_ICON_QUESTION: Question(context); break;
    case TB28_ICON_WARNING: StemAndDot(context, 16.0, 28.0, kGlyphStroke, 34.5, 2.75); break;
    default: Cross(context); break;
  }
  cairo_restore(context);
}

}  // namespace tb28desktop
