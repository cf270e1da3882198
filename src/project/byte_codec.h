// Big-endian byte codecs: a writer that appends to a buffer and a reader
// over a cursor that fails, without moving, when fewer bytes remain than a
// read needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelisto {

class ByteWriter {
 public:
  void putByte(uint8_t v) { m_bytes.push_back(v); }
  void putBytes(std::string_view bytes);
  // Two's complement, most significant byte first.
  void putBe16(int16_t v);
  void putBe32(int32_t v);

  const std::vector<uint8_t>& bytes() const { return m_bytes; }
  std::vector<uint8_t> take() { return std::move(m_bytes); }

 private:
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
  std::optional<std::string> bytes(size_t n);

  size_t position() const { return m_pos; }
  size_t remaining() const { return m_bytes.size() - m_pos; }

 private:
  std::span<const uint8_t> m_bytes;
  size_t m_pos = 0;
};

}  // namespace pelisto
