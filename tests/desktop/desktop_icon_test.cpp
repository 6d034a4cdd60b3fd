// The style icons drawn into an image: each icon's body and glyph in their colours at points
// that tell the four apart, at the size of a dialog and twice it, nothing outside the square,
// and the drawing context handed back as it came.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "desktop_icon.h"

namespace {

using tb28desktop::DrawIcon;
using tb28desktop::IsDrawnIcon;
using tb28desktop::kIconSize;

enum class Shade { Clear, White, Dark, Blue, Yellow, Red, Other };

const char* Name(Shade shade) {
  switch (shade) {
    case Shade::Clear: return "clear";
    case Shade::White: return "white";
    case Shade::Dark: return "dark";
    case Shade::Blue: return "blue";
    case Shade::Yellow: return "yellow";
    case Shade::Red: return "red";
    case Shade::Other: break;
  }
  return "other";
}

struct Image {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface;
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context;

  explicit Image(int side)
      : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side), cairo_surface_destroy),
        context(cairo_create(surface.get()), cairo_destroy) {}

  Shade At(int x, int y) {
    cairo_surface_flush(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    std::uint32_t pixel;
    std::memcpy(&pixel, data + y * cairo_image_surface_get_stride(surface.get()) + x * 4, sizeof pixel);
    int alpha = static_cast<int>(pixel >> 24), red = (pixel >> 16) & 0xff, green = (pixel >> 8) & 0xff,
        blue = pixel & 0xff;
    if (alpha < 16) return Shade::Clear;
    if (alpha < 240) return Shade::Other;  // an edge, drawn half
    if (red > 200 && green > 200 && blue > 200) return Shade::White;
    if (red < 80 && green < 80 && blue < 80) return Shade::Dark;
    if (blue > red + 60 && blue > green) return Shade::Blue;
    if (red > 180 && green > 150 && blue < 100) return Shade::Yellow;
    if (red > 150 && green < 90 && blue < 100) return Shade::Red;
    return Shade::Other;
  }
};

struct Point {
  int x, y;  // on the icon's grid of kIconSize
  Shade shade;
};

struct IconCase {
  const char* name;
  int icon;
  std::vector<Point> points;
};

void PrintTo(const IconCase& c, std::ostream* os) { *os << c.name; }

const IconCase kIcons[] = {
    {"information",
     TB28_ICON_INFORMATION,
     {{24, 14, Shade::White}, {24, 28, Shade::White}, {17, 18, Shade::Blue}, {24, 42, Shade::Blue}}},
    {"question",
     TB28_ICON_QUESTION,
     {{17, 18, Shade::White}, {24, 35, Shade::White}, {20, 29, Shade::Blue}, {24, 42, Shade::Blue}}},
    {"warning",
     TB28_ICON_WARNING,
     {{24, 22, Shade::Dark}, {24, 34, Shade::Dark}, {12, 38, Shade::Yellow}, {24, 10, Shade::Yellow}}},
    {"error",
     TB28_ICON_ERROR,
     {{24, 24, Shade::White}, {17, 17, Shade::White}, {24, 17, Shade::Red}, {24, 42, Shade::Red}}},
};

class StyleIcon : public ::testing::TestWithParam<std::tuple<IconCase, int>> {};

TEST_P(StyleIcon, ShowsItsBodyAndGlyph) {
  const auto& [c, scale] = GetParam();
  ASSERT_TRUE(IsDrawnIcon(c.icon));
  const int side = kIconSize * scale;
  Image image(side + 8);
  DrawIcon(image.context.get(), c.icon, side);
  ASSERT_EQ(cairo_status(image.context.get()), CAIRO_STATUS_SUCCESS);
  for (const Point& p : c.points) {
    // The middle of the square the grid point stands for.
    Shade seen = image.At(p.x * scale + scale / 2, p.y * scale + scale / 2);
    EXPECT_EQ(seen, p.shade) << "at " << p.x << "," << p.y << ": " << Name(seen) << " for " << Name(p.shade);
  }
  // The corners of the square and everything beyond it stay as they were.
  for (auto [x, y] : {std::pair{0, 0},
                      {side - 1, 0},
                      {0, side - 1},
                      {side - 1, side - 1},
                      {side + 2, side / 2},
                      {side / 2, side + 2},
                      {side + 7, side + 7}}) {
    EXPECT_EQ(image.At(x, y), Shade::Clear) << "at " << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Styles, StyleIcon, ::testing::Combine(::testing::ValuesIn(kIcons), ::testing::Values(1, 2)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_x" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST(StyleIcon, NoneAndUnknownDrawNothing) {
  for (int icon : {static_cast<int>(TB28_ICON_NONE), TB28_ICON_ERROR + 1, -1}) {
    EXPECT_FALSE(IsDrawnIcon(icon)) << icon;
    Image image(kIconSize);
    DrawIcon(image.context.get(), icon, kIconSize);
    for (int y = 0; y < kIconSize; y += 3) {
      for (int x = 0; x < kIconSize; x += 3) ASSERT_EQ(image.At(x, y), Shade::Clear) << icon << " at " << x << "," << y;
    }
  }
}

TEST(StyleIcon, HandsTheContextBackAsItCame) {
  Image image(kIconSize);
  cairo_t* context = image.context.get();
  cairo_translate(context, 3.0, 4.0);
  cairo_set_line_width(context, 7.0);
  cairo_set_line_cap(context, CAIRO_LINE_CAP_SQUARE);
  cairo_set_source_rgb(context, 0.0, 1.0, 0.0);
  DrawIcon(context, TB28_ICON_WARNING, kIconSize);
  cairo_matrix_t matrix;
  cairo_get_matrix(context, &matrix);
  EXPECT_EQ(matrix.xx, 1.0);
  EXPECT_EQ(matrix.yy, 1.0);
  EXPECT_EQ(matrix.x0, 3.0);
  EXPECT_EQ(matrix.y0, 4.0);
  EXPECT_EQ(cairo_get_line_width(context), 7.0);
  EXPECT_EQ(cairo_get_line_cap(context), CAIRO_LINE_CAP_SQUARE);
  double red = 1.0, green = 0.0, blue = 1.0, alpha = 0.0;
  ASSERT_EQ(cairo_pattern_get_rgba(cairo_get_source(context), &red, &green, &blue, &alpha), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(green, 1.0);
  EXPECT_EQ(red + blue, 0.0);
}

}  // namespace
