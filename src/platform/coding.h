// Fixed-width integers as bytes, in both byte orders.
//
// Raw forms put and get at a pointer; the caller makes sure the bytes are
// there. ByteWriter appends to a buffer; ByteReader reads over a cursor and
// fails, without moving, when fewer bytes remain than a read needs. The
// cursor forms carry signed values in two's complement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelisto {

inline void putLe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void putLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void putBe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}
inline void putBe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}

inline uint16_t getLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
// count signed 16-bit little-endian samples (frames as a WAV file holds
// them) into out.
inline void getLe16Samples(const uint8_t* p, size_t count, int16_t* out) {
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<int16_t>(getLe16(p + 2 * i));
}
inline uint32_t getLe32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t getBe16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t getBe32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

class ByteWriter {
 public:
  void putByte(uint8_t v) { m_bytes.push_back(v); }
  void putBytes(std::string_view bytes);
  void putBe16(int16_t v);
  void putBe32(int32_t v);
  void putLe16(int16_t v);
  void putLe32(int32_t v);

  const std::vector<uint8_t>& bytes() const { return m_bytes; }
  std::vector<uint8_t> take() { return std::move(m_bytes); }

 private:
  // Room for n more bytes at the end; returns where they start.
  uint8_t* grow(size_t n);

  std::vector<uint8_t> m_bytes;
};

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  // Each read returns nothing, and leaves the cursor where it was, when the
  // input ends before the value does.
  std::optional<uint8_t> byte();
  std::optional<int16_t> be16();
  std::optional<int32_t> be32();
  std::optional<int16_t> le16();
  std::optional<int32_t> le32();
  std::optional<std::string> bytes(size_t n);
  // Moves past n bytes; false, without moving, when fewer remain.
  bool skip(size_t n) { return take(n) != nullptr; }

  size_t position() const { return m_pos; }
  size_t remaining() const { return m_bytes.size() - m_pos; }

 private:
  // The next n bytes, the cursor moved past them; nullptr when fewer remain.
  const uint8_t* take(size_t n);
  // The next N bytes read by get as a value of type T.
  template <typename T, size_t N, typename Get>
  std::optional<T> number(Get get);

  std::span<const uint8_t> m_bytes;
  size_t m_pos = 0;
};

}  // namespace pelisto
