// The desktop's worker: two jobs at once, a cancel of one alone; and the
// survey of a file on it, read by the user-interface thread as it goes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "support/talk_sound.h"
#include "system/thread_worker.h"
#include "wave/loudness_ahead.h"

namespace pelisto::test {
namespace {

// Polls worker as the window's timer does until done() or 20 s.
template <class Done>
bool pollUntil(ThreadWorker& worker, Done done) {
  for (int i = 0; i < 20000 && !done(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.poll();
  }
  return done();
}

TEST(ThreadWorker, JobsTakeTurnsAndOneIsCancelledAlone) {
  ThreadWorker worker;
  std::atomic<int> aSteps{0}, bSteps{0};
  bool aFinished = false, bFinished = false;
  const JobId a = worker.start([&] { return ++aSteps > 0; }, nullptr, [&] { aFinished = true; });
  const JobId b = worker.start([&] { return ++bSteps < 50; }, nullptr, [&] { bFinished = true; });
  ASSERT_TRUE(pollUntil(worker, [&] { return bFinished; }));
  EXPECT_TRUE(aSteps > 0 && worker.runs(a) && !worker.runs(b));
  worker.cancelJob(a);
  const int after = aSteps;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  worker.poll();
  EXPECT_TRUE(aSteps == after && !aFinished && !worker.busy());
}

// The survey on its own thread, its helper reading beside it, while this
// thread takes the blocks and columns done so far at every tick; then the
// loudness of a list of the file measured behind the window.
TEST(ThreadWorker, TheSurveyOfAFileAndTheLoudnessOfItsListBehindTheWindow) {
  char folder[] = "/tmp/pelisto-survey-XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/talk.wav";
  using S = Stretch;
  std::vector<Stretch> sound;
  for (int i = 0; i < 40; ++i) sound.insert(sound.end(), {{S::kSpeech, 1.3}, {S::kSilence, 0.5}});
  const std::vector<uint8_t> bytes = wavFile(talkData(sound));
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  ThreadWorker worker;
  TestApp app(HeadlessOptions{.fs = fs.get(), .device = false, .worker = &worker});
  app.started();
  app.openWave(path);
  ASSERT_TRUE(pollUntil(worker, [&] { return !worker.busy(); }));
  EXPECT_TRUE(app.ctx.state.pauses.complete);
  EXPECT_EQ(app.ctx.state.pauses.found.size(), 40u);

  AppState& st = app.ctx.state;
  st.EDITFILE[0] = {path, "talk.wav"};
  st.EDITDATA[0] = {0, 44100 * 20, 0, 0, 1, 0, 0, 0};
  st.EDITCOUNT = 1;
  app.ctx.list.addLine("talk.wav");
  dispatchEvent(app.ctx, Event::choose(MenuItem::Loudness16));
  keepLoudnessMeasured(app.ctx, 0);
  keepLoudnessMeasured(app.ctx, kLoudnessAheadDelayMs);
  ASSERT_TRUE(loudnessBeingMeasured(app.ctx));
  ASSERT_TRUE(pollUntil(worker, [&] { return !worker.busy(); }));
  auto plan = planWaveFile(app.ctx);
  ASSERT_TRUE(plan.isOk());
  auto ahead = measuredAhead(app.ctx, plan.value());
  auto whole = measureLoudness(*fs, app.ctx.sound, plan.value(), {});
  ASSERT_TRUE(ahead && whole.isOk());
  EXPECT_EQ(ahead->integrated, whole->integrated);
  std::remove(path.c_str());
  ::rmdir(folder);
}

}  // namespace
}  // namespace pelisto::test
