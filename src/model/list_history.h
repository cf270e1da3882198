// The history of the edit list for undo and redo: the states before each
// change, and those undone. Loading a project is one change among them.
#pragma once

#include <cstddef>
#include <deque>
#include <unordered_map>

#include "model/list_state.h"

namespace pelisto {

class ListHistory {
 public:
  // The last 1000 changes are kept, and no more than about 64 MB: the
  // states' tables of rows, and each row they hold once however many
  // states share it. A change of a list of 32767 lines costs its table
  // (512 KB) and the rows it touched, so such a list keeps about 120.
  static constexpr size_t kMaxChanges = 1000;
  static constexpr size_t kMaxBytes = size_t{64} << 20;

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
  // The memory the kept states take, as counted against kMaxBytes.
  size_t bytes() const { return m_bytes; }

 private:
  void add(std::deque<ListState>& stack, ListState state);
  ListState take(std::deque<ListState>& stack, bool oldest);
  void trim();

  std::deque<ListState> m_undo, m_redo;
  // How many kept states hold each row: a row counts once.
  std::unordered_map<const ListSlot*, size_t> m_holders;
  size_t m_bytes = 0;
};

}  // namespace pelisto
