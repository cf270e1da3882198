// The handlers of project files.
#pragma once

#include "model/context.h"

namespace pelisto {

// ファイル → プロジェクトを開く: asks for a project file, loads its edit
// list and opens its wave file.
void OPENPROJECT_ON(AppContext& ctx);
// ファイル → プロジェクトの保存: asks for a name and saves the edit list.
void SAVEPROJECT_ON(AppContext& ctx);
// ファイル → 上書き保存: saves the edit list to the project file it came
// from or was last saved to, without a question; asks for a name as
// プロジェクトの保存 does when there is none.
void SAVEPROJECTAGAIN_ON(AppContext& ctx);

}  // namespace pelisto
