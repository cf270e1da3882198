// Project files written by hand, byte by byte, for the loader's tests and
// the fuzzers' seeds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace pelisto::test {

class ProjectBytes {
 public:
  ProjectBytes& raw(std::initializer_list<uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes);
    return *this;
  }
  ProjectBytes& text(const std::string& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // "WAVEEDIT" and the two version bytes.
  ProjectBytes& head(uint8_t major = 1, uint8_t minor = 2) {
    return text("WAVEEDIT").raw({major, minor});
  }
  // A string record of already encoded bytes.
  ProjectBytes& rec(const std::string& bytes) {
    return be16(static_cast<uint16_t>(bytes.size())).text(bytes);
  }
  ProjectBytes& be16(uint16_t v) { return raw({uint8_t(v >> 8), uint8_t(v)}); }
  ProjectBytes& be32(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    return raw({uint8_t(u >> 24), uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)});
  }
  // An entry: the mark, two string records and the given numbers.
  ProjectBytes& entry(const std::string& path, const std::string& name,
                      std::initializer_list<int32_t> numbers) {
    raw({0x10}).rec(path).rec(name);
    for (int32_t v : numbers) be32(v);
    return *this;
  }
  ProjectBytes& end() { return raw({0x1F}); }

  const std::vector<uint8_t>& bytes() const { return m_bytes; }
  operator std::vector<uint8_t>() const { return m_bytes; }  // NOLINT: builder

 private:
  std::vector<uint8_t> m_bytes;
};

// A valid three-entry project: a range, a blank and a range with the
// voiceless flag and the reserved columns set.
inline std::vector<uint8_t> threeEntryProject(const std::string& wavePath = "/w/a.wav") {
  return ProjectBytes()
      .head()
      .rec(wavePath)
      .entry("/w/a.wav", "a.wav", {66150, 143325, 1500, 3250, 1, 0, 0, 0})
      .entry("", "BRANK", {0, 88200, 0, 2000, 0, 0, 0, 0})
      .entry("/w/b.wav", "b.wav", {44100, 88200, 1000, 2000, 3, 1, 7, -9})
      .end();
}

}  // namespace pelisto::test
