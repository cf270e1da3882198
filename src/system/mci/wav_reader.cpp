#include "system/mci/wav_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/coding.h"

namespace pelisto {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint64_t kRiffHeaderBytes = 12;  // "RIFF" size "WAVE"
constexpr uint64_t kChunkHeaderBytes = 8;  // tag, size

Status invalid(const std::string& why) { return Status::error(StatusCode::kInvalid, why); }
Status unsupported(const std::string& why) { return Status::error(StatusCode::kUnsupported, why); }

bool tagIs(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

// Reads exactly n bytes at offset; false on a short read.
Result<bool> readExact(File& file, uint64_t offset, uint8_t* dst, size_t n) {
  Result<size_t> got = file.read(offset, dst, n);
  if (!got) return got.status();
  return *got == n;
}

// One chunk of the RIFF file, as its header describes it.
struct Chunk {
  uint8_t tag[4];
  uint64_t body;  // file offset of its data
  uint64_t size;  // bytes of data, as the header says
  bool is(const char* t) const { return tagIs(tag, t); }
  // The next chunk's header: data is padded to an even length.
  uint64_t next() const { return body + size + (size & 1); }
};

// The fields of a "fmt " chunk that decide how the data plays.
struct Format {
  uint16_t format, channels;
  uint32_t rate;
  uint16_t align, bits;
};

// What the chunk search found.
struct Chunks {
  std::optional<Format> format;
  std::optional<Chunk> data;
};

Status readRiffHeader(File& file) {
  uint8_t riff[kRiffHeaderBytes];
  Result<bool> ok = readExact(file, 0, riff, sizeof riff);
  if (!ok) return ok.status();
  if (!*ok || !tagIs(riff, "RIFF") || !tagIs(riff + 8, "WAVE")) return invalid("RIFF WAVE形式ではありません");
  return Status::ok();
}

// The chunk header at pos; nothing when the file ends before it does.
Result<std::optional<Chunk>> readChunkHeader(File& file, uint64_t pos, uint64_t fileSize) {
  if (pos + kChunkHeaderBytes > fileSize) return std::optional<Chunk>();
  uint8_t head[kChunkHeaderBytes];
  Result<bool> ok = readExact(file, pos, head, sizeof head);
  if (!ok) return ok.status();
  if (!*ok) return std::optional<Chunk>();
  Chunk c{{head[0], head[1], head[2], head[3]}, pos + kChunkHeaderBytes, getLe32(head + 4)};
  return std::optional<Chunk>(c);
}

// The fields of a "fmt " chunk; the extensible layout gives the coding in
// the first two bytes of its sub-format.
Result<Format> readFormat(File& file, const Chunk& chunk, uint64_t fileSize) {
  if (chunk.size < 16 || chunk.body + 16 > fileSize) return invalid("fmtチャンクが不正です");
  uint8_t f[40] = {};
  const size_t n = size_t(std::min<uint64_t>(chunk.size, sizeof f));
  Result<bool> ok = readExact(file, chunk.body, f, n);
  if (!ok) return ok.status();
  if (!*ok) return invalid("fmtチャンクが不正です");
  Format format{getLe16(f), getLe16(f + 2), getLe32(f + 4), getLe16(f + 12), getLe16(f + 14)};
  if (format.format == kFormatExtensible && n >= 26) format.format = getLe16(f + 24);
  return format;
}

// Walks the chunks after the RIFF header until "fmt " and "data" are both
// found or the file ends.
Result<Chunks> findChunks(File& file, uint64_t fileSize) {
  Chunks found;
  for (uint64_t pos = kRiffHeaderBytes; !(found.format && found.data);) {
    Result<std::optional<Chunk>> chunk = readChunkHeader(file, pos, fileSize);
    if (!chunk) return chunk.status();
    if (!*chunk) break;
    const Chunk& c = **chunk;
    if (c.is("fmt ")) {
      Result<Format> format = readFormat(file, c, fileSize);
      if (!format) return format.status();
      found.format = *format;
    } else if (c.is("data")) {
      found.data = c;
    }
    pos = c.next();
  }
  return found;
}

Status checkFormat(const Format& f) {
  if (f.format != kFormatPcm) return unsupported("PCM以外の形式です");
  if (f.channels < 1 || f.channels > 8) return unsupported("チャンネル数が扱えません");
  if (f.bits != 8 && f.bits != 16 && f.bits != 24 && f.bits != 32) return unsupported("量子化ビット数が扱えません");
  if (f.rate < 1000 || f.rate > 384000) return unsupported("サンプリング周波数が扱えません");
  if (f.align != f.channels * (f.bits / 8)) return invalid("fmtチャンクが不正です");
  return Status::ok();
}

// One sample at p of the given width, as a 16-bit value.
int16_t sampleAt(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1: return int16_t((int(p[0]) - 128) * 256);
    case 2: return int16_t(getLe16(p));
    case 3: return int16_t(getLe16(p + 1));
    default: return int16_t(getLe16(p + 2));
  }
}

}  // namespace

Result<WavInfo> readWavInfo(File& file) {
  Result<uint64_t> size = file.size();
  if (!size) return size.status();
  if (Status riff = readRiffHeader(file); !riff) return riff;
  Result<Chunks> found = findChunks(file, *size);
  if (!found) return found.status();
  if (!found->format) return invalid("fmtチャンクがありません");
  if (!found->data) return invalid("dataチャンクがありません");
  const Format& f = *found->format;
  if (Status format = checkFormat(f); !format) return format;

  WavInfo info;
  info.channels = f.channels;
  info.rate = int(f.rate);
  info.bits = f.bits;
  info.frameBytes = f.align;
  info.dataOffset = found->data->body;
  // A file cut short plays as far as it goes.
  info.frames = std::min<uint64_t>(found->data->size, *size - info.dataOffset) / f.align;
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
