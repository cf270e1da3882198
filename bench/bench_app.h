// The program as the core benchmarks drive it: the headless user interface
// over the real file system, started up as the desktop program is. Jobs
// run at once, or (threaded) on a thread of their own as on the desktop,
// polled by the benchmark.
#pragma once

#include <memory>
#include <string>

#include "app/context.h"
#include "app/handlers.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/inline_worker.h"
#include "platform/headless/recording_mci.h"
#include "platform/thread_worker.h"

namespace pelisto::bench {

struct HeadlessProgram {
  Transcript transcript;
  HeadlessUi ui{transcript};
  std::unique_ptr<FileSystem> files = newPosixFileSystem();
  RecordingMci mci{transcript, nullptr};
  InlineWorker inlineWorker;
  ThreadWorker threadWorker;
  AppContext ctx;

  explicit HeadlessProgram(bool threaded = false)
      : ctx(ui, *files, mci, threaded ? static_cast<Worker&>(threadWorker) : inlineWorker) {
    MAINFORM_START(ctx);
  }
  // Opens path through the open-file command; true when it is open.
  bool open(const std::string& path) {
    ui.queueAnswer({ScriptedAnswer::kOpen, path});
    OPENWAVEFILE_ON(ctx);
    return waveFileOpen(ctx);
  }
};

}  // namespace pelisto::bench
