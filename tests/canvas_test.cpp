#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "platform/canvas.h"

namespace pelisto {
namespace {

const Rgb kWhite{255, 255, 255};
const Rgb kRed{255, 0, 0};

using Points = std::set<std::pair<int, int>>;

// The pixels of a canvas that differ from white.
Points drawn(const Canvas& c) {
  Points out;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      if (!(c.pixel(x, y) == kWhite)) out.insert({x, y});
    }
  }
  return out;
}

TEST(Canvas, ShallowLineExactPixels) {
  Canvas c(10, 10);
  c.line(0, 0, 4, 2, kRed);
  EXPECT_EQ(drawn(c), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(c.penX(), 4);
  EXPECT_EQ(c.penY(), 2);
}

TEST(Canvas, SinglePointAndStraightLinesIncludeBothEnds) {
  Canvas c(10, 10);
  c.line(3, 3, 3, 3, kRed);
  EXPECT_EQ(drawn(c), (Points{{3, 3}}));
  Canvas h(10, 10);
  h.line(6, 1, 2, 1, kRed);
  EXPECT_EQ(drawn(h), (Points{{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}));
  Canvas v(10, 10);
  v.line(0, 2, 0, 5, kRed);
  EXPECT_EQ(drawn(v), (Points{{0, 2}, {0, 3}, {0, 4}, {0, 5}}));
}

// Every octant: one pixel per step of the major axis, both ends drawn,
// each pixel within half a pixel of the true line.
TEST(Canvas, LinesInAllOctantsAreContinuousAndClose) {
  const int ends[][2] = {{9, 3}, {3, 9}, {-3, 9}, {-9, 3}, {-9, -3}, {-3, -9}, {3, -9}, {9, -3},
                         {7, 7}, {-7, 7}, {7, -7}, {-7, -7}, {8, 1}, {1, -8}};
  for (const auto& e : ends) {
    SCOPED_TRACE(testing::Message() << "to " << e[0] << "," << e[1]);
    Canvas c(21, 21);
    const int x1 = 10, y1 = 10, x2 = 10 + e[0], y2 = 10 + e[1];
    c.line(x1, y1, x2, y2, kRed);
    Points p = drawn(c);
    const int major = std::max(std::abs(e[0]), std::abs(e[1]));
    EXPECT_EQ(p.size(), static_cast<size_t>(major + 1));
    EXPECT_TRUE(p.count({x1, y1}));
    EXPECT_TRUE(p.count({x2, y2}));
    const bool xMajor = std::abs(e[0]) >= std::abs(e[1]);
    std::set<int> majors;
    for (auto [x, y] : p) {
      majors.insert(xMajor ? x : y);
      const double t = xMajor ? double(x - x1) / e[0] : double(y - y1) / e[1];
      const double ideal = xMajor ? y1 + t * e[1] : x1 + t * e[0];
      EXPECT_LE(std::abs((xMajor ? y : x) - ideal), 0.5 + 1e-9) << x << "," << y;
    }
    EXPECT_EQ(majors.size(), p.size());
  }
}

TEST(Canvas, XorTwiceRestoresLinesAndBoxes) {
  Canvas c(40, 30);
  c.fillBox(0, 0, 39, 29, Rgb{10, 20, 30});
  c.line(0, 5, 39, 5, kRed);
  std::vector<uint32_t> before(c.pixels(), c.pixels() + 40 * 30);
  c.setMode(DrawMode::kXor);
  c.line(2, 0, 37, 29, Rgb{0, 255, 255});
  c.fillBox(5, 5, 20, 12, Rgb{255, 255, 255});
  EXPECT_NE(c.pixel(10, 8), (Rgb{10, 20, 30}));
  EXPECT_EQ(c.pixel(10, 5), (Rgb{0, 255, 255}));  // red xor white
  c.fillBox(5, 5, 20, 12, Rgb{255, 255, 255});
  c.line(2, 0, 37, 29, Rgb{0, 255, 255});
  EXPECT_EQ(std::vector<uint32_t>(c.pixels(), c.pixels() + 40 * 30), before);
}

TEST(Canvas, BoxesIncludeBothCornersInAnyOrder) {
  Canvas c(10, 10);
  c.fillBox(5, 4, 2, 1, 3);  // palette 3: blue
  Points p = drawn(c);
  EXPECT_EQ(p.size(), 4u * 4u);
  EXPECT_TRUE(p.count({2, 1}));
  EXPECT_TRUE(p.count({5, 4}));
  EXPECT_EQ(c.pixel(5, 4), (Rgb{0, 0, 255}));
}

// PICTURE1's client area is 598 × 126: the border takes columns 598, 599
// and row 126 of the 600 × 128 control.
TEST(Canvas, ClipsToTheClientArea) {
  Canvas c(598, 126);
  c.line(0, 63, 660, 63, 14);
  for (int x : {0, 300, 597}) EXPECT_EQ(c.pixel(x, 63), (Rgb{192, 192, 192}));
  EXPECT_EQ(drawn(c).size(), 598u);
  c.fillBox(590, 120, 700, 200, kRed);
  EXPECT_EQ(drawn(c).size(), 598u + 8 * 6);  // columns 590..597, rows 120..125
  c.line(-50, -50, 650, 650, kRed);               // crosses the whole area from outside
  EXPECT_EQ(c.pixel(0, 0), kRed);
  EXPECT_EQ(c.pixel(125, 125), kRed);
  EXPECT_EQ(c.pixel(598, 0), Rgb{});  // outside reads as black, never out of bounds
  c.setPixel(-1, 126, kRed);          // ignored
}

TEST(Canvas, PaletteStartsWithTheSixteenColours) {
  Canvas c(1, 1);
  EXPECT_EQ(c.palette(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(c.palette(7), (Rgb{255, 0, 255}));
  EXPECT_EQ(c.palette(10), (Rgb{0, 128, 128}));
  EXPECT_EQ(c.palette(14), (Rgb{192, 192, 192}));
  c.setPalette(14, Rgb{1, 2, 3});
  c.lineTo(0, 0, 14);
  EXPECT_EQ(c.pixel(0, 0), (Rgb{1, 2, 3}));
}

TEST(Canvas, TextIsRecordedAndListenerHearsEveryChange) {
  Canvas c(10, 10);
  int changes = 0;
  c.setChangeListener([&] { ++changes; });
  c.line(0, 0, 1, 1, kRed);
  c.fillBox(0, 0, 1, 1, kRed);
  c.drawText(3, 4, "０", FontSpec{"ＭＳ ゴシック", 16, 1}, kRed);
  EXPECT_EQ(changes, 3);
  ASSERT_EQ(c.textLog().size(), 1u);
  EXPECT_EQ(c.textLog()[0].text, "０");
  EXPECT_EQ(c.textLog()[0].x, 3);
  EXPECT_EQ(c.textLog()[0].font.heightPx, 16);
}

// The box a repaint is limited to: every changed pixel inside it, clipped
// to the client area, and emptied once taken.
TEST(Canvas, DirtyBoxCoversTheChangedPixels) {
  struct Case {
    const char* name;
    std::function<void(Canvas&)> draw;
    PixelBox expected;
  };
  const std::vector<Case> cases = {
      {"nothing", [](Canvas&) {}, PixelBox{}},
      {"vertical line", [](Canvas& c) { c.line(7, 0, 7, 128, kRed); }, PixelBox{7, 0, 7, 19}},
      {"line drawn right to left", [](Canvas& c) { c.line(9, 8, 2, 3, kRed); }, PixelBox{2, 3, 9, 8}},
      {"line partly outside", [](Canvas& c) { c.line(-5, -5, 3, 3, kRed); }, PixelBox{0, 0, 3, 3}},
      {"line wholly outside", [](Canvas& c) { c.line(30, 0, 40, 5, kRed); }, PixelBox{}},
      {"box with swapped corners", [](Canvas& c) { c.fillBox(12, 6, 4, 2, kRed); }, PixelBox{4, 2, 12, 6}},
      {"one pixel", [](Canvas& c) { c.setPixel(3, 17, kRed); }, PixelBox{3, 17, 3, 17}},
      {"two cursors merged",
       [](Canvas& c) {
         c.line(2, 0, 2, 19, kRed);
         c.line(5, 0, 5, 19, kRed);
       },
       PixelBox{2, 0, 5, 19}},
      {"text: the whole area",
       [](Canvas& c) { c.drawText(3, 4, "０", FontSpec{"ＭＳ ゴシック", 16, 1}, kRed); },
       PixelBox{0, 0, 19, 19}},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.name);
    Canvas c(20, 20);
    c.takeDirty();
    tc.draw(c);
    EXPECT_EQ(c.takeDirty(), tc.expected);
    EXPECT_TRUE(c.takeDirty().empty());
  }
}

}  // namespace
}  // namespace pelisto
