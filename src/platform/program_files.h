// Files a running program keeps for itself (a cache, temporary sound, the
// copy of an unsaved list) carry its process id in their names, so that
// copies running side by side never share one. Which of them a program
// left behind is told by their locks: a running program holds the lock of
// each such file for as long as it keeps it (File::tryLock), so a file is
// left behind exactly when its lock can be taken. That holds whatever
// became of the process id since: reused after a restart, held by a
// process not yet reaped, or of another process namespace. Where the file
// system refuses locks, a file is left behind when no process runs under
// its id (ProgramFiles::running).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace pelisto {

struct ProgramFiles {
  std::string folder;  // where they go; empty: the current directory
  int64_t id = 0;      // this program's process id
  // Whether the program of an id still runs; null: every one does.
  std::function<bool(int64_t)> running;

  // This program's file of a kind: FOLDER/STEM-ID.EXTENSION
  // (extension with its dot, for instance ".TMP").
  std::string path(const std::string& stem, const std::string& extension) const;
};

// The files of this process: the cache folder of the user (or folder), the
// process id, and the system's table of processes.
ProgramFiles thisProgramFiles();
ProgramFiles thisProgramFilesIn(std::string folder);

// Whether a file some program may keep is kept.
enum class Keeping {
  kLeftBehind,  // its lock could be taken: the handle holds it now
  kKept,        // a running program holds its lock
  kNoLocks,     // the file system refuses locks: the handle is open, unlocked
  kGone,        // it cannot be opened (removed meanwhile, say)
};

// Opens path and tries its lock. A handle left holding the lock keeps the
// file from every other program while the caller deals with it.
Keeping claimFile(FileSystem& fs, const std::string& path, std::unique_ptr<File>& handle);

// The paths of the files of that kind in own.folder that programs left
// behind: their locks free (or, without locks, no process runs under their
// id). Folders, this program's own files and those of programs running
// are left out; none when own.running is null. Each lock is let go again.
std::vector<std::string> staleFiles(FileSystem& fs, const ProgramFiles& own, const std::string& stem,
                                    const std::string& extension);

// Removes the files staleFiles names. Returns how many went.
int removeStaleFiles(FileSystem& fs, const ProgramFiles& own, const std::string& stem,
                     const std::string& extension);

// Moves own.id past the ids under which a running program holds a file of
// one of these kinds (stem and extension): a program of another process
// namespace may run under the same number. The ids tried after the process
// id are id + 2^32, id + 2 × 2^32, …, which no process of this system has.
void avoidHeldNames(FileSystem& fs, ProgramFiles& own,
                    const std::vector<std::pair<std::string, std::string>>& kinds);

}  // namespace pelisto
