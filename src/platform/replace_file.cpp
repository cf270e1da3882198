#include "platform/replace_file.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/file_errors.h"
#include "platform/program_files.h"
#include "platform/user_folders.h"

namespace pelisto {
namespace {

constexpr std::string_view kPrefix = kTemporaryPrefix;
constexpr std::string_view kSuffix = kTemporarySuffix;
// A note of the journal: SAVING-PID-N.NOTE for .pelisto-PID-N.tmp.
constexpr std::string_view kNotePrefix = "SAVING-";
constexpr std::string_view kNoteSuffix = ".NOTE";
// No note is longer: a path and a little.
constexpr size_t kMaxNoteBytes = 65536;
// Names tried for a temporary file when the first is taken (by a program
// of another process namespace with the same number, say).
constexpr int kTemporaryNames = 100;

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

// Where the file system refuses locks: left by a program that is gone
// when its process has ended (or the number now names a process started
// after the file). A program that still runs, paused or slow, keeps its file.
bool processGone(FileSystem& fs, const std::string& name, int64_t modifiedNs) {
  const std::optional<int64_t> pid = processOf(name);
  if (!pid) return true;  // no process to ask after
  const std::optional<int64_t> started = fs.processStartedNs(*pid);
  // File times lag the clock a little: a process counts as newer than the
  // file only when it started clearly later.
  constexpr int64_t kSlackNs = 1000000000;
  return !started || *started > modifiedNs + kSlackNs;
}

// Whether the file at path (named `name`, its process number after
// `prefix`) is left behind; made since this program started, it is
// another's save under way whose lock may not be taken yet.
bool leftBehind(FileSystem& fs, const std::string& path, const std::string& name) {
  auto info = fs.info(path);
  if (!info || info->kind != FileKind::kRegular || info->modifiedNs >= fs.startedNs()) return false;
  std::unique_ptr<File> handle;
  switch (claimFile(fs, path, handle)) {
    case Keeping::kLeftBehind: return true;
    case Keeping::kNoLocks: return processGone(fs, name, info->modifiedNs);
    default: return false;
  }
}

std::string nameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The note of a save in progress: a file of the journal folder naming the
// temporary file, held locked for as long as the save runs and removed
// with it. A journal that cannot be written never stops a save: the
// temporary file is then only found by the saves into its own folder.
class SaveNote {
 public:
  SaveNote(FileSystem& fs, const std::string& temp) : m_fs(fs) {
    const std::string& journal = fs.journalFolder();
    const std::string name = nameOf(temp);
    if (journal.empty() || !isTemporaryName(name)) return;
    const std::string id = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    m_path = pathIn(journal, std::string(kNotePrefix) + id + std::string(kNoteSuffix));
    auto note = fs.open(m_path, OpenMode::kCreateNewLocked);
    if (!note && note.status().code() == StatusCode::kNotFound && makeFolders(fs, journal)) {
      note = fs.open(m_path, OpenMode::kCreateNewLocked);
    }
    if (!note) {
      m_path.clear();
      return;
    }
    m_note = std::move(note.value());
    const std::string noted = absolutePathOf(temp);
    if (!m_note->write(0, reinterpret_cast<const uint8_t*>(noted.data()), noted.size())) {
      m_note.reset();
      fs.remove(m_path);
      m_path.clear();
    }
  }
  SaveNote(const SaveNote&) = delete;
  SaveNote& operator=(const SaveNote&) = delete;
  ~SaveNote() {
    if (m_path.empty()) return;
    m_fs.remove(m_path);
    m_note.reset();
  }

 private:
  FileSystem& m_fs;
  std::string m_path;
  std::unique_ptr<File> m_note;
};

// The path a note names, when it can be read.
std::optional<std::string> notedPath(File& note) {
  auto size = note.size();
  if (!size || size.value() == 0 || size.value() > kMaxNoteBytes) return std::nullopt;
  std::string path(static_cast<size_t>(size.value()), '\0');
  auto got = note.read(0, reinterpret_cast<uint8_t*>(path.data()), path.size());
  if (!got || got.value() != path.size()) return std::nullopt;
  return path;
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
    if (leftBehind(fs, path, name)) fs.remove(path);
  }
}

void removeLeftSaves(FileSystem& fs) {
  const std::string& journal = fs.journalFolder();
  if (journal.empty()) return;
  auto names = fs.list(journal);
  if (!names) return;
  for (const std::string& name : names.value()) {
    if (!name.starts_with(kNotePrefix) || !name.ends_with(kNoteSuffix)) continue;
    const std::string path = pathIn(journal, name);
    // The note's name holds its program's number where the temporary
    // file's does: ".pelisto-" in place of "SAVING-".
    const std::string asTemporary = std::string(kPrefix) + name.substr(kNotePrefix.size());
    if (!leftBehind(fs, path, asTemporary)) continue;
    auto note = fs.open(path, OpenMode::kRead);
    const std::optional<std::string> temp = note ? notedPath(*note.value()) : std::nullopt;
    // Only a temporary file of this program's naming is ever removed.
    if (temp && isTemporaryName(nameOf(*temp)) && leftBehind(fs, *temp, nameOf(*temp))) fs.remove(*temp);
    fs.remove(path);
  }
}

Result<std::unique_ptr<File>> replaceFileKeeping(FileSystem& fs, const std::string& target,
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

  // The note first, then the file: a kill at any moment leaves nothing
  // the journal does not name.
  std::string temp;
  std::unique_ptr<SaveNote> note;
  Result<std::unique_ptr<File>> created = Status::error(StatusCode::kExists, reason::kExists);
  for (int n = 0; n < kTemporaryNames && !created && created.status().code() == StatusCode::kExists; ++n) {
    temp = temporaryPathBeside(target);
    note = std::make_unique<SaveNote>(fs, temp);
    created = fs.open(temp, OpenMode::kCreateNewLocked);
  }
  if (!created) return created.status();
  // Until the rename, every way out (an exception from fill included)
  // closes the file and removes it, then its note.
  TemporaryFile guard(fs, temp);
  std::unique_ptr<File> file = std::move(created.value());
  Status st = fill(*file);
  if (st) st = file->sync();
  if (st && keepPermissions) st = fs.setPermissions(temp, *keepPermissions);
  if (st) st = fs.syncFolder(folder);
  if (st) st = fs.rename(temp, target);
  if (!st) {
    file.reset();
    return st;
  }
  guard.renamed();
  // The new file is in place: a folder that cannot be synced now changes
  // nothing the user could act on.
  fs.syncFolder(folder);
  return file;
}

Status replaceFile(FileSystem& fs, const std::string& target,
                   const std::function<Status(File&)>& fill) {
  return replaceFileKeeping(fs, target, fill).status();
}

}  // namespace pelisto
