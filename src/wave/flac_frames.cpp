#include "wave/flac_frames.h"

#include <cstring>

namespace pelisto {
namespace {

// CRC-16 of a frame (polynomial x^16 + x^15 + x^2 + 1, from 0, bits most
// significant first), eight bytes a step: table k gives a byte's CRC with
// k zero bytes after it.
struct Crc16Tables {
  uint16_t t[8][256];
  Crc16Tables() {
    for (int b = 0; b < 256; ++b) {
      uint16_t crc = uint16_t(b << 8);
      for (int i = 0; i < 8; ++i) crc = uint16_t(crc & 0x8000 ? (crc << 1) ^ 0x8005 : crc << 1);
      t[0][b] = crc;
    }
    for (int k = 1; k < 8; ++k) {
      for (int b = 0; b < 256; ++b) t[k][b] = uint16_t((t[k - 1][b] << 8) ^ t[0][t[k - 1][b] >> 8]);
    }
  }
};
const Crc16Tables kCrc16;

uint16_t crc16(const uint8_t* p, size_t n, uint16_t crc = 0) {
  const auto& t = kCrc16.t;
  for (; n >= 8; p += 8, n -= 8) {
    crc = uint16_t(t[7][p[0] ^ (crc >> 8)] ^ t[6][p[1] ^ (crc & 0xFF)] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^
                   t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
  }
  for (; n > 0; ++p, --n) crc = uint16_t((crc << 8) ^ t[0][(crc >> 8) ^ *p]);
  return crc;
}

// CRC-8 of a frame's header (polynomial x^8 + x^2 + x + 1, from 0).
uint8_t crc8(const uint8_t* p, size_t n) {
  uint8_t crc = 0;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int b = 0; b < 8; ++b) crc = uint8_t(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
  }
  return crc;
}

// A frame header of a fixed block size, as its bytes lay it out.
struct Header {
  size_t numberAt = 4, numberBytes = 0;  // the frame number, coded as UTF-8 codes characters
  size_t extraBytes = 0;                 // block size and rate after it, where not coded
  size_t size = 0;                       // the CRC-8 included
  uint64_t number = 0;
  uint32_t block = 0;
};

bool readHeader(const uint8_t* p, size_t avail, Header& h) {
  if (avail < 6 || p[0] != 0xFF || p[1] != 0xF8 || (p[3] & 1) != 0) return false;
  const int blockCode = p[2] >> 4, rateCode = p[2] & 15;
  if (blockCode == 0 || rateCode == 15 || (p[3] >> 4) > 10) return false;
  const uint8_t first = p[4];
  int more = first < 0x80 ? 0 : (first & 0xE0) == 0xC0 ? 1 : (first & 0xF0) == 0xE0 ? 2
           : (first & 0xF8) == 0xF0 ? 3 : (first & 0xFC) == 0xF8 ? 4 : (first & 0xFE) == 0xFC ? 5 : -1;
  if (more < 0) return false;
  h.numberBytes = size_t(more) + 1;
  h.extraBytes = (blockCode == 6 ? 1 : blockCode == 7 ? 2 : 0) + (rateCode == 12 ? 1 : rateCode >= 13 ? 2 : 0);
  h.size = 4 + h.numberBytes + h.extraBytes + 1;
  if (avail < h.size) return false;
  h.number = more == 0 ? first : first & (0x3F >> more);
  for (int i = 1; i <= more; ++i) {
    if ((p[4 + i] & 0xC0) != 0x80) return false;
    h.number = h.number << 6 | (p[4 + i] & 0x3F);
  }
  const uint8_t* extra = p + 4 + h.numberBytes;
  h.block = blockCode == 1 ? 192
          : blockCode <= 5 ? 576u << (blockCode - 2)
          : blockCode == 6 ? extra[0] + 1u
          : blockCode == 7 ? (uint32_t(extra[0]) << 8 | extra[1]) + 1u
                           : 256u << (blockCode - 8);
  return crc8(p, h.size - 1) == p[h.size - 1];
}

void appendNumber(uint64_t number, std::vector<uint8_t>& out) {
  if (number < 0x80) {
    out.push_back(uint8_t(number));
    return;
  }
  int more = 1;
  while (more < 6 && number >= (uint64_t{1} << (6 * more + 6 - more))) ++more;
  out.push_back(uint8_t((0xFF00 >> (more + 1)) | (number >> (6 * more))));
  for (int i = more - 1; i >= 0; --i) out.push_back(uint8_t(0x80 | ((number >> (6 * i)) & 0x3F)));
}

uint32_t be(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

Status invalid() { return Status::error(StatusCode::kInvalid, "FLACの符号が読み取れませんでした"); }

}  // namespace

Result<FlacLayout> readFlacLayout(const uint8_t* bytes, size_t n) {
  FlacLayout layout;
  if (n < kStreamInfoAt + kStreamInfoBytes || std::memcmp(bytes, "fLaC", 4) != 0) return invalid();
  // The metadata: STREAMINFO first, then any others up to the one marked last.
  size_t pos = 4;
  for (bool last = false, first = true; !last; first = false) {
    if (n - pos < 4) return invalid();
    last = bytes[pos] & 0x80;
    const size_t length = be(bytes + pos + 1, 3);
    if (first && ((bytes[pos] & 0x7F) != 0 || length != kStreamInfoBytes)) return invalid();
    pos += 4;
    if (n - pos < length) return invalid();
    pos += length;
  }
  const uint8_t* s = bytes + kStreamInfoAt;
  FlacStreamInfo& info = layout.info;
  info.minBlock = be(s, 2), info.maxBlock = be(s + 2, 2);
  info.minFrameBytes = be(s + 4, 3), info.maxFrameBytes = be(s + 7, 3);
  info.rate = be(s + 10, 3) >> 4;
  info.channels = ((s[12] >> 1) & 7) + 1;
  info.bits = (uint32_t(s[12] & 1) << 4 | s[13] >> 4) + 1;
  info.samples = uint64_t(s[13] & 15) << 32 | be(s + 14, 4);
  std::memcpy(info.md5.data(), s + 18, 16);
  layout.framesAt = pos;

  // The frames: each ends where the next, numbered one more, begins, and
  // its CRC-16 says so; the last ends with the stream.
  Header h, next;
  while (pos < n) {
    if (!readHeader(bytes + pos, n - pos, h) || h.number != layout.frames.size()) return invalid();
    size_t end = n;
    for (size_t from = pos + h.size; from < n;) {
      const void* mark = std::memchr(bytes + from, 0xFF, n - from);
      if (!mark) break;
      const size_t at = static_cast<const uint8_t*>(mark) - bytes;
      if (readHeader(bytes + at, n - at, next) && next.number == h.number + 1 && crc16(bytes + pos, at - pos) == 0) {
        end = at;
        break;
      }
      from = at + 1;
    }
    if (end == n && (n - pos < h.size + 2 || crc16(bytes + pos, n - pos) != 0)) return invalid();
    layout.frames.push_back({pos, end - pos, h.block});
    pos = end;
  }
  return layout;
}

void appendRenumbered(const uint8_t* frame, size_t size, uint64_t number, std::vector<uint8_t>& out) {
  Header h;
  readHeader(frame, size, h);
  const size_t start = out.size();
  out.insert(out.end(), frame, frame + 4);
  appendNumber(number, out);
  const uint8_t* extra = frame + 4 + h.numberBytes;
  out.insert(out.end(), extra, extra + h.extraBytes);
  out.push_back(crc8(out.data() + start, out.size() - start));
  const uint16_t headerCrc = crc16(out.data() + start, out.size() - start);
  const uint8_t* body = frame + h.size;
  const size_t bodyBytes = size - h.size - 2;
  out.insert(out.end(), body, body + bodyBytes);
  const uint16_t crc = crc16(body, bodyBytes, headerCrc);
  out.push_back(uint8_t(crc >> 8));
  out.push_back(uint8_t(crc));
}

std::array<uint8_t, kStreamInfoBytes> streamInfoBytes(const FlacStreamInfo& info) {
  std::array<uint8_t, kStreamInfoBytes> b{};
  auto put = [&](size_t at, uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i, v >>= 8) b[at + size_t(i)] = uint8_t(v);
  };
  put(0, info.minBlock, 2);
  put(2, info.maxBlock, 2);
  put(4, info.minFrameBytes, 3);
  put(7, info.maxFrameBytes, 3);
  // 20 bits of rate, 3 of channels - 1, 5 of bits - 1, 36 of samples.
  const uint64_t packed = uint64_t(info.rate) << 44 | uint64_t(info.channels - 1) << 41 |
                          uint64_t(info.bits - 1) << 36 | (info.samples & 0xFFFFFFFFFull);
  put(10, packed, 8);
  std::memcpy(b.data() + 18, info.md5.data(), 16);
  return b;
}

}  // namespace pelisto
