// FLAC coded in stretches on several helpers and joined: the same bytes as
// one encoder writes, however the frames arrive and the stretches fall.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "headless/mem_file_system.h"
#include "platform/md5.h"
#include "wave/flac_sink.h"

namespace pelisto::test {
namespace {

const EncoderSpec kSpec{EncodedType::kFlac, 44100, 2, "題名", "Pelisto test"};

NewFlacEncoder encoders() {
  return [](File& file) { return newSndfileEncoder(file, kSpec); };
}

// Frames that code to frames of many sizes: tones, noise, and silence.
std::vector<uint8_t> frames(size_t n) {
  std::mt19937 random(7);
  std::vector<uint8_t> bytes(4 * n);
  for (size_t i = 0; i < 2 * n; ++i) {
    const double t = double(i / 2) / 44100;
    const double level = (i / 2 / 30000) % 3 == 2 ? 0 : 8000 * std::sin(2 * M_PI * (i % 2 ? 440 : 97) * t);
    const int16_t s = int16_t(level + ((i / 2 / 30000) % 3 == 1 ? int(random() % 2001) - 1000 : 0));
    bytes[2 * i] = uint8_t(s), bytes[2 * i + 1] = uint8_t(uint16_t(s) >> 8);
  }
  return bytes;
}

std::vector<uint8_t> oneEncoder(const std::vector<uint8_t>& bytes) {
  BufferFile file;
  auto encoder = newSndfileEncoder(file, kSpec);
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
  EXPECT_TRUE(encoder.isOk() && encoder.value()->writeShort(samples.data(), samples.size() / 2).isOk() &&
              encoder.value()->finish().isOk());
  return file.bytes();
}

TEST(FlacSink, WritesWhatOneEncoderWrites) {
  const struct {
    size_t frames, piece;  // handed in pieces of `piece` frames
    uint32_t stretchBlocks;
    size_t helpers;
  } cases[] = {
      {1, 1, 2, 2},          {4096 * 4, 5000, 2, 2},  {4096 * 4 + 1, 4096, 2, 1},
      {4096 * 5 + 999, 333, 1, 3}, {4096 * 140 + 7, 65536, 3, 2}, {4096 * 140, 1 << 20, 50, 4},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes = frames(c.frames);
    BufferFile file;
    auto sink = FlacSink::make(file, encoders(), c.helpers, c.stretchBlocks);
    ASSERT_TRUE(sink.isOk()) << sink.status().message();
    ASSERT_TRUE(sink.value()->begin(c.frames).isOk());
    for (size_t at = 0; at < c.frames; at += c.piece) {
      ASSERT_TRUE(sink.value()->write(bytes.data() + 4 * at, std::min(c.piece, c.frames - at)).isOk());
    }
    ASSERT_TRUE(sink.value()->finish().isOk());
    EXPECT_TRUE(file.bytes() == oneEncoder(bytes)) << c.frames << " frames, stretches of " << c.stretchBlocks;
  }
}

// A frame numbered anew and back holds its bytes again, for numbers of
// every length their coding takes (1 to 6 bytes).
TEST(FlacSink, FramesRenumberAndBack) {
  const std::vector<uint8_t> stream = oneEncoder(frames(4096 + 100));
  auto layout = readFlacLayout(stream.data(), stream.size());
  ASSERT_TRUE(layout.isOk());
  ASSERT_EQ(layout.value().frames.size(), 2u);
  for (const FlacFrame& frame : layout.value().frames) {
    for (uint64_t number : {127ull, 128ull, 2047ull, 2048ull, 65536ull, 1ull << 21, 1ull << 26, (1ull << 31) - 1}) {
      std::vector<uint8_t> renumbered, back;
      appendRenumbered(stream.data() + frame.at, frame.size, number, renumbered);
      appendRenumbered(renumbered.data(), renumbered.size(), &frame - &layout.value().frames[0], back);
      EXPECT_TRUE(std::equal(back.begin(), back.end(), stream.begin() + frame.at, stream.begin() + frame.at + frame.size) &&
                  back.size() == frame.size) << number;
    }
  }
}

// A device that fills up part-way: the write stops with its message, and
// the helpers still at work are waited for.
TEST(FlacSink, AFullDeviceStopsTheWrite) {
  MemFileSystem fs;
  fs.setCapacity(300000);
  auto file = fs.open("/out.flac", OpenMode::kCreate);
  ASSERT_TRUE(file.isOk());
  const std::vector<uint8_t> bytes = frames(4096 * 100);
  auto sink = FlacSink::make(*file.value(), encoders(), 2, 4);
  ASSERT_TRUE(sink.isOk());
  ASSERT_TRUE(sink.value()->begin(4096 * 100).isOk());
  Status st = sink.value()->write(bytes.data(), 4096 * 100);
  if (st) st = sink.value()->finish();
  EXPECT_EQ(st.code(), StatusCode::kNoSpace);
}

TEST(Md5, KnownDigests) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"}};
  for (const auto& [text, digest] : cases) {
    // In pieces of 1, 7 and 64 bytes: the same digest.
    for (size_t piece : {size_t{1}, size_t{7}, size_t{64}}) {
      Md5 md5;
      for (size_t at = 0; at < text.size(); at += piece) {
        md5.add(reinterpret_cast<const uint8_t*>(text.data()) + at, std::min(piece, text.size() - at));
      }
      char hex[33];
      const auto d = md5.finish();
      for (int i = 0; i < 16; ++i) std::snprintf(hex + 2 * i, 3, "%02x", d[i]);
      EXPECT_STREQ(hex, digest) << text.size() << " bytes in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace pelisto::test
