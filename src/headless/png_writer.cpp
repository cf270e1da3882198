#include "headless/png_writer.h"

#include <png.h>

#include <string>

#include "platform/canvas.h"

namespace pelisto {

Result<std::vector<uint8_t>> encodePng(const Canvas& canvas) {
  const size_t count = size_t(canvas.width()) * size_t(canvas.height());
  std::vector<uint8_t> rgb(3 * count);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = canvas.pixels()[i];  // 0xffRRGGBB
    rgb[3 * i] = uint8_t(p >> 16);
    rgb[3 * i + 1] = uint8_t(p >> 8);
    rgb[3 * i + 2] = uint8_t(p);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(canvas.width());
  image.height = png_uint_32(canvas.height());
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  std::vector<uint8_t> png(size);
  if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr)) {
    return Status::error(StatusCode::kIoError, std::string("PNG: ") + image.message);
  }
  png.resize(size);
  return png;
}

}  // namespace pelisto
