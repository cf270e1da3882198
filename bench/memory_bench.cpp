// Peak resident memory of two commands that hostile input once made take
// gigabytes, against the program's own at start in the same run:
//   - converting an 88 KB WAV whose header says 1 Hz (refused now, before
//     anything is written: the message is printed);
//   - 1000 deletes at the top of a full list of 32767 lines, the history
//     kept for undo (against the full list alone);
//   - a start with a copy of an unsaved list of 256 MB (32767 lines of
//     4100-byte paths) left by a killed program, and one with 3000 copies,
//     the question answered "later" (goal: under 64 MB each);
// and the time of a delete on a full list of 4000-byte paths, against the
// same delete on a full list of short paths (goal: under 20 ms).
// Each measurement runs in a child process of its own, so that its peak is
// its alone. Files are made under /tmp and deleted afterwards.
//
//   memory_bench
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "shell/events.h"
#include "bench_app.h"
#include "platform/coding.h"
#include "platform/riff.h"
#include "platform/program_files.h"
#include "project/recovery_format.h"

using namespace pelisto;

namespace {

double mb(long kib) { return static_cast<double>(kib) / 1024; }

// Runs f in a child process; its peak resident memory in KiB.
long peakOf(const std::function<void()>& f) {
  std::fflush(stdout);
  const pid_t pid = ::fork();
  if (pid == 0) {
    f();
    std::fflush(stdout);
    std::_Exit(0);
  }
  int status = 0;
  struct rusage ru {};
  if (pid < 0 || ::wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status)) {
    std::fprintf(stderr, "a measurement failed\n");
    std::exit(2);
  }
  return ru.ru_maxrss;
}

// 22000 frames of 16-bit stereo behind a header that says `rate`.
void writeSlowFile(const std::string& path, uint32_t rate) {
  std::vector<uint8_t> f = riff::canonicalHeader(22000 * 4);
  putLe32(&f[24], rate);
  putLe32(&f[28], rate * 4);
  f.resize(f.size() + 22000 * 4, 0x11);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
}

void convertSlowFile(const std::string& source, const std::string& output) {
  bench::HeadlessProgram p;
  p.ui.queueAnswer({ScriptedAnswer::kOpen, source});
  p.ui.queueAnswer({ScriptedAnswer::kYes, ""});
  p.ui.queueAnswer({ScriptedAnswer::kSave, output});
  OPENWAVEFILE_ON(p.ctx);
  std::printf("  what the user sees:\n");
  for (std::string line : p.transcript.lines()) {
    for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at + 7)) {
      line.replace(at, 1, "\n      ");
    }
    std::printf("    %s\n", line.c_str());
  }
  std::printf("  output written: %s\n", std::filesystem::exists(output) ? "yes" : "no");
}

// A full list of finished entries of source, lines as long as real ones.
void fillList(bench::HeadlessProgram& p, const std::string& source = "/tmp/source.wav") {
  AppState& s = p.ctx.state;
  s.ensureRow(kMaxEditRows - 1);
  for (int i = 0; i < kMaxEditRows; ++i) {
    s.EDITFILE[i] = {source, "source.wav"};
    s.EDITDATA[i] = {i, i + 1, 0, 0, 1, 0, 0, 0};
    p.ctx.list.addLine(std::string(54, ' ') + std::to_string(i));
  }
  s.EDITCOUNT = kMaxEditRows;
}

void deleteFromFullList(int deletes) {
  bench::HeadlessProgram p;
  fillList(p);
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < deletes; ++i) {
    p.ui.select(1);
    dispatchEvent(p.ctx, Event::click(Control::BUTTON8));
  }
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (deletes == 0) return;
  std::printf("  %d deletes in %.2f s (%.1f ms each); history: %zu changes kept, %.1f MB counted "
              "(bound %.0f MB)\n",
              deletes, took, 1000 * took / deletes, p.ctx.history.changes(),
              static_cast<double>(p.ctx.history.bytes()) / (1 << 20),
              static_cast<double>(ListHistory::kMaxBytes) / (1 << 20));
}

// The time of each of `deletes` deletes in the middle of a full list whose
// sources are `source`: the longest, in ms.
double slowestDelete(const std::string& source, int deletes) {
  bench::HeadlessProgram p;
  fillList(p, source);
  double slowest = 0;
  for (int i = 0; i < deletes; ++i) {
    p.ui.select(kMaxEditRows / 2);
    const auto t0 = std::chrono::steady_clock::now();
    dispatchEvent(p.ctx, Event::click(Control::BUTTON8));
    slowest = std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  return slowest;
}

// Copies of unsaved lists in state, as killed programs leave them.
void leaveCopies(const std::string& state, int copies, const std::string& source) {
  Project list{1, 2, source, {}, 0};
  for (int i = 0; copies == 1 && i < kMaxEditRows; ++i) {
    list.entries.push_back(ProjectEntry{{source, "source.wav"}, {i, i + 1, 0, 0, 1, 0, 0, 0}});
  }
  const std::vector<uint8_t> bytes = encodeRecoveryCopy(std::move(list), -1).value();
  for (int i = 0; i < copies; ++i) {
    std::ofstream(state + "/RECOVERY-" + std::to_string((int64_t{1} << 33) + i) + ".PRJ", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
}

// A start that finds the copies in state and answers later.
void startOver(const std::string& state) {
  bench::HeadlessProgram p(false, false);
  p.ui.queueAnswer({ScriptedAnswer::kLater, ""});
  p.headless.keepRecoveryCopies(thisProgramFilesIn(state));
  p.headless.start();
  if (p.transcript.lines().empty()) std::printf("  (no question)\n");
}

}  // namespace

int main() {
  const std::string dir = "/tmp/pelisto-memory-bench-" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const long started = peakOf([] { bench::HeadlessProgram p; });
  std::printf("the program started: %.1f MB (the baseline)\n", mb(started));

  for (uint32_t rate : {1u, 2u}) {
    const std::string source = dir + "/slow" + std::to_string(rate) + ".wav";
    writeSlowFile(source, rate);
    std::printf("converting an 88 KB WAV whose header says %u Hz:\n", rate);
    const long peak = peakOf([&] { convertSlowFile(source, dir + "/out.wav"); });
    std::printf("  peak %.1f MB = baseline + %.1f MB\n", mb(peak), mb(peak - started));
  }

  std::printf("a full list (32767 lines), then 1000 deletes at its top:\n");
  const long full = peakOf([] { deleteFromFullList(0); });
  const long deleted = peakOf([] { deleteFromFullList(1000); });
  std::printf("  the full list alone: peak %.1f MB = baseline + %.1f MB\n", mb(full), mb(full - started));
  std::printf("  after 1000 deletes:  peak %.1f MB = the full list + %.1f MB\n", mb(deleted),
              mb(deleted - full));

  const std::string longPath = "/tmp/" + std::string(4000 - 16, 'p') + "/source.wav";
  std::printf("a delete in the middle of a full list (32767 lines), the slowest of 20:\n");
  // Each in a process of its own, as the peaks are: the list's memory
  // stays out of the measurements that follow.
  peakOf([&] {
    const double shortPaths = slowestDelete("/tmp/source.wav", 20), longPaths = slowestDelete(longPath, 20);
    std::printf("  sources of 15 bytes:   %.2f ms (the baseline)\n", shortPaths);
    std::printf("  sources of 4000 bytes: %.2f ms = %.2f × the baseline (goal: under 20 ms)\n", longPaths,
                longPaths / shortPaths);
  });

  const std::string state = dir + "/state";
  std::filesystem::create_directories(state);
  std::printf("a start with copies of unsaved lists that killed programs left (goal: under 64 MB):\n");
  peakOf([&] { leaveCopies(state, 1, "/tmp/" + std::string(4100 - 16, 'p') + "/source.wav"); });
  std::printf("  one copy of %.0f MB: ", static_cast<double>(std::filesystem::file_size(
                                             state + "/RECOVERY-" + std::to_string(int64_t{1} << 33) + ".PRJ")) / (1 << 20));
  long peak = peakOf([&] { startOver(state); });
  std::printf("peak %.1f MB = baseline + %.1f MB\n", mb(peak), mb(peak - started));
  std::filesystem::remove_all(state);
  std::filesystem::create_directories(state);
  peakOf([&] { leaveCopies(state, 3000, "/tmp/source.wav"); });
  peak = peakOf([&] { startOver(state); });
  std::printf("  3000 copies: peak %.1f MB = baseline + %.1f MB\n", mb(peak), mb(peak - started));
  std::filesystem::remove_all(dir);
  return 0;
}
