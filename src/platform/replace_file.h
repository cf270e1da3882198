// Saving a file without ever losing the old one: the new contents go to a
// temporary file beside the target, made durable and renamed over the
// target only when complete. Every file the program saves goes through here.
#pragma once

#include <functional>
#include <string>

#include "platform/file_system.h"

namespace pelisto {

// The name of this program's temporary files: prefix, process, count, suffix.
inline constexpr const char* kTemporaryPrefix = ".pelisto-";
inline constexpr const char* kTemporarySuffix = ".tmp";

// True when `name` (without folder) is one of this program's temporary
// files: ".pelisto-" … ".tmp".
bool isTemporaryName(const std::string& name);

// Removes this program's temporary files in folder that a program now gone
// left behind (killed or crashed during a save): older than the running
// program, and the process named in the file's name has ended or started
// after the file. Another program's save under way keeps its file.
void removeStaleTemporaries(FileSystem& fs, const std::string& folder);

// Writes target through `fill`, which writes the whole contents into the
// new file it is given. First the stale temporaries of target's folder are
// removed; a target that exists but is not a regular file, or that the user
// may not write, is refused (kUnsupported, kDenied) before anything is
// created. The file and its folder are synced before and after the rename,
// and a replaced target keeps its permission bits. On any failure (fill's
// own, kCancelled included) target is as it was and no temporary file is
// left; the status carries the reason.
Status replaceFile(FileSystem& fs, const std::string& target,
                   const std::function<Status(File&)>& fill);

}  // namespace pelisto
