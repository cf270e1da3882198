// The edit list as a whole (the rows of both tables, the lines of LIST1,
// the selection and EDITCOUNT): what is compared to tell a change, and
// what an undo restores.
#pragma once

#include <string>
#include <vector>

#include "app/context.h"

namespace pelisto {

struct ListState {
  std::vector<EditFileRow> files;
  std::vector<EditDataRow> data;
  std::vector<std::string> lines;
  int selected = -1;
  int16_t count = 0;

  // The same entries and lines (the selection aside).
  bool sameList(const ListState& other) const {
    return count == other.count && lines == other.lines && data == other.data &&
           files == other.files;
  }
};

ListState captureList(const AppContext& ctx);

// After a command that may have changed the list: when it differs from
// `before`, the change is recorded (the list is then unsaved).
void noteListChange(AppContext& ctx, const ListState& before);

// The list was loaded or saved as it stands: nothing is unsaved.
void markListSaved(AppContext& ctx);

// True when the list changed since it was last loaded or saved.
bool listUnsaved(const AppContext& ctx);

}  // namespace pelisto
