// The sound decoder over libsndfile. The library reads the file through the
// program's own File (virtual I/O), so the file system's rules hold (only
// regular files, never a FIFO) and the in-memory file system serves tests.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "platform/sound_library.h"
#include "system/sndfile_io.h"
#include "system/sound_libraries.h"

namespace pelisto {
namespace {

// The order WAV (the channel mask's bits), FLAC and most formats use when
// the file names no positions.
constexpr std::array kWavOrder = {
    Speaker::kFrontLeft,     Speaker::kFrontRight,        Speaker::kFrontCentre,
    Speaker::kLfe,           Speaker::kBackLeft,          Speaker::kBackRight,
    Speaker::kFrontLeftOfCentre, Speaker::kFrontRightOfCentre, Speaker::kBackCentre,
    Speaker::kSideLeft,      Speaker::kSideRight,         Speaker::kTopCentre,
    Speaker::kTopFrontLeft,  Speaker::kTopFrontCentre,    Speaker::kTopFrontRight,
    Speaker::kTopBackLeft,   Speaker::kTopBackCentre,     Speaker::kTopBackRight,
};

// Ogg Vorbis and Opus put the centre between left and right, and the LFE
// last (the channel orders Vorbis I defines for 3 to 8 channels).
std::vector<Speaker> vorbisOrder(int channels) {
  using S = Speaker;
  switch (channels) {
    case 3: return {S::kFrontLeft, S::kFrontCentre, S::kFrontRight};
    case 4: return {S::kFrontLeft, S::kFrontRight, S::kBackLeft, S::kBackRight};
    case 5: return {S::kFrontLeft, S::kFrontCentre, S::kFrontRight, S::kBackLeft, S::kBackRight};
    case 6:
      return {S::kFrontLeft, S::kFrontCentre, S::kFrontRight, S::kBackLeft, S::kBackRight, S::kLfe};
    case 7:
      return {S::kFrontLeft, S::kFrontCentre, S::kFrontRight, S::kSideLeft,
              S::kSideRight, S::kBackCentre,  S::kLfe};
    case 8:
      return {S::kFrontLeft, S::kFrontCentre, S::kFrontRight, S::kSideLeft,
              S::kSideRight, S::kBackLeft,    S::kBackRight,  S::kLfe};
    default: return std::vector<Speaker>(static_cast<size_t>(channels), S::kUnknown);
  }
}

Speaker fromSndfile(int position) {
  using S = Speaker;
  switch (position) {
    case SF_CHANNEL_MAP_MONO: return S::kMono;
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT: return S::kFrontLeft;
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT: return S::kFrontRight;
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER: return S::kFrontCentre;
    case SF_CHANNEL_MAP_REAR_CENTER: return S::kBackCentre;
    case SF_CHANNEL_MAP_REAR_LEFT: return S::kBackLeft;
    case SF_CHANNEL_MAP_REAR_RIGHT: return S::kBackRight;
    case SF_CHANNEL_MAP_LFE: return S::kLfe;
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER: return S::kFrontLeftOfCentre;
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER: return S::kFrontRightOfCentre;
    case SF_CHANNEL_MAP_SIDE_LEFT: return S::kSideLeft;
    case SF_CHANNEL_MAP_SIDE_RIGHT: return S::kSideRight;
    case SF_CHANNEL_MAP_TOP_CENTER: return S::kTopCentre;
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT: return S::kTopFrontLeft;
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT: return S::kTopFrontRight;
    case SF_CHANNEL_MAP_TOP_FRONT_CENTER: return S::kTopFrontCentre;
    case SF_CHANNEL_MAP_TOP_REAR_LEFT: return S::kTopBackLeft;
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT: return S::kTopBackRight;
    case SF_CHANNEL_MAP_TOP_REAR_CENTER: return S::kTopBackCentre;
    default: return S::kUnknown;
  }
}

SampleKind kindOf(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return SampleKind::kInt8;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ALAC_16: return SampleKind::kInt16;
    case SF_FORMAT_PCM_24: return SampleKind::kInt24;
    case SF_FORMAT_PCM_32: return SampleKind::kInt32;
    case SF_FORMAT_FLOAT: return SampleKind::kFloat;
    case SF_FORMAT_DOUBLE: return SampleKind::kDouble;
    default: return SampleKind::kOther;
  }
}

class SndfileDecoder final : public SoundDecoder {
 public:
  SndfileDecoder(const SndfileFunctions& lib, std::unique_ptr<File> file) : m_lib(lib), m_file(std::move(file)) {}
  ~SndfileDecoder() override {
    if (m_sf) m_lib.close(m_sf);
  }

  Status open() {
    auto length = m_file->size();
    if (!length) return length.status();
    m_length = length.value();
    SF_VIRTUAL_IO io{&SndfileDecoder::vioLength, &SndfileDecoder::vioSeek, &SndfileDecoder::vioRead,
                     &SndfileDecoder::vioWrite, &SndfileDecoder::vioTell};
    SF_INFO sf{};
    m_sf = m_lib.openVirtual(&io, SFM_READ, &sf, this);
    if (!m_sf) {
      if (!m_ioError.isOk()) return m_ioError;
      return Status::error(StatusCode::kUnsupported, m_lib.strerror(nullptr));
    }
    if (sf.channels < 1 || sf.samplerate < 1) {
      return Status::error(StatusCode::kUnsupported, "no channels or no rate");
    }
    m_info.channels = sf.channels;
    m_info.rate = sf.samplerate;
    m_info.frames = sf.frames > 0 && sf.frames != SF_COUNT_MAX ? static_cast<uint64_t>(sf.frames) : 0;
    m_info.kind = kindOf(sf.format);
    m_info.speakers = speakers(sf);
    return Status::ok();
  }

  const SoundInfo& info() const override { return m_info; }

  Result<size_t> readFloat(float* dst, size_t frames) override {
    return checked(m_lib.readfFloat(m_sf, dst, static_cast<sf_count_t>(frames)));
  }
  Result<size_t> readShort(int16_t* dst, size_t frames) override {
    return checked(m_lib.readfShort(m_sf, dst, static_cast<sf_count_t>(frames)));
  }
  Status seek(uint64_t frame) override {
    if (!m_ioError.isOk()) return m_ioError;
    if (m_lib.seek(m_sf, static_cast<sf_count_t>(frame), SEEK_SET) < 0) {
      if (!m_ioError.isOk()) return m_ioError;
      return Status::error(StatusCode::kIoError, m_lib.strerror(m_sf));
    }
    return Status::ok();
  }

 private:
  std::vector<Speaker> speakers(const SF_INFO& sf) {
    const int n = sf.channels;
    if (n == 1) return {Speaker::kMono};
    std::vector<int> map(static_cast<size_t>(n));
    if (n > 2 && m_lib.command(m_sf, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                            static_cast<int>(map.size() * sizeof(int))) == SF_TRUE) {
      std::vector<Speaker> out;
      for (int p : map) out.push_back(fromSndfile(p));
      return out;
    }
    if ((sf.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG && n > 2) return vorbisOrder(n);
    std::vector<Speaker> out;
    for (int i = 0; i < n; ++i) {
      out.push_back(static_cast<size_t>(i) < kWavOrder.size() ? kWavOrder[static_cast<size_t>(i)]
                                                               : Speaker::kUnknown);
    }
    return out;
  }

  Result<size_t> checked(sf_count_t got) {
    if (!m_ioError.isOk()) return m_ioError;
    if (got < 0 || m_lib.error(m_sf) != SF_ERR_NO_ERROR) {
      return Status::error(StatusCode::kIoError, m_lib.strerror(m_sf));
    }
    return static_cast<size_t>(got);
  }

  static SndfileDecoder& self(void* user) { return *static_cast<SndfileDecoder*>(user); }
  static sf_count_t vioLength(void* user) { return static_cast<sf_count_t>(self(user).m_length); }
  static sf_count_t vioTell(void* user) { return static_cast<sf_count_t>(self(user).m_pos); }
  // Positions are unsigned 64-bit: a damaged header's offset (an RF64 data
  // size of 2^63 - 1, say) must neither overflow nor wrap. A seek before
  // the start or past what the library's signed count can hold fails.
  static sf_count_t vioSeek(sf_count_t offset, int whence, void* user) {
    SndfileDecoder& d = self(user);
    const sf_count_t to = seekTarget(offset, whence, d.m_pos, d.m_length);
    if (to >= 0) d.m_pos = static_cast<uint64_t>(to);
    return to;
  }
  // A read error ends the decoding: the library sees the end of the file
  // and the next read reports the error.
  static sf_count_t vioRead(void* dst, sf_count_t count, void* user) {
    SndfileDecoder& d = self(user);
    if (count <= 0 || !d.m_ioError.isOk()) return 0;
    auto got = d.readAt(d.m_pos, static_cast<uint8_t*>(dst), static_cast<size_t>(count));
    if (!got) {
      d.m_ioError = Status::error(StatusCode::kIoError, got.status().message());
      return 0;
    }
    d.m_pos += got.value();
    return static_cast<sf_count_t>(got.value());
  }

  // The library reads a few kilobytes at a time: those come from a larger
  // read ahead, one system call where there would be dozens. Where the
  // read ahead fails, the bytes asked for are read alone, so that a fault
  // past them is met only when they are needed.
  Result<size_t> readAt(uint64_t offset, uint8_t* dst, size_t n) {
    if (offset < m_aheadAt || offset + n > m_aheadAt + m_ahead.size()) {
      if (n >= kReadAhead / 2) return m_file->read(offset, dst, n);
      m_ahead.resize(kReadAhead);
      auto got = m_file->read(offset, m_ahead.data(), m_ahead.size());
      m_ahead.resize(got ? got.value() : 0);
      m_aheadAt = offset;
      if (!got || got.value() < n) return m_file->read(offset, dst, n);
    }
    std::memcpy(dst, m_ahead.data() + (offset - m_aheadAt), n);
    return n;
  }
  static sf_count_t vioWrite(const void*, sf_count_t, void*) { return 0; }

  static constexpr size_t kReadAhead = size_t{128} << 10;

  const SndfileFunctions& m_lib;
  std::unique_ptr<File> m_file;
  std::vector<uint8_t> m_ahead;  // the file's bytes from m_aheadAt on
  uint64_t m_aheadAt = 0;
  uint64_t m_length = 0;
  uint64_t m_pos = 0;
  Status m_ioError;
  SNDFILE* m_sf = nullptr;
  SoundInfo m_info;
};

}  // namespace

Result<std::unique_ptr<SoundDecoder>> openSndfileDecoder(FileSystem& fs, const std::string& path) {
  std::string why;
  const SndfileFunctions* lib = sndfileFunctions(why);
  if (!lib) return Status::error(StatusCode::kUnsupported, why);
  auto file = fs.open(path, OpenMode::kRead);
  if (!file) return file.status();
  auto decoder = std::make_unique<SndfileDecoder>(*lib, std::move(file.value()));
  if (Status st = decoder->open(); !st) return st;
  return std::unique_ptr<SoundDecoder>(std::move(decoder));
}

}  // namespace pelisto
