// A minimal PNG encoder for canvas snapshots: 8-bit RGB, no filtering,
// the image data in uncompressed (stored) deflate blocks. Large but exact,
// and needs no library.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pelisto {

class Canvas;

// CRC-32 as PNG chunks use it (ISO 3309, reflected, initial and final
// complement).
uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);
// Adler-32 as the zlib stream trailer uses it.
uint32_t adler32(std::span<const uint8_t> bytes, uint32_t adler = 1);

// PNG file bytes of a width × height image of 0xffRRGGBB pixels, row by row.
std::vector<uint8_t> encodePng(int width, int height, const uint32_t* pixels);
std::vector<uint8_t> encodePng(const Canvas& canvas);

}  // namespace pelisto
