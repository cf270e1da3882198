// The edit list as a whole: the rows of both tables, the lines,
// the selection and EDITCOUNT. What is compared to tell a change, what the
// history keeps, and what an undo restores.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/app_state.h"
#include "model/list_change.h"

namespace pelisto {

struct AppContext;

inline constexpr const char* kMsgOldestUndoDropped =
    "元に戻すための記録がメモリの上限（64MB）を超えたため、古い変更から順に元に戻せなくなります";

// Row i of both tables with line i of the list (none past the last line).
struct ListSlot {
  EditFileRow file;
  EditDataRow data{};
  std::optional<std::string> line;
  bool operator==(const ListSlot&) const = default;
};

struct ListState {
  // Rows no change touched are shared with the state they were taken
  // after (wherever the change moved them), so that a history of long
  // lists stays small.
  std::vector<std::shared_ptr<const ListSlot>> rows;
  int lineCount = 0;
  int selected = -1;
  int16_t count = 0;  // EDITCOUNT
  uint64_t revision = 0;
  uint64_t document = 0;    // the load it stems from
  std::string projectFile;  // that list's project file then

  // The same entries and lines (the selection aside).
  bool sameList(const ListState& other) const;
};

// The list as it stands; rows equal to rows of `previous`, at any place,
// share them.
ListState captureList(const AppContext& ctx, const ListState* previous = nullptr);

// Puts a captured list back: rows, lines, selection, EDITCOUNT and its
// revision; and, when it stems from another load, that load's project
// file (the view is the caller's to redraw).
void restoreList(AppContext& ctx, const ListState& state);

// After a command that may have changed the list: when it differs from
// `before`, the change is recorded in the history, and the list is then
// unsaved unless the command gave it a revision itself (markListLoaded).
void noteListChange(AppContext& ctx, const ListState& before);

// What a command does to the list, noted for saving and undo: the list
// before it is captured, or, for a list whose state the history does not
// keep whole (ListHistory::keepsStateOf), the command's steps are recorded
// as the list takes them (EditList::startRecording).
class ListChangeNote {
 public:
  explicit ListChangeNote(AppContext& ctx);
  ~ListChangeNote();
  ListChangeNote(const ListChangeNote&) = delete;
  ListChangeNote& operator=(const ListChangeNote&) = delete;
  // After the command, or the fault that ended it: a change of the list
  // is recorded (and the list is then unsaved). The first time the
  // history must drop its oldest steps to stay within its bound, says so.
  void finish();

 private:
  AppContext& m_ctx;
  std::optional<ListState> m_before;
  bool m_recording = false;
  ListChange m_change;
};

// The list was loaded (from projectFile, empty for none) or saved as it
// stands: nothing is unsaved. A load is a change of its own (a new
// revision), undone as any other when its command is one that records
// changes (shell/events.cpp).
void markListSaved(AppContext& ctx);
void markListLoaded(AppContext& ctx, const std::string& projectFile);

// The list counts as unsaved whatever it holds: a revision no saved state
// has.
void markListUnsaved(AppContext& ctx);
// markListSaved, to the project file at path (which it stems from now).
void markListSavedTo(AppContext& ctx, const std::string& path);
// True when the list differs from the state last loaded or saved.
bool listUnsaved(const AppContext& ctx);

}  // namespace pelisto
