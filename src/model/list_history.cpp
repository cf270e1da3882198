#include "model/list_history.h"

#include <memory>
#include <string>
#include <utility>

namespace pelisto {
namespace {

// The heap a string holds beyond its own object (none for short ones).
size_t heapOf(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }

// A row: the object with its shared count, its strings, and its entry in
// the table of holders.
size_t rowBytes(const ListSlot& row) {
  constexpr size_t kSharedCount = 16, kHolderEntry = 48;
  size_t bytes = sizeof(ListSlot) + kSharedCount + kHolderEntry;
  for (const std::string& column : row.file) bytes += heapOf(column);
  if (row.line) bytes += heapOf(*row.line);
  return bytes;
}

size_t tableBytes(const ListState& state) {
  return sizeof(ListState) + state.rows.capacity() * sizeof(state.rows[0]);
}

}  // namespace

void ListHistory::clear() {
  m_undo.clear();
  m_redo.clear();
  m_holders.clear();
  m_bytes = 0;
}

void ListHistory::add(std::deque<ListState>& stack, ListState state) {
  m_bytes += tableBytes(state);
  for (const auto& row : state.rows) {
    if (++m_holders[row.get()] == 1) m_bytes += rowBytes(*row);
  }
  stack.push_back(std::move(state));
}

ListState ListHistory::take(std::deque<ListState>& stack, bool oldest) {
  ListState state = std::move(oldest ? stack.front() : stack.back());
  if (oldest) {
    stack.pop_front();
  } else {
    stack.pop_back();
  }
  m_bytes -= tableBytes(state);
  for (const auto& row : state.rows) {
    auto it = m_holders.find(row.get());
    if (--it->second > 0) continue;
    m_bytes -= rowBytes(*row);
    m_holders.erase(it);
  }
  return state;
}

void ListHistory::trim() {
  // The oldest changes go first; the redo side is never trimmed.
  while (!m_undo.empty() && (m_undo.size() > kMaxChanges || m_bytes > kMaxBytes)) take(m_undo, true);
}

void ListHistory::recordChange(ListState before) {
  while (!m_redo.empty()) take(m_redo, false);
  add(m_undo, std::move(before));
  trim();
}

ListState ListHistory::undo(ListState current) {
  ListState back = take(m_undo, false);
  add(m_redo, std::move(current));
  return back;
}

ListState ListHistory::redo(ListState current) {
  ListState forward = take(m_redo, false);
  add(m_undo, std::move(current));
  trim();
  return forward;
}

}  // namespace pelisto
