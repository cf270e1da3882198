#include "view/window_title.h"

#include "model/forms.h"
#include "model/edit_list.h"
#include "model/list_state.h"

namespace pelisto {

std::string windowTitle(const AppContext& ctx) {
  std::string title = listUnsaved(ctx) ? "*" : "";
  if (waveFileOpen(ctx)) title += displayName(ctx.state.WAVEFILENAME) + " - ";
  return title + kMainTitle;
}

void showWindowTitle(AppContext& ctx) {
  const std::string title = windowTitle(ctx);
  if (ctx.ui.text(Control::MAINFORM) != title) ctx.ui.setText(Control::MAINFORM, title);
}

}  // namespace pelisto
