// Paths of every shape the user can pick go through open, play-range and
// write unchanged: the file played is the file shown and written.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/text.h"
#include "support/play_app.h"
#include "wave/write_plan.h"

namespace pelisto::test {
namespace {

TEST(OddPaths, OpenPlayARangeAndWriteEach) {
  const struct {
    const char* source;
    const char* target;
  } cases[] = {
      {" lead.wav", " lead out.wav"},
      {"trail.wav ", "trail out.wav "},
      {"\ttab.wav", "\tout\t.wav"},
      {"  two.wav", "two  .wav"},
      {"/w/ TYPE WAVEAUDIO ALIAS X /a.wav", "/w/ TYPE WAVEAUDIO ALIAS X /o.wav"},
      {"/w/OPEN x TYPE /PLAY WAVEOBJ FROM 0 TO 1 NOTIFY/a.wav", "/w/OPEN x TYPE /CLOSE ALL.wav"},
      {"/w/ TYPE /a TYPE .wav", "/w/ TYPE /o TYPE .wav"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    PlayApp app;
    for (const char* p : {c.source, c.target}) app.fs.addDirectory(folderOf(p));
    app.fs.setContents(trimBlanks(c.source), secondsOfSound(1));  // a decoy, where it differs
    app.fs.setContents(c.source, secondsOfSound(3));
    app.openWave(c.source);
    BUTTON3_ON(app.ctx);
    PICTURE1_MOUSEDOWN(app.ctx, 1, 300, 40);  // 0.5 s
    app.ui.setScrollPos(2);
    app.ui.select(0);
    BUTTON4_ON(app.ctx);
    PICTURE1_MOUSEDOWN(app.ctx, 1, 300, 40);  // 2.5 s, past the decoy's end
    app.ui.select(0);
    BUTTON5_ON(app.ctx);
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 1);
    BUTTON2_ON(app.ctx);
    app.ui.queueAnswer({ScriptedAnswer::kSave, c.target});
    BUTTON6_ON(app.ctx);
    EXPECT_EQ(app.ctx.state.PLAYFLAG, 2);
    EXPECT_EQ(app.fs.contents(withWavExtension(c.target)).size(), 44u + 2 * kBytesPerSecond);
    for (const std::string& line : app.lines()) EXPECT_FALSE(line.starts_with("message:")) << line;
  }
}

}  // namespace
}  // namespace pelisto::test
