#include "model/save_target.h"

#include <algorithm>
#include <set>

namespace pelisto {
namespace {

Status refused(const std::string& what, const std::string& path) {
  return Status::error(StatusCode::kInvalid, what + "\n" + path);
}

constexpr const char* kAskOther = "には書き込めません。別の名前を指定してください";

}  // namespace

Status checkTargetWritable(FileSystem& fs, const std::string& path) {
  auto target = fs.info(path);
  if (!target) return Status::ok();  // a new file
  if (target->kind == FileKind::kDirectory) {
    return refused("同じ名前のフォルダがあるため作成できません", path);
  }
  if (!target->writable) return refused(std::string("書き込みが禁止されているファイル") + kAskOther, path);
  return Status::ok();
}

Status checkSaveTarget(AppContext& ctx, const std::string& target, const std::string& convertSource) {
  if (Status st = checkTargetWritable(ctx.fs, target); !st) return st;
  auto same = [&](const std::string& other) {
    return !other.empty() && (target == other || ctx.fs.sameFile(target, other));
  };
  if (same(convertSource)) return refused(std::string("変換元のファイル") + kAskOther, target);
  if (same(ctx.state.WAVEFILENAME)) return refused(std::string("開いているwaveファイル") + kAskOther, target);
  const int lines = std::min<int>(ctx.list.lineCount(), static_cast<int>(ctx.state.EDITFILE.size()));
  std::set<std::string> checked;  // a long list names few files
  for (int i = 0; i < lines; ++i) {
    const std::string& source = ctx.state.EDITFILE[i][kSourcePath];
    if (!checked.insert(source).second) continue;
    if (same(source)) {
      return refused(std::to_string(i + 1) + "行目のwaveファイル" + kAskOther, target);
    }
  }
  return Status::ok();
}

}  // namespace pelisto
