// Converting a refused file into the editing format, offered by the
// open-file command after its refusal.
#pragma once

#include <cstdint>
#include <string>

#include "model/context.h"
#include "wave/wave_header.h"

namespace pelisto {

inline constexpr const char* kAskConvert =
    "このファイルを16ビット・ステレオ・44.1kHzのWaveファイルに変換して開きますか？";
inline constexpr const char* kConvertTitle = "変換したWaveファイルの保存";
inline constexpr const char* kConvertCaption = "Waveファイルに変換しています";
inline constexpr const char* kConvertSuffix = "_44k16.wav";

// Called when the open command refuses path (why: the refusal's text;
// fault: the header check that refused it). When that can mean a sound of
// another format (not RIFF, or a check from the PCM check on) and the
// sound library reads the file, asks whether to convert it, the reason
// first (askConvertText), and returns true; else shows nothing and returns
// false (the refusal is the caller's to show). On Yes asks for the new
// file's name (proposed: the source's name with kConvertSuffix, in its
// folder), converts with a progress display that can cancel, and opens the
// new file as the open command does. No, Cancel, a cancelled dialog and a
// failure leave the state as the refusal left it, with no new file.
bool offerConversion(AppContext& ctx, const std::string& path, const std::string& why, HeaderFault fault);

// The question of the offer: the refusal's reason as a sentence, then
// kAskConvert.
std::string askConvertText(const std::string& why);

// The proposed name of the converted file of source.
std::string convertedName(const std::string& source);
// The first of convertedName(source), then the same with "-2", "-3", …
// before ".wav", that names nothing in fs yet.
std::string freeConvertedName(FileSystem& fs, const std::string& source);

// Shown once a conversion is done when some samples had to be clamped at
// full scale: how many.
std::string clampedNotice(uint64_t clamped);

}  // namespace pelisto
