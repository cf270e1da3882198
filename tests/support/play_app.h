// A TestApp whose media device is the simulated one, its completions held
// in a queue as the backend's event queue would hold them.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "support/test_app.h"

namespace pelisto::test {

struct PlayApp : TestApp {
  PlayApp() : TestApp(HeadlessOptions{}) {
    fs.addDirectory("/w");
    started();
  }
  // Makes path the open wave file of the view (as a successful open leaves
  // it), with the scroll range of its length.
  void openInView(const std::string& path, const std::vector<uint8_t>& bytes) {
    fs.setContents(path, bytes);
    const int16_t num = ctx.files.freeFile();
    ASSERT_TRUE(ctx.files.open(num, path, OpenMode::kRead).isOk());
    ctx.state.WAVEFILENAME = path;
    ctx.state.WAVEFNUM = num;
    ui.setScrollRange(0, int((bytes.size() - kHeaderSize) / kBytesPerSecond));
  }
  // Puts an entry of path from startMs to endMs in row i and selects it.
  void entry(int i, const std::string& path, int32_t startMs, int32_t endMs) {
    ctx.state.EDITFILE[i] = {path, "name"};
    ctx.state.EDITDATA[i][2] = startMs;
    ctx.state.EDITDATA[i][3] = endMs;
    while (ctx.list.lineCount() <= i) ctx.list.addLine("line");
    ui.select(i);
  }
  // Moves the device's clock: completions that fall due wait in pending().
  void advance(int64_t ms) { headless.advanceDevice(ms); }
  const std::deque<MciNotify>& pending() const { return headless.pending(); }
  // Runs MCI1_DONE for every queued completion, in order.
  int deliver() { return headless.deliverPending(); }
  // Transcript lines from index `from` on.
  std::vector<std::string> linesFrom(size_t from) const {
    return std::vector<std::string>(lines().begin() + long(from), lines().end());
  }
};

// Seconds of 16-bit stereo 44.1 kHz sound.
inline std::vector<uint8_t> secondsOfSound(int seconds) {
  return wavFile(patternData(size_t(seconds) * kBytesPerSecond));
}

}  // namespace pelisto::test
