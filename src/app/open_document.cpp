#include "app/open_document.h"

#include "app/messages.h"
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

}  // namespace pelisto
