// Peak resident memory of two commands that hostile input once made take
// gigabytes, against the program's own at start in the same run:
//   - converting an 88 KB WAV whose header says 1 Hz (refused now, before
//     anything is written: the message is printed);
//   - 1000 deletes at the top of a full list of 32767 lines, the history
//     kept for undo (against the full list alone).
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
void fillList(bench::HeadlessProgram& p) {
  AppState& s = p.ctx.state;
  s.ensureRow(kMaxEditRows - 1);
  for (int i = 0; i < kMaxEditRows; ++i) {
    s.EDITFILE[i] = {"/tmp/source.wav", "source.wav"};
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
  std::filesystem::remove_all(dir);
  return 0;
}
