#include <gtest/gtest.h>

#include <functional>

#include "headless/state_print.h"
#include "support/sound_files.h"
#include "support/test_app.h"
#include "wave/convert_command.h"
#include "wave/wave_header.h"

namespace pelisto::test {
namespace {

using A = ScriptedAnswer;

// A started program that shows /w/good.wav and is asked to open
// /w/rate.wav: 4800 frames of 16-bit stereo at 48 kHz.
struct Session {
  TestApp app;
  Session() {
    app.started();
    app.fs.addDirectory("/w");
    app.fs.setContents("/w/good.wav", wavFile(patternData(441000)));
    app.openWave("/w/good.wav");
    app.fs.setContents("/w/rate.wav", wavOf({.rate = 48000}, patternData(4 * 4800)));
    app.transcript.clear();
  }
  void open(const std::vector<A>& answers) {
    app.ui.queueAnswer({A::kOpen, "/w/rate.wav"});
    for (const A& a : answers) app.ui.queueAnswer(a);
    OPENWAVEFILE_ON(app.ctx);
  }
};

// One box: the question carries the refusal's reason.
const std::vector<std::string> kRefused = {"dialog: open waveファイルを開く",
                                           "question: " + askConvertText(kMsgNot44k)};
const std::string kSaveDialog = std::string("dialog: save ") + kConvertTitle;

// The refusal closed the file: the view shows none, whatever the answer.
TEST(ConvertCommand, EveryWayOutLeavesTheStateAsTheRefusalLeftItAndNoFile) {
  const struct {
    const char* name;
    std::function<void(TestApp&)> setUp;
    std::vector<A> answers;
    std::vector<std::string> after;  // what shows after the question
  } cases[] = {
      {"cancel", {}, {{A::kCancel, ""}}, {}},
      {"dialog cancelled", {}, {{A::kYes, ""}, {A::kCancel, ""}}, {kSaveDialog}},
      {"the source itself", {}, {{A::kYes, ""}, {A::kSave, "/w/rate.wav"}},
       {kSaveDialog, "message: 変換元のファイルには書き込めません。別の名前を指定してください\n/w/rate.wav"}},
      {"a line's source", [](TestApp& app) { app.ctx.state.EDITFILE[0][0] = "/w/good.wav", app.ctx.list.addLine("x"); },
       {{A::kYes, ""}, {A::kSave, "/w/good.wav"}},
       {kSaveDialog, "message: 1行目のwaveファイルには書き込めません。別の名前を指定してください\n/w/good.wav"}},
      {"full disk", [](TestApp& app) { app.fs.setCapacity(441044 + 19244 + 1000); },
       {{A::kYes, ""}, {A::kSave, "/w/out"}},
       {kSaveDialog, "message: ディスクの空き容量が足りないため、変換したWaveファイルを作成できませんでした\n/w/out.WAV"}},
      {"cancelled conversion", [](TestApp& app) { app.ui.cancelBusyAfter(0); },
       {{A::kYes, ""}, {A::kSave, "/w/out"}}, {kSaveDialog, "message: Waveファイルへの変換を中止しました"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session reference, s;  // the reference answers No
    if (c.setUp) c.setUp(reference.app), c.setUp(s.app);
    reference.open({{A::kNo, ""}});
    ASSERT_EQ(reference.app.lines(), kRefused);
    const std::vector<std::string> files = s.app.fs.files();
    s.open(c.answers);
    std::vector<std::string> shown = kRefused;
    shown.insert(shown.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(s.app.lines(), shown);
    EXPECT_EQ(s.app.fs.files(), files);
    EXPECT_EQ(stateLines(s.app.ctx), stateLines(reference.app.ctx));
    EXPECT_FALSE(waveFileOpen(s.app.ctx));
    EXPECT_EQ(s.app.ui.text(Control::EDIT1), "");
    EXPECT_EQ(s.app.picture(), TestApp().started().picture());
    EXPECT_EQ(s.app.ui.pointer(Control::MAINFORM), Pointer::kArrow);
  }
}

TEST(ConvertCommand, YesProposesANameConvertsAndOpensTheNewFile) {
  Session s;
  s.open({{A::kYes, ""}, {A::kSave, "/w/out"}});
  // The pattern swings between the extremes: resampled, it overshoots.
  const std::vector<std::string>& lines = s.app.lines();
  EXPECT_EQ(lines[lines.size() - 2], kSaveDialog);
  EXPECT_TRUE(lines.back().starts_with("message: 変換を終えました。最大音量を超えた ")) << lines.back();
  EXPECT_EQ(s.app.ui.lastDialogInitialPath(), "/w/rate_44k16.wav");
  EXPECT_EQ(s.app.fs.contents("/w/out.WAV").size(), 44u + 4 * 4410);
  EXPECT_EQ(s.app.ctx.state.WAVEFILENAME, "/w/out.WAV");
  EXPECT_TRUE(waveFileOpen(s.app.ctx));
  EXPECT_EQ(s.app.ctx.state.DATASIZE, 4 * 4410);
  EXPECT_EQ(s.app.ui.text(Control::EDIT1), "0 分 0秒");
  EXPECT_EQ(s.app.ui.busyScopes(), 1);
  EXPECT_EQ(convertedName("song.flac"), "song_44k16.wav");
  EXPECT_EQ(convertedName("/a.b/take"), "/a.b/take_44k16.wav");
}

}  // namespace
}  // namespace pelisto::test
