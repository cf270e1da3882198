#include "wave/wave_header.h"

#include <algorithm>

#include "platform/coding.h"
#include "platform/riff.h"

namespace pelisto {
namespace {

// Reads the next n header bytes. A read error is the file's fault, not the
// format's: it ends the check with the system's reason.
class HeaderReader {
 public:
  explicit HeaderReader(File& file) : m_file(file) {}

  bool next(uint8_t* dst, size_t n) {
    if (!m_error.isOk()) return false;
    auto got = m_file.read(m_pos, dst, n);
    if (!got) {
      m_error = Status::error(StatusCode::kIoError, got.status().message());
      return false;
    }
    m_pos += got.value();
    return got.value() == n;
  }
  bool nextIs(const char* tag) {
    uint8_t b[4];
    return next(b, 4) && riff::tagIs(b, tag);
  }
  const Status& error() const { return m_error; }
  uint64_t position() const { return m_pos; }

 private:
  File& m_file;
  uint64_t m_pos = 0;
  Status m_error;
};

const char* faultText(HeaderFault fault) {
  switch (fault) {
    case HeaderFault::kNotRiff: return kMsgNotRiff;
    case HeaderFault::kNotWave: return kMsgNotWave;
    case HeaderFault::kBadFmt: return kMsgBadFmt;
    case HeaderFault::kNotPcm: return kMsgNotPcm;
    case HeaderFault::kMono: return kMsgMono;
    case HeaderFault::kNot44k: return kMsgNot44k;
    case HeaderFault::kBadData: return kMsgBadData;
    case HeaderFault::kNone:
    case HeaderFault::kUnreadable: break;
  }
  return "";
}

}  // namespace

WaveHeaderCheck checkWaveHeader(File& file) {
  WaveHeaderCheck c;
  HeaderReader in(file);
  uint8_t buf[riff::kFormatBlockBytes];
  auto fail = [&](HeaderFault fault) {
    const bool read = in.error().isOk();
    c.fault = read ? fault : HeaderFault::kUnreadable;
    c.status = read ? Status::error(StatusCode::kInvalid, faultText(fault)) : in.error();
    return c;
  };
  if (!in.nextIs("RIFF")) return fail(HeaderFault::kNotRiff);
  if (!in.next(buf, 4)) return fail(HeaderFault::kNotWave);  // RIFF size, ignored
  if (!in.nextIs("WAVE")) return fail(HeaderFault::kNotWave);
  if (!in.nextIs("fmt ")) return fail(HeaderFault::kBadFmt);
  // The fmt size and the format block: a file ending here fails the first
  // format check, the one being read.
  if (!in.next(buf, 4) || !in.next(buf, riff::kFormatBlockBytes)) return fail(HeaderFault::kNotPcm);
  c.formatRead = true;
  const riff::FormatBlock block = riff::readFormatBlock(buf);
  c.format.FORMATTAG = static_cast<int16_t>(block.format);
  c.format.CHANNELS = static_cast<int16_t>(block.channels);
  c.format.SAMPLERATE = static_cast<int32_t>(block.rate);
  c.format.BYTERATE = static_cast<int32_t>(block.byteRate);
  c.format.BLOCKALIGN = static_cast<int16_t>(block.align);
  c.format.BITSPERSAMPLE = static_cast<int16_t>(block.bits);
  if (c.format.FORMATTAG != 1) return fail(HeaderFault::kNotPcm);
  if (c.format.CHANNELS != 2) return fail(HeaderFault::kMono);
  if (c.format.SAMPLERATE != 44100) return fail(HeaderFault::kNot44k);
  if (!in.nextIs("data")) return fail(HeaderFault::kBadData);
  if (!in.next(buf, 4)) return fail(HeaderFault::kBadData);
  auto length = file.size();
  if (!length) {
    c.status = Status::error(StatusCode::kIoError, length.status().message());
    c.fault = HeaderFault::kUnreadable;
    return c;
  }
  const uint64_t present = length.value() > in.position() ? length.value() - in.position() : 0;
  c.dataSize = static_cast<uint32_t>(std::min<uint64_t>(getLe32(buf), present));
  return c;
}

}  // namespace pelisto
