#include "wave/convert_limits.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "wave/convert.h"

namespace pelisto {

Status checkConvertible(const SoundInfo& info) {
  const std::string rate = "\nサンプリング周波数: " + std::to_string(info.rate) + " Hz";
  if (info.rate < kMinConvertRate) return Status::error(StatusCode::kLimit, kMsgRateTooLow + rate);
  if (Status st = checkConvertedLength(convertedFrames(info)); !st) {
    return Status::error(st.code(), st.message() + rate);
  }
  return Status::ok();
}

size_t convertReadFrames(const SoundInfo& info) {
  const size_t channels = static_cast<size_t>(std::max(1, info.channels));
  size_t frames = std::min(kConvertBlockFrames, kConvertBlockSamples / channels);
  if (info.rate > 0 && info.rate < kEditRate) {
    // Rising to the editing rate: fewer frames in, so that one block out.
    frames = std::min<size_t>(frames, kConvertBlockFrames * static_cast<size_t>(info.rate) / kEditRate);
  }
  return std::max<size_t>(1, frames);
}

}  // namespace pelisto
