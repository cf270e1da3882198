#include "project/recovery_offer.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "model/messages.h"
#include "view/window_title.h"
#include "project/project_commands.h"
#include "project/recovery_copy.h"
#include "view/markers.h"

namespace pelisto {
namespace {

struct LeftCopy {
  std::string path;
  int64_t modifiedNs = 0;
  Project project;
  int selected = -1;
};

// A copy under this program's own name was left by an earlier program that
// had the same process id (after a restart, say): it is moved to a name no
// running program can have (an id above the system's range), so that it is
// offered like the others and never written over.
void setAsideOwnName(AppContext& ctx) {
  const std::string own = recoveryPath(ctx);
  if (!ctx.fs.info(own)) return;
  ProgramFiles other = ctx.recovery.files;
  for (int64_t n = 1; n < 100; ++n) {
    other.id = ctx.recovery.files.id + (n << 32);
    const std::string path = other.path(kRecoveryStem, kRecoveryExtension);
    if (!ctx.fs.info(path)) {
      ctx.fs.rename(own, path);
      return;
    }
  }
}

// Moves a copy that cannot be read out of the way of the offers; its new
// path, or the old one when it could not move.
std::string setAsideUnreadable(AppContext& ctx, const std::string& path) {
  const std::string stem = path.substr(0, path.size() - std::strlen(kRecoveryExtension)) + "-unreadable";
  for (int n = 1; n < 100; ++n) {
    std::string to = stem;
    if (n > 1) to.append("-").append(std::to_string(n));
    to += kRecoveryExtension;
    if (ctx.fs.info(to)) continue;
    return ctx.fs.rename(path, to) ? to : path;
  }
  return path;
}

// The copies of programs no longer running, read and checked, newest
// first; the paths of those that could not be read are added to unreadable.
std::vector<LeftCopy> readLeftCopies(AppContext& ctx, std::string& unreadable) {
  std::vector<LeftCopy> copies;
  for (const std::string& path : staleFiles(ctx.fs, ctx.recovery.files, kRecoveryStem, kRecoveryExtension)) {
    auto info = ctx.fs.info(path);
    if (!info) continue;  // another program starting took it meanwhile
    auto bytes = readProjectFile(ctx, path);
    if (!bytes && bytes.status().code() == StatusCode::kNotFound) continue;
    auto project = bytes ? decodeProject(bytes.value(), kMaxEditRows) : Result<Project>(bytes.status());
    if (!project) {
      unreadable.append("\n").append(setAsideUnreadable(ctx, path));
      continue;
    }
    const int selected = recoveredSelection(bytes.value(), project.value().length);
    copies.push_back(LeftCopy{path, info.value().modifiedNs, std::move(project.value()), selected});
  }
  std::sort(copies.begin(), copies.end(), [](const LeftCopy& a, const LeftCopy& b) {
    return a.modifiedNs != b.modifiedNs ? a.modifiedNs > b.modifiedNs : a.path < b.path;
  });
  return copies;
}

void restore(AppContext& ctx, LeftCopy& copy) {
  loadProject(ctx, std::move(copy.project));
  // The line that was selected, with its markers, the view staying at
  // second 0 as after any project load.
  if (copy.selected >= 0 && copy.selected < ctx.list.lineCount()) {
    ctx.list.select(copy.selected);
    markersFollowList(ctx);
  }
  // Loaded, yet saved nowhere: a revision no saved state has keeps it
  // unsaved, so that the title marks it and closing asks.
  ctx.state.listRevision = ++ctx.state.lastRevision;
  showWindowTitle(ctx);
  if (writeRecoveryCopyNow(ctx)) ctx.fs.remove(copy.path);
}

}  // namespace

bool offerRecoveredLists(AppContext& ctx) {
  if (ctx.recovery.files.folder.empty()) return false;
  setAsideOwnName(ctx);
  std::string unreadable;
  std::vector<LeftCopy> copies = readLeftCopies(ctx, unreadable);
  if (!unreadable.empty()) refuse(ctx, std::string(kMsgUnreadableCopies).append(unreadable));
  for (LeftCopy& copy : copies) {
    switch (ctx.ui.question(ctx.state.APPTITLE, kAskRestoreList)) {
      case Answer::kYes: restore(ctx, copy); return true;
      case Answer::kNo: ctx.fs.remove(copy.path); break;
      case Answer::kCancel: return false;
    }
  }
  return false;
}

}  // namespace pelisto
