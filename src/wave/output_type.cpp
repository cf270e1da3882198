#include "wave/output_type.h"

#include "platform/text.h"
#include "wave/wav_sink.h"
#include "wave/write_plan.h"

namespace pelisto {

const std::vector<OutputTypeInfo>& outputTypes() {
  using T = OutputType;
  using E = EncodedType;
  static const std::vector<OutputTypeInfo> types = {
      {T::kWav, "wav", kWriteFilterText, kWritePattern, ".wav", std::nullopt, 44100},
      {T::kFlac, "flac", "FLACファイル(*.flac)", "*.flac", ".flac", E::kFlac, 44100},
      {T::kOgg, "ogg", "Ogg Vorbisファイル(*.ogg)", "*.ogg", ".ogg", E::kVorbis, 44100},
      // The library writes Opus at 48000 frames per second and a few lower
      // rates, not at 44100.
      {T::kOpus, "opus", "Opusファイル(*.opus)", "*.opus", ".opus", E::kOpus, 48000},
      {T::kMp3, "mp3", "MP3ファイル(*.mp3)", "*.mp3", ".mp3", E::kMp3, 44100},
  };
  return types;
}

const OutputTypeInfo& outputTypeInfo(OutputType type) {
  for (const OutputTypeInfo& info : outputTypes()) {
    if (info.type == type) return info;
  }
  return outputTypes().front();
}

std::optional<OutputType> outputTypeNamed(const std::string& key) {
  for (const OutputTypeInfo& info : outputTypes()) {
    if (key == info.key) return info.type;
  }
  return std::nullopt;
}

std::optional<OutputType> outputTypeOfPath(const std::string& path) {
  for (const OutputTypeInfo& info : outputTypes()) {
    const std::string_view extension = info.extension;
    if (path.size() > extension.size() && endsWithIgnoringCase(path, extension)) return info.type;
  }
  return std::nullopt;
}

OutputPath outputPathFor(const std::string& typed, OutputType chosen) {
  if (std::optional<OutputType> named = outputTypeOfPath(typed)) return {typed, *named};
  if (chosen == OutputType::kWav) return {withWavExtension(typed), chosen};
  return {typed + outputTypeInfo(chosen).extension, chosen};
}

std::string outputTitle(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (std::optional<OutputType> type = outputTypeOfPath(name)) {
    name.resize(name.size() - std::string_view(outputTypeInfo(*type).extension).size());
  }
  return name;
}

Status checkOutputLength(OutputType type, uint64_t frames) {
  return type == OutputType::kWav ? checkWavLength(frames) : Status::ok();
}

}  // namespace pelisto
