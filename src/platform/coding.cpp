#include "platform/coding.h"

namespace pelisto {

uint8_t* ByteWriter::grow(size_t n) {
  m_bytes.resize(m_bytes.size() + n);
  return m_bytes.data() + m_bytes.size() - n;
}

void ByteWriter::putBytes(std::string_view bytes) {
  m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void ByteWriter::putBe16(int16_t v) { pelisto::putBe16(grow(2), static_cast<uint16_t>(v)); }
void ByteWriter::putBe32(int32_t v) { pelisto::putBe32(grow(4), static_cast<uint32_t>(v)); }
void ByteWriter::putLe16(int16_t v) { pelisto::putLe16(grow(2), static_cast<uint16_t>(v)); }
void ByteWriter::putLe32(int32_t v) { pelisto::putLe32(grow(4), static_cast<uint32_t>(v)); }

const uint8_t* ByteReader::take(size_t n) {
  if (remaining() < n) return nullptr;
  const uint8_t* p = m_bytes.data() + m_pos;
  m_pos += n;
  return p;
}

std::optional<uint8_t> ByteReader::byte() {
  const uint8_t* p = take(1);
  return p ? std::optional<uint8_t>(*p) : std::nullopt;
}

template <typename T, size_t N, typename Get>
std::optional<T> ByteReader::number(Get get) {
  const uint8_t* p = take(N);
  if (!p) return std::nullopt;
  return static_cast<T>(get(p));
}

std::optional<int16_t> ByteReader::be16() { return number<int16_t, 2>(getBe16); }
std::optional<int32_t> ByteReader::be32() { return number<int32_t, 4>(getBe32); }
std::optional<int16_t> ByteReader::le16() { return number<int16_t, 2>(getLe16); }
std::optional<int32_t> ByteReader::le32() { return number<int32_t, 4>(getLe32); }

std::optional<std::string> ByteReader::bytes(size_t n) {
  if (n == 0) return std::string();
  const uint8_t* p = take(n);
  if (!p) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace pelisto
