// The two project commands' messages and the helpers they share with tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/context.h"
#include "project/project_format.h"

namespace pelisto {

inline constexpr const char* kMsgNotProject = "このファイルはプロジェクトファイルではありません";
inline constexpr const char* kMsgCannotReadProject = "プロジェクトファイルを読み込む事が出来ません";
inline constexpr const char* kMsgCannotSaveProject = "プロジェクトファイルを保存出来ませんでした";
inline constexpr const char* kMsgProjectTooLong =
    "このプロジェクトは行数が多すぎるため開けません（編集リストは最大32767件）";
inline constexpr const char* kMsgNoWaveInProject = "プロジェクトにwaveファイルが指定されていません";
inline constexpr const char* kMsgListUnsaved = "編集リストは保存されていません。保存しますか？";

// A project file larger than this is not read (no real list comes near it).
inline constexpr uint64_t kMaxProjectFileBytes = uint64_t{256} << 20;

// The project command once its dialog has chosen path: reads and checks the
// whole file, offers to save an unsaved list (listMayGo), then replaces the
// list and opens the project's wave file.
void openProjectAt(AppContext& ctx, const std::string& path);

// The whole project file at path, read through a numbered file; why not
// (with a text for the user) when it cannot be read or is too large.
Result<std::vector<uint8_t>> readProjectFile(AppContext& ctx, const std::string& path);

// A checked project put in place as the project command does: the list
// replaced and loaded (from the project file `from`; empty: from none), the
// project's wave file opened into the view (its refusals shown).
void loadProject(AppContext& ctx, Project project, const std::string& from = {});

// The edit list as a project: every line of the list with its row, the
// pending one included, and the open wave file's path.
Project projectOf(const AppContext& ctx);

// The save command: asks for a name and saves the list there. True once it
// is saved; false when the dialog was cancelled or the save failed (shown).
bool saveProjectAs(AppContext& ctx);
// Saves the list to its project file, or asks for a name as saveProjectAs
// when it has none. True once it is saved.
bool saveProject(AppContext& ctx);
// Saves the list as a project at path, which becomes the list's project
// file. False when the save failed (shown).
bool saveProjectTo(AppContext& ctx, const std::string& path);

// Before an unsaved list goes (the window closes, a project replaces it):
// asks whether to save it, and saves it on Yes (saveProject). True when it may go; false
// when the user keeps it (cancelled the question or the save, or the save
// failed). True at once when nothing is unsaved.
bool listMayGo(AppContext& ctx);

// path with ".PRJ" appended unless its last four characters already are
// ".prj" in any letter case.
std::string withProjectExtension(const std::string& path);

}  // namespace pelisto
