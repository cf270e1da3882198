#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "shell/main_loop.h"
#include "support/test_app.h"

namespace pelisto::test {

TEST(Startup, PaletteEntry14TakesTheButtonFace) {
  TestApp app;
  app.ui.setSystemColor(SystemColor::kButtonFace, Rgb{10, 200, 30});
  app.started();
  Canvas& form = app.ui.canvas(Control::MAINFORM);
  EXPECT_EQ(form.palette(14), (Rgb{10, 200, 30}));
  EXPECT_EQ(form.pixel(400, 100), (Rgb{10, 200, 30}));
  EXPECT_EQ(form.pixel(793, 529), (Rgb{10, 200, 30}));
  EXPECT_EQ(app.ctx.state.APPTITLE, "Pelisto V0.1");
  EXPECT_EQ(app.ui.text(Control::MAINFORM), "Pelisto");  // the title bar keeps its caption
  EXPECT_EQ(app.ctx.state.TRACEX, -1);
  EXPECT_EQ(app.ctx.state.EDITCOUNT, 0);
  // The picture keeps the initial palette.
  EXPECT_EQ(app.ui.canvas(Control::PICTURE1).palette(14), (Rgb{192, 192, 192}));
}

TEST(Startup, LabelsAreHiddenAndTheirCaptionsDrawnInPlace) {
  TestApp app;
  const Rgb face{200, 180, 160}, ink{0, 0, 90};
  app.ui.setSystemColor(SystemColor::kButtonFace, face);
  app.ui.setSystemColor(SystemColor::kButtonText, ink);
  app.started();
  for (Control c : {Control::TEXT1, Control::TEXT2, Control::TEXT3}) {
    EXPECT_FALSE(app.ui.isVisible(c));
  }
  EXPECT_TRUE(app.ui.isVisible(Control::EDIT1));
  const auto& log = app.ui.canvas(Control::MAINFORM).textLog();
  ASSERT_EQ(log.size(), 6u);
  struct Expected {
    int x, y;
    const char* text;
  } texts[] = {{104, 32, "表示位置"}, {360, 32, "再生時間"}, {104, 280, "ファイル名"},
               {40, 64, "32767"},    {72, 128, "0"},       {32, 191, "-32768"}};
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(texts[i].text);
    EXPECT_EQ(log[i].x, texts[i].x);
    EXPECT_EQ(log[i].y, texts[i].y);
    EXPECT_EQ(log[i].text, texts[i].text);
    EXPECT_EQ(log[i].color, (i < 3 ? ink : Rgb{0, 0, 0}));
    EXPECT_EQ(log[i].font, i < 3 ? (FontSpec{"ＭＳ Ｐゴシック", 13, 1})
                                 : (FontSpec{"ＭＳ ゴシック", 16, 1}));
  }
}

TEST(Startup, ControlFontsTakeTheirStartupHeights) {
  TestApp app;
  app.started();
  for (Control c : {Control::TEXT1, Control::EDIT1, Control::EDIT2, Control::BUTTON1,
                    Control::BUTTON6, Control::BUTTON14}) {
    EXPECT_EQ(app.ui.font(c).heightPx, 13) << controlInfo(c).name;
    EXPECT_EQ(app.ui.font(c).face, "ＭＳ Ｐゴシック");
  }
  EXPECT_EQ(app.ui.font(Control::LIST1), (FontSpec{"ＭＳ 明朝", 12, 1}));
}

TEST(Startup, TopLinesScaleTicksAndCentreLine) {
  TestApp app;
  const Rgb face{212, 208, 200};
  app.ui.setSystemColor(SystemColor::kButtonFace, face);
  app.started();
  Canvas& form = app.ui.canvas(Control::MAINFORM);
  for (int x : {0, 400, 793}) {
    EXPECT_EQ(form.pixel(x, 0), (Rgb{128, 128, 128})) << x;
    EXPECT_EQ(form.pixel(x, 1), (Rgb{255, 255, 255})) << x;
    EXPECT_EQ(form.pixel(x, 2), face) << x;
  }
  for (int y : {72, 136, 199}) {
    EXPECT_EQ(form.pixel(87, y), face) << y;
    for (int x : {88, 96, 104}) EXPECT_EQ(form.pixel(x, y), (Rgb{0, 0, 0})) << x << "," << y;
    EXPECT_EQ(form.pixel(96, y + 1), face) << y;
  }
  Canvas& pic = app.ui.canvas(Control::PICTURE1);
  for (int x : {0, 300, 597}) {
    EXPECT_EQ(pic.pixel(x, 63), (Rgb{192, 192, 192})) << x;
    EXPECT_EQ(pic.pixel(x, 62), (Rgb{255, 255, 255})) << x;
  }
}

TEST(Startup, CloseStopsTheDeviceOnlyWhileSomethingPlays) {
  for (int16_t flag : {0, 1, 2}) {
    TestApp app;
    app.started();
    app.ctx.state.PLAYFLAG = flag;
    MAINFORM_QUERYCLOSE(app.ctx);
    std::vector<std::string> expected;
    if (flag != 0) expected = {"mci: STOP WAVEOBJ", "mci: CLOSE WAVEOBJ"};
    EXPECT_EQ(app.lines(), expected) << flag;
    EXPECT_EQ(app.ctx.state.PLAYFLAG, flag);
  }
}

// A pump that runs one scripted action per pass and records every wait.
class FakePump final : public EventPump {
 public:
  std::deque<std::function<void()>> passes;
  std::vector<int> waits;
  void processPending() override {
    if (passes.empty()) {
      m_closed = true;
      return;
    }
    auto pass = passes.front();
    passes.pop_front();
    pass();
  }
  void waitForEvents(int timeoutMs) override { waits.push_back(timeoutMs); }
  bool closed() const override { return m_closed; }

 private:
  bool m_closed = false;
};

TEST(MainLoop, WaitsWithoutTimeoutUnlessATrackedPlaybackRuns) {
  TestApp app;
  app.started();
  FakePump pump;
  AppState& s = app.ctx.state;
  pump.passes = {[] {}, [&] { s.PLAYFLAG = 1; }, [] {}, [&] { s.PLAYFLAG = 2; },
                 [&] { s.PLAYFLAG = 0; }};
  runMainLoop(app.ctx, pump);
  EXPECT_EQ(pump.waits, (std::vector<int>{-1, kTrackingIntervalMs, kTrackingIntervalMs, -1, -1}));
  EXPECT_LE(kTrackingIntervalMs, 10);
}

}  // namespace pelisto::test
