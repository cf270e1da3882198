// The voiceless transform applied to ranges marked voiceless when the edit
// list is written: in every frame each byte of one channel loses the bits it
// shares with the same byte of the other channel (left AND NOT right, right
// AND NOT left). Low and high bytes are treated apart: no 16-bit arithmetic,
// no carry, no clipping; the sound stays stereo and keeps its length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelisto {

// Transforms `bytes` bytes of whole frames (bytes is a multiple of 4) from
// src into dst. src and dst may be the same buffer.
void voicelessTransform(const uint8_t* src, uint8_t* dst, size_t bytes);

}  // namespace pelisto
