// The plan of a file to be written from the edit list, whatever its type:
// what each line contributes, checked in full before a byte is written,
// and the output's length in frames.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/context.h"

namespace pelisto {

inline constexpr const char* kWriteTitle = "Waveファイルの作成";
inline constexpr const char* kWriteFilterText = "waveファイル(*.wav)";
inline constexpr const char* kWritePattern = "*.wav";

// The longest output a plan describes, in frames (about 290 days): far
// past any real list, and where the sums of its lengths stay exact.
inline constexpr uint64_t kMaxPlanFrames = uint64_t{1} << 40;
inline constexpr const char* kMsgPlanTooLong = "作成するファイルが長すぎるため作成できません";
// Bytes a voiceless range is read and written in.
inline constexpr uint64_t kVoicelessBlock = WAVEBLOCK;

using WaveHeaderBytes = std::array<uint8_t, kHeaderSize>;

// What one line of the list contributes to the output, written `repeats`
// times in a row.
struct WriteStep {
  enum class Kind {
    kBlank,      // `bytes` zero bytes
    kCopy,       // `bytes` source bytes from `offset`, unchanged
    kVoiceless,  // `bytes` (whole blocks) source bytes from `offset`, transformed;
                 // the first `rangeBytes` of them lie inside the range
    kNothing,    // a voiceless flag other than 0 or 1: nothing is written
  };
  Kind kind = Kind::kNothing;
  int line = 0;        // line of the edit list
  std::string source;  // empty for a blank
  uint64_t offset = 0;
  uint64_t dataEnd = 0;  // where the source's sound ends: bytes past it read as zeros
  uint64_t bytes = 0;
  uint64_t rangeBytes = 0;
  uint64_t repeats = 1;
  bool operator==(const WriteStep&) const = default;
};

// The frames of an output, whatever its type: the steps of the joined
// sound, and which of its frames the output holds.
struct WritePlan {
  std::vector<WriteStep> steps;
  bool smoothJoins = false;  // short fades where the sound jumps (join_fades.h)
  // The frames of the joined sound the output holds: `frames` frames from
  // `firstFrame` on (0 and all of them for the whole list).
  uint64_t firstFrame = 0;
  uint64_t frames = 0;
  // The open wave file's header. A WAV output starts with a copy of it,
  // its two sizes set for the output.
  WaveHeaderBytes waveHeader{};
};

// Frames one step adds to the joined sound, all its repeats together.
uint64_t stepFrames(const WriteStep& step);

// The list's lines planned in order as far as they pass the checks of
// planWaveFile: `stopped` is ok when every line passed, else why line
// `stoppedAt` cannot be written (that line and those after it have no
// step). Fails only when no wave file is open or its header cannot be
// read. The output's length is not set.
struct ListPlan {
  WritePlan plan;
  Status stopped;
  int stoppedAt = -1;
};
Result<ListPlan> planListLines(AppContext& ctx);

// Reads every line of the list and checks every source it names as the
// view checks a file it opens; ranges must lie within a source's sound.
// The entry being marked is refused. On success the plan holds the steps in
// list order; otherwise the result carries the message to show. Nothing is
// written or changed either way. The joins are smoothed when the option
// is on. The output holds the whole joined sound; a list longer than
// kMaxPlanFrames is refused. Limits of an output type are the type's.
Result<WritePlan> planWaveFile(AppContext& ctx);

// The output path after the extension rule: ".WAV" is appended unless the
// last four characters already read ".wav" in any letter case.
std::string withWavExtension(const std::string& path);

// Number of voiceless blocks written for a range of `rangeBytes` bytes: the
// whole blocks, plus one when the remainder is at least half a block.
uint64_t voicelessBlocks(uint64_t rangeBytes);

}  // namespace pelisto
