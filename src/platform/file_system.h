// The file system as the core sees it: byte files read and written at
// explicit offsets, plus the few folder operations the program needs.
// Shaped after a narrow Env: one real implementation (posix_file_system),
// one in memory with failure injection (headless/mem_file_system).
//
// Failures carry the reason as the user reads it, in Japanese and without
// the path (the caller names the file the user chose): see file_errors.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace pelisto {

enum class OpenMode {
  kRead,       // existing regular file, reading only; other readers may open it too
  kReadWrite,  // existing regular file, reading and writing in place
  kCreate,     // regular file made empty (created or truncated), reading and writing
  kCreateNew,  // a new regular file; fails (kExists) when anything has the name,
               // a symbolic link included, which is never followed
  kCreateNewLocked,  // as kCreateNew, the file holding its lock (File::tryLock)
                     // before it has its name, so that no other program ever
                     // finds it unlocked (where the file system cannot make a
                     // nameless file: locked at once after it is made)
};

// What taking a file's advisory lock gave.
enum class LockResult {
  kTaken,        // this handle holds it now, until it is closed
  kHeld,         // another open handle holds it (of this program or another)
  kUnsupported,  // the file system refuses advisory locks
};

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  virtual ~File() = default;

  // Reads up to n bytes at byte offset into dst. Returns the number of bytes
  // read: less than n only at the end of the file (0 at or past the end).
  virtual Result<size_t> read(uint64_t offset, uint8_t* dst, size_t n) = 0;
  // Writes n bytes at byte offset, extending the file as needed.
  // Fails with kNoSpace on a full device, kIoError otherwise.
  virtual Status write(uint64_t offset, const uint8_t* src, size_t n) = 0;
  // The file's length in bytes.
  virtual Result<uint64_t> size() = 0;
  // Flushes written data to the device.
  virtual Status sync() = 0;
  // Makes room on the device for the file to be `bytes` long before it is
  // written: the length becomes at least `bytes` (the new bytes read as
  // zeros), or stays as it is where the file system cannot reserve room.
  // Fails with kNoSpace when the device cannot hold that many bytes.
  virtual Status reserve(uint64_t bytes) = 0;
  // Asks the device to begin writing n bytes at offset now, without
  // waiting for it: a hint that lets a long write and its final sync()
  // overlap. Nothing is reported; sync() still makes the bytes durable.
  // Best asked for a megabyte at a time (WritebackPacer).
  virtual void startWriteback(uint64_t offset, uint64_t n) = 0;
  // Takes the file's advisory lock, exclusive and without waiting, for
  // this handle: a running program holds it on each file it keeps for
  // itself for as long as it keeps it (program_files.h). Closing the
  // handle, or the program's end however it comes, lets it go.
  virtual LockResult tryLock() = 0;
};

enum class FileKind { kRegular, kDirectory, kOther };

// What stat tells of a path (links followed).
struct FileInfo {
  FileKind kind = FileKind::kOther;
  uint64_t size = 0;         // bytes
  int64_t modifiedNs = 0;    // last modification, ns on the clock of startedNs()
  uint32_t permissions = 0;  // the permission bits (07777)
  bool writable = false;     // the user may write the file itself
};

// Hands a file's bytes to the device a megabyte at a time as they are
// written from `from` on: in smaller pieces the asking costs as much as
// the copying.
class WritebackPacer {
 public:
  explicit WritebackPacer(uint64_t from = 0) : m_from(from) {}
  // The bytes up to `end` are written.
  void wrote(File& file, uint64_t end) {
    if (end - m_from < (uint64_t{1} << 20)) return;
    file.startWriteback(m_from, end - m_from);
    m_from = end;
  }

 private:
  uint64_t m_from;  // bytes from here on are not yet handed to the device
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // Opens path in mode. Only regular files are opened: a folder, a FIFO or a
  // device fails at once (kUnsupported), nothing waits. kNotFound when it does
  // not exist (kRead, kReadWrite) or its folder does not exist (kCreate…);
  // kDenied when access is denied; kExists for kCreateNew on a taken name.
  virtual Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) = 0;
  // What path is; kNotFound when nothing has that name.
  virtual Result<FileInfo> info(const std::string& path) = 0;
  // The names (without folder) of the entries of folder.
  virtual Result<std::vector<std::string>> list(const std::string& folder) = 0;
  // Makes the folder path, private to the user (0700). kExists when
  // anything has the name; kNotFound when the folder above it is missing.
  virtual Status makeFolder(const std::string& path) = 0;
  // Deletes the file at path; a symbolic link is removed, not its target.
  virtual Status remove(const std::string& path) = 0;
  // Renames from over to, replacing to atomically when it exists.
  virtual Status rename(const std::string& from, const std::string& to) = 0;
  // Sets the permission bits (07777) of path.
  virtual Status setPermissions(const std::string& path, uint32_t permissions) = 0;
  // Makes the entries of folder (a rename into it) durable on the device.
  virtual Status syncFolder(const std::string& folder) = 0;
  // True when both paths name the same existing file, however they are spelled.
  virtual bool sameFile(const std::string& a, const std::string& b) = 0;
  // When the running program started, on the clock of FileInfo::modifiedNs.
  virtual int64_t startedNs() const = 0;
  // When the process numbered pid started, on the same clock (never later
  // than it did); nothing when no process, or only a finished one, has
  // that number. A process whose start cannot be told started long ago.
  virtual std::optional<int64_t> processStartedNs(int64_t pid) = 0;

  // Where a save notes the temporary file it makes for as long as the file
  // may be there (replace_file.h); empty: saves note nothing. Set once,
  // before the first save.
  void setJournalFolder(std::string folder) { m_journalFolder = std::move(folder); }
  const std::string& journalFolder() const { return m_journalFolder; }

 private:
  std::string m_journalFolder;
};

// The process's real file system. Relative paths are taken from the current
// directory; its start time is the time of this call.
std::unique_ptr<FileSystem> newPosixFileSystem();

// The folder part of a path ("." for a bare name), and a fresh temporary
// file name in the same folder as target (for write-then-rename saves).
std::string folderOf(const std::string& path);
std::string temporaryPathBeside(const std::string& target);
// path from the root: a relative one taken from the current directory
// (unchanged when that cannot be told).
std::string absolutePathOf(const std::string& path);

}  // namespace pelisto
