// The types a list can be written in: WAV, as the program has always
// written it, and the coded types the sound library writes. Each has its
// filter in the save dialog, its extension and the name it is remembered
// under.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound_library.h"
#include "platform/status.h"

namespace pelisto {

enum class OutputType { kWav, kFlac, kOgg, kOpus, kMp3 };

// The name the type last written is remembered under between runs.
inline constexpr const char* kWriteTypeChoice = "writeType";

struct OutputTypeInfo {
  OutputType type;
  const char* key;         // the name the last type used is remembered under
  const char* filterText;  // in the save dialog
  const char* pattern;
  const char* extension;   // lower case
  std::optional<EncodedType> encoded;  // none for WAV
  int rate;                // frames per second of the file (Opus: 48000)
};

// Every type, WAV first.
const std::vector<OutputTypeInfo>& outputTypes();
const OutputTypeInfo& outputTypeInfo(OutputType type);
// The type remembered under key, if any.
std::optional<OutputType> outputTypeNamed(const std::string& key);
// The type whose extension path ends in (any letter case), if any.
std::optional<OutputType> outputTypeOfPath(const std::string& path);

// The path a typed name writes to, and its type: a name that ends in the
// extension of a type is written as that type, whatever type was chosen;
// any other gets the chosen type's extension (".WAV" for WAV, as always).
struct OutputPath {
  std::string path;
  OutputType type;
};
OutputPath outputPathFor(const std::string& typed, OutputType chosen);

// The output's title as its tags carry it: the file's name without its
// folder and extension.
std::string outputTitle(const std::string& path);

// Refused (kLimit) when a file of the type cannot hold `frames` frames: a
// WAV file past its 4 GiB.
Status checkOutputLength(OutputType type, uint64_t frames);

}  // namespace pelisto
