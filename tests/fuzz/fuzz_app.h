// A fresh application context for each input over the headless backend
// and an in-memory file system. The user interface is made once and
// emptied for each input: making its canvases costs more than most runs.
#pragma once

#include <cstdlib>

#include "model/context.h"
#include "headless/headless_ui.h"
#include "headless/inline_worker.h"
#include "headless/mem_file_system.h"
#include "headless/recording_mci.h"

namespace pelisto::fuzz {

inline void check(bool ok) {
  if (!ok) std::abort();
}

struct FuzzApp {
  MemFileSystem fs;
  HeadlessUi& ui = sharedUi();
  InlineWorker worker;
  std::unique_ptr<SoundLibrary> sound = newSoundLibrary();
  AppContext ctx{ui, fs, sharedMci(), worker, *sound};

  FuzzApp() {
    transcript().clear();
    ctx.list.clearLines();
  }

 private:
  static Transcript& transcript() {
    static Transcript t;
    return t;
  }
  static HeadlessUi& sharedUi() {
    static HeadlessUi ui(transcript());
    return ui;
  }
  static RecordingMci& sharedMci() {
    static RecordingMci mci(transcript(), nullptr);
    return mci;
  }
};

}  // namespace pelisto::fuzz
