// The MD5 digest (RFC 1321) of a stream of bytes handed over in pieces of
// any size: what a FLAC file's STREAMINFO holds of its decoded samples.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelisto {

class Md5 {
 public:
  void add(const uint8_t* bytes, size_t n);
  // The digest of everything added; the object is spent after it.
  std::array<uint8_t, 16> finish();

 private:
  void block(const uint8_t* p);

  uint32_t m_state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  uint64_t m_length = 0;  // bytes added
  uint8_t m_held[64];     // the start of a block not yet complete
};

}  // namespace pelisto
