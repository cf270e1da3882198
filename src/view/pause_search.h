// Looking for pauses of the open file from a frame on or back: among the
// pauses found once the survey has measured the whole file, else by
// measuring the file there and then (the survey's levels where it has
// been), so a search never waits for the survey.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/context.h"

namespace pelisto {

struct PauseFound {
  std::optional<Pause> pause;
  bool cancelled = false;  // the user ended a long search
};

// The first pause whose middle comes after frame `from` (at or after it
// unless strict), or with forward false the last whose middle comes
// before it.
PauseFound pauseFrom(AppContext& ctx, int64_t from, bool forward, bool strict);

// Every pause of the open file; nothing when the user ended the search.
std::optional<std::vector<Pause>> allPauses(AppContext& ctx);

}  // namespace pelisto
