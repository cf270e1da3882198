#include "wave/wave_header.h"

#include <cstring>

#include "app/numbers.h"
#include "wave/wav_bytes.h"

namespace pelisto {
namespace {

bool readExact(FileTable& files, int16_t num, uint8_t* dst, size_t n) {
  auto got = files.read(num, dst, n);
  return got && got.value() == n;
}

}  // namespace

WaveHeaderCheck checkWaveHeader(FileTable& files, int16_t num) {
  WaveHeaderCheck c;
  uint8_t buf[16];
  auto fail = [&](const char* msg) {
    c.message = msg;
    return c;
  };
  if (!files.seek(num, 0)) return fail(kMsgNotRiff);
  if (!readExact(files, num, buf, 4) || std::memcmp(buf, "RIFF", 4) != 0) return fail(kMsgNotRiff);
  if (!readExact(files, num, buf, 4)) return fail(kMsgNotWave);  // RIFF size, ignored
  if (!readExact(files, num, buf, 4) || std::memcmp(buf, "WAVE", 4) != 0) return fail(kMsgNotWave);
  if (!readExact(files, num, buf, 4) || std::memcmp(buf, "fmt ", 4) != 0) return fail(kMsgBadFmt);
  // The fmt size and the format block: a file ending here fails the first
  // format check, the one being read.
  if (!readExact(files, num, buf, 4)) return fail(kMsgNotPcm);
  if (!readExact(files, num, buf, 16)) return fail(kMsgNotPcm);
  c.formatRead = true;
  c.format.FORMATTAG = static_cast<int16_t>(getLe16(buf));
  c.format.CHANNELS = static_cast<int16_t>(getLe16(buf + 2));
  c.format.SAMPLERATE = static_cast<int32_t>(getLe32(buf + 4));
  c.format.BYTERATE = static_cast<int32_t>(getLe32(buf + 8));
  c.format.BLOCKALIGN = static_cast<int16_t>(getLe16(buf + 12));
  c.format.BITSPERSAMPLE = static_cast<int16_t>(getLe16(buf + 14));
  if (c.format.FORMATTAG != 1) return fail(kMsgNotPcm);
  if (c.format.CHANNELS != 2) return fail(kMsgMono);
  if (c.format.SAMPLERATE != 44100) return fail(kMsgNot44k);
  if (!readExact(files, num, buf, 4) || std::memcmp(buf, "data", 4) != 0) return fail(kMsgBadData);
  if (!readExact(files, num, buf, 4)) return fail(kMsgBadData);
  c.dataSize = static_cast<int32_t>(getLe32(buf));
  c.ok = true;
  return c;
}

int32_t lengthSeconds(int32_t dataSize) {
  return static_cast<int32_t>(roundHalfEven(static_cast<double>(dataSize) / kBytesPerSecond));
}

int32_t scrollRangeMax(int32_t dataSize) {
  return static_cast<int32_t>(roundHalfAway(static_cast<double>(dataSize) / kBytesPerSecond));
}

std::string lengthText(int32_t s) {
  return std::to_string(s / 60) + " 分 " + std::to_string(s % 60) + "秒";
}

}  // namespace pelisto
