// The survey of a wave file, run a step at a time on a worker after the
// file is opened: one sequential read that measures every 10-ms block
// (the level the pause search uses) and the envelope drawn on the strip of
// the whole file (the lowest and highest sample of each of its columns).
// The file is read through a handle of its own, so nothing the window does
// meanwhile reaches the survey; within a step a helper thread reads the
// next stretch while this one is measured (nothing is read between steps). What is measured is published as it goes:
// the user-interface thread may read the blocks and columns done so far
// while later ones are being measured.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/helper_thread.h"

namespace pelisto {

struct Envelope {
  int16_t low = 0, high = 0;
  // The levels of the blocks in the column, weighted by their frames in
  // it: power / frames is the mean square of the louder channel.
  double power = 0;
  uint64_t frames = 0;
  bool empty() const { return low > high; }  // a column with no frame
  // The RMS level of the louder channel, in 16-bit sample units.
  double rms() const;
};

class WaveSurvey {
 public:
  // The file at path whose sound is dataSize bytes from byte 44, its
  // envelope in `columns` columns of equal share. Bytes the file does not
  // hold are silence.
  WaveSurvey(FileSystem& fs, std::string path, uint64_t dataSize, int columns);
  WaveSurvey(const WaveSurvey&) = delete;
  WaveSurvey& operator=(const WaveSurvey&) = delete;

  // On the worker: the first step opens the file, each later one measures
  // the next stretch. False once the whole file is measured, or the file
  // could not be opened, or memory ran out.
  bool step();

  const std::string& path() const { return m_path; }
  uint64_t frames() const { return m_frames; }
  uint64_t blocks() const { return m_blockCount; }
  int columns() const { return m_columns; }
  // The first frame of column c (columnStart(columns()) is frames()).
  uint64_t columnStart(int c) const;
  // The column that shows frame f.
  int columnOf(uint64_t f) const;

  // From any thread: the blocks measured so far; block k's level and the
  // complete columns may be read for k < blocksDone().
  uint64_t blocksDone() const { return m_done.load(std::memory_order_acquire); }
  bool finished() const { return blocksDone() == m_blockCount || m_failed.load(std::memory_order_acquire); }
  // The mean square of block k's louder channel, in 16-bit sample units.
  float level(uint64_t k) const { return m_levels[k]; }
  // The columns whose frames are all measured: 0 … columnsDone() - 1.
  int columnsDone() const;
  const Envelope& column(int c) const { return m_envelope[c]; }
  // After the last step: ok, or why the file could not be surveyed.
  const Status& status() const { return m_status; }

 private:
  bool advance();
  Status openFiles();
  // Reads the stretch of blocks from m_readBlock into m_chunks[m_readInto]
  // (on the helper thread): silence where the file holds no sound.
  void readChunk();
  void measureBlock(uint64_t k, const int16_t* samples, uint64_t frames);

  FileSystem& m_fs;
  const std::string m_path;
  const uint64_t m_frames;
  const uint64_t m_blockCount;
  const int m_columns;
  std::unique_ptr<File> m_file;
  uint64_t m_realBlocks = 0;  // blocks the file holds; the rest are silence
  int m_column = 0;           // the column of the next frame measured
  uint64_t m_columnEnd = 0;   // the first frame after it
  std::vector<float> m_levels;
  std::vector<Envelope> m_envelope;
  std::unique_ptr<int16_t[]> m_chunks[2];  // read into one while the other is measured
  int m_measured = 0;                      // the one holding the stretch to measure
  uint64_t m_readBlock = 0;
  int m_readInto = 0;
  std::unique_ptr<HelperThread> m_reader;
  std::atomic<uint64_t> m_done{0};
  std::atomic<bool> m_failed{false};
  Status m_status;
};

}  // namespace pelisto
