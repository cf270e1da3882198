// Going from pause to pause, the pause line, and the settings of what
// counts as a pause.
#include <cstdio>
#include <string>

#include "model/forms.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "view/handlers.h"
#include "view/pause_search.h"
#include "view/survey.h"

namespace pelisto {
namespace {

constexpr const char* kMsgNoNextPause = "これより後に無音はありません";
constexpr const char* kMsgNoPreviousPause = "これより前に無音はありません";
constexpr const char* kSettingsCaption = "無音の設定";
constexpr const char* kMsgPauseLength = "無音の長さは 0.01 から 60 までの秒数で入力してください";
constexpr const char* kMsgPauseLevel = "無音の音量は -90 から -1 までの dBFS で入力してください";
constexpr double kMinPauseSeconds = 0.01, kMaxPauseSeconds = 60;
constexpr double kLowestThresholdDb = -90, kHighestThresholdDb = -1;
constexpr const char* kMinSecondsKey = "pauseMinSeconds";
constexpr const char* kThresholdKey = "pauseThresholdDb";

// A setting as it is shown and remembered: up to three decimals, no
// trailing zeros.
std::string settingText(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", v);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::optional<double> remembered(const AppContext& ctx, const char* key, double low, double high) {
  const std::optional<double> v = parseNumber(ctx.ui.rememberedName(key));
  if (!v || *v < low || *v > high) return std::nullopt;
  return v;
}

// The view to the pause after (before) the pause line, or the view's
// first frame when there is no line.
void goToPause(AppContext& ctx, bool forward) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  const int64_t line = ctx.state.pauses.line;
  const int64_t from = line >= 0 ? line : int64_t{ctx.ui.scrollPos()} * kFramesPerSecond;
  // From the view, a pause whose middle it shows counts as the next one.
  const PauseFound found = pauseFrom(ctx, from, forward, line >= 0);
  if (found.cancelled) return;
  if (!found.pause) return refuse(ctx, forward ? kMsgNoNextPause : kMsgNoPreviousPause);
  ctx.state.pauses.line = found.pause->middle();
  ctx.ui.setScrollPos(static_cast<int>(ctx.state.pauses.line / kFramesPerSecond));
  refreshView(ctx);
}

}  // namespace

void loadPauseSettings(AppContext& ctx) {
  PauseSettings& s = ctx.state.pauses.settings;
  s = PauseSettings{};
  if (auto v = remembered(ctx, kMinSecondsKey, kMinPauseSeconds, kMaxPauseSeconds)) s.minSeconds = *v;
  if (auto v = remembered(ctx, kThresholdKey, kLowestThresholdDb, kHighestThresholdDb)) s.thresholdDb = *v;
}

void showPauseLine(AppContext& ctx) {
  int64_t& line = ctx.state.pauses.line;
  if (line < 0) return;
  const int64_t first = int64_t{ctx.ui.scrollPos()} * kFramesPerSecond;
  if (line < first || line >= first + kFramesPerSecond) {
    line = -1;  // the view has left its second
    return;
  }
  Canvas& picture = ctx.ui.canvas(Control::PICTURE1);
  const DrawMode mode = picture.mode();
  picture.setMode(DrawMode::kCopy);
  const int x = static_cast<int>(roundHalfEven(static_cast<double>(line - first) * kColumnsPerSecond / kFramesPerSecond));
  picture.line(x, 0, x, kPictureDrawBottom, kPauseEntry);
  picture.setMode(mode);
}

void NEXTPAUSE_ON(AppContext& ctx) { goToPause(ctx, true); }
void PREVPAUSE_ON(AppContext& ctx) { goToPause(ctx, false); }

void PAUSESETTINGS_ON(AppContext& ctx) {
  PauseSettings s = ctx.state.pauses.settings;
  std::optional<std::string> typed = ctx.ui.inputBox(
      kSettingsCaption, "無音とみなす最短の長さを秒数で入力してください", settingText(s.minSeconds));
  if (!typed) return;
  std::optional<double> seconds = parseNumber(*typed);
  if (!seconds || *seconds < kMinPauseSeconds || *seconds > kMaxPauseSeconds) return refuse(ctx, kMsgPauseLength);
  typed = ctx.ui.inputBox(kSettingsCaption, "無音とみなす音量の上限を dBFS で入力してください（例: -40）",
                          settingText(s.thresholdDb));
  if (!typed) return;
  std::optional<double> level = parseNumber(*typed);
  if (!level || *level < kLowestThresholdDb || *level > kHighestThresholdDb) return refuse(ctx, kMsgPauseLevel);
  s = PauseSettings{*seconds, *level};
  ctx.ui.rememberName(kMinSecondsKey, settingText(s.minSeconds));
  ctx.ui.rememberName(kThresholdKey, settingText(s.thresholdDb));
  if (s == ctx.state.pauses.settings) return;
  ctx.state.pauses.settings = s;
  // The pauses are others now: the line of one goes.
  ctx.state.pauses.line = -1;
  refreshPauses(ctx);
  refreshView(ctx);
}

}  // namespace pelisto
