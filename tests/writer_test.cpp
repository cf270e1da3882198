#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "model/messages.h"
#include "support/writer_fixture.h"
#include "wave/write_plan.h"

namespace pelisto::test {
namespace {

const std::string kSaveDialog = "dialog: save Waveファイルの作成";

std::vector<std::string> playLines(const std::string& path) {
  return {"mci: OPEN " + path + " TYPE WAVEAUDIO ALIAS WAVEOBJ",
          "mci: SET WAVEOBJ TIMEFORMAT MILLISECONDS", "mci: PLAY WAVEOBJ NOTIFY"};
}

class Writer : public WriterFixture {
 public:
  void SetUp() override {
    WriterFixture::SetUp();
    a = addSource("/w/a.wav", patternData(40000));
    app.openWave("/w/a.wav");
    ASSERT_TRUE(waveFileOpen(app.ctx));
  }
  std::vector<uint8_t> a;  // data of the open file, 10000 frames
};

TEST_F(Writer, EmptyListGivesTheBareHeaderAndPlaysIt) {
  const AppState before = app.ctx.state;
  write("/w/out.wav");
  std::vector<uint8_t> out = app.fs.contents("/w/out.wav");
  ASSERT_EQ(out.size(), 44u);
  EXPECT_EQ(getLe32(&out[4]), 36u);
  EXPECT_EQ(getLe32(&out[40]), 0u);
  std::vector<std::string> expected{kSaveDialog};
  for (auto& l : playLines("/w/out.wav")) expected.push_back(l);
  EXPECT_EQ(app.lines(), expected);
  EXPECT_EQ(app.ctx.state.PLAYFLAG, 2);
  EXPECT_TRUE(waveFileOpen(app.ctx));
  EXPECT_EQ(app.ctx.state.DATASIZE, before.DATASIZE);
  EXPECT_EQ(app.ctx.state.WAVEFMT.BYTERATE, before.WAVEFMT.BYTERATE);
}

TEST_F(Writer, EveryHeaderByteButTheSizesComesFromTheOpenFile) {
  // An open file with unusual (unchecked) fields and a stale data size.
  std::vector<uint8_t> odd = riff::canonicalHeader(12345, 2, 44100, 8);
  putLe32(&odd[28], 0xA1B2C3D4);
  putLe32(&odd[16], 16);
  odd.resize(44 + 800, 0x55);
  app.fs.setContents("/w/odd.wav", odd);
  app.openWave("/w/odd.wav");
  addRange("/w/odd.wav", 0, 100);
  write("/w/out.wav");
  std::vector<uint8_t> out = app.fs.contents("/w/out.wav");
  ASSERT_EQ(out.size(), 44u + 400u);
  for (int i = 0; i < 44; ++i) {
    if ((i >= 4 && i < 8) || (i >= 40 && i < 44)) continue;
    EXPECT_EQ(out[i], odd[i]) << "byte " << i;
  }
  EXPECT_EQ(getLe32(&out[4]), 444u - 8u);
  EXPECT_EQ(getLe32(&out[40]), 400u);
}

TEST_F(Writer, LoopCountsRepeatTheRangeAndBelowOneWriteItOnce) {
  const std::vector<uint8_t> range = slice(a, 4 * 250, 400);  // frames 250..350
  struct Case {
    int32_t loops;
    int times;
  } cases[] = {{3, 3}, {1, 1}, {0, 1}, {-1, 1}, {INT32_MIN, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loops);
    app.ctx.list.clearLines();
    app.ctx.state.EDITCOUNT = 0;
    app.ctx.state.PLAYFLAG = 0;
    addRange("/w/a.wav", 250, 350, c.loops);
    write("/w/out.wav");
    EXPECT_EQ(payload("/w/out.wav"), repeat(range, c.times));
  }
}

TEST_F(Writer, BlanksAreZeroBytes) {
  addBlank(66150);  // 1.5 s
  addRange("/w/a.wav", 0, 10);
  addBlank(0);
  app.ctx.state.EDITDATA[0][4] = 3;  // a blank is written once whatever its loop count
  write("/w/out.wav");
  EXPECT_EQ(payload("/w/out.wav"), join(std::vector<uint8_t>(264600, 0), slice(a, 0, 40)));
}

TEST_F(Writer, VoicelessRangesAreWrittenInWholeBlocks) {
  struct Case {
    int32_t start, end;
    size_t bytes;  // payload length
  } cases[] = {
      {100, 1100, 3528},    // 4000 bytes: two blocks, 472 dropped
      {100, 1400, 5292},    // 5200 bytes: the 1672-byte rest reads one block past the end
      {0, 220, 0},          // 880 bytes: below half a block, nothing
      {0, 221, 1764},       // 884 bytes: one block
      {8700, 10000, 5292},  // the last block passes the end of the file: zeros
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    app.ctx.list.clearLines();
    app.ctx.state.EDITCOUNT = 0;
    app.ctx.state.PLAYFLAG = 0;
    addRange("/w/a.wav", c.start, c.end, 1, 1);
    write("/w/out.wav");
    EXPECT_EQ(payload("/w/out.wav"), voiceless(slice(a, 4 * c.start, c.bytes)));
  }
}

TEST_F(Writer, FlagsOtherThanZeroAndOneWriteNothing) {
  addRange("/w/a.wav", 0, 10, 1, 2);
  addRange("/w/a.wav", 10, 20, 3, -1);
  addRange("/w/a.wav", 20, 21);
  write("/w/out.wav");
  EXPECT_EQ(payload("/w/out.wav"), slice(a, 80, 4));
}

TEST_F(Writer, TheExtensionRuleKeepsAnyCaseOfWavAndAppendsUpperCase) {
  const std::pair<std::string, std::string> cases[] = {
      {"/w/o1", "/w/o1.WAV"},          {"/w/o2.wav", "/w/o2.wav"},
      {"/w/o3.Wav", "/w/o3.Wav"},      {"/w/o4.WAV", "/w/o4.WAV"},
      {"/w/o5.wave", "/w/o5.wave.WAV"}, {"/w/o6.aiff", "/w/o6.aiff.WAV"},
  };
  for (const auto& [chosen, used] : cases) {
    app.ctx.state.PLAYFLAG = 0;
    write(chosen);
    EXPECT_TRUE(app.fs.isFile(used)) << chosen;
    EXPECT_EQ(app.lines().at(1), playLines(used)[0]);
  }
  EXPECT_FALSE(app.fs.isFile("/w/o1"));
}

TEST_F(Writer, RangesOfTwoOtherFilesAreJoinedUnderTheOpenFilesHeader) {
  std::vector<uint8_t> b = addSource("/w/b.wav", patternData(8000, 13, 1));
  std::vector<uint8_t> c = addSource("/w/c.wav", patternData(8000, 5, 9));
  std::vector<uint8_t> h = riff::canonicalHeader(0);  // an open file with a header of its own
  putLe32(&h[28], 99);
  app.fs.setContents("/w/h.wav", h);
  app.openWave("/w/h.wav");
  addRange("/w/b.wav", 10, 60);
  addRange("/w/c.wav", 0, 2000, 2);
  write("/w/out.wav");
  std::vector<uint8_t> out = app.fs.contents("/w/out.wav");
  ASSERT_GE(out.size(), 44u);
  EXPECT_EQ(getLe32(&out[28]), 99u);
  EXPECT_EQ(payload("/w/out.wav"), join(slice(b, 40, 200), repeat(c, 2)));
}

TEST_F(Writer, OneOfTwoEntriesMarkedVoicelessTransformsOnlyItsRange) {
  addRange("/w/a.wav", 0, 441);
  addRange("/w/a.wav", 441, 882, 1, 1);
  write("/w/out.wav");
  EXPECT_EQ(payload("/w/out.wav"), join(slice(a, 0, 1764), voiceless(slice(a, 1764, 1764))));
}

TEST_F(Writer, ReplacingAFileLeavesNoTemporaryFile) {
  app.fs.setContents("/w/out.WAV", {1, 2, 3});
  addRange("/w/a.wav", 0, 5);
  write("/w/out");
  EXPECT_EQ(payload("/w/out.WAV"), slice(a, 0, 20));
  EXPECT_EQ(app.fs.files(), (std::vector<std::string>{"/w/a.wav", "/w/out.WAV"}));
}

// A source whose sound is followed by a tag chunk: the tag's bytes are
// never written as sound, not even by the last voiceless block.
std::vector<uint8_t> withTag(std::vector<uint8_t> file) {
  const std::vector<uint8_t> tag = {'i', 'd', '3', ' ', 200, 0, 0, 0};
  file.insert(file.end(), tag.begin(), tag.end());
  file.resize(file.size() + 200, 0xAA);
  return file;
}

TEST_F(Writer, TheLastVoicelessBlockReadsZerosPastTheSound) {
  const std::vector<uint8_t> t = patternData(2700);  // 1764 + 936: two blocks
  app.fs.setContents("/w/t.wav", withTag(wavFile(t)));
  addRange("/w/t.wav", 0, 675, 1, 1);
  addRange("/w/t.wav", 0, 675);
  write("/w/out.wav");
  EXPECT_EQ(payload("/w/out.wav"), join(voiceless(slice(t, 0, 3528)), t));
}

// --- refusals: nothing written, nothing played, nothing changed ---

struct Refusal {
  const char* name;
  std::function<void(Writer&)> setUp;
  std::string answer;  // the save dialog's answer ("" when no dialog is shown)
  std::string message;
};

class WriterRefusal : public Writer, public ::testing::WithParamInterface<Refusal> {};

TEST_P(WriterRefusal, WritesNothing) {
  const Refusal& r = GetParam();
  r.setUp(*this);
  app.fs.setContents("/w/old.wav", {9, 9, 9});
  const auto filesBefore = app.fs.files();
  const int16_t playBefore = app.ctx.state.PLAYFLAG;
  const auto rowsBefore = app.ctx.state.EDITDATA;
  app.transcript.clear();
  if (!r.answer.empty()) app.ui.queueAnswer({ScriptedAnswer::kSave, r.answer});
  BUTTON6_ON(app.ctx);

  std::vector<std::string> expected;
  if (!r.answer.empty()) expected.push_back(kSaveDialog);
  expected.push_back("message: " + r.message);
  EXPECT_EQ(app.lines(), expected);
  EXPECT_EQ(app.fs.files(), filesBefore);
  EXPECT_EQ(app.fs.contents("/w/old.wav"), (std::vector<uint8_t>{9, 9, 9}));
  EXPECT_EQ(app.fs.contents("/w/a.wav"), wavFile(a));
  EXPECT_EQ(app.ctx.state.PLAYFLAG, playBefore);
  EXPECT_EQ(app.ctx.state.EDITDATA, rowsBefore);
}

const std::string kAskOther = "。別の名前を指定してください";

INSTANTIATE_TEST_SUITE_P(
    Cases, WriterRefusal,
    ::testing::Values(
        Refusal{"Playing", [](Writer& t) { t.app.ctx.state.PLAYFLAG = 1; }, "", kMsgPlaying},
        Refusal{"NoWaveFile",
                [](Writer& t) {
                  t.app.ctx.files.close(t.app.ctx.state.WAVEFNUM);
                  t.app.ctx.state.WAVEFNUM = 0;
                },
                "", kMsgNoWaveFile},
        Refusal{"MissingSource",
                [](Writer& t) {
                  t.addRange("/w/a.wav", 0, 10);
                  t.addRange("/w/gone.wav", 0, 10);
                },
                "", "2行目のwaveファイルが見つかりません\n/w/gone.wav"},
        Refusal{"UnreadableSource",
                [](Writer& t) {
                  t.addSource("/w/b.wav", patternData(400));
                  t.app.fs.failReadsOf("/w/b.wav");
                  t.addBlank(10);
                  t.addRange("/w/b.wav", 0, 10);
                },
                "", "2行目のwaveファイルを読み込めません\n/w/b.wav\n入出力エラーが発生しました"},
        Refusal{"SourceShorterThanTheRange", [](Writer& t) { t.addRange("/w/a.wav", 9000, 10001); },
                "", "1行目の範囲がwaveファイルの長さを超えています\n/w/a.wav"},
        Refusal{"VoicelessSourceShorterThanTheRange",
                [](Writer& t) { t.addRange("/w/a.wav", 0, 10001, 1, 1); }, "",
                "1行目の範囲がwaveファイルの長さを超えています\n/w/a.wav"},
        Refusal{"NegativeStart", [](Writer& t) { t.addRange("/w/a.wav", -5, 10); }, "",
                "1行目の範囲がwaveファイルの長さを超えています\n/w/a.wav"},
        Refusal{"EndBeforeStart",
                [](Writer& t) {
                  t.addBlank(5);
                  t.addBlank(5);
                  t.addRange("/w/a.wav", 500, 499);
                },
                "", "3行目の終了位置が開始位置より前です\n/w/a.wav"},
        Refusal{"PendingEntry",
                [](Writer& t) {
                  t.addRange("/w/a.wav", 0, 10);
                  t.addPending("/w/a.wav", 300, 0);
                },
                "", "2行目は終了位置が決まっていません\n/w/a.wav"},
        // Whatever its numbers, the entry being marked has no end yet.
        Refusal{"PendingEntryStartedAtZero", [](Writer& t) { t.addPending("/w/a.wav", 0, 0); }, "",
                "1行目は終了位置が決まっていません\n/w/a.wav"},
        Refusal{"PendingEntryWithADraggedEnd", [](Writer& t) { t.addPending("/w/a.wav", 10, 500); },
                "", "1行目は終了位置が決まっていません\n/w/a.wav"},
        // Sources are checked as a file opened in the view is.
        Refusal{"TextSource",
                [](Writer& t) {
                  t.app.fs.setContents("/w/t.wav", std::vector<uint8_t>(400, 'x'));
                  t.addRange("/w/t.wav", 0, 10);
                },
                "", "1行目のwaveファイル：このファイルはRIFFファイルではありません\n/w/t.wav"},
        Refusal{"MonoSource",
                [](Writer& t) {
                  std::vector<uint8_t> f = wavFile(patternData(400));
                  putLe16(&f[22], 1);
                  t.app.fs.setContents("/w/m.wav", f);
                  t.addRange("/w/m.wav", 0, 10);
                },
                "", "1行目のwaveファイル：モノラル録音されたwaveファイルは利用出来ません\n/w/m.wav"},
        Refusal{"SourceThatIsNoFile",
                [](Writer& t) {
                  t.app.fs.addSpecial("/w/p.wav");
                  t.addRange("/w/p.wav", 0, 10);
                },
                "", "1行目のwaveファイルを読み込めません\n/w/p.wav\n通常のファイルではありません"},
        Refusal{"RangeIntoATagAfterTheSound",
                [](Writer& t) {
                  t.app.fs.setContents("/w/t.wav", withTag(wavFile(patternData(4000))));
                  t.addRange("/w/t.wav", 990, 1001);
                },
                "", "1行目の範囲がwaveファイルの長さを超えています\n/w/t.wav"},
        Refusal{"NegativeBlank", [](Writer& t) { t.addBlank(-1); }, "", "1行目の空白の長さが負の値です"},
        Refusal{"TooLarge",  // 4 MB × 1100 loops
                [](Writer& t) {
                  t.addSource("/w/big.wav", std::vector<uint8_t>(4000000));
                  t.addRange("/w/big.wav", 0, 1000000, 1100);
                },
                "/w/big", "作成するファイルの大きさが4GBを超えるため作成できません"},
        Refusal{"HugeLoopCount",
                [](Writer& t) { t.addRange("/w/a.wav", 0, 10000, INT32_MAX, 1); }, "",
                "作成するファイルが長すぎるため作成できません"},
        Refusal{"OutputIsTheOpenFile", [](Writer&) {}, "/w/a.wav",
                "開いているwaveファイルには書き込めません" + kAskOther + "\n/w/a.wav"},
        Refusal{"OutputIsTheOpenFileAfterTheExtensionRule",
                [](Writer& t) {
                  t.app.fs.setContents("/w/A.WAV", wavFile(t.a));
                  t.app.openWave("/w/A.WAV");
                },
                "/w/A", "開いているwaveファイルには書き込めません" + kAskOther + "\n/w/A.WAV"},
        Refusal{"OutputIsASource",
                [](Writer& t) {
                  t.addSource("/w/b.wav", patternData(400));
                  t.addRange("/w/a.wav", 0, 10);
                  t.addRange("/w/b.wav", 0, 10);
                },
                "/w/b.wav", "2行目のwaveファイルには書き込めません" + kAskOther + "\n/w/b.wav"},
        Refusal{"OutputTheUserMayNotWrite",
                [](Writer& t) {
                  t.app.fs.setContents("/w/ro.wav", {1});
                  t.app.fs.setPermissions("/w/ro.wav", 0444);
                },
                "/w/ro.wav", "書き込みが禁止されているファイルには書き込めません" + kAskOther + "\n/w/ro.wav"},
        Refusal{"OutputIsAFolder", [](Writer& t) { t.app.fs.addDirectory("/w/d.wav"); }, "/w/d.wav",
                "同じ名前のフォルダがあるため作成できません\n/w/d.wav"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelisto::test
