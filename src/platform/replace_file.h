// Saving a file without ever losing the old one: the new contents go to a
// temporary file beside the target, made durable and renamed over the
// target only when complete. Every file the program saves goes through here.
//
// The saving program holds the temporary file's lock from its creation on
// (program_files.h), and notes its path in the journal folder of the file
// system first (FileSystem::journalFolder), the note going once the file
// is renamed or removed: a save killed half-way leaves a note that the
// next start follows to the file (removeLeftSaves), wherever it lies.
#pragma once

#include <functional>
#include <memory>
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
// program, and their lock free (where the file system refuses locks: the
// process named in the file's name has ended or started after the file).
// Another program's save under way, however slow, keeps its file.
void removeStaleTemporaries(FileSystem& fs, const std::string& folder);

// At start: the saves the journal notes whose program is gone (the note's
// lock free, or without locks its process ended) lose their temporary
// files, when those are left behind too, and their notes.
void removeLeftSaves(FileSystem& fs);

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

// The same, the new file handed back open and holding its lock (taken
// before its first byte was written), so that it stays the caller's own
// from the moment it has its name until the handle is closed.
Result<std::unique_ptr<File>> replaceFileKeeping(FileSystem& fs, const std::string& target,
                                                 const std::function<Status(File&)>& fill);

}  // namespace pelisto
