#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "shell/events.h"
#include "shell/handler_fault.h"
#include "project/project_commands.h"
#include "support/writer_fixture.h"
#include "wave/output_type.h"
#include "wave/wav_sink.h"
#include "wave/write_plan.h"

namespace pelisto::test {
namespace {

class WriterFailure : public WriterFixture {
 public:
  uint64_t used() const {
    uint64_t bytes = 0;
    for (const auto& f : app.fs.files()) bytes += app.fs.contents(f).size();
    return bytes;
  }

 protected:
  void SetUp() override {
    WriterFixture::SetUp();
    addSource("/w/a.wav", patternData(40000));
    app.openWave("/w/a.wav");
    addSource("/w/big.wav", patternData(3 << 20));  // 3 MiB: several chunks
    addRange("/w/big.wav", 0, (3 << 20) / 4);
    app.fs.setContents("/w/out.WAV", {1, 2, 3});
  }
  void expectNothingChanged(const std::vector<std::string>& filesBefore) {
    EXPECT_EQ(app.fs.files(), filesBefore);
    EXPECT_EQ(app.fs.contents("/w/out.WAV"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
    EXPECT_EQ(app.ui.pointer(Control::MAINFORM), Pointer::kArrow);  // the busy scope ended
    EXPECT_TRUE(waveFileOpen(app.ctx));
  }
};

TEST_F(WriterFailure, AFullDiskHalfWayKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const auto before = app.fs.files();
  uint64_t used = 0;
  for (const auto& f : before) used += app.fs.contents(f).size();
  app.fs.setCapacity(used + (3 << 19));  // room for half the output
  write("/w/out");
  EXPECT_EQ(app.lines(), (std::vector<std::string>{
                             "dialog: save Waveファイルの作成",
                             "message: ディスクの空き容量が足りないため、Waveファイルを作成できませんでした\n/w/out.WAV"}));
  expectNothingChanged(before);
}

TEST_F(WriterFailure, ACancelKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const auto before = app.fs.files();
  app.ui.cancelBusyAfter(1);
  write("/w/out");
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: save Waveファイルの作成",
                                                   "message: Waveファイルの作成を中止しました"}));
  expectNothingChanged(before);
  EXPECT_EQ(app.ui.busyScopes(), 1);
}

// Every type fails and cancels as WAV does, through the same replacing
// save: the old target stays as it was, no temporary file remains, and
// the message is the same.
TEST_F(WriterFailure, EveryTypeKeepsTheOldTargetOnAFaultOrACancel) {
  const std::string noSpace = "ディスクの空き容量が足りないため、Waveファイルを作成できませんでした\n";
  const struct {
    const char* name;
    void (*inject)(WriterFailure&);
    std::string message;  // the target's path follows where it is named
  } faults[] = {
      {"full disk", [](WriterFailure& t) { t.app.fs.setCapacity(t.used() + 64); }, noSpace},
      {"source read fails", [](WriterFailure& t) { t.app.fs.failReadsOf("/w/big.wav", 1 << 20); },
       "Waveファイルを作成できませんでした\n"},
      {"cancel", [](WriterFailure& t) { t.app.ui.cancelBusyAfter(1); }, "Waveファイルの作成を中止しました"},
  };
  for (const char* extension : {".WAV", ".flac", ".ogg", ".opus", ".mp3"}) {
    const std::string target = std::string("/w/out") + extension;
    app.fs.setContents(target, {1, 2, 3});
    const auto before = app.fs.files();
    for (const auto& f : faults) {
      f.inject(*this);
      write(target);
      const std::string& shown = app.lines().back();
      EXPECT_EQ(shown.rfind("message: " + f.message + (f.message.back() == '\n' ? target : ""), 0), 0u)
          << extension << " " << f.name << ": " << shown;
      EXPECT_EQ(app.fs.files(), before) << extension << " " << f.name;
      EXPECT_EQ(app.fs.contents(target), (std::vector<uint8_t>{1, 2, 3})) << extension << " " << f.name;
      app.fs.setCapacity(UINT64_MAX);
      app.fs.failReadsOf("/w/big.wav", UINT64_MAX);
    }
  }
}

// Memory running out half-way through a write ends the command, not the
// program: the temporary file goes, one message tells, and the command
// then succeeds.
TEST_F(WriterFailure, MemoryRunningOutEndsTheCommandNotTheProgram) {
  const auto before = app.fs.files();
  app.fs.exhaustMemoryInReadsOf("/w/big.wav", 1 << 20);
  app.transcript.clear();
  app.ui.queueAnswer({ScriptedAnswer::kSave, "/w/out"});
  EXPECT_TRUE(dispatchEvent(app.ctx, Event::click(Control::BUTTON6)));
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: save Waveファイルの作成",
                                                   std::string("message: ") + kMsgOutOfMemory}));
  expectNothingChanged(before);
  app.fs.exhaustMemoryInReadsOf("/w/big.wav", std::nullopt);
  app.ui.queueAnswer({ScriptedAnswer::kSave, "/w/out"});
  EXPECT_TRUE(dispatchEvent(app.ctx, Event::click(Control::BUTTON6)));
  EXPECT_EQ(app.fs.contents("/w/out.WAV").size(), 44u + (3 << 20));
}

TEST_F(WriterFailure, AFolderThatRefusesNewFilesIsReported) {
  app.fs.addDirectory("/ro");
  app.fs.setReadOnlyDirectory("/ro");
  const auto before = app.fs.files();
  write("/ro/x.wav");
  // The message names the chosen file, not the temporary one.
  EXPECT_EQ(app.lines(), (std::vector<std::string>{
                             "dialog: save Waveファイルの作成",
                             "message: Waveファイルを作成できませんでした\n/ro/x.wav\nアクセスが拒否されました"}));
  expectNothingChanged(before);
}

// A media device that refuses the commands that begin with a given word.
class RefusingMci final : public MciDevice {
 public:
  explicit RefusingMci(std::string word) : m_word(std::move(word)) {}
  MciResult send(const std::string& command) override {
    if (command.rfind(m_word, 0) == 0) return MciResult{263, "", "the device refused"};
    return MciResult{};
  }

 private:
  std::string m_word;
};

TEST_F(WriterFailure, AFileTheDeviceWillNotPlayIsReportedAndNothingCountsAsPlaying) {
  const std::string msg =
      "message: 作成したWaveファイルを再生できません：the device refused";
  const std::string open = "mci: OPEN /w/new.wav TYPE WAVEAUDIO ALIAS WAVEOBJ";
  const std::string set = "mci: SET WAVEOBJ TIMEFORMAT MILLISECONDS";
  const std::string play = "mci: PLAY WAVEOBJ NOTIFY";
  const std::string close = "mci: CLOSE WAVEOBJ";
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"OPEN", {open, msg}},
      {"SET", {open, set, close, msg}},
      {"PLAY", {open, set, play, close, msg}},
  };
  for (const auto& [word, expected] : cases) {
    RefusingMci device(word);
    app.mci.setInner(&device);
    write("/w/new.wav");
    std::vector<std::string> lines(app.lines().begin() + 1, app.lines().end());
    EXPECT_EQ(lines, expected) << word;
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 0);
    EXPECT_EQ(app.fs.contents("/w/new.wav").size(), 44u + (3u << 20));
    app.mci.setInner(nullptr);
  }
}

// The 4 GiB of the header's sizes limit WAV outputs only: the list is
// planned, and a WAV file one frame too long is refused once its type is
// known, before anything is written.
TEST_F(WriterFailure, TheLargestLengthTheHeaderCanHoldIsAcceptedAndOneFrameMoreRefused) {
  app.ctx.list.clearLines();
  app.ctx.state.EDITCOUNT = 0;
  addBlank(1073741812);  // 44 + 4 × frames = 4294967292 bytes
  auto plan = planWaveFile(app.ctx);
  ASSERT_TRUE(plan.isOk()) << plan.status().message();
  EXPECT_TRUE(checkOutputLength(OutputType::kWav, plan->frames).isOk());
  app.ctx.state.EDITDATA[0][1] += 1;
  ASSERT_TRUE(planWaveFile(app.ctx).isOk());
  const auto before = app.fs.files();
  write("/w/out");
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: save Waveファイルの作成",
                                                   std::string("message: ") + kMsgWaveTooLarge}));
  expectNothingChanged(before);
  EXPECT_TRUE(checkOutputLength(OutputType::kFlac, uint64_t{1} << 32).isOk());
}

// The real file system: the same file under another name is recognised.
class WriterOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/pelisto-writer-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
    auto put = [&](const std::string& file, const std::vector<uint8_t>& bytes) {
      std::ofstream(dir + "/" + file, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    put("a.wav", wavFile(patternData(4000)));
    put("b.wav", wavFile(patternData(4000, 3, 1)));
    std::filesystem::create_symlink(dir + "/a.wav", dir + "/link.wav");
    ui.queueAnswer({ScriptedAnswer::kOpen, dir + "/a.wav"});
    OPENWAVEFILE_ON(ctx);
    ctx.state.EDITFILE[0] = {dir + "/b.wav", "b.wav"};
    ctx.state.EDITDATA[0] = {0, 100, 0, 0, 1, 0, 0, 0};
    ctx.state.EDITCOUNT = 1;
    ctx.list.addLine("b");
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  void write(const std::string& answer) {
    transcript.clear();
    ui.queueAnswer({ScriptedAnswer::kSave, answer});
    BUTTON6_ON(ctx);
  }

  std::string dir;
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  HeadlessApp app{{.fs = fs.get(), .device = false}};
  Transcript& transcript = app.transcript();
  HeadlessUi& ui = app.ui();
  AppContext& ctx = app.context();
};

TEST_F(WriterOnDisk, TheOpenFileOrASourceUnderAnotherNameIsRefused) {
  const std::pair<std::string, std::string> cases[] = {
      {"/link.wav", "開いているwaveファイルには書き込めません。別の名前を指定してください"},
      {"/./b.wav", "1行目のwaveファイルには書き込めません。別の名前を指定してください"},
  };
  for (const auto& [name, text] : cases) {
    write(dir + name);
    EXPECT_EQ(transcript.lines().back(), "message: " + text + "\n" + dir + name);
  }
  EXPECT_EQ(entries(), (std::vector<std::string>{"a.wav", "b.wav", "link.wav"}));
  EXPECT_EQ(std::filesystem::file_size(dir + "/b.wav"), 4044u);
}

// The project save refuses the same: no project over the open wave file (a
// WAV named .prj) or over a line's source, whatever name reaches it.
TEST_F(WriterOnDisk, NoProjectIsSavedOverTheOpenFileOrASource) {
  std::filesystem::copy_file(dir + "/a.wav", dir + "/s.prj");
  ui.queueAnswer({ScriptedAnswer::kOpen, dir + "/s.prj"});
  OPENWAVEFILE_ON(ctx);
  std::filesystem::create_symlink(dir + "/b.wav", dir + "/line.prj");
  const std::pair<std::string, std::string> cases[] = {
      {"/s.prj", "開いているwaveファイル"}, {"/./line.prj", "1行目のwaveファイル"}};
  for (const auto& [name, what] : cases) {
    ui.queueAnswer({ScriptedAnswer::kSave, dir + name});
    SAVEPROJECT_ON(ctx);
    EXPECT_EQ(transcript.lines().back(), std::string("message: ") + kMsgCannotSaveProject + "\n" + what +
                                             "には書き込めません。別の名前を指定してください\n" + dir + name);
  }
  EXPECT_EQ(std::filesystem::file_size(dir + "/s.prj"), 4044u);
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/line.prj"));
}

TEST_F(WriterOnDisk, AWrittenFileReplacesTheOldOneAndNothingElseRemains) {
  std::ofstream(dir + "/out.WAV") << "old";
  write(dir + "/out");
  EXPECT_EQ(entries(), (std::vector<std::string>{"a.wav", "b.wav", "link.wav", "out.WAV"}));
  std::ifstream in(dir + "/out.WAV", std::ios::binary);
  std::vector<uint8_t> out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<uint8_t> expected = riff::canonicalHeader(400);
  auto b = patternData(4000, 3, 1);
  expected.insert(expected.end(), b.begin(), b.begin() + 400);
  EXPECT_EQ(out, expected);
  EXPECT_EQ(ctx.state.PLAYFLAG, 2);
}

}  // namespace
}  // namespace pelisto::test
