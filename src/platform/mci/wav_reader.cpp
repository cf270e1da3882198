#include "platform/mci/wav_reader.h"

#include <algorithm>
#include <cstring>

namespace pelisto {
namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
bool tagIs(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

Status invalid(const std::string& why) { return Status::error(StatusCode::kInvalid, why); }
Status unsupported(const std::string& why) { return Status::error(StatusCode::kUnsupported, why); }

// Reads exactly n bytes at offset; false on a short read.
Result<bool> readExact(File& file, uint64_t offset, uint8_t* dst, size_t n) {
  Result<size_t> got = file.read(offset, dst, n);
  if (!got) return got.status();
  return *got == n;
}

// One sample at p of the given width, as a 16-bit value.
int16_t sampleAt(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1: return int16_t((int(p[0]) - 128) * 256);
    case 2: return int16_t(le16(p));
    case 3: return int16_t(le16(p + 1));
    default: return int16_t(le16(p + 2));
  }
}

}  // namespace

Result<WavInfo> readWavInfo(File& file) {
  Result<uint64_t> size = file.size();
  if (!size) return size.status();
  const uint64_t fileSize = *size;

  uint8_t riff[12];
  Result<bool> ok = readExact(file, 0, riff, sizeof riff);
  if (!ok) return ok.status();
  if (!*ok || !tagIs(riff, "RIFF") || !tagIs(riff + 8, "WAVE")) return invalid("RIFF WAVE形式ではありません");

  bool haveFmt = false, haveData = false;
  uint16_t format = 0, channels = 0, align = 0, bits = 0;
  uint32_t rate = 0;
  uint64_t dataOffset = 0, dataBytes = 0;
  uint64_t pos = 12;
  while (pos + 8 <= fileSize && !(haveFmt && haveData)) {
    uint8_t head[8];
    ok = readExact(file, pos, head, 8);
    if (!ok) return ok.status();
    if (!*ok) break;
    const uint64_t chunkSize = le32(head + 4);
    const uint64_t body = pos + 8;
    if (tagIs(head, "fmt ")) {
      if (chunkSize < 16 || body + 16 > fileSize) return invalid("fmtチャンクが不正です");
      uint8_t f[40] = {};
      const size_t n = size_t(std::min<uint64_t>(chunkSize, 40));
      ok = readExact(file, body, f, n);
      if (!ok) return ok.status();
      if (!*ok) return invalid("fmtチャンクが不正です");
      format = le16(f);
      channels = le16(f + 2);
      rate = le32(f + 4);
      align = le16(f + 12);
      bits = le16(f + 14);
      if (format == kFormatExtensible && n >= 26) format = le16(f + 24);  // sub-format's first two bytes
      haveFmt = true;
    } else if (tagIs(head, "data")) {
      dataOffset = body;
      // A file cut short plays as far as it goes.
      dataBytes = std::min<uint64_t>(chunkSize, fileSize - body);
      haveData = true;
    }
    pos = body + chunkSize + (chunkSize & 1);
  }
  if (!haveFmt) return invalid("fmtチャンクがありません");
  if (!haveData) return invalid("dataチャンクがありません");
  if (format != kFormatPcm) return unsupported("PCM以外の形式です");
  if (channels < 1 || channels > 8) return unsupported("チャンネル数が扱えません");
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return unsupported("量子化ビット数が扱えません");
  if (rate < 1000 || rate > 384000) return unsupported("サンプリング周波数が扱えません");
  if (align != channels * (bits / 8)) return invalid("fmtチャンクが不正です");

  WavInfo info;
  info.channels = channels;
  info.rate = int(rate);
  info.bits = bits;
  info.frameBytes = align;
  info.dataOffset = dataOffset;
  info.frames = dataBytes / align;
  return info;
}

Result<size_t> WavReader::read(uint64_t first, int16_t* dst, size_t n) {
  if (first >= m_info.frames) return size_t(0);
  n = size_t(std::min<uint64_t>(n, m_info.frames - first));
  const size_t bytes = n * size_t(m_info.frameBytes);
  if (bytes > m_rawSize) {
    m_raw = std::make_unique<uint8_t[]>(bytes);
    m_rawSize = bytes;
  }
  Result<size_t> got = m_file->read(m_info.dataOffset + first * uint64_t(m_info.frameBytes), m_raw.get(), bytes);
  if (!got) return got.status();
  const size_t frames = *got / size_t(m_info.frameBytes);
  const int width = m_info.bits / 8;
  for (size_t i = 0; i < frames; ++i) {
    const uint8_t* f = m_raw.get() + i * size_t(m_info.frameBytes);
    const int16_t left = sampleAt(f, width);
    dst[2 * i] = left;
    dst[2 * i + 1] = m_info.channels == 1 ? left : sampleAt(f + width, width);
  }
  return frames;
}

Result<std::unique_ptr<WavReader>> openWavReader(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<File>> file = fs.open(path, OpenMode::kRead);
  if (!file) return file.status();
  Result<WavInfo> info = readWavInfo(**file);
  if (!info) return info.status();
  return std::make_unique<WavReader>(std::move(*file), *info);
}

}  // namespace pelisto
