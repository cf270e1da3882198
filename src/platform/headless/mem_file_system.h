// An in-memory file system for tests and the scenario runner, with
// switches for failure injection.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pelisto {

class MemFileSystem final : public FileSystem {
 public:
  MemFileSystem();

  Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
  bool isFile(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  Status remove(const std::string& path) override;
  Status rename(const std::string& from, const std::string& to) override;
  bool sameFile(const std::string& a, const std::string& b) override;

  // Test set-up and inspection.
  void addDirectory(const std::string& path);
  void setContents(const std::string& path, std::vector<uint8_t> bytes);
  std::vector<uint8_t> contents(const std::string& path) const;  // empty when missing
  std::vector<std::string> files() const;                         // every file path

  // Failure injection.
  // Writes fail with kNoSpace once the bytes held in all files would pass limit.
  void setCapacity(uint64_t bytes) { m_capacity = bytes; }
  // Creating, writing, renaming or deleting files in folder fails (kIoError).
  void setReadOnlyDirectory(const std::string& folder) { m_readOnly.insert(folder); }
  // Reads of path fail with kIoError.
  void failReadsOf(const std::string& path) { m_failReads.insert(path); }

 private:
  friend class MemFile;
  using Data = std::shared_ptr<std::vector<uint8_t>>;
  uint64_t usedBytes() const;
  bool readOnly(const std::string& path) const;

  std::map<std::string, Data> m_files;
  std::set<std::string> m_dirs;
  std::set<std::string> m_readOnly;
  std::set<std::string> m_failReads;
  uint64_t m_capacity = UINT64_MAX;
};

}  // namespace pelisto
