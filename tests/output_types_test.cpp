// The list written in every type, read back through the sound library:
// the frames, the length, the tags; and the failures that keep an old
// target, for every type.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "support/sound_files.h"
#include "support/writer_fixture.h"
#include "wave/output_type.h"

namespace pelisto::test {
namespace {

// Two seconds of tones, different on each side: what a codec keeps well.
std::vector<uint8_t> tones(double seconds = 2) {
  std::vector<double> v;
  for (int i = 0; i < int(seconds * 44100); ++i) {
    const double t = i / 44100.0;
    v.push_back(0.3 * std::sin(2 * M_PI * 440 * t) + 0.1 * std::sin(2 * M_PI * 3000 * t));
    v.push_back(0.3 * std::sin(2 * M_PI * 660 * t + 1) + 0.05 * std::sin(2 * M_PI * 5000 * t));
  }
  return samplesOf(v, 16, false);
}

struct Decoded {
  std::vector<int16_t> samples;
  int rate = 0;
  std::string title, software;
};

Decoded decode(const std::string& path) {
  Decoded d;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return d;
  d.rate = info.samplerate;
  d.samples.resize(size_t(info.frames) * 2);
  d.samples.resize(size_t(sf_readf_short(f, d.samples.data(), info.frames)) * 2);
  auto text = [&](int which) {
    const char* s = sf_get_string(f, which);
    return s ? std::string(s) : std::string();
  };
  d.title = text(SF_STR_TITLE), d.software = text(SF_STR_SOFTWARE);
  sf_close(f);
  return d;
}

// The ratio of the signal to what the copy adds to it, in dB.
double snrDb(const std::vector<int16_t>& signal, const std::vector<int16_t>& copy) {
  double s = 0, e = 0;
  for (size_t i = 0; i < std::min(signal.size(), copy.size()); ++i) {
    s += double(signal[i]) * signal[i];
    e += (double(signal[i]) - copy[i]) * (double(signal[i]) - copy[i]);
  }
  return 10 * std::log10(s / std::max(e, 1.0));
}

// The samples of a WAV file after its 44-byte header.
std::vector<int16_t> wavSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> v(bytes.size() < 44 ? 0 : (bytes.size() - 44) / 2);
  for (size_t i = 0; i < v.size(); ++i) v[i] = int16_t(getLe16(&bytes[44 + 2 * i]));
  return v;
}

// Samples taken to rate by the resampler the writer uses, rounded.
std::vector<int16_t> resampled(const std::vector<int16_t>& samples, int rate) {
  std::vector<float> in(samples.begin(), samples.end()), out;
  for (float& x : in) x /= 32768;
  auto soxr = newSoxrResampler(44100, rate, 2);
  EXPECT_TRUE(soxr.isOk() && soxr.value()->process(in.data(), in.size() / 2, out).isOk() &&
              soxr.value()->finish(out).isOk());
  std::vector<int16_t> v;
  for (float x : out) v.push_back(int16_t(std::lround(std::clamp(x * 32768.0f, -32768.0f, 32767.0f))));
  return v;
}

// The list on disk: two ranges of the tones around a blank, in a folder of
// its own, written through the real file system and sound library.
class OutputTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/pelisto-types-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
    const std::vector<uint8_t> a = wavFile(tones());
    std::ofstream(dir + "/a.wav", std::ios::binary).write(reinterpret_cast<const char*>(a.data()), std::streamsize(a.size()));
    ui.queueAnswer({ScriptedAnswer::kOpen, dir + "/a.wav"});
    OPENWAVEFILE_ON(ctx);
    const std::pair<int32_t, int32_t> rows[] = {{1000, 60000}, {0, 11025}, {30000, 88200}};
    for (int r = 0; r < 3; ++r) {
      ctx.state.EDITFILE[r] = {r == 1 ? "" : dir + "/a.wav", r == 1 ? "BRANK" : "a.wav"};
      ctx.state.EDITDATA[r] = {rows[r].first, rows[r].second, 0, 0, 1, 0, 0, 0};
      ctx.list.addLine("line");
    }
    ctx.state.EDITCOUNT = 3;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void write(const std::string& name, const std::string& filter = "") {
    app.transcript().clear();
    ui.queueAnswer({ScriptedAnswer::kSave, dir + "/" + name, filter});
    BUTTON6_ON(ctx);
    ctx.state.PLAYFLAG = kPlayIdle;
  }

  std::string dir;
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  HeadlessApp app{{.fs = fs.get(), .device = false}};
  HeadlessUi& ui = app.ui();
  AppContext& ctx = app.context();
};

// FLAC holds exactly the WAV's frames. The lossy types hold as many (Opus
// at 48 kHz: as many as the resampled WAV), the encoders' padding taken
// off again by the decoder, and sound close to them: at these settings
// Vorbis keeps these tones at 41 dB, Opus at 35, MP3 at 30, while a
// stream with stale or shifted samples falls below 0 dB (MP3 written from
// 16-bit integers through libsndfile 1.2.0: -3 dB); 20 dB lies between.
// Each carries its title and the program's name.
TEST_F(OutputTypes, EachTypeHoldsTheWavsFramesAndItsTags) {
  write("list.wav");
  const std::vector<int16_t> wav = wavSamples(dir + "/list.wav");
  ASSERT_EQ(wav.size(), 2u * (59000 + 11025 + 58200));
  struct Case {
    const char* typed;
    const char* filter;  // the filter chosen in the dialog
    const char* written;
    int rate;
    double minSnr;  // 0: exactly the frames
  } cases[] = {{"録音.flac", "", "録音.flac", 44100, 0},
               {"録音", "*.ogg", "録音.ogg", 44100, 20},
               {"録音", "*.opus", "録音.opus", 48000, 20},
               {"録音", "*.mp3", "録音.mp3", 44100, 20}};
  for (const Case& c : cases) {
    write(c.typed, c.filter);
    const Decoded d = decode(dir + "/" + c.written);
    ASSERT_EQ(d.rate, c.rate) << c.written;
    EXPECT_EQ(d.title, "録音") << c.written;
    EXPECT_EQ(d.software.rfind("Pelisto ", 0), 0u) << c.written << ": " << d.software;
    const std::vector<int16_t> expected = c.rate == 44100 ? wav : resampled(wav, c.rate);
    EXPECT_EQ(d.samples.size(), expected.size()) << c.written;
    if (c.minSnr == 0) {
      EXPECT_TRUE(d.samples == expected) << c.written;
    } else {
      EXPECT_GT(snrDb(expected, d.samples), c.minSnr) << c.written;
    }
  }
}

// The dialog offers WAV first, then the coded types. The chosen filter
// names the type unless the typed name ends in a type's extension; the
// type last used is the one shown next time, and is remembered.
TEST_F(WriterFixture, TheTypeFollowsTheFilterAndATypedExtensionWins) {
  addSource("/w/a.wav", patternData(4000));
  app.openWave("/w/a.wav");
  addRange("/w/a.wav", 0, 1000);
  const struct {
    const char* typed;
    const char* filter;  // empty: the one shown
    const char* written;
    const char* magic;   // the file's first bytes
  } cases[] = {
      {"/w/o1", "", "/w/o1.WAV", "RIFF"},        {"/w/o2", "*.flac", "/w/o2.flac", "fLaC"},
      {"/w/o3", "", "/w/o3.flac", "fLaC"},       {"/w/o4.MP3", "*.ogg", "/w/o4.MP3", "ID3"},
      {"/w/o5", "", "/w/o5.mp3", "ID3"},         {"/w/o6.wav", "*.opus", "/w/o6.wav", "RIFF"},
      {"/w/o7.take", "*.opus", "/w/o7.take.opus", "OggS"}, {"/w/o8", "", "/w/o8.opus", "OggS"},
  };
  for (const auto& c : cases) {
    app.ctx.state.PLAYFLAG = kPlayIdle;
    write(c.typed, c.filter);
    EXPECT_EQ(app.ui.lastDialogPatterns(),
              (std::vector<std::string>{"*.wav", "*.flac", "*.ogg", "*.opus", "*.mp3"}));
    const std::vector<uint8_t> bytes = app.fs.contents(c.written);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), strlen(c.magic))), c.magic)
        << c.typed << " " << c.filter;
  }
  EXPECT_EQ(app.ui.rememberedName(kWriteTypeChoice), "opus");
}

}  // namespace
}  // namespace pelisto::test
