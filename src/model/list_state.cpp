#include "model/list_state.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "model/context.h"

namespace pelisto {
namespace {

using Row = std::shared_ptr<const ListSlot>;

size_t slotHash(const ListSlot& slot) {
  size_t h = std::hash<std::string>{}(slot.file[0]) * 31 + std::hash<std::string>{}(slot.file[1]);
  for (int32_t v : slot.data) h = h * 1000003 + static_cast<uint32_t>(v);
  return slot.line ? h * 31 + std::hash<std::string>{}(*slot.line) : h;
}

// The rows of the state a change started from, found by what they hold:
// a row a change moved (every row after a deleted or inserted one) is
// shared as well as one that kept its place. Rows are looked for where the
// last one was found and next to their own place first; a table of all of
// them is made only when that fails.
class SharedRows {
 public:
  explicit SharedRows(const ListState* previous) : m_previous(previous) {}

  Row find(size_t i, const ListSlot& slot) {
    if (!m_previous) return nullptr;
    const auto& rows = m_previous->rows;
    for (size_t at : {i + m_shift, i, i + 1, i - 1}) {
      if (at < rows.size() && *rows[at] == slot) {
        m_shift = at - i;
        return rows[at];
      }
    }
    if (m_byContent.empty()) {
      // The first row of each content (rows past the list's end are often
      // all alike); rows whose contents share a hash are not all found.
      for (size_t k = 0; k < rows.size(); ++k) m_byContent.try_emplace(slotHash(*rows[k]), k);
    }
    auto it = m_byContent.find(slotHash(slot));
    if (it == m_byContent.end() || !(*rows[it->second] == slot)) return nullptr;
    m_shift = it->second - i;
    return rows[it->second];
  }

 private:
  const ListState* m_previous;
  size_t m_shift = 0;  // where the last row was found, less its place (wrapping)
  std::unordered_map<size_t, size_t> m_byContent;
};

}  // namespace

bool ListState::sameList(const ListState& other) const {
  if (count != other.count || lineCount != other.lineCount || rows.size() != other.rows.size()) {
    return false;
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] != other.rows[i] && *rows[i] != *other.rows[i]) return false;
  }
  return true;
}

ListState captureList(const AppContext& ctx, const ListState* previous) {
  const AppState& s = ctx.state;
  ListState out;
  out.lineCount = ctx.list.lineCount();
  out.selected = ctx.list.selected();
  out.count = s.EDITCOUNT;
  out.revision = s.listRevision;
  out.document = s.document;
  out.projectFile = s.projectFile;
  const size_t count = s.EDITDATA.size();
  out.rows.reserve(count);
  SharedRows shared(previous);
  for (size_t i = 0; i < count; ++i) {
    ListSlot slot{s.EDITFILE[i], s.EDITDATA[i], std::nullopt};
    if (static_cast<int>(i) < out.lineCount) slot.line = ctx.list.line(static_cast<int>(i));
    if (auto row = shared.find(i, slot)) {
      out.rows.push_back(std::move(row));
    } else {
      out.rows.push_back(std::make_shared<const ListSlot>(std::move(slot)));
    }
  }
  return out;
}

void restoreList(AppContext& ctx, const ListState& state) {
  AppState& s = ctx.state;
  const size_t count = state.rows.size();
  s.EDITFILE.resize(count);
  s.EDITDATA.resize(count);
  ctx.list.clearLines();
  for (size_t i = 0; i < count; ++i) {
    const ListSlot& slot = *state.rows[i];
    s.EDITFILE[i] = slot.file;
    s.EDITDATA[i] = slot.data;
    if (slot.line) ctx.list.addLine(*slot.line);
  }
  s.EDITCOUNT = state.count;
  s.listRevision = state.revision;
  if (state.document != s.document) {
    s.document = state.document;
    s.projectFile = state.projectFile;
  }
  ctx.list.select(state.selected);
}

void noteListChange(AppContext& ctx, const ListState& before) {
  if (captureList(ctx, &before).sameList(before)) return;
  ctx.history.recordChange(before);
  // A command that gave the list a revision of its own (a load, saved as
  // it stands) keeps it.
  if (ctx.state.listRevision == before.revision) ctx.state.listRevision = ++ctx.state.lastRevision;
}

ListChangeNote::ListChangeNote(AppContext& ctx) : m_ctx(ctx) {
  // A command run inside another one (from a box it waits on): its steps
  // are the outer command's.
  if (ctx.list.recording()) return;
  if (ctx.history.keepsStateOf(stateBytes(ctx))) {
    m_before = captureList(ctx, ctx.history.latest());
    return;
  }
  m_change.countBefore = ctx.state.EDITCOUNT;
  m_change.selectedBefore = ctx.list.selected();
  m_change.revisionBefore = ctx.state.listRevision;
  m_change.documentBefore = ctx.state.document;
  m_change.projectFileBefore = ctx.state.projectFile;
  ctx.list.startRecording(m_change);
  m_recording = true;
}

ListChangeNote::~ListChangeNote() {
  if (m_recording) m_ctx.list.stopRecording();
}

void ListChangeNote::finish() {
  AppState& s = m_ctx.state;
  if (m_before) {
    noteListChange(m_ctx, *m_before);
  } else if (m_recording) {
    m_ctx.list.stopRecording();
    m_recording = false;
    if (changedNothing(m_ctx, m_change)) return;
    m_change.countAfter = s.EDITCOUNT;
    m_change.selectedAfter = m_ctx.list.selected();
    // A command that gave the list a revision of its own (a load) keeps it.
    if (s.listRevision == m_change.revisionBefore) s.listRevision = ++s.lastRevision;
    m_change.revisionAfter = s.listRevision;
    m_change.documentAfter = s.document;
    m_change.projectFileAfter = s.projectFile;
    m_ctx.history.recordChange(std::move(m_change));
  }
  if (m_ctx.history.takeDropped()) m_ctx.ui.messageBox(s.APPTITLE, kMsgOldestUndoDropped);
}

void markListSaved(AppContext& ctx) { ctx.state.savedRevision = ctx.state.listRevision; }

void markListLoaded(AppContext& ctx, const std::string& projectFile) {
  ctx.state.listRevision = ++ctx.state.lastRevision;
  ctx.state.document = ctx.state.listRevision;
  ctx.state.projectFile = projectFile;
  markListSaved(ctx);
}

void markListUnsaved(AppContext& ctx) { ctx.state.listRevision = ++ctx.state.lastRevision; }

void markListSavedTo(AppContext& ctx, const std::string& path) {
  markListSaved(ctx);
  ctx.state.projectFile = path;
}

bool listUnsaved(const AppContext& ctx) {
  return ctx.state.listRevision != ctx.state.savedRevision;
}

}  // namespace pelisto
