#include "view/pause_search.h"

#include <algorithm>
#include <array>
#include <memory>

#include "view/frame_stats.h"
#include "view/pauses.h"
#include "view/wave_survey.h"

namespace pelisto {
namespace {

constexpr uint64_t kBlockFrames = WAVEBLOCK / kFrameSize;
constexpr uint64_t kWindowBlocks = 256;  // read at once where the survey has not been
constexpr uint64_t kQuietBlocks = 16 * kWindowBlocks;  // a search this short holds nothing off
inline constexpr const char* kBusySearching = "無音を探しています";

// The level of each block of the open file (the mean square of its louder
// channel): the survey's where it has measured, else measured from the
// file, a window of blocks at a time, in the direction of the search.
class Levels {
 public:
  explicit Levels(AppContext& ctx)
      : m_ctx(ctx),
        m_survey(ctx.state.survey),
        m_frames(ctx.state.DATASIZE / kFrameSize),
        m_blocks((m_frames + kBlockFrames - 1) / kBlockFrames),
        m_silence(silenceLevel(ctx.state.pauses.settings)) {}

  uint64_t frames() const { return m_frames; }
  uint64_t blocks() const { return m_blocks; }
  bool silent(uint64_t k, bool forward) { return level(k, forward) < m_silence; }

 private:
  float level(uint64_t k, bool forward) {
    if (m_survey && k < m_survey->blocksDone()) return m_survey->level(k);
    if (k < m_first || k >= m_first + m_window.size()) load(k, forward);
    return m_window[k - m_first];
  }
  void load(uint64_t k, bool forward) {
    m_first = forward ? k : k - std::min(k, kWindowBlocks - 1);
    const uint64_t last = std::min(m_blocks, m_first + kWindowBlocks);
    m_window.assign(last - m_first, 0.0f);  // what the file does not hold is silence
    File* file = m_ctx.files.file(m_ctx.state.WAVEFNUM);
    std::array<int16_t, kBlockFrames * 2> block;
    for (uint64_t b = m_first; b < last && file; ++b) {
      const uint64_t frames = std::min(kBlockFrames, m_frames - b * kBlockFrames);
      auto got = file->read(kHeaderSize + b * WAVEBLOCK, reinterpret_cast<uint8_t*>(block.data()), frames * kFrameSize);
      if (!got || got.value() < frames * kFrameSize) break;
      const FrameStats s = measureFrames(block.data(), frames);
      m_window[b - m_first] = static_cast<float>(std::max(s.left, s.right) / static_cast<double>(frames));
    }
  }

  AppContext& m_ctx;
  std::shared_ptr<const WaveSurvey> m_survey;
  uint64_t m_frames, m_blocks;
  double m_silence;
  std::vector<float> m_window;
  uint64_t m_first = 0;
};

// Progress of a search that reads the file, cancellable; shown only when
// it lasts (the busy scope waits half a second before it shows).
class Progress {
 public:
  explicit Progress(AppContext& ctx) : m_ctx(ctx) {}
  // False once the user asked to cancel.
  bool update(uint64_t done, uint64_t total) {
    if (++m_calls % kWindowBlocks != 0 || m_calls < kQuietBlocks) return true;
    if (!m_busy) m_busy = m_ctx.ui.beginBusy(kBusySearching, true);
    return m_busy->update(done, total);
  }

 private:
  AppContext& m_ctx;
  std::unique_ptr<BusyScope> m_busy;
  uint64_t m_calls = 0;
};

PauseFound searchFile(AppContext& ctx, int64_t from, bool forward, bool strict) {
  Levels levels(ctx);
  const uint64_t n = levels.blocks();
  if (n == 0) return {};
  PauseRuns runs(ctx.state.pauses.settings, levels.frames());
  Progress progress(ctx);
  auto wanted = [&](const std::optional<Pause>& p) {
    if (!p) return false;
    if (!forward) return p->middle() < from;
    return strict ? p->middle() > from : p->middle() >= from;
  };
  const uint64_t at = std::min<uint64_t>(static_cast<uint64_t>(std::max<int64_t>(from, 0)) / kBlockFrames, n - 1);
  if (forward) {
    // From where the silence around `from` begins, so that its pause is
    // whole.
    uint64_t k = at;
    while (k > 0 && levels.silent(k - 1, false)) --k;
    for (; k < n; ++k) {
      if (!progress.update(k, n)) return {std::nullopt, true};
      if (auto p = runs.add(k, levels.silent(k, true)); wanted(p)) return {p};
    }
  } else {
    uint64_t k = at;
    while (k + 1 < n && levels.silent(k + 1, true)) ++k;
    for (uint64_t left = k + 1; left-- > 0;) {
      if (!progress.update(k - left, k + 1)) return {std::nullopt, true};
      if (auto p = runs.add(left, levels.silent(left, false)); wanted(p)) return {p};
    }
  }
  if (auto p = runs.end(); wanted(p)) return {p};
  return {};
}

}  // namespace

PauseFound pauseFrom(AppContext& ctx, int64_t from, bool forward, bool strict) {
  const PauseState& pauses = ctx.state.pauses;
  if (!pauses.complete) return searchFile(ctx, from, forward, strict);
  const std::vector<Pause>& found = pauses.found;
  if (forward) {
    for (const Pause& p : found) {
      if (strict ? p.middle() > from : p.middle() >= from) return {p};
    }
  } else {
    for (auto p = found.rbegin(); p != found.rend(); ++p) {
      if (p->middle() < from) return {*p};
    }
  }
  return {};
}

std::optional<std::vector<Pause>> allPauses(AppContext& ctx) {
  if (ctx.state.pauses.complete) return ctx.state.pauses.found;
  Levels levels(ctx);
  PauseRuns runs(ctx.state.pauses.settings, levels.frames());
  Progress progress(ctx);
  std::vector<Pause> found;
  for (uint64_t k = 0; k < levels.blocks(); ++k) {
    if (!progress.update(k, levels.blocks())) return std::nullopt;
    if (auto p = runs.add(k, levels.silent(k, true))) found.push_back(*p);
  }
  if (auto p = runs.end()) found.push_back(*p);
  return found;
}

}  // namespace pelisto
