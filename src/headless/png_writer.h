// Canvas snapshots as PNG files (8-bit RGB), written with libpng.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/status.h"

namespace pelisto {

class Canvas;

// The bytes of a PNG file of the canvas's pixels; kIoError with libpng's
// reason when it cannot be encoded.
Result<std::vector<uint8_t>> encodePng(const Canvas& canvas);

}  // namespace pelisto
