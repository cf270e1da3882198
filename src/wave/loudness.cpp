#include "wave/loudness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/coding.h"

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
constexpr size_t kPeakBlockFrames = 4096;

double toDb(double factor) { return 20.0 * std::log10(factor); }

// The pass's sink: every frame to the integrated meter; a stretch to the
// true-peak meter only when its samples (and those the filter takes in
// before it) could make a peak above the largest sample met so far, which
// the true peak of the whole sound cannot be below.
class MeterSink final : public OutputSink {
 public:
  MeterSink(std::unique_ptr<LoudnessMeter> integrated, std::unique_ptr<LoudnessMeter> peaks)
      : m_integrated(std::move(integrated)), m_peaks(std::move(peaks)) {}

  Status begin(uint64_t) override { return Status::ok(); }

  Status write(const uint8_t* frames, size_t n) override {
    m_samples.resize(2 * n);
    for (size_t i = 0; i < 2 * n; ++i) m_samples[i] = static_cast<int16_t>(getLe16(frames + 2 * i));
    if (Status st = m_integrated->add(m_samples.data(), n); !st) return st;
    for (size_t at = 0; at < n; at += kPeakBlockFrames) {
      if (Status st = stretch(m_samples.data() + 2 * at, std::min(kPeakBlockFrames, n - at)); !st) return st;
    }
    return Status::ok();
  }

  Status finish() override { return Status::ok(); }

  LoudnessMeasurement result() {
    return LoudnessMeasurement{m_integrated->integrated(), std::max(m_truePeak, m_samplePeak / 32768.0)};
  }

 private:
  Status stretch(const int16_t* samples, size_t n) {
    int largest = 0;
    for (size_t i = 0; i < 2 * n; ++i) largest = std::max(largest, std::abs(int(samples[i])));
    m_samplePeak = std::max(m_samplePeak, double(largest));
    for (int16_t s : m_history) largest = std::max(largest, std::abs(int(s)));
    if (kPeakHeadroom * largest >= m_samplePeak) {
      // The filter's history is the frames before, added apart so that
      // only this stretch's peaks count.
      if (!m_peaksContinue) {
        if (Status st = m_peaks->add(m_history.data(), kFilterFrames); !st) return st;
      }
      if (Status st = m_peaks->add(samples, n); !st) return st;
      m_truePeak = std::max(m_truePeak, m_peaks->lastTruePeak());
      m_peaksContinue = true;
    } else {
      m_peaksContinue = false;
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

  std::unique_ptr<LoudnessMeter> m_integrated;
  std::unique_ptr<LoudnessMeter> m_peaks;
  std::vector<int16_t> m_samples;
  std::array<int16_t, 2 * kFilterFrames> m_history{};
  bool m_peaksContinue = false;  // the peak meter's last frames are those just before
  double m_samplePeak = 0;       // the largest sample so far (of 32768)
  double m_truePeak = 0;         // the highest true peak measured
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
  auto integrated = library.newLoudnessMeter(2, kFramesPerSecond, LoudnessMeasure::kIntegrated);
  if (!integrated) return integrated.status();
  auto peaks = library.newLoudnessMeter(2, kFramesPerSecond, LoudnessMeasure::kTruePeak);
  if (!peaks) return peaks.status();
  MeterSink sink(std::move(integrated.value()), std::move(peaks.value()));
  if (Status st = writeFrames(fs, plan, sink, 1.0, progress); !st) return st;
  return sink.result();
}

std::string loudnessReport(double targetLufs, const LoudnessGain& gain) {
  if (!gain.measured) {
    return "音量が小さすぎて測定できないため、音量を変えずに作成しました";
  }
  std::string text = "音量をそろえました（目標 " + lufsText(targetLufs) + "）\n測定した音量：" +
                     lufsText(*gain.measured) + "\n適用したゲイン：" + signedDb(gain.db);
  if (gain.peakLimited) {
    text += "\nトゥルーピークを" + std::to_string(int(kTruePeakCeilingDb)) +
            " dBTP以下に抑えるためゲインを下げました（仕上がり " + lufsText(*gain.measured + gain.db) + "）";
  }
  return text;
}

}  // namespace pelisto
