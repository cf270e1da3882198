#include <gtest/gtest.h>

#include "model/line_text.h"
#include "project/project_commands.h"
#include "project/project_format.h"
#include "support/project_bytes.h"
#include "support/test_app.h"
#include "wave/open_wave.h"
#include "wave/wave_header.h"

namespace pelisto::test {
namespace {

// What a refused load must leave exactly as it was.
struct Snapshot {
  std::vector<std::string> lines;
  int selected;
  int16_t editCount;
  std::vector<EditFileRow> editFile;
  std::vector<EditDataRow> editData;
  std::string waveFileName;
  int16_t waveFnum;
  bool waveOpen;
  int32_t dataSize;
  std::string edit1;
  int scrollMax;
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

class ProjectCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    app.started();
    app.fs.addDirectory("/w");
    app.fs.addDirectory("/p");
    app.fs.setContents("/w/a.wav", wavFile(patternData(kBytesPerSecond * 2)));
    app.fs.setContents("/w/b.wav", wavFile(patternData(kBytesPerSecond * 5)));
  }

  // A list of two finished entries and a pending one, the last selected,
  // with the view on /w/b.wav.
  void seedList() {
    app.openWave("/w/b.wav");
    AppState& s = app.ctx.state;
    s.WAVEFILENAME = "/w/b.wav";
    s.EDITFILE[0] = {"/w/b.wav", "b.wav"};
    s.EDITDATA[0] = {44100, 88200, 1000, 2000, 2, 1, 5, 6};
    s.EDITFILE[1] = {"", "BRANK"};
    s.EDITDATA[1] = {0, 441, 0, 10, 0, 0, 0, 0};
    s.EDITFILE[2] = {"/w/b.wav", "b.wav"};
    s.EDITDATA[2] = {4410, 0, 100, 0, 1, 9, 9, 9};
    for (const char* l : {"line 0", "line 1", "pending"}) app.ctx.list.addLine(l);
    s.EDITCOUNT = 2;
    app.ui.select(2);
    app.transcript.clear();
  }

  Snapshot snapshot() {
    Snapshot s;
    for (int i = 0; i < app.ui.lineCount(); ++i) s.lines.push_back(app.ui.line(i));
    s.selected = app.ui.selected();
    s.editCount = app.ctx.state.EDITCOUNT;
    s.editFile = app.ctx.state.EDITFILE;
    s.editData = app.ctx.state.EDITDATA;
    s.waveFileName = app.ctx.state.WAVEFILENAME;
    s.waveFnum = app.ctx.state.WAVEFNUM;
    s.waveOpen = waveFileOpen(app.ctx);
    s.dataSize = app.ctx.state.DATASIZE;
    s.edit1 = app.ui.text(Control::EDIT1);
    s.scrollMax = app.ui.scrollMax();
    return s;
  }

  void save(const std::string& path) {
    app.ui.queueAnswer({ScriptedAnswer::kSave, path});
    SAVEPROJECT_ON(app.ctx);
  }
  void load(const std::string& path) {
    app.ui.queueAnswer({ScriptedAnswer::kOpen, path});
    OPENPROJECT_ON(app.ctx);
  }
  void loadBytes(const std::vector<uint8_t>& bytes) {
    app.fs.setContents("/p/x.prj", bytes);
    load("/p/x.prj");
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& l : app.lines()) {
      if (l.rfind("message: ", 0) == 0) out.push_back(l.substr(9));
    }
    return out;
  }

  TestApp app;
};

}  // namespace

TEST(ProjectExtension, PrjIsAppendedUnlessAlreadyThereInAnyCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"/p/a", "/p/a.PRJ"},         {"/p/a.prj", "/p/a.prj"},   {"/p/a.Prj", "/p/a.Prj"},
      {"/p/a.PRJ", "/p/a.PRJ"},     {"/p/a.prjx", "/p/a.prjx.PRJ"}, {"/p/a.wav", "/p/a.wav.PRJ"},
      {"prj", "prj.PRJ"},           {"/p/会議.prj", "/p/会議.prj"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(withProjectExtension(in), out) << in;
}

TEST_F(ProjectCommands, SavesEveryLineWithThePendingOneAndTheOpenPath) {
  seedList();
  save("/p/proj");
  std::vector<uint8_t> expected = ProjectBytes()
                                      .head()
                                      .rec("/w/b.wav")
                                      .entry("/w/b.wav", "b.wav", {44100, 88200, 1000, 2000, 2, 1, 5, 6})
                                      .entry("", "BRANK", {0, 441, 0, 10, 0, 0, 0, 0})
                                      .entry("/w/b.wav", "b.wav", {4410, 0, 100, 0, 1, 9, 9, 9})
                                      .end();
  EXPECT_EQ(app.fs.contents("/p/proj.PRJ"), expected);
  EXPECT_EQ(app.lines(), std::vector<std::string>{"dialog: save 名前を付けてプロジェクトの保存"});
  // Only the project and the two wave files: no temporary file is left.
  EXPECT_EQ(app.fs.files().size(), 3u);
}

TEST_F(ProjectCommands, SavingIsAllowedWhilePlayingAndTwiceGivesTheSameFile) {
  seedList();
  app.ctx.state.PLAYFLAG = 1;
  save("/p/a.prj");
  std::vector<uint8_t> first = app.fs.contents("/p/a.prj");
  ASSERT_FALSE(first.empty());
  save("/p/a.prj");
  EXPECT_EQ(app.fs.contents("/p/a.prj"), first);
  EXPECT_TRUE(messages().empty());
}

TEST_F(ProjectCommands, EmptyStateSavesThirteenBytesAndCancelSavesNothing) {
  app.ui.queueAnswer({ScriptedAnswer::kCancel, ""});
  SAVEPROJECT_ON(app.ctx);
  EXPECT_EQ(app.fs.files().size(), 2u);
  save("/p/e.PRJ");
  EXPECT_EQ(app.fs.contents("/p/e.PRJ"), ProjectBytes().head().rec("").end().bytes());
}

TEST_F(ProjectCommands, WriteErrorKeepsTheOldProjectAndLeavesNoTemporaryFile) {
  seedList();
  const std::vector<uint8_t> old = ProjectBytes().head().rec("/old.wav").end();
  struct Case {
    const char* what;
    std::function<void(MemFileSystem&)> inject;
  };
  const Case cases[] = {
      {"disk full half-way", [](MemFileSystem& fs) { fs.setCapacity(2 * 1024 * 1024); }},
      {"folder read-only", [](MemFileSystem& fs) { fs.setReadOnlyDirectory("/p"); }},
  };
  for (const Case& c : cases) {
    TestApp fresh;
    fresh.fs.addDirectory("/p");
    fresh.fs.setContents("/p/a.PRJ", old);
    // A list whose file cannot fit: one long path per entry.
    fresh.ctx.state.WAVEFILENAME = std::string(30000, 'w');
    fresh.ctx.state.ensureRow(99);
    for (int i = 0; i < 100; ++i) {
      fresh.ctx.state.EDITFILE[i] = {std::string(30000, 'p'), "n"};
      fresh.ctx.list.addLine("l");
    }
    c.inject(fresh.fs);
    fresh.ui.queueAnswer({ScriptedAnswer::kSave, "/p/a.PRJ"});
    SAVEPROJECT_ON(fresh.ctx);
    EXPECT_EQ(fresh.fs.contents("/p/a.PRJ"), old) << c.what;
    EXPECT_EQ(fresh.fs.files(), std::vector<std::string>{"/p/a.PRJ"}) << c.what;
    ASSERT_EQ(fresh.lines().size(), 2u) << c.what;
    EXPECT_EQ(fresh.lines()[1].rfind(std::string("message: ") + kMsgCannotSaveProject + "\n", 0), 0u)
        << fresh.lines()[1];
    for (int16_t n = 1; n < 5; ++n) EXPECT_FALSE(fresh.ctx.files.isOpen(n));
  }
}

TEST_F(ProjectCommands, TextsThatCannotBeStoredWriteNothing) {
  seedList();
  app.fs.setContents("/p/a.PRJ", {1, 2, 3});
  app.ctx.state.EDITFILE[1][1] = "\xF0\x9F\x8E\xB5";  // a musical note: no CP932 code
  save("/p/a.PRJ");
  EXPECT_EQ(messages(), std::vector<std::string>{
                            "Shift-JISで表せない文字はプロジェクトに保存出来ません（リストの2行目）"});
  EXPECT_EQ(app.fs.contents("/p/a.PRJ"), (std::vector<uint8_t>{1, 2, 3}));

  app.transcript.clear();
  app.ctx.state.EDITFILE[1][1] = "BRANK";
  app.ctx.state.WAVEFILENAME = std::string(32768, 'a');
  save("/p/new");
  EXPECT_EQ(messages(), std::vector<std::string>{
                            "32767バイトを超える文字列はプロジェクトに保存出来ません（waveファイル名）"});
  EXPECT_FALSE(app.fs.isFile("/p/new.PRJ"));
  EXPECT_EQ(app.fs.files().size(), 3u);
}

TEST_F(ProjectCommands, LoadRebuildsTheListAndReopensTheWaveFile) {
  seedList();
  loadBytes(ProjectBytes()
                .head()
                .rec("/w/a.wav")
                .entry("", "BRANK", {0, 88200, 0, 2000, 0, 0, 0, 0})
                .entry("/w/a.wav", "a.wav", {66150, 143325, 1500, 3250, 1, 1, 0, 0})
                .end());
  const AppState& s = app.ctx.state;
  EXPECT_EQ(app.lines(), std::vector<std::string>{"dialog: open プロジェクトを開く"});
  EXPECT_EQ(s.EDITCOUNT, 2);
  EXPECT_EQ(s.WAVEFILENAME, "/w/a.wav");
  ASSERT_EQ(app.ui.lineCount(), 2);
  EXPECT_EQ(app.ui.selected(), -1);
  EXPECT_EQ(s.EDITFILE[0], (EditFileRow{"", "BRANK"}));
  EXPECT_EQ(s.EDITDATA[0], (EditDataRow{0, 88200, 0, 2000, 0, 0, 0, 0}));
  EXPECT_EQ(s.EDITDATA[1], (EditDataRow{66150, 143325, 1500, 3250, 1, 1, 0, 0}));
  for (int i = 0; i < 2; ++i) EXPECT_EQ(app.ui.line(i), finishedLine(s, i));
  // Rows beyond the loaded ones are cleared.
  EXPECT_EQ(s.EDITFILE[2], EditFileRow{});
  EXPECT_EQ(s.EDITDATA[2], EditDataRow{});
  // The wave file is open and shown as after opening it.
  EXPECT_TRUE(waveFileOpen(app.ctx));
  EXPECT_EQ(app.ctx.files.path(s.WAVEFNUM), "/w/a.wav");
  EXPECT_EQ(s.DATASIZE, kBytesPerSecond * 2);
  EXPECT_EQ(app.ui.scrollMax(), 2);
  EXPECT_EQ(app.ui.text(Control::EDIT1), "0 分 2秒");
  // The old file's number was given back: only one wave file is open.
  for (int16_t n = 1; n < 8; ++n) EXPECT_EQ(app.ctx.files.isOpen(n), n == s.WAVEFNUM) << n;
}

TEST_F(ProjectCommands, VersionOneClearsTheColumnsItDoesNotHold) {
  seedList();  // rows 0 and 2 hold voiceless and reserved values
  loadBytes(ProjectBytes()
                .head(1, 1)
                .rec("/w/a.wav")
                .entry("/w/a.wav", "a.wav", {1, 2, 3, 4, 5})
                .entry("/w/a.wav", "a.wav", {6, 7, 8, 9, 10})
                .end());
  EXPECT_EQ(app.ctx.state.EDITDATA[0], (EditDataRow{1, 2, 3, 4, 5, 0, 0, 0}));
  EXPECT_EQ(app.ctx.state.EDITDATA[1], (EditDataRow{6, 7, 8, 9, 10, 0, 0, 0}));
  EXPECT_EQ(app.ctx.state.EDITDATA[2], EditDataRow{});
  // Written back as version 2 with 32-byte blocks.
  save("/p/v2.prj");
  EXPECT_EQ(app.fs.contents("/p/v2.prj"),
            ProjectBytes()
                .head(1, 2)
                .rec("/w/a.wav")
                .entry("/w/a.wav", "a.wav", {1, 2, 3, 4, 5, 0, 0, 0})
                .entry("/w/a.wav", "a.wav", {6, 7, 8, 9, 10, 0, 0, 0})
                .end()
                .bytes());
}

TEST_F(ProjectCommands, LoadedFileSavesBackByteForByte) {
  app.fs.setContents("/w/b.wav", wavFile(patternData(kBytesPerSecond * 5)));
  std::vector<uint8_t> original = threeEntryProject("/w/b.wav");
  loadBytes(original);
  save("/p/again.prj");
  EXPECT_EQ(app.fs.contents("/p/again.prj"), original);
}

TEST_F(ProjectCommands, JapanesePathAndNameRoundTripThroughCp932) {
  app.fs.addDirectory("/録音");
  app.fs.setContents("/録音/会議～一日目.wav", wavFile(patternData(kBytesPerSecond)));
  app.openWave("/録音/会議～一日目.wav");
  app.ctx.state.WAVEFILENAME = "/録音/会議～一日目.wav";
  app.ctx.state.EDITFILE[0] = {"/録音/会議～一日目.wav", "会議～一日目.wav"};
  app.ctx.state.EDITDATA[0] = {0, 44100, 0, 1000, 1, 0, 0, 0};
  app.ctx.list.addLine("x");
  app.ctx.state.EDITCOUNT = 1;
  save("/録音/会議");
  std::vector<uint8_t> bytes = app.fs.contents("/録音/会議.PRJ");
  // 録音 in CP932 right after the path's length.
  ASSERT_GE(bytes.size(), 17u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 17),
            (std::vector<uint8_t>{0x00, 0x16, '/', 0x98, 0x5E, 0x89, 0xB9}));

  TestApp other;
  other.started();
  other.fs.addDirectory("/録音");
  other.fs.setContents("/録音/会議～一日目.wav", wavFile(patternData(kBytesPerSecond)));
  other.fs.setContents("/録音/会議.PRJ", bytes);
  other.ui.queueAnswer({ScriptedAnswer::kOpen, "/録音/会議.PRJ"});
  OPENPROJECT_ON(other.ctx);
  EXPECT_EQ(other.ctx.state.WAVEFILENAME, "/録音/会議～一日目.wav");
  EXPECT_EQ(other.ctx.state.EDITFILE[0], app.ctx.state.EDITFILE[0]);
  EXPECT_TRUE(waveFileOpen(other.ctx));
}

TEST_F(ProjectCommands, LoadIsRefusedWhilePlayingAndCancelChangesNothing) {
  seedList();
  Snapshot before = snapshot();
  app.ctx.state.PLAYFLAG = 2;
  OPENPROJECT_ON(app.ctx);
  EXPECT_EQ(app.lines(), std::vector<std::string>{"message: ただ今、再生中です。"});
  app.ctx.state.PLAYFLAG = 0;
  app.ui.queueAnswer({ScriptedAnswer::kCancel, ""});
  OPENPROJECT_ON(app.ctx);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(ProjectCommands, DamagedFilesAreRefusedAndChangeNothing) {
  seedList();
  const Snapshot before = snapshot();
  std::vector<std::vector<uint8_t>> damaged;
  const std::vector<uint8_t> whole = threeEntryProject();
  for (size_t n = 0; n < whole.size(); ++n) damaged.emplace_back(whole.begin(), whole.begin() + n);
  damaged.push_back(ProjectBytes().text("RIFF....WAVE").bytes());
  damaged.push_back(ProjectBytes().head().be16(0x8000).end());
  damaged.push_back(ProjectBytes().head().be16(0x7FFF).text("/w/a.wav").end());
  damaged.push_back(ProjectBytes().head().rec("/w/\x81").end());
  damaged.push_back(
      ProjectBytes().head().rec("/w/a.wav").entry("", "\xA0\x80", {0, 0, 0, 0, 0, 0, 0, 0}).end());
  for (const auto& bytes : damaged) {
    app.transcript.clear();
    loadBytes(bytes);
    EXPECT_EQ(messages(), std::vector<std::string>{kMsgNotProject}) << bytes.size() << " bytes";
    ASSERT_EQ(snapshot(), before) << bytes.size() << " bytes";
  }
}

TEST_F(ProjectCommands, MoreEntriesThanTheListHoldsAreRefusedAsTooLong) {
  seedList();
  const Snapshot before = snapshot();
  ProjectBytes b;
  b.head().rec("/w/a.wav");
  for (int i = 0; i <= kMaxEditRows; ++i) b.entry("", "BRANK", {0, 1, 0, 1, 0, 0, 0, 0});
  loadBytes(b.end());
  EXPECT_EQ(messages(), std::vector<std::string>{kMsgProjectTooLong});
  EXPECT_EQ(snapshot(), before);
}

TEST_F(ProjectCommands, UnreadableProjectIsReportedAndChangesNothing) {
  seedList();
  const Snapshot before = snapshot();
  app.fs.setContents("/p/x.prj", threeEntryProject());
  app.fs.failReadsOf("/p/x.prj");
  load("/p/x.prj");
  load("/p/missing.prj");
  ASSERT_EQ(messages().size(), 2u);
  for (const auto& m : messages()) EXPECT_EQ(m.rfind(std::string(kMsgCannotReadProject) + "\n", 0), 0u) << m;
  EXPECT_EQ(snapshot(), before);
}

TEST_F(ProjectCommands, WaveFileFailingACheckLeavesTheListLoaded) {
  auto header = [](auto change) {
    std::vector<uint8_t> f = wavFile(patternData(1000));
    change(f);
    return f;
  };
  struct Case {
    std::vector<uint8_t> wave;
    std::string message;
  };
  const Case cases[] = {
      {header([](auto& f) { f[3] = 'X'; }), kMsgNotRiff},
      {header([](auto& f) { f[0] = 'r'; }), kMsgNotRiff},
      {header([](auto& f) { f[8] = 'w'; }), kMsgNotWave},
      {header([](auto& f) { f[15] = '_'; }), kMsgBadFmt},
      {header([](auto& f) { f[20] = 3; }), kMsgNotPcm},
      {header([](auto& f) { f[22] = 1; }), kMsgMono},
      {header([](auto& f) { putLe32(&f[24], 48000); }), kMsgNot44k},
      {header([](auto& f) { f[36] = 'L'; }), kMsgBadData},
      {std::vector<uint8_t>{'R', 'I', 'F', 'F'}, kMsgNotWave},
  };
  for (const Case& c : cases) {
    TestApp t;
    t.started();
    t.fs.addDirectory("/w");
    t.fs.setContents("/w/b.wav", wavFile(patternData(kBytesPerSecond * 5)));
    t.ui.queueAnswer({ScriptedAnswer::kOpen, "/w/b.wav"});
    OPENWAVEFILE_ON(t.ctx);
    t.fs.setContents("/w/a.wav", c.wave);
    t.fs.setContents("/p.prj", threeEntryProject("/w/a.wav"));
    t.ui.queueAnswer({ScriptedAnswer::kOpen, "/p.prj"});
    OPENPROJECT_ON(t.ctx);
    EXPECT_EQ(t.lines().back(), "message: " + c.message);
    EXPECT_EQ(t.ctx.state.EDITCOUNT, 3) << c.message;
    EXPECT_EQ(t.ui.lineCount(), 3);
    EXPECT_EQ(t.ctx.state.WAVEFILENAME, "/w/a.wav");
    EXPECT_EQ(t.ctx.state.WAVEFNUM, 0);
    EXPECT_FALSE(waveFileOpen(t.ctx));
    EXPECT_FALSE(t.ctx.files.isOpen(1));  // the earlier file was closed
    EXPECT_EQ(t.ctx.state.DATASIZE, kBytesPerSecond * 5);  // the view keeps the old length
  }
}

TEST_F(ProjectCommands, MissingOrEmptyWavePathLoadsTheListWithAMessage) {
  for (const std::string wave : {"/w/gone.wav", ""}) {
    TestApp t;
    t.started();
    t.fs.addDirectory("/w");
    t.fs.setContents("/w/b.wav", wavFile(patternData(kBytesPerSecond)));
    t.ui.queueAnswer({ScriptedAnswer::kOpen, "/w/b.wav"});
    OPENWAVEFILE_ON(t.ctx);
    ASSERT_TRUE(waveFileOpen(t.ctx));
    t.fs.setContents("/p.prj", threeEntryProject(wave));
    t.ui.queueAnswer({ScriptedAnswer::kOpen, "/p.prj"});
    OPENPROJECT_ON(t.ctx);
    const std::string& last = t.lines().back();
    EXPECT_EQ(last.rfind(std::string("message: ") + kMsgCannotOpenWave + "\n", 0), 0u) << last;
    if (wave.empty()) {
      EXPECT_EQ(last, std::string("message: ") + kMsgCannotOpenWave + "\n" + kMsgNoWaveInProject);
    }
    EXPECT_EQ(t.ctx.state.EDITCOUNT, 3);
    EXPECT_EQ(t.ctx.state.WAVEFILENAME, wave);
    EXPECT_EQ(t.ctx.state.WAVEFNUM, 0);
    EXPECT_FALSE(t.ctx.files.isOpen(1));
    // Saving again keeps the project's path.
    t.ui.queueAnswer({ScriptedAnswer::kSave, "/p2.prj"});
    SAVEPROJECT_ON(t.ctx);
    EXPECT_EQ(t.fs.contents("/p2.prj"), t.fs.contents("/p.prj"));
  }
}

}  // namespace pelisto::test
