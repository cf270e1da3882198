// The program as the core benchmarks drive it: the headless user interface
// over the real file system, started up as the desktop program is.
#pragma once

#include <memory>
#include <string>

#include "app/context.h"
#include "app/handlers.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/inline_worker.h"
#include "platform/headless/recording_mci.h"

namespace pelisto::bench {

struct HeadlessProgram {
  Transcript transcript;
  HeadlessUi ui{transcript};
  std::unique_ptr<FileSystem> files = newPosixFileSystem();
  RecordingMci mci{transcript, nullptr};
  InlineWorker worker;
  AppContext ctx{ui, *files, mci, worker};

  HeadlessProgram() { MAINFORM_START(ctx); }
  // Opens path through the open-file command; true when it is open.
  bool open(const std::string& path) {
    ui.queueAnswer({ScriptedAnswer::kOpen, path});
    OPENWAVEFILE_ON(ctx);
    return waveFileOpen(ctx);
  }
};

}  // namespace pelisto::bench
