// Writing the edit list into a wave file, against the tools a user would
// otherwise use: `cp` of the same number of bytes, twice — plain (the copy
// may still sit in the page cache when cp ends) and followed by `sync` of
// the copy, which makes it durable as the writer makes every file it saves
// (the writer syncs the file and its folder before and after the rename) —
// and `sox` cutting and joining the same ranges. The goals apply to the
// baseline of equal durability. The plain ranges are also written with the
// joins smoothed, against the same write without. Also the peak resident memory of writing a
// 1 GB and a 100 MB file (constant memory).
//
// The coded types: the same 30-minute list (of a talk-like source) written
// as FLAC, Ogg Vorbis, Opus and MP3, against ffmpeg encoding the written
// WAV at the same settings (goal: at most 1.0 x ffmpeg's time each); and
// the cost of the loudness pass, a WAV written at -16 LUFS against the
// plain write of the same list.
//
// Everything runs through BUTTON6_ON with the headless user interface and
// the real file system, on sources generated under /tmp and deleted
// afterwards. Build with -DCMAKE_BUILD_TYPE=Release.
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
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_app.h"
#include "shell/events.h"
#include "shell/handlers.h"
#include "shell/main_loop.h"
#include "wave/loudness_ahead.h"
#include "platform/riff.h"

namespace fs = std::filesystem;
using namespace pelisto;

namespace {

constexpr int64_t kHourFrames = int64_t{3600} * kFramesPerSecond;

struct Range {
  int32_t start, end, loops;
};

// A file of `bytes` bytes of varied sample data, with a canonical header
// when `wave` is set.
void generate(const std::string& path, uint64_t bytes, bool wave) {
  std::ofstream out(path, std::ios::binary);
  std::vector<uint8_t> buf(1 << 20);
  uint64_t done = 0;
  if (wave) {
    auto h = riff::canonicalHeader(static_cast<uint32_t>(bytes - 44));
    out.write(reinterpret_cast<const char*>(h.data()), 44);
    done = 44;
  }
  uint32_t seed = 12345;
  while (done < bytes) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), bytes - done));
    for (size_t i = 0; i < n; i += 2) {
      seed = seed * 1664525u + 1013904223u;
      buf[i] = uint8_t(seed >> 24);
      if (i + 1 < n) buf[i + 1] = uint8_t((seed >> 16) & 0x3F);
    }
    out.write(reinterpret_cast<const char*>(buf.data()), static_cast<std::streamsize>(n));
    done += n;
  }
}

double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double timeCommand(const std::string& cmd) {
  auto t0 = std::chrono::steady_clock::now();
  if (std::system(cmd.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", cmd.c_str());
    std::exit(2);
  }
  return seconds(std::chrono::steady_clock::now() - t0);
}

// The program over the headless user interface and the real file system,
// with `source` open in the view.
struct Program : bench::HeadlessProgram {
  explicit Program(const std::string& source) {
    if (!open(source)) {
      std::fprintf(stderr, "cannot open %s\n", source.c_str());
      std::exit(2);
    }
  }
  void setList(const std::string& source, const std::vector<Range>& ranges, int32_t voiceless) {
    ctx.list.clearLines();
    for (size_t i = 0; i < ranges.size(); ++i) {
      ctx.state.ensureRow(static_cast<int>(i));
      ctx.state.EDITFILE[i] = {source, "src.wav"};
      ctx.state.EDITDATA[i] = {ranges[i].start, ranges[i].end, 0, 0, ranges[i].loops, voiceless, 0, 0};
      ctx.list.addLine("range");
    }
    ctx.state.EDITCOUNT = static_cast<int16_t>(ranges.size());
  }
  // Runs the command into a fresh output (of the type of the filter
  // pattern, WAV when empty); returns the seconds it took.
  double write(const std::string& output, bool smoothJoins = false, const std::string& pattern = "") {
    ctx.state.smoothJoins = smoothJoins;
    fs::remove(output);
    ::sync();  // what earlier runs left to write back does not slow this one
    transcript.clear();
    ui.queueAnswer({ScriptedAnswer::kSave, output, pattern});
    auto t0 = std::chrono::steady_clock::now();
    BUTTON6_ON(ctx);
    double took = seconds(std::chrono::steady_clock::now() - t0);
    if (ctx.state.PLAYFLAG != kPlayWritten) {
      for (const auto& l : transcript.lines()) std::fprintf(stderr, "%s\n", l.c_str());
      std::exit(2);
    }
    ctx.state.PLAYFLAG = kPlayIdle;
    return took;
  }
};

// Child mode: write one range `loops` times and print the peak resident
// set size in KiB.
int rssChild(char** argv) {
  const std::string source = argv[2], output = argv[3];
  Program p(source);
  p.setList(source, {{std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6])}}, 0);
  p.write(output);
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  std::printf("%ld\n", ru.ru_maxrss);
  return 0;
}

long childRss(const std::string& self, const std::string& source, const std::string& output,
              int32_t start, int32_t end, int32_t loops) {
  std::string cmd = self + " --rss-child " + source + " " + output + " " + std::to_string(start) +
                    " " + std::to_string(end) + " " + std::to_string(loops);
  FILE* pipe = ::popen(cmd.c_str(), "r");
  long kib = -1;
  if (!pipe || std::fscanf(pipe, "%ld", &kib) != 1) kib = -1;
  if (pipe) ::pclose(pipe);
  fs::remove(output);
  return kib;
}

bool sameTail(const std::string& a, const std::string& b, uint64_t bytes) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  fa.seekg(-static_cast<std::streamoff>(bytes), std::ios::end);
  fb.seekg(-static_cast<std::streamoff>(bytes), std::ios::end);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  while (bytes > 0) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(bytes, ba.size()));
    fa.read(ba.data(), static_cast<std::streamsize>(n));
    fb.read(bb.data(), static_cast<std::streamsize>(n));
    if (!fa || !fb || !std::equal(ba.begin(), ba.begin() + n, bb.begin())) return false;
    bytes -= n;
  }
  return true;
}

// 30 plain ranges of one minute each, one from every two minutes of the
// source, starting at odd frames.
std::vector<Range> minuteRanges() {
  std::vector<Range> ranges;
  for (int k = 0; k < 30; ++k) {
    int32_t start = k * 120 * kFramesPerSecond + 163170 + 13 * k;
    ranges.push_back({start, start + 60 * kFramesPerSecond, 1});
  }
  return ranges;
}

// The baselines: a copy of as many bytes as the output, without and with a
// sync, best of runs; and the writer's own best on plain ranges, with the
// joins as they are and smoothed.
struct Baseline {
  double cp = 1e9, cpSync = 1e9;
  double smoothed = 1e9;
};

// The writer on plain ranges against cp of the same bytes, best of runs
// each, interleaved. Returns the writer's best time.
double plainWrites(Program& p, const std::string& dir, uint64_t outBytes, int runs, Baseline& base) {
  const std::string cpSource = dir + "/cp-src", cpOut = dir + "/cp-out", out = dir + "/out.wav";
  generate(cpSource, outBytes, false);
  double plainBest = 1e9;
  for (int r = 0; r < runs; ++r) {
    fs::remove(cpOut);
    base.cp = std::min(base.cp, timeCommand("cp " + cpSource + " " + cpOut));
    fs::remove(cpOut);
    base.cpSync = std::min(base.cpSync, timeCommand("cp " + cpSource + " " + cpOut + " && sync " + cpOut));
    fs::remove(cpOut);
    // In turns, so that neither gains from going second; with an odd
    // number of runs the last write is the plain one, compared with sox.
    for (bool smooth : {r % 2 == 0, r % 2 == 1}) {
      double& best = smooth ? base.smoothed : plainBest;
      best = std::min(best, p.write(out, smooth));
    }
  }
  fs::remove(cpSource);
  std::printf("%llu bytes, best of %d each:\n", static_cast<unsigned long long>(outBytes), runs);
  std::printf("cp (not durable when it ends):     %7.3f s\n", base.cp);
  std::printf("cp + sync of the copy (durable):   %7.3f s  <- the baseline of equal durability\n",
              base.cpSync);
  std::printf("writer, plain ranges (durable):    %7.3f s  = %.2f x cp + sync (goal 0.90), %.2f x plain cp\n",
              plainBest, plainBest / base.cpSync, plainBest / base.cp);
  std::printf("writer, plain ranges, smoothed:    %7.3f s  = %.3f x unsmoothed (goal 1.05), %.2f x cp + sync "
              "(goal 0.90)\n",
              base.smoothed, base.smoothed / plainBest, base.smoothed / base.cpSync);
  return plainBest;
}

// sox: each range trimmed into a file of its own, then all concatenated;
// its data compared with the writer's output out.
void soxComparison(const std::string& dir, const std::string& source, const std::vector<Range>& ranges,
                   const std::string& out, uint64_t payload, double plainBest) {
  if (std::system("command -v sox > /dev/null 2>&1") != 0) {
    std::printf("sox not installed: comparison skipped\n");
    return;
  }
  std::string trims, parts;
  for (size_t k = 0; k < ranges.size(); ++k) {
    std::string part = dir + "/part" + std::to_string(100 + k) + ".wav";
    trims += "sox " + source + " " + part + " trim " + std::to_string(ranges[k].start) + "s =" +
             std::to_string(ranges[k].end) + "s && ";
    parts += " " + part;
  }
  const std::string soxOut = dir + "/sox.wav";
  double sox = timeCommand(trims + "sox" + parts + " " + soxOut);
  std::printf("sox trim + concatenation:          %7.3f s  = writer %.1f x faster (sox data %s)\n",
              sox, sox / plainBest, sameTail(soxOut, out, payload) ? "identical" : "DIFFERENT");
  timeCommand("rm -f" + parts + " " + soxOut);
}

// The peak memory of writing 1 GB (500 MB of the source twice) against
// 100 MB (once). False past the limit.
bool memoryFigures(const std::string& self, const std::string& dir, const std::string& source) {
  long big = childRss(self, source, dir + "/big.wav", 0, 125000000, 2);
  long small = childRss(self, source, dir + "/small.wav", 0, 25000000, 1);
  std::printf("peak resident memory: 1 GB output %ld KiB, 100 MB output %ld KiB, difference %ld KiB "
              "(limit 5120)\n",
              big, small, big - small);
  return big > 0 && small > 0 && std::labs(big - small) <= 5120;
}

// `seconds` of something like a talk: a voice of eight harmonics whose
// pitch drifts, in syllables of about a quarter of a second, in phrases
// with pauses between them, over a faint noise.
void generateTalk(const std::string& path, int seconds) {
  std::vector<float> wave(4096);
  for (size_t i = 0; i < wave.size(); ++i) {
    for (int k = 1; k <= 8; ++k) wave[i] += float(std::sin(2 * M_PI * k * double(i) / 4096) / k);
  }
  std::ofstream out(path, std::ios::binary);
  const uint64_t frames = uint64_t(seconds) * kFramesPerSecond;
  auto h = riff::canonicalHeader(static_cast<uint32_t>(frames * 4));
  out.write(reinterpret_cast<const char*>(h.data()), 44);
  std::vector<int16_t> block(2 * kFramesPerSecond);
  double phase = 0;
  uint32_t seed = 99;
  for (uint64_t f = 0; f < frames; f += kFramesPerSecond) {
    for (int i = 0; i < kFramesPerSecond; ++i) {
      const double t = double(f + uint64_t(i)) / kFramesPerSecond;
      const double pitch = 120 + 25 * std::sin(2 * M_PI * 0.31 * t);
      phase = std::fmod(phase + pitch / kFramesPerSecond, 1.0);
      const double syllable = std::pow(std::max(0.0, std::sin(2 * M_PI * 3.7 * t)), 2);
      const double phrase = std::fmod(t, 3.9) < 3.2 ? 1.0 : 0.0;
      seed = seed * 1664525u + 1013904223u;
      const double noise = (double(seed >> 16) / 32768.0 - 1.0) * 0.001;
      const double v = 0.3 * syllable * phrase * wave[size_t(phase * 4096) & 4095] + noise;
      block[2 * size_t(i)] = int16_t(std::lround(v * 32767));
      block[2 * size_t(i) + 1] = int16_t(std::lround(0.8 * v * 32767));
    }
    out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 2));
  }
}

// A program with the 30 minutes of a talk-like source in reverse order,
// minute by minute, as its list.
std::unique_ptr<Program> talkProgram(const std::string& source) {
  generateTalk(source, 31 * 60);
  auto p = std::make_unique<Program>(source);
  std::vector<Range> ranges;
  for (int k = 29; k >= 0; --k) ranges.push_back({k * 60 * kFramesPerSecond, (k + 1) * 60 * kFramesPerSecond, 1});
  p->setList(source, ranges, 0);
  return p;
}

// The loudness pass against the plain write, best of runs each, in turns:
// the pass run by the write itself (the list written at once after its
// last change) and the pass run behind the window while the list stood
// still (then timed apart). True when the write of a list measured ahead
// is within the goal.
bool loudnessFigures(Program& p, const std::string& wav) {
  double plain = 1e9, cold = 1e9, behind = 1e9, measuredAhead = 1e9;
  for (int r = 0; r < 3; ++r) {
    dispatchEvent(p.ctx, Event::choose(MenuItem::LoudnessOff));
    plain = std::min(plain, p.write(wav));
    dispatchEvent(p.ctx, Event::choose(MenuItem::Loudness16));
    p.ctx.loudnessAhead.reset();  // nothing measured before
    cold = std::min(cold, p.write(wav));
    // The list changes, stands still, and is measured behind the window.
    p.ctx.loudnessAhead.reset();
    p.ctx.state.listRevision = ++p.ctx.state.lastRevision;
    keepWorkBehind(p.ctx);
    std::this_thread::sleep_for(std::chrono::milliseconds(kLoudnessAheadDelayMs));
    const auto t0 = std::chrono::steady_clock::now();
    keepWorkBehind(p.ctx);  // the job runs inside (the benchmark's worker runs jobs at once)
    behind = std::min(behind, seconds(std::chrono::steady_clock::now() - t0));
    measuredAhead = std::min(measuredAhead, p.write(wav));
  }
  dispatchEvent(p.ctx, Event::choose(MenuItem::LoudnessOff));
  const double addedCold = (cold - plain) / plain, addedAhead = (measuredAhead - plain) / plain;
  std::printf("loudness, plain WAV write %.3f s\n", plain);
  std::printf("  written at once after a change: %.3f s, the pass adds %.2f x the plain write\n", cold,
              addedCold);
  std::printf("  measured behind the window (%.3f s of work while the list stood still), then written: %.3f s, "
              "the pass adds %.2f x the plain write (goal 0.30)\n",
              behind, measuredAhead, addedAhead);
  return addedAhead <= 0.3;
}

// The coded types against ffmpeg (those whose extension is in only, where
// it is not empty), and the loudness pass against the plain write; true
// when within the goals.
bool codedFigures(const std::string& dir, const std::string& only = "") {
  if (std::system("command -v ffmpeg > /dev/null 2>&1") != 0) {
    std::printf("ffmpeg not installed: the coded types are not compared\n");
    return true;
  }
  const std::string source = dir + "/talk.wav", wav = dir + "/list.wav";
  std::unique_ptr<Program> program = talkProgram(source);
  Program& p = *program;
  p.write(wav);
  std::printf("\nthe coded types: 30 minutes of a talk-like list against ffmpeg encoding the written WAV, "
              "best of 2 each, in turns\n");
  const struct {
    const char* pattern;
    const char* extension;
    const char* ffmpeg;  // the same settings
  } types[] = {
      {"*.flac", ".flac", "-c:a flac -compression_level 5"},
      {"*.ogg", ".ogg", "-c:a libvorbis -q:a 6"},
      {"*.opus", ".opus", "-af aresample=resampler=soxr:precision=20 -ar 48000 -c:a libopus -b:a 128k"},
      {"*.mp3", ".mp3", "-c:a libmp3lame -b:a 192k"},
  };
  bool pass = true;
  for (const auto& t : types) {
    if (!only.empty() && only.find(t.extension + 1) == std::string::npos) continue;
    const std::string ours = dir + "/ours" + t.extension, theirs = dir + "/ffmpeg" + t.extension;
    double writer = 1e9, ffmpeg = 1e9;
    for (int r = 0; r < 2; ++r) {
      writer = std::min(writer, p.write(ours, false, t.pattern));
      ffmpeg = std::min(ffmpeg, timeCommand("ffmpeg -y -v error -i " + wav + " " + t.ffmpeg + " " + theirs));
    }
    std::printf("%-6s writer %7.2f s, %9llu bytes | ffmpeg %7.2f s, %9llu bytes | %.2f x ffmpeg (goal 1.00)\n",
                t.extension + 1, writer, static_cast<unsigned long long>(fs::file_size(ours)), ffmpeg,
                static_cast<unsigned long long>(fs::file_size(theirs)), writer / ffmpeg);
    pass = pass && writer <= ffmpeg;
    fs::remove(ours);
    fs::remove(theirs);
  }

  const bool even = loudnessFigures(p, wav);
  fs::remove(source);
  fs::remove(wav);
  return pass && even;
}

// Every figure in dir; true when all are within their limits.
bool measure(const std::string& self, const std::string& dir) {
  const std::string source = dir + "/src.wav", out = dir + "/out.wav";
  const int runs = 5;
  std::printf("generating a one-hour source in %s ...\n", dir.c_str());
  generate(source, 44 + uint64_t(kHourFrames) * 4, true);
  const std::vector<Range> ranges = minuteRanges();
  const uint64_t payload = uint64_t(30) * 60 * kBytesPerSecond;
  const uint64_t outBytes = 44 + payload;
  std::printf("edit list: 30 plain ranges, 1800 s; output %llu bytes\n",
              static_cast<unsigned long long>(outBytes));

  Program p(source);
  p.setList(source, ranges, 0);
  Baseline base;
  const double plainBest = plainWrites(p, dir, outBytes, runs, base);
  bool pass = plainBest / base.cpSync <= 0.9 && base.smoothed / plainBest <= 1.05 &&
              base.smoothed / base.cpSync <= 0.9;
  soxComparison(dir, source, ranges, out, payload, plainBest);

  p.setList(source, ranges, 1);
  double voicelessBest = 1e9;
  for (int r = 0; r < runs; ++r) voicelessBest = std::min(voicelessBest, p.write(out));
  const double voicelessRatio = voicelessBest / base.cpSync;
  std::printf("writer, all voiceless (durable):   %7.3f s  = %.2f x cp + sync (limit 2.50), %.2f x plain cp\n",
              voicelessBest, voicelessRatio, voicelessBest / base.cp);
  pass = pass && voicelessRatio <= 2.5;
  fs::remove(out);
  pass = memoryFigures(self, dir, source) && pass;
  fs::remove(source);
  return codedFigures(dir) && pass;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 7 && std::string(argv[1]) == "--rss-child") return rssChild(argv);
  const std::string self = fs::read_symlink("/proc/self/exe");
  char name[] = "/tmp/pelisto-writer-bench-XXXXXX";
  if (!::mkdtemp(name)) return 2;
  // --coded [TYPES]: the coded types (those named, as "flac,mp3") and the
  // loudness pass alone; --loudness: the loudness pass alone.
  const std::string mode = argc > 1 ? argv[1] : "";
  bool pass = false;
  if (mode == "--loudness") {
    const std::string source = std::string(name) + "/talk.wav";
    pass = loudnessFigures(*talkProgram(source), std::string(name) + "/list.wav");
  } else {
    pass = mode == "--coded" ? codedFigures(name, argc > 2 ? argv[2] : "") : measure(self, name);
  }
  fs::remove_all(name);
  std::printf("%s\n", pass ? "PASS" : "FAIL");
  return pass ? 0 : 1;
}
