#include "platform/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace pelisto {
namespace {

constexpr const char* kOwnFolder = "/pelisto";

// An absolute value of name, else empty.
std::string absoluteValue(const EnvLookup& env, const char* name) {
  const char* value = env(name);
  return value && value[0] == '/' ? std::string(value) : std::string();
}

// The base folder of a kind: its variable, else the home folder's subfolder.
std::string baseFolder(const EnvLookup& env, const char* variable, const char* underHome) {
  std::string base = absoluteValue(env, variable);
  if (!base.empty()) return base;
  const std::string home = absoluteValue(env, "HOME");
  return home.empty() ? std::string() : home + underHome;
}

}  // namespace

UserFolders userFoldersFrom(const EnvLookup& env) {
  const std::string cache = baseFolder(env, "XDG_CACHE_HOME", "/.cache");
  const std::string state = baseFolder(env, "XDG_STATE_HOME", "/.local/state");
  return UserFolders{cache.empty() ? cache : cache + kOwnFolder,
                     state.empty() ? state : state + kOwnFolder};
}

UserFolders userFolders() {
  return userFoldersFrom([](const char* name) -> const char* {
    const char* value = std::getenv(name);
    if (value || std::string(name) != "HOME") return value;
    const struct passwd* user = ::getpwuid(::getuid());
    return user ? user->pw_dir : nullptr;
  });
}

Status makeFolders(FileSystem& fs, const std::string& folder) {
  if (folder.empty()) return Status::ok();
  // Each folder from the top down; one made meanwhile by another program
  // is as good as one made here.
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    auto info = fs.info(part);
    if (!info || info.value().kind != FileKind::kDirectory) {
      Status made = fs.makeFolder(part);
      auto now = fs.info(part);
      if (!made && !(now && now.value().kind == FileKind::kDirectory)) return made;
    }
    if (slash == std::string::npos) return Status::ok();
  }
}

}  // namespace pelisto
