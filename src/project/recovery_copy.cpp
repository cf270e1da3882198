#include "project/recovery_copy.h"

#include <utility>
#include <vector>

#include "model/context.h"
#include "model/messages.h"
#include "model/list_state.h"
#include "platform/replace_file.h"
#include "platform/user_folders.h"
#include "project/project_commands.h"
#include "project/project_format.h"
#include "project/recovery_format.h"

namespace pelisto {

// The list is taken as it stands on the user-interface thread (a copy of
// its rows); the writer makes the bytes (the texts' conversion to CP932 is
// the costly part of a long list), makes the folder and replaces the file.
struct RecoveryJob {
  FileSystem& fs;
  std::string folder;
  std::string path;
  RecoveryKey key;
  Project list;
  Status result;  // set by the write (on the writer's thread) before its finish
  std::unique_ptr<File> written;  // the new copy, open and locked
};

namespace {

bool enabled(const AppContext& ctx) { return !ctx.recovery.files.folder.empty(); }

int64_t nowMs(const AppContext& ctx) {
  return ctx.recovery.clockMs ? ctx.recovery.clockMs() : 0;
}

RecoveryKey currentKey(const AppContext& ctx) {
  return RecoveryKey{ctx.state.listRevision, ctx.state.WAVEFILENAME, ctx.list.selected()};
}

// A write of the list as it stands.
std::shared_ptr<RecoveryJob> newJob(AppContext& ctx) {
  RecoveryCopy& r = ctx.recovery;
  r.everWritten = true;
  r.lastWriteMs = nowMs(ctx);
  return std::make_shared<RecoveryJob>(
      RecoveryJob{ctx.fs, r.files.folder, recoveryPath(ctx), currentKey(ctx), projectOf(ctx), Status::ok(), nullptr});
}

// The write itself: the list's bytes (or why it cannot be stored), the
// folder made when missing, the file replaced whole and kept open.
Status writeCopy(RecoveryJob& job) {
  auto bytes = encodeRecoveryCopy(std::move(job.list), job.key.selected);
  if (!bytes) return bytes.status();
  if (Status made = makeFolders(job.fs, job.folder); !made) return made;
  const std::vector<uint8_t>& data = bytes.value();
  auto written = replaceFileKeeping(job.fs, job.path,
                                    [&data](File& file) { return file.write(0, data.data(), data.size()); });
  if (!written) return written.status();
  job.written = std::move(written.value());
  return Status::ok();
}

// A finished write: what the file holds now, or the failure (shown only
// the first time in a session; editing goes on either way).
void noteOutcome(AppContext& ctx, RecoveryJob& job) {
  RecoveryCopy& r = ctx.recovery;
  r.failed = !job.result;
  if (job.result) {
    r.onDisk = true;
    r.held = job.key;
    r.lock = std::move(job.written);
    return;
  }
  r.failedKey = job.key;
  if (r.failureShown) return;
  r.failureShown = true;
  refuse(ctx, std::string(kMsgCannotKeepCopy) + "\n" + job.path + "\n" + job.result.message());
}

void collectOutcome(AppContext& ctx) {
  if (!ctx.recovery.done) return;
  std::shared_ptr<RecoveryJob> job = std::move(ctx.recovery.done);
  ctx.recovery.done = nullptr;
  noteOutcome(ctx, *job);
}

void startWrite(AppContext& ctx) {
  RecoveryCopy& r = ctx.recovery;
  std::shared_ptr<RecoveryJob> job = newJob(ctx);
  r.running = job;
  r.writer->start([job] { job->result = writeCopy(*job); return false; }, nullptr,
                  [&r, job] {
                    r.running = nullptr;
                    r.done = job;
                  });
  collectOutcome(ctx);  // a writer may finish inside start
}

// Waits for a write still running; its outcome no longer matters.
void stopWriter(RecoveryCopy& r) {
  if (r.running) r.writer->cancel();
  r.running = nullptr;
  r.done = nullptr;
}

}  // namespace

void enableRecoveryCopy(AppContext& ctx, ProgramFiles files, Worker& writer,
                        std::function<int64_t()> clockMs) {
  RecoveryCopy& r = ctx.recovery;
  r.files = std::move(files);
  r.writer = &writer;
  r.clockMs = std::move(clockMs);
}

std::string recoveryPath(const AppContext& ctx) {
  return ctx.recovery.files.path(kRecoveryStem, kRecoveryExtension);
}

int64_t keepRecoveryCopy(AppContext& ctx) {
  if (!enabled(ctx)) return -1;
  RecoveryCopy& r = ctx.recovery;
  collectOutcome(ctx);
  if (r.running) return -1;  // its finish comes back here
  if (!listUnsaved(ctx)) {
    if (r.onDisk) ctx.fs.remove(recoveryPath(ctx));
    r.lock.reset();
    r.onDisk = false;
    r.failed = false;
    return -1;
  }
  const RecoveryKey key = currentKey(ctx);
  if ((r.onDisk && r.held == key) || (r.failed && r.failedKey == key)) return -1;
  if (r.everWritten) {
    const int64_t wait = r.lastWriteMs + kRecoveryIntervalMs - nowMs(ctx);
    if (wait > 0) return wait;
  }
  startWrite(ctx);
  return -1;
}

Status writeRecoveryCopyNow(AppContext& ctx) {
  if (!enabled(ctx)) return Status::ok();
  stopWriter(ctx.recovery);
  std::shared_ptr<RecoveryJob> job = newJob(ctx);
  job->result = writeCopy(*job);
  noteOutcome(ctx, *job);
  return job->result;
}

void endRecoveryCopy(AppContext& ctx) {
  if (!enabled(ctx)) return;
  stopWriter(ctx.recovery);
  ctx.fs.remove(recoveryPath(ctx));
  ctx.recovery.lock.reset();
  ctx.recovery.onDisk = false;
}

}  // namespace pelisto
