#include "wave/wav_sink.h"

#include "platform/riff.h"

namespace pelisto {

Status checkWavLength(uint64_t frames) {
  if (frames > (riff::kMaxFileBytes - riff::kCanonicalHeaderBytes) / kFrameSize) {
    return Status::error(StatusCode::kLimit, kMsgWaveTooLarge);
  }
  return Status::ok();
}

Status WavSink::begin(uint64_t frames) {
  if (Status st = checkWavLength(frames); !st) return st;
  m_end = riff::kCanonicalHeaderBytes + frames * kFrameSize;
  if (Status st = m_file.reserve(m_end); !st) return st;
  riff::setCanonicalSizes(m_header.data(), m_end);
  m_at = m_header.size();
  m_writeback = WritebackPacer(m_at);
  return m_file.write(0, m_header.data(), m_header.size());
}

Status WavSink::write(const uint8_t* frames, size_t n) {
  const size_t bytes = n * kFrameSize;
  if (Status st = m_file.write(m_at, frames, bytes); !st) return st;
  m_at += bytes;
  // The device writes each megabyte while the next are made, so the sync
  // at the end has little left to wait for.
  m_writeback.wrote(m_file, m_at);
  return Status::ok();
}

Status WavSink::finish() {
  if (m_at != m_end) return Status::error(StatusCode::kIoError, "書き込んだ長さが予定と違います");
  return Status::ok();
}

}  // namespace pelisto
