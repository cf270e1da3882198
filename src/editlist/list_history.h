// The history of the edit list for undo and redo: the states before each
// change, and those undone. Loading a project starts a new one.
#pragma once

#include <cstddef>
#include <deque>

#include "editlist/list_state.h"

namespace pelisto {

class ListHistory {
 public:
  // The last 1000 changes are kept, and no more rows than about 64 MB of
  // pointers to them hold (a list of 32767 lines keeps about 120 changes).
  static constexpr size_t kMaxChanges = 1000;
  static constexpr size_t kMaxSlots = size_t{4} << 20;

  void clear();
  // `before` is the state a change has just left; a new change ends every
  // redo.
  void recordChange(ListState before);
  bool canUndo() const { return !m_undo.empty(); }
  bool canRedo() const { return !m_redo.empty(); }
  // The state to go back to (or forward to), keeping `current` for the
  // other direction. Only when canUndo() (canRedo()).
  ListState undo(ListState current);
  ListState redo(ListState current);
  // The state before the last change, to share rows with; null when none.
  const ListState* latest() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
  size_t changes() const { return m_undo.size(); }

 private:
  void add(std::deque<ListState>& stack, ListState state);
  void trim();

  std::deque<ListState> m_undo, m_redo;
  size_t m_slots = 0;
};

}  // namespace pelisto
