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
  EditDataRow row = ctx.state.EDITDATA[i];
  switch (ctx.ui.question(ctx.state.APPTITLE, "ボイスレスで再生しますか")) {
    case Answer::kYes: row[kVoiceless] = 1; break;
    case Answer::kNo: row[kVoiceless] = 0; break;
    case Answer::kCancel: return;
  }
  ctx.list.setData(i, row);
}

}  // namespace pelisto
