// Scrolling: the refusal, the position text, and the markers of the
// selected entry in the band above the picture.
#include <gtest/gtest.h>

#include "model/messages.h"
#include "support/view_support.h"
#include "wave/wave_header.h"

namespace pelisto::test {
namespace {

constexpr int L = 104, T = 72, W = 600;

// A file of `seconds` of sound (noise for 3 s, then silence).
ViewApp appOfLength(int seconds) {
  const uint32_t bytes = uint32_t(seconds) * 176400;
  return ViewApp(wavClaiming(bytes, noiseData(3 * 176400)), false, 44 + uint64_t(bytes));
}

// Puts one finished entry into the list and selects it.
void selectEntry(ViewApp& app, int32_t startMs, int32_t endMs) {
  AppState& s = app.ctx.state;
  s.EDITFILE[0] = {"/w/a.wav", "a.wav"};
  s.EDITDATA[0] = {startMs * 441 / 10, endMs * 441 / 10, startMs, endMs, 1, 0, 0, 0};
  s.EDITCOUNT = 1;
  app.ctx.list.addLine("entry");
  app.ui.select(0);
}

std::vector<int> markerBox(const ViewApp& app) {
  std::vector<int> v;
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 4; ++c) v.push_back(app.ctx.state.MARKERBOX[r][c]);
  }
  return v;
}

// Counts the pixels of the marker band (L - 8, T - 8, W + 16 × 16) that
// are not the button face.
int markedBandPixels(ViewApp& app) {
  const Rgb face = app.form().palette(14);
  int n = 0;
  for (int y = T - 8; y < T + 8; ++y) {
    for (int x = L - 8; x < L + W + 8; ++x) n += app.form().pixel(x, y) != face;
  }
  return n;
}

TEST(Scroll, RefusedWithoutAnOpenFile) {
  TestApp app;
  app.started();
  app.ui.setText(Control::EDIT2, "");
  HSCROLL1_CHANGE(app.ctx);
  // After a rejected file the name stays, but no file is open.
  app.fs.setContents("/bad.wav", {'r', 'i', 'f', 'f'});
  app.openWave("/bad.wav");
  HSCROLL1_CHANGE(app.ctx);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{
                             std::string("message: ") + kMsgNoWaveFile, "dialog: open waveファイルを開く",
                             std::string("message: ") + kMsgNotRiff, std::string("message: ") + kMsgNoWaveFile}));
  EXPECT_EQ(app.ui.text(Control::EDIT2), "");
}

TEST(Scroll, PositionText) {
  ViewApp app = appOfLength(3600);
  const std::pair<int, const char*> cases[] = {
      {0, "0 分 0 秒目"}, {125, "2 分 5 秒目"}, {3599, "59 分 59 秒目"}, {3600, "60 分 0 秒目"}};
  for (auto [pos, text] : cases) {
    app.scrollTo(pos);
    EXPECT_EQ(app.ui.text(Control::EDIT2), text);
  }
}

TEST(Scroll, MarkersOfTheSelectedEntry) {
  struct Case {
    int32_t startMs, endMs;
    int second;
    std::vector<int> box;
  } cases[] = {
      // Both in second 2: x = L + 300 and L + 599.4.
      {2500, 2999, 2, {L + 292, T - 8, L + 308, T, L + 591, T - 8, L + 607, T}},
      {2500, 2999, 3, {0, 0, 0, 0, 0, 0, 0, 0}},
      // A start of exactly 3000 ms belongs to the left edge of second 3.
      {3000, 4200, 2, {0, 0, 0, 0, 0, 0, 0, 0}},
      {3000, 4200, 3, {L - 8, T - 8, L + 8, T, 0, 0, 0, 0}},
      {1200, 4200, 4, {0, 0, 0, 0, L + 112, T - 8, L + 128, T}},
  };
  for (const Case& c : cases) {
    ViewApp app = appOfLength(10);
    selectEntry(app, c.startMs, c.endMs);
    app.scrollTo(c.second);
    EXPECT_EQ(markerBox(app), c.box) << c.startMs << "/" << c.endMs << " at " << c.second;
    for (int row = 0; row < 2; ++row) {
      const int* b = &c.box[row * 4];
      if (b[2] == 0) continue;
      const int tip = (b[0] + b[2]) / 2;
      // The outline: the top edge, the tip, and nothing inside.
      EXPECT_EQ(app.form().pixel(b[0], T - 8), kRed);
      EXPECT_EQ(app.form().pixel(b[2], T - 8), kRed);
      EXPECT_EQ(app.form().pixel(tip, T), kRed);
      EXPECT_NE(app.form().pixel(tip, T - 4), kRed);
    }
    const bool none = c.box == std::vector<int>(8, 0);
    EXPECT_EQ(markedBandPixels(app) == 0, none);
  }
}

TEST(Scroll, MovingOnErasesEveryMarker) {
  ViewApp app = appOfLength(10);
  selectEntry(app, 2000, 2999);  // one at the left edge, one at the far right
  app.scrollTo(2);
  EXPECT_GT(markedBandPixels(app), 0);
  app.scrollTo(3);
  EXPECT_EQ(markedBandPixels(app), 0);
  EXPECT_EQ(markerBox(app), std::vector<int>(8, 0));
}

TEST(Scroll, NoSelectionNoMarkers) {
  ViewApp app = appOfLength(10);
  selectEntry(app, 2500, 2999);
  app.scrollTo(2);
  app.ui.select(-1);
  app.scrollTo(2);
  EXPECT_EQ(markerBox(app), std::vector<int>(8, 0));
  EXPECT_EQ(markedBandPixels(app), 0);
}

}  // namespace
}  // namespace pelisto::test
