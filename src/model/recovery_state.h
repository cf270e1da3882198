// What the context keeps of the automatic copy of an unsaved edit list
// (project/recovery_copy.h makes and removes the copies).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/program_files.h"
#include "platform/worker.h"

namespace pelisto {

// What a copy holds: the list's revision, the wave file's path and the
// selected line.
struct RecoveryKey {
  uint64_t revision = 0;
  std::string wave;
  int selected = -1;
  bool operator==(const RecoveryKey&) const = default;
};

struct RecoveryJob;  // a write handed to the writer, and its outcome

struct RecoveryCopy {
  // Set up by the program (enableRecoveryCopy); a fresh context keeps no copy.
  ProgramFiles files;               // folder: the state folder; empty: no copy
  Worker* writer = nullptr;         // writes beside the user-interface thread
  std::function<int64_t()> clockMs;  // a clock that never goes back, in ms

  // Kept by the functions of project/recovery_copy.h.
  bool onDisk = false;        // this program's copy exists, holding `held`
  RecoveryKey held;
  std::unique_ptr<File> lock;  // the copy, open: its lock makes it this program's
  std::shared_ptr<RecoveryJob> running;  // a write handed to the writer
  std::shared_ptr<RecoveryJob> done;     // a write whose outcome is yet to be seen
  bool everWritten = false;
  int64_t lastWriteMs = 0;    // when the last write was handed over
  bool failed = false;        // the write of `failedKey` failed
  RecoveryKey failedKey;
  bool failureShown = false;  // the one message of the session has been shown
};

}  // namespace pelisto
