// Marking by ear with [ and ] through the simulated device, and splitting
// a file at its pauses.
#include <gtest/gtest.h>

#include "model/edit_list.h"
#include "shell/keys.h"
#include "support/play_app.h"
#include "support/talk_sound.h"

namespace pelisto::test {
namespace {

struct EarApp : PlayApp {
  explicit EarApp(int latencyMs = 0) {
    fs.setContents("/w/a.wav", secondsOfSound(10));
    openWave("/w/a.wav");
    headless.device()->setOutputLatency(latencyMs);
  }
  void press(const char* key) { headless.dispatch(commandForKey(key)->event); }
};

// The frames the keys mark at known moments of a play, the device's
// position less its output latency, never before the play's start.
TEST(MarkByEar, KeysMarkTheFrameHeardWithoutStoppingThePlay) {
  const struct {
    int latency, second, startAfter, endAfter;
    int32_t startMs, endMs;
  } cases[] = {
      {0, 2, 1500, 700, 3500, 4200},
      {30, 2, 1500, 700, 3470, 4170},
      {80, 0, 40, 1000, 0, 960},  // heard before the first frame: the first frame
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.latency);
    EarApp app(c.latency);
    app.ui.setScrollPos(c.second);
    app.headless.dispatch(Event::click(Control::BUTTON1));
    app.headless.advance(c.startAfter);
    app.press("[");
    app.headless.advance(c.endAfter);
    app.press("]");
    const EditDataRow& row = app.ctx.state.EDITDATA[0];
    EXPECT_EQ(row[kStartMs], c.startMs);
    EXPECT_EQ(row[kEndMs], c.endMs);
    EXPECT_EQ(row[kStartFrame], int32_t(c.startMs * 441 / 10));
    EXPECT_EQ(row[kEndFrame], int32_t(c.endMs * 441 / 10));
    EXPECT_EQ(app.ctx.state.EDITCOUNT, 1);
    EXPECT_EQ(app.ctx.state.PLAYFLAG, kPlayTracked);  // still playing
  }
}

TEST(MarkByEar, AtThePauseLineWhenNothingPlaysAndRefusedOtherwise) {
  EarApp app;
  const size_t start = app.lines().size();
  app.press("[");  // neither a play nor a pause line
  app.ctx.state.pauses.line = 88200 + 300;
  app.press("]");  // no start yet
  app.press("[");
  app.ctx.state.pauses.line = 3 * 88200;
  app.press("]");
  app.ui.select(0);
  app.headless.dispatch(Event::click(Control::BUTTON5));  // a range plays
  app.press("[");
  app.headless.dispatch(Event::click(Control::BUTTON3));  // the button keeps its refusal
  EXPECT_EQ(app.linesFrom(start)[0], "message: 元曲を再生中か、無音の位置（表示 → 次の無音へ）を選んでから指定してください");
  EXPECT_EQ(app.linesFrom(start)[1], std::string("message: ") + kMsgChooseStart);
  EXPECT_EQ(app.lines().back(), "message: ただ今、再生中です。");
  EXPECT_EQ(app.lines()[app.lines().size() - 2], "message: ただ今、再生中です。");
  const EditDataRow& row = app.ctx.state.EDITDATA[0];
  EXPECT_TRUE(row[kStartFrame] == 88500 && row[kStartMs] == 2007 && row[kEndFrame] == 264600 && row[kEndMs] == 6000);
}

TEST(SplitAtPauses, EntriesReachIntoThePausesAndOneUndoTakesThemBack) {
  using S = Stretch;
  const std::vector<Stretch> sound = {{S::kSilence, 0.5}, {S::kSpeech, 1.0}, {S::kSilence, 0.15}, {S::kSpeech, 0.8},
                                      {S::kFloor, 0.7},  {S::kSpeech, 0.6}};
  PlayApp app;
  app.fs.setContents("/w/t.wav", wavFile(talkData(sound)));
  app.ui.queueAnswer({ScriptedAnswer::kInput, "0.1"});
  app.ui.queueAnswer({ScriptedAnswer::kInput, "-40"});
  app.headless.dispatch(Event::choose(MenuItem::PauseSettings));
  app.openWave("/w/t.wav");
  app.ctx.list.addLine("kept");  // a line there before
  app.ctx.state.EDITCOUNT = 1;
  app.headless.dispatch(Event::choose(MenuItem::SplitAtPauses));
  EXPECT_EQ(app.lines().back(), "message: 3 件の範囲を編集リストに追加しました");
  const std::vector<int64_t> at = stretchStarts(sound);
  // Each stretch of sound with 0.10 s of the pauses beside it, but only to
  // the middle of the short pause, and none past the file's end.
  const int64_t expected[][2] = {{at[1] - 4410, (at[2] + at[3]) / 2},
                                 {(at[2] + at[3]) / 2, at[4] + 4410},
                                 {at[5] - 4410, at[6]}};
  for (int i = 0; i < 3; ++i) {
    const EditDataRow& row = app.ctx.state.EDITDATA[1 + i];
    EXPECT_NEAR(row[kStartFrame], expected[i][0], 441) << i;
    EXPECT_NEAR(row[kEndFrame], expected[i][1], 441) << i;
    EXPECT_EQ(row[kLoopCount], 1);
    EXPECT_EQ(app.ctx.state.EDITFILE[1 + i][kSourcePath], "/w/t.wav");
  }
  EXPECT_EQ(app.ctx.list.lineCount(), 4);
  app.headless.dispatch(Event::choose(MenuItem::Undo));
  EXPECT_EQ(app.ctx.list.lineCount(), 1);
  EXPECT_EQ(app.ctx.state.EDITCOUNT, 1);
  // No pause at all: refused, nothing added.
  app.fs.setContents("/w/s.wav", wavFile(talkData({{S::kSpeech, 1.0}})));
  app.openWave("/w/s.wav");
  app.headless.dispatch(Event::choose(MenuItem::SplitAtPauses));
  EXPECT_EQ(app.lines().back(), "message: 無音が見つかりません（表示 → 無音の設定… で変えられます）");
  EXPECT_EQ(app.ctx.list.lineCount(), 1);
}

}  // namespace
}  // namespace pelisto::test
