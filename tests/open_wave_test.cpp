#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "model/messages.h"
#include "support/test_app.h"
#include "wave/convert_command.h"
#include "wave/open_wave.h"
#include "wave/wave_header.h"

namespace pelisto::test {
namespace {

using Bytes = std::vector<uint8_t>;

// A canonical file with one second of pattern data, then changed by edit.
Bytes goodFile() { return wavFile(patternData(kBytesPerSecond)); }

Bytes with(Bytes f, size_t at, const char* tag) {
  std::memcpy(&f[at], tag, 4);
  return f;
}
Bytes with16(Bytes f, size_t at, uint16_t v) {
  putLe16(&f[at], v);
  return f;
}
Bytes with32(Bytes f, size_t at, uint32_t v) {
  putLe32(&f[at], v);
  return f;
}
// A chunk of `size` bytes inserted at offset 36 (after a 16-byte fmt chunk)
// or the fmt chunk grown to 18 bytes.
Bytes listBeforeData() {
  Bytes f = goodFile();
  Bytes list = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
  f.insert(f.begin() + 36, list.begin(), list.end());
  return f;
}
Bytes fmt18() {
  Bytes f = with32(goodFile(), 16, 18);
  f.insert(f.begin() + 36, {0, 0});
  return f;
}
Bytes trailer() {
  Bytes f = goodFile();
  f.insert(f.end(), {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'});
  return f;
}

struct HeaderCase {
  const char* name;
  Bytes file;
  const char* message;  // nullptr: accepted
  bool asks = false;    // the sound library reads it: conversion is offered (answered No)
};

std::vector<HeaderCase> headerCases() {
  const Bytes good = goodFile();
  return {
      {"canonical", good, nullptr},
      {"lower-case riff", with(good, 0, "riff"), kMsgNotRiff},
      {"RIFX", with(good, 0, "RIFX"), kMsgNotRiff},
      {"not WAVE", with(good, 8, "AVI "), kMsgNotWave},
      {"fmt without blank", with(good, 12, "fmt\0"), kMsgBadFmt},
      {"float tag 3", with16(good, 20, 3), kMsgNotPcm},
      {"float, mono and 48 kHz: the first check wins",
       with32(with16(with16(good, 20, 3), 22, 1), 24, 48000), kMsgNotPcm},
      {"mono", with16(good, 22, 1), kMsgMono, true},
      {"mono at 48 kHz", with32(with16(good, 22, 1), 24, 48000), kMsgMono, true},
      {"48 kHz", with32(good, 24, 48000), kMsgNot44k, true},
      {"fmt chunk of 18 bytes", fmt18(), kMsgBadData, true},
      {"LIST before data", listBeforeData(), kMsgBadData, true},
      {"DATA in capitals", with(good, 36, "DATA"), kMsgBadData},
      {"chunk after data", trailer(), nullptr},
      {"8-bit stereo", with16(with16(good, 34, 8), 32, 2), nullptr},
      {"sizes that lie", with32(with32(good, 4, 7), 16, 99), nullptr},
  };
}

TEST(OpenWave, HeaderChecksInFileOrder) {
  for (const auto& c : headerCases()) {
    SCOPED_TRACE(c.name);
    TestApp app;
    app.started();
    app.fs.setContents("f.wav", c.file);
    app.ui.queueAnswer({ScriptedAnswer::kOpen, "f.wav"});
    if (c.asks) app.ui.queueAnswer({ScriptedAnswer::kNo, ""});
    OPENWAVEFILE_ON(app.ctx);
    const AppState& s = app.ctx.state;
    EXPECT_EQ(s.WAVEFILENAME, "f.wav");
    if (c.message) {
      // One box: the refusal, or the offer to convert that carries it.
      const std::string box = c.asks ? "question: " + askConvertText(c.message) : std::string("message: ") + c.message;
      EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: open waveファイルを開く", box}));
      EXPECT_EQ(s.WAVEFNUM, 0);
      EXPECT_EQ(app.ctx.files.freeFile(), 1);  // the file was closed
      EXPECT_FALSE(waveFileOpen(app.ctx));
      EXPECT_EQ(s.DATASIZE, 0);
      EXPECT_EQ(app.ui.text(Control::EDIT1), "");
    } else {
      EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: open waveファイルを開く"}));
      EXPECT_EQ(s.WAVEFNUM, 1);
      EXPECT_TRUE(waveFileOpen(app.ctx));
      EXPECT_EQ(s.DATASIZE, kBytesPerSecond);
      EXPECT_EQ(s.WAVEFMT.SAMPLERATE, 44100);
      EXPECT_EQ(app.ctx.files.tell(1), 44u + kBytesPerSecond);  // second 0 was read and drawn
      EXPECT_EQ(app.ui.text(Control::EDIT1), "0 分 1秒");
    }
  }
}

// Each refusal carries the code of its check beside the text (the
// conversion offer asks on the code), and a read error is no check's.
TEST(OpenWave, EveryRefusedHeaderNamesItsCheck) {
  const std::map<std::string, HeaderFault> codes = {
      {kMsgNotRiff, HeaderFault::kNotRiff}, {kMsgNotWave, HeaderFault::kNotWave},
      {kMsgBadFmt, HeaderFault::kBadFmt},   {kMsgNotPcm, HeaderFault::kNotPcm},
      {kMsgMono, HeaderFault::kMono},       {kMsgNot44k, HeaderFault::kNot44k},
      {kMsgBadData, HeaderFault::kBadData}};
  MemFileSystem fs;
  for (const auto& c : headerCases()) {
    SCOPED_TRACE(c.name);
    fs.setContents("f.wav", c.file);
    EXPECT_EQ(checkWaveHeader(*fs.open("f.wav", OpenMode::kRead).value()).fault,
              c.message ? codes.at(c.message) : HeaderFault::kNone);
  }
  fs.failReadsOf("f.wav");
  EXPECT_EQ(checkWaveHeader(*fs.open("f.wav", OpenMode::kRead).value()).fault, HeaderFault::kUnreadable);
}

// A file that ends inside the header fails with the check being read.
TEST(OpenWave, TruncatedHeadersAreRejectedCleanlyAtEveryOffset) {
  const Bytes good = goodFile();
  for (size_t n = 0; n < 44; ++n) {
    SCOPED_TRACE(n);
    const char* expected = n < 4    ? kMsgNotRiff
                           : n < 12 ? kMsgNotWave
                           : n < 16 ? kMsgBadFmt
                           : n < 36 ? kMsgNotPcm
                                    : kMsgBadData;
    TestApp app;
    app.started();
    app.fs.setContents("cut.wav", Bytes(good.begin(), good.begin() + n));
    app.openWave("cut.wav");
    ASSERT_EQ(app.lines().size(), 2u);
    EXPECT_EQ(app.lines()[1], std::string("message: ") + expected);
    EXPECT_EQ(app.ctx.state.WAVEFNUM, 0);
    EXPECT_FALSE(app.ctx.files.isOpen(1));
    EXPECT_EQ(app.ctx.state.DATASIZE, 0);
  }
  TestApp app;  // exactly the header: an empty but valid file
  app.started();
  app.fs.setContents("empty.wav", wavFile({}));
  app.openWave("empty.wav");
  EXPECT_EQ(app.lines().size(), 1u);
  EXPECT_EQ(app.ui.text(Control::EDIT1), "0 分 0秒");
}

TEST(OpenWave, LengthRoundsHalvesToEvenAndScrollRangeAwayFromZero) {
  struct Case {
    int32_t dataSize;
    int scrollMax;
    const char* edit1;
  } cases[] = {
      {441000, 3, "0 分 2秒"},      // 2.5 s
      {10830000, 61, "1 分 1秒"},   // 61.39 s
      {617400, 4, "0 分 4秒"},      // 3.5 s
      {793800, 5, "0 分 4秒"},      // 4.5 s
      {88199, 0, "0 分 0秒"},       // just under half a second
      {36162000, 205, "3 分 25秒"},  // 205 s
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dataSize);
    TestApp app;
    app.started();
    app.fs.setContents("f.wav", wavFile(std::vector<uint8_t>(c.dataSize)));
    app.openWave("f.wav");
    EXPECT_EQ(app.ctx.state.DATASIZE, c.dataSize);
    EXPECT_EQ(app.ui.scrollMin(), 0);
    EXPECT_EQ(app.ui.scrollMax(), c.scrollMax);
    EXPECT_EQ(app.ui.text(Control::EDIT1), c.edit1);
  }
}

TEST(OpenWave, ARejectedFileLeavesNoFileOpenNorShown) {
  TestApp app;
  app.started();
  app.fs.setContents("good.wav", wavFile(patternData(441000)));
  app.fs.setContents("mono.wav", with16(goodFile(), 22, 1));
  app.openWave("good.wav");
  app.ui.setScrollPos(2);
  app.openWave("mono.wav");
  const AppState& s = app.ctx.state;
  EXPECT_EQ(s.WAVEFILENAME, "mono.wav");
  EXPECT_EQ(s.WAVEFNUM, 0);
  EXPECT_EQ(s.WAVEFMT.CHANNELS, 1);  // the format block of the rejected file was read
  EXPECT_EQ(s.DATASIZE, 441000);
  EXPECT_EQ(app.ui.text(Control::EDIT1), "");
  EXPECT_EQ(app.ui.text(Control::EDIT2), "");
  EXPECT_EQ(app.ui.scrollMax(), 0);
  EXPECT_EQ(app.picture(), TestApp().started().picture());
  EXPECT_FALSE(app.ctx.files.isOpen(1));
  EXPECT_FALSE(waveFileOpen(app.ctx));
}

// Files of other formats are converted when opened, so the dialog shows
// them: wave files first, then every sound file the library reads, then all.
TEST(OpenWave, TheDialogOffersWaveFilesThenSoundFilesThenAll) {
  TestApp app;
  app.started();
  app.ui.queueAnswer({ScriptedAnswer::kCancel, ""});
  OPENWAVEFILE_ON(app.ctx);
  const std::vector<std::string>& filters = app.ui.lastDialogFilters();
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[0], "waveファイル(*.wav)");
  EXPECT_TRUE(filters[1].starts_with("音声ファイル(*.") && filters[1].ends_with(")")) << filters[1];
  for (const char* kind : {"*.flac ", "*.ogg ", "*.mp3 ", "*.aiff ", "*.wav"}) {
    EXPECT_NE(filters[1].find(kind), std::string::npos) << kind;
  }
  EXPECT_EQ(filters[1].find("*.raw"), std::string::npos) << "sound with no header is not recognised";
  EXPECT_EQ(filters[2], "すべてのファイル(*)");
}

TEST(OpenWave, OnlyOneWaveFileIsOpenAtATime) {
  TestApp app;
  app.started();
  app.fs.setContents("a.wav", goodFile());
  app.fs.setContents("b.wav", wavFile(patternData(8)));
  app.openWave("a.wav");
  app.openWave("b.wav");
  EXPECT_EQ(app.ctx.state.WAVEFNUM, 1);
  EXPECT_EQ(app.ctx.files.path(1), "b.wav");
  EXPECT_EQ(app.ctx.files.freeFile(), 2);
  EXPECT_EQ(app.ctx.state.DATASIZE, 8);
}

TEST(OpenWave, RefusedWhilePlayingAndCancelChangesNothing) {
  TestApp app;
  app.started();
  app.ctx.state.PLAYFLAG = 2;
  OPENWAVEFILE_ON(app.ctx);  // no dialog, so no answer is taken
  EXPECT_EQ(app.lines(), (std::vector<std::string>{std::string("message: ") + kMsgPlaying}));
  app.ctx.state.PLAYFLAG = 0;
  app.transcript.clear();
  app.ui.queueAnswer({ScriptedAnswer::kCancel, ""});
  OPENWAVEFILE_ON(app.ctx);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: open waveファイルを開く"}));
  EXPECT_EQ(app.ctx.state.WAVEFILENAME, "");
  EXPECT_EQ(app.ctx.state.WAVEFNUM, 0);
  EXPECT_FALSE(app.transcript.faulted());
}

TEST(OpenWave, FilesThatCannotBeOpenedOrReadAreRejected) {
  TestApp app;
  app.started();
  app.fs.setContents("x", {});
  for (int16_t n = 1; n <= 255; ++n) ASSERT_TRUE(app.ctx.files.open(n, "x", OpenMode::kRead));
  app.fs.setContents("a.wav", goodFile());
  app.openWave("a.wav");
  ASSERT_EQ(app.lines().size(), 2u);
  EXPECT_EQ(app.lines()[1].rfind(std::string("message: ") + kMsgCannotOpenWave, 0), 0u);
  EXPECT_EQ(app.ctx.state.WAVEFNUM, 0);

  TestApp other;
  other.started();
  other.fs.setContents("bad.wav", goodFile());
  other.fs.failReadsOf("bad.wav");
  other.openWave("bad.wav");
  // A read error is not a format fault: the file could not be read.
  EXPECT_EQ(other.lines().back(),
            std::string("message: ") + kMsgCannotReadWave + "\nbad.wav\n入出力エラーが発生しました");
  EXPECT_EQ(other.ctx.state.WAVEFNUM, 0);
  EXPECT_FALSE(other.ctx.files.isOpen(1));
}

// After another file is opened, the view is at second 0 in every respect,
// and a mark falls where the picture shows it.
TEST(OpenWave, ASecondOpenPutsTheViewAtSecondZero) {
  TestApp app;
  app.started();
  app.fs.setContents("a.wav", wavFile(patternData(5 * kBytesPerSecond)));
  app.fs.setContents("b.wav", wavFile(patternData(441000)));
  app.openWave("a.wav");
  app.ui.setScrollPos(3);
  HSCROLL1_CHANGE(app.ctx);
  app.openWave("b.wav");
  EXPECT_EQ(app.ui.scrollPos(), 0);
  EXPECT_EQ(app.ui.text(Control::EDIT2), "0 分 0 秒目");
  BUTTON3_ON(app.ctx);
  PICTURE1_MOUSEDOWN(app.ctx, 1, 300, 40);
  EXPECT_EQ(app.ctx.state.EDITDATA[0][2], 500);
}

}  // namespace
}  // namespace pelisto::test
