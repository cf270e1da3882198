// Helpers of the sound-path benchmarks: CPU time, a WAV file under /tmp.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/riff.h"

namespace pelisto::bench {

// CPU seconds (user + system, all threads) of this process so far.
inline double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

inline double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Writes seconds of 16-bit stereo 44.1 kHz sound (a quiet ramp) to path.
inline bool writeWav(FileSystem& fs, const std::string& path, int seconds) {
  const uint32_t bytes = uint32_t(seconds) * 176400;
  std::vector<uint8_t> f = riff::canonicalHeader(bytes);
  f.resize(f.size() + bytes);
  for (uint32_t i = 0; i < bytes; ++i) f[44 + i] = uint8_t(i * 7 + 3);
  Result<std::unique_ptr<File>> file = fs.open(path, OpenMode::kCreate);
  return file && (*file)->write(0, f.data(), f.size()).isOk();
}

}  // namespace pelisto::bench
