#include "platform/list_lines.h"

#include <algorithm>

namespace pelisto {

const std::string& ListLines::at(int index) const {
  static const std::string kNone;
  return index < 0 || index >= count() ? kNone : m_lines[index];
}

void ListLines::insert(int index, const std::string& text) {
  index = std::clamp(index, 0, count());
  m_lines.insert(m_lines.begin() + index, text);
  if (m_selected >= index) ++m_selected;
}

void ListLines::remove(int index) {
  if (index < 0 || index >= count()) return;
  m_lines.erase(m_lines.begin() + index);
  if (m_selected == index) {
    m_selected = -1;
  } else if (m_selected > index) {
    --m_selected;
  }
}

void ListLines::select(int index) { m_selected = index >= 0 && index < count() ? index : -1; }

void ListLines::clear() {
  m_lines.clear();
  m_selected = -1;
}

}  // namespace pelisto
