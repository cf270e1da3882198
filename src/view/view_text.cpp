#include "view/view_text.h"

#include "model/app_state.h"
#include "model/numbers.h"

namespace pelisto {

int32_t lengthSeconds(uint32_t dataSize) {
  return static_cast<int32_t>(roundHalfEven(static_cast<double>(dataSize) / kBytesPerSecond));
}

int32_t scrollRangeMax(uint32_t dataSize) {
  return static_cast<int32_t>(roundHalfAway(static_cast<double>(dataSize) / kBytesPerSecond));
}

std::string lengthText(int32_t s) {
  return std::to_string(s / 60) + " 分 " + std::to_string(s % 60) + "秒";
}

std::string positionText(int32_t p) {
  return decimal(p / 60) + " 分 " + decimal(p % 60) + " 秒目";
}

}  // namespace pelisto
