// One build of the graph cache, done a step at a time on a worker: the
// wave file is read through a handle of its own and the records go into a
// new cache file, both at explicit offsets, so nothing the window does
// meanwhile (drawing from the wave file, closing it, opening another)
// reaches the build, and the build touches nothing of the window's.
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
  // Opens wavePath for reading and creates cachePath as a new file for the
  // records of seconds 0 … lastSecond. Fails with the status of the file
  // that could not be opened or created.
  static Result<std::unique_ptr<GraphBuild>> create(FileSystem& fs, const std::string& wavePath,
                                                    const std::string& cachePath, int32_t lastSecond);
  GraphBuild(const GraphBuild&) = delete;
  GraphBuild& operator=(const GraphBuild&) = delete;

  // Reduces the next chunk of blocks and writes the records that are
  // ready. False once every record is written or a write failed.
  bool step();
  // How far the build is, 0 … 100; safe from any thread.
  int percent() const;
  // After the last step: ok, or the failure of writing the cache.
  const Status& status() const { return m_status; }
  // The cache file (complete when status() is ok); the build keeps nothing.
  std::unique_ptr<File> takeCache() { return std::move(m_cache); }

 private:
  GraphBuild(std::unique_ptr<File> wave, std::unique_ptr<File> cache, int32_t lastSecond);
  Status flush();

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
