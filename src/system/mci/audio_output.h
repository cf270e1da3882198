// Where the media device's sound goes: an output that pulls 16-bit stereo
// frames at its own rate and pace. The desktop's output is SDL2 sound on
// its audio thread; the headless one plays in simulated time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/status.h"

namespace pelisto {

// One play's sound, already converted to the output's format.
class FrameSource {
 public:
  FrameSource() = default;
  FrameSource(const FrameSource&) = delete;
  FrameSource& operator=(const FrameSource&) = delete;
  virtual ~FrameSource() = default;

  // Writes up to frames frames (interleaved left, right) into dst. Returns
  // the frames written: fewer than asked only at the end of the sound.
  virtual size_t pull(int16_t* dst, size_t frames) = 0;
  // The number of frames the whole sound has.
  virtual uint64_t totalFrames() const = 0;
};

class AudioOutput {
 public:
  AudioOutput() = default;
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;
  virtual ~AudioOutput() = default;

  // Frames per second the output consumes (16-bit stereo frames).
  virtual int rate() const = 0;
  // Makes the output ready to play (idempotent). Fails when no output at
  // all can be had, with a readable reason.
  virtual Status prepare() = 0;
  // Gives the device back until the next prepare() (nothing plays then).
  virtual void release() = 0;
  // Plays source from its first frame, replacing whatever plays (the
  // replaced source's onEnd is not called). onEnd is called once, on the
  // output's own thread, after the last frame has been consumed.
  virtual Status start(std::shared_ptr<FrameSource> source, std::function<void()> onEnd) = 0;
  // Stops the current source. When it returns, no pull or onEnd of that
  // source runs or will run.
  virtual void stop() = 0;
  // Frames of the current (or last) source consumed so far.
  virtual uint64_t consumed() const = 0;
  // How long a consumed frame takes to be heard, in ms.
  virtual int latencyMs() const { return 0; }
};

}  // namespace pelisto
