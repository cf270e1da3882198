#include "model/list_change.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <type_traits>

#include "model/context.h"

namespace pelisto {
namespace {

size_t heapOf(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }

size_t rowsBytes(const std::vector<ListRow>& rows) {
  size_t bytes = rows.capacity() * sizeof(ListRow);
  for (const ListRow& r : rows) bytes += heapOf(r.file[0]) + heapOf(r.file[1]);
  return bytes;
}

size_t linesBytes(const std::vector<std::string>& lines) {
  size_t bytes = lines.capacity() * sizeof(std::string);
  for (const std::string& l : lines) bytes += heapOf(l);
  return bytes;
}

// Replaces `out` at `at` with `in`, in both tables or in the lines.
void replaceRows(AppState& s, int at, const std::vector<ListRow>& out, const std::vector<ListRow>& in) {
  const auto first = static_cast<ptrdiff_t>(at);
  const auto gone = static_cast<ptrdiff_t>(out.size());
  s.EDITFILE.erase(s.EDITFILE.begin() + first, s.EDITFILE.begin() + first + gone);
  s.EDITDATA.erase(s.EDITDATA.begin() + first, s.EDITDATA.begin() + first + gone);
  std::vector<EditFileRow> files;
  std::vector<EditDataRow> data;
  for (const ListRow& r : in) files.push_back(r.file), data.push_back(r.data);
  s.EDITFILE.insert(s.EDITFILE.begin() + first, files.begin(), files.end());
  s.EDITDATA.insert(s.EDITDATA.begin() + first, data.begin(), data.end());
}

void replaceLines(EditList& list, int at, const std::vector<std::string>& out,
                  const std::vector<std::string>& in) {
  for (size_t i = 0; i < out.size(); ++i) list.removeLine(at);
  for (size_t i = 0; i < in.size(); ++i) list.insertLine(at + static_cast<int>(i), in[i]);
}

// The part of `now` (rows or lines) the steps of one kind reached, as it
// is and as it was before them, when that part is small; compared.
constexpr size_t kLargestCompared = 256;

template <typename T>
bool sameAsBefore(const std::vector<ListStep>& steps, bool lines, const std::function<T(size_t)>& now, size_t size) {
  size_t lo = SIZE_MAX, hi = 0, moves = 0;
  ptrdiff_t net = 0;
  for (const ListStep& s : steps) {
    if (s.lines != lines) continue;
    const size_t out = lines ? s.linesOut.size() : s.rowsOut.size(), in = lines ? s.linesIn.size() : s.rowsIn.size();
    lo = std::min(lo, static_cast<size_t>(s.at));
    hi = std::max(hi, static_cast<size_t>(s.at) + std::max(out, in));
    moves += out > in ? out - in : in - out;
    net += static_cast<ptrdiff_t>(in) - static_cast<ptrdiff_t>(out);
  }
  if (lo == SIZE_MAX) return true;
  hi = std::min(size, hi + moves);
  if (net != 0 || hi - lo > kLargestCompared) return false;
  std::vector<T> after, before;
  for (size_t i = lo; i < hi; ++i) after.push_back(now(i));
  before = after;
  for (auto s = steps.rbegin(); s != steps.rend(); ++s) {
    if (s->lines != lines) continue;
    const auto& out = [&]() -> const std::vector<T>& {
      if constexpr (std::is_same_v<T, ListRow>) return s->rowsOut; else return s->linesOut;
    }();
    const auto& in = [&]() -> const std::vector<T>& {
      if constexpr (std::is_same_v<T, ListRow>) return s->rowsIn; else return s->linesIn;
    }();
    const size_t at = static_cast<size_t>(s->at) - lo;
    if (at + in.size() > before.size()) return false;
    before.erase(before.begin() + static_cast<ptrdiff_t>(at), before.begin() + static_cast<ptrdiff_t>(at + in.size()));
    before.insert(before.begin() + static_cast<ptrdiff_t>(at), out.begin(), out.end());
  }
  return before == after;
}

}  // namespace

bool changedNothing(const AppContext& ctx, const ListChange& change) {
  const AppState& s = ctx.state;
  if (change.countBefore != s.EDITCOUNT || change.documentBefore != s.document) return false;
  const std::function<ListRow(size_t)> row = [&s](size_t i) { return ListRow{s.EDITFILE[i], s.EDITDATA[i]}; };
  const std::function<std::string(size_t)> line = [&ctx](size_t i) { return ctx.list.line(static_cast<int>(i)); };
  return sameAsBefore(change.steps, false, row, s.EDITFILE.size()) &&
         sameAsBefore(change.steps, true, line, static_cast<size_t>(ctx.list.lineCount()));
}

size_t ListChange::bytes() const {
  size_t total = sizeof(ListChange) + steps.capacity() * sizeof(ListStep);
  for (const ListStep& s : steps) {
    total += rowsBytes(s.rowsOut) + rowsBytes(s.rowsIn) + linesBytes(s.linesOut) + linesBytes(s.linesIn);
  }
  return total;
}

void applyChange(AppContext& ctx, const ListChange& change, bool forward) {
  AppState& s = ctx.state;
  const size_t n = change.steps.size();
  for (size_t k = 0; k < n; ++k) {
    const ListStep& step = change.steps[forward ? k : n - 1 - k];
    if (step.lines) {
      replaceLines(ctx.list, step.at, forward ? step.linesOut : step.linesIn, forward ? step.linesIn : step.linesOut);
    } else {
      replaceRows(s, step.at, forward ? step.rowsOut : step.rowsIn, forward ? step.rowsIn : step.rowsOut);
    }
  }
  s.EDITCOUNT = forward ? change.countAfter : change.countBefore;
  s.listRevision = forward ? change.revisionAfter : change.revisionBefore;
  s.document = forward ? change.documentAfter : change.documentBefore;
  s.projectFile = forward ? change.projectFileAfter : change.projectFileBefore;
  ctx.list.select(forward ? change.selectedAfter : change.selectedBefore);
}

}  // namespace pelisto
