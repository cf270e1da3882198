// Whole sessions through the scenario runner: an edit list with loop
// counts, a blank and ranges of two files is marked with the mouse (or
// loaded), ranges are marked voiceless, the list is written, and the file
// is compared with one assembled here from the sources.
#include <gtest/gtest.h>

#include "headless/script_runner.h"
#include "project/project_format.h"
#include "support/writer_fixture.h"

namespace pelisto::test {
namespace {

std::vector<std::string> runScript(FileSystem& fs, std::initializer_list<const char*> script) {
  ScriptRunner runner(fs);
  const Transcript& transcript = runner.transcript();
  runner.start();
  for (const char* line : script) runner.runLine(line);
  runner.finish();
  EXPECT_FALSE(runner.faulted());
  return transcript.lines();
}

TEST(WriterScenario, MarkedLoopedBlankedAndVoicelessRangesAreWrittenAsAssembledFromTheSources) {
  MemFileSystem fs;
  fs.addDirectory("/w");
  const std::vector<uint8_t> a = patternData(4 * 88200, 7, 3), b = patternData(4 * 44100, 11, 5);
  fs.setContents("/w/a.wav", wavFile(a));
  fs.setContents("/w/b.wav", wavFile(b));
  // One pixel column is 73.5 frames: x 60..66 is frames 4410..4851, x 300..312 is 22050..22932.
  auto lines = runScript(fs, {
      "answer open /w/a.wav", "menu OpenWaveFile",
      "click BUTTON3", "mouse PICTURE1 down 1 60 40", "click BUTTON4", "mouse PICTURE1 down 1 66 40",
      "select 0", "answer input 3", "click BUTTON7",     // loop count 3
      "answer input 0.01", "click BUTTON11",             // a blank of 441 frames
      "answer open /w/b.wav", "menu OpenWaveFile",
      "click BUTTON3", "mouse PICTURE1 down 1 300 40", "click BUTTON4", "mouse PICTURE1 down 1 312 40",
      "select 2", "answer yes", "click BUTTON14",        // voiceless
      "select 0", "answer yes", "click BUTTON14", "select 0", "answer no", "click BUTTON14",
      "answer save /w/joined", "click BUTTON6", "print PLAYFLAG", "print row 0", "print row 2"});
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "PLAYFLAG: 2");
  EXPECT_EQ(lines[lines.size() - 2].substr(lines[lines.size() - 2].find('|', 10)), "| a.wav | 4410 4851 100 110 3 0 0 0");
  EXPECT_EQ(lines.back().substr(lines.back().find('|', 10)), "| b.wav | 22050 22932 500 520 1 1 0 0");

  std::vector<uint8_t> payload = repeat(slice(a, 4 * 4410, 4 * 441), 3);
  payload = join(payload, std::vector<uint8_t>(4 * 441, 0));
  payload = join(payload, voiceless(slice(b, 4 * 22050, 2 * 1764)));  // 3528 bytes: two blocks
  EXPECT_EQ(fs.contents("/w/joined.WAV"), wavFile(payload));
}

TEST(WriterScenario, AMarkedListIsWrittenAsAssembledFromTheSources) {
  MemFileSystem fs;
  fs.addDirectory("/w");
  const std::vector<uint8_t> a = patternData(4 * 3000, 7, 3), b = patternData(4 * 2000, 11, 5);
  fs.setContents("/w/a.wav", wavFile(a));
  fs.setContents("/w/b.wav", wavFile(b));
  Project project;
  project.waveFileName = "/w/a.wav";
  project.entries = {
      {{"/w/a.wav", "a.wav"}, {100, 350, 0, 0, 2, 0, 0, 0}},    // twice
      {{"", "BRANK"}, {0, 1000, 0, 0, 0, 0, 0, 0}},             // 1000 frames of silence
      {{"/w/b.wav", "b.wav"}, {10, 1310, 0, 0, 1, 0, 0, 0}},    // marked voiceless below
      {{"/w/a.wav", "a.wav"}, {2900, 3000, 0, 0, 0, 0, 0, 0}},  // loop 0: once, up to the end
      {{"/w/b.wav", "b.wav"}, {1500, 2000, 0, 0, 1, 1, 0, 0}},  // unmarked below
  };
  auto bytes = encodeProject(project);
  ASSERT_TRUE(bytes.isOk());
  fs.setContents("/w/list.prj", bytes.value());

  ScriptRunner runner(fs);
  const Transcript& transcript = runner.transcript();
  runner.start();
  for (const char* line : {"answer open /w/list.prj", "menu OpenProject", "select 2", "answer yes",
                           "click BUTTON14", "select 4", "answer no", "click BUTTON14",
                           "answer save /w/joined", "click BUTTON6", "print PLAYFLAG"}) {
    runner.runLine(line);
  }
  runner.finish();
  ASSERT_FALSE(runner.faulted());
  const auto& lines = transcript.lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
            (std::vector<std::string>{"mci: OPEN /w/joined.WAV TYPE WAVEAUDIO ALIAS WAVEOBJ",
                                      "mci: SET WAVEOBJ TIMEFORMAT MILLISECONDS",
                                      "mci: PLAY WAVEOBJ NOTIFY", "PLAYFLAG: 2"}));

  std::vector<uint8_t> payload = repeat(slice(a, 400, 1000), 2);
  payload = join(payload, std::vector<uint8_t>(4000, 0));
  payload = join(payload, voiceless(slice(b, 40, 3 * 1764)));  // 5200 bytes: three blocks
  payload = join(payload, slice(a, 11600, 400));
  payload = join(payload, slice(b, 6000, 2000));
  EXPECT_EQ(fs.contents("/w/joined.WAV"), wavFile(payload));
}

}  // namespace
}  // namespace pelisto::test
