#include "editlist/list_history.h"

#include <utility>

namespace pelisto {

void ListHistory::clear() {
  m_undo.clear();
  m_redo.clear();
  m_slots = 0;
}

void ListHistory::add(std::deque<ListState>& stack, ListState state) {
  m_slots += state.rows.size();
  stack.push_back(std::move(state));
}

void ListHistory::trim() {
  // The oldest changes go first; the redo side is never trimmed.
  while (!m_undo.empty() && (m_undo.size() > kMaxChanges || m_slots > kMaxSlots)) {
    m_slots -= m_undo.front().rows.size();
    m_undo.pop_front();
  }
}

void ListHistory::recordChange(ListState before) {
  for (const ListState& s : m_redo) m_slots -= s.rows.size();
  m_redo.clear();
  add(m_undo, std::move(before));
  trim();
}

ListState ListHistory::undo(ListState current) {
  ListState back = std::move(m_undo.back());
  m_undo.pop_back();
  m_slots -= back.rows.size();
  add(m_redo, std::move(current));
  return back;
}

ListState ListHistory::redo(ListState current) {
  ListState forward = std::move(m_redo.back());
  m_redo.pop_back();
  m_slots -= forward.rows.size();
  add(m_undo, std::move(current));
  trim();
  return forward;
}

}  // namespace pelisto
