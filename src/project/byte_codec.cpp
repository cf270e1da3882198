#include "project/byte_codec.h"

namespace pelisto {

void ByteWriter::putBytes(std::string_view bytes) {
  m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void ByteWriter::putBe16(int16_t v) {
  uint16_t u = static_cast<uint16_t>(v);
  m_bytes.push_back(static_cast<uint8_t>(u >> 8));
  m_bytes.push_back(static_cast<uint8_t>(u));
}

void ByteWriter::putBe32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int shift = 24; shift >= 0; shift -= 8) m_bytes.push_back(static_cast<uint8_t>(u >> shift));
}

std::optional<uint8_t> ByteReader::byte() {
  if (remaining() < 1) return std::nullopt;
  return m_bytes[m_pos++];
}

std::optional<int16_t> ByteReader::be16() {
  if (remaining() < 2) return std::nullopt;
  uint16_t u = static_cast<uint16_t>((m_bytes[m_pos] << 8) | m_bytes[m_pos + 1]);
  m_pos += 2;
  return static_cast<int16_t>(u);
}

std::optional<int32_t> ByteReader::be32() {
  if (remaining() < 4) return std::nullopt;
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u = (u << 8) | m_bytes[m_pos + i];
  m_pos += 4;
  return static_cast<int32_t>(u);
}

std::optional<std::string> ByteReader::bytes(size_t n) {
  if (remaining() < n) return std::nullopt;
  if (n == 0) return std::string();
  std::string out(reinterpret_cast<const char*>(m_bytes.data() + m_pos), n);
  m_pos += n;
  return out;
}

}  // namespace pelisto
