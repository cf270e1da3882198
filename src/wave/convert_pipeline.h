// The samples of a conversion that are computed, on both cores. The
// caller's thread decodes and folds each block and resamples its left
// side (or its only one); a helper thread meanwhile resamples the right
// side of the block before, joins the two and rounds them to 16 bits; the
// caller's thread writes what the helper made and reports progress. Two
// blocks are in use at a time, so memory stays a few fixed blocks. Each
// block is rounded whole and in order, so the bytes are the same however
// the threads are timed; the channels of libsoxr are independent, so the
// two sides resampled apart are what one resampler over both would make.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "platform/helper_thread.h"
#include "platform/sound_library.h"
#include "wave/convert_output.h"

namespace pelisto {

class SamplePipeline {
 public:
  // Blocks of `width` (1 or 2) channels; left and right resample the two
  // sides (right only for two), or neither is given when the rate stays.
  // progress is told the source frames of each block once it is written;
  // a failure it returns (a cancel) ends the conversion.
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
  // What the helper works on.
  struct Block {
    std::vector<float> left;   // the left side resampled; all channels when the rate stays
    std::vector<float> right;  // the right side, still to be resampled
    size_t sourceFrames = 0;
    bool last = false;
    std::vector<uint8_t> bytes;  // made by the helper: frames × 4
    size_t frames = 0;
    Status status;
  };

  Status prepare(Block& block, const float* frames, size_t n);
  Status handOver(Block& block);
  Status collect();
  void work();  // on the helper

  size_t m_width;
  std::unique_ptr<Resampler> m_left;
  std::unique_ptr<Resampler> m_right;
  Quantizer& m_quantize;
  WaveOutput& m_out;
  std::function<Status(size_t)> m_progress;
  Block m_blocks[2];
  size_t m_filling = 0;        // the block the caller fills next
  Block* m_inHand = nullptr;   // the block the helper works on
  std::vector<float> m_leftIn;  // the caller's: the left side of a block
  std::vector<float> m_rightOut, m_joined;  // the helper's
  // The last member: it ends (waiting for its work) before the rest goes.
  HelperThread m_helper;
};

}  // namespace pelisto
