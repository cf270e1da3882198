// One build of the graph cache, done a step at a time on a worker: the
// wave file is read through a handle of its own and the records go into a
// new cache file, both at explicit offsets, so nothing the window does
// meanwhile (drawing from the wave file, closing it, opening another)
// reaches the build, and the build touches nothing of the window's. Even
// the files are opened by the first step: removing the old cache can take
// milliseconds, which the window does not wait for. The file system must
// take calls from the worker's thread (the real one does).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pelisto {

class GraphBuild {
 public:
  // The records of seconds 0 … lastSecond of the wave file at wavePath,
  // into cachePath: whatever has that name is removed and the cache is
  // made anew, as a regular file (a link planted under the name is never
  // followed).
  GraphBuild(FileSystem& fs, std::string wavePath, std::string cachePath, int32_t lastSecond);
  GraphBuild(const GraphBuild&) = delete;
  GraphBuild& operator=(const GraphBuild&) = delete;

  // The first step opens the files; each later one reduces the next chunk
  // of blocks and writes the records that are ready. False once every
  // record is written, or a file could not be opened or written, or
  // memory ran out.
  bool step();
  // How far the build is, 0 … 100; safe from any thread.
  int percent() const;
  // After the last step: ok, or why the cache could not be made.
  const Status& status() const { return m_status; }
  // The cache file (complete when status() is ok), open and holding its
  // lock; the build keeps nothing.
  std::unique_ptr<File> takeCache() { return std::move(m_cache); }

 private:
  bool advance();
  Status openFiles();
  Status flush();

  FileSystem& m_fs;
  const std::string m_wavePath;
  const std::string m_cachePath;
  const int32_t m_lastSecond;
  std::unique_ptr<File> m_wave;
  std::unique_ptr<File> m_cache;
  uint64_t m_totalBlocks = 0;
  uint64_t m_realBlocks = 0;  // blocks wholly in the wave file; the rest are silence
  uint64_t m_block = 0;       // the next block to reduce
  uint64_t m_written = 0;     // bytes of records written
  std::unique_ptr<uint8_t[]> m_chunk;
  std::vector<uint8_t> m_batch;
  std::atomic<int> m_percent{0};
  Status m_status;
};

}  // namespace pelisto
