// Even loudness: the written list brought to a target loudness (−16 LUFS
// for podcasts, −23 LUFS under EBU R128) by one gain. A first pass
// measures the list's integrated loudness (ITU-R BS.1770) and its true
// peak; the gain then reaches the target, lowered where needed so that
// the true peak stays at or below −1 dBTP. A gain only: no compression,
// no limiting.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/app_state.h"
#include "platform/controls.h"
#include "platform/sound_library.h"
#include "wave/frame_writer.h"
#include "wave/write_plan.h"

namespace pelisto {

struct LoudnessTargetInfo {
  LoudnessTarget target;
  MenuItem item;    // its choice in 編集 → 音量をそろえる
  const char* key;  // the name it is remembered under
  double lufs;      // 0 for kOff
};
const LoudnessTargetInfo& loudnessTargetInfo(LoudnessTarget target);
// The target remembered under key, if any.
std::optional<LoudnessTarget> loudnessTargetNamed(const std::string& key);
// The target a menu item chooses, if it chooses one.
std::optional<LoudnessTarget> loudnessTargetOf(MenuItem item);

// The name the choice is remembered under between runs.
inline constexpr const char* kLoudnessChoice = "loudness";
// The highest true peak a gain may raise the sound to, in dBTP.
inline constexpr double kTruePeakCeilingDb = -1.0;

// What the first pass found.
struct LoudnessMeasurement {
  std::optional<double> integrated;  // LUFS; nothing: too quiet to measure
  double truePeak = 0;               // linear, full scale 1
};

// The gain for a target, in dB: target minus the measured loudness,
// lowered so that the true peak times the gain stays at or below the
// ceiling; 0 for a sound too quiet to measure.
struct LoudnessGain {
  std::optional<double> measured;  // LUFS
  double db = 0;
  bool peakLimited = false;  // lowered for the ceiling
  double factor() const;     // the gain as a factor of the samples
};
LoudnessGain gainFor(double targetLufs, const LoudnessMeasurement& measurement);

// The first pass: every frame of the plan, fades included, through the
// meter. True peaks are measured only where they may be the highest (the
// rest is bounded by the samples alone), which spares most of their cost.
Result<LoudnessMeasurement> measureLoudness(FileSystem& fs, SoundLibrary& library, const WritePlan& plan,
                                            PassProgress progress);

// The same pass run piece by piece on the caller's thread, for a job
// behind the window: each step measures the next piece of the plan (a few
// ms of work), so that the job can be ended between any two.
class SteppedLoudnessPass {
 public:
  static Result<std::unique_ptr<SteppedLoudnessPass>> start(FileSystem& fs, SoundLibrary& library,
                                                            WritePlan plan);
  ~SteppedLoudnessPass();
  // Measures the next piece; false once every frame is measured or a
  // piece failed (status() then says why).
  bool step();
  const Status& status() const { return m_status; }
  // What the pass found, once step() has returned false with status ok.
  LoudnessMeasurement measurement() const;
  // Runs the remaining steps here, telling progress the frames measured
  // (those measured before included); kCancelled on a cancel.
  Result<LoudnessMeasurement> finish(PassProgress progress);

 private:
  struct Meters;
  SteppedLoudnessPass(FileSystem& fs, WritePlan plan, std::unique_ptr<Meters> meters);

  FileSystem& m_fs;
  WritePlan m_plan;  // its window set to each piece in turn
  uint64_t m_first, m_frames;  // the plan's own window
  std::unique_ptr<Meters> m_meters;
  uint64_t m_done = 0;  // frames of the window measured
  Status m_status;
};

// The text that tells, once the file is written, what was measured and
// which gain was applied.
std::string loudnessReport(double targetLufs, const LoudnessGain& gain);

}  // namespace pelisto
