#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/headless/png_writer.h"

namespace pelisto {
namespace {

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

struct Chunk {
  std::string type;
  std::vector<uint8_t> data;
  uint32_t crc;
  uint32_t computedCrc;
};

std::vector<Chunk> chunks(const std::vector<uint8_t>& png) {
  std::vector<Chunk> out;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t len = be32(png, at);
    Chunk c;
    c.type.assign(png.begin() + at + 4, png.begin() + at + 8);
    c.data.assign(png.begin() + at + 8, png.begin() + at + 8 + len);
    c.crc = be32(png, at + 8 + len);
    c.computedCrc = crc32(std::span<const uint8_t>(png.data() + at + 4, len + 4));
    out.push_back(c);
    at += 12 + len;
  }
  return out;
}

// Unpacks a zlib stream of stored blocks, checking each block's length pair.
std::vector<uint8_t> unstore(const std::vector<uint8_t>& z) {
  std::vector<uint8_t> out;
  EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0);
  size_t at = 2;
  bool last = false;
  while (!last) {
    last = z[at] & 1;
    EXPECT_EQ(z[at] >> 1, 0) << "stored blocks only";
    const unsigned len = z[at + 1] | (z[at + 2] << 8);
    const unsigned nlen = z[at + 3] | (z[at + 4] << 8);
    EXPECT_EQ(len ^ 0xffff, nlen);
    out.insert(out.end(), z.begin() + at + 5, z.begin() + at + 5 + len);
    at += 5 + len;
  }
  EXPECT_EQ(be32(z, at), adler32(out));
  EXPECT_EQ(at + 4, z.size());
  return out;
}

TEST(PngWriter, ChecksumsMatchTheirStandardCheckValues) {
  const std::string s = "123456789";
  EXPECT_EQ(crc32(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size())),
            0xCBF43926u);
  const std::string w = "Wikipedia";
  EXPECT_EQ(adler32(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(w.data()), w.size())),
            0x11E60398u);
}

TEST(PngWriter, WritesSignatureHeaderAndExactPixels) {
  Canvas c(3, 2);
  c.setPixel(0, 0, Rgb{1, 2, 3});
  c.setPixel(2, 1, Rgb{250, 128, 7});
  std::vector<uint8_t> png = encodePng(c);
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a}));
  auto cs = chunks(png);
  ASSERT_EQ(cs.size(), 3u);
  EXPECT_EQ(cs[0].type, "IHDR");
  EXPECT_EQ(cs[0].data, (std::vector<uint8_t>{0, 0, 0, 3, 0, 0, 0, 2, 8, 2, 0, 0, 0}));
  EXPECT_EQ(cs[1].type, "IDAT");
  EXPECT_EQ(cs[2].type, "IEND");
  EXPECT_EQ(cs[2].crc, 0xAE426082u);  // the fixed CRC every PNG ends with
  for (const auto& ch : cs) EXPECT_EQ(ch.crc, ch.computedCrc) << ch.type;
  EXPECT_EQ(unstore(cs[1].data),
            (std::vector<uint8_t>{0, 1, 2, 3, 255, 255, 255, 255, 255, 255,  //
                                  0, 255, 255, 255, 255, 255, 255, 250, 128, 7}));
}

TEST(PngWriter, LargeImagesSpanSeveralStoredBlocks) {
  Canvas c(598, 126);  // 126 × (1 + 3 × 598) bytes: more than 65535
  c.line(0, 0, 597, 125, Rgb{255, 0, 0});
  auto cs = chunks(encodePng(c));
  ASSERT_EQ(cs.size(), 3u);
  std::vector<uint8_t> raw = unstore(cs[1].data);
  ASSERT_EQ(raw.size(), 126u * (1 + 3 * 598));
  const size_t last = 125 * (1 + 3 * 598) + 1 + 3 * 597;
  EXPECT_EQ(raw[last], 255);
  EXPECT_EQ(raw[last + 1], 0);
  EXPECT_EQ(cs[1].crc, cs[1].computedCrc);
}

}  // namespace
}  // namespace pelisto
