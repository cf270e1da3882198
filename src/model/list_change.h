// A change of the edit list kept as what it did, for a list too large to
// keep whole before every change (list_history.h): which rows and lines
// went and came, and where. It is recorded as the list changes (EditList
// notes each step while a recording runs) and played backwards to undo,
// forwards to redo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/app_state.h"

namespace pelisto {

struct AppContext;

// Row i of both tables.
struct ListRow {
  EditFileRow file;
  EditDataRow data{};
  bool operator==(const ListRow&) const = default;
};

// At `at`, the rows (or lines) `out` were taken away and `in` put there;
// what followed moved with it.
struct ListStep {
  bool lines = false;  // lines of the list, else rows of both tables
  int at = 0;
  std::vector<ListRow> rowsOut, rowsIn;
  std::vector<std::string> linesOut, linesIn;
};

struct ListChange {
  std::vector<ListStep> steps;
  // EDITCOUNT, the selected line, the list's revision and the load it
  // stems from with that load's project file, before and after.
  int16_t countBefore = 0, countAfter = 0;
  int selectedBefore = -1, selectedAfter = -1;
  uint64_t revisionBefore = 0, revisionAfter = 0;
  uint64_t documentBefore = 0, documentAfter = 0;
  std::string projectFileBefore, projectFileAfter;

  // The memory it holds, as the history counts it.
  size_t bytes() const;
};

// Puts the list where the change left it (forward) or where it found it.
void applyChange(AppContext& ctx, const ListChange& change, bool forward);

// True when the change, just made, left the list as it found it (rows,
// lines and EDITCOUNT; the selection aside): a row swapped with its equal,
// a line put back in its place. A change over many rows counts as one.
bool changedNothing(const AppContext& ctx, const ListChange& change);

}  // namespace pelisto
