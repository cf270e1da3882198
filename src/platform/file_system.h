// The file system as the core sees it: byte files read and written at
// explicit offsets, plus the few directory operations the program needs.
// Shaped after a narrow Env: one real implementation (posix_file_system),
// one in memory with failure injection (headless/mem_file_system).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"

namespace pelisto {

enum class OpenMode {
  kRead,       // existing file, reading only; other readers may open it too
  kReadWrite,  // existing file, reading and writing in place
  kCreate,     // new empty file (an existing one is truncated), reading and writing
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
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // Opens path in mode. kNotFound when it does not exist (kRead, kReadWrite)
  // or its folder does not exist (kCreate); kIoError when access is denied.
  virtual Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) = 0;
  // True when path names an existing regular file (not a folder).
  virtual bool isFile(const std::string& path) = 0;
  // True when path names an existing folder.
  virtual bool isDirectory(const std::string& path) = 0;
  // Deletes the file at path.
  virtual Status remove(const std::string& path) = 0;
  // Renames from over to, replacing to atomically when it exists.
  virtual Status rename(const std::string& from, const std::string& to) = 0;
  // True when both paths name the same existing file, however they are spelled.
  virtual bool sameFile(const std::string& a, const std::string& b) = 0;
};

// The process's real file system. Relative paths are taken from the current
// directory.
std::unique_ptr<FileSystem> newPosixFileSystem();

// The folder part of a path ("." for a bare name), and a fresh temporary
// file name in the same folder as target (for write-then-rename saves).
std::string folderOf(const std::string& path);
std::string temporaryPathBeside(const std::string& target);

}  // namespace pelisto
