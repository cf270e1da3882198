// The loudness meter over libebur128.
#include <ebur128.h>

#include <algorithm>
#include <cmath>

#include "platform/sound_library.h"

namespace pelisto {
namespace {

class Ebur128Meter final : public LoudnessMeter {
 public:
  Ebur128Meter(ebur128_state* state, bool truePeak) : m_state(state), m_truePeak(truePeak) {}
  ~Ebur128Meter() override { ebur128_destroy(&m_state); }

  Status add(const int16_t* frames, size_t n) override {
    if (n == 0) return Status::ok();
    if (ebur128_add_frames_short(m_state, frames, n) != EBUR128_SUCCESS) {
      return Status::error(StatusCode::kIoError, "the loudness meter failed");
    }
    return Status::ok();
  }

  std::optional<double> integrated() override {
    double lufs = 0;
    if (m_truePeak || ebur128_loudness_global(m_state, &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs)) {
      return std::nullopt;
    }
    return lufs;
  }

  double lastTruePeak() override {
    if (!m_truePeak) return 0;
    double peak = 0;
    for (unsigned c = 0; c < m_state->channels; ++c) {
      double p = 0;
      if (ebur128_prev_true_peak(m_state, c, &p) == EBUR128_SUCCESS) peak = std::max(peak, p);
    }
    return peak;
  }

 private:
  ebur128_state* m_state;
  bool m_truePeak;
};

}  // namespace

Result<std::unique_ptr<LoudnessMeter>> newEbur128Meter(int channels, int rate, LoudnessMeasure measure) {
  const bool truePeak = measure == LoudnessMeasure::kTruePeak;
  const int mode = truePeak ? EBUR128_MODE_TRUE_PEAK : EBUR128_MODE_I;
  ebur128_state* state = channels > 0 && rate > 0
                             ? ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate), mode)
                             : nullptr;
  if (!state) return Status::error(StatusCode::kIoError, "the loudness meter cannot be made");
  return std::unique_ptr<LoudnessMeter>(std::make_unique<Ebur128Meter>(state, truePeak));
}

}  // namespace pelisto
