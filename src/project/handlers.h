// The handlers of project files.
#pragma once

#include "model/context.h"

namespace pelisto {

// ファイル → プロジェクトを開く: asks for a project file, loads its edit
// list and opens its wave file.
void OPENPROJECT_ON(AppContext& ctx);
// ファイル → プロジェクトの保存: asks for a name and saves the edit list.
void SAVEPROJECT_ON(AppContext& ctx);

}  // namespace pelisto
