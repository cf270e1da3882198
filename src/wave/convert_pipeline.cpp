#include "wave/convert_pipeline.h"

#include <utility>

namespace pelisto {

SamplePipeline::SamplePipeline(int width, std::unique_ptr<Resampler> left, std::unique_ptr<Resampler> right,
                               Quantizer& quantize, WaveOutput& out, std::function<Status(size_t)> progress)
    : m_width(static_cast<size_t>(width)),
      m_left(std::move(left)),
      m_right(std::move(right)),
      m_quantize(quantize),
      m_out(out),
      m_progress(std::move(progress)),
      m_blocks(kPipelineBlocks),
      m_helper([this] { work(); }) {}

Status SamplePipeline::push(const float* frames, size_t n) {
  // A block to fill: the helper is at most kPipelineBlocks - 1 behind.
  if (Status st = settle(kPipelineBlocks - 1); !st) return st;
  Block& block = freeBlock();
  block.sourceFrames = n;
  block.last = false;
  if (Status st = prepare(block, frames, n); !st) return st;
  handOver();
  return Status::ok();
}

Status SamplePipeline::finish() {
  if (Status st = settle(kPipelineBlocks - 1); !st) return st;
  Block& block = freeBlock();
  block.sourceFrames = 0;
  block.last = true;
  block.left.clear();
  if (m_left) {
    if (Status st = m_left->finish(block.left); !st) return st;
  }
  handOver();
  return settle(0);
}

SamplePipeline::Block& SamplePipeline::freeBlock() { return m_blocks[m_handed % m_blocks.size()]; }

Status SamplePipeline::prepare(Block& block, const float* frames, size_t n) {
  block.left.clear();
  if (!m_left) {
    block.left.assign(frames, frames + n * m_width);
    return Status::ok();
  }
  if (!m_right) return m_left->process(frames, n, block.left);
  m_leftIn.resize(n);
  block.right.resize(n);
  for (size_t i = 0; i < n; ++i) {
    m_leftIn[i] = frames[2 * i];
    block.right[i] = frames[2 * i + 1];
  }
  return m_left->process(m_leftIn.data(), n, block.left);
}

void SamplePipeline::handOver() {
  ++m_handed;
  m_helper.start();
}

// Waits until at most `pending` blocks are left to the helper, then
// reports the blocks done since the last time, in order: the first that
// failed ends the conversion.
Status SamplePipeline::settle(size_t pending) {
  const size_t done = m_handed - m_helper.wait(pending);
  for (; m_settled < done; ++m_settled) {
    const Block& block = m_blocks[m_settled % m_blocks.size()];
    if (!block.status) return block.status;
    if (block.sourceFrames > 0) {
      if (Status st = m_progress(block.sourceFrames); !st) return st;
    }
  }
  return Status::ok();
}

void SamplePipeline::work() {
  Block& block = m_blocks[m_worked++ % m_blocks.size()];
  if (m_failed) return;  // never reported: the caller stops at the failure before it
  block.status = Status::ok();
  const float* samples = block.left.data();
  size_t frames = block.left.size() / m_width;
  if (m_right) {
    m_rightOut.clear();
    block.status = block.last ? m_right->finish(m_rightOut)
                              : m_right->process(block.right.data(), block.sourceFrames, m_rightOut);
    frames = block.left.size();
    if (block.status && m_rightOut.size() != frames) {
      block.status = Status::error(StatusCode::kIoError, "the two sides' resamplers came out of step");
    }
    m_joined.resize(2 * frames);
    for (size_t i = 0; block.status && i < frames; ++i) {
      m_joined[2 * i] = block.left[i];
      m_joined[2 * i + 1] = m_rightOut[i];
    }
    samples = m_joined.data();
  }
  if (block.status) {
    m_quantize.toStereo(samples, frames, static_cast<int>(m_width), m_bytes);
    block.status = m_out.append(m_bytes.data(), frames);
  }
  m_failed = !block.status;
}

}  // namespace pelisto
