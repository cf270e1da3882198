#include "system/mci/wav_reader.h"

#include <algorithm>
#include <string>

#include "platform/coding.h"
#include "platform/riff.h"

namespace pelisto {
namespace {

Status invalid(const std::string& why) { return Status::error(StatusCode::kInvalid, why); }
Status unsupported(const std::string& why) { return Status::error(StatusCode::kUnsupported, why); }

Status checkFormat(const riff::FormatBlock& f) {
  if (f.format != riff::kFormatPcm) return unsupported("PCM以外の形式です");
  if (f.channels < 1 || f.channels > 8) return unsupported("チャンネル数が扱えません");
  if (f.bits != 8 && f.bits != 16 && f.bits != 24 && f.bits != 32) return unsupported("量子化ビット数が扱えません");
  if (f.rate < 1000 || f.rate > 384000) return unsupported("サンプリング周波数が扱えません");
  if (f.align != f.channels * (f.bits / 8)) return invalid("fmtチャンクが不正です");
  return Status::ok();
}

// One sample at p of the given width, as a 16-bit value.
int16_t sampleAt(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1: return int16_t((int(p[0]) - 128) * 256);
    case 2: return int16_t(getLe16(p));
    case 3: return int16_t(getLe16(p + 1));
    default: return int16_t(getLe16(p + 2));
  }
}

}  // namespace

Result<WavInfo> readWavInfo(File& file) {
  Result<uint64_t> size = file.size();
  if (!size) return size.status();
  Result<riff::WaveChunks> found = riff::findWaveChunks(file);
  if (!found) return found.status();
  if (!found->format) return invalid("fmtチャンクがありません");
  if (!found->data) return invalid("dataチャンクがありません");
  const riff::FormatBlock& f = *found->format;
  if (Status format = checkFormat(f); !format) return format;

  WavInfo info;
  info.channels = f.channels;
  info.rate = int(f.rate);
  info.bits = f.bits;
  info.frameBytes = f.align;
  info.dataOffset = found->data->body;
  // A file cut short plays as far as it goes.
  info.frames = std::min<uint64_t>(found->data->size, *size - info.dataOffset) / f.align;
  return info;
}

Result<size_t> WavReader::read(uint64_t first, int16_t* dst, size_t n) {
  if (first >= m_info.frames) return size_t(0);
  n = size_t(std::min<uint64_t>(n, m_info.frames - first));
  const size_t bytes = n * size_t(m_info.frameBytes);
  if (bytes > m_rawSize) {
    m_raw = std::make_unique<uint8_t[]>(bytes);
    m_rawSize = bytes;
  }
  Result<size_t> got = m_file->read(m_info.dataOffset + first * uint64_t(m_info.frameBytes), m_raw.get(), bytes);
  if (!got) return got.status();
  const size_t frames = *got / size_t(m_info.frameBytes);
  const int width = m_info.bits / 8;
  for (size_t i = 0; i < frames; ++i) {
    const uint8_t* f = m_raw.get() + i * size_t(m_info.frameBytes);
    const int16_t left = sampleAt(f, width);
    dst[2 * i] = left;
    dst[2 * i + 1] = m_info.channels == 1 ? left : sampleAt(f + width, width);
  }
  return frames;
}

Result<std::unique_ptr<WavReader>> openWavReader(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<File>> file = fs.open(path, OpenMode::kRead);
  if (!file) return file.status();
  Result<WavInfo> info = readWavInfo(**file);
  if (!info) return info.status();
  return std::make_unique<WavReader>(std::move(*file), *info);
}

}  // namespace pelisto
