#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "model/messages.h"
#include "platform/program_files.h"
#include "support/writer_fixture.h"
#include "wave/join_fades.h"

namespace pelisto::test {
namespace {

// 20000 frames of two tones, a different one on each side.
std::vector<uint8_t> tones(double left, double right) {
  std::vector<uint8_t> d(20000 * 4);
  for (size_t f = 0; f < 20000; ++f) {
    putLe16(&d[f * 4], uint16_t(int16_t(std::lround(12000 * std::sin(left * double(f))))));
    putLe16(&d[f * 4 + 2], uint16_t(int16_t(std::lround(9000 * std::cos(right * double(f))))));
  }
  return d;
}

// The largest step between neighbouring samples of frames [from, to).
int largestStep(const std::vector<uint8_t>& pcm, size_t from, size_t to) {
  int step = 0;
  for (size_t f = from + 1; f < to; ++f) {
    for (size_t c = 0; c < 4; c += 2) {
      step = std::max(step, std::abs(int16_t(getLe16(&pcm[f * 4 + c])) - int16_t(getLe16(&pcm[f * 4 - 4 + c]))));
    }
  }
  return step;
}

struct Row {
  const char* source;  // "" for a blank
  int32_t start, end, loops = 1, voiceless = 0;
};

class SmoothJoins : public WriterFixture {
 public:
  void SetUp() override {
    WriterFixture::SetUp();
    addSource("/w/a.wav", tones(0.14, 0.09));
    addSource("/w/b.wav", tones(0.11, 0.13));
    app.openWave("/w/a.wav");
  }
  void setList(const std::vector<Row>& rows) {
    app.ctx.list.clearLines();
    app.ctx.state.EDITCOUNT = 0;
    for (const Row& r : rows) *r.source ? addRange(r.source, r.start, r.end, r.loops, r.voiceless) : addBlank(r.end);
  }
  std::vector<uint8_t> written(bool smooth) {
    app.ctx.state.smoothJoins = smooth;
    app.ctx.state.PLAYFLAG = 0;
    write("/w/out.wav");
    return payload("/w/out.wav");
  }
};

TEST_F(SmoothJoins, FadesMeetAtEveryJumpAndLeaveTheRestAsItWas) {
  const struct {
    const char* name;
    std::vector<Row> rows;
    std::vector<size_t> segments;  // where each run of unbroken sound ends
  } cases[] = {
      {"entry/entry", {{"/w/a.wav", 1000, 3000}, {"/w/b.wav", 5000, 7000}}, {2000, 4000}},
      {"loop repeats", {{"/w/a.wav", 1000, 1800, 3}}, {800, 1600, 2400}},
      {"blank", {{"/w/a.wav", 1000, 3000}, {"", 0, 500}, {"/w/a.wav", 8000, 9000}}, {2000, 2500, 3500}},
      {"voiceless", {{"/w/a.wav", 1000, 3000}, {"/w/a.wav", 3000, 5000, 1, 1}}, {2000, 4205}},
      {"contiguous", {{"/w/a.wav", 1000, 3000}, {"/w/a.wav", 3000, 5000}, {"/w/a.wav", 0, 9, 1, 2}, {"/w/a.wav", 5000, 6000}}, {5000}},
      {"short pieces", {{"/w/a.wav", 1000, 1100}, {"/w/b.wav", 5000, 5061}}, {100, 161}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    setList(c.rows);
    const std::vector<uint8_t> plain = written(false), smooth = written(true);
    ASSERT_EQ(smooth.size(), plain.size());
    ASSERT_EQ(plain.size(), c.segments.back() * 4);
    size_t start = 0;
    int untouched = 0;  // the largest step inside the runs, without fades
    for (size_t end : c.segments) {
      untouched = std::max(untouched, largestStep(plain, start, end));
      const size_t fade = std::min<size_t>(kMaxFadeFrames, (end - start + 1) / 2);
      const long from = long(start + fade) * 4, to = std::max(from, long(end - fade) * 4);
      EXPECT_TRUE(std::equal(plain.begin() + from, plain.begin() + to, smooth.begin() + from));
      EXPECT_LT(std::abs(int16_t(getLe16(&smooth[start * 4]))), 600) << start;
      EXPECT_LT(std::abs(int16_t(getLe16(&smooth[end * 4 - 4]))), 600) << end;
      start = end;
    }
    EXPECT_LE(largestStep(smooth, 0, start), untouched);
  }
}

TEST_F(SmoothJoins, ListeningAcrossAJoinPlaysTheWrittenFramesAndRemovesThemAfter) {
  setList({{"/w/a.wav", 1000, 3000}, {"/w/b.wav", 100, 301, 600}, {"", 0, 90000}, {"/w/a.wav", 0, 9000}});
  app.ctx.own = ProgramFiles{"/cache/pelisto", 7, nullptr};
  const std::string listen = "/cache/pelisto/listen-join-7.wav";
  const struct {
    int line;
    size_t from, to;  // frames of the whole file
  } joins[] = {{0, 0, 88200}, {1, 0, 90200}, {2, 122600 - 88200, 122600 + 88200}, {3, 212600 - 88200, 221600}};
  for (bool smooth : {false, true}) {
    const std::vector<uint8_t> whole = written(smooth);
    app.ctx.state.PLAYFLAG = 0;
    for (const auto& j : joins) {
      SCOPED_TRACE(j.line + 10 * smooth);
      app.ui.select(j.line);
      LISTENJOIN_ON(app.ctx);
      ASSERT_EQ(app.ctx.state.PLAYFLAG, kPlayWritten);
      EXPECT_TRUE(app.fs.locked(listen));  // this program's while it plays
      const std::vector<uint8_t> heard = app.fs.contents(listen);
      ASSERT_EQ(heard.size(), 44 + (j.to - j.from) * 4);
      EXPECT_EQ(getLe32(&heard[40]), (j.to - j.from) * 4);
      EXPECT_TRUE(std::equal(heard.begin() + 44, heard.end(), whole.begin() + long(j.from) * 4));
      j.line == 3 ? void(MAINFORM_QUERYCLOSE(app.ctx)) : MCI1_DONE(app.ctx);
      EXPECT_FALSE(app.fs.isFile(listen));
      app.ctx.state.PLAYFLAG = 0;
    }
  }
}

TEST_F(SmoothJoins, ListeningIsRefusedAsThePlayCommandsAreAndForALineTheWriterRefuses) {
  setList({{"/w/a.wav", 1000, 3000}, {"/w/gone.wav", 0, 100}, {"/w/a.wav", 0, 10}});
  addPending("/w/a.wav", 50, 0);
  const struct {
    int line;
    int16_t playflag;
    std::string message;
  } cases[] = {
      {-1, 0, kMsgSelectRange},
      {0, 1, kMsgPlaying},
      {1, 0, "2行目のwaveファイルが見つかりません\n/w/gone.wav"},
      {2, 0, "2行目のwaveファイルが見つかりません\n/w/gone.wav"},
      {3, 0, "2行目のwaveファイルが見つかりません\n/w/gone.wav"},
  };
  for (const auto& c : cases) {
    app.transcript.clear();
    app.ui.select(c.line);
    app.ctx.state.PLAYFLAG = c.playflag;
    LISTENJOIN_ON(app.ctx);
    EXPECT_EQ(app.lines(), std::vector<std::string>{"message: " + c.message}) << c.line;
    EXPECT_EQ(app.ctx.state.PLAYFLAG, c.playflag);
  }
  // Only what the frames heard depend on must pass: a pending line after them does not count.
  app.ctx.state.EDITFILE[1][kSourcePath] = "/w/a.wav";
  app.ctx.state.PLAYFLAG = 0;
  app.ui.select(1);
  LISTENJOIN_ON(app.ctx);
  EXPECT_EQ(app.ctx.state.PLAYFLAG, kPlayWritten);
  app.ui.select(3);
  app.ctx.state.PLAYFLAG = 0;
  app.transcript.clear();
  LISTENJOIN_ON(app.ctx);
  EXPECT_EQ(app.lines(), std::vector<std::string>{"message: 4行目は終了位置が決まっていません\n/w/a.wav"});
}

}  // namespace
}  // namespace pelisto::test
