#include "model/numbers.h"

#include <cmath>
#include <cstdlib>
#include <limits>

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
