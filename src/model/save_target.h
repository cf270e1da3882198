// The checks every save makes of the file it would replace, shared by the
// wave file writer, the conversion and the project save.
#pragma once

#include <string>

#include "model/context.h"
#include "platform/file_system.h"

namespace pelisto {

// A path that names nothing, or a regular file the user may write: else
// the refusal (a folder, a file without write permission), naming path.
Status checkTargetWritable(FileSystem& fs, const std::string& path);

// Where a save may go: checkTargetWritable, and never over a file the
// program reads, under any name (a link or "./" included): the file a
// conversion reads (convertSource, when given), the open wave file, or the
// source of a line of the edit list. The refusal names what target is and
// then target itself.
Status checkSaveTarget(AppContext& ctx, const std::string& target,
                       const std::string& convertSource = {});

}  // namespace pelisto
