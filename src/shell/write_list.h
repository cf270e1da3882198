// Writing the edit list into a file of one of the output types, with the
// loudness option: the create-wave-file command once its name is chosen,
// which writing from the command line shares (the same checks, progress,
// cancel and texts).
#pragma once

#include <string>

#include "model/context.h"
#include "wave/output_type.h"
#include "wave/write_plan.h"

namespace pelisto {

struct WriteRequest {
  std::string path;  // extension rule applied
  OutputType type = OutputType::kWav;
  LoudnessTarget loudness = LoudnessTarget::kOff;
};

// What a write came to: refused or failed (ok false) with the text to
// show, or written with the text that tells the loudness found and the
// gain applied (empty without an even loudness).
struct WriteOutcome {
  bool ok = false;
  std::string text;
};

// Checks the target (checkSaveTarget, the type's length limit), measures
// the loudness when a target is asked for, then writes the planned list
// under a busy scope that can cancel. Nothing is left behind when it is
// not written; an existing file is replaced only by a complete one.
WriteOutcome writeListTo(AppContext& ctx, const WritePlan& plan, const WriteRequest& request);

}  // namespace pelisto
