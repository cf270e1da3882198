// The block reader, the byte-to-row scale and the drawing of one second.
#include <gtest/gtest.h>

#include <cmath>

#include "support/view_support.h"
#include "view/graph_points.h"

namespace pelisto::test {
namespace {

TEST(RowOfByte, Table) {
  const std::pair<int, int> cases[] = {{0, 63},   {1, 64},  {3, 64},    {127, 126}, {128, 0},
                                       {254, 62}, {255, 63}, {0x7F, 126}, {0x80, 0}, {0xFF, 63},
                                       {2, 64},   {5, 66},  {129, 0},   {130, 0},  {132, 2}};
  for (auto [b, y] : cases) EXPECT_EQ(kRowOfByte[b], y) << "b=" << b;
  // Every byte against the formula in floating point.
  for (int b = 0; b < 256; ++b) {
    const double v = b < 128 ? b : b - 255;
    EXPECT_EQ(kRowOfByte[b], std::nearbyint(63 + v / 2)) << "b=" << b;
  }
}

TEST(GetWaveData, ReadsWholeBlocksThenZeros) {
  // 1.5 s: exactly 150 blocks, then a "LIST" chunk of 2000 bytes after the data.
  std::vector<uint8_t> data = noiseData(150 * 1764);
  std::vector<uint8_t> file = wavFile(data);
  std::vector<uint8_t> tail = noiseData(2000, 7);
  file.insert(file.end(), tail.begin(), tail.end());
  ViewApp app(file);
  AppState& s = app.ctx.state;

  GETWAVEDATA(app.ctx, 44 + 149 * 1764);  // the last block of the data
  EXPECT_TRUE(std::equal(s.WAVEBUF.begin(), s.WAVEBUF.end(), data.end() - 1764));
  // The chunk after the data reads as samples: 2000 bytes remain.
  GETWAVEDATA(app.ctx, 0);
  EXPECT_TRUE(std::equal(s.WAVEBUF.begin(), s.WAVEBUF.end(), tail.begin()));
  const uint64_t pos = app.ctx.files.tell(s.WAVEFNUM);
  GETWAVEDATA(app.ctx, 0);  // 236 bytes left: zeros, position kept
  EXPECT_EQ(std::count(s.WAVEBUF.begin(), s.WAVEBUF.end(), 0), 1764);
  EXPECT_EQ(app.ctx.files.tell(s.WAVEFNUM), pos);
  GETWAVEDATA(app.ctx, 1 << 30);  // far past the end
  EXPECT_EQ(std::count(s.WAVEBUF.begin(), s.WAVEBUF.end(), 0), 1764);
}

TEST(GetWaveData, NoOpenFileReadsZeros) {
  TestApp app;
  app.started();
  app.ctx.state.WAVEBUF.fill(9);
  EXPECT_EQ(GETWAVEDATA(app.ctx, 0), 0);
  EXPECT_EQ(GETWAVEDATA(app.ctx, 44), 0);
  EXPECT_EQ(std::count(app.ctx.state.WAVEBUF.begin(), app.ctx.state.WAVEBUF.end(), 0), 1764);
}

// Whatever they read or draw (a whole block, a scrap, past the end, a
// negative position or second, no file), both return 0.
TEST(WaveData, BothAlwaysReturnZero) {
  const int32_t positions[] = {0, 44, 44 + 149 * 1764, 44 + 150 * 1764 - 10, 1 << 30, -1};
  const int32_t seconds[] = {0, 1, 2, 400, -1};
  ViewApp app(wavFile(noiseData(150 * 1764)));
  TestApp closed;
  closed.started();
  for (AppContext* ctx : {&app.ctx, &closed.ctx}) {
    for (int32_t p : positions) EXPECT_EQ(GETWAVEDATA(*ctx, p), 0) << "position " << p;
    for (int32_t s : seconds) EXPECT_EQ(SHOWWAVEDATA(*ctx, s), 0) << "second " << s;
  }
}

// The picture of a second whose 600 points all lie on `row`: white, the
// silver zero line, the blue segment from (0, 63) down or up to the first
// point, then the blue line along the row (clipped at 598 × 126).
std::vector<uint32_t> flatPicture(int row) {
  std::vector<uint32_t> px(598 * 126, kWhite.pixel());
  auto set = [&](int x, int y, Rgb c) {
    if (x < 598 && y < 126) px[size_t(y) * 598 + x] = c.pixel();
  };
  for (int x = 0; x < 598; ++x) set(x, 63, kSilver);
  for (int y = std::min(63, row); y <= std::max(63, row); ++y) set(0, y, kBlue);
  for (int x = 0; x < 598; ++x) set(x, row, kBlue);
  return px;
}

// Data whose sampled high bytes are all b.
std::vector<uint8_t> constantHighBytes(size_t bytes, uint8_t b) {
  std::vector<uint8_t> d(bytes, 0);
  for (size_t i = 1; i < bytes; i += 2) d[i] = b;
  return d;
}

TEST(ShowWaveData, ExactPixelsOfAConstantSecond) {
  const std::pair<uint8_t, int> cases[] = {{0x20, 79}, {0xE0, 48}, {0x00, 63}, {0xFF, 63}, {0x80, 0}};
  for (auto [b, row] : cases) {
    ViewApp app(wavFile(constantHighBytes(2 * 176400, b)));
    app.ctx.state.TRACEX = 42;
    app.scrollTo(1);
    EXPECT_EQ(firstDifference(snapshot(app.picture()), flatPicture(row)), "") << "byte " << int(b);
    EXPECT_EQ(app.ctx.state.TRACEX, -1);
    EXPECT_EQ(app.picture().penX(), 599);
  }
}

TEST(ShowWaveData, EachColumnTakesItsOwnByte) {
  // Column 6k + m of second 1 from byte 1 + 294m of block k; values differ
  // from column to column, so a wrong offset shows.
  std::vector<uint8_t> data(2 * 176400, 0);
  std::vector<int> expected(600);
  for (int c = 0; c < 600; ++c) {
    const int k = c / 6, m = c % 6;
    const uint8_t b = uint8_t(c % 2 ? 0x80 + (c * 7) % 100 : (c * 11) % 120);
    data[176400 + 1764 * k + 1 + 294 * m] = b;
    expected[c] = kRowOfByte[b];
  }
  ViewApp app(wavFile(data));
  app.scrollTo(1);
  for (int x = 0; x < 598; ++x) {
    if (expected[x] < 126) {
      EXPECT_EQ(app.picture().pixel(x, expected[x]), kBlue) << "x=" << x;
    }
  }
}

TEST(ShowWaveData, MissingDataIsFlat) {
  struct Case {
    size_t dataBytes;
    int second;
    int realColumns;  // columns of that second drawn from real blocks
  } cases[] = {
      {176400 + 1000, 1, 0},         // data ends 1000 bytes into second 1
      {176400 + 3 * 1764 + 5, 1, 18},  // three whole blocks, then a scrap
      {150 * 1764, 1, 300},          // a multiple of 1764
      {441000, 3, 0},                // the rounded-up last position of 2.5 s
      {441000, 400, 0},              // far past the end
  };
  for (const Case& c : cases) {
    ViewApp app(wavFile(constantHighBytes(c.dataBytes, 0x20)));
    SHOWWAVEDATA(app.ctx, c.second);
    for (int x = 1; x < 598; ++x) {
      const int row = x < c.realColumns ? 79 : 63;
      EXPECT_EQ(app.picture().pixel(x, row), kBlue) << c.dataBytes << " x=" << x;
      EXPECT_EQ(app.picture().pixel(x, row == 63 ? 79 : 63), row == 63 ? kWhite : kSilver);
    }
  }
}

TEST(ShowWaveData, NoOpenFileDrawsFlat) {
  TestApp app;
  app.started();
  SHOWWAVEDATA(app.ctx, 0);
  EXPECT_EQ(firstDifference(snapshot(app.ui.canvas(Control::PICTURE1)), flatPicture(63)), "");
}

// Every second of the file, with and without the cache, pixel for pixel.
TEST(ShowWaveData, FastAndDirectPathsAgree) {
  struct Case {
    size_t dataBytes;
    int lastPosition;
    bool chunkAfterData;
    uint32_t claimedSize = 0;  // the header's data size when not the real one
  } cases[] = {{441000, 3, false},
               {617400, 4, false},
               {10830000, 61, false},
               {441000, 3, true},
               // A size field past what the file holds: the sound is what is there.
               {176400, 1, false, 0x80000000u}};
  for (const Case& c : cases) {
    std::vector<uint8_t> file =
        wavClaiming(c.claimedSize ? c.claimedSize : uint32_t(c.dataBytes), noiseData(c.dataBytes));
    if (c.chunkAfterData) {
      auto extra = noiseData(5000, 99);
      file.insert(file.end(), extra.begin(), extra.end());
    }
    ViewApp direct(file);
    ViewApp fast(file, true);
    ASSERT_EQ(fast.ctx.state.GRAPHFAST, 1);
    ASSERT_EQ(direct.ui.scrollMax(), c.lastPosition);
    for (int p = 0; p <= c.lastPosition; ++p) {
      direct.scrollTo(p);
      fast.scrollTo(p);
      ASSERT_EQ(firstDifference(snapshot(direct.picture()), snapshot(fast.picture())), "")
          << c.dataBytes << " second " << p;
    }
    if (size_t(c.lastPosition) * 176400 >= c.dataBytes) {
      EXPECT_EQ(firstDifference(snapshot(fast.picture()), flatPicture(63)), "")
          << "last position of " << c.dataBytes;
    }
  }
}

}  // namespace
}  // namespace pelisto::test
