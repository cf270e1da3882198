// The resampler over libsoxr at its high-quality setting (20-bit precision,
// linear phase), on interleaved 32-bit float frames.
#include <algorithm>
#include <cmath>

#include "platform/sound_library.h"
#include "system/sound_libraries.h"

namespace pelisto {
namespace {

class SoxrResampler final : public Resampler {
 public:
  SoxrResampler(const SoxrFunctions& lib, soxr_t soxr, double ratio, int channels)
      : m_lib(lib),
        m_soxr(soxr),
        m_ratio(ratio),
        m_channels(static_cast<size_t>(channels)),
        m_stepFrames(std::max<size_t>(1, static_cast<size_t>(kStepRoom / ratio))) {}
  ~SoxrResampler() override { m_lib.destroy(m_soxr); }

  Status process(const float* in, size_t frames, std::vector<float>& out) override {
    while (frames > 0) {
      size_t used = 0;
      const size_t before = out.size();
      Status st = step(in, std::min(frames, m_stepFrames), &used, out);
      if (!st) return st;
      if (used == 0 && out.size() == before) {
        return Status::error(StatusCode::kIoError, "the resampler takes no input");
      }
      in += used * m_channels;
      frames -= used;
    }
    return Status::ok();
  }

  Status finish(std::vector<float>& out) override {
    for (;;) {
      const size_t before = out.size();
      Status st = step(nullptr, 0, nullptr, out);
      if (!st) return st;
      if (out.size() == before) return Status::ok();
    }
  }

 private:
  // One call of the library: room for the output of `frames` input frames
  // (and some of what it holds back), appended to out.
  Status step(const float* in, size_t frames, size_t* used, std::vector<float>& out) {
    const size_t room = static_cast<size_t>(std::ceil(static_cast<double>(frames) * m_ratio)) + 1024;
    const size_t start = out.size();
    out.resize(start + room * m_channels);
    size_t produced = 0;
    soxr_error_t error = m_lib.process(m_soxr, in, frames, used, out.data() + start, room, &produced);
    out.resize(start + produced * m_channels);
    if (error) return Status::error(StatusCode::kIoError, error);
    return Status::ok();
  }

  // Output frames one step makes room for (plus what the library holds
  // back): the input is taken in steps of at most m_stepFrames frames, so
  // that the room does not grow with the ratio.
  static constexpr double kStepRoom = 8192;

  const SoxrFunctions& m_lib;
  soxr_t m_soxr;
  double m_ratio;
  size_t m_channels;
  size_t m_stepFrames;
};

}  // namespace

Result<std::unique_ptr<Resampler>> newSoxrResampler(int inRate, int outRate, int channels) {
  if (inRate < 1 || outRate < 1 || channels < 1) {
    return Status::error(StatusCode::kInvalid, "bad resampler rates or channels");
  }
  std::string why;
  const SoxrFunctions* lib = soxrFunctions(why);
  if (!lib) return Status::error(StatusCode::kIoError, why);
  soxr_error_t error = nullptr;
  const soxr_io_spec_t io = lib->ioSpec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = lib->qualitySpec(SOXR_HQ, 0);
  soxr_t soxr = lib->create(inRate, outRate, static_cast<unsigned>(channels), &error, &io, &quality, nullptr);
  if (!soxr || error) {
    if (soxr) lib->destroy(soxr);
    return Status::error(StatusCode::kIoError, error ? error : "soxr_create failed");
  }
  return std::unique_ptr<Resampler>(
      std::make_unique<SoxrResampler>(*lib, soxr, static_cast<double>(outRate) / inRate, channels));
}

}  // namespace pelisto
