// The history of the edit list for undo and redo: for each change, the
// state before it, or for a list too large to keep whole that often, the
// change itself (list_change.h); and those undone. Loading a project is
// one change among them.
#pragma once

#include <cstddef>
#include <deque>
#include <unordered_map>
#include <variant>

#include "model/list_change.h"
#include "model/list_state.h"

namespace pelisto {

class ListHistory {
 public:
  // The last 1000 changes are kept, and no more than about 64 MB: the
  // states' tables of rows, and each row they hold once however many
  // states share it, and what the changes hold. A change of a list of
  // 32767 lines kept as a state costs its table (512 KB) and the rows it
  // touched, so such a list keeps about 120; kept as a change, the rows
  // and lines it took away and put in.
  static constexpr size_t kMaxChanges = 1000;
  static constexpr size_t kMaxBytes = size_t{64} << 20;

  void clear();
  // `before` is the state a change has just left; a new change ends every
  // redo.
  void recordChange(ListState before);
  // A change kept as what it did.
  void recordChange(ListChange change);
  bool canUndo() const { return !m_undo.empty(); }
  bool canRedo() const { return !m_redo.empty(); }
  // Whether the next undo (redo) is a change kept as what it did.
  bool nextIsChange(bool undo) const;
  // The state to go back to (or forward to), keeping `current` for the
  // other direction. Only when canUndo() (canRedo()) and the next step is
  // a state.
  ListState undo(ListState current);
  ListState redo(ListState current);
  // The next change kept as what it did, moved to the other direction:
  // to be played backwards (undo) or forwards (redo). Only when
  // nextIsChange.
  ListChange& undoChange();
  ListChange& redoChange();
  // The state before the last change, to share rows with; null when none
  // (or the last change is kept as a change).
  const ListState* latest() const;
  size_t changes() const { return m_undo.size(); }
  // The memory the kept steps take, as counted against kMaxBytes.
  size_t bytes() const { return m_bytes; }
  // Whether a list whose state takes `bytes` (rows unshared) is kept as a
  // state before each change: no larger than the bound.
  bool keepsStateOf(size_t bytes) const { return bytes <= m_stateLimit; }
  // Tests lower the size up to which states are kept, and the bound.
  void setLimits(size_t stateBytes, size_t maxBytes) {
    m_stateLimit = stateBytes;
    m_maxBytes = maxBytes;
  }
  // True once the oldest steps had to go to stay within the memory bound;
  // takeDropped() tells it once.
  bool takeDropped();

 private:
  using Step = std::variant<ListState, ListChange>;
  void add(std::deque<Step>& stack, Step step);
  Step take(std::deque<Step>& stack, bool oldest);
  void trim();

  std::deque<Step> m_undo, m_redo;
  // How many kept states hold each row: a row counts once.
  std::unordered_map<const ListSlot*, size_t> m_holders;
  size_t m_bytes = 0;
  size_t m_stateLimit = kMaxBytes;
  size_t m_maxBytes = kMaxBytes;
  bool m_dropped = false, m_told = false;
};

// What a state of the list would take in the history, its rows unshared.
size_t stateBytes(const AppContext& ctx);

}  // namespace pelisto
