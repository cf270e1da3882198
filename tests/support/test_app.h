// A fresh application over the headless backend and an in-memory file
// system, for handler tests. Media commands are recorded and answered with
// success unless a test gives the recorder a device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editlist/handlers.h"
#include "headless/headless_app.h"
#include "model/context.h"
#include "model/forms.h"
#include "playback/handlers.h"
#include "project/handlers.h"
#include "shell/handlers.h"
#include "view/handlers.h"
#include "wave/handlers.h"
#include "platform/coding.h"
#include "platform/riff.h"

namespace pelisto::test {

struct TestApp {
  // Jobs run to their end when started, or (manualJobs) step by step on
  // the test's request through manualWorker.
  explicit TestApp(bool manualJobs = false)
      : TestApp(HeadlessOptions{.device = false, .manualJobs = manualJobs}) {}
  explicit TestApp(HeadlessOptions options) : headless(options) {}

  HeadlessApp headless;
  Transcript& transcript = headless.transcript();
  HeadlessUi& ui = headless.ui();
  MemFileSystem& fs = headless.memFs();
  RecordingMci& mci = headless.mci();
  ManualWorker& manualWorker = headless.manualWorker();
  AppContext& ctx = headless.context();

  // Runs start-up, as the program does before the first input.
  TestApp& started() {
    headless.start();
    return *this;
  }
  // Opens path through the open-file command with a scripted answer.
  void openWave(const std::string& path) {
    ui.queueAnswer({ScriptedAnswer::kOpen, path});
    OPENWAVEFILE_ON(ctx);
  }
  const std::vector<std::string>& lines() const { return transcript.lines(); }
  // The pixels of PICTURE1, row by row.
  std::vector<uint32_t> picture() {
    Canvas& pic = ui.canvas(Control::PICTURE1);
    return std::vector<uint32_t>(pic.pixels(), pic.pixels() + pic.width() * pic.height());
  }
};

// A canonical 16-bit stereo 44.1 kHz file whose data is `data`.
inline std::vector<uint8_t> wavFile(const std::vector<uint8_t>& data) {
  const std::vector<uint8_t> header = riff::canonicalHeader(static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> f(header.size() + data.size());
  for (size_t i = 0; i < header.size(); ++i) f[i] = header[i];
  for (size_t i = 0; i < data.size(); ++i) f[header.size() + i] = data[i];
  return f;
}

// `bytes` bytes of data where byte i is (i * mul + add) & 0xff.
inline std::vector<uint8_t> patternData(size_t bytes, unsigned mul = 7, unsigned add = 3) {
  std::vector<uint8_t> d(bytes);
  for (size_t i = 0; i < bytes; ++i) d[i] = uint8_t(i * mul + add);
  return d;
}

}  // namespace pelisto::test
