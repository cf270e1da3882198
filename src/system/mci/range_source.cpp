#include "system/mci/range_source.h"

#include <algorithm>

namespace pelisto {
namespace {
constexpr size_t kBlockFrames = 4096;
}

RangeSource::RangeSource(std::shared_ptr<FrameReader> reader, uint64_t firstFrame, uint64_t endFrame,
                         int outRate)
    : m_reader(std::move(reader)),
      m_first(firstFrame),
      m_count(endFrame > firstFrame ? endFrame - firstFrame : 0),
      m_srcRate(uint64_t(m_reader->rate())),
      m_outRate(uint64_t(outRate)),
      m_buf(2 * kBlockFrames) {
  // Output frame j stands at source position j * srcRate / outRate; every
  // position inside the range is played.
  m_total = (m_count * m_outRate + m_srcRate - 1) / m_srcRate;
}

void RangeSource::endEarly() {
  m_total = m_next;
  m_endedEarly = true;
}

bool RangeSource::ensure(uint64_t i) {
  if (i >= m_count) return false;
  if (i >= m_bufFirst && i < m_bufFirst + m_bufFrames) return true;
  const size_t want = size_t(std::min<uint64_t>(kBlockFrames, m_count - i));
  Result<size_t> got = m_reader->read(m_first + i, m_buf.data(), want);
  if (!got || *got == 0) {
    m_bufFrames = 0;
    return false;
  }
  m_bufFirst = i;
  m_bufFrames = *got;
  return true;
}

size_t RangeSource::pull(int16_t* dst, size_t frames) {
  size_t done = 0;
  while (done < frames && m_next < m_total) {
    const uint64_t pos = m_next * m_srcRate;
    const uint64_t i = pos / m_outRate;
    const uint64_t frac = pos % m_outRate;
    if (!ensure(i)) {  // the file could not be read or holds fewer frames now
      endEarly();
      break;
    }
    const int16_t* a = frameAt(i);
    if (frac == 0) {
      dst[2 * done] = a[0];
      dst[2 * done + 1] = a[1];
    } else {
      int16_t l = a[0], r = a[1];
      int16_t nl = l, nr = r;
      if (i + 1 < m_count) {
        if (i + 1 >= m_bufFirst + m_bufFrames && m_bufFirst != i) {
          // Refill from this frame so that it and the next share the buffer.
          m_bufFrames = 0;
          if (!ensure(i)) {
            endEarly();
            break;
          }
        }
        if (i + 1 < m_bufFirst + m_bufFrames) {
          const int16_t* b = frameAt(i + 1);
          nl = b[0];
          nr = b[1];
        }
      }
      const int64_t f = int64_t(frac), d = int64_t(m_outRate);
      dst[2 * done] = int16_t(l + (int64_t(nl) - l) * f / d);
      dst[2 * done + 1] = int16_t(r + (int64_t(nr) - r) * f / d);
    }
    ++done;
    ++m_next;
  }
  m_delivered = m_next;
  return done;
}

}  // namespace pelisto
