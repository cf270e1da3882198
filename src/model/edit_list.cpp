#include "model/edit_list.h"

#include <algorithm>
#include <utility>

namespace pelisto {
namespace {

// Marks a change of the list as being shown for as long as it lives.
class Showing {
 public:
  explicit Showing(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
  ~Showing() { m_flag = m_was; }
  Showing(const Showing&) = delete;
  Showing& operator=(const Showing&) = delete;

 private:
  bool& m_flag;
  const bool m_was;
};

}  // namespace

EditList::EditList(AppState& state, Ui& view) : m_state(state), m_view(view) {
  m_view.setSelectionListener([this](int index) { selectedInView(index); });
}

EditList::~EditList() { m_view.setSelectionListener(nullptr); }

void EditList::selectedInView(int index) {
  if (!m_showing) m_lines.select(index);
}

bool EditList::hasPending() const { return lineCount() == m_state.EDITCOUNT + 1; }

bool EditList::isPending(int line) const { return hasPending() && line == m_state.EDITCOUNT; }

bool EditList::hasRoom() const {
  return lineCount() < kMaxEditRows && m_state.EDITCOUNT < kMaxEditRows;
}

void EditList::addLine(std::string text) {
  m_lines.add(text);
  const Showing showing(m_showing);
  m_view.addLine(text);
}

void EditList::insertLine(int index, std::string text) {
  m_lines.insert(index, text);
  const Showing showing(m_showing);
  m_view.insertLine(index, text);
}

void EditList::removeLine(int index) {
  m_lines.remove(index);
  const Showing showing(m_showing);
  m_view.removeLine(index);
}

void EditList::select(int index) {
  m_lines.select(index);
  const Showing showing(m_showing);
  m_view.select(index);
}

void EditList::clearLines() {
  m_lines.clear();
  const Showing showing(m_showing);
  m_view.clearLines();
}

void EditList::clearRow(int r) {
  m_state.ensureRow(r);
  m_state.EDITFILE[r] = EditFileRow{};
  m_state.EDITDATA[r] = EditDataRow{};
}

void EditList::swapRows(int a, int b) {
  m_state.ensureRow(std::max(a, b));
  std::swap(m_state.EDITFILE[a], m_state.EDITFILE[b]);
  std::swap(m_state.EDITDATA[a], m_state.EDITDATA[b]);
}

void EditList::addFinished(EditFileRow file, EditDataRow data, std::string text) {
  AppState& s = m_state;
  const int r = s.EDITCOUNT;
  if (hasPending()) {
    s.ensureRow(r + 1);
    s.EDITFILE[r + 1] = s.EDITFILE[r];
    s.EDITDATA[r + 1] = s.EDITDATA[r];
    s.EDITFILE[r] = std::move(file);
    s.EDITDATA[r] = data;
    insertLine(r, std::move(text));
  } else {
    s.ensureRow(r);
    s.EDITFILE[r] = std::move(file);
    s.EDITDATA[r] = data;
    addLine(std::move(text));
  }
  s.EDITCOUNT = static_cast<int16_t>(r + 1);
}

std::string displayName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace pelisto
