// The create-wave-file command: the edit list joined into a new file of
// the type the user chooses, which then plays.
#include <algorithm>
#include <optional>
#include <vector>

#include "model/messages.h"
#include "platform/file_system.h"
#include "playback/play_file.h"
#include "shell/handlers.h"
#include "shell/write_list.h"
#include "wave/output_type.h"
#include "wave/write_plan.h"

namespace pelisto {
namespace {

// Where the dialog starts: the folder of the file last written, else that
// of the open wave file (else the dialog's own choice).
std::string writeFolder(const AppContext& ctx) {
  auto folder = [](const std::string& path) {
    const std::string f = folderOf(path);
    return f == "/" ? f : f + "/";
  };
  if (!ctx.state.lastWrittenPath.empty()) return folder(ctx.state.lastWrittenPath);
  if (waveFileOpen(ctx)) return folder(ctx.state.WAVEFILENAME);
  return std::string();
}

// The dialog's filters: WAV first, then each type this system's library
// writes; the one shown at first is that of the type last written.
struct TypeFilters {
  std::vector<OutputType> types;  // by filter
  FileDialogSpec spec{kWriteTitle, kWriteFilterText, kWritePattern, true};
};

TypeFilters typeFilters(AppContext& ctx) {
  TypeFilters filters;
  const std::optional<OutputType> last = outputTypeNamed(ctx.state.writeType);
  for (const OutputTypeInfo& info : outputTypes()) {
    if (info.encoded && !ctx.sound.canEncode(*info.encoded)) continue;
    if (info.type == last) filters.spec.filter = filters.types.size();
    if (!filters.types.empty()) filters.spec.moreFilters.push_back({info.filterText, info.pattern});
    filters.types.push_back(info.type);
  }
  filters.spec.initialPath = writeFolder(ctx);
  return filters;
}

}  // namespace

void BUTTON6_ON(AppContext& ctx) {
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  // The list is checked in full before a name is asked for.
  Result<WritePlan> plan = planWaveFile(ctx);
  if (!plan) {
    refuse(ctx, plan.status().message());
    return;
  }

  const TypeFilters filters = typeFilters(ctx);
  std::optional<FileChoice> chosen = ctx.ui.chooseFile(filters.spec);
  if (!chosen) return;
  const OutputType picked = filters.types.at(std::min(chosen->filter, filters.types.size() - 1));
  const OutputPath output = outputPathFor(chosen->path, picked);
  ctx.state.writeType = outputTypeInfo(output.type).key;
  ctx.ui.rememberName(kWriteTypeChoice, ctx.state.writeType);

  const WriteOutcome outcome = writeListTo(ctx, plan.value(), {output.path, output.type, ctx.state.loudness});
  if (!outcome.ok) {
    refuse(ctx, outcome.text);
    return;
  }
  ctx.state.lastWrittenPath = output.path;
  if (!outcome.text.empty()) ctx.ui.notice(outcome.text);
  // The new file plays untracked; a refusal of the device leaves nothing
  // playing.
  if (Status st = startPlay(ctx, PlaySession{PlayKind::kWritten, output.path}, "PLAY WAVEOBJ NOTIFY"); !st) {
    refuse(ctx, "作成したWaveファイルを" + st.message());
    return;
  }
  markUntrackedPlay(ctx);
}

}  // namespace pelisto
