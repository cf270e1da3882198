// The program as the core benchmarks drive it: the headless application
// over the real file system, started up as the desktop program is, its
// media commands only recorded. Jobs run at once, or (threaded) on a
// thread of their own as on the desktop, polled by the benchmark.
#pragma once

#include <memory>
#include <string>

#include "headless/headless_app.h"
#include "system/thread_worker.h"
#include "wave/handlers.h"

namespace pelisto::bench {

struct HeadlessProgram {
  // Started at once unless told otherwise (to keep copies of unsaved
  // lists first, say).
  explicit HeadlessProgram(bool threaded = false, bool start = true)
      : headless({.fs = files.get(), .device = false, .worker = threaded ? &threadWorker : nullptr}) {
    if (start) headless.start();
  }
  // Opens path through the open-file command; true when it is open.
  bool open(const std::string& path) {
    ui.queueAnswer({ScriptedAnswer::kOpen, path});
    OPENWAVEFILE_ON(ctx);
    return waveFileOpen(ctx);
  }

  std::unique_ptr<FileSystem> files = newPosixFileSystem();
  ThreadWorker threadWorker;
  HeadlessApp headless;
  Transcript& transcript = headless.transcript();
  HeadlessUi& ui = headless.ui();
  AppContext& ctx = headless.context();
};

}  // namespace pelisto::bench
