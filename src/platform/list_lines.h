// The lines of a list box held in memory, for the edit list and the user
// interfaces that keep their list themselves.
#pragma once

#include <string>
#include <vector>

namespace pelisto {

// The lines and the selected line, with the rules of a list box: an index
// outside the lines selects none, a line inserted or removed before the
// selected one moves the selection with its line, and removing the
// selected line leaves none selected.
class ListLines {
 public:
  int count() const { return static_cast<int>(m_lines.size()); }
  // Empty outside the lines.
  const std::string& at(int index) const;
  int selected() const { return m_selected; }

  void add(const std::string& text) { m_lines.push_back(text); }
  void insert(int index, const std::string& text);  // index clamped to 0 … count()
  void remove(int index);                           // nothing outside the lines
  void select(int index);
  void clear();

 private:
  std::vector<std::string> m_lines;
  int m_selected = -1;
};

}  // namespace pelisto
