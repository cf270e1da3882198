// The menu commands SaveProject and OpenProject.
#include "project/project_commands.h"

#include <algorithm>
#include <vector>

#include "model/line_text.h"
#include "model/list_state.h"
#include "model/messages.h"
#include "model/save_target.h"
#include "platform/replace_file.h"
#include "platform/text.h"
#include "project/handlers.h"
#include "project/project_format.h"
#include "view/graph_cache.h"
#include "view/handlers.h"
#include "view/markers.h"
#include "wave/open_wave.h"

namespace pelisto {
namespace {

const FileDialogSpec kSaveDialog{"名前を付けてプロジェクトの保存", "プロジェクト(*.prj)", "*.prj", true};
const FileDialogSpec kOpenDialog{"プロジェクトを開く", "プロジェクト(*.prj)", "*.prj", false};

}  // namespace

Project projectOf(const AppContext& ctx) {
  const AppState& s = ctx.state;
  Project p;
  p.waveFileName = s.WAVEFILENAME;
  int lines = std::min<int>(ctx.list.lineCount(), static_cast<int>(s.EDITDATA.size()));
  for (int i = 0; i < lines; ++i) p.entries.push_back(ProjectEntry{s.EDITFILE[i], s.EDITDATA[i]});
  return p;
}

Result<std::vector<uint8_t>> readProjectFile(AppContext& ctx, const std::string& path) {
  Result<int16_t> opened = ctx.files.openFree(path, OpenMode::kRead);
  if (!opened) return opened.status();
  const int16_t num = opened.value();
  std::vector<uint8_t> bytes;
  Status st;
  auto length = ctx.files.length(num);
  if (!length) {
    st = length.status();
  } else if (length.value() > kMaxProjectFileBytes) {
    st = Status::error(StatusCode::kLimit, "ファイルが大きすぎます");
  } else {
    bytes.resize(static_cast<size_t>(length.value()));
    size_t done = 0;
    while (st && done < bytes.size()) {
      auto got = ctx.files.read(num, bytes.data() + done, bytes.size() - done);
      if (!got) st = got.status();
      else if (got.value() == 0) bytes.resize(done);  // the file shrank meanwhile
      else done += got.value();
    }
  }
  ctx.files.close(num);
  if (!st) return st;
  return bytes;
}

namespace {

// Replaces the edit list with the project's entries as finished lines.
void loadList(AppContext& ctx, Project& project) {
  AppState& s = ctx.state;
  const size_t n = project.entries.size();
  const size_t rows = std::max<size_t>(kInitialEditRows, n);
  std::vector<EditFileRow> files(rows);
  std::vector<EditDataRow> data(rows);
  for (size_t i = 0; i < n; ++i) {
    files[i] = std::move(project.entries[i].file);
    data[i] = project.entries[i].data;
  }
  ctx.list.replaceRows(std::move(files), std::move(data));
  nameWaveFile(ctx, std::move(project.waveFileName));
  ctx.list.clearLines();
  for (size_t i = 0; i < n; ++i) ctx.list.addLine(finishedLine(s, static_cast<int>(i)));
  ctx.list.setFinishedCount(static_cast<int>(n));
  ctx.list.select(-1);
}

}  // namespace

std::string withProjectExtension(const std::string& path) {
  return endsWithIgnoringCase(path, ".prj") ? path : path + ".PRJ";
}

bool saveProjectAs(AppContext& ctx) {
  // Saving reads only the list, so it is allowed while something plays.
  std::optional<std::string> chosen = ctx.ui.fileDialog(kSaveDialog);
  return chosen && saveProjectTo(ctx, withProjectExtension(*chosen));
}

bool saveProjectTo(AppContext& ctx, const std::string& path) {
  if (Status st = checkSaveTarget(ctx, path); !st) {
    refuse(ctx, std::string(kMsgCannotSaveProject) + "\n" + st.message());
    return false;
  }
  auto bytes = encodeProject(projectOf(ctx));
  if (!bytes) {
    refuse(ctx, bytes.status().message());
    return false;
  }
  const std::vector<uint8_t>& data = bytes.value();
  Status st = replaceFile(ctx.fs, path, [&](File& file) { return file.write(0, data.data(), data.size()); });
  if (!st) {
    refuse(ctx, std::string(kMsgCannotSaveProject) + "\n" + path + "\n" + st.message());
    return false;
  }
  markListSavedTo(ctx, path);
  return true;
}

void SAVEPROJECT_ON(AppContext& ctx) { saveProjectAs(ctx); }

bool saveProject(AppContext& ctx) {
  return ctx.state.projectFile.empty() ? saveProjectAs(ctx) : saveProjectTo(ctx, ctx.state.projectFile);
}

void SAVEPROJECTAGAIN_ON(AppContext& ctx) { saveProject(ctx); }

bool listMayGo(AppContext& ctx) {
  if (!listUnsaved(ctx)) return true;
  switch (ctx.ui.question(ctx.state.APPTITLE, kMsgListUnsaved)) {
    case Answer::kYes: return saveProject(ctx);
    case Answer::kNo: return true;
    case Answer::kCancel: return false;
  }
  return false;
}

void openProjectAt(AppContext& ctx, const std::string& path) {
  endMouseModes(ctx);
  auto bytes = readProjectFile(ctx, path);
  if (!bytes) {
    refuse(ctx, std::string(kMsgCannotReadProject) + "\n" + path + "\n" + bytes.status().message());
    return;
  }
  // The whole file is checked before anything changes.
  auto project = decodeProject(bytes.value(), kMaxEditRows);
  if (!project) {
    refuse(ctx, project.status().code() == StatusCode::kLimit ? kMsgProjectTooLong : kMsgNotProject);
    return;
  }
  if (!listMayGo(ctx)) return;
  loadProject(ctx, std::move(project.value()), path);
}

void loadProject(AppContext& ctx, Project project, const std::string& from) {
  loadList(ctx, project);
  markListLoaded(ctx, from);

  AppState& s = ctx.state;
  if (s.WAVEFILENAME.empty()) {
    cancelGraphBuild(ctx);
    closeWaveFile(ctx);
    clearView(ctx);
    refuse(ctx, std::string(kMsgCannotOpenWave) + "\n" + kMsgNoWaveInProject);
    return;
  }
  if (Status st = openWaveForView(ctx, s.WAVEFILENAME); !st) refuse(ctx, st.message());
}

void OPENPROJECT_ON(AppContext& ctx) {
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  if (std::optional<std::string> path = ctx.ui.fileDialog(kOpenDialog)) openProjectAt(ctx, *path);
}

}  // namespace pelisto
