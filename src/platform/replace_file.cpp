#include "platform/replace_file.h"

#include <memory>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/file_errors.h"

namespace pelisto {
namespace {

constexpr std::string_view kPrefix = kTemporaryPrefix;
constexpr std::string_view kSuffix = kTemporarySuffix;

std::string pathIn(const std::string& folder, const std::string& name) {
  if (folder == "/") return "/" + name;
  return folder + "/" + name;
}

// The process number in a temporary file's name (".pelisto-PID-N.tmp").
std::optional<int64_t> processOf(std::string_view name) {
  name.remove_prefix(kPrefix.size());
  int64_t pid = 0;
  size_t digits = 0;
  for (; digits < name.size() && digits < 12 && name[digits] >= '0' && name[digits] <= '9'; ++digits) {
    pid = pid * 10 + (name[digits] - '0');
  }
  if (digits == 0 || digits >= name.size() || name[digits] != '-') return std::nullopt;
  return pid;
}

// Left by a program that is gone: older than this one, and its process
// has ended (or the number now names a process started after the file).
// A program that still runs, paused or slow, keeps its file.
bool isStale(FileSystem& fs, const std::string& name, int64_t modifiedNs) {
  if (modifiedNs >= fs.startedNs()) return false;
  const std::optional<int64_t> pid = processOf(name);
  if (!pid) return true;  // no process to ask after
  const std::optional<int64_t> started = fs.processStartedNs(*pid);
  // File times lag the clock a little: a process counts as newer than the
  // file only when it started clearly later.
  constexpr int64_t kSlackNs = 1000000000;
  return !started || *started > modifiedNs + kSlackNs;
}

// Removes the temporary file when it goes out of scope before its rename.
class TemporaryFile {
 public:
  TemporaryFile(FileSystem& fs, const std::string& path) : m_fs(fs), m_path(path) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!m_renamed) m_fs.remove(m_path);
  }
  void renamed() { m_renamed = true; }

 private:
  FileSystem& m_fs;
  const std::string& m_path;
  bool m_renamed = false;
};

}  // namespace

bool isTemporaryName(const std::string& name) {
  return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
         name.ends_with(kSuffix);
}

void removeStaleTemporaries(FileSystem& fs, const std::string& folder) {
  auto names = fs.list(folder);
  if (!names) return;
  for (const std::string& name : names.value()) {
    if (!isTemporaryName(name)) continue;
    const std::string path = pathIn(folder, name);
    auto info = fs.info(path);
    if (info && info->kind == FileKind::kRegular && isStale(fs, name, info->modifiedNs)) {
      fs.remove(path);
    }
  }
}

Status replaceFile(FileSystem& fs, const std::string& target,
                   const std::function<Status(File&)>& fill) {
  const std::string folder = folderOf(target);
  removeStaleTemporaries(fs, folder);

  std::optional<uint32_t> keepPermissions;
  if (auto existing = fs.info(target)) {
    if (existing->kind == FileKind::kDirectory) {
      return Status::error(StatusCode::kUnsupported, reason::kIsFolder);
    }
    if (existing->kind != FileKind::kRegular) {
      return Status::error(StatusCode::kUnsupported, reason::kNotRegular);
    }
    if (!existing->writable) return Status::error(StatusCode::kDenied, reason::kNotWritable);
    keepPermissions = existing->permissions;
  }

  const std::string temp = temporaryPathBeside(target);
  auto created = fs.open(temp, OpenMode::kCreateNew);
  if (!created) return created.status();
  // Until the rename, every way out (an exception from fill included)
  // closes the file and removes it.
  TemporaryFile guard(fs, temp);
  std::unique_ptr<File> file = std::move(created.value());
  Status st = fill(*file);
  if (st) st = file->sync();
  file.reset();
  if (st && keepPermissions) st = fs.setPermissions(temp, *keepPermissions);
  if (st) st = fs.syncFolder(folder);
  if (st) st = fs.rename(temp, target);
  if (!st) return st;
  guard.renamed();
  // The new file is in place: a folder that cannot be synced now changes
  // nothing the user could act on.
  fs.syncFolder(folder);
  return Status::ok();
}

}  // namespace pelisto
