#include "platform/md5.h"

#include <algorithm>
#include <cstring>

namespace pelisto {
namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

}  // namespace

void Md5::block(const uint8_t* p) {
  uint32_t w[16];
  for (int i = 0; i < 16; ++i) {
    w[i] = uint32_t(p[4 * i]) | uint32_t(p[4 * i + 1]) << 8 | uint32_t(p[4 * i + 2]) << 16 |
           uint32_t(p[4 * i + 3]) << 24;
  }
  uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
  // The four rounds, each with its own mixing and order of the words.
  auto step = [&](int i, uint32_t f, int g) {
    const uint32_t t = d;
    d = c;
    c = b;
    b = b + rotl(a + f + kSine[i] + w[g], kShift[i / 16][i % 4]);
    a = t;
  };
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i) step(i, d ^ (b & (c ^ d)), i);
#pragma GCC unroll 16
  for (int i = 16; i < 32; ++i) step(i, c ^ (d & (b ^ c)), (5 * i + 1) % 16);
#pragma GCC unroll 16
  for (int i = 32; i < 48; ++i) step(i, b ^ c ^ d, (3 * i + 5) % 16);
#pragma GCC unroll 16
  for (int i = 48; i < 64; ++i) step(i, c ^ (b | ~d), (7 * i) % 16);
  m_state[0] += a, m_state[1] += b, m_state[2] += c, m_state[3] += d;
}

void Md5::add(const uint8_t* bytes, size_t n) {
  size_t held = m_length % 64;
  m_length += n;
  if (held) {
    const size_t take = std::min(n, 64 - held);
    std::memcpy(m_held + held, bytes, take);
    bytes += take, n -= take, held += take;
    if (held < 64) return;
    block(m_held);
  }
  for (; n >= 64; bytes += 64, n -= 64) block(bytes);
  std::memcpy(m_held, bytes, n);
}

std::array<uint8_t, 16> Md5::finish() {
  const uint64_t bits = m_length * 8;
  uint8_t tail[72] = {0x80};
  const size_t pad = (m_length % 64 < 56 ? 56 : 120) - m_length % 64;
  for (int i = 0; i < 8; ++i) tail[pad + i] = uint8_t(bits >> (8 * i));
  add(tail, pad + 8);
  std::array<uint8_t, 16> digest;
  for (int i = 0; i < 16; ++i) digest[i] = uint8_t(m_state[i / 4] >> (8 * (i % 4)));
  return digest;
}

}  // namespace pelisto
