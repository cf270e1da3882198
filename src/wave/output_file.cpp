#include "wave/output_file.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "platform/replace_file.h"
#include "wave/encoded_sink.h"
#include "wave/flac_sink.h"
#include "wave/threaded_sink.h"
#include "wave/wav_sink.h"

namespace pelisto {
namespace {

// FLAC is coded on as many cores as there are, up to four: past that the
// device, not the coding, sets the pace.
size_t flacHelpers() { return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4); }

// The coded file's sink over file: the encoder, and a resampler where the
// type is written at another rate than the list's.
Result<std::unique_ptr<EncodedSink>> encodedSink(SoundLibrary& library, File& file, const EncoderSpec& spec) {
  Result<std::unique_ptr<SoundEncoder>> encoder = library.newEncoder(file, spec);
  if (!encoder) return encoder.status();
  std::unique_ptr<Resampler> resampler;
  if (spec.rate != kFramesPerSecond) {
    Result<std::unique_ptr<Resampler>> made = library.newResampler(kFramesPerSecond, spec.rate, 2);
    if (!made) return made.status();
    resampler = std::move(made.value());
  }
  const bool lossless = spec.type == EncodedType::kFlac;
  return std::make_unique<EncodedSink>(std::move(encoder.value()), std::move(resampler), lossless);
}

}  // namespace

Status writeOutputFile(FileSystem& fs, SoundLibrary& library, const WritePlan& plan,
                       const std::string& target, const OutputSpec& spec, PassProgress progress) {
  const OutputTypeInfo& type = outputTypeInfo(spec.type);
  return replaceFile(fs, target, [&](File& file) {
    std::optional<DitheredGain> gain;
    if (spec.gain != 1.0) gain.emplace(spec.gain);
    if (!type.encoded) {
      WavSink sink(file, plan.waveHeader);
      if (!gain) return writeFrames(fs, plan, sink, progress);
      // With a gain, the file is written on a thread of its own while the
      // next frames are scaled.
      ThreadedSink threaded(sink, gain);
      return writeFrames(fs, plan, threaded, progress);
    }
    // The coded types carry the target's name as their title.
    const EncoderSpec coded{*type.encoded, type.rate, 2, outputTitle(target), spec.software};
    if (coded.type == EncodedType::kFlac) {
      auto newEncoder = [&library, coded](File& into) { return library.newEncoder(into, coded); };
      // Where the encoder's stream cannot be joined, one encoder codes it all.
      if (Result<std::unique_ptr<FlacSink>> flac = FlacSink::make(file, newEncoder, flacHelpers())) {
        ThreadedSink threaded(*flac.value(), gain);
        return writeFrames(fs, plan, threaded, progress);
      }
    }
    Result<std::unique_ptr<EncodedSink>> sink = encodedSink(library, file, coded);
    if (!sink) return sink.status();
    // The encoder codes on a thread of its own while the frames are made
    // and scaled.
    ThreadedSink threaded(*sink.value(), gain);
    return writeFrames(fs, plan, threaded, progress);
  });
}

}  // namespace pelisto
