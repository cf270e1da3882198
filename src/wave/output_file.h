// Writing a plan's frames as a file of one of the output types. The file
// is built beside the target under a temporary name and renamed over the
// target only when complete (platform/replace_file.h), whatever its type,
// so a failure or a cancel leaves an existing target as it was and no
// partial file behind.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/sound_library.h"
#include "wave/frame_writer.h"
#include "wave/output_type.h"
#include "wave/write_plan.h"

namespace pelisto {

struct OutputSpec {
  OutputType type = OutputType::kWav;
  double gain = 1.0;     // applied to every sample (frame_writer.h)
  std::string software;  // the coded types' tag of the program; their
                         // title is the target's name (outputTitle)
};

// Writes plan to target as spec says. The coded types are encoded through
// library. Returns kCancelled on a cancel, the failing operation's status
// on an error, ok once target holds the new file.
Status writeOutputFile(FileSystem& fs, SoundLibrary& library, const WritePlan& plan,
                       const std::string& target, const OutputSpec& spec, PassProgress progress);

}  // namespace pelisto
