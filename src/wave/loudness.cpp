#include "wave/loudness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/coding.h"
#include "wave/threaded_sink.h"

namespace pelisto {
namespace {

const LoudnessTargetInfo kTargets[] = {
    {LoudnessTarget::kOff, MenuItem::LoudnessOff, "off", 0},
    {LoudnessTarget::kPodcast, MenuItem::Loudness16, "-16", -16},
    {LoudnessTarget::kBroadcast, MenuItem::Loudness23, "-23", -23},
};

// The true peak of a stretch of sound is at most this many times its
// largest sample, over the samples the interpolation filter takes in (the
// 4 × oversampling of BS.1770 meters; libebur128's reaches 1.87 at most).
constexpr double kPeakHeadroom = 2.0;
// Meters differ a little in how they oversample: the gain keeps this much
// below the ceiling, so that other meters read no more than it either.
constexpr double kCeilingMarginDb = 0.1;
// Frames before a stretch that the filter takes in: its history.
constexpr size_t kFilterFrames = 16;
// Frames whose largest sample decides at once whether their true peak is
// measured.
constexpr size_t kPeakBlockFrames = 256;
// Frames a step of the stepped pass measures: six seconds of sound, a few
// ms of work, so that a change to the list never waits long for the step
// under way.
constexpr uint64_t kStepFrames = kWriteChunk / kFrameSize;

double toDb(double factor) { return 20.0 * std::log10(factor); }

// The frames as 16-bit samples.
void samplesOf(const uint8_t* frames, size_t n, std::vector<int16_t>& samples) {
  samples.resize(2 * n);
  getLe16Samples(frames, 2 * n, samples.data());
}

// Every frame to the integrated meter.
class IntegratedSink final : public OutputSink {
 public:
  explicit IntegratedSink(std::unique_ptr<LoudnessMeter> meter) : m_meter(std::move(meter)) {}
  Status begin(uint64_t) override { return Status::ok(); }
  Status write(const uint8_t* frames, size_t n) override {
    samplesOf(frames, n, m_samples);
    return m_meter->add(m_samples.data(), n);
  }
  Status finish() override { return Status::ok(); }
  std::optional<double> integrated() { return m_meter->integrated(); }

 private:
  std::unique_ptr<LoudnessMeter> m_meter;
  std::vector<int16_t> m_samples;
};

// A stretch of frames to the true-peak meter only when its samples (and
// those the filter takes in before it) could make a peak above the largest
// sample met so far, which the true peak of the whole sound cannot be
// below.
class PeakSink final : public OutputSink {
 public:
  explicit PeakSink(std::unique_ptr<LoudnessMeter> meter) : m_meter(std::move(meter)) {}
  Status begin(uint64_t) override { return Status::ok(); }
  Status write(const uint8_t* frames, size_t n) override {
    samplesOf(frames, n, m_samples);
    for (size_t at = 0; at < n; at += kPeakBlockFrames) {
      if (Status st = stretch(m_samples.data() + 2 * at, std::min(kPeakBlockFrames, n - at)); !st) return st;
    }
    return Status::ok();
  }
  Status finish() override { return Status::ok(); }
  // The true peak, linear.
  double truePeak() const { return std::max(m_truePeak, m_samplePeak / 32768.0); }

 private:
  Status stretch(const int16_t* samples, size_t n) {
    int largest = 0;
    for (size_t i = 0; i < 2 * n; ++i) largest = std::max(largest, std::abs(int(samples[i])));
    m_samplePeak = std::max(m_samplePeak, double(largest));
    for (int16_t s : m_history) largest = std::max(largest, std::abs(int(s)));
    if (kPeakHeadroom * largest >= m_samplePeak) {
      // The filter's history is the frames before, added apart so that
      // only this stretch's peaks count.
      if (!m_continues) {
        if (Status st = m_meter->add(m_history.data(), kFilterFrames); !st) return st;
      }
      if (Status st = m_meter->add(samples, n); !st) return st;
      m_truePeak = std::max(m_truePeak, m_meter->lastTruePeak());
      m_continues = true;
    } else {
      m_continues = false;
    }
    keepHistory(samples, n);
    return Status::ok();
  }

  // The last kFilterFrames frames of the sound so far.
  void keepHistory(const int16_t* samples, size_t n) {
    const size_t keep = std::min(n, kFilterFrames);
    std::copy(m_history.begin() + 2 * keep, m_history.end(), m_history.begin());
    std::copy(samples + 2 * (n - keep), samples + 2 * n, m_history.end() - 2 * keep);
  }

  std::unique_ptr<LoudnessMeter> m_meter;
  std::vector<int16_t> m_samples;
  std::array<int16_t, 2 * kFilterFrames> m_history{};
  bool m_continues = false;  // the meter's last frames are those just before
  double m_samplePeak = 0;   // the largest sample so far (of 32768)
  double m_truePeak = 0;     // the highest true peak measured
};

// The two meters of a first pass.
struct PassMeters {
  IntegratedSink loudness;
  PeakSink peaks;
  LoudnessMeasurement measurement() { return LoudnessMeasurement{loudness.integrated(), peaks.truePeak()}; }
};

Result<std::unique_ptr<PassMeters>> makeMeters(SoundLibrary& library) {
  auto integrated = library.newLoudnessMeter(2, kFramesPerSecond, LoudnessMeasure::kIntegrated);
  if (!integrated) return integrated.status();
  auto peaks = library.newLoudnessMeter(2, kFramesPerSecond, LoudnessMeasure::kTruePeak);
  if (!peaks) return peaks.status();
  return std::unique_ptr<PassMeters>(
      new PassMeters{IntegratedSink(std::move(integrated.value())), PeakSink(std::move(peaks.value()))});
}

// The pass's sink: the frames to the integrated meter (or a sink that
// hands them to it) and to the true-peak meter.
class MeterSink final : public OutputSink {
 public:
  MeterSink(OutputSink& integrated, OutputSink& peaks) : m_integrated(integrated), m_peaks(peaks) {}
  Status begin(uint64_t) override { return Status::ok(); }
  Status write(const uint8_t* frames, size_t n) override {
    if (Status st = m_integrated.write(frames, n); !st) return st;
    return m_peaks.write(frames, n);
  }
  Status finish() override { return m_integrated.finish(); }

 private:
  OutputSink& m_integrated;
  OutputSink& m_peaks;
};

std::string signedDb(double db) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f dB", std::abs(db) < 0.05 ? 0.0 : db);
  return text;
}

std::string lufsText(double lufs) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f LUFS", lufs);
  return text;
}

}  // namespace

const LoudnessTargetInfo& loudnessTargetInfo(LoudnessTarget target) {
  for (const LoudnessTargetInfo& t : kTargets) {
    if (t.target == target) return t;
  }
  return kTargets[0];
}

std::optional<LoudnessTarget> loudnessTargetNamed(const std::string& key) {
  for (const LoudnessTargetInfo& t : kTargets) {
    if (key == t.key) return t.target;
  }
  return std::nullopt;
}

std::optional<LoudnessTarget> loudnessTargetOf(MenuItem item) {
  for (const LoudnessTargetInfo& t : kTargets) {
    if (item == t.item) return t.target;
  }
  return std::nullopt;
}

double LoudnessGain::factor() const { return std::pow(10.0, db / 20.0); }

LoudnessGain gainFor(double targetLufs, const LoudnessMeasurement& measurement) {
  LoudnessGain gain;
  gain.measured = measurement.integrated;
  if (!measurement.integrated) return gain;
  gain.db = targetLufs - *measurement.integrated;
  if (measurement.truePeak > 0) {
    const double room = kTruePeakCeilingDb - kCeilingMarginDb - toDb(measurement.truePeak);
    if (gain.db > room) {
      gain.db = room;
      gain.peakLimited = true;
    }
  }
  return gain;
}

Result<LoudnessMeasurement> measureLoudness(FileSystem& fs, SoundLibrary& library, const WritePlan& plan,
                                            PassProgress progress) {
  auto meters = makeMeters(library);
  if (!meters) return meters.status();
  // The integrated meter on a thread of its own.
  ThreadedSink integrated(meters.value()->loudness);
  MeterSink both(integrated, meters.value()->peaks);
  if (Status st = writeFrames(fs, plan, both, progress); !st) return st;
  return meters.value()->measurement();
}

// Both meters on the caller's thread.
struct SteppedLoudnessPass::Meters {
  std::unique_ptr<PassMeters> meters;
  MeterSink both{meters->loudness, meters->peaks};
};

Result<std::unique_ptr<SteppedLoudnessPass>> SteppedLoudnessPass::start(FileSystem& fs, SoundLibrary& library,
                                                                        WritePlan plan) {
  auto meters = makeMeters(library);
  if (!meters) return meters.status();
  auto both = std::unique_ptr<Meters>(new Meters{std::move(meters.value())});
  return std::unique_ptr<SteppedLoudnessPass>(new SteppedLoudnessPass(fs, std::move(plan), std::move(both)));
}

SteppedLoudnessPass::SteppedLoudnessPass(FileSystem& fs, WritePlan plan, std::unique_ptr<Meters> meters)
    : m_fs(fs), m_plan(std::move(plan)), m_first(m_plan.firstFrame), m_frames(m_plan.frames), m_meters(std::move(meters)) {}

SteppedLoudnessPass::~SteppedLoudnessPass() = default;

bool SteppedLoudnessPass::step() {
  if (!m_status || m_done == m_frames) return false;
  // The next piece as a window of the plan: the same frames, fades
  // included, as the whole pass gives there.
  m_plan.firstFrame = m_first + m_done;
  m_plan.frames = std::min(kStepFrames, m_frames - m_done);
  m_status = writeFrames(m_fs, m_plan, m_meters->both, {});
  m_done += m_plan.frames;
  return m_status && m_done < m_frames;
}

Result<LoudnessMeasurement> SteppedLoudnessPass::finish(PassProgress progress) {
  while (step()) {
    if (progress.busy && !progress.busy->update(progress.before + m_done, progress.total)) {
      return Status::error(StatusCode::kCancelled, kMsgCancelled);
    }
  }
  if (!m_status) return m_status;
  return measurement();
}

LoudnessMeasurement SteppedLoudnessPass::measurement() const {
  return m_meters->meters->measurement();
}

std::string loudnessReport(double targetLufs, const LoudnessGain& gain) {
  if (!gain.measured) {
    return "音量が小さすぎて測定できないため、音量を変えずに作成しました";
  }
  std::string text = "音量をそろえました（目標 " + lufsText(targetLufs) + "）\n測定した音量：" +
                     lufsText(*gain.measured) + "\n適用したゲイン：" + signedDb(gain.db);
  if (gain.peakLimited) {
    text += "\nトゥルーピークを" + std::to_string(int(kTruePeakCeilingDb)) +
            " dBTP以下に抑えるため、ゲインを下げました\n仕上がりの音量：" + lufsText(*gain.measured + gain.db);
  }
  return text;
}

}  // namespace pelisto
