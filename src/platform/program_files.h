// Files a running program keeps for itself (a cache, temporary sound) carry
// its process id in their names, so that copies running side by side never
// share one, and those a program left behind when it was killed can be
// told from the files of programs still running.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
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

// The paths of the files of that kind in own.folder whose program no
// longer runs (folders, this program's own and those of programs running
// left out); none when own.running is null.
std::vector<std::string> staleFiles(FileSystem& fs, const ProgramFiles& own, const std::string& stem,
                                    const std::string& extension);

// Removes the files staleFiles names. Returns how many went.
int removeStaleFiles(FileSystem& fs, const ProgramFiles& own, const std::string& stem,
                     const std::string& extension);

}  // namespace pelisto
