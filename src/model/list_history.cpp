#include "model/list_history.h"

#include <memory>
#include <string>
#include <utility>

#include "model/context.h"

namespace pelisto {
namespace {

// The heap a string holds beyond its own object (none for short ones).
size_t heapOf(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }

constexpr size_t kSharedCount = 16, kHolderEntry = 48;

// A row: the object with its shared count, its strings, and its entry in
// the table of holders.
size_t rowBytes(const ListSlot& row) {
  size_t bytes = sizeof(ListSlot) + kSharedCount + kHolderEntry;
  for (const std::string& column : row.file) bytes += heapOf(column);
  if (row.line) bytes += heapOf(*row.line);
  return bytes;
}

size_t tableBytes(const ListState& state) {
  return sizeof(ListState) + state.rows.capacity() * sizeof(state.rows[0]);
}

}  // namespace

size_t stateBytes(const AppContext& ctx) {
  const AppState& s = ctx.state;
  size_t bytes = sizeof(ListState) + s.EDITFILE.size() * (sizeof(std::shared_ptr<const ListSlot>) + sizeof(ListSlot) +
                                                            kSharedCount + kHolderEntry);
  for (const EditFileRow& row : s.EDITFILE) bytes += heapOf(row[0]) + heapOf(row[1]);
  for (int i = 0; i < ctx.list.lineCount(); ++i) bytes += heapOf(ctx.list.line(i));
  return bytes;
}

void ListHistory::clear() {
  m_undo.clear();
  m_redo.clear();
  m_holders.clear();
  m_bytes = 0;
}

bool ListHistory::nextIsChange(bool undo) const {
  const std::deque<Step>& stack = undo ? m_undo : m_redo;
  return !stack.empty() && std::holds_alternative<ListChange>(stack.back());
}

const ListState* ListHistory::latest() const {
  return m_undo.empty() ? nullptr : std::get_if<ListState>(&m_undo.back());
}

void ListHistory::add(std::deque<Step>& stack, Step step) {
  if (const ListChange* change = std::get_if<ListChange>(&step)) {
    m_bytes += change->bytes();
  } else {
    const ListState& state = std::get<ListState>(step);
    m_bytes += tableBytes(state);
    for (const auto& row : state.rows) {
      if (++m_holders[row.get()] == 1) m_bytes += rowBytes(*row);
    }
  }
  stack.push_back(std::move(step));
}

ListHistory::Step ListHistory::take(std::deque<Step>& stack, bool oldest) {
  Step step = std::move(oldest ? stack.front() : stack.back());
  if (oldest) {
    stack.pop_front();
  } else {
    stack.pop_back();
  }
  if (const ListChange* change = std::get_if<ListChange>(&step)) {
    m_bytes -= change->bytes();
    return step;
  }
  const ListState& state = std::get<ListState>(step);
  m_bytes -= tableBytes(state);
  for (const auto& row : state.rows) {
    auto it = m_holders.find(row.get());
    if (--it->second > 0) continue;
    m_bytes -= rowBytes(*row);
    m_holders.erase(it);
  }
  return step;
}

void ListHistory::trim() {
  // The oldest changes go first; the redo side is never trimmed. The step
  // just made stays even when it alone passes the bound.
  while (m_undo.size() > kMaxChanges) take(m_undo, true);
  while (m_undo.size() > 1 && m_bytes > m_maxBytes) {
    take(m_undo, true);
    m_dropped = true;
  }
}

bool ListHistory::takeDropped() {
  if (!m_dropped || m_told) return false;
  m_told = true;
  return true;
}

void ListHistory::recordChange(ListState before) {
  while (!m_redo.empty()) take(m_redo, false);
  add(m_undo, std::move(before));
  trim();
}

void ListHistory::recordChange(ListChange change) {
  while (!m_redo.empty()) take(m_redo, false);
  add(m_undo, std::move(change));
  trim();
}

ListState ListHistory::undo(ListState current) {
  ListState back = std::get<ListState>(take(m_undo, false));
  add(m_redo, std::move(current));
  return back;
}

ListState ListHistory::redo(ListState current) {
  ListState forward = std::get<ListState>(take(m_redo, false));
  add(m_undo, std::move(current));
  trim();
  return forward;
}

ListChange& ListHistory::undoChange() {
  add(m_redo, take(m_undo, false));
  return std::get<ListChange>(m_redo.back());
}

ListChange& ListHistory::redoChange() {
  add(m_undo, take(m_redo, false));
  trim();
  return std::get<ListChange>(m_undo.back());
}

}  // namespace pelisto
