#include "project/recovery_offer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "model/edit_list.h"
#include "model/messages.h"
#include "platform/local_time.h"
#include "project/project_commands.h"
#include "project/recovery_copy.h"
#include "project/recovery_format.h"
#include "view/markers.h"
#include "view/window_title.h"

namespace pelisto {
namespace {

struct LeftCopy {
  std::string path;
  int64_t modifiedNs = 0;
  CopySummary summary;
};

// A copy the user discarded that could not be removed is remembered under
// its name and time (a later copy of the same name is another one).
std::string discardedKey(const LeftCopy& copy) {
  return "recovery-discarded:" + displayName(copy.path) + ":" + std::to_string(copy.modifiedNs);
}

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

// The copies of programs no longer running, newest first, each read at its
// two ends only; the paths of those that could not be read are added to
// unreadable. Copies discarded earlier that could not be removed are
// passed over (and removed now when they can be).
std::vector<LeftCopy> readLeftCopies(AppContext& ctx, std::string& unreadable) {
  std::vector<LeftCopy> copies;
  for (const std::string& path : staleFiles(ctx.fs, ctx.recovery.files, kRecoveryStem, kRecoveryExtension)) {
    auto info = ctx.fs.info(path);
    if (!info) continue;  // another program starting took it meanwhile
    LeftCopy copy{path, info.value().modifiedNs, {}};
    if (ctx.ui.rememberedChoice(discardedKey(copy))) {
      if (ctx.fs.remove(path)) ctx.ui.rememberChoice(discardedKey(copy), false);
      continue;
    }
    auto file = ctx.fs.open(path, OpenMode::kRead);
    auto summary = file ? readCopySummary(*file.value()) : Result<CopySummary>(file.status());
    if (!summary && summary.status().code() == StatusCode::kNotFound) continue;
    if (!summary) {
      unreadable.append("\n").append(setAsideUnreadable(ctx, path));
      continue;
    }
    copy.summary = std::move(summary.value());
    copies.push_back(std::move(copy));
  }
  std::sort(copies.begin(), copies.end(), [](const LeftCopy& a, const LeftCopy& b) {
    return a.modifiedNs != b.modifiedNs ? a.modifiedNs > b.modifiedNs : a.path < b.path;
  });
  return copies;
}

// The whole copy, read while its lock is held (so that no other program
// starting meanwhile offers it too).
Result<RecoveredList> readCopy(AppContext& ctx, const std::string& path) {
  std::unique_ptr<File> file;
  const Keeping keeping = claimFile(ctx.fs, path, file);
  if (keeping == Keeping::kKept || keeping == Keeping::kGone || !file) {
    return Status::error(StatusCode::kNotFound, "ファイルが見つかりません");
  }
  auto size = file->size();
  if (!size) return size.status();
  if (size.value() > kMaxCopyBytes) return Status::error(StatusCode::kLimit, "ファイルが大きすぎます");
  std::vector<uint8_t> bytes(static_cast<size_t>(size.value()));
  auto got = file->read(0, bytes.data(), bytes.size());
  if (!got) return got.status();
  bytes.resize(got.value());
  return decodeRecoveryCopy(bytes);
}

// Removes the copies; those that stay are remembered as discarded and
// named in one message.
void removeCopies(AppContext& ctx, const std::vector<const LeftCopy*>& copies) {
  std::string left;
  for (const LeftCopy* copy : copies) {
    Status st = ctx.fs.remove(copy->path);
    if (st || st.code() == StatusCode::kNotFound) continue;
    ctx.ui.rememberChoice(discardedKey(*copy), true);
    left.append("\n").append(copy->path);
  }
  if (!left.empty()) refuse(ctx, std::string(kMsgCannotRemoveCopies) + left);
}

bool restore(AppContext& ctx, const LeftCopy& copy) {
  Result<RecoveredList> list = readCopy(ctx, copy.path);
  if (!list) {
    refuse(ctx, std::string(kMsgCannotReadCopy) + "\n" + copy.path + "\n" + list.status().message());
    return false;
  }
  loadProject(ctx, std::move(list.value().project));
  // The line that was selected, with its markers, the view staying at
  // second 0 as after any project load.
  const int selected = list.value().selected;
  if (selected >= 0 && selected < ctx.list.lineCount()) {
    ctx.list.select(selected);
    markersFollowList(ctx);
  }
  // Loaded, yet saved nowhere: a revision no saved state has keeps it
  // unsaved, so that the title marks it and closing asks.
  markListUnsaved(ctx);
  showWindowTitle(ctx);
  if (writeRecoveryCopyNow(ctx)) removeCopies(ctx, {&copy});
  return true;
}

std::string questionText(const std::vector<LeftCopy>& copies, const std::vector<std::string>& names) {
  if (copies.size() == 1) return std::string(kAskRestoreList) + "\n" + names[0] + "\n" + kAskRestoreOne;
  return "前回保存されなかった編集リストが" + std::to_string(copies.size()) + "個あります。\n" +
         kAskRestoreOfSeveral;
}

bool offer(AppContext& ctx) {
  avoidHeldNames(ctx.fs, ctx.recovery.files, {{kRecoveryStem, kRecoveryExtension}});
  setAsideOwnName(ctx);
  std::string unreadable;
  const std::vector<LeftCopy> copies = readLeftCopies(ctx, unreadable);
  if (!unreadable.empty()) refuse(ctx, std::string(kMsgUnreadableCopies).append(unreadable));
  if (copies.empty()) return false;
  std::vector<std::string> names;
  for (const LeftCopy& c : copies) {
    names.push_back(copyDescription(c.summary.waveFileName, c.summary.lines, c.modifiedNs, ctx.fs.startedNs()));
  }
  const RecoveryReply reply =
      ctx.ui.askRecovery(ctx.state.APPTITLE, questionText(copies, names), copies.size() > 1 ? names : std::vector<std::string>{});
  switch (reply.action) {
    case RecoveryReply::kRestore:
      return restore(ctx, copies[std::clamp<size_t>(static_cast<size_t>(std::max(reply.list, 0)), 0, copies.size() - 1)]);
    case RecoveryReply::kDiscard: {
      std::vector<const LeftCopy*> all;
      for (const LeftCopy& c : copies) all.push_back(&c);
      removeCopies(ctx, all);
      return false;
    }
    case RecoveryReply::kLater: return false;
  }
  return false;
}

}  // namespace

std::string copyDescription(const std::string& waveFileName, int lines, int64_t changedNs, int64_t nowNs) {
  const LocalTime t = localTimeOf(changedNs);
  std::string when = t.year != localTimeOf(nowNs).year ? std::to_string(t.year) + "年" : std::string();
  when += std::to_string(t.month) + "月" + std::to_string(t.day) + "日 " + std::to_string(t.hour) + ":" +
          (t.minute < 10 ? "0" : "") + std::to_string(t.minute);
  const std::string name = waveFileName.empty() ? "waveファイルのない編集リスト" : displayName(waveFileName) + " の編集リスト";
  return name + "（" + std::to_string(lines) + " 行、" + when + "）";
}

bool offerRecoveredLists(AppContext& ctx) {
  if (ctx.recovery.files.folder.empty()) return false;
  // However many and however large the copies, the start goes on.
  try {
    return offer(ctx);
  } catch (const std::bad_alloc&) {
    refuse(ctx, kMsgOutOfMemory);
  }
  return false;
}

}  // namespace pelisto
