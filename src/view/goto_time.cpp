// Going to a time typed by the user.
#include <cmath>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/numbers.h"
#include "platform/text.h"
#include "view/handlers.h"

namespace pelisto {
namespace {

constexpr const char* kCaption = "時間を指定して移動";
constexpr const char* kPrompt = "移動する時間を「分:秒」「時:分:秒」または秒数で入力してください";
constexpr const char* kMsgTimeForm = "時間は「分:秒」「時:分:秒」または秒数で入力してください（例: 12:30）";

bool allDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// A second as it is typed: M:SS, or H:MM:SS from an hour on.
std::string clockText(int64_t second) {
  char text[32];
  if (second >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(second / 3600),
                  static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(second / 60),
                  static_cast<long long>(second % 60));
  }
  return text;
}

}  // namespace

std::optional<double> parseTime(std::string_view typed) {
  const std::string text = trimBlanks(asciiFromFullWidth(typed));
  std::vector<std::string> parts;
  for (size_t at = 0;;) {
    const size_t colon = text.find(':', at);
    parts.push_back(text.substr(at, colon == std::string::npos ? std::string::npos : colon - at));
    if (colon == std::string::npos) break;
    at = colon + 1;
  }
  if (parts.size() > 3) return std::nullopt;
  // The seconds may have a fraction; the fields before them are whole.
  const std::string& last = parts.back();
  const std::optional<double> seconds = last.empty() || last[0] == '+' || last[0] == '-' ? std::nullopt
                                                                                        : parseNumber(last);
  if (!seconds || !std::isfinite(*seconds)) return std::nullopt;
  if (parts.size() == 1) return *seconds;
  if (*seconds >= 60) return std::nullopt;
  double total = *seconds;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    if (!allDigits(parts[i]) || parts[i].size() > 9) return std::nullopt;
    const double field = std::stod(parts[i]);
    const bool minutesOfAnHour = parts.size() == 3 && i == 1;
    if (minutesOfAnHour && field >= 60) return std::nullopt;
    total += field * (parts.size() - 1 - i == 2 ? 3600 : 60);
  }
  return total;
}

void GOTOTIME_ON(AppContext& ctx) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  const std::optional<std::string> typed = ctx.ui.inputBox(kCaption, kPrompt, clockText(ctx.ui.scrollPos()));
  if (!typed) return;
  const std::optional<double> time = parseTime(*typed);
  if (!time) return refuse(ctx, kMsgTimeForm);
  const double second = std::floor(*time);
  if (second < ctx.ui.scrollMin() || second > ctx.ui.scrollMax()) {
    return refuse(ctx, "その時間はファイルの外です（" + clockText(ctx.ui.scrollMin()) + " ～ " +
                           clockText(ctx.ui.scrollMax()) + "）");
  }
  ctx.ui.setScrollPos(static_cast<int>(second));
  refreshView(ctx);
}

}  // namespace pelisto
