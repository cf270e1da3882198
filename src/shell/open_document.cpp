#include "shell/open_document.h"

#include "model/messages.h"
#include "platform/text.h"
#include "project/project_commands.h"
#include "wave/open_wave.h"

namespace pelisto {

bool isProjectPath(const std::string& path) { return endsWithIgnoringCase(path, ".prj"); }

bool readyToOpen(const AppContext& ctx) {
  return ctx.state.PLAYFLAG == kPlayIdle && ctx.activeHandlers.empty();
}

void openDocument(AppContext& ctx, const std::string& path) {
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  if (isProjectPath(path)) {
    openProjectAt(ctx, path);
  } else {
    openWaveFileAt(ctx, path);
  }
}

void dropOnWindow(AppContext& ctx, const std::vector<std::string>& paths) {
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  // A name that is nothing yet goes on, for the open command to say so.
  auto isFolder = [&](const std::string& path) {
    auto info = ctx.fs.info(path);
    return info && info.value().kind == FileKind::kDirectory;
  };
  if (paths.size() != 1 || paths.front().empty() || isFolder(paths.front())) {
    refuse(ctx, kMsgDropOneFile);
    return;
  }
  openDocument(ctx, paths.front());
}

}  // namespace pelisto
