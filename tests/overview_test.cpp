// The strip of the whole file: what it draws of a made file, as the survey
// goes and after; a click moving the view; nothing from a file gone. And
// the waveform while listening across a join.
#include <gtest/gtest.h>

#include "support/play_app.h"
#include "support/talk_sound.h"
#include "support/view_support.h"
#include "view/overview.h"

namespace pelisto::test {
namespace {

using S = Stretch;
const std::vector<Stretch> kTalk = {{S::kSpeech, 2.0}, {S::kSilence, 1.0}, {S::kSpeech, 3.0}};  // 6 s

struct StripApp : TestApp {
  explicit StripApp(bool manualJobs = false) : TestApp(manualJobs) {
    fs.setContents("/t.wav", wavFile(talkData(kTalk)));
    fs.setContents("/bad.wav", std::vector<uint8_t>{'n', 'o', 't', ' ', 'R', 'I', 'F', 'F'});
    started();
    openWave("/t.wav");
  }
  Canvas& strip() { return ui.canvas(Control::OVERVIEW); }
  Rgb at(int x, int y) { return strip().pixel(x, y); }
  Rgb entry(int i) { return strip().palette(i); }
  // The column of second s (598 columns for 6 s).
  static int column(double s) { return int(s * 598 / 6); }
  // True when column x has sound drawn well above its middle row (22).
  bool loud(int x) { return at(x, 20) != entry(kPictureBackEntry); }
};

TEST(Overview, DrawsTheWholeFileTheViewThePausesAndTheEntries) {
  StripApp app;
  EXPECT_EQ(app.ui.formHeight(), kMainClientHeightWithOverview);
  EXPECT_TRUE(app.loud(StripApp::column(0.5)) && !app.loud(StripApp::column(2.5)) && app.loud(StripApp::column(4)));
  EXPECT_EQ(app.at(StripApp::column(2.5), 22), app.entry(kWaveEntry));  // silence on the middle row
  // Peaks of 12000 (row 14), an RMS level of about 6900 (row 17) within them.
  EXPECT_EQ(app.at(StripApp::column(0.5), 15), app.entry(kWaveEntry));
  EXPECT_EQ(app.at(StripApp::column(0.5), 19), app.entry(kStripLoudnessEntry));
  EXPECT_EQ(app.at(StripApp::column(2.5), 1), app.entry(kPauseEntry));  // the pause's tick
  EXPECT_EQ(app.at(StripApp::column(0.5), 0), app.entry(kStripViewEntry));  // second 0's box
  EXPECT_EQ(app.at(StripApp::column(1.5), 0), app.entry(kPictureBackEntry));
  // An entry of this file, selected: its bar and its shade; one of another
  // file has neither.
  app.ui.setScrollPos(4);
  dispatchEvent(app.ctx, Event::scroll());
  dispatchEvent(app.ctx, Event::click(Control::BUTTON3));
  dispatchEvent(app.ctx, Event::mouse(EventKind::kMouseDown, Control::PICTURE1, 1, 300, 5));
  EXPECT_EQ(app.at(StripApp::column(4.5), 45), app.entry(kStripEntryEntry));  // a pending entry: its start
  EXPECT_EQ(app.at(StripApp::column(4.6), 45), app.entry(kStripViewEntry));   // the box of second 4
  dispatchEvent(app.ctx, Event::click(Control::BUTTON4));
  dispatchEvent(app.ctx, Event::mouse(EventKind::kMouseDown, Control::PICTURE1, 1, 540, 5));
  app.ui.select(0);
  dispatchEvent(app.ctx, Event::listClick());
  EXPECT_EQ(app.at(StripApp::column(4.8), 45), app.entry(kStripEntryEntry));
  EXPECT_EQ(app.at(StripApp::column(4.8), 40), kStripShade);  // under the envelope's lowest
  EXPECT_EQ(app.at(StripApp::column(4.95), 40), app.entry(kPictureBackEntry));
  app.ctx.state.EDITFILE[0][kSourcePath] = "/other.wav";
  ++app.ctx.state.listRevision;
  showOverview(app.ctx);
  EXPECT_EQ(app.at(StripApp::column(4.8), 45), app.entry(kStripViewEntry));
  EXPECT_EQ(app.at(StripApp::column(4.8), 40), app.entry(kPictureBackEntry));
}

TEST(Overview, FillsAsTheSurveyGoesAndShowsNothingOfAFileGone) {
  StripApp app(true);
  EXPECT_FALSE(app.loud(StripApp::column(0.5)));
  app.manualWorker.runSteps(2, app.ctx.state.surveyJob);  // the files, then 2048 blocks: all 600
  app.manualWorker.poll();
  EXPECT_TRUE(app.loud(StripApp::column(0.5)) && app.loud(StripApp::column(5.9)));
  // A refused file: nothing is open, nothing is drawn.
  app.openWave("/bad.wav");
  const Canvas& strip = app.strip();
  for (int x = 0; x < strip.width(); ++x) {
    ASSERT_TRUE(strip.pixel(x, 10) == app.entry(kPictureBackEntry) && strip.pixel(x, 0) == app.entry(kPictureBackEntry));
  }
  EXPECT_FALSE(app.manualWorker.busy());
}

TEST(Overview, APressOrADragMovesTheViewAndIsRefusedWithoutAFile) {
  StripApp app;
  app.transcript.clear();
  auto mouse = [&app](EventKind kind, int button, double x) {
    dispatchEvent(app.ctx, Event::mouse(kind, Control::OVERVIEW, button, x, 20));
  };
  mouse(EventKind::kMouseDown, 1, 450);  // 450.5 of 598 columns of 6 s: 4.52 s
  EXPECT_EQ(app.ui.scrollPos(), 4);
  EXPECT_EQ(app.ui.text(Control::EDIT2), "0 分 4 秒目");
  mouse(EventKind::kMouseMove, 1, 150);
  EXPECT_EQ(app.ui.scrollPos(), 1);
  mouse(EventKind::kMouseMove, 1, -40);  // left of the strip: the first second
  EXPECT_EQ(app.ui.scrollPos(), 0);
  mouse(EventKind::kMouseUp, 1, -40);
  mouse(EventKind::kMouseMove, 1, 500);  // no longer held
  EXPECT_EQ(app.ui.scrollPos(), 0);
  EXPECT_TRUE(app.lines().empty());
  app.openWave("/bad.wav");
  app.transcript.clear();
  mouse(EventKind::kMouseDown, 1, 300);
  EXPECT_EQ(app.lines(), std::vector<std::string>{"message: waveファイルがオープンされていません"});
  // Off, the form is as it was before the strip.
  dispatchEvent(app.ctx, Event::choose(MenuItem::Overview));
  EXPECT_TRUE(app.ui.formHeight() == kMainClientHeight && !app.ui.isVisible(Control::OVERVIEW) &&
              app.ui.rememberedChoice(kOverviewHiddenChoice));
}

// Listening across a join: the selected line's first second with a cursor
// once its part plays; after 停止 the view as it was.
TEST(Overview, ListeningAcrossAJoinShowsTheLinesFirstSecond) {
  PlayApp app;
  app.fs.setContents("/w/a.wav", secondsOfSound(6));
  app.openWave("/w/a.wav");
  app.ui.setScrollPos(5);
  dispatchEvent(app.ctx, Event::scroll());
  const std::vector<uint32_t> view = snapshot(app.ui.canvas(Control::PICTURE1));
  app.entry(0, "/w/a.wav", 0, 3000);
  app.entry(1, "/w/a.wav", 1000, 4000);
  app.ctx.state.EDITDATA[0][kEndFrame] = 3 * 44100;
  app.ctx.state.EDITDATA[1][kStartFrame] = 44100;
  app.ctx.state.EDITDATA[1][kEndFrame] = 4 * 44100;
  app.ctx.state.EDITCOUNT = 2;
  app.headless.dispatch(Event::choose(MenuItem::ListenJoin));
  ASSERT_EQ(app.ctx.state.session.kind, PlayKind::kJoinListen);
  EXPECT_EQ(app.ctx.state.session.joinFrame, 2 * 44100);  // 2 s lead up to the join
  // Line 2's first second is second 1 of the file.
  TestApp second;
  second.fs.setContents("/w/a.wav", secondsOfSound(6));
  second.openWave("/w/a.wav");
  second.ui.setScrollPos(1);
  dispatchEvent(second.ctx, Event::scroll());
  EXPECT_EQ(firstDifference(snapshot(app.ui.canvas(Control::PICTURE1)), snapshot(second.ui.canvas(Control::PICTURE1))), "");
  app.headless.advance(1000);
  EXPECT_EQ(app.ctx.state.TRACEX, -1);  // the lead: no cursor yet
  app.headless.advance(1500);
  EXPECT_EQ(app.ctx.state.TRACEX, 300);  // half-way through the line's first second
  app.headless.dispatch(Event::click(Control::BUTTON2));
  EXPECT_EQ(firstDifference(snapshot(app.ui.canvas(Control::PICTURE1)), view), "");
}

}  // namespace
}  // namespace pelisto::test
