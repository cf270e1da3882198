// CPU use of the main loop with the desktop media device (SDL, dummy
// driver unless SDL_AUDIODRIVER is set) while a 10-second file plays and is
// tracked, and while the program is idle for 10 seconds; CPU seconds per
// wall second, against the same device playing silence with no program
// around it (the baseline of this run).
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "bench_support.h"
#include "headless/headless_ui.h"
#include "headless/inline_worker.h"
#include "qt/desktop_mci.h"
#include "qt/sdl_output.h"
#include "shell/events.h"
#include "shell/handlers.h"
#include "shell/main_loop.h"
#include "system/mci/mci_interpreter.h"

using namespace pelisto;
using namespace pelisto::bench;

namespace {

// The event queue of this driver: events posted from any thread, handled
// on the main loop's.
class QueuePump final : public EventPump {
 public:
  void bind(AppContext* ctx) { m_ctx = ctx; }
  void post(Event e) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back(e);
    m_cv.notify_one();
  }
  void processPending() override {
    for (;;) {
      Event e{EventKind::kClose};
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_queue.empty()) return;
        e = m_queue.front();
        m_queue.pop_front();
      }
      dispatchEvent(*m_ctx, e);
      if (e.kind == EventKind::kClose) m_closed = true;
    }
  }
  void waitForEvents(int timeoutMs) override {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (timeoutMs < 0) m_cv.wait(lock, [&] { return !m_queue.empty(); });
    else m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !m_queue.empty(); });
  }
  bool closed() const override { return m_closed; }

 private:
  AppContext* m_ctx = nullptr;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::deque<Event> m_queue;
  bool m_closed = false;
};

// Counts the commands passed on to the device.
class CountingMci final : public MciDevice {
 public:
  explicit CountingMci(MciDevice& inner) : m_inner(inner) {}
  MciResult send(const std::string& command) override {
    ++count;
    return m_inner.send(command);
  }
  size_t count = 0;

 private:
  MciDevice& m_inner;
};

struct Figure {
  double cpu = 0, wall = 0;
  double ratio() const { return cpu / wall; }
};

// Runs the main loop until the window is closed; returns its CPU use.
Figure runLoop(AppContext& ctx, QueuePump& pump) {
  const double c0 = cpuSeconds(), w0 = wallSeconds();
  runMainLoop(ctx, pump);
  return Figure{cpuSeconds() - c0, wallSeconds() - w0};
}

// The device alone, playing the file with nothing tracking it.
Figure deviceAlone(FileSystem& fs, const std::string& path) {
  SdlOutput out(nullptr);
  MciInterpreter mci(fs, out, nullptr);
  mci.send("OPEN " + path + " TYPE WAVEAUDIO ALIAS W");
  const double c0 = cpuSeconds(), w0 = wallSeconds();
  mci.send("PLAY W FROM 0");
  while (mci.send("STATUS W MODE").reply == "playing") std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Figure f{cpuSeconds() - c0, wallSeconds() - w0};
  mci.send("CLOSE W");
  return f;
}

// Makes path the open wave file of the view, as a successful open leaves it.
bool openInView(AppContext& ctx, const std::string& path) {
  const int16_t num = ctx.files.freeFile();
  if (!ctx.files.open(num, path, OpenMode::kRead).isOk()) return false;
  ctx.state.WAVEFILENAME = path;
  ctx.state.WAVEFNUM = num;
  ctx.ui.setScrollRange(0, 10);
  return true;
}

// Plays from the view, tracked; the close is posted once the play has ended.
Figure playTracked(AppContext& ctx, QueuePump& pump) {
  pump.post(Event::click(Control::BUTTON1));
  std::thread closer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    while (ctx.state.PLAYFLAG != kPlayIdle) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pump.post(Event{EventKind::kClose});
  });
  const Figure playing = runLoop(ctx, pump);
  closer.join();
  return playing;
}

// The main loop with nothing to do for 10 seconds.
Figure idleTenSeconds(AppContext& ctx) {
  QueuePump pump;
  pump.bind(&ctx);
  std::thread closer([&] {
    std::this_thread::sleep_for(std::chrono::seconds(10));
    pump.post(Event{EventKind::kClose});
  });
  const Figure figure = runLoop(ctx, pump);
  closer.join();
  return figure;
}

}  // namespace

int main() {
  if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto fs = newPosixFileSystem();
  const std::string path = "/tmp/pelisto-playback-cpu-bench.wav";
  if (!writeWav(*fs, path, 10)) return 1;

  Transcript transcript;
  HeadlessUi ui(transcript);
  QueuePump pump;
  std::unique_ptr<MciDevice> mci = newDesktopMci(
      *fs, [&pump](MciNotify) { pump.post(Event::mciDone()); }, nullptr);
  CountingMci counting(*mci);
  InlineWorker worker;
  std::unique_ptr<SoundLibrary> sound = newSoundLibrary();
  AppContext ctx(ui, *fs, counting, worker, *sound);
  pump.bind(&ctx);
  MAINFORM_START(ctx);
  if (!openInView(ctx, path)) return 1;

  const Figure playing = playTracked(ctx, pump);
  const size_t steps = counting.count - 5;  // all but OPEN, SET, PLAY, STOP, CLOSE
  const Figure idleFigure = idleTenSeconds(ctx);
  const Figure alone = deviceAlone(*fs, path);
  std::remove(path.c_str());

  std::printf("driver program: core main loop + desktop media device + headless window\n");
  std::printf("playing 10 s, tracked (%zu steps): %.3f CPU s / %.2f wall s = %.4f (limit 0.10; device alone %.4f, ratio %.2f)\n",
              steps, playing.cpu, playing.wall, playing.ratio(), alone.ratio(), playing.ratio() / alone.ratio());
  std::printf("idle: %.3f CPU s / %.2f wall s = %.4f (limit 0.01)\n", idleFigure.cpu, idleFigure.wall, idleFigure.ratio());
  return playing.ratio() <= 0.10 && idleFigure.ratio() <= 0.01 ? 0 : 2;
}
