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

void EditList::noteLines(int at, std::vector<std::string> out, std::vector<std::string> in) {
  if (!m_recording) return;
  std::vector<ListStep>& steps = m_recording->steps;
  // A line taken out and put back as it was (a redraw of its text) is no change.
  if (out.empty() && in.size() == 1 && !steps.empty() && steps.back().lines && steps.back().at == at &&
      steps.back().linesIn.empty() && steps.back().linesOut == in) {
    steps.pop_back();
    return;
  }
  steps.push_back(ListStep{true, at, {}, {}, std::move(out), std::move(in)});
}

void EditList::noteRows(int at, std::vector<ListRow> out, std::vector<ListRow> in) {
  if (m_recording) m_recording->steps.push_back(ListStep{false, at, std::move(out), std::move(in), {}, {}});
}

void EditList::addLine(std::string text) {
  noteLines(lineCount(), {}, {text});
  m_lines.add(text);
  const Showing showing(m_showing);
  m_view.addLine(text);
}

void EditList::insertLine(int index, std::string text) {
  noteLines(std::clamp(index, 0, lineCount()), {}, {text});
  m_lines.insert(index, text);
  const Showing showing(m_showing);
  m_view.insertLine(index, text);
}

void EditList::removeLine(int index) {
  if (index >= 0 && index < lineCount()) noteLines(index, {m_lines.at(index)}, {});
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
  if (m_recording && lineCount() > 0) {
    std::vector<std::string> all;
    for (int i = 0; i < lineCount(); ++i) all.push_back(m_lines.at(i));
    noteLines(0, std::move(all), {});
  }
  m_lines.clear();
  const Showing showing(m_showing);
  m_view.clearLines();
}

void EditList::ensureRow(int r) {
  const int rows = static_cast<int>(m_state.EDITDATA.size());
  if (r < rows) return;
  noteRows(rows, {}, std::vector<ListRow>(static_cast<size_t>(r + 1 - rows)));
  m_state.ensureRow(r);
}

void EditList::setRow(int r, EditFileRow file, EditDataRow data) {
  ensureRow(r);
  ListRow row{std::move(file), data};
  if (m_recording) {
    ListRow old{m_state.EDITFILE[r], m_state.EDITDATA[r]};
    if (old == row) return;
    noteRows(r, {std::move(old)}, {row});
  }
  m_state.EDITFILE[r] = std::move(row.file);
  m_state.EDITDATA[r] = row.data;
}

void EditList::setData(int r, const EditDataRow& data) {
  ensureRow(r);
  if (m_recording) return setRow(r, m_state.EDITFILE[r], data);
  m_state.EDITDATA[r] = data;
}

void EditList::clearRow(int r) { setRow(r, EditFileRow{}, EditDataRow{}); }

void EditList::swapRows(int a, int b) {
  ensureRow(std::max(a, b));
  if (m_recording) {
    const ListRow rowA{m_state.EDITFILE[a], m_state.EDITDATA[a]}, rowB{m_state.EDITFILE[b], m_state.EDITDATA[b]};
    noteRows(a, {rowA}, {rowB});
    noteRows(b, {rowB}, {rowA});
  }
  std::swap(m_state.EDITFILE[a], m_state.EDITFILE[b]);
  std::swap(m_state.EDITDATA[a], m_state.EDITDATA[b]);
}

void EditList::eraseRow(int r) {
  ensureRow(r);
  noteRows(r, {ListRow{m_state.EDITFILE[r], m_state.EDITDATA[r]}}, {});
  m_state.EDITFILE.erase(m_state.EDITFILE.begin() + r);
  m_state.EDITDATA.erase(m_state.EDITDATA.begin() + r);
}

void EditList::insertRow(int r, ListRow row) {
  ensureRow(r - 1);
  noteRows(r, {}, {row});
  m_state.EDITFILE.insert(m_state.EDITFILE.begin() + r, std::move(row.file));
  m_state.EDITDATA.insert(m_state.EDITDATA.begin() + r, row.data);
}

void EditList::replaceRows(std::vector<EditFileRow> files, std::vector<EditDataRow> data) {
  if (m_recording) {
    std::vector<ListRow> out, in;
    for (size_t i = 0; i < m_state.EDITFILE.size(); ++i) out.push_back({std::move(m_state.EDITFILE[i]), m_state.EDITDATA[i]});
    for (size_t i = 0; i < files.size(); ++i) in.push_back({files[i], data[i]});
    noteRows(0, std::move(out), std::move(in));
  }
  m_state.EDITFILE = std::move(files);
  m_state.EDITDATA = std::move(data);
}

void EditList::addFinished(EditFileRow file, EditDataRow data, std::string text) {
  AppState& s = m_state;
  const int r = s.EDITCOUNT;
  if (hasPending()) {
    ensureRow(r + 1);
    setRow(r + 1, s.EDITFILE[r], s.EDITDATA[r]);
    setRow(r, std::move(file), data);
    insertLine(r, std::move(text));
  } else {
    setRow(r, std::move(file), data);
    addLine(std::move(text));
  }
  s.EDITCOUNT = static_cast<int16_t>(r + 1);
}

std::string displayName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace pelisto
