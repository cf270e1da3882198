// An output that plays in simulated time: nothing is consumed until the
// clock is moved, then exactly the frames that fall due are pulled, and a
// source that is used up ends during that move.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/mci/audio_output.h"

namespace pelisto {

class SimulatedOutput final : public AudioOutput {
 public:
  explicit SimulatedOutput(int rate = 44100) : m_rate(rate) {}

  int rate() const override { return m_rate; }
  Status prepare() override;
  void release() override {
    stop();
    m_prepared = false;
  }
  Status start(std::shared_ptr<FrameSource> source, std::function<void()> onEnd) override;
  void stop() override;
  uint64_t consumed() const override { return m_consumed; }
  int latencyMs() const override { return m_latencyMs; }
  void setLatency(int ms) { m_latencyMs = ms; }

  // Moves the clock to nowMs (never backwards), consuming the frames due.
  void advanceTo(int64_t nowMs);
  int64_t now() const { return m_now; }
  // True between prepare() and release().
  bool prepared() const { return m_prepared; }

  // Test switches: keep every consumed frame in capture (interleaved
  // left, right); make prepare fail with reason.
  void setCapture(std::vector<int16_t>* capture) { m_capture = capture; }
  void failPrepare(std::string reason) { m_prepareError = std::move(reason); }

 private:
  int m_rate;
  int64_t m_now = 0;
  int64_t m_startMs = 0;
  uint64_t m_consumed = 0;
  std::shared_ptr<FrameSource> m_source;
  std::function<void()> m_onEnd;
  std::vector<int16_t> m_scratch;
  std::vector<int16_t>* m_capture = nullptr;
  std::string m_prepareError;
  bool m_prepared = false;
  int m_latencyMs = 0;
};

}  // namespace pelisto
