// The folders the program keeps files of its own in, after the freedesktop
// base-directory rules: caches and temporary sound in the cache folder,
// what must outlive a run in the state folder. Each is a "pelisto" folder
// in the user's base folder of its kind.
#pragma once

#include <functional>
#include <string>

#include "platform/file_system.h"
#include "platform/status.h"

namespace pelisto {

struct UserFolders {
  std::string cache;  // $XDG_CACHE_HOME/pelisto, else $HOME/.cache/pelisto
  std::string state;  // $XDG_STATE_HOME/pelisto, else $HOME/.local/state/pelisto
};

// Reads a variable of the environment: null when it is not set.
using EnvLookup = std::function<const char*(const char*)>;

// The folders after the variables env gives. An empty or relative value
// counts as unset, as the rules say; without a home folder either, that
// folder is empty (the caller's current directory).
UserFolders userFoldersFrom(const EnvLookup& env);

// The folders of this process's environment (the home folder from the
// password database when HOME is not set).
UserFolders userFolders();

// Makes folder and every missing folder above it, each private to the user
// (0700). Ok when folder already is one; the failure of the first folder
// that could not be made otherwise.
Status makeFolders(FileSystem& fs, const std::string& folder);

}  // namespace pelisto
