// A sink that hands its frames to another on a helper thread: the frames
// of a list are made on the caller's thread (sources read, joins faded, the
// gain applied) while the other sink codes or measures the frames made
// before them. The two meet through a queue of kQueuedBlocks blocks of at
// most kQueuedFrames frames (platform/block_pipe.h); the inner sink gets
// the frames in order, as it would without the thread.
//
// With a gain, the frames are scaled on their way into the queue, on the
// caller's thread: the scaling takes the place of the copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/block_pipe.h"
#include "wave/convert_output.h"
#include "wave/output_sink.h"

namespace pelisto {

inline constexpr size_t kQueuedBlocks = 8;
inline constexpr size_t kQueuedFrames = 32768;

class ThreadedSink final : public OutputSink {
 public:
  // inner is used only by the helper from the first write until finish
  // has waited for it; begin and finish run it on the caller's thread.
  explicit ThreadedSink(OutputSink& inner, std::optional<DitheredGain> gain = {});

  Status begin(uint64_t frames) override { return m_inner.begin(frames); }
  // Queues the frames; the inner sink's failure on frames handed earlier
  // is returned here (or by finish), and no later frames reach it.
  Status write(const uint8_t* frames, size_t n) override;
  // Waits until the helper is done, then finishes the inner sink.
  Status finish() override;

 private:
  OutputSink& m_inner;
  const std::optional<DitheredGain> m_gain;
  uint64_t m_samples = 0;  // samples queued so far (the gain's noise follows their numbers)
  BlockPipe<std::vector<uint8_t>> m_queue;  // the last member: its helper uses the others
};

}  // namespace pelisto
