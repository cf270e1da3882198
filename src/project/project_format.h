// The project file: the signature "WAVEEDIT", the version bytes, the path
// of the open wave file and one record per edit-list line, then an end
// mark. Numbers are big-endian; texts are string records (a 16-bit length
// and that many CP932 bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/app_state.h"
#include "platform/coding.h"
#include "platform/status.h"

namespace pelisto {

inline constexpr std::string_view kProjectSignature = "WAVEEDIT";
inline constexpr uint8_t kProjectMajor = 1;
inline constexpr uint8_t kProjectMinor = 2;
inline constexpr uint8_t kEntryMark = 0x10;
inline constexpr uint8_t kEndMark = 0x1F;
inline constexpr int kMaxStringBytes = 32767;
// Entry records below minor version 2 hold the first five numbers only.
inline constexpr int kShortEntryNumbers = 5;

// Writes one string record: the UTF-8 text as CP932, its byte length first.
// Fails (kInvalid) when CP932 cannot represent the text and (kLimit) when it
// is longer than 32767 bytes; nothing is written then.
Status BINPRINT(ByteWriter& out, std::string_view utf8);
// Reads one string record and returns its text as UTF-8. Fails (kInvalid)
// on a negative length, on input ending inside the record and on bytes
// that are not CP932; the cursor may have moved then.
Result<std::string> BININPUT(ByteReader& in);

struct ProjectEntry {
  EditFileRow file;  // source path, display name
  EditDataRow data;  // the eight numbers of the row
  friend bool operator==(const ProjectEntry&, const ProjectEntry&) = default;
};

struct Project {
  uint8_t major = kProjectMajor;
  uint8_t minor = kProjectMinor;
  std::string waveFileName;
  std::vector<ProjectEntry> entries;
  size_t length = 0;  // decoded: the bytes up to and with the list's end mark
};

// The bytes of a project file, always written as version 1.2. Fails with a
// message for the user, naming the text that cannot be stored.
Result<std::vector<uint8_t>> encodeProject(const Project& project);

// Parses and checks a whole project file. Any byte other than the entry
// mark after a record ends the list. Fails (kInvalid) on a wrong signature,
// input ending anywhere before that byte or a bad string record, and
// (kLimit) on more than maxEntries entries. Below minor version 2 the
// voiceless flag and the reserved columns are 0. Without texts, the
// entries' string records are checked and skipped, their texts left empty
// (for a caller that has them elsewhere).
Result<Project> decodeProject(std::span<const uint8_t> bytes, size_t maxEntries, bool texts = true);

}  // namespace pelisto
