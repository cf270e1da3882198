// The samples of a conversion that are computed, on both cores, in two
// stages with a bounded queue between them. The caller's thread decodes
// and folds each block and resamples its left side (or its only one); a
// helper thread takes the blocks in order, resamples their right side,
// joins the two, rounds them to 16 bits and writes them. The caller may
// run up to kPipelineBlocks blocks ahead of the helper, so that neither
// waits on the other while the system gives a core to something else for
// a moment; memory stays that many fixed blocks. Each block is rounded
// whole and in order, so the bytes are the same however the threads are
// timed; the channels of libsoxr are independent, so the two sides
// resampled apart are what one resampler over both would make. The
// source file is read only by the caller's thread and the output file
// written only by the helper.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "platform/helper_thread.h"
#include "platform/sound_library.h"
#include "wave/convert_output.h"

namespace pelisto {

inline constexpr size_t kPipelineBlocks = 32;

class SamplePipeline {
 public:
  // Blocks of `width` (1 or 2) channels; left and right resample the two
  // sides (right only for two), or neither is given when the rate stays.
  // quantize and out are the helper's from the first push to the end of
  // finish. progress is told the source frames of each block once it is
  // written; a failure it returns (a cancel) ends the conversion.
  SamplePipeline(int width, std::unique_ptr<Resampler> left, std::unique_ptr<Resampler> right,
                 Quantizer& quantize, WaveOutput& out, std::function<Status(size_t)> progress);
  SamplePipeline(const SamplePipeline&) = delete;
  SamplePipeline& operator=(const SamplePipeline&) = delete;

  // Takes the next n frames of `width` interleaved channels.
  Status push(const float* frames, size_t n);
  // After the last block: the frames the resamplers hold back; returns
  // once everything is written.
  Status finish();

 private:
  // One block in the queue.
  struct Block {
    std::vector<float> left;   // the left side resampled; all channels when the rate stays
    std::vector<float> right;  // the right side, still to be resampled
    size_t sourceFrames = 0;
    bool last = false;
    Status status;  // the helper's
  };

  Block& freeBlock();
  Status prepare(Block& block, const float* frames, size_t n);
  void handOver();
  Status settle(size_t pending);
  void work();  // on the helper

  size_t m_width;
  std::unique_ptr<Resampler> m_left;
  std::unique_ptr<Resampler> m_right;
  Quantizer& m_quantize;
  WaveOutput& m_out;
  std::function<Status(size_t)> m_progress;
  std::vector<Block> m_blocks;
  size_t m_handed = 0;     // blocks handed to the helper (the caller's count)
  size_t m_settled = 0;    // blocks done and reported (the caller's count)
  std::vector<float> m_leftIn;  // the caller's: the left side of a block
  size_t m_worked = 0;     // blocks the helper has taken (the helper's count)
  bool m_failed = false;   // the helper's: a block failed, the rest are not written
  std::vector<float> m_rightOut, m_joined;  // the helper's
  std::vector<uint8_t> m_bytes;             // the helper's
  // The last member: it ends (waiting for the run in progress) before the
  // rest goes.
  HelperThread m_helper;
};

}  // namespace pelisto
