// Start latency of a play (from the PLAY command to the first audio
// callback that takes its frames), median of 20, against the latency of a
// bare SDL device measured the same way; and the error of the STATUS
// position against the frames the callbacks have taken, against one
// device buffer. Runs over SDL_AUDIODRIVER (dummy unless set).
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "bench_support.h"
#include "system/mci/mci_interpreter.h"
#include "qt/sdl_output.h"

using namespace pelisto;
using namespace pelisto::bench;

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::atomic<int64_t> g_firstCall{0};
void bareCallback(void*, uint8_t* stream, int len) {
  std::memset(stream, 0, size_t(len));
  int64_t expected = 0;
  const int64_t now = int64_t(wallSeconds() * 1e9);
  g_firstCall.compare_exchange_strong(expected, now);
}

// The same measurement on a bare device with a callback that only fills silence.
double bareLatencyMs(int runs) {
  SDL_InitSubSystem(SDL_INIT_AUDIO);
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = bareCallback;
  SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  std::vector<double> ms;
  for (int i = 0; i < runs && dev != 0; ++i) {
    g_firstCall = 0;
    const int64_t t0 = int64_t(wallSeconds() * 1e9);
    SDL_PauseAudioDevice(dev, 0);
    while (g_firstCall.load() == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    ms.push_back(double(g_firstCall.load() - t0) / 1e6);
    SDL_PauseAudioDevice(dev, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  if (dev != 0) SDL_CloseAudioDevice(dev);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return ms.empty() ? NAN : median(ms);
}

}  // namespace

int main() {
  if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto fs = newPosixFileSystem();
  const std::string path = "/tmp/pelisto-sound-start-bench.wav";
  if (!writeWav(*fs, path, 10)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  constexpr int kRuns = 20;
  const double bare = bareLatencyMs(kRuns);

  SdlOutput out(nullptr);
  MciInterpreter mci(*fs, out, nullptr);
  if (mci.send("OPEN " + path + " TYPE WAVEAUDIO ALIAS W").code != 0) return 1;
  std::vector<double> latency;
  std::vector<double> error;  // ms the STATUS position lags the frames taken
  for (int i = 0; i < kRuns; ++i) {
    mci.send("PLAY W FROM " + std::to_string(i * 300) + " NOTIFY");
    while (out.startLatencyNs() == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    latency.push_back(double(out.startLatencyNs()) / 1e6);
    for (int k = 0; k < 25; ++k) {
      std::this_thread::sleep_for(std::chrono::milliseconds(7));
      const double taken = double(out.framesHanded()) * 1000.0 / 44100.0 + i * 300;
      const double status = std::stod(mci.send("STATUS W POSITION").reply);
      error.push_back(taken - status);
    }
    mci.send("STOP W");
  }
  mci.send("CLOSE W");
  std::remove(path.c_str());

  const double bufferMs = 1024 * 1000.0 / 44100.0;
  double sum = 0, worst = 0;
  for (double e : error) {
    sum += std::abs(e);
    worst = std::max(worst, std::abs(e));
  }
  std::printf("driver: %s\n", out.driver().c_str());
  std::printf("start latency, median of %d: %.2f ms (bare SDL device: %.2f ms, ratio %.2f)\n", kRuns,
              median(latency), bare, median(latency) / bare);
  std::printf("STATUS position behind the frames taken: mean %.2f ms, worst %.2f ms (one buffer: %.2f ms, ratio %.2f)\n",
              sum / double(error.size()), worst, bufferMs, worst / bufferMs);
  return 0;
}
