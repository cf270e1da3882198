// The resampler over libsoxr at its high-quality setting (20-bit precision,
// linear phase), on interleaved 32-bit float frames.
//
// The channels are split into two groups (left and right for stereo), each
// with a libsoxr instance of its own on a helper thread: a block handed to
// process() is resampled there while the caller reads and writes, and its
// frames are handed out by the next call (or by finish()). Which frames
// come out of which call depends on the blocks alone, never on timing, and
// libsoxr treats channels apart, so the frames are those of one instance
// over all the channels.
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "platform/helper_thread.h"
#include "platform/sound_library.h"

namespace pelisto {
namespace {

// One libsoxr instance over interleaved frames of `channels` channels.
class SoxrChannels {
 public:
  SoxrChannels(soxr_t soxr, double ratio, size_t channels)
      : m_soxr(soxr),
        m_ratio(ratio),
        m_channels(channels),
        m_stepFrames(std::max<size_t>(1, static_cast<size_t>(kStepRoom / ratio))) {}
  SoxrChannels(const SoxrChannels&) = delete;
  SoxrChannels& operator=(const SoxrChannels&) = delete;
  ~SoxrChannels() { soxr_delete(m_soxr); }

  static Result<std::unique_ptr<SoxrChannels>> make(int inRate, int outRate, size_t channels) {
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_t soxr = soxr_create(inRate, outRate, static_cast<unsigned>(channels), &error, &io, &quality,
                              nullptr);
    if (!soxr || error) {
      if (soxr) soxr_delete(soxr);
      return Status::error(StatusCode::kIoError, error ? error : "soxr_create failed");
    }
    return std::make_unique<SoxrChannels>(soxr, static_cast<double>(outRate) / inRate, channels);
  }

  Status process(const float* in, size_t frames, std::vector<float>& out) {
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

  Status finish(std::vector<float>& out) {
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
    soxr_error_t error = soxr_process(m_soxr, in, frames, used, out.data() + start, room, &produced);
    out.resize(start + produced * m_channels);
    if (error) return Status::error(StatusCode::kIoError, error);
    return Status::ok();
  }

  // Output frames one step makes room for (plus what the library holds
  // back): the input is taken in steps of at most m_stepFrames frames, so
  // that the room does not grow with the ratio.
  static constexpr double kStepRoom = 8192;

  soxr_t m_soxr;
  double m_ratio;
  size_t m_channels;
  size_t m_stepFrames;
};

// Copies `count` samples of each of `frames` frames, `from` frames `fromStep`
// samples apart, `to` frames `toStep` apart.
void stride(const float* from, size_t fromStep, float* to, size_t toStep, size_t frames, size_t count) {
  if (count == 1) {  // one channel of stereo: the common case, kept simple for the compiler
    for (size_t f = 0; f < frames; ++f) to[f * toStep] = from[f * fromStep];
    return;
  }
  for (size_t f = 0; f < frames; ++f, from += fromStep, to += toStep) std::copy_n(from, count, to);
}

// A group of neighbouring channels and the block it works on.
struct Lane {
  size_t first = 0;  // the group's first channel
  size_t count = 0;  // its channels
  std::unique_ptr<SoxrChannels> soxr;
  std::vector<float> in;  // the group's frames of the block, interleaved
  bool last = false;      // no block: what the library holds back
  std::vector<float> out;
  Status status;

  void work() {
    out.clear();
    status = last ? soxr->finish(out) : soxr->process(in.data(), in.size() / count, out);
  }
};

class LaneResampler final : public Resampler {
 public:
  LaneResampler(std::vector<Lane> lanes, size_t channels)
      : m_lanes(std::move(lanes)), m_channels(channels) {
    for (Lane& lane : m_lanes) m_threads.push_back(std::make_unique<HelperThread>([&lane] { lane.work(); }));
  }

  Status process(const float* in, size_t frames, std::vector<float>& out) override {
    if (Status st = collect(out); !st) return st;
    hand(in, frames);
    return Status::ok();
  }

  Status finish(std::vector<float>& out) override {
    if (Status st = collect(out); !st) return st;
    hand(nullptr, 0);
    return collect(out);
  }

 private:
  // Gives each lane its channels of the block (none: the end) and starts it.
  void hand(const float* in, size_t frames) {
    for (size_t i = 0; i < m_lanes.size(); ++i) {
      Lane& lane = m_lanes[i];
      lane.last = in == nullptr;
      lane.in.resize(frames * lane.count);
      stride(in + lane.first, m_channels, lane.in.data(), lane.count, frames, lane.count);
      m_threads[i]->start();
    }
    m_inHand = true;
  }

  // Waits for the block in hand and appends its frames to out.
  Status collect(std::vector<float>& out) {
    if (!m_inHand) return Status::ok();
    m_inHand = false;
    for (auto& thread : m_threads) thread->wait();
    const size_t frames = m_lanes[0].out.size() / m_lanes[0].count;
    for (const Lane& lane : m_lanes) {
      if (!lane.status) return lane.status;
      if (lane.out.size() != frames * lane.count) {
        return Status::error(StatusCode::kIoError, "the resampler's channels came out of step");
      }
    }
    const size_t start = out.size();
    out.resize(start + frames * m_channels);
    for (const Lane& lane : m_lanes) {
      stride(lane.out.data(), lane.count, out.data() + start + lane.first, m_channels, frames, lane.count);
    }
    return Status::ok();
  }

  std::vector<Lane> m_lanes;
  size_t m_channels;
  bool m_inHand = false;  // the lanes work on a block not yet collected
  // Declared after the lanes: the threads end before the lanes go.
  std::vector<std::unique_ptr<HelperThread>> m_threads;
};

}  // namespace

Result<std::unique_ptr<Resampler>> newSoxrResampler(int inRate, int outRate, int channels) {
  if (inRate < 1 || outRate < 1 || channels < 1) {
    return Status::error(StatusCode::kInvalid, "bad resampler rates or channels");
  }
  const size_t all = static_cast<size_t>(channels);
  std::vector<Lane> lanes;
  for (size_t first = 0; first < all;) {
    Lane lane;
    lane.first = first;
    lane.count = lanes.empty() ? (all + 1) / 2 : all - first;
    auto soxr = SoxrChannels::make(inRate, outRate, lane.count);
    if (!soxr) return soxr.status();
    lane.soxr = std::move(soxr.value());
    first += lane.count;
    lanes.push_back(std::move(lane));
  }
  return std::unique_ptr<Resampler>(std::make_unique<LaneResampler>(std::move(lanes), all));
}

}  // namespace pelisto
