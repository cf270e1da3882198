// A FLAC file coded on several cores. The frames are cut into stretches of
// a whole number of the encoder's blocks; each stretch is coded into
// memory by an encoder of its own, on one of the helpers, while the next
// stretches fill. The coded frames are then numbered in the order of the
// whole and written behind one STREAMINFO, whose MD5 of the samples is
// taken here as they come. A FLAC frame is coded from its own samples
// alone, so the file holds exactly the bytes one encoder would have
// written, in a fraction of the time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/buffer_file.h"
#include "platform/helper_thread.h"
#include "platform/md5.h"
#include "platform/sound_library.h"
#include "wave/flac_frames.h"
#include "wave/output_sink.h"

namespace pelisto {

// A new FLAC encoder over the given file, with the output's tags.
using NewFlacEncoder = std::function<Result<std::unique_ptr<SoundEncoder>>(File&)>;

class FlacSink final : public OutputSink {
 public:
  // Asks the encoder for its block size and its metadata (a stream of
  // one frame); kInvalid where its stream is not one this can join (a block
  // size of its own for each frame), and the file is then best coded by
  // one encoder. A stretch is stretchBlocks blocks.
  static Result<std::unique_ptr<FlacSink>> make(File& file, NewFlacEncoder newEncoder, size_t helpers,
                                                uint32_t stretchBlocks = 128);

  Status begin(uint64_t frames) override;
  Status write(const uint8_t* frames, size_t n) override;
  // Codes the last stretch, writes what is left and completes STREAMINFO.
  Status finish() override;

 private:
  struct Stretch {
    std::vector<int16_t> samples;
    std::unique_ptr<SoundEncoder> encoder;
    BufferFile coded;
    uint64_t firstFrame = 0;  // the number of its first coded frame in the whole
    std::vector<uint8_t> frames;  // renumbered
    uint32_t minFrameBytes = 0, maxFrameBytes = 0;
    Status status;
  };

  FlacSink(File& file, NewFlacEncoder newEncoder, std::vector<uint8_t> metadata, FlacStreamInfo info,
           size_t helpers, uint32_t stretchBlocks);
  Status hand();                  // the filled stretch to its helper
  Status writeOut(size_t index);  // waits for stretch index, then writes it
  void code(Stretch& stretch);    // on a helper

  File& m_file;
  NewFlacEncoder m_newEncoder;
  std::vector<uint8_t> m_metadata;  // the empty stream's, written first
  FlacStreamInfo m_info;  // the whole's, as far as written
  const uint32_t m_block;  // frames of samples in each coded frame
  const size_t m_stretchFrames;
  const uint32_t m_stretchBlocks;
  Md5 m_md5;
  uint64_t m_frames = 0;   // frames taken
  uint64_t m_at = 0;       // bytes written
  WritebackPacer m_pacer;
  size_t m_handed = 0;     // stretches handed to the helpers
  size_t m_written = 0;    // stretches written
  std::vector<Stretch> m_stretches;  // a ring: stretch i in i % size
  std::vector<size_t> m_taken;       // each helper's count of stretches taken
  // The last members: they end (waiting for the runs in progress) before
  // the stretches go.
  std::vector<std::unique_ptr<HelperThread>> m_helpers;
};

}  // namespace pelisto
