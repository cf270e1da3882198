// What every handler gets: the application state and the platform services.
// No hidden globals: a test builds a fresh context over fakes.
#pragma once

#include <set>
#include <string>

#include "app/app_state.h"
#include "platform/file_system.h"
#include "platform/file_table.h"
#include "platform/mci.h"
#include "platform/ui.h"
#include "platform/worker.h"

namespace pelisto {

struct AppContext {
  AppContext(Ui& ui_, FileSystem& fs_, MciDevice& mci_, Worker& worker_)
      : ui(ui_), fs(fs_), files(fs_), mci(mci_), worker(worker_) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  AppState state;
  Ui& ui;
  FileSystem& fs;
  FileTable files;
  MciDevice& mci;
  Worker& worker;  // long jobs beside the user-interface thread (the graph cache)
  MciResult lastMci;  // MCI1's result and reply text of the last command sent
  std::set<std::string> activeHandlers;  // handlers now running (no re-entry)
};

// True when a wave file is open: a name is held and its file number is an
// open file. After a rejected file the name stays but WAVEFNUM is 0.
inline bool waveFileOpen(const AppContext& ctx) {
  return !ctx.state.WAVEFILENAME.empty() && ctx.state.WAVEFNUM != 0 &&
         ctx.files.isOpen(ctx.state.WAVEFNUM);
}

}  // namespace pelisto
