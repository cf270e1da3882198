// Texts the playback commands show.
#pragma once

#include <string>

namespace pelisto {

// Shown when the media device refuses a play, followed by its reason.
inline constexpr const char* kMsgPlayFailed = "再生できません：";

// The refusal text for a play the device refused with reason.
std::string playFailedText(const std::string& reason);

}  // namespace pelisto
