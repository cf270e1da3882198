#include <gtest/gtest.h>

#include <cstdio>

#include "headless/inline_worker.h"
#include "headless/mem_file_system.h"
#include "headless/recording_mci.h"
#include "shell/command_line.h"
#include "shell/write_project.h"
#include "support/project_bytes.h"
#include "support/test_app.h"
#include "system/console_ui.h"

namespace pelisto {
namespace {

TEST(CommandLine, FileHelpVersionAndMistakes) {
  using A = CommandLine::Action;
  struct Case {
    std::vector<std::string> args;
    A action;
    std::string file;
    std::string message;
  } cases[] = {
      {{}, A::kRun, "", ""},
      {{"song.wav"}, A::kRun, "song.wav", ""},
      {{"/home/me/Take 1.PRJ"}, A::kRun, "/home/me/Take 1.PRJ", ""},
      {{"-"}, A::kRun, "-", ""},
      {{"--", "--odd.wav"}, A::kRun, "--odd.wav", ""},
      {{"--help"}, A::kHelp, "", ""},
      {{"a.wav", "-h"}, A::kHelp, "a.wav", ""},
      {{"--version", "--help"}, A::kVersion, "", ""},
      {{"--frobnicate"}, A::kError, "", "unknown option: --frobnicate"},
      {{"-x", "--help"}, A::kError, "", "unknown option: -x"},
      {{"a.wav", "b.wav"}, A::kError, "a.wav", "only one file can be opened: b.wav"},
      {{""}, A::kError, "", "an empty file name"},
  };
  for (const Case& c : cases) {
    const CommandLine got = parseCommandLine(c.args);
    const std::string where = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(got.action, c.action) << where;
    EXPECT_EQ(got.file, c.file) << where;
    EXPECT_EQ(got.message, c.message) << where;
  }
  EXPECT_EQ(helpText("pelisto").rfind("Usage: pelisto [FILE]\n", 0), 0u);
  EXPECT_NE(helpText("pelisto").find("pelisto --write PROJECT OUTPUT [--loudness=-16|-23]\n"), std::string::npos);
  EXPECT_EQ(versionText(), "Pelisto 0.1\n");
}

// pelisto --write PROJECT OUTPUT [--loudness=-16|-23]: two files, the
// output named with the extension of a type; anything else is a wrong
// command line (exit status 2).
TEST(CommandLine, WriteTakesAProjectAnOutputAndALoudness) {
  using A = CommandLine::Action;
  using L = LoudnessTarget;
  const struct {
    std::vector<std::string> args;
    A action;
    std::string output;
    L loudness;
    std::string message;
  } cases[] = {
      {{"--write", "p.PRJ", "out.flac"}, A::kWrite, "out.flac", L::kOff, ""},
      {{"p.PRJ", "--write", "Out.MP3", "--loudness=-16"}, A::kWrite, "Out.MP3", L::kPodcast, ""},
      {{"--loudness=-23", "--write", "p.PRJ", "--", "-o.wav"}, A::kWrite, "-o.wav", L::kBroadcast, ""},
      {{"--write", "p.PRJ", "out.flac", "--help"}, A::kHelp, "", L::kOff, ""},
      {{"--write", "p.PRJ"}, A::kError, "", L::kOff, "--write needs a project file and an output file"},
      {{"--write", "p.PRJ", "a.wav", "b.wav"}, A::kError, "", L::kOff,
       "--write needs a project file and an output file"},
      {{"--write", "p.PRJ", "out.aiff"}, A::kError, "out.aiff", L::kOff,
       "the output's type is unknown: out.aiff (use .wav, .flac, .ogg, .opus or .mp3)"},
      {{"--write", "p.PRJ", "out"}, A::kError, "out", L::kOff,
       "the output's type is unknown: out (use .wav, .flac, .ogg, .opus or .mp3)"},
      {{"--write", "p.PRJ", "o.wav", "--loudness=-14"}, A::kError, "", L::kOff,
       "--loudness takes -16 or -23: --loudness=-14"},
      {{"--write", "p.PRJ", "o.wav", "--loudness=off"}, A::kError, "", L::kOff,
       "--loudness takes -16 or -23: --loudness=off"},
      {{"a.wav", "--loudness=-16"}, A::kError, "", L::kPodcast, "--loudness goes with --write"},
  };
  for (const auto& c : cases) {
    const CommandLine got = parseCommandLine(c.args);
    const std::string where = c.args[0] + " " + c.args[1];
    EXPECT_EQ(got.action, c.action) << where;
    EXPECT_EQ(got.output, c.output) << where;
    EXPECT_EQ(got.loudness, c.loudness) << where;
    EXPECT_EQ(got.message, c.message) << where;
  }
}

// Writing a project without a window: 0 once written; 1 for a refusal or a
// failure, told on standard error with the window's texts, and nothing is
// left behind.
TEST(CommandLine, WritingAProjectGivesItsExitStatusAndLeavesNothingOnARefusal) {
  const struct {
    const char* name;
    std::vector<uint8_t> project;  // written to /w/p.PRJ (empty: none)
    std::string output;
    int status;
    std::string told;  // the start of what standard error gets
  } cases[] = {
      {"written", test::threeEntryProject(), "/w/out.flac", 0, "Waveファイルの作成:"},
      {"no project", {}, "/w/out.flac", 1, "pelisto: プロジェクトファイルを読み込む事が出来ません\n/w/p.PRJ"},
      {"not a project", {'W', 'A', 'V', 'E'}, "/w/out.flac", 1, "pelisto: このファイルはプロジェクトファイルではありません"},
      {"its wave file missing", test::threeEntryProject("/w/gone.wav"), "/w/out.wav", 1,
       "pelisto: waveファイルを開く事が出来ません\n/w/gone.wav"},
      {"over its source", test::threeEntryProject(), "/w/b.wav", 1,
       "pelisto: 3行目のwaveファイルには書き込めません。別の名前を指定してください\n/w/b.wav"},
  };
  for (const auto& c : cases) {
    MemFileSystem fs;
    fs.addDirectory("/w");
    fs.setContents("/w/a.wav", test::wavFile(test::patternData(4 * 200000)));
    fs.setContents("/w/b.wav", test::wavFile(test::patternData(4 * 100000)));
    if (!c.project.empty()) fs.setContents("/w/p.PRJ", c.project);
    const auto before = fs.files();
    char* text = nullptr;
    size_t size = 0;
    std::FILE* err = open_memstream(&text, &size);
    int status = 0;
    {
      ConsoleUi ui(err, "pelisto");
      Transcript played;
      RecordingMci mci(played, nullptr);
      InlineWorker worker;
      std::unique_ptr<SoundLibrary> sound = newSoundLibrary();
      AppContext ctx(ui, fs, mci, worker, *sound);
      status = writeProject(ctx, parseCommandLine({"--write", "/w/p.PRJ", c.output}));
    }
    std::fclose(err);
    const std::string told(text, size);
    std::free(text);
    EXPECT_EQ(status, c.status) << c.name;
    EXPECT_EQ(told.rfind(c.told, 0), 0u) << c.name << ": " << told;
    if (c.status == 0) {
      EXPECT_EQ(fs.contents(c.output).size() > 4, true) << c.name;
    } else {
      EXPECT_EQ(fs.files(), before) << c.name;
    }
  }
}

}  // namespace
}  // namespace pelisto
