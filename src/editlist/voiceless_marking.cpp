// The voiceless button: records whether the selected entry is written
// through the voiceless transform.
#include "editlist/handlers.h"
#include "model/messages.h"

namespace pelisto {

void BUTTON14_ON(AppContext& ctx) {
  const int i = ctx.list.selected();
  if (i < 0 || i >= static_cast<int>(ctx.state.EDITDATA.size())) {
    refuse(ctx, kMsgSelectRange);
    return;
  }
  switch (ctx.ui.question(ctx.state.APPTITLE, "ボイスレスで再生しますか")) {
    case Answer::kYes: ctx.state.EDITDATA[i][kVoiceless] = 1; break;
    case Answer::kNo: ctx.state.EDITDATA[i][kVoiceless] = 0; break;
    case Answer::kCancel: break;
  }
}

}  // namespace pelisto
