// An in-memory file system for tests and the scenario runner, with
// switches for failure injection.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pelisto {

class MemFileSystem final : public FileSystem {
 public:
  MemFileSystem();

  Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
  Result<FileInfo> info(const std::string& path) override;
  Result<std::vector<std::string>> list(const std::string& folder) override;
  Status makeFolder(const std::string& path) override;
  Status remove(const std::string& path) override;
  Status rename(const std::string& from, const std::string& to) override;
  Status setPermissions(const std::string& path, uint32_t permissions) override;
  Status syncFolder(const std::string& folder) override;
  bool sameFile(const std::string& a, const std::string& b) override;
  int64_t startedNs() const override { return m_started; }
  std::optional<int64_t> processStartedNs(int64_t pid) override;

  // Test set-up and inspection. Every change of a file stamps it with the
  // next tick of a clock that starts at startedNs().
  bool isFile(const std::string& path) const { return m_files.count(path) != 0; }
  bool isDirectory(const std::string& path) const { return m_dirs.count(path) != 0; }
  void addDirectory(const std::string& path);
  void setContents(const std::string& path, std::vector<uint8_t> bytes);
  std::vector<uint8_t> contents(const std::string& path) const;  // empty when missing
  std::vector<std::string> files() const;                         // every file path
  // Makes path `length` bytes long without holding them: the bytes past its
  // contents read as zeros (a long recording at no cost).
  void setSparseLength(const std::string& path, uint64_t length) { m_sparse[path] = length; }
  // Something that is neither a file nor a folder (a FIFO, a device).
  void addSpecial(const std::string& path) { m_special.insert(path); }
  // Dates path's last change (ns; before startedNs() it predates the program).
  void setModified(const std::string& path, int64_t ns) { m_modified[path] = ns; }
  uint32_t permissions(const std::string& path) const;
  // Process pid runs, started at ns (nothing: it has ended). No process
  // runs unless said so.
  void setProcess(int64_t pid, std::optional<int64_t> startedNs);
  // Whether an open handle holds path's lock (locks belong to the file, so
  // they follow it through a rename).
  bool locked(const std::string& path) const;

  // Failure injection.
  // Writes fail with kNoSpace once the bytes held in all files would pass limit.
  void setCapacity(uint64_t bytes) { m_capacity = bytes; }
  // Locks are refused (kUnsupported), as on a file system without them.
  void refuseLocks(bool refuse) { m_locksRefused = refuse; }
  // Creating, writing, renaming or deleting files in folder fails (kIoError).
  void setReadOnlyDirectory(const std::string& folder) { m_readOnly.insert(folder); }
  // Reads of path fail with kIoError: every read, or with `from` those
  // that reach past byte `from` (a file that turns bad part of the way).
  void failReadsOf(const std::string& path, uint64_t from = 0) { m_failReads[path] = from; }
  // Memory runs out (std::bad_alloc is thrown) in reads of path that reach
  // past byte `from`; nothing: no longer.
  void exhaustMemoryInReadsOf(const std::string& path, std::optional<uint64_t> from) {
    if (from) {
      m_memoryOut[path] = *from;
    } else {
      m_memoryOut.erase(path);
    }
  }

 private:
  friend class MemFile;
  using Data = std::shared_ptr<std::vector<uint8_t>>;
  uint64_t usedBytes() const;
  bool readOnly(const std::string& path) const;
  void touch(const std::string& path) { m_modified[path] = ++m_clock; }
  uint64_t lengthOf(const std::string& path, const Data& data) const;

  std::map<std::string, Data> m_files;
  std::map<std::string, int64_t> m_modified;
  std::map<std::string, uint32_t> m_permissions;
  std::map<std::string, uint64_t> m_sparse;
  std::set<std::string> m_dirs;
  std::set<std::string> m_special;
  std::set<std::string> m_readOnly;
  std::map<std::string, uint64_t> m_failReads;
  std::map<std::string, uint64_t> m_memoryOut;
  std::map<int64_t, int64_t> m_processes;
  std::map<const std::vector<uint8_t>*, const void*> m_locks;  // a file's data: the handle holding it
  bool m_locksRefused = false;
  uint64_t m_capacity = UINT64_MAX;
  int64_t m_started = 1000000000;
  int64_t m_clock = m_started;
};

}  // namespace pelisto
