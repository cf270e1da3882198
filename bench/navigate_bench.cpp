// The survey of an hour-long file behind the window (the envelope of the
// strip of the whole file and the pause search, in one read), on a
// generated 60-minute talk-like file (bursts of noise of changing loudness
// between pauses, a faint noise floor), in the page cache:
//   - the survey's time against `cat FILE > /dev/null` in the same run
//     (goal: at most 1.5 times), and the processor time of both (which
//     other programs on the machine disturb less);
//   - the longest time the event loop is held during it: the open command,
//     each tick, the finish (goal: at most 50 ms);
//   - the extra peak memory it takes (goal: at most 16 MB), in the first
//     run, while the heap holds nothing freed that it could take again.
// Medians of five runs. The file is made under $TMPDIR (or /tmp) once and
// kept for the next run.
//
//   navigate_bench
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_app.h"
#include "view/wave_survey.h"
#include "platform/riff.h"

using namespace pelisto;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 5;
constexpr uint64_t kSeconds = 3600;
constexpr uint64_t kFrames = kSeconds * 44100;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Talk-like sound: bursts of 1.5 to 9 s of noise whose loudness drifts,
// between pauses of 0.2 to 1.6 s, over a floor at about -60 dBFS.
void writeTalk(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  const std::vector<uint8_t> header = riff::canonicalHeader(static_cast<uint32_t>(kFrames * 4));
  out.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  std::vector<int16_t> buffer;
  uint64_t frame = 0, until = 0;
  bool talking = false;
  double amplitude = 0;
  while (frame < kFrames) {
    if (frame == until) {
      talking = !talking;
      const double length = talking ? 1.5 + (next() % 7500) / 1000.0 : 0.2 + (next() % 1400) / 1000.0;
      until = std::min<uint64_t>(kFrames, frame + static_cast<uint64_t>(length * 44100));
      amplitude = talking ? 2000 + next() % 14000 : 30;
    }
    const double noise = (static_cast<int>(next() >> 16) - 32768) / 32768.0;
    const auto s = static_cast<int16_t>(noise * amplitude);
    buffer.push_back(s);
    buffer.push_back(static_cast<int16_t>(s / 2));
    if (buffer.size() == 1 << 20) {
      out.write(reinterpret_cast<const char*>(buffer.data()), std::streamsize(buffer.size() * 2));
      buffer.clear();
    }
    ++frame;
  }
  out.write(reinterpret_cast<const char*>(buffer.data()), std::streamsize(buffer.size() * 2));
}

long statusKib(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
  }
  return 0;
}

// Processor time (user and system) of this process or of its children.
double cpuSeconds(int who) {
  struct rusage ru {};
  ::getrusage(who, &ru);
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return s(ru.ru_utime) + s(ru.ru_stime);
}

struct SurveyRun {
  double time = 0;     // open to finish, seconds
  double cpu = 0;      // processor time meanwhile, every thread
  double longest = 0;  // the longest piece of work of the event loop, seconds
  double extraMb = 0;  // peak resident memory over that before the open
  size_t pauses = 0;
};

SurveyRun surveyOnce(const std::string& path) {
  bench::HeadlessProgram program(true);
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
  const long before = statusKib("VmRSS:");
  SurveyRun run;
  const double cpuBefore = cpuSeconds(RUSAGE_SELF);
  const Clock::time_point start = Clock::now();
  if (!program.open(path)) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(2);
  }
  run.longest = seconds(Clock::now() - start);
  // The event loop: the worker polled every millisecond, as the window's
  // timer would (more often, so that the finish is seen at once).
  while (program.threadWorker.busy()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const Clock::time_point t = Clock::now();
    program.threadWorker.poll();
    run.longest = std::max(run.longest, seconds(Clock::now() - t));
  }
  run.time = seconds(Clock::now() - start);
  run.cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
  run.extraMb = static_cast<double>(statusKib("VmHWM:") - before) / 1024;
  run.pauses = program.ctx.state.pauses.found.size();
  return run;
}

}  // namespace

int main() {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/pelisto-navigate-bench.wav";
  std::error_code error;
  if (std::filesystem::file_size(path, error) != 44 + kFrames * 4) {
    std::printf("making %s …\n", path.c_str());
    writeTalk(path);
  }
  std::vector<double> cat, survey, catCpu, surveyCpu;
  double extra = 0;
  double longest = 0;
  size_t pauses = 0;
  const std::string catCommand = "cat '" + path + "' > /dev/null";
  if (std::system(catCommand.c_str()) != 0) return 2;  // into the page cache
  for (int i = 0; i < kRuns; ++i) {
    const Clock::time_point t = Clock::now();
    const double childCpu = cpuSeconds(RUSAGE_CHILDREN);
    if (std::system(catCommand.c_str()) != 0) return 2;
    cat.push_back(seconds(Clock::now() - t));
    catCpu.push_back(cpuSeconds(RUSAGE_CHILDREN) - childCpu);
    const SurveyRun run = surveyOnce(path);
    survey.push_back(run.time);
    surveyCpu.push_back(run.cpu);
    if (i == 0) extra = run.extraMb;
    longest = std::max(longest, run.longest);
    pauses = run.pauses;
  }
  const double ratio = median(survey) / median(cat);
  std::printf("60-minute file, %llu bytes, in the page cache; medians of %d runs\n",
              static_cast<unsigned long long>(44 + kFrames * 4), kRuns);
  std::printf("cat FILE > /dev/null           %7.3f s\n", median(cat));
  std::printf("survey (envelope + pauses)     %7.3f s   %.2f x cat   (goal <= 1.5)  %s\n", median(survey), ratio,
              ratio <= 1.5 ? "met" : "MISSED");
  std::printf("  processor time: cat %.3f s, survey %.3f s (%.2f x; every thread of the program)\n",
              median(catCpu), median(surveyCpu), median(surveyCpu) / median(catCpu));
  std::printf("longest hold of the event loop %7.1f ms  (goal <= 50)  %s\n", longest * 1000,
              longest <= 0.050 ? "met" : "MISSED");
  std::printf("extra peak memory              %7.1f MB  (goal <= 16)  %s\n", extra, extra <= 16 ? "met" : "MISSED");
  std::printf("pauses found                   %7zu\n", pauses);
  return 0;
}
