// What every handler gets: the application state and the platform services.
// No hidden globals: a test builds a fresh context over fakes.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "model/app_state.h"
#include "model/edit_list.h"
#include "model/list_history.h"
#include "model/recovery_state.h"
#include "platform/file_system.h"
#include "platform/file_table.h"
#include "platform/mci.h"
#include "platform/program_files.h"
#include "platform/sound_library.h"
#include "platform/ui.h"
#include "platform/worker.h"

namespace pelisto {

struct LoudnessAhead;  // the list's loudness measured behind the window (wave/loudness_ahead.h)

struct AppContext {
  // Every service is the backend's, made by it and outliving the context.
  AppContext(Ui& ui_, FileSystem& fs_, MciDevice& mci_, Worker& worker_, SoundLibrary& sound_)
      : ui(ui_),
        list(state, ui_),
        fs(fs_),
        files(fs_),
        mci(mci_),
        worker(worker_),
        sound(sound_) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  AppState state;
  ListHistory history;  // of the edit list, for undo and redo
  Ui& ui;
  EditList list;  // shown in LIST1
  FileSystem& fs;
  FileTable files;
  MciDevice& mci;
  Worker& worker;  // long jobs beside the user-interface thread (the graph cache)
  // Where this program keeps files of its own (the graph cache), named
  // apart from those of other copies running. The program sets the cache
  // folder of the user; a fresh context keeps them in the current directory.
  ProgramFiles own;
  // The automatic copy of an unsaved edit list (off until the program
  // names the state folder).
  RecoveryCopy recovery;
  // The graph cache once the fast display is off: it stays on disk, and
  // open, so that it stays this program's (program_files.h).
  std::unique_ptr<File> switchedOffCache;
  std::unique_ptr<File> joinListenLock;  // the sound of a join while it plays, likewise
  std::shared_ptr<LoudnessAhead> loudnessAhead;  // made at its first use
  SoundLibrary& sound;  // decoding other sound formats, resampling
  MciResult lastMci;  // MCI1's result and reply text of the last command sent
  // The handlers now running, by their place in the handler table
  // (shell/events.cpp): none is entered again while it runs.
  std::set<int> activeHandlers;
  bool closeRefused = false;             // the last close request was refused
};

// True when a wave file is open: a name is held and its file number is an
// open file. After a rejected file the name stays but WAVEFNUM is 0.
inline bool waveFileOpen(const AppContext& ctx) {
  return !ctx.state.WAVEFILENAME.empty() && ctx.state.WAVEFNUM != 0 &&
         ctx.files.isOpen(ctx.state.WAVEFNUM);
}

}  // namespace pelisto
