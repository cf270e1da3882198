// What the conversion takes on and how much it holds at a time. Every
// buffer of a conversion holds one block, whose size follows from the
// block constants and the ratio of the rates alone, never from a length or
// a product the file states: whatever a header says, a conversion holds
// less than a megabyte of its own (two blocks in the pipeline between its
// threads and the decoder's read ahead; the libraries' state aside).
#pragma once

#include <cstddef>

#include "platform/sound_library.h"
#include "platform/status.h"

namespace pelisto {

// The lowest rate converted. Below it a header is taken as damaged: no
// recording is made so slowly, and each frame would become more than 44.
inline constexpr int kMinConvertRate = 1000;
// The most samples (frames × channels) read from the decoder at a time.
inline constexpr size_t kConvertBlockSamples = 16384;

inline constexpr const char* kMsgRateTooLow =
    "サンプリング周波数が1000 Hz未満のため変換できません";

// Whether info's sound can be converted: its rate not below
// kMinConvertRate, and the converted sound within the reach of a header.
// The refusal (kLimit) gives the reason and then the source's rate.
Status checkConvertible(const SoundInfo& info);

// Frames read from the decoder at a time: at most kConvertBlockSamples
// samples, and no more than make kConvertBlockFrames frames at the
// editing rate; at least one.
size_t convertReadFrames(const SoundInfo& info);

}  // namespace pelisto
