// Converting a 48 kHz 24-bit stereo WAV file into 44.1 kHz 16-bit, by this
// program and by the converters a user could pick instead, on the same
// file in the same run:
//
//   the program   the open command's conversion, as the user starts it
//                 (refusal, Yes, the save dialog), over the headless user
//                 interface and the real file system, synced to the disk
//   sox           sox in.wav -r 44100 -b 16 out.wav
//   ffmpeg        ffmpeg -i in.wav -ar 44100 -sample_fmt s16 out.wav
//   ffmpeg soxr   the same with -af aresample=resampler=soxr:precision=28:
//                 dither_method=triangular
//
// Each converts the timed source RUNS times, the converters taking turns;
// each conversion is a process of its own, timed from its start to its end,
// and its peak resident memory is its own. Printed: each time, the medians,
// the ratios (goals: at most 0.8 × ffmpeg, at most 0.6 × sox), each peak
// memory, the program's peak memory for a 10- and a 60-minute source (goal:
// at most 16 MB each), and how far the outputs lie from one another.
// Sources are generated under /tmp and deleted afterwards.
//
//   convert_bench [MINUTES [RUNS]]   (the timed source; default 20 minutes, 3 runs)
#include <sys/resource.h>
#include <sys/wait.h>
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
#include "platform/coding.h"
#include "platform/riff.h"

namespace fs = std::filesystem;
using namespace pelisto;

namespace {

// A 48 kHz 24-bit stereo PCM file: two tones and a little noise, so that
// neither dither nor the resampler meets silence.
void generate(const std::string& path, uint64_t frames) {
  std::ofstream out(path, std::ios::binary);
  const uint64_t bytes = frames * 6;
  std::vector<uint8_t> h = riff::canonicalHeader(static_cast<uint32_t>(bytes), 2, 48000, 24);
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

// Child mode: converts source into output as the user would.
int convertChild(const std::string& source, const std::string& output) {
  bench::HeadlessProgram p;
  p.ui.queueAnswer({ScriptedAnswer::kOpen, source});
  p.ui.queueAnswer({ScriptedAnswer::kYes, ""});
  p.ui.queueAnswer({ScriptedAnswer::kSave, output});
  OPENWAVEFILE_ON(p.ctx);
  if (!waveFileOpen(p.ctx) || p.ctx.state.WAVEFILENAME != output) {
    for (const auto& l : p.transcript.lines()) std::fprintf(stderr, "%s\n", l.c_str());
    return 2;
  }
  return 0;
}

struct Run {
  double seconds = 0;
  double mb = 0;  // peak resident memory
};

// Runs the command (through the shell, its output out of sight) in a
// process of its own; exits when it fails.
Run runCommand(const std::string& command) {
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", ("exec " + command + " > /dev/null").c_str(), nullptr);
    ::_exit(127);
  }
  int status = 0;
  struct rusage ru {};
  if (pid < 0 || ::wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(2);
  }
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(),
          static_cast<double>(ru.ru_maxrss) / 1024};
}

struct Converter {
  const char* name;
  std::string command;  // with IN and OUT in place
  std::string output;
  std::vector<Run> runs;

  double median(double Run::*field) const {
    std::vector<double> v;
    for (const Run& r : runs) v.push_back(r.*field);
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
};

std::vector<Converter> converters(const std::string& self, const std::string& dir, const std::string& in) {
  const std::string ff = "ffmpeg -nostdin -loglevel error -y -i " + in;
  return {
      {"the program (open command, synced)", self + " --convert-child " + in + " " + dir + "/ours.wav",
       dir + "/ours.wav", {}},
      {"sox -r 44100 -b 16", "sox " + in + " -r 44100 -b 16 " + dir + "/sox.wav", dir + "/sox.wav", {}},
      {"ffmpeg -ar 44100 -sample_fmt s16", ff + " -ar 44100 -sample_fmt s16 " + dir + "/ff.wav",
       dir + "/ff.wav", {}},
      {"ffmpeg soxr precision 28, triangular",
       ff + " -af aresample=resampler=soxr:precision=28:dither_method=triangular -ar 44100 -sample_fmt s16 " +
           dir + "/ffsoxr.wav",
       dir + "/ffsoxr.wav", {}},
  };
}

// The 16-bit samples of a WAV file's data chunk.
std::vector<int16_t> samplesOf(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const uint32_t size = getLe32(reinterpret_cast<const uint8_t*>(&bytes[at + 4]));
    if (std::string(&bytes[at], 4) == "data") {
      std::vector<int16_t> s(std::min<size_t>(size, bytes.size() - at - 8) / 2);
      for (size_t i = 0; i < s.size(); ++i) {
        s[i] = int16_t(getLe16(reinterpret_cast<const uint8_t*>(&bytes[at + 8 + 2 * i])));
      }
      return s;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

// The RMS difference of two outputs (dB of full scale) over their common
// length, and their lengths.
void printDifference(const char* what, const std::string& a, const std::string& b) {
  const std::vector<int16_t> x = samplesOf(a), y = samplesOf(b);
  const size_t n = std::min(x.size(), y.size());
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += std::pow((x[i] - y[i]) / 32768.0, 2);
  std::printf("  %-38s RMS %6.1f dB of full scale; frames %zu and %zu\n", what,
              10 * std::log10(sum / double(std::max<size_t>(n, 1)) + 1e-30), x.size() / 2, y.size() / 2);
}

std::string loadAverage() {
  std::ifstream f("/proc/loadavg");
  std::string one, five;
  f >> one >> five;
  return one + " (1 min), " + five + " (5 min)";
}

// Prints the figures; true when the goals are met.
bool report(const std::vector<Converter>& c, int minutes, double smallMb, double largeMb) {
  std::printf("\n%d minutes of 48 kHz 24-bit stereo -> 44.1 kHz 16-bit, medians of %zu runs:\n", minutes,
              c[0].runs.size());
  for (const Converter& k : c) {
    std::printf("  %-38s %6.2f s  %6.1f MB   (runs:", k.name, k.median(&Run::seconds), k.median(&Run::mb));
    for (const Run& r : k.runs) std::printf(" %.2f", r.seconds);
    std::printf(")\n");
  }
  const double ours = c[0].median(&Run::seconds);
  const double vsFfmpeg = ours / c[2].median(&Run::seconds), vsSox = ours / c[1].median(&Run::seconds);
  std::printf("  the program / ffmpeg       %.2f (goal: at most 0.80)\n", vsFfmpeg);
  std::printf("  the program / sox          %.2f (goal: at most 0.60)\n", vsSox);
  std::printf("  the program / ffmpeg soxr  %.2f\n", ours / c[3].median(&Run::seconds));
  std::printf("the program's peak memory: 10 minutes %.1f MB, 60 minutes %.1f MB (goal: at most 16 each)\n",
              smallMb, largeMb);
  std::printf("outputs compared with the program's:\n");
  for (size_t i = 1; i < c.size(); ++i) printDifference(c[i].name, c[0].output, c[i].output);
  return vsFfmpeg <= 0.8 && vsSox <= 0.6 && smallMb <= 16 && largeMb <= 16;
}

// The program's peak memory converting a generated source of `minutes`.
double memoryOf(const std::string& self, const std::string& dir, int minutes) {
  const std::string src = dir + "/m.wav", out = dir + "/m_out.wav";
  generate(src, uint64_t{48000} * 60 * static_cast<uint64_t>(minutes));
  const double mb = runCommand(self + " --convert-child " + src + " " + out).mb;
  fs::remove(src), fs::remove(out);
  return mb;
}

int measure(const std::string& self, const std::string& dir, int minutes, int runs) {
  std::printf("load average at the start: %s\n", loadAverage().c_str());
  const std::string in = dir + "/in.wav";
  generate(in, uint64_t{48000} * 60 * static_cast<uint64_t>(minutes));
  std::vector<Converter> c = converters(self, dir, in);
  for (int r = 0; r < runs; ++r) {
    for (Converter& k : c) {
      fs::remove(k.output);
      ::sync();  // no converter pays for another's writing
      k.runs.push_back(runCommand(k.command));
    }
  }
  fs::remove(in);
  std::printf("load average after the timed runs: %s\n", loadAverage().c_str());
  const double smallMb = memoryOf(self, dir, 10), largeMb = memoryOf(self, dir, 60);
  const bool pass = report(c, minutes, smallMb, largeMb);
  std::printf("%s\n", pass ? "goals met" : "GOALS MISSED");
  return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--convert-child") return convertChild(argv[2], argv[3]);
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 20;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  if (minutes < 1 || runs < 1) {
    std::fprintf(stderr, "usage: convert_bench [MINUTES [RUNS]]\n");
    return 2;
  }
  for (const char* tool : {"sox", "ffmpeg"}) {
    if (std::system(("command -v " + std::string(tool) + " > /dev/null 2>&1").c_str()) != 0) {
      std::fprintf(stderr, "%s is needed (scripts/install-deps test installs it)\n", tool);
      return 2;
    }
  }
  const std::string self = fs::read_symlink("/proc/self/exe");
  char name[] = "/tmp/pelisto-convert-bench-XXXXXX";
  if (!::mkdtemp(name)) return 2;
  const int status = measure(self, name, minutes, runs);
  fs::remove_all(name);
  return status;
}
