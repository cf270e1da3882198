// The play, play-range and stop buttons and the completion event.
#include <gtest/gtest.h>

#include "shell/events.h"
#include "model/messages.h"
#include "system/mci/mci_command.h"
#include "support/play_app.h"

namespace pelisto::test {
namespace {

using Lines = std::vector<std::string>;

const char* kOpenA = "mci: OPEN /w/a.wav TYPE WAVEAUDIO ALIAS WAVEOBJ";
const char* kSet = "mci: SET WAVEOBJ TIMEFORMAT MILLISECONDS";
const char* kStop = "mci: STOP WAVEOBJ";
const char* kClose = "mci: CLOSE WAVEOBJ";

TEST(Playback, PlayFromTheShownSecond) {
  struct Case {
    int second;
    const char* play;
  };
  for (const Case& c : {Case{0, "mci: PLAY WAVEOBJ FROM 0 NOTIFY"}, Case{125, "mci: PLAY WAVEOBJ FROM 125000 NOTIFY"}}) {
    PlayApp app;
    app.openInView("/w/a.wav", secondsOfSound(126));
    app.ui.setScrollPos(c.second);
    const size_t mark = app.lines().size();
    BUTTON1_ON(app.ctx);
    EXPECT_EQ(app.linesFrom(mark), (Lines{kOpenA, kSet, c.play}));
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 1);
  }
}

TEST(Playback, PlayRangeOfItsOwnFileWithBlanksUnquoted) {
  PlayApp app;  // no file in the view
  app.fs.addDirectory("/w/My Music");
  app.fs.setContents("/w/My Music/a.wav", secondsOfSound(4));
  app.entry(2, "/w/My Music/a.wav", 1500, 3250);
  const size_t mark = app.lines().size();
  BUTTON5_ON(app.ctx);
  EXPECT_EQ(app.linesFrom(mark), (Lines{"mci: OPEN /w/My Music/a.wav TYPE WAVEAUDIO ALIAS WAVEOBJ", kSet,
                                        "mci: PLAY WAVEOBJ FROM 1500 TO 3250 NOTIFY"}));
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 1);
  // It ends by itself after 1.75 s, to idle, without a message.
  app.advance(1749);
  EXPECT_TRUE(app.pending().empty());
  app.advance(1);
  EXPECT_EQ(app.deliver(), 1);
  EXPECT_EQ(app.linesFrom(mark + 3), (Lines{kStop, kClose}));
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
}

// Each command tests its own conditions in its own order and sends nothing
// when it refuses.
TEST(Playback, RefusalOrders) {
  struct Case {
    bool fileOpen;
    bool selected;
    int16_t playflag;
    void (*handler)(AppContext&);
    const char* message;
  };
  const Case cases[] = {
      {false, true, 1, BUTTON1_ON, kMsgNoWaveFile},   // no file, even while playing
      {true, true, 1, BUTTON1_ON, kMsgPlaying},
      {true, true, 2, BUTTON1_ON, kMsgPlaying},
      {true, false, 2, BUTTON5_ON, kMsgSelectRange},  // no selection, even while playing
      {false, true, 1, BUTTON5_ON, kMsgPlaying},
      {true, true, 0, BUTTON2_ON, kMsgNotPlaying},
  };
  for (const Case& c : cases) {
    PlayApp app;
    if (c.fileOpen) app.openInView("/w/a.wav", secondsOfSound(2));
    app.fs.setContents("/w/b.wav", secondsOfSound(2));
    if (c.selected) app.entry(0, "/w/b.wav", 0, 1000);
    app.ctx.state.PLAYFLAG = c.playflag;
    const size_t mark = app.lines().size();
    c.handler(app.ctx);
    EXPECT_EQ(app.linesFrom(mark), Lines{std::string("message: ") + c.message}) << c.message;
    EXPECT_EQ(app.ctx.state.PLAYFLAG, c.playflag);
  }
}

TEST(Playback, RejectedFileNameIsNoOpenFile) {
  PlayApp app;
  app.ctx.state.WAVEFILENAME = "/w/rejected.wav";  // name kept, WAVEFNUM 0
  BUTTON1_ON(app.ctx);
  EXPECT_EQ(app.lines().back(), std::string("message: ") + kMsgNoWaveFile);
}

TEST(Playback, BlankEntryDoesNothing) {
  PlayApp app;
  app.entry(0, "", 0, 0);
  app.ctx.state.EDITFILE[0][1] = "BRANK";
  const size_t mark = app.lines().size();
  BUTTON5_ON(app.ctx);
  EXPECT_TRUE(app.linesFrom(mark).empty());
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
}

// A play the device refuses is not reported as playing: the reason is
// shown, the alias closed when it was opened, and the state stays idle.
TEST(Playback, RefusedPlayStaysIdle) {
  {
    PlayApp app;  // the pending entry: its end column is still 0
    app.fs.setContents("/w/b.wav", secondsOfSound(4));
    app.entry(0, "/w/b.wav", 1500, 0);
    const size_t mark = app.lines().size();
    BUTTON5_ON(app.ctx);
    EXPECT_EQ(app.linesFrom(mark),
              (Lines{"mci: OPEN /w/b.wav TYPE WAVEAUDIO ALIAS WAVEOBJ", kSet, "mci: PLAY WAVEOBJ FROM 1500 TO 0 NOTIFY",
                     kClose, "message: 再生できません：終了位置が開始位置より前です"}));
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
    EXPECT_EQ(app.ctx.lastMci.code, kMciOutOfRange);
    // The alias was closed: the next play opens it afresh.
    app.ctx.state.EDITDATA[0][3] = 2000;
    BUTTON5_ON(app.ctx);
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 1);
  }
  {
    PlayApp app;  // the entry's file has gone
    app.entry(0, "/w/gone.wav", 0, 1000);
    const size_t mark = app.lines().size();
    BUTTON5_ON(app.ctx);
    EXPECT_EQ(app.linesFrom(mark), (Lines{"mci: OPEN /w/gone.wav TYPE WAVEAUDIO ALIAS WAVEOBJ",
                                          "message: 再生できません：ファイルが見つかりません: /w/gone.wav"}));
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
    app.advance(5000);
    EXPECT_TRUE(app.pending().empty());
  }
}

TEST(Playback, StopDuringAWrittenFilesPlay) {
  PlayApp app;
  app.fs.setContents("/w/out.wav", secondsOfSound(2));
  sendMci(app.ctx, "OPEN /w/out.wav TYPE WAVEAUDIO ALIAS WAVEOBJ");
  sendMci(app.ctx, "SET WAVEOBJ TIMEFORMAT MILLISECONDS");
  sendMci(app.ctx, "PLAY WAVEOBJ NOTIFY");
  app.ctx.state.PLAYFLAG = 2;
  const size_t mark = app.lines().size();
  BUTTON2_ON(app.ctx);
  EXPECT_EQ(app.linesFrom(mark), (Lines{kStop, kClose}));
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
}

// The stopped play's notification is queued during the stop, so it is
// handled before the next click: harmlessly, and it cannot end a new play.
TEST(Playback, StoppedPlaysNotificationComesFirstAndDoesNoHarm) {
  PlayApp app;
  app.openInView("/w/a.wav", secondsOfSound(3));
  BUTTON1_ON(app.ctx);
  app.advance(400);
  BUTTON2_ON(app.ctx);
  EXPECT_EQ(app.pending(), std::deque<MciNotify>{MciNotify::kAborted});
  size_t mark = app.lines().size();
  EXPECT_EQ(app.deliver(), 1);
  // Its commands find the alias closed and fail; nothing is shown.
  EXPECT_EQ(app.linesFrom(mark), (Lines{kStop, kClose}));
  EXPECT_EQ(app.ctx.lastMci.code, kMciUnknownAlias);
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);

  app.ui.setScrollPos(1);
  BUTTON1_ON(app.ctx);
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 1);
  app.advance(1500);  // past where the old play would have ended
  EXPECT_TRUE(app.pending().empty());
  EXPECT_EQ(sendMci(app.ctx, "STATUS WAVEOBJ POSITION").reply, "2500");
  app.advance(500);
  EXPECT_EQ(app.deliver(), 1);
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
}

// The play key: the play button when idle, the stop button while either
// kind of play runs.
TEST(Playback, PlayKeyPlaysOrStops) {
  PlayApp app;
  app.openInView("/w/a.wav", secondsOfSound(3));
  for (int16_t playing : {1, 2}) {
    dispatchEvent(app.ctx, Event{EventKind::kPlayOrStop});
    EXPECT_EQ(app.lines().back(), "mci: PLAY WAVEOBJ FROM 0 NOTIFY");
    app.ctx.state.PLAYFLAG = playing;
    dispatchEvent(app.ctx, Event{EventKind::kPlayOrStop});
    EXPECT_EQ(app.lines().back(), kClose);
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
  }
}

}  // namespace
}  // namespace pelisto::test
