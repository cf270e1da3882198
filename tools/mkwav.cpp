// pelisto-mkwav: writes WAV files for the demo, the tests and the benchmarks.
// Every output is deterministic: the same arguments give the same bytes.
//
//   pelisto-mkwav KIND FILE [ARGS] [OPTIONS]
//
// Kinds (16-bit stereo 44100 Hz unless an option says otherwise):
//   demo                          about 10 s of music: a melody in the centre
//                                 over chords panned left and right
//   sine SECONDS AMPLITUDE [HZ]   a sine tone (440 Hz by default)
//   square SECONDS AMPLITUDE [HZ] a square wave
//   noise SECONDS AMPLITUDE       white noise from a fixed seed
//   silence SECONDS               zero samples
//   bytes N                       exactly N bytes of sample data (a tone)
// SECONDS may have a fraction; the frame count is rounded to the nearest.
//
// Options (header variants):
//   --mono           one channel            --rate HZ     another sample rate
//   --bits 8         8-bit samples          --float       format tag 3, 32-bit float
//   --tag N          format tag N (samples unchanged)
//   --fmt18          an 18-byte fmt chunk (extension size 0)
//   --list           a LIST chunk between the fmt and data chunks
//   --trailer        a LIST chunk after the data chunk
//   --lower-riff     "riff" in lower case
//   --declare N      data chunk size field N whatever the data holds
//   --truncate N     keep only the first N bytes of the file
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "platform/riff.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Options {
  int channels = 2;
  int rate = 44100;
  int bits = 16;
  int tag = 1;
  bool floatSamples = false;
  bool tagGiven = false;
  bool fmt18 = false;
  bool listBefore = false;
  bool trailer = false;
  bool lowerRiff = false;
  std::optional<uint32_t> declaredSize;
  std::optional<uint64_t> truncateAt;
};

// A sound: the value of channel ch (0 left, 1 right) at frame i, in 16-bit
// sample units.
using Sound = std::function<double(int ch, int64_t i)>;

[[noreturn]] void fail(const std::string& text) {
  std::fprintf(stderr, "pelisto-mkwav: %s\n", text.c_str());
  std::exit(2);
}

double number(const char* s, const char* what) {
  char* end = nullptr;
  double v = std::strtod(s, &end);
  if (end == s || *end != '\0' || !std::isfinite(v) || v < 0) fail(std::string("bad ") + what + ": " + s);
  return v;
}

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Soft attack and release around a note of the given length (seconds).
double envelope(double t, double length, double attack, double release) {
  if (t < 0 || t > length) return 0;
  double a = t < attack ? t / attack : 1.0;
  double r = t > length - release ? (length - t) / release : 1.0;
  return a * r;
}

// A tone with a few harmonics, a little warmer than a pure sine.
double voice(double hz, double t) {
  double w = 2 * kPi * hz * t;
  return std::sin(w) + 0.3 * std::sin(2 * w) + 0.12 * std::sin(3 * w);
}

Sound demoSound(int rate) {
  struct Note {
    double midi, beat, beats;
  };
  constexpr double kBeat = 0.5;  // 120 beats per minute; 20 beats in all
  static const double kChords[5][3] = {
      {48, 52, 55}, {45, 48, 52}, {53, 57, 60}, {55, 59, 62}, {48, 52, 55}};  // C Am F G C
  static const std::vector<Note> melody = [] {
    const double notes[][2] = {{76, 1}, {79, 1}, {84, 1}, {83, 1}, {81, 2},   {76, 1},
                               {79, 1}, {77, 1}, {81, 1}, {84, 1}, {81, 1},   {79, 1.5},
                               {77, .5}, {74, 1}, {71, 1}, {72, 4}};
    std::vector<Note> out;
    double at = 0;
    for (const auto& n : notes) {
      out.push_back({n[0], at, n[1]});
      at += n[1];
    }
    return out;
  }();
  return [rate](int ch, int64_t i) {
    const double t = static_cast<double>(i) / rate;
    const int bar = std::min(4, static_cast<int>(t / (4 * kBeat)));
    const double barT = t - bar * 4 * kBeat;
    // Sustained chord, mostly on the left.
    double pad = 0;
    for (double n : kChords[bar]) pad += std::sin(2 * kPi * midiHz(n) * t);
    pad *= 2600 * envelope(barT, 4 * kBeat, 0.15, 0.3);
    // Plucked arpeggio of the same chord an octave up, mostly on the right.
    static const int kOrder[8] = {0, 1, 2, 1, 0, 1, 2, 1};
    const int step = static_cast<int>(barT / (kBeat / 2));
    const double stepT = barT - step * (kBeat / 2);
    const double arpNote = kChords[bar][kOrder[std::min(step, 7)]] + 12;
    double arp = 4200 * std::exp(-stepT * 9) * envelope(stepT, kBeat / 2, 0.004, 0.01) *
                 std::sin(2 * kPi * midiHz(arpNote) * t);
    // The melody in the centre.
    double mel = 0;
    for (const Note& n : melody) {
      const double nt = t - n.beat * kBeat;
      if (nt >= 0 && nt <= n.beats * kBeat) {
        mel = 5200 * envelope(nt, n.beats * kBeat, 0.03, 0.12) * voice(midiHz(n.midi), t);
      }
    }
    const double fade = std::min(1.0, std::min(t / 0.05, (10.0 - t) / 0.4));
    const double v = ch == 0 ? pad + 0.3 * arp + 0.75 * mel : 0.3 * pad + arp + 0.75 * mel;
    return std::max(0.0, fade) * v;
  };
}

void put(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }
void put32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  pelisto::putLe32(b, v);
  out.insert(out.end(), b, b + 4);
}
void put16(std::vector<uint8_t>& out, uint16_t v) {
  uint8_t b[2];
  pelisto::putLe16(b, v);
  out.insert(out.end(), b, b + 2);
}

void putListChunk(std::vector<uint8_t>& out) {
  put(out, "LIST");
  put32(out, 20);
  put(out, "INFO");
  put(out, "ISFT");
  put32(out, 8);
  const char name[8] = {'p', 'e', 'l', 'i', 's', 't', 'o', '\0'};
  out.insert(out.end(), name, name + 8);
}

std::vector<uint8_t> samples(const Options& o, int64_t frames, const Sound& sound) {
  const int width = o.floatSamples ? 4 : o.bits / 8;
  std::vector<uint8_t> data;
  data.reserve(static_cast<size_t>(frames * o.channels * width));
  for (int64_t i = 0; i < frames; ++i) {
    for (int ch = 0; ch < o.channels; ++ch) {
      const double v = std::clamp(std::round(sound(ch, i)), -32768.0, 32767.0);
      if (o.floatSamples) {
        float f = static_cast<float>(v / 32768.0);
        uint32_t u;
        std::memcpy(&u, &f, 4);
        put32(data, u);
      } else if (o.bits == 8) {
        data.push_back(static_cast<uint8_t>(128 + static_cast<int>(std::floor(v / 256.0))));
      } else {
        put16(data, static_cast<uint16_t>(static_cast<int16_t>(v)));
      }
    }
  }
  return data;
}

std::vector<uint8_t> wavFile(const Options& o, const std::vector<uint8_t>& data) {
  const int bits = o.floatSamples ? 32 : o.bits;
  const uint16_t align = static_cast<uint16_t>(o.channels * bits / 8);
  std::vector<uint8_t> f;
  put(f, o.lowerRiff ? "riff" : "RIFF");
  put32(f, 0);  // patched below
  put(f, "WAVE");
  put(f, "fmt ");
  put32(f, o.fmt18 ? 18 : 16);
  put16(f, static_cast<uint16_t>(o.tagGiven ? o.tag : o.floatSamples ? 3 : 1));
  put16(f, static_cast<uint16_t>(o.channels));
  put32(f, static_cast<uint32_t>(o.rate));
  put32(f, static_cast<uint32_t>(o.rate) * align);
  put16(f, align);
  put16(f, static_cast<uint16_t>(bits));
  if (o.fmt18) put16(f, 0);
  if (o.listBefore) putListChunk(f);
  put(f, "data");
  put32(f, o.declaredSize ? *o.declaredSize : static_cast<uint32_t>(data.size()));
  f.insert(f.end(), data.begin(), data.end());
  if (o.trailer) {
    if (data.size() % 2) f.push_back(0);  // chunks start on even offsets
    putListChunk(f);
  }
  pelisto::putLe32(&f[4], static_cast<uint32_t>(f.size() - 8));
  if (o.truncateAt && *o.truncateAt < f.size()) f.resize(static_cast<size_t>(*o.truncateAt));
  return f;
}

void usage() {
  std::fprintf(stderr,
               "usage: pelisto-mkwav KIND FILE [ARGS] [OPTIONS]\n"
               "kinds: demo | sine SECONDS AMPLITUDE [HZ] | square SECONDS AMPLITUDE [HZ] |\n"
               "       noise SECONDS AMPLITUDE | silence SECONDS | bytes N\n"
               "options: --mono --rate HZ --bits 8 --float --tag N --fmt18 --list --trailer\n"
               "         --lower-riff --declare N --truncate N --length N\n"
               "(--length N makes the file N bytes long, zeros after the written bytes,\n"
               " without writing them: a long recording at no cost)\n");
}

// What the command line asks for.
struct Request {
  std::string kind, path;
  std::vector<std::string> args;  // the words after FILE that are no options
  Options options;
  std::optional<uint64_t> length;  // --length
};

Request parseCommandLine(int argc, char** argv) {
  Request r{argv[1], argv[2], {}, {}, {}};
  Options& o = r.options;
  for (int i = 3; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) fail("missing value after " + a);
      return argv[++i];
    };
    if (a == "--mono") o.channels = 1;
    else if (a == "--rate") o.rate = static_cast<int>(number(value(), "rate"));
    else if (a == "--bits") o.bits = static_cast<int>(number(value(), "bits"));
    else if (a == "--float") o.floatSamples = true;
    else if (a == "--tag") o.tag = static_cast<int>(number(value(), "tag")), o.tagGiven = true;
    else if (a == "--fmt18") o.fmt18 = true;
    else if (a == "--list") o.listBefore = true;
    else if (a == "--trailer") o.trailer = true;
    else if (a == "--lower-riff") o.lowerRiff = true;
    else if (a == "--declare") o.declaredSize = static_cast<uint32_t>(number(value(), "size"));
    else if (a == "--truncate") o.truncateAt = static_cast<uint64_t>(number(value(), "length"));
    else if (a == "--length") r.length = static_cast<uint64_t>(number(value(), "length"));
    else if (a.rfind("--", 0) == 0) fail("unknown option " + a);
    else r.args.push_back(a);
  }
  if (o.bits != 8 && o.bits != 16) fail("bits must be 8 or 16");
  if (o.rate <= 0) fail("bad rate");
  return r;
}

// The sample data of a kind, and how many arguments the kind takes.
struct Made {
  std::vector<uint8_t> data;
  size_t takes;
};

// The sample data of the kind asked for; nothing for an unknown kind.
std::optional<Made> soundData(const Request& r) {
  const Options& o = r.options;
  auto arg = [&](size_t i, const char* what, double fallback) {
    if (i < r.args.size()) return number(r.args[i].c_str(), what);
    if (fallback < 0) fail(std::string("missing ") + what);
    return fallback;
  };
  auto framesFor = [&](double seconds) { return static_cast<int64_t>(std::llround(seconds * o.rate)); };
  const int rate = o.rate;
  if (r.kind == "demo") return Made{samples(o, framesFor(10.0), demoSound(rate)), 0};
  if (r.kind == "sine" || r.kind == "square") {
    const double seconds = arg(0, "seconds", -1), amp = arg(1, "amplitude", -1), hz = arg(2, "frequency", 440);
    const bool square = r.kind == "square";
    return Made{samples(o, framesFor(seconds),
                        [=](int, int64_t i) {
                          const double s = std::sin(2 * kPi * hz * static_cast<double>(i) / rate);
                          return square ? (s >= 0 ? amp : -amp) : amp * s;
                        }),
                3};
  }
  if (r.kind == "noise") {
    const double seconds = arg(0, "seconds", -1), amp = arg(1, "amplitude", -1);
    uint32_t seed = 12345;
    return Made{samples(o, framesFor(seconds),
                        [&](int, int64_t) {
                          seed = seed * 1664525u + 1013904223u;
                          return amp * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
                        }),
                2};
  }
  if (r.kind == "silence") return Made{samples(o, framesFor(arg(0, "seconds", -1)), [](int, int64_t) { return 0.0; }), 1};
  if (r.kind != "bytes") return std::nullopt;
  const auto n = static_cast<size_t>(arg(0, "byte count", -1));
  const int width = o.floatSamples ? 4 : o.bits / 8;
  Made made{samples(o, static_cast<int64_t>(n / (width * o.channels)) + 1,
                    [=](int, int64_t i) { return 8000 * std::sin(2 * kPi * 440 * static_cast<double>(i) / rate); }),
            1};
  made.data.resize(n);
  return made;
}

// Writes file at path, then makes it length bytes long when asked.
void writeFile(const std::string& path, const std::vector<uint8_t>& file, std::optional<uint64_t> length) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  out.close();
  if (!out) fail("cannot write " + path + ": " + std::strerror(errno));
  if (!length) return;
  std::error_code error;
  std::filesystem::resize_file(path, *length, error);
  if (error) fail("cannot resize " + path + ": " + error.message());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    usage();
    return 2;
  }
  const Request r = parseCommandLine(argc, argv);
  const std::optional<Made> made = soundData(r);
  if (!made) {
    usage();
    return 2;
  }
  if (r.args.size() > made->takes) fail("too many arguments for " + r.kind);
  writeFile(r.path, wavFile(r.options, made->data), r.length);
  return 0;
}
