#include "platform/riff.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/coding.h"

namespace pelisto::riff {
namespace {

Status invalid(const std::string& why) { return Status::error(StatusCode::kInvalid, why); }

void putTag(uint8_t* p, const char* tag) { std::memcpy(p, tag, 4); }

// Reads exactly n bytes at offset; false on a short read.
Result<bool> readExact(File& file, uint64_t offset, uint8_t* dst, size_t n) {
  Result<size_t> got = file.read(offset, dst, n);
  if (!got) return got.status();
  return *got == n;
}

// The block of a "fmt " chunk; the extensible layout gives the coding in
// the first two bytes of its sub-format.
Result<FormatBlock> readFormatChunk(File& file, const Chunk& chunk, uint64_t fileSize) {
  if (chunk.size < kFormatBlockBytes || chunk.body + kFormatBlockBytes > fileSize) {
    return invalid("fmtチャンクが不正です");
  }
  uint8_t f[40] = {};
  const size_t n = size_t(std::min<uint64_t>(chunk.size, sizeof f));
  Result<bool> ok = readExact(file, chunk.body, f, n);
  if (!ok) return ok.status();
  if (!*ok) return invalid("fmtチャンクが不正です");
  FormatBlock block = readFormatBlock(f);
  if (block.format == kFormatExtensible && n >= 26) block.format = getLe16(f + 24);
  return block;
}

}  // namespace

bool tagIs(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

FormatBlock readFormatBlock(const uint8_t* p) {
  return FormatBlock{getLe16(p), getLe16(p + 2), getLe32(p + 4), getLe32(p + 8), getLe16(p + 12),
                     getLe16(p + 14)};
}

std::vector<uint8_t> canonicalHeader(uint32_t dataSize, uint16_t channels, uint32_t rate, uint16_t bits,
                                     uint16_t format) {
  std::vector<uint8_t> h(kCanonicalHeaderBytes);
  const uint16_t align = uint16_t(channels * bits / 8);
  putTag(&h[0], "RIFF");
  putLe32(&h[kRiffSizeAt], dataSize + 36);
  putTag(&h[8], "WAVE");
  putTag(&h[12], "fmt ");
  putLe32(&h[16], kFormatBlockBytes);
  putLe16(&h[20], format);
  putLe16(&h[22], channels);
  putLe32(&h[24], rate);
  putLe32(&h[28], rate * align);
  putLe16(&h[32], align);
  putLe16(&h[34], bits);
  putTag(&h[36], "data");
  putLe32(&h[kDataSizeAt], dataSize);
  return h;
}

void setCanonicalSizes(uint8_t* header, uint64_t fileBytes) {
  putLe32(header + kRiffSizeAt, static_cast<uint32_t>(fileBytes - 8));
  putLe32(header + kDataSizeAt, static_cast<uint32_t>(fileBytes - kCanonicalHeaderBytes));
}

Result<std::optional<Chunk>> readChunkHeader(File& file, uint64_t pos, uint64_t fileSize) {
  if (pos + kChunkHeaderBytes > fileSize) return std::optional<Chunk>();
  uint8_t head[kChunkHeaderBytes];
  Result<bool> ok = readExact(file, pos, head, sizeof head);
  if (!ok) return ok.status();
  if (!*ok) return std::optional<Chunk>();
  Chunk c{{head[0], head[1], head[2], head[3]}, pos + kChunkHeaderBytes, getLe32(head + 4)};
  return std::optional<Chunk>(c);
}

Result<WaveChunks> findWaveChunks(File& file) {
  Result<uint64_t> size = file.size();
  if (!size) return size.status();
  uint8_t head[kFileHeaderBytes];
  Result<bool> ok = readExact(file, 0, head, sizeof head);
  if (!ok) return ok.status();
  if (!*ok || !tagIs(head, "RIFF") || !tagIs(head + 8, "WAVE")) return invalid("RIFF WAVE形式ではありません");

  WaveChunks found;
  for (uint64_t pos = kFileHeaderBytes; !(found.format && found.data);) {
    Result<std::optional<Chunk>> chunk = readChunkHeader(file, pos, *size);
    if (!chunk) return chunk.status();
    if (!*chunk) break;
    const Chunk& c = **chunk;
    if (c.is("fmt ")) {
      Result<FormatBlock> format = readFormatChunk(file, c, *size);
      if (!format) return format.status();
      found.format = *format;
    } else if (c.is("data")) {
      found.data = c;
    }
    pos = c.next();
  }
  return found;
}

}  // namespace pelisto::riff
