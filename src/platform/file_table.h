// Files opened by number, from 1 to 255, each with its own read/write
// position. The handlers keep numbers in the application state
// (WAVEFNUM, GRAPHFNUM) and reach their files through this table.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace pelisto {

class FileTable {
 public:
  static constexpr int kMaxFiles = 255;

  explicit FileTable(FileSystem& fs) : m_fs(fs) {}
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  // The lowest number from 1 to 255 with no open file; 0 when all are in use.
  int16_t freeFile() const;
  // Opens path under num (which must be free and in 1..255); position 0.
  Status open(int16_t num, const std::string& path, OpenMode mode);
  // Opens path under the lowest free number and returns it; kLimit when all
  // 255 are in use.
  Result<int16_t> openFree(const std::string& path, OpenMode mode);
  // Puts a file opened elsewhere under the lowest free number, as if path
  // had been opened there (position 0), and returns the number; kLimit
  // when all 255 are in use (the file is closed then).
  Result<int16_t> adopt(const std::string& path, std::unique_ptr<File> file);
  // Closes num. Closing a number that is not open is harmless.
  void close(int16_t num);
  // Frees num and hands its file over still open; null when not open.
  std::unique_ptr<File> release(int16_t num);
  bool isOpen(int16_t num) const;
  // The path num was opened with; empty when not open.
  std::string path(int16_t num) const;

  // Current byte position of num (0 when not open).
  uint64_t tell(int16_t num) const;
  // Moves the position of num; positions past the end are allowed.
  Status seek(int16_t num, uint64_t pos);
  // Length of num in bytes.
  Result<uint64_t> length(int16_t num);
  // Reads up to n bytes at the position and advances it by the count read
  // (less than n only at the end of the file).
  Result<size_t> read(int16_t num, uint8_t* dst, size_t n);
  // Writes n bytes at the position and advances it.
  Status write(int16_t num, const uint8_t* src, size_t n);
  // Direct access to the open file (nullptr when num is not open).
  File* file(int16_t num);

 private:
  struct Slot {
    std::unique_ptr<File> file;
    std::string path;
    uint64_t pos = 0;
  };
  Slot* slot(int16_t num);
  const Slot* slot(int16_t num) const;

  FileSystem& m_fs;
  std::array<Slot, kMaxFiles + 1> m_slots;  // index 0 unused
};

}  // namespace pelisto
