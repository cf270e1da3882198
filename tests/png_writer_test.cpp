// Canvas snapshots as PNG files, read back with libpng.
#include <gtest/gtest.h>

#include <png.h>

#include <vector>

#include "platform/canvas.h"
#include "headless/png_writer.h"

namespace pelisto {
namespace {

struct Decoded {
  uint32_t width = 0, height = 0, format = 0;  // format: as the file stores it
  std::vector<uint8_t> rgb;                     // 3 bytes a pixel, row by row
};

// Decodes png with libpng, which also checks every chunk's CRC and the
// image data's checksum.
Decoded decode(const std::vector<uint8_t>& png) {
  Decoded d;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
    ADD_FAILURE() << image.message;
    return d;
  }
  d.width = image.width;
  d.height = image.height;
  d.format = image.format;
  image.format = PNG_FORMAT_RGB;
  d.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr)) ADD_FAILURE() << image.message;
  return d;
}

std::vector<uint8_t> encoded(const Canvas& c) {
  Result<std::vector<uint8_t>> png = encodePng(c);
  EXPECT_TRUE(png.isOk()) << png.status().message();
  return png.isOk() ? png.value() : std::vector<uint8_t>();
}

TEST(PngWriter, WritesSignatureHeaderAndExactPixels) {
  Canvas c(3, 2);
  c.setPixel(0, 0, Rgb{1, 2, 3});
  c.setPixel(2, 1, Rgb{250, 128, 7});
  std::vector<uint8_t> png = encoded(c);
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a}));
  Decoded d = decode(png);
  EXPECT_TRUE(d.width == 3 && d.height == 2);
  EXPECT_EQ(d.format, uint32_t(PNG_FORMAT_RGB));  // 8-bit truecolour, no alpha
  EXPECT_EQ(d.rgb, (std::vector<uint8_t>{1, 2, 3, 255, 255, 255, 255, 255, 255,  //
                                         255, 255, 255, 255, 255, 255, 250, 128, 7}));
}

TEST(PngWriter, LargeImagesKeepEveryPixel) {
  Canvas c(598, 126);
  c.line(0, 0, 597, 125, Rgb{255, 0, 0});
  Decoded d = decode(encoded(c));
  ASSERT_TRUE(d.width == 598 && d.height == 126);
  ASSERT_EQ(d.rgb.size(), 126u * 3 * 598);
  const size_t last = 3 * (125 * 598 + 597);
  EXPECT_EQ(std::vector<uint8_t>(d.rgb.begin() + long(last), d.rgb.end()), (std::vector<uint8_t>{255, 0, 0}));
  for (size_t i = 0; i < d.rgb.size(); i += 3) {
    const Rgb p = c.pixel(int(i / 3 % 598), int(i / 3 / 598));
    ASSERT_TRUE(d.rgb[i] == p.r && d.rgb[i + 1] == p.g && d.rgb[i + 2] == p.b) << i / 3;
  }
}

}  // namespace
}  // namespace pelisto
