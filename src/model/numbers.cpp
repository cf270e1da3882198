#include "model/numbers.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace pelisto {

double roundHalfEven(double v) { return std::nearbyint(v); }  // default mode: to nearest, ties even

double roundHalfAway(double v) { return std::round(v); }

double readLeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string num;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) num += text[i++];
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      num += c;
      digits = true;
    } else if (c == '.' && !point) {
      num += c;
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  return std::strtod(num.c_str(), nullptr);
}

std::string asciiFromFullWidth(std::string_view text) {
  static const std::pair<std::string_view, char> kPairs[] = {
      {"０", '0'}, {"１", '1'}, {"２", '2'}, {"３", '3'}, {"４", '4'}, {"５", '5'}, {"６", '6'},
      {"７", '7'}, {"８", '8'}, {"９", '9'}, {"：", ':'}, {"．", '.'}, {"－", '-'}, {"−", '-'},
      {"＋", '+'}, {"　", ' '}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [wide, ascii] : kPairs) {
      if (text.substr(i, wide.size()) == wide) {
        out += ascii;
        i += wide.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

std::optional<double> parseNumber(std::string_view typed) {
  const std::string text = asciiFromFullWidth(typed);
  size_t i = 0, end = text.size();
  while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  std::string num;
  if (i < end && (text[i] == '+' || text[i] == '-')) num += text[i++];
  bool digits = false, point = false;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
    num += c;
  }
  if (!digits) return std::nullopt;
  return std::strtod(num.c_str(), nullptr);
}

std::optional<int32_t> toInt32HalfEven(double v) {
  double r = roundHalfEven(v);
  if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() ||
      r > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(r);
}

std::string decimal(int64_t v) { return std::to_string(v); }

}  // namespace pelisto
