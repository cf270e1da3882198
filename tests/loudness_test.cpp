// Even loudness: the meter against signals of known loudness, and the
// written file against its target and the true-peak ceiling.
#include <gtest/gtest.h>

#include <cmath>

#include "support/sound_files.h"
#include "support/writer_fixture.h"
#include "wave/loudness.h"
#include "wave/loudness_ahead.h"

namespace pelisto::test {
namespace {

// Stereo frames of full scale ±1, as 16-bit samples.
std::vector<int16_t> made(double seconds, double (*left)(double), double (*right)(double)) {
  std::vector<int16_t> v;
  for (int i = 0; i < int(seconds * 44100); ++i) {
    const double t = i / 44100.0;
    v.push_back(int16_t(std::lround(32767 * left(t))));
    v.push_back(int16_t(std::lround(32767 * right(t))));
  }
  return v;
}

std::optional<double> measured(const std::vector<int16_t>& samples) {
  auto meter = newEbur128Meter(2, 44100, LoudnessMeasure::kIntegrated);
  EXPECT_TRUE(meter.isOk() && meter.value()->add(samples.data(), samples.size() / 2).isOk());
  return meter.value()->integrated();
}

double truePeakDb(const std::vector<int16_t>& samples) {
  auto meter = newEbur128Meter(2, 44100, LoudnessMeasure::kTruePeak);
  EXPECT_TRUE(meter.isOk() && meter.value()->add(samples.data(), samples.size() / 2).isOk());
  return 20 * std::log10(meter.value()->lastTruePeak());
}

double sine(double t, double hz, double db) { return std::pow(10, db / 20) * std::sin(2 * M_PI * hz * t); }

// BS.1770's own check: a 1 kHz sine at -23 dBFS on both channels reads
// -23 LUFS; 10 dB lower, 10 LU lower; silence after it is gated out.
TEST(Loudness, TheMeterReadsSignalsOfKnownLoudness) {
  const struct {
    const char* name;
    std::vector<int16_t> samples;
    double lufs;
  } cases[] = {
      {"-23 dBFS 1 kHz", made(20, [](double t) { return sine(t, 1000, -23); }, [](double t) { return sine(t, 1000, -23); }),
       -23},
      {"-33 dBFS 1 kHz", made(20, [](double t) { return sine(t, 1000, -33); }, [](double t) { return sine(t, 1000, -33); }),
       -33},
      {"then silence",
       made(20, [](double t) { return t < 10 ? sine(t, 1000, -23) : 0.0; },
            [](double t) { return t < 10 ? sine(t, 1000, -23) : 0.0; }),
       -23},
  };
  for (const auto& c : cases) {
    const std::optional<double> lufs = measured(c.samples);
    ASSERT_TRUE(lufs) << c.name;
    EXPECT_NEAR(*lufs, c.lufs, 0.2) << c.name;
  }
  EXPECT_FALSE(measured(std::vector<int16_t>(2 * 44100 * 5, 0)));
}

// The list written with a target: one tone quieter than either target.
class EvenLoudness : public WriterFixture {
 protected:
  explicit EvenLoudness(bool manualJobs = false) : WriterFixture(manualJobs) {}
  void SetUp() override {
    WriterFixture::SetUp();
    source = made(12, [](double t) { return sine(t, 440, -30) + sine(t, 3000, -40); },
                  [](double t) { return sine(t, 660, -32); });
    addSource("/w/a.wav", bytesOf(source));
    app.openWave("/w/a.wav");
    addRange("/w/a.wav", 0, 12 * 44100);
  }
  static std::vector<uint8_t> bytesOf(const std::vector<int16_t>& v) {
    std::vector<uint8_t> b(2 * v.size());
    for (size_t i = 0; i < v.size(); ++i) putLe16(&b[2 * i], uint16_t(v[i]));
    return b;
  }
  std::vector<int16_t> written(const std::string& path) const {
    const std::vector<uint8_t> bytes = payload(path);
    std::vector<int16_t> v(bytes.size() / 2);
    for (size_t i = 0; i < v.size(); ++i) v[i] = int16_t(getLe16(&bytes[2 * i]));
    return v;
  }
  void writeWith(MenuItem target, const std::string& path) {
    dispatchEvent(app.ctx, Event::choose(target));
    app.ctx.state.PLAYFLAG = kPlayIdle;
    write(path);
  }
  std::vector<int16_t> source;
};

// Each target is reached within ±0.5 LU, the measured loudness and the gain
// told once the file is written; without one the bytes are as ever.
TEST_F(EvenLoudness, TheWrittenFileReachesTheTargetAndTheTextTellsTheGain) {
  const double before = *measured(source);
  for (auto [item, lufs] : {std::pair{MenuItem::Loudness16, -16.0}, std::pair{MenuItem::Loudness23, -23.0}}) {
    writeWith(item, "/w/even.wav");
    EXPECT_NEAR(*measured(written("/w/even.wav")), lufs, 0.5);
    char gain[32];
    std::snprintf(gain, sizeof gain, "%+.1f dB", lufs - before);
    EXPECT_NE(app.lines().at(1).find(gain), std::string::npos) << app.lines().at(1);
    EXPECT_EQ(app.lines().at(1).rfind("notice: 音量をそろえました", 0), 0u);
  }
  writeWith(MenuItem::LoudnessOff, "/w/plain.wav");
  EXPECT_EQ(written("/w/plain.wav"), source);
  EXPECT_EQ(app.lines().at(1).rfind("mci: OPEN", 0), 0u);  // nothing to tell
}

// A coded file is measured as the WAV would be: the gain goes into the
// frames before the encoder.
TEST_F(EvenLoudness, ACodedFileReachesTheTargetToo) {
  writeWith(MenuItem::Loudness16, "/w/even.ogg");
  auto decoder = openSndfileDecoder(app.fs, "/w/even.ogg");
  ASSERT_TRUE(decoder.isOk());
  std::vector<int16_t> decoded(2 * 12 * 44100);
  auto got = decoder.value()->readShort(decoded.data(), decoded.size() / 2);
  ASSERT_TRUE(got.isOk() && *got == decoded.size() / 2);
  EXPECT_NEAR(*measured(decoded), -16, 0.5);
}

// A quiet tone with a loud click wants more gain than the click allows: the
// gain is lowered until the true peak stands at the ceiling, and the text
// says so. The pass measures true peaks only where the samples could make
// the highest one, which must find the same peak as measuring them all.
TEST_F(EvenLoudness, TheTruePeakCeilingLowersTheGain) {
  // The second click starts a stretch whose true peak is measured after
  // one that was not (the first click raised the bar): its history must
  // still be the frames before it.
  std::vector<int16_t> clicked = source;
  for (int i = 0; i < 20; ++i) clicked[2 * (100000 + i)] = int16_t(i % 2 ? 20000 : -20000);
  for (int i = 0; i < 40; ++i) clicked[2 * (409600 + i)] = int16_t(i % 2 ? 29000 : -29000);
  addSource("/w/click.wav", bytesOf(clicked));
  app.ctx.state.EDITFILE[0] = {"/w/click.wav", "click.wav"};
  auto plan = planWaveFile(app.ctx);
  ASSERT_TRUE(plan.isOk());
  auto pass = measureLoudness(app.fs, app.ctx.sound, plan.value(), {});
  ASSERT_TRUE(pass.isOk());
  EXPECT_NEAR(20 * std::log10(pass->truePeak), truePeakDb(clicked), 1e-9);

  writeWith(MenuItem::Loudness16, "/w/even.wav");
  const std::vector<int16_t> out = written("/w/even.wav");
  EXPECT_LE(truePeakDb(out), kTruePeakCeilingDb);
  EXPECT_GT(truePeakDb(out), kTruePeakCeilingDb - 0.3);
  EXPECT_LT(*measured(out), -16.5);
  EXPECT_NE(app.lines().at(1).find("トゥルーピークを-1 dBTP以下に抑えるため、ゲインを下げました"), std::string::npos);
}

// Digital silence cannot be measured: it is written as it is, and the text
// says why.
TEST_F(EvenLoudness, SilenceIsWrittenWithoutAGain) {
  app.ctx.list.clearLines();
  app.ctx.state.EDITCOUNT = 0;
  addBlank(44100);
  writeWith(MenuItem::Loudness23, "/w/even.wav");
  EXPECT_EQ(app.lines().at(1), "notice: 音量が小さすぎて測定できないため、音量を変えずに作成しました");
  EXPECT_EQ(written("/w/even.wav"), std::vector<int16_t>(2 * 44100, 0));
}

// The list measured behind the window once it stood still: piece by piece
// (over several pieces, joins smoothed) it finds what the whole pass finds;
// a write of that very list takes the gain from it without a pass of its
// own, and a write while it runs finishes it; a changed list or a
// rewritten source is measured anew.
class EvenLoudnessBehind : public EvenLoudness {
 protected:
  EvenLoudnessBehind() : EvenLoudness(true) {}
};

TEST_F(EvenLoudnessBehind, AListMeasuredBehindTheWindowIsWrittenWithoutAPass) {
  app.finishSurvey();
  addRange("/w/a.wav", 3 * 44100, 9 * 44100, 4);
  app.ctx.state.smoothJoins = true;
  dispatchEvent(app.ctx, Event::choose(MenuItem::Loudness16));
  auto plan = planWaveFile(app.ctx);
  ASSERT_TRUE(plan.isOk());
  auto whole = measureLoudness(app.fs, app.ctx.sound, plan.value(), {});
  ASSERT_TRUE(whole.isOk() && whole->integrated);
  writeWith(MenuItem::Loudness16, "/w/cold.wav");
  app.ctx.loudnessAhead.reset();  // nothing remembered from that write

  EXPECT_EQ(keepLoudnessMeasured(app.ctx, 1000), kLoudnessAheadDelayMs);  // not before it stood still
  EXPECT_EQ(keepLoudnessMeasured(app.ctx, 1000 + kLoudnessAheadDelayMs), -1);
  ASSERT_TRUE(loudnessBeingMeasured(app.ctx));
  EXPECT_EQ(app.manualWorker.runSteps(3), 3);
  // A write now finishes the pass begun: the same file as measured at once.
  writeWith(MenuItem::Loudness16, "/w/even.wav");
  EXPECT_FALSE(loudnessBeingMeasured(app.ctx));
  EXPECT_EQ(written("/w/even.wav"), written("/w/cold.wav"));

  app.ctx.loudnessAhead.reset();
  ++app.ctx.state.listRevision;
  keepLoudnessMeasured(app.ctx, 5000);
  keepLoudnessMeasured(app.ctx, 5000 + kLoudnessAheadDelayMs);
  app.manualWorker.runToEnd();
  auto ahead = measuredAhead(app.ctx, plan.value());
  ASSERT_TRUE(ahead && ahead->integrated);
  EXPECT_NEAR(*ahead->integrated, *whole->integrated, 1e-9);
  EXPECT_NEAR(ahead->truePeak, whole->truePeak, 1e-12);
  // What the write uses is what was remembered: told by a made-up reading.
  rememberLoudness(app.ctx, plan.value(), {-30.0, 0.1});
  writeWith(MenuItem::Loudness16, "/w/even.wav");
  EXPECT_NE(app.lines().at(1).find("+14.0 dB"), std::string::npos) << app.lines().at(1);

  app.fs.setModified("/w/a.wav", 42);
  EXPECT_FALSE(measuredAhead(app.ctx, plan.value()));
  ++app.ctx.state.listRevision;
  EXPECT_EQ(keepLoudnessMeasured(app.ctx, 9000), kLoudnessAheadDelayMs);
}

}  // namespace
}  // namespace pelisto::test
