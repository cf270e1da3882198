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
      m_helper([this] { work(); }) {}

Status SamplePipeline::push(const float* frames, size_t n) {
  Block& block = m_blocks[m_filling];
  block.sourceFrames = n;
  block.last = false;
  if (Status st = prepare(block, frames, n); !st) return st;
  return handOver(block);
}

Status SamplePipeline::finish() {
  Block& block = m_blocks[m_filling];
  block.sourceFrames = 0;
  block.last = true;
  block.left.clear();
  if (m_left) {
    if (Status st = m_left->finish(block.left); !st) return st;
  }
  if (Status st = handOver(block); !st) return st;
  return collect();
}

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

Status SamplePipeline::handOver(Block& block) {
  if (Status st = collect(); !st) return st;
  m_inHand = &block;
  m_filling ^= 1;
  m_helper.start();
  return Status::ok();
}

Status SamplePipeline::collect() {
  if (!m_inHand) return Status::ok();
  m_helper.wait();
  Block& block = *std::exchange(m_inHand, nullptr);
  if (!block.status) return block.status;
  if (Status st = m_out.append(block.bytes.data(), block.frames); !st) return st;
  return block.sourceFrames > 0 ? m_progress(block.sourceFrames) : Status::ok();
}

void SamplePipeline::work() {
  Block& block = *m_inHand;
  block.status = Status::ok();
  const float* samples = block.left.data();
  block.frames = block.left.size() / m_width;
  if (m_right) {
    m_rightOut.clear();
    block.status = block.last ? m_right->finish(m_rightOut)
                              : m_right->process(block.right.data(), block.sourceFrames, m_rightOut);
    if (!block.status) return;
    block.frames = block.left.size();
    if (m_rightOut.size() != block.frames) {
      block.status = Status::error(StatusCode::kIoError, "the two sides' resamplers came out of step");
      return;
    }
    m_joined.resize(2 * block.frames);
    for (size_t i = 0; i < block.frames; ++i) {
      m_joined[2 * i] = block.left[i];
      m_joined[2 * i + 1] = m_rightOut[i];
    }
    samples = m_joined.data();
  }
  m_quantize.toStereo(samples, block.frames, static_cast<int>(m_width), block.bytes);
}

}  // namespace pelisto
