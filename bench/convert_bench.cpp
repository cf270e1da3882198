// Converting a 48 kHz 24-bit stereo WAV file into the editing format,
// against `sox in.wav -r 44100 -b 16 out.wav` on the same file in the same
// run (goal: no slower), and the peak resident memory of converting a
// 10-minute and a one-hour file (goal: the same within 5 MB: streaming).
//
// The conversion runs as the user starts it: the open command refuses the
// file, the question is answered Yes and the save dialog with the output
// path, over the headless user interface and the real file system. Each
// conversion runs in a child process of its own, so its peak memory is its
// alone. Sources are generated under /tmp and deleted afterwards.
//
//   convert_bench [MINUTES]     (the long file's length; default 60)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_app.h"
#include "wave/convert_command.h"
#include "wave/wav_bytes.h"

namespace fs = std::filesystem;
using namespace pelisto;

namespace {

double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// A 48 kHz 24-bit stereo PCM file: two tones and a little noise, so that
// neither dither nor the resampler meets silence.
void generate(const std::string& path, uint64_t frames) {
  std::ofstream out(path, std::ios::binary);
  const uint64_t bytes = frames * 6;
  std::vector<uint8_t> h = canonicalWavHeader(static_cast<uint32_t>(bytes), 2, 48000, 24);
  out.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
  std::vector<int32_t> table(48000);
  for (size_t i = 0; i < table.size(); ++i) {
    const double t = 2 * M_PI * static_cast<double>(i) / 48000;
    table[i] = static_cast<int32_t>(2500000 * std::sin(440 * t) + 1200000 * std::sin(5000 * t));
  }
  std::vector<uint8_t> buf(48000 * 6);
  uint32_t seed = 12345;
  for (uint64_t done = 0; done < frames;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(48000, frames - done));
    for (size_t i = 0; i < n; ++i) {
      for (int c = 0; c < 2; ++c) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t v = table[(i + 12000 * c) % 48000] + static_cast<int32_t>(seed >> 20) - 2048;
        for (int b = 0; b < 3; ++b) buf[i * 6 + c * 3 + b] = uint8_t(uint32_t(v) >> (8 * b));
      }
    }
    out.write(reinterpret_cast<const char*>(buf.data()), static_cast<std::streamsize>(n * 6));
    done += n;
  }
}

// Child mode: convert source into output as the user would; prints the
// seconds taken and the peak resident set size in KiB.
int convertChild(const std::string& source, const std::string& output) {
  bench::HeadlessProgram p;
  p.ui.queueAnswer({ScriptedAnswer::kOpen, source});
  p.ui.queueAnswer({ScriptedAnswer::kYes, ""});
  p.ui.queueAnswer({ScriptedAnswer::kSave, output});
  auto t0 = std::chrono::steady_clock::now();
  OPENWAVEFILE_ON(p.ctx);
  const double took = seconds(std::chrono::steady_clock::now() - t0);
  if (!waveFileOpen(p.ctx) || p.ctx.state.WAVEFILENAME != output) {
    for (const auto& l : p.transcript.lines()) std::fprintf(stderr, "%s\n", l.c_str());
    return 2;
  }
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  std::printf("%.3f %ld\n", took, ru.ru_maxrss);
  return 0;
}

struct ChildResult {
  double seconds = -1;
  long kib = -1;
};

ChildResult runChild(const std::string& self, const std::string& source, const std::string& output) {
  FILE* pipe = ::popen((self + " --convert-child " + source + " " + output).c_str(), "r");
  ChildResult r;
  if (!pipe || std::fscanf(pipe, "%lf %ld", &r.seconds, &r.kib) != 2) r = ChildResult{};
  if (pipe) ::pclose(pipe);
  if (r.kib < 0) {
    std::fprintf(stderr, "the conversion of %s failed\n", source.c_str());
    std::exit(2);
  }
  return r;
}

// The RMS difference (dB of full scale) of the samples of two 16-bit files
// with 44-byte headers, over their common length.
double differenceDb(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  fa.seekg(44), fb.seekg(44);
  std::vector<int16_t> ba(1 << 18), bb(1 << 18);
  double sum = 0;
  uint64_t count = 0;
  for (;;) {
    fa.read(reinterpret_cast<char*>(ba.data()), static_cast<std::streamsize>(ba.size() * 2));
    fb.read(reinterpret_cast<char*>(bb.data()), static_cast<std::streamsize>(bb.size() * 2));
    const size_t n = static_cast<size_t>(std::min(fa.gcount(), fb.gcount()) / 2);
    if (n == 0) break;
    for (size_t i = 0; i < n; ++i) {
      const double d = (ba[i] - bb[i]) / 32768.0;
      sum += d * d;
    }
    count += n;
  }
  return count ? 10 * std::log10(sum / static_cast<double>(count) + 1e-30) : 0;
}

// Prints the figures of the runs; true when the goals are met.
bool report(int minutes, const ChildResult& small, const ChildResult& large, double soxSeconds,
            const std::string& ours, const std::string& theirs) {
  const double ratio = large.seconds / soxSeconds;
  const double growthMb = static_cast<double>(large.kib - small.kib) / 1024;
  std::printf("%d minutes, 48 kHz 24-bit stereo -> 44.1 kHz 16-bit:\n", minutes);
  std::printf("  sox in.wav -r 44100 -b 16 out.wav  %8.2f s\n", soxSeconds);
  std::printf("  the program's conversion           %8.2f s  = %.2f x sox (goal: at most 1.00)\n",
              large.seconds, ratio);
  std::printf("  difference from sox's output        RMS %.1f dB of full scale (both dithered)\n",
              differenceDb(ours, theirs));
  std::printf("peak resident memory: 10 minutes %.1f MB, %d minutes %.1f MB, growth %.1f MB (goal: "
              "at most 5)\n",
              static_cast<double>(small.kib) / 1024, minutes, static_cast<double>(large.kib) / 1024,
              growthMb);
  return ratio <= 1.0 && growthMb <= 5.0;
}

// Converts sources of 10 and `minutes` minutes in dir, the long one with
// sox too. Returns the exit status.
int measure(const std::string& self, const std::string& dir, int minutes) {
  const std::string shortSrc = dir + "/short.wav", longSrc = dir + "/long.wav";
  std::printf("generating 48 kHz 24-bit stereo sources of 10 and %d minutes in %s ...\n", minutes,
              dir.c_str());
  generate(shortSrc, uint64_t{48000} * 600);
  generate(longSrc, uint64_t{48000} * 60 * static_cast<uint64_t>(minutes));

  const ChildResult small = runChild(self, shortSrc, dir + "/short_44k16.wav");
  fs::remove(dir + "/short_44k16.wav");
  const std::string ours = dir + "/long_44k16.wav", theirs = dir + "/sox.wav";
  const ChildResult large = runChild(self, longSrc, ours);
  auto t0 = std::chrono::steady_clock::now();
  const int soxStatus = std::system(("sox " + longSrc + " -r 44100 -b 16 " + theirs).c_str());
  const double soxSeconds = seconds(std::chrono::steady_clock::now() - t0);
  if (soxStatus != 0) {
    std::fprintf(stderr, "sox failed\n");
    return 2;
  }
  const bool pass = report(minutes, small, large, soxSeconds, ours, theirs);
  std::printf("%s\n", pass ? "goals met" : "GOALS MISSED");
  return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--convert-child") return convertChild(argv[2], argv[3]);
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 60;
  if (minutes < 11) {
    std::fprintf(stderr, "usage: convert_bench [MINUTES > 10]\n");
    return 2;
  }
  if (std::system("command -v sox > /dev/null 2>&1") != 0) {
    std::fprintf(stderr, "sox is needed (scripts/install-deps installs it)\n");
    return 2;
  }
  const std::string self = fs::read_symlink("/proc/self/exe");
  char name[] = "/tmp/pelisto-convert-bench-XXXXXX";
  if (!::mkdtemp(name)) return 2;
  const int status = measure(self, name, minutes);
  fs::remove_all(name);
  return status;
}
