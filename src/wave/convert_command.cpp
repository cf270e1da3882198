#include "wave/convert_command.h"

#include <vector>

#include "model/messages.h"
#include "model/save_target.h"
#include "wave/convert.h"
#include "wave/convert_limits.h"
#include "wave/open_wave.h"
#include "wave/wave_header.h"
#include "wave/write_plan.h"

namespace pelisto {
namespace {

// The refusals a sound of another format meets: a file that is no RIFF at
// all (FLAC, Ogg, AIFF, MP3, …), and a WAV whose format or layout differs.
// The RIFF form type and fmt checks mean no sound a WAV reader would take.
bool mayBeOtherFormat(HeaderFault fault) {
  switch (fault) {
    case HeaderFault::kNotRiff:
    case HeaderFault::kNotPcm:
    case HeaderFault::kMono:
    case HeaderFault::kNot44k:
    case HeaderFault::kBadData: return true;
    default: return false;
  }
}

std::string failureText(const Status& st, const std::string& target) {
  switch (st.code()) {
    case StatusCode::kCancelled: return "Waveファイルへの変換を中止しました";
    case StatusCode::kLimit: return st.message();
    case StatusCode::kNoSpace:
      return "ディスクの空き容量が足りないため、変換したWaveファイルを作成できませんでした\n" + target;
    default: return "変換したWaveファイルを作成できませんでした\n" + target + "\n" + st.message();
  }
}

}  // namespace

std::string convertedName(const std::string& source) {
  const size_t slash = source.find_last_of('/');
  const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = source.find_last_of('.');
  if (dot == std::string::npos || dot <= nameAt) dot = source.size();
  return source.substr(0, dot) + kConvertSuffix;
}

std::string freeConvertedName(FileSystem& fs, const std::string& source) {
  const std::string first = convertedName(source);
  const std::string stem = first.substr(0, first.size() - std::string(".wav").size());
  std::string name = first;
  for (int n = 2; fs.info(name).isOk() && n < 10000; ++n) {
    name = stem + "-" + std::to_string(n) + ".wav";
  }
  return name;
}

std::string askConvertText(const std::string& why) {
  const std::string stop = "。";
  return why + (why.ends_with(stop) ? "" : stop) + kAskConvert;
}

bool offerConversion(AppContext& ctx, const std::string& path, const std::string& why, HeaderFault fault) {
  if (!mayBeOtherFormat(fault)) return false;
  SoundInfo info;
  {
    // No sound the library reads, or none in it (a header cut short): the
    // refusal stands alone.
    auto decoder = ctx.sound.openDecoder(ctx.fs, path);
    if (!decoder) return false;
    SoundDecoder& sound = *decoder.value();
    std::vector<float> frame(static_cast<size_t>(sound.info().channels));
    auto first = sound.readFloat(frame.data(), 1);
    if (!first || first.value() == 0) return false;
    info = sound.info();
  }
  if (ctx.ui.question(ctx.state.APPTITLE, askConvertText(why)) != Answer::kYes) return true;
  if (Status st = checkConvertible(info); !st) {
    refuse(ctx, st.message() + "\n" + path);
    return true;
  }
  std::optional<std::string> chosen = ctx.ui.fileDialog(
      FileDialogSpec{kConvertTitle, kWriteFilterText, kWritePattern, true, freeConvertedName(ctx.fs, path)});
  if (!chosen) return true;
  const std::string target = withWavExtension(*chosen);
  if (Status st = checkSaveTarget(ctx, target, path); !st) {
    refuse(ctx, st.message());
    return true;
  }
  Status done;
  uint64_t clamped = 0;
  {
    std::unique_ptr<BusyScope> busy = ctx.ui.beginBusy(kConvertCaption, true);
    done = convertToWaveFile(ctx.fs, ctx.sound, path, target, busy.get(),
                             ConvertOptions{.clampedSamples = &clamped});
  }
  if (!done) {
    refuse(ctx, failureText(done, target));
    return true;
  }
  ctx.state.WAVEFILENAME = target;
  if (Status st = openWaveForView(ctx, target); !st) refuse(ctx, st.message());
  if (clamped > 0) ctx.ui.inform(ctx.state.APPTITLE, clampedNotice(clamped));
  return true;
}

std::string clampedNotice(uint64_t clamped) {
  return "変換を終えました。最大音量を超えた " + std::to_string(clamped) +
         " 個のサンプルを最大音量に抑えました";
}

}  // namespace pelisto
