// The automatic copy of an unsaved edit list: while the list holds changes
// not yet saved, each running program keeps the list and the open wave
// file's path in a project file of its own in the user's state folder, so
// that a crash, a kill or a power cut loses at most the last second of
// marking. The next start offers the copies of programs no longer running
// back (project/recovery_offer.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/recovery_state.h"
#include "platform/program_files.h"
#include "platform/status.h"
#include "platform/worker.h"

namespace pelisto {

struct AppContext;

// RECOVERY-PID.PRJ in the state folder.
inline constexpr const char* kRecoveryStem = "RECOVERY";
inline constexpr const char* kRecoveryExtension = ".PRJ";
// A copy is written at most this often; a change made sooner is written
// when the interval ends.
inline constexpr int64_t kRecoveryIntervalMs = 1000;
inline constexpr const char* kMsgCannotKeepCopy = "編集リストの復元用ファイルを保存出来ませんでした";

// Keeps copies of the list from now on: in files.folder (made when
// missing), written by writer, timed by clockMs.
void enableRecoveryCopy(AppContext& ctx, ProgramFiles files, Worker& writer,
                        std::function<int64_t()> clockMs);

// This program's copy: FOLDER/RECOVERY-PID.PRJ (recovery_format.h). The
// program holds the copy's lock from the moment it has that name until
// the copy goes (program_files.h).
std::string recoveryPath(const AppContext& ctx);

// Brings the copy up to date after whatever happened: written (by the
// writer) when the list or the wave file changed and the interval since
// the last write is over, removed once the list is saved again. A first
// failure is shown once. Returns in how many ms it wants to be called
// again (a change waits for its interval), or -1 when only a new change or
// the end of the write now running needs it.
int64_t keepRecoveryCopy(AppContext& ctx);

// Writes the copy now, on this thread, whatever the interval; shows a
// first failure as keepRecoveryCopy does.
Status writeRecoveryCopyNow(AppContext& ctx);

// The program ends normally: a write still running is waited for, and the
// copy removed.
void endRecoveryCopy(AppContext& ctx);

}  // namespace pelisto
