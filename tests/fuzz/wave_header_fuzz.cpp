// Fuzzes the wave header checks over an in-memory file. Beyond the
// sanitizers it asserts what callers rely on: an accepted header is the
// 44-byte layout whose sound is the data size from offset 40, or what the
// file holds after the header when that is less; a rejected one carries one
// of the check messages.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "headless/mem_file_system.h"
#include "view/view_text.h"
#include "wave/wave_header.h"

namespace {

bool knownMessage(const std::string& m) {
  using namespace pelisto;
  for (const char* k : {kMsgNotRiff, kMsgNotWave, kMsgBadFmt, kMsgNotPcm, kMsgMono, kMsgNot44k,
                        kMsgBadData}) {
    if (m == k) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelisto;
  MemFileSystem fs;
  fs.setContents("in.wav", std::vector<uint8_t>(data, data + size));
  auto file = fs.open("in.wav", OpenMode::kRead);
  if (!file) std::abort();
  WaveHeaderCheck c = checkWaveHeader(*file.value());
  if (c.ok()) {
    if (size < 44 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0 ||
        std::memcmp(data + 12, "fmt ", 4) != 0 || std::memcmp(data + 36, "data", 4) != 0) {
      std::abort();
    }
    if (c.format.FORMATTAG != 1 || c.format.CHANNELS != 2 || c.format.SAMPLERATE != 44100) std::abort();
    // The sound is the data chunk's size, or what the file holds after the header.
    if (c.dataSize != std::min<uint64_t>(getLe32(data + 40), size - 44)) std::abort();
    (void)lengthText(lengthSeconds(c.dataSize));
  } else if (!knownMessage(c.status.message())) {
    std::abort();
  }
  return 0;
}
