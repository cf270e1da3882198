// The copy of an unsaved edit list: how long the user-interface thread is
// held when a change is copied (the list's rows taken and handed to the
// writer), against the whole copy, which the writer ends (the project's
// bytes, temporary file, fsync, rename, folder sync), in the same run, for
// lists of 100, 1000 and 32767 lines. The copies go to a folder under /tmp that
// is removed afterwards. Build with -DCMAKE_BUILD_TYPE=Release.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_app.h"
#include "project/recovery_copy.h"

using namespace pelisto;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A list of n finished entries, each naming a source in a deep folder.
void fillList(AppContext& ctx, int n) {
  for (int i = 0; i < n; ++i) {
    ctx.state.ensureRow(i);
    ctx.state.EDITFILE[i] = {"/home/user/recordings/2026/session-" + std::to_string(i % 40) + ".wav",
                             "session-" + std::to_string(i % 40) + ".wav"};
    ctx.state.EDITDATA[i] = {i * 441, i * 441 + 44100, i * 10, i * 10 + 1000, 1, 0, 0, 0};
    ctx.list.addLine("session-" + std::to_string(i % 40) + ".wav    12.345 ～   13.345    1.000 秒");
  }
  ctx.state.EDITCOUNT = static_cast<int16_t>(n);
}

}  // namespace

int main() {
  const std::string folder = "/tmp/pelisto-recovery-bench-" + std::to_string(::getpid());
  std::printf("%8s %14s %14s %8s\n", "lines", "UI thread ms", "write ms", "ratio");
  for (int lines : {100, 1000, 32767}) {
    bench::HeadlessProgram program(true);
    int64_t now = 0;
    enableRecoveryCopy(program.ctx, ProgramFiles{folder, 1, nullptr}, program.threadWorker,
                       [&now] { return now; });
    fillList(program.ctx, lines);
    constexpr int kRounds = 20;
    std::vector<double> held, whole;
    for (int r = 0; r < kRounds; ++r) {
      program.ctx.state.listRevision = ++program.ctx.state.lastRevision;  // a change
      now += kRecoveryIntervalMs;
      const auto t0 = Clock::now();
      keepRecoveryCopy(program.ctx);
      const auto t1 = Clock::now();
      while (program.threadWorker.busy()) program.threadWorker.poll();
      whole.push_back(ms(Clock::now() - t0));
      held.push_back(ms(t1 - t0));
    }
    std::sort(held.begin(), held.end());
    std::sort(whole.begin(), whole.end());
    const double h = held[kRounds / 2], w = whole[kRounds / 2];
    std::printf("%8d %14.3f %14.3f %8.3f\n", lines, h, w, h / w);
    endRecoveryCopy(program.ctx);
  }
  std::filesystem::remove_all(folder);
  std::printf("(medians of 20 copies; ratio: the user-interface thread's share of the whole copy)\n");
  return 0;
}
