// Fuzzes the wave header checks over an in-memory file. Beyond the
// sanitizers it asserts what callers rely on: an accepted header is the
// 44-byte layout with the data size from offset 40 and the file standing
// at offset 44; a rejected one carries one of the check messages.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_table.h"
#include "platform/headless/mem_file_system.h"
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

int32_t le32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                              (uint32_t(p[3]) << 24));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelisto;
  MemFileSystem fs;
  fs.setContents("in.wav", std::vector<uint8_t>(data, data + size));
  FileTable files(fs);
  if (!files.open(1, "in.wav", OpenMode::kRead)) std::abort();
  WaveHeaderCheck c = checkWaveHeader(files, 1);
  if (c.ok) {
    if (size < 44 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0 ||
        std::memcmp(data + 12, "fmt ", 4) != 0 || std::memcmp(data + 36, "data", 4) != 0) {
      std::abort();
    }
    if (c.format.FORMATTAG != 1 || c.format.CHANNELS != 2 || c.format.SAMPLERATE != 44100) std::abort();
    if (c.dataSize != le32(data + 40) || files.tell(1) != 44) std::abort();
    (void)lengthText(lengthSeconds(c.dataSize));
  } else if (!knownMessage(c.message)) {
    std::abort();
  }
  return 0;
}
