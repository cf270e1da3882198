#include <gtest/gtest.h>

#include <algorithm>

#include "shell/about.h"
#include "support/test_app.h"

namespace pelisto::test {

TEST(AboutBox, GradientRowsAndRulesOfA290PixelClientArea) {
  TestApp app;
  app.started();
  COPYRIGHT_ON(app.ctx);
  EXPECT_EQ(app.lines(), std::vector<std::string>{"dialog: about 著作権表示"});
  const Canvas& form3 = app.ui.canvas(Control::FORM3);
  ASSERT_EQ(form3.height(), 290);
  // Row y has blue 255 − 0.6 × (290 − y), rounded; rows 63, 64, 127, 128 are the rules.
  const std::pair<int, int> rows[] = {
      {0, 81},    {1, 82} /* 81.6 */, {2, 82} /* 82.2 */, {62, 118}, {63, 0},   {64, 144},
      {65, 120},  {126, 157},         {127, 96},          {128, 192}, {129, 158},
      {288, 254} /* 253.8 */,         {289, 254} /* 254.4 */,
  };
  for (const auto& [y, blue] : rows) {
    for (int x : {0, 237, form3.width() - 1}) {
      EXPECT_EQ(form3.pixel(x, y), (Rgb{0, 0, static_cast<uint8_t>(blue)})) << x << "," << y;
    }
  }
}

TEST(AboutBox, GradientStartsAtRowHWithFullBlue) {
  // Painted as for a 290-pixel client area on a taller bitmap, the row at
  // y = h is visible: it is the brightest, and nothing is drawn below it.
  Canvas tall(474, 300);
  paintAbout(tall, 290);
  EXPECT_EQ(tall.pixel(10, 290), (Rgb{0, 0, 255}));
  EXPECT_EQ(tall.pixel(10, 0), (Rgb{0, 0, 81}));
  EXPECT_EQ(tall.pixel(10, 291), (Rgb{255, 255, 255}));
  // A client area taller than the gradient's 425 rows stays black at the top.
  Canvas huge(10, 500);
  paintAbout(huge, 499);
  EXPECT_EQ(huge.pixel(0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(huge.pixel(0, 499), (Rgb{0, 0, 255}));
}

TEST(AboutBox, SixTextsInMinchoAtTheirPlaces) {
  TestApp app;
  COPYRIGHT_ON(app.ctx);
  const auto& log = app.ui.canvas(Control::FORM3).textLog();
  struct Expected {
    std::string text;
    int size, width, x, y;
  };
  const Expected expected[] = {
      {"Pelisto　V0.1", 32, 1, 16, 80},
      {"waveフォーマットファイル", 16, 2, 48, 16},
      {"   切り貼り編集ツール", 16, 2, 48, 40},
      {kAboutCopyright, 14, 1, 16, 136},
      {kAboutCredit1, 14, 1, 16, 236},
      {kAboutCredit2, 14, 1, 16, 252},
  };
  ASSERT_EQ(log.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    const Expected& e = expected[i];
    EXPECT_EQ(log[i].text, e.text);
    EXPECT_EQ(log[i].font, (FontSpec{"ＭＳ 明朝", e.size, e.width})) << e.text;
    EXPECT_EQ(log[i].x, e.x) << e.text;
    EXPECT_EQ(log[i].y, e.y) << e.text;
    // Light text on the blue: every channel bright.
    EXPECT_GE(std::min({log[i].color.r, log[i].color.g, log[i].color.b}), 160) << e.text;
  }
}

}  // namespace pelisto::test
