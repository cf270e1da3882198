// A File held in memory, for bytes made to be copied elsewhere afterwards
// (a coder's output for one stretch of a longer file, say).
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace pelisto {

class BufferFile final : public File {
 public:
  std::vector<uint8_t>& bytes() { return m_bytes; }

  Result<size_t> read(uint64_t offset, uint8_t* dst, size_t n) override {
    if (offset >= m_bytes.size()) return size_t{0};
    const size_t count = static_cast<size_t>(std::min<uint64_t>(n, m_bytes.size() - offset));
    std::memcpy(dst, m_bytes.data() + offset, count);
    return count;
  }
  Status write(uint64_t offset, const uint8_t* src, size_t n) override {
    if (offset + n > m_bytes.size()) m_bytes.resize(static_cast<size_t>(offset + n));
    if (n) std::memcpy(m_bytes.data() + offset, src, n);
    return Status::ok();
  }
  Result<uint64_t> size() override { return uint64_t{m_bytes.size()}; }
  Status sync() override { return Status::ok(); }
  Status reserve(uint64_t) override { return Status::ok(); }
  void startWriteback(uint64_t, uint64_t) override {}
  LockResult tryLock() override { return LockResult::kTaken; }

 private:
  std::vector<uint8_t> m_bytes;
};

}  // namespace pelisto
