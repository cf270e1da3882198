// A range of a sound's frames as a FrameSource at the output's rate:
// decoded to 16-bit stereo and, when the rates differ, resampled by linear
// interpolation. Reads the file in blocks as it plays.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "system/mci/audio_output.h"
#include "system/mci/wav_reader.h"

namespace pelisto {

class RangeSource final : public FrameSource {
 public:
  // Plays source frames [firstFrame, endFrame) of reader at outRate frames
  // per second.
  RangeSource(std::shared_ptr<FrameReader> reader, uint64_t firstFrame, uint64_t endFrame, int outRate);

  size_t pull(int16_t* dst, size_t frames) override;
  uint64_t totalFrames() const override { return m_total; }
  // True once the sound ended before the range's end: a read of the file
  // failed, or the file no longer held the frames (it was cut short).
  bool endedEarly() const { return m_endedEarly.load(); }
  // Output frames handed out by pull() so far.
  uint64_t delivered() const { return m_delivered.load(); }

 private:
  // Makes relative source frame i available in the buffer; false past the
  // range's end, on a read error, or when the file no longer holds it.
  bool ensure(uint64_t i);
  // Ends the sound at the next output frame.
  void endEarly();
  const int16_t* frameAt(uint64_t i) const { return &m_buf[2 * (i - m_bufFirst)]; }

  std::shared_ptr<FrameReader> m_reader;
  uint64_t m_first;
  uint64_t m_count;  // source frames in the range
  uint64_t m_srcRate;
  uint64_t m_outRate;
  uint64_t m_total;  // output frames
  uint64_t m_next = 0;  // next output frame
  std::vector<int16_t> m_buf;
  uint64_t m_bufFirst = 0;
  uint64_t m_bufFrames = 0;
  std::atomic<bool> m_endedEarly{false};
  std::atomic<uint64_t> m_delivered{0};
};

}  // namespace pelisto
