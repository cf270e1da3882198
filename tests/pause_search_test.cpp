// Pauses in made sounds: each found with its ends within 10 ms, and nothing
// else; the search before the survey has finished finds the same; going
// from pause to pause with the pause line; the settings.
#include <gtest/gtest.h>

#include "support/talk_sound.h"
#include "view/pause_search.h"
#include "view/survey.h"

namespace pelisto::test {
namespace {

using S = Stretch;
constexpr int64_t kTolerance = 441;  // 10 ms

std::string describe(const std::vector<Pause>& pauses) {
  std::string s;
  for (const Pause& p : pauses) s += std::to_string(p.first) + "-" + std::to_string(p.last) + " ";
  return s;
}

void expectPauses(const std::vector<Pause>& found, const std::vector<Pause>& expected) {
  ASSERT_EQ(found.size(), expected.size()) << "found " << describe(found) << "expected " << describe(expected);
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_NEAR(found[i].first, expected[i].first, kTolerance) << i;
    EXPECT_NEAR(found[i].last, expected[i].last, kTolerance) << i;
  }
}

struct TalkApp : TestApp {
  explicit TalkApp(const std::vector<Stretch>& sound, bool manualJobs = false) : TestApp(manualJobs) {
    fs.setContents("/talk.wav", wavFile(talkData(sound)));
    started();
    openWave("/talk.wav");
  }
};

TEST(PauseSearch, EveryPauseOfMadeSoundsAndNothingElse) {
  const std::vector<std::vector<Stretch>> sounds = {
      // Pauses at both ends, and a floor just under the threshold.
      {{S::kSilence, 0.5}, {S::kSpeech, 1.3}, {S::kFloor, 0.6}, {S::kSpeech, 0.9}, {S::kSilence, 0.8}},
      // Just shorter and just longer than the shortest pause.
      {{S::kSpeech, 0.7}, {S::kSilence, 0.27}, {S::kSpeech, 0.5}, {S::kSilence, 0.34}, {S::kSpeech, 0.4}},
      // A quiet click leaves a pause whole; a loud one splits it in two.
      {{S::kSpeech, 0.5}, {S::kSilence, 0.4}, {S::kQuietClick, 0.05}, {S::kFloor, 0.4}, {S::kSpeech, 0.6},
       {S::kSilence, 0.45}, {S::kLoudClick, 0.01}, {S::kSilence, 0.45}, {S::kSpeech, 0.3}},
      // A tone in one channel is no pause; sound to both ends, none at all.
      {{S::kLeftTone, 1.0}, {S::kSilence, 0.31}, {S::kSpeech, 0.2}},
      {{S::kSpeech, 1.5}},
  };
  for (size_t i = 0; i < sounds.size(); ++i) {
    SCOPED_TRACE(i);
    TalkApp app(sounds[i]);
    ASSERT_TRUE(app.ctx.state.pauses.complete);
    expectPauses(app.ctx.state.pauses.found, talkPauses(sounds[i]));
  }
}

// Before the survey has measured anything, or half the file, a search
// reads the file and finds what the finished survey finds.
TEST(PauseSearch, SearchesBeforeTheSurveyEndsFindTheSame) {
  const std::vector<Stretch> sound = {{S::kSilence, 0.4}, {S::kSpeech, 2.0}, {S::kFloor, 1.2},  {S::kSpeech, 1.1},
                                      {S::kSilence, 0.5}, {S::kSpeech, 0.8}, {S::kSilence, 0.35}};
  TalkApp done(sound);
  const std::vector<int64_t> froms = {0, 10000, 95000, 150000, 200000, 230000, 400000, 1000000};
  for (int steps : {0, 2}) {
    TalkApp app(sound, true);
    app.manualWorker.runSteps(steps, app.ctx.state.surveyJob);
    ASSERT_FALSE(app.ctx.state.pauses.complete);
    for (int64_t from : froms) {
      for (bool forward : {true, false}) {
        for (bool strict : {true, false}) {
          SCOPED_TRACE(testing::Message() << steps << " steps, from " << from << (forward ? " on" : " back"));
          EXPECT_EQ(pauseFrom(app.ctx, from, forward, strict).pause, pauseFrom(done.ctx, from, forward, strict).pause);
        }
      }
    }
    EXPECT_EQ(allPauses(app.ctx), done.ctx.state.pauses.found);
  }
}

// Ctrl+Right and Ctrl+Left from the view, then from the pause line; at
// either end a message and nothing moves; the line goes with the view.
TEST(PauseSearch, NextAndPreviousPauseMoveTheViewAndTheLine) {
  const std::vector<Stretch> sound = {{S::kSpeech, 1.2}, {S::kSilence, 0.6}, {S::kSpeech, 1.5},
                                      {S::kSilence, 0.5}, {S::kSpeech, 1.0}};
  TalkApp app(sound);
  const std::vector<Pause>& p = app.ctx.state.pauses.found;
  ASSERT_EQ(p.size(), 2u);
  app.ui.setScrollPos(1);
  const struct {
    MenuItem item;
    int64_t line;  // -1: refused
  } steps[] = {{MenuItem::NextPause, p[0].middle()}, {MenuItem::NextPause, p[1].middle()},
               {MenuItem::NextPause, -1}, {MenuItem::PrevPause, p[0].middle()}, {MenuItem::PrevPause, -1}};
  for (const auto& s : steps) {
    const int64_t before = app.ctx.state.pauses.line;
    app.transcript.clear();
    dispatchEvent(app.ctx, Event::choose(s.item));
    const int64_t line = s.line < 0 ? before : s.line;
    EXPECT_EQ(app.ctx.state.pauses.line, line);
    EXPECT_EQ(app.ui.scrollPos(), line / kFramesPerSecond);
    EXPECT_EQ(app.lines().size(), s.line < 0 ? 1u : 0u);
    const int x = int(std::lround((line % kFramesPerSecond) * 600.0 / kFramesPerSecond));
    EXPECT_EQ(app.ui.canvas(Control::PICTURE1).pixel(x, 10), app.ui.canvas(Control::PICTURE1).palette(kPauseEntry));
  }
  // Another second in view: the line goes, the view counts again.
  app.ui.setScrollPos(4);
  dispatchEvent(app.ctx, Event::scroll());
  EXPECT_EQ(app.ctx.state.pauses.line, -1);
  dispatchEvent(app.ctx, Event::choose(MenuItem::PrevPause));
  EXPECT_EQ(app.ctx.state.pauses.line, p[1].middle());
}

TEST(PauseSearch, SettingsRefuseWhatCannotBeOneAndAreRemembered) {
  const std::vector<Stretch> sound = {{S::kSpeech, 1.0}, {S::kSilence, 0.25}, {S::kSpeech, 1.0}};
  TalkApp app(sound);
  EXPECT_TRUE(app.ctx.state.pauses.found.empty());
  const struct {
    const char* seconds;
    const char* level;  // null: the first answer is refused
    bool taken;
  } cases[] = {{"0", nullptr, false},     {"abc", nullptr, false}, {"61", nullptr, false},
               {"0.2", "-95", false},     {"0.2", "40", false},    {"0.2", "-40dB", false},
               {"０．２", "－３５", true}};
  for (const auto& c : cases) {
    app.transcript.clear();
    app.ui.queueAnswer({ScriptedAnswer::kInput, c.seconds});
    if (c.level) app.ui.queueAnswer({ScriptedAnswer::kInput, c.level});
    dispatchEvent(app.ctx, Event::choose(MenuItem::PauseSettings));
    EXPECT_EQ(app.lines().back().rfind("message: ", 0) == 0, !c.taken) << c.seconds << " " << c.level;
  }
  EXPECT_EQ(app.ctx.state.pauses.settings, (PauseSettings{0.2, -35}));
  expectPauses(app.ctx.state.pauses.found, talkPauses(sound, 0.2));
  EXPECT_EQ(app.ui.rememberedName("pauseMinSeconds"), "0.2");
  loadPauseSettings(app.ctx);
  EXPECT_EQ(app.ctx.state.pauses.settings, (PauseSettings{0.2, -35}));
}

}  // namespace
}  // namespace pelisto::test
