// The RIFF WAVE layout, in one place for every reader and writer of WAV
// files: the canonical 44-byte header and its two sizes, the chunk headers
// and the format block. The strict checks of a source file, the media
// device's chunk search, the writer and the conversion output all read or
// write the bytes through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/file_system.h"

namespace pelisto::riff {

inline constexpr size_t kFileHeaderBytes = 12;  // "RIFF" size "WAVE"
inline constexpr size_t kChunkHeaderBytes = 8;  // tag, size
inline constexpr size_t kFormatBlockBytes = 16;  // the fields every "fmt " chunk holds
inline constexpr size_t kCanonicalHeaderBytes = 44;
// Offsets of the canonical header's two sizes.
inline constexpr size_t kRiffSizeAt = 4;
inline constexpr size_t kDataSizeAt = 40;
// The longest file the 32-bit sizes can describe.
inline constexpr uint64_t kMaxFileBytes = 0xFFFFFFFFull;

inline constexpr uint16_t kFormatPcm = 1;
inline constexpr uint16_t kFormatExtensible = 0xFFFE;

// True when the four bytes at p are tag.
bool tagIs(const uint8_t* p, const char* tag);

// The fields of a format block (the body of a "fmt " chunk).
struct FormatBlock {
  uint16_t format = 0;    // 1: integer PCM
  uint16_t channels = 0;
  uint32_t rate = 0;      // frames per second
  uint32_t byteRate = 0;
  uint16_t align = 0;     // bytes of one frame
  uint16_t bits = 0;      // per sample
};

// The format block at p (kFormatBlockBytes bytes).
FormatBlock readFormatBlock(const uint8_t* p);

// "RIFF" size "WAVE" "fmt " 16 {format block} "data" dataSize: the header
// of a plain PCM file whose sound is dataSize bytes.
std::vector<uint8_t> canonicalHeader(uint32_t dataSize, uint16_t channels = 2, uint32_t rate = 44100,
                                     uint16_t bits = 16, uint16_t format = 1);

// Sets the two sizes of a canonical header (kCanonicalHeaderBytes at p)
// for a file of fileBytes bytes (at most kMaxFileBytes).
void setCanonicalSizes(uint8_t* header, uint64_t fileBytes);

// One chunk, as its header describes it.
struct Chunk {
  uint8_t tag[4];
  uint64_t body;  // file offset of its data
  uint64_t size;  // bytes of data, as the header says
  bool is(const char* t) const { return tagIs(tag, t); }
  // Where the next chunk's header stands: data is padded to an even length.
  uint64_t next() const { return body + size + (size & 1); }
};

// The chunk header at pos of a file of fileSize bytes; nothing when the
// file ends before the header does.
Result<std::optional<Chunk>> readChunkHeader(File& file, uint64_t pos, uint64_t fileSize);

// What a search through the chunks after the file header found.
struct WaveChunks {
  std::optional<FormatBlock> format;  // extensible: the sub-format's coding in `format`
  std::optional<Chunk> data;
};

// Checks the file header ("RIFF" … "WAVE"), then walks the chunks until
// "fmt " and "data" are both found or the file ends. kInvalid when the
// file is no RIFF WAVE file or its "fmt " chunk is too short; kIoError
// when reading fails.
Result<WaveChunks> findWaveChunks(File& file);

}  // namespace pelisto::riff
