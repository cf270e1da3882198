// Following a tracked playback: the view's second and the cursor line.
#include <gtest/gtest.h>

#include <optional>

#include "shell/main_loop.h"
#include "support/play_app.h"

namespace pelisto::test {
namespace {

// A device whose STATUS reply the test sets; no reply means the command failed.
class ReplyingMci final : public MciDevice {
 public:
  std::optional<std::string> reply;
  MciResult send(const std::string&) override {
    MciResult r;
    if (reply) r.reply = *reply;
    else r = MciResult{263, "", "not open"};
    return r;
  }
};

// Eight seconds in the view; the device answers as the test says.
struct TrackApp : PlayApp {
  ReplyingMci replying;
  TrackApp() {
    openInView("/w/a.wav", secondsOfSound(8));
    mci.setInner(&replying);
  }
  void step(std::optional<std::string> reply) {
    replying.reply = std::move(reply);
    TRACETIMESCROLL(ctx);
  }
  Canvas& picture() { return ui.canvas(Control::PICTURE1); }
  std::vector<uint32_t> pixels() {
    Canvas& p = picture();
    return std::vector<uint32_t>(p.pixels(), p.pixels() + p.width() * p.height());
  }
};

TEST(Tracking, ReplyToSecondAndCursorColumn) {
  struct Case {
    int32_t traceSecBefore;
    std::optional<std::string> reply;
    int32_t second;  // TRACESEC and the scroll position after the step
    int32_t column;
  };
  const Case cases[] = {
      {0, "0", 0, 0},
      {0, "1500", 1, 300},
      {0, "2999", 2, 599},
      {2, "2001", 2, 1},
      {0, "  1500.5", 1, 301},  // leading blanks, rounded half away: 1501
      {0, "1234abc", 1, 140},
      {3, std::nullopt, 0, 0},  // no reply reads 0
      {3, "playing", 0, 0},
  };
  for (const Case& c : cases) {
    TrackApp app;
    app.ctx.state.TRACESEC = c.traceSecBefore;
    app.ui.setScrollPos(c.traceSecBefore);
    app.step(c.reply);
    EXPECT_EQ(app.lines().back(), "mci: STATUS WAVEOBJ POSITION");
    EXPECT_EQ(app.ctx.state.TRACESEC, c.second) << c.reply.value_or("(none)");
    EXPECT_EQ(app.ui.scrollPos(), c.second) << c.reply.value_or("(none)");
    EXPECT_EQ(app.ctx.state.TRACEX, c.column) << c.reply.value_or("(none)");
  }
}

TEST(Tracking, CursorIsATealExclusiveOrLine) {
  TrackApp app;
  app.ctx.state.TRACESEC = 1;
  app.ui.setScrollPos(1);
  HSCROLL1_CHANGE(app.ctx);  // second 1 drawn, no cursor on it
  const std::vector<uint32_t> before = app.pixels();
  const Rgb under = app.picture().pixel(300, 63);
  const Rgb teal = app.picture().palette(10);
  app.step("1500");
  const Rgb expected{uint8_t(under.r ^ teal.r), uint8_t(under.g ^ teal.g), uint8_t(under.b ^ teal.b)};
  EXPECT_EQ(app.picture().pixel(300, 63), expected);
  // The whole client height.
  for (int y : {0, 125}) EXPECT_NE(app.picture().pixel(300, y), app.picture().pixel(301, y));
  const std::vector<uint32_t> once = app.pixels();

  // The same reply again: erased and drawn again, the picture unchanged.
  app.step("1500");
  EXPECT_EQ(app.pixels(), once);
  // A later millisecond: only the new column differs from the clean picture.
  app.step("1600");
  EXPECT_EQ(app.ctx.state.TRACEX, 360);
  std::vector<uint32_t> now = app.pixels();
  for (size_t i = 0; i < now.size(); ++i) {
    if (int(i) % app.picture().width() == 360) continue;
    ASSERT_EQ(now[i], before[i]) << i;
  }
}

TEST(Tracking, UserScrollIsKeptUntilThePlayingSecondChanges) {
  TrackApp app;
  app.step("1200");
  ASSERT_EQ(app.ui.scrollPos(), 1);
  app.ui.setScrollPos(5);  // the user drags the scroll bar
  HSCROLL1_CHANGE(app.ctx);
  const std::vector<uint32_t> chosen = app.pixels();
  app.step("1400");
  EXPECT_EQ(app.ui.scrollPos(), 5);
  EXPECT_EQ(app.ctx.state.TRACESEC, 1);
  EXPECT_EQ(app.ctx.state.TRACEX, 240);
  // The chosen second with the new cursor only: no stale one.
  const std::vector<uint32_t> now = app.pixels();
  const int width = app.picture().width();
  for (size_t i = 0; i < now.size(); ++i) {
    if (int(i) % width == 240) continue;
    ASSERT_EQ(now[i], chosen[i]) << i;
  }
  app.step("2100");
  EXPECT_EQ(app.ui.scrollPos(), 2);
  EXPECT_EQ(app.ctx.state.TRACESEC, 2);
}

TEST(Tracking, NoFileInViewMovesTheScrollBarSilently) {
  TestApp app;
  ReplyingMci replying;
  app.mci.setInner(&replying);
  app.started();
  replying.reply = "2500";
  TRACETIMESCROLL(app.ctx);
  EXPECT_EQ(app.lines().back(), "mci: STATUS WAVEOBJ POSITION");
  EXPECT_EQ(app.ctx.state.TRACESEC, 2);
  EXPECT_EQ(app.ctx.state.TRACEX, 300);
}

TEST(Tracking, LongerFilesSecondIsClampedByTheScrollBar) {
  TrackApp app;
  app.ui.setScrollRange(0, 3);  // the view's file is 3 s; the range's file is longer
  app.step("7500");
  EXPECT_EQ(app.ctx.state.TRACESEC, 7);
  EXPECT_EQ(app.ui.scrollPos(), 3);
  EXPECT_EQ(app.ctx.state.TRACEX, 300);
  app.step("7600");
  EXPECT_EQ(app.ctx.state.TRACEX, 360);
}

// The main loop tracks only PLAYFLAG 1; otherwise it waits for events.
class CountingPump final : public EventPump {
 public:
  explicit CountingPump(int passes) : m_left(passes) {}
  std::vector<int> waits;
  void processPending() override { --m_left; }
  void waitForEvents(int timeoutMs) override { waits.push_back(timeoutMs); }
  bool closed() const override { return m_left < 0; }

 private:
  int m_left;
};

TEST(Tracking, MainLoopTracksOnlyState1) {
  for (int16_t flag : {0, 1, 2}) {
    TrackApp app;
    app.ctx.state.PLAYFLAG = flag;
    app.replying.reply = "500";
    const size_t mark = app.lines().size();
    CountingPump pump(3);
    runMainLoop(app.ctx, pump);
    const size_t statuses = app.lines().size() - mark;
    EXPECT_EQ(statuses, flag == 1 ? 3u : 0u) << flag;
    for (int w : pump.waits) {
      if (flag == 1) {
        EXPECT_GE(w, 0);  // never a busy spin, never an endless wait
        EXPECT_LE(w, 10);
      } else {
        EXPECT_EQ(w, -1);
      }
    }
  }
}

// A play starts tracking from the second the view shows: the view follows
// a range elsewhere at once, whatever second an earlier play left behind.
TEST(Tracking, ARangePlayIsFollowedWhateverAnEarlierPlayLeft) {
  TrackApp app;
  app.ctx.state.TRACESEC = 5;  // where an earlier play ended
  app.entry(0, "/w/a.wav", 5000, 6000);
  app.replying.reply = "";
  BUTTON5_ON(app.ctx);
  ASSERT_EQ(app.ctx.state.PLAYFLAG, 1);
  app.step("5200");
  EXPECT_EQ(app.ui.scrollPos(), 5);
  EXPECT_EQ(app.ui.text(Control::EDIT2), "0 分 5 秒目");
}

}  // namespace
}  // namespace pelisto::test
