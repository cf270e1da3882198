// The sound encoder over libsndfile (opened when first needed, as for the
// decoder: system/sound_libraries.h). The library writes through the
// program's own File (virtual I/O): the replacing save hands it the
// temporary file, and the in-memory file system of the tests, with its
// injected failures, serves it as well. Its many small writes are gathered
// into pieces of a megabyte, each handed to the device as it is written.
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sound_library.h"
#include "system/sndfile_io.h"
#include "system/sound_libraries.h"

namespace pelisto {
namespace {

// The library's type of each coded type.
int formatOf(EncodedType type) {
  switch (type) {
    case EncodedType::kFlac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case EncodedType::kVorbis: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case EncodedType::kOpus: return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case EncodedType::kMp3: return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
  }
  return 0;
}

// The library's compression level (0 best … 1 smallest) for each lossy
// type: Vorbis takes 1 - level as its quality (0.6: about 192 kbit/s for
// stereo at 44.1 kHz); Opus makes ((1 - level) × 250000 + 6000) bit/s of
// each channel, MP3 at a constant rate 320 - level × 288 kbit/s, both cut
// to whole numbers: the half keeps the wanted number from being cut one
// below.
constexpr double kVorbisLevel = 0.4;
constexpr double kOpusLevel = 1.0 - (64000.5 - 6000.0) / 250000.0;  // 64 kbit/s a channel
constexpr double kMp3Level = (320.0 - 192.5) / 288.0;               // 192 kbit/s

// An ID3v2.4 tag of the title and the program (TIT2, TSSE), in UTF-8.
std::vector<uint8_t> id3Tag(const EncoderSpec& spec) {
  auto syncsafe = [](std::vector<uint8_t>& out, size_t n) {
    for (int shift = 21; shift >= 0; shift -= 7) out.push_back(uint8_t((n >> shift) & 0x7F));
  };
  std::vector<uint8_t> frames;
  auto frame = [&](const char* id, const std::string& text) {
    if (text.empty()) return;
    frames.insert(frames.end(), id, id + 4);
    syncsafe(frames, text.size() + 1);
    frames.insert(frames.end(), {0, 0, 3});  // no flags; UTF-8
    frames.insert(frames.end(), text.begin(), text.end());
  };
  frame("TIT2", spec.title);
  frame("TSSE", spec.software);
  if (frames.empty()) return frames;
  std::vector<uint8_t> tag = {'I', 'D', '3', 4, 0, 0};
  syncsafe(tag, frames.size());
  tag.insert(tag.end(), frames.begin(), frames.end());
  return tag;
}

class SndfileEncoder final : public SoundEncoder {
 public:
  SndfileEncoder(const SndfileFunctions& lib, File& file) : m_lib(lib), m_file(file) {}
  ~SndfileEncoder() override {
    if (m_sf) m_lib.close(m_sf);
  }

  Status open(const EncoderSpec& spec) {
    // libsndfile 1.2.0 writes the tag of an MP3 file at its start and then
    // its own header over it: the tag goes here, and the library's file
    // starts after it.
    if (spec.type == EncodedType::kMp3) {
      const std::vector<uint8_t> tag = id3Tag(spec);
      if (Status st = m_file.write(0, tag.data(), tag.size()); !st) return st;
      m_base = tag.size();
    }
    SF_VIRTUAL_IO io{&SndfileEncoder::vioLength, &SndfileEncoder::vioSeek, &SndfileEncoder::vioRead,
                     &SndfileEncoder::vioWrite, &SndfileEncoder::vioTell};
    SF_INFO info{};
    info.samplerate = spec.rate;
    info.channels = spec.channels;
    info.format = formatOf(spec.type);
    m_sf = m_lib.openVirtual(&io, SFM_WRITE, &info, this);
    if (!m_sf) {
      if (!m_ioError.isOk()) return m_ioError;
      return Status::error(StatusCode::kUnsupported, m_lib.strerror(nullptr));
    }
    if (Status st = configure(spec.type); !st) return st;
    if (spec.type != EncodedType::kMp3) {
      if (!spec.title.empty()) m_lib.setString(m_sf, SF_STR_TITLE, spec.title.c_str());
      if (!spec.software.empty()) m_lib.setString(m_sf, SF_STR_SOFTWARE, spec.software.c_str());
    }
    return checked(true);
  }

  Status writeShort(const int16_t* frames, size_t n) override {
    const sf_count_t want = static_cast<sf_count_t>(n);
    return checked(m_lib.writefShort(m_sf, frames, want) == want);
  }
  Status writeFloat(const float* frames, size_t n) override {
    const sf_count_t want = static_cast<sf_count_t>(n);
    return checked(m_lib.writefFloat(m_sf, frames, want) == want);
  }

  Status finish() override {
    const int closed = m_lib.close(m_sf);
    m_sf = nullptr;
    if (!m_ioError.isOk()) return m_ioError;
    if (closed != 0) return Status::error(StatusCode::kIoError, m_lib.errorNumber(closed));
    return flush();
  }

 private:
  Status configure(EncodedType type) {
    auto level = [&](double value) {
      return m_lib.command(m_sf, SFC_SET_COMPRESSION_LEVEL, &value, sizeof value) == SF_TRUE;
    };
    bool ok = true;
    switch (type) {
      case EncodedType::kFlac: break;  // the library's default level
      case EncodedType::kVorbis: ok = level(kVorbisLevel); break;
      case EncodedType::kOpus: ok = level(kOpusLevel); break;
      case EncodedType::kMp3: {
        // Constant is the encoder's own default as well; the library's
        // answer to this command differs between its releases.
        int constant = SF_BITRATE_MODE_CONSTANT;
        m_lib.command(m_sf, SFC_SET_BITRATE_MODE, &constant, sizeof constant);
        ok = level(kMp3Level);
        break;
      }
    }
    if (!ok) return Status::error(StatusCode::kUnsupported, "符号化の設定が受け付けられませんでした");
    // Floats past full scale are clipped, not wrapped round.
    m_lib.command(m_sf, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return Status::ok();
  }

  // The library's result: a write error of the file first, then its own.
  Status checked(bool ok) {
    if (!m_ioError.isOk()) return m_ioError;
    if (!ok || m_lib.error(m_sf) != SF_ERR_NO_ERROR) return Status::error(StatusCode::kIoError, m_lib.strerror(m_sf));
    return Status::ok();
  }

  // The gathered bytes go to the file.
  Status flush() {
    if (m_pending.empty()) return Status::ok();
    Status st = m_file.write(m_base + m_pendingAt, m_pending.data(), m_pending.size());
    if (st) m_file.startWriteback(m_base + m_pendingAt, m_pending.size());
    m_pending.clear();
    return st;
  }
  bool flushOrFail() {
    if (Status st = flush(); !st) {
      if (m_ioError.isOk()) m_ioError = st;
      return false;
    }
    return true;
  }

  static SndfileEncoder& self(void* user) { return *static_cast<SndfileEncoder*>(user); }
  static sf_count_t vioLength(void* user) {
    SndfileEncoder& e = self(user);
    return static_cast<sf_count_t>(std::max(e.m_length, e.m_pendingAt + e.m_pending.size()));
  }
  static sf_count_t vioTell(void* user) { return static_cast<sf_count_t>(self(user).m_pos); }
  static sf_count_t vioSeek(sf_count_t offset, int whence, void* user) {
    SndfileEncoder& e = self(user);
    const sf_count_t to = seekTarget(offset, whence, e.m_pos, static_cast<uint64_t>(vioLength(user)));
    if (to >= 0) e.m_pos = static_cast<uint64_t>(to);
    return to;
  }
  // The library reads back what it wrote (headers it completes at the end).
  static sf_count_t vioRead(void* dst, sf_count_t count, void* user) {
    SndfileEncoder& e = self(user);
    if (count <= 0 || !e.m_ioError.isOk() || !e.flushOrFail()) return 0;
    auto got = e.m_file.read(e.m_base + e.m_pos, static_cast<uint8_t*>(dst), static_cast<size_t>(count));
    if (!got) {
      e.m_ioError = got.status();
      return 0;
    }
    e.m_pos += got.value();
    return static_cast<sf_count_t>(got.value());
  }
  // Writes that follow each other are gathered; any other goes out first.
  static sf_count_t vioWrite(const void* src, sf_count_t count, void* user) {
    SndfileEncoder& e = self(user);
    if (count <= 0 || !e.m_ioError.isOk()) return 0;
    const size_t n = static_cast<size_t>(count);
    if (e.m_pos != e.m_pendingAt + e.m_pending.size() || e.m_pending.size() + n > kGather) {
      if (!e.flushOrFail()) return 0;
      e.m_pendingAt = e.m_pos;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(src);
    e.m_pending.insert(e.m_pending.end(), bytes, bytes + n);
    e.m_pos += n;
    e.m_length = std::max(e.m_length, e.m_pos);
    return count;
  }

  static constexpr size_t kGather = size_t{1} << 20;

  const SndfileFunctions& m_lib;
  File& m_file;
  uint64_t m_base = 0;  // where the library's file starts in m_file
  std::vector<uint8_t> m_pending;  // bytes for the library's file from m_pendingAt on
  uint64_t m_pendingAt = 0;
  uint64_t m_length = 0;
  uint64_t m_pos = 0;
  Status m_ioError;
  SNDFILE* m_sf = nullptr;
};

}  // namespace

bool sndfileCanEncode(EncodedType type) {
  std::string why;
  const SndfileFunctions* lib = sndfileFunctions(why);
  SF_INFO info{};
  info.samplerate = type == EncodedType::kOpus ? 48000 : 44100;
  info.channels = 2;
  info.format = formatOf(type);
  return lib && lib->formatCheck(&info) == SF_TRUE;
}

Result<std::unique_ptr<SoundEncoder>> newSndfileEncoder(File& file, const EncoderSpec& spec) {
  std::string why;
  const SndfileFunctions* lib = sndfileFunctions(why);
  if (!lib) return Status::error(StatusCode::kUnsupported, why);
  if (!sndfileCanEncode(spec.type)) {
    return Status::error(StatusCode::kUnsupported, "この形式で書き出すことができません");
  }
  auto encoder = std::make_unique<SndfileEncoder>(*lib, file);
  if (Status st = encoder->open(spec); !st) return st;
  return std::unique_ptr<SoundEncoder>(std::move(encoder));
}

}  // namespace pelisto
