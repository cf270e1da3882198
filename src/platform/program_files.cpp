#include "platform/program_files.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/user_folders.h"

namespace pelisto {
namespace {

// The id in NAME = STEM-ID.EXTENSION (decimal digits only), else 0.
int64_t idInName(const std::string& name, const std::string& stem, const std::string& extension) {
  const size_t head = stem.size() + 1;
  if (name.size() <= head + extension.size() || name.compare(0, stem.size(), stem) != 0 ||
      name[stem.size()] != '-' ||
      name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
    return 0;
  }
  const std::string digits = name.substr(head, name.size() - head - extension.size());
  if (digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::strtoll(digits.c_str(), nullptr, 10);
}

}  // namespace

std::string ProgramFiles::path(const std::string& stem, const std::string& extension) const {
  const std::string name = stem + "-" + std::to_string(id) + extension;
  return folder.empty() ? name : folder + "/" + name;
}

ProgramFiles thisProgramFiles() { return thisProgramFilesIn(userFolders().cache); }

ProgramFiles thisProgramFilesIn(std::string folder) {
  // A process of another user answers "not permitted": it runs too.
  return ProgramFiles{std::move(folder), ::getpid(), [](int64_t id) {
                        return id > 0 && id <= INT32_MAX &&
                               (::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM);
                      }};
}

Keeping claimFile(FileSystem& fs, const std::string& path, std::unique_ptr<File>& handle) {
  handle.reset();
  auto opened = fs.open(path, OpenMode::kRead);
  if (!opened) return opened.status().code() == StatusCode::kNotFound ? Keeping::kGone : Keeping::kNoLocks;
  handle = std::move(opened.value());
  switch (handle->tryLock()) {
    case LockResult::kTaken: return Keeping::kLeftBehind;
    case LockResult::kHeld: handle.reset(); return Keeping::kKept;
    case LockResult::kUnsupported: return Keeping::kNoLocks;
  }
  return Keeping::kNoLocks;
}

std::vector<std::string> staleFiles(FileSystem& fs, const ProgramFiles& own, const std::string& stem,
                                    const std::string& extension) {
  std::vector<std::string> left;
  if (!own.running) return left;
  auto names = fs.list(own.folder.empty() ? "." : own.folder);
  if (!names) return left;
  for (const std::string& name : names.value()) {
    const int64_t id = idInName(name, stem, extension);
    if (id <= 0 || id == own.id) continue;
    const std::string path = own.folder.empty() ? name : own.folder + "/" + name;
    auto info = fs.info(path);
    if (info && info.value().kind == FileKind::kDirectory) continue;
    if (!info) {  // a link to nothing: no program keeps it
      left.push_back(path);
      continue;
    }
    std::unique_ptr<File> handle;
    const Keeping keeping = claimFile(fs, path, handle);
    // A file that cannot be opened (not readable, say) is told by the
    // fallback's rule too.
    if (keeping == Keeping::kLeftBehind || (keeping == Keeping::kNoLocks && !own.running(id))) {
      left.push_back(path);
    }
  }
  return left;
}

int removeStaleFiles(FileSystem& fs, const ProgramFiles& own, const std::string& stem,
                     const std::string& extension) {
  int removed = 0;
  for (const std::string& path : staleFiles(fs, own, stem, extension)) {
    if (fs.remove(path)) ++removed;
  }
  return removed;
}

void avoidHeldNames(FileSystem& fs, ProgramFiles& own,
                    const std::vector<std::pair<std::string, std::string>>& kinds) {
  const int64_t pid = own.id & 0xFFFFFFFF;
  auto held = [&](const std::pair<std::string, std::string>& kind) {
    std::unique_ptr<File> handle;
    return claimFile(fs, own.path(kind.first, kind.second), handle) == Keeping::kKept;
  };
  for (int64_t n = 0; n < 64; ++n) {
    own.id = pid + (n << 32);
    if (std::none_of(kinds.begin(), kinds.end(), held)) return;
  }
}

}  // namespace pelisto
