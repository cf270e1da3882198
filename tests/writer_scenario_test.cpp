// A whole session through the scenario runner: an edit list with loop
// counts, a blank and ranges of two files is loaded, one range is marked
// voiceless and another unmarked, the list is written, and the file is
// compared with one assembled here from the sources.
#include <gtest/gtest.h>

#include "platform/headless/script_runner.h"
#include "project/project_format.h"
#include "support/writer_fixture.h"

namespace pelisto::test {
namespace {

TEST(WriterScenario, AMarkedListIsWrittenAsAssembledFromTheSources) {
  MemFileSystem fs;
  fs.addDirectory("/w");
  const std::vector<uint8_t> a = patternData(4 * 3000, 7, 3), b = patternData(4 * 2000, 11, 5);
  fs.setContents("/w/a.wav", waveBytes(a));
  fs.setContents("/w/b.wav", waveBytes(b));
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

  Transcript transcript;
  ScriptRunner runner(fs, transcript);
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
  EXPECT_EQ(fs.contents("/w/joined.WAV"), waveBytes(payload));
}

}  // namespace
}  // namespace pelisto::test
