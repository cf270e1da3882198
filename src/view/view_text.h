// The numbers and texts of the view: a file's length in whole seconds, the
// scroll range, and the texts of EDIT1 (the length) and EDIT2 (the
// position).
#pragma once

#include <cstdint>
#include <string>

namespace pelisto {

// The two roundings of the data size: whole seconds for the length display
// and the graph cache (halves to even), the scroll range (halves away).
int32_t lengthSeconds(uint32_t dataSize);
int32_t scrollRangeMax(uint32_t dataSize);

// EDIT1's text for a length of s seconds: "M 分 S秒".
std::string lengthText(int32_t seconds);

// EDIT2's text for second p: "M 分 S 秒目" (no hour field, seconds not padded).
std::string positionText(int32_t p);

}  // namespace pelisto
