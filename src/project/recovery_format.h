// The file of the copy of an unsaved list (recovery_copy.h). It is a
// project file, so that it opens as one anywhere, followed by what the
// project format cannot hold:
//   "SELECTED" and the selected line (big-endian 32-bit; -1: none);
//   "UTF8TEXT", the number of texts, then each text in UTF-8 behind its
//     big-endian 32-bit length: the wave file's path, then each row's
//     source path and display name. The project's texts are CP932 where
//     CP932 can hold them; there a text it cannot hold has "?" for each
//     character without a code (or is empty when even that is too long),
//     and it is kept whole here, so that every list the program can show
//     can be kept;
//   a closing record of fixed size: "RECOVERY", the number of lines and
//     where "UTF8TEXT" begins (big-endian 32-bit, then 64-bit),
// so that the question at start reads the wave file's name and the number
// of lines at the file's two ends, never its rows. A copy an earlier
// release left ends after the selected line: its texts are the project's.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"
#include "project/project_format.h"

namespace pelisto {

inline constexpr std::string_view kRecoverySelectionTag = "SELECTED";
inline constexpr std::string_view kRecoveryTextTag = "UTF8TEXT";
inline constexpr std::string_view kRecoveryEndTag = "RECOVERY";
// A text in UTF-8 takes at most three bytes for each CP932 byte.
inline constexpr size_t kMaxCopyTextBytes = 3 * static_cast<size_t>(kMaxStringBytes);
// The largest copy of the largest list the program can make: every text
// at its longest, in both forms. A larger file is no copy of a list.
inline constexpr uint64_t kMaxCopyBytes =
    uint64_t{16} + 2 + kMaxStringBytes + uint64_t{kMaxEditRows} * (1 + 2 * (2 + kMaxStringBytes) + 32) + 1 + 12 +
    12 + (1 + 2 * uint64_t{kMaxEditRows}) * (4 + kMaxCopyTextBytes) + 20;

// What the question at start shows of a copy.
struct CopySummary {
  std::string waveFileName;  // the path, UTF-8 (empty: no wave file)
  int lines = 0;
};

// A copy read back whole.
struct RecoveredList {
  Project project;   // the texts in UTF-8, whole
  int selected = -1;
};

// The bytes of a copy of list with its selected line. Fails, naming the
// text, when a text is longer than kMaxCopyTextBytes bytes.
Result<std::vector<uint8_t>> encodeRecoveryCopy(Project list, int selected);

// The summary of the copy in file, read at its two ends (a copy of an
// earlier release: its records walked in small reads, nothing kept).
// Fails (kLimit) on a file larger than kMaxCopyBytes before reading
// anything, and (kInvalid) on one that is no copy.
Result<CopySummary> readCopySummary(File& file);

// A whole copy, checked.
Result<RecoveredList> decodeRecoveryCopy(std::span<const uint8_t> bytes);

}  // namespace pelisto
