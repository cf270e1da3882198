// 時間を指定して移動…: what a typed time reads as, and the view it moves to.
#include <gtest/gtest.h>

#include "support/test_app.h"

namespace pelisto::test {
namespace {

TEST(GoToTime, TypedTimes) {
  const struct {
    const char* typed;
    double seconds;  // -1: not a time
  } cases[] = {
      {"90", 90},          {"12.5", 12.5},       {"1:30", 90},       {" 2:05 ", 125},     {"75:30", 4530},
      {"1:02:03", 3723},   {"0:00:59.5", 59.5},  {"１：３０", 90},   {"1:60", -1},        {"1:60:00", -1},
      {"1:2:3:4", -1},     {"-5", -1},           {"1:-5", -1},       {"", -1},            {"abc", -1},
      {"1:", -1},          {":30", -1},          {"1.5:30", -1},     {"1e3", -1},
  };
  for (const auto& c : cases) {
    const std::optional<double> t = parseTime(c.typed);
    if (c.seconds < 0) {
      EXPECT_FALSE(t) << c.typed;
    } else {
      EXPECT_EQ(t, c.seconds) << c.typed;
    }
  }
}

TEST(GoToTime, MovesTheViewOrRefusesAndNothingMoves) {
  TestApp app;
  app.fs.setContents("/a.wav", wavFile(patternData(200 * kBytesPerSecond)));
  app.started();
  dispatchEvent(app.ctx, Event::choose(MenuItem::GoToTime));
  EXPECT_EQ(app.lines().back(), "message: waveファイルがオープンされていません");
  app.openWave("/a.wav");
  const struct {
    const char* typed;
    int second;
    const char* message;
  } cases[] = {{"2:15.9", 135, nullptr},
               {"3:21", 135, "その時間はファイルの外です（0:00 ～ 3:20）"},
               {"x", 135, "時間は「分:秒」「時:分:秒」または秒数で入力してください（例: 12:30）"},
               {"200", 200, nullptr}};
  for (const auto& c : cases) {
    app.transcript.clear();
    app.ui.queueAnswer({ScriptedAnswer::kInput, c.typed});
    dispatchEvent(app.ctx, Event::choose(MenuItem::GoToTime));
    EXPECT_EQ(app.ui.scrollPos(), c.second) << c.typed;
    EXPECT_EQ(app.lines().back(), c.message ? std::string("message: ") + c.message : "dialog: input 時間を指定して移動");
  }
  EXPECT_EQ(app.ui.lastInputInitial(), "2:15");  // the view's second, as it is typed
  EXPECT_EQ(app.ui.text(Control::EDIT2), "3 分 20 秒目");
}

}  // namespace
}  // namespace pelisto::test
