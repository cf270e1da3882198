// The media device on its own, over the simulated output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "headless/mem_file_system.h"
#include "headless/simulated_output.h"
#include "platform/coding.h"
#include "system/mci/mci_interpreter.h"
#include "support/test_app.h"

namespace pelisto::test {
namespace {

// Three seconds of 16-bit stereo 44.1 kHz sound whose frames never read
// as silence.
std::vector<uint8_t> threeSeconds() { return wavFile(patternData(3 * kBytesPerSecond, 7, 3)); }

struct Device {
  MemFileSystem fs;
  SimulatedOutput out;
  std::vector<MciNotify> notes;
  MciInterpreter mci{fs, out, [this](MciNotify n) { notes.push_back(n); }};

  Device() {
    fs.addDirectory("/w");
    fs.setContents("/w/a.wav", threeSeconds());
  }
  MciResult send(const std::string& c) { return mci.send(c); }
  std::string position() { return send("STATUS W POSITION").reply; }
  void openW(const std::string& path = "/w/a.wav") {
    ASSERT_EQ(send("OPEN " + path + " TYPE WAVEAUDIO ALIAS W").code, 0);
  }
};

TEST(MciInterpreter, AcceptsEveryCommandInAnyCase) {
  Device d;
  for (const char* c : {"open /w/a.wav type waveaudio alias w", "Set W TimeFormat Milliseconds",
                        "SET w TIME FORMAT MS", "play w from 0 to 10 notify", "STATUS w position",
                        "status W LENGTH", "Stop w", "PLAY W", "close W"}) {
    MciResult r = d.send(c);
    EXPECT_EQ(r.code, 0) << c << ": " << r.error;
  }
  EXPECT_EQ(d.send("STATUS W POSITION").code, kMciUnknownAlias);  // closed
}

TEST(MciInterpreter, ReportsEveryErrorWithItsReason) {
  struct Case {
    const char* command;
    int code;
    const char* error;
  };
  const Case cases[] = {
      {"", kMciUnknownCommand, "コマンドがありません"},
      {"PAUSE W", kMciUnknownCommand, "不明なコマンドです: PAUSE"},
      {"STOP NOSUCH", kMciUnknownAlias, "エイリアスが開かれていません: NOSUCH"},
      {"PLAY", kMciMissingParameter, "エイリアスがありません"},
      {"OPEN", kMciMissingParameter, "ファイル名がありません"},
      {"OPEN /w/a.wav ALIAS X", kMciMissingParameter, "TYPEの指定がありません"},
      {"OPEN /w/a.wav TYPE WAVEAUDIO", kMciMissingParameter, "ALIASの指定がありません"},
      {"OPEN /w/a.wav TYPE SEQUENCER ALIAS X", kMciUnsupportedType, "扱えないデバイスの種類です: SEQUENCER"},
      {"OPEN /w/a.wav TYPE WAVEAUDIO ALIAS W", kMciAliasInUse, "エイリアスは既に使われています: W"},
      {"OPEN /w/none.wav TYPE WAVEAUDIO ALIAS X", kMciFileNotFound, "ファイルが見つかりません: /w/none.wav"},
      {"OPEN /w/text.wav TYPE WAVEAUDIO ALIAS X", kMciNotPlayable, "再生できないファイルです: RIFF WAVE形式ではありません"},
      {"SET W TIMEFORMAT SAMPLES", kMciUnsupportedFormat, "扱えない時間形式です: SAMPLES"},
      {"SET W", kMciMissingParameter, "設定する項目がありません"},
      {"PLAY W FROM", kMciMissingParameter, "FROMの値がありません"},
      {"PLAY W FROM -5", kMciBadNumber, "数値が正しくありません: -5"},
      {"PLAY W TO 1.5", kMciBadNumber, "数値が正しくありません: 1.5"},
      {"PLAY W FROM 0 REVERSE", kMciBadParameter, "認識できないパラメータです: REVERSE"},
      {"PLAY W FROM 3001", kMciOutOfRange, "開始位置がファイルの外です: 3001"},
      {"PLAY W FROM 0 TO 3001", kMciOutOfRange, "終了位置がファイルの外です: 3001"},
      {"PLAY W FROM 1500 TO 0 NOTIFY", kMciOutOfRange, "終了位置が開始位置より前です"},
      {"STATUS W VOLUME", kMciBadParameter, "認識できないパラメータです: VOLUME"},
      {"STOP W NOW", kMciBadParameter, "認識できないパラメータです: NOW"},
  };
  Device d;
  d.fs.setContents("/w/text.wav", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'});
  d.openW();
  for (const Case& c : cases) {
    MciResult r = d.send(c.command);
    EXPECT_EQ(r.code, c.code) << c.command;
    EXPECT_EQ(r.error, c.error) << c.command;
  }
  EXPECT_TRUE(d.notes.empty());  // refused plays notify nothing
  EXPECT_EQ(d.position(), "0");
}

TEST(MciInterpreter, PathIsEverythingUpToTheLastType) {
  Device d;
  d.fs.addDirectory("/w/My Music");
  d.fs.setContents("/w/My Music/a TYPE b.wav", threeSeconds());
  d.openW("/w/My Music/a TYPE b.wav");
  EXPECT_EQ(d.send("STATUS W LENGTH").reply, "3000");
  // Unquoted: quotation marks would be part of the name.
  EXPECT_EQ(d.send("OPEN \"/w/a.wav\" TYPE WAVEAUDIO ALIAS Q").code, kMciFileNotFound);
}

TEST(MciInterpreter, PositionFollowsTheClockAndStaysWhereStopped) {
  Device d;
  d.openW();
  EXPECT_EQ(d.position(), "0");
  ASSERT_EQ(d.send("PLAY W FROM 1000").code, 0);
  d.out.advanceTo(250);
  EXPECT_EQ(d.position(), "1250");
  EXPECT_EQ(d.send("STATUS W MODE").reply, "playing");
  ASSERT_EQ(d.send("STOP W").code, 0);
  d.out.advanceTo(900);
  EXPECT_EQ(d.position(), "1250");
  EXPECT_EQ(d.send("STATUS W MODE").reply, "stopped");
  ASSERT_EQ(d.send("PLAY W").code, 0);  // resumes where it stopped
  d.out.advanceTo(1000);
  EXPECT_EQ(d.position(), "1350");
  d.out.advanceTo(10000);
  EXPECT_EQ(d.position(), "3000");
  EXPECT_EQ(d.send("STATUS W MODE").reply, "stopped");
}

TEST(MciInterpreter, NotifyCodes) {
  Device d;
  d.openW();
  // Ends by itself: successful, when the range has been consumed and not before.
  d.send("PLAY W FROM 1000 TO 1500 NOTIFY");
  d.out.advanceTo(499);
  EXPECT_TRUE(d.notes.empty());
  d.out.advanceTo(500);
  EXPECT_EQ(d.notes, std::vector<MciNotify>{MciNotify::kSuccessful});
  d.send("STOP W");  // after the end: nothing more
  EXPECT_EQ(d.notes.size(), 1u);

  // STOP and CLOSE abort, queued during the command itself.
  d.notes.clear();
  d.send("PLAY W FROM 0 NOTIFY");
  d.send("STOP W");
  EXPECT_EQ(d.notes, std::vector<MciNotify>{MciNotify::kAborted});
  d.send("PLAY W FROM 0 NOTIFY");
  d.send("CLOSE W");
  EXPECT_EQ(d.notes, (std::vector<MciNotify>{MciNotify::kAborted, MciNotify::kAborted}));
  d.out.advanceTo(100000);
  EXPECT_EQ(d.notes.size(), 2u);

  // A new play supersedes the old one; a play without NOTIFY says nothing.
  d.notes.clear();
  d.openW();
  d.send("PLAY W FROM 0 NOTIFY");
  d.send("PLAY W FROM 2000 TO 2100");
  EXPECT_EQ(d.notes, std::vector<MciNotify>{MciNotify::kSuperseded});
  d.out.advanceTo(d.out.now() + 200);
  EXPECT_EQ(d.notes.size(), 1u);
  EXPECT_EQ(d.position(), "2100");

  // An empty range ends at once.
  d.notes.clear();
  d.send("PLAY W FROM 700 TO 700 NOTIFY");
  EXPECT_EQ(d.notes, std::vector<MciNotify>{MciNotify::kSuccessful});
}

// A play whose file gives out before the range's end fails, and the
// position is what was played: the file cut short 200 ms into the play
// (also inside a frame), or unreadable from the start.
TEST(MciInterpreter, PlayCutShortFailsAtWhatWasPlayed) {
  struct Case {
    size_t keepBytes;  // SIZE_MAX: reads fail instead
    const char* position;
    size_t playedFrames;
  };
  const Case cases[] = {{kHeaderSize + 44100 * 4, "1000", 22050},
                        {kHeaderSize + 66150 * 4 + 3, "1500", 44100},
                        {SIZE_MAX, "500", 0}};
  for (const Case& c : cases) {
    Device d;
    std::vector<int16_t> played;
    d.out.setCapture(&played);
    d.openW();
    d.send("PLAY W FROM 500 TO 2500 NOTIFY");
    if (c.keepBytes == SIZE_MAX) {
      d.fs.failReadsOf("/w/a.wav");
    } else {
      d.out.advanceTo(200);
      const std::vector<uint8_t> whole = d.fs.contents("/w/a.wav");
      auto f = d.fs.open("/w/a.wav", OpenMode::kCreate);  // truncates in place
      ASSERT_TRUE(f && (*f)->write(0, whole.data(), c.keepBytes).isOk());
    }
    d.out.advanceTo(5000);
    EXPECT_EQ(d.notes, std::vector<MciNotify>{MciNotify::kFailure}) << c.position;
    EXPECT_EQ(d.position(), c.position);
    EXPECT_EQ(played.size(), 2 * c.playedFrames) << c.position;
    EXPECT_EQ(d.send("STATUS W MODE").reply, "stopped");
  }
}

TEST(MciInterpreter, OutputIsHeldWhileAnAliasIsOpen) {
  Device d;
  EXPECT_FALSE(d.out.prepared());
  d.openW();
  ASSERT_EQ(d.send("OPEN /w/a.wav TYPE WAVEAUDIO ALIAS V").code, 0);
  d.send("CLOSE W");
  EXPECT_TRUE(d.out.prepared());
  d.send("CLOSE V");
  EXPECT_FALSE(d.out.prepared());
}

TEST(MciInterpreter, NoOutputRefusesTheOpen) {
  Device d;
  d.out.failPrepare("no device");
  MciResult r = d.send("OPEN /w/a.wav TYPE WAVEAUDIO ALIAS W");
  EXPECT_EQ(r.code, kMciNoOutput);
  EXPECT_EQ(r.error, "サウンド出力を開けません: no device");
}

TEST(MciInterpreter, PlaysTheExactFramesOfARange) {
  Device d;
  std::vector<int16_t> played;
  d.out.setCapture(&played);
  d.openW();
  d.send("PLAY W FROM 1500 TO 3250 NOTIFY");  // past the end: refused
  d.send("PLAY W FROM 1500 TO 2750 NOTIFY");
  d.out.advanceTo(5000);
  ASSERT_EQ(d.notes.size(), 1u);
  const std::vector<uint8_t> file = threeSeconds();
  const size_t first = kHeaderSize + size_t(66150) * 4, end = kHeaderSize + size_t(121275) * 4;
  ASSERT_EQ(played.size() * 2, end - first);
  EXPECT_EQ(0, std::memcmp(played.data(), file.data() + first, end - first));
}

// Files of other layouts play at the right speed and convert to 16-bit stereo.
TEST(MciInterpreter, ConvertsOtherLayouts) {
  struct Case {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    std::vector<uint8_t> frame;  // one frame, repeated for one second
    int16_t left, right;
  };
  const Case cases[] = {
      {1, 48000, 8, {0x81}, 256, 256},
      {1, 22050, 16, {0x34, 0x12}, 0x1234, 0x1234},
      {2, 8000, 8, {0x00, 0xff}, -32768, 32512},
      {2, 96000, 24, {0x00, 0x10, 0x20, 0x00, 0x30, 0xc0}, 0x2010, int16_t(0xc030)},
  };
  for (const Case& c : cases) {
    Device d;
    std::vector<uint8_t> data;
    for (uint32_t i = 0; i < c.rate; ++i) data.insert(data.end(), c.frame.begin(), c.frame.end());
    std::vector<uint8_t> file = riff::canonicalHeader(uint32_t(data.size()), c.channels, c.rate, c.bits);
    file.insert(file.end(), data.begin(), data.end());
    d.fs.setContents("/w/b.wav", file);
    std::vector<int16_t> played;
    d.out.setCapture(&played);
    d.openW("/w/b.wav");
    EXPECT_EQ(d.send("STATUS W LENGTH").reply, "1000") << c.rate;
    d.send("PLAY W FROM 0 NOTIFY");
    d.out.advanceTo(999);
    EXPECT_TRUE(d.notes.empty()) << c.rate;
    d.out.advanceTo(1000);
    EXPECT_EQ(d.notes.size(), 1u) << c.rate;
    ASSERT_EQ(played.size(), 2u * 44100) << c.rate;
    EXPECT_EQ(played[0], c.left) << c.rate;
    EXPECT_EQ(played[1], c.right) << c.rate;
    EXPECT_EQ(played[88198], c.left) << c.rate;
    EXPECT_EQ(played[88199], c.right) << c.rate;
  }
}

TEST(MciInterpreter, ResamplingInterpolatesBetweenFrames) {
  Device d;
  // 22050 Hz mono ramp: every output frame between two source frames is
  // their mean.
  std::vector<uint8_t> data;
  for (int i = 0; i < 22050; ++i) {
    const uint16_t v = uint16_t(i * 2);
    data.push_back(uint8_t(v));
    data.push_back(uint8_t(v >> 8));
  }
  std::vector<uint8_t> file = riff::canonicalHeader(uint32_t(data.size()), 1, 22050, 16);
  file.insert(file.end(), data.begin(), data.end());
  d.fs.setContents("/w/r.wav", file);
  std::vector<int16_t> played;
  d.out.setCapture(&played);
  d.openW("/w/r.wav");
  d.send("PLAY W FROM 0 TO 10");
  d.out.advanceTo(100);
  ASSERT_EQ(played.size(), 2u * 440);  // 220 source frames (10 ms, rounded down)
  for (int j : {0, 1, 2, 3, 438}) EXPECT_EQ(played[2 * j], j) << j;
  EXPECT_EQ(played[2 * 439], 438);  // nothing to lean towards past the range's end
}

TEST(MciInterpreter, FindsChunksAnywhere) {
  // RIFF, a LIST chunk of odd size (padded), an extensible fmt, a fact
  // chunk, then data cut short by the end of the file.
  std::vector<uint8_t> f = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  auto chunk = [&](const char* id, std::vector<uint8_t> body, uint32_t size) {
    f.insert(f.end(), id, id + 4);
    uint8_t s[4];
    putLe32(s, size);
    f.insert(f.end(), s, s + 4);
    f.insert(f.end(), body.begin(), body.end());
  };
  chunk("LIST", {1, 2, 3, 0}, 3);  // 3 bytes and a pad byte
  std::vector<uint8_t> fmt(40, 0);
  std::vector<uint8_t> h = riff::canonicalHeader(0, 2, 44100, 16, 0xFFFE);
  std::copy(h.begin() + 20, h.begin() + 36, fmt.begin());
  fmt[16] = 22;  // extension size
  fmt[24] = 1;   // sub-format: PCM
  chunk("fmt ", fmt, 40);
  chunk("fact", {0, 0, 0, 0}, 4);
  chunk("data", patternData(44100 * 4), 10 * 44100 * 4);
  Device d;
  d.fs.setContents("/w/c.wav", f);
  d.openW("/w/c.wav");
  EXPECT_EQ(d.send("STATUS W LENGTH").reply, "1000");

  // A coding the WAV reader leaves alone plays through the sound library
  // (here a tenth of a second of floats); one neither reads is refused
  // with the WAV reader's reason.
  std::vector<uint8_t> floats = riff::canonicalHeader(4410 * 8, 2, 44100, 32, 3);
  floats.resize(floats.size() + 4410 * 8);
  d.fs.setContents("/w/f.wav", floats);
  EXPECT_EQ(d.send("OPEN /w/f.wav TYPE WAVEAUDIO ALIAS F").code, 0);
  EXPECT_EQ(d.send("STATUS F LENGTH").reply, "100");
  std::vector<uint8_t> odd = riff::canonicalHeader(4, 2, 44100, 16, 0x1234);
  odd.resize(48);
  d.fs.setContents("/w/d.wav", odd);
  MciResult r = d.send("OPEN /w/d.wav TYPE WAVEAUDIO ALIAS X");
  EXPECT_EQ(r.code, kMciNotPlayable);
  EXPECT_EQ(r.error, "再生できないファイルです: PCM以外の形式です");
  std::vector<uint8_t> noData = riff::canonicalHeader(0);
  noData.resize(36);
  d.fs.setContents("/w/e.wav", noData);
  EXPECT_EQ(d.send("OPEN /w/e.wav TYPE WAVEAUDIO ALIAS X").error, "再生できないファイルです: dataチャンクがありません");
}

// Another type plays through the sound library: the frames of a FLAC file
// exactly, from the middle as well; its completion comes as a WAV's does.
TEST(MciInterpreter, PlaysOtherTypesThroughTheSoundLibrary) {
  Device d;
  std::vector<int16_t> frames(2 * 44100);
  for (size_t i = 0; i < frames.size(); ++i) frames[i] = int16_t(i * 7 % 20000 - 10000);
  {
    auto file = d.fs.open("/w/s.flac", OpenMode::kCreate);
    ASSERT_TRUE(file.isOk());
    auto encoder = newSndfileEncoder(*file.value(), EncoderSpec{EncodedType::kFlac, 44100, 2, "s", ""});
    ASSERT_TRUE(encoder.isOk());
    ASSERT_TRUE(encoder.value()->writeShort(frames.data(), 44100).isOk() && encoder.value()->finish().isOk());
  }
  d.openW("/w/s.flac");
  EXPECT_EQ(d.send("STATUS W LENGTH").reply, "1000");
  std::vector<int16_t> played;
  d.out.setCapture(&played);
  EXPECT_EQ(d.send("PLAY W FROM 500 NOTIFY").code, 0);
  d.out.advanceTo(2000);
  EXPECT_EQ(played, std::vector<int16_t>(frames.begin() + 2 * 22050, frames.end()));
  EXPECT_EQ(d.notes, std::vector<MciNotify>{MciNotify::kSuccessful});
}

}  // namespace
}  // namespace pelisto::test
