// Undo and redo of the edit list: each kind of change back and forth, a
// long random run against a plain model, and the edges.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <random>

#include "shell/events.h"
#include "model/list_state.h"
#include "headless/state_print.h"
#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

struct UndoApp : EditListApp {
  UndoApp() {
    markSavedEntries(true);
    ui.select(1);
    ui.setScrollPos(1);
    HSCROLL1_CHANGE(ctx);
    transcript.clear();
  }
  void undo() { dispatch(Event{EventKind::kUndo}); }
  void redo() { dispatch(Event{EventKind::kRedo}); }
  // The list as printed: rows, EDITCOUNT, lines and the selection.
  std::vector<std::string> printed() {
    std::vector<std::string> out;
    for (const std::string& l : stateLines(ctx)) {
      if (l.rfind("EDIT", 0) == 0) out.push_back(l);  // EDITCOUNT, EDITFILE, EDITDATA
    }
    for (const std::string& l : pelisto::listLines(ui)) out.push_back(l);
    return out;
  }
};

// Empty when equal, else the first line that differs.
std::string firstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const std::string x = i < a.size() ? a[i] : "(none)", y = i < b.size() ? b[i] : "(none)";
    if (x != y) return x + "  vs  " + y;
  }
  return "";
}

// A printed list with its selection left out (a selection is no change).
std::vector<std::string> withoutSelection(std::vector<std::string> printed) {
  for (std::string& l : printed) {
    if (l.rfind("list: ", 0) == 0) l = l.substr(0, l.find(", selected"));
  }
  return printed;
}

using Change = std::function<void(UndoApp&)>;

const std::vector<std::pair<const char*, Change>>& changes() {
  static const std::vector<std::pair<const char*, Change>> all = {
      {"start", [](UndoApp& a) { a.click(Control::BUTTON3); a.press(100); }},
      {"end", [](UndoApp& a) { a.click(Control::BUTTON4); a.press(500); }},
      {"drop", [](UndoApp& a) { a.state().DRAGMODE = 2; a.state().dragMoved = true;
                                a.dispatch(Event::mouse(EventKind::kMouseUp, Control::MAINFORM, 1, 400, 68)); }},
      {"blank", [](UndoApp& a) { a.answerInput("1.25"); a.click(Control::BUTTON11); }},
      {"copy", [](UndoApp& a) { a.click(Control::BUTTON12); }},
      {"up", [](UndoApp& a) { a.click(Control::BUTTON9); }},
      {"down", [](UndoApp& a) { a.click(Control::BUTTON10); }},
      {"delete", [](UndoApp& a) { a.click(Control::BUTTON8); }},
      {"loop count", [](UndoApp& a) { a.answerInput("4"); a.click(Control::BUTTON7); }},
      {"voiceless", [](UndoApp& a) { a.ui.queueAnswer({ScriptedAnswer::kYes, ""}); a.click(Control::BUTTON14); }},
  };
  return all;
}

// Each test runs twice: the list kept whole before each change, and each
// change kept as what it did (as for a list too large to keep whole).
constexpr bool kKeptAs[] = {false, true};

TEST(Undo, EveryKindOfChangeGoesBackAndForth) {
  for (bool asChanges : kKeptAs)
  for (const auto& [what, change] : changes()) {
    UndoApp app;
    if (asChanges) app.ctx.history.setLimits(0, ListHistory::kMaxBytes);
    if (std::string(what) == "end") app.markStart(2, 50);  // a pending entry, selected
    app.transcript.clear();
    const auto before = app.printed();
    change(app);
    const auto after = app.printed();
    ASSERT_NE(after, before) << what;
    app.undo();
    EXPECT_EQ(firstDifference(app.printed(), before), "") << what;
    app.redo();
    EXPECT_EQ(firstDifference(app.printed(), after), "") << what;
    app.redo();  // nothing left to redo
    EXPECT_EQ(firstDifference(app.printed(), after), "") << what;
    EXPECT_FALSE(app.transcript.faulted()) << what;
  }
}

// A long random run of changes, undos and redos against a model that is
// just the printed states: a stack of the past and of the undone.
TEST(Undo, ARandomRunAgreesWithAPlainModel) {
  for (bool asChanges : kKeptAs) {
  UndoApp app;
  if (asChanges) app.ctx.history.setLimits(0, ListHistory::kMaxBytes);
  std::mt19937 random(20261208);
  std::vector<std::vector<std::string>> past, undone;
  std::vector<std::string> now = app.printed();
  for (int step = 0; step < 600; ++step) {
    const int pick = int(random() % 14);
    if (pick < 10) {
      const auto& [what, change] = changes()[pick];
      if (app.ui.lineCount() > 0) app.ui.select(int(random() % app.ui.lineCount()));
      std::vector<std::string> selected = app.printed();
      change(app);
      std::vector<std::string> after = app.printed();
      if (withoutSelection(after) != withoutSelection(selected)) {
        past.push_back(selected);
        undone.clear();
      }
      now = after;
    } else if (pick < 12) {
      app.undo();
      if (!past.empty()) {
        undone.push_back(now);
        now = past.back();
        past.pop_back();
      }
      ASSERT_EQ(firstDifference(app.printed(), now), "") << "undo at step " << step;
    } else {
      app.redo();
      if (!undone.empty()) {
        past.push_back(now);
        now = undone.back();
        undone.pop_back();
      }
      ASSERT_EQ(firstDifference(app.printed(), now), "") << "redo at step " << step;
    }
    // The record of unsaved changes follows the history.
    EXPECT_EQ(listUnsaved(app.ctx), app.state().listRevision != app.state().savedRevision);
  }
  }
}

// The markers shown after an undo are those of the restored selection.
TEST(Undo, TheMarkersOfTheRestoredSelectionAreDrawn) {
  UndoApp app;  // line 1 (1.000 – 2.000 s) selected, the view at second 1
  const std::string shown = markerBoxLine(app.state());
  ASSERT_EQ(shown, "markerbox: 96 64 112 72 | 0 0 0 0");
  app.click(Control::BUTTON8);
  app.ui.setScrollPos(3);
  HSCROLL1_CHANGE(app.ctx);
  app.ui.setScrollPos(1);
  app.undo();
  EXPECT_EQ(markerBoxLine(app.state()), shown);
  EXPECT_EQ(app.ui.canvas(Control::MAINFORM).pixel(104, 72), (Rgb{255, 0, 0}));
}

TEST(Undo, SavedStatePlayingAndTheBound) {
  UndoApp app;
  app.click(Control::BUTTON12);
  EXPECT_TRUE(listUnsaved(app.ctx));
  app.undo();
  EXPECT_FALSE(listUnsaved(app.ctx));  // back where it was saved: no question at close
  app.redo();
  app.state().PLAYFLAG = 1;
  app.undo();
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"message: ただ今、再生中です。"}));
  EXPECT_EQ(app.ui.lineCount(), 4);
  app.state().PLAYFLAG = 0;
  for (int i = 0; i < 1005; ++i) app.click(Control::BUTTON12);
  EXPECT_EQ(app.ctx.history.changes(), ListHistory::kMaxChanges);
}

// A delete near the top of a full list moves every row after it: the rows
// are still shared, and the bound counts what the kept states hold (300
// deletes are more than it keeps).
TEST(Undo, ManyDeletesOnAFullListStayWithinTheBound) {
  EditListApp app;
  AppState& s = app.state();
  s.ensureRow(kMaxEditRows - 1);
  for (int i = 0; i < kMaxEditRows; ++i) {
    s.EDITFILE[i] = {"/wav/a.wav", "a.wav"};
    s.EDITDATA[i] = {i, i + 1, 0, 0, 1, 0, 0, 0};
    app.ctx.list.addLine(std::string(54, ' ') + std::to_string(i));  // as long as a real line
  }
  s.EDITCOUNT = kMaxEditRows;
  const size_t heap = mallinfo2().uordblks;
  for (int i = 0; i < 300; ++i) {
    app.ui.select(1);
    app.click(Control::BUTTON8);
  }
  EXPECT_LE(app.ctx.history.bytes(), ListHistory::kMaxBytes);
  EXPECT_LT(mallinfo2().uordblks - heap, ListHistory::kMaxBytes + (4 << 20));  // the list's own too
  EXPECT_GT(app.ctx.history.changes(), 100u);
  app.dispatch(Event{EventKind::kUndo});
  app.dispatch(Event{EventKind::kUndo});
  EXPECT_EQ(app.ui.line(1), std::string(54, ' ') + "299");
}

// A list too large to keep whole before a change (32767 lines of 4000-byte
// paths, 130 MB) keeps each change as what it did: a delete is undone and
// redone exactly, at the cost of its row.
TEST(Undo, AListOfLongPathsKeepsEachChange) {
  EditListApp app;
  AppState& s = app.state();
  const std::string path = "/wav/" + std::string(3990, 'p') + "/a.wav";
  s.ensureRow(kMaxEditRows - 1);
  for (int i = 0; i < kMaxEditRows; ++i) {
    s.EDITFILE[i] = {path, "a.wav"};
    s.EDITDATA[i] = {i, i + 1, 0, 0, 1, 0, 0, 0};
    app.ctx.list.addLine("a.wav " + std::to_string(i));
  }
  s.EDITCOUNT = kMaxEditRows;
  app.ui.select(5);
  app.click(Control::BUTTON8);
  EXPECT_EQ(app.ctx.history.changes(), 1u);
  EXPECT_LT(app.ctx.history.bytes(), size_t{64} << 10);
  EXPECT_EQ(app.ui.line(5), "a.wav 6");
  app.dispatch(Event{EventKind::kUndo});
  EXPECT_EQ(app.ui.line(5), "a.wav 5");
  EXPECT_EQ(s.EDITDATA[5][kStartFrame], 5);
  EXPECT_EQ(s.EDITDATA[kMaxEditRows - 1][kStartFrame], kMaxEditRows - 1);
  EXPECT_EQ(s.EDITCOUNT, kMaxEditRows);
  app.dispatch(Event{EventKind::kRedo});
  EXPECT_EQ(app.ui.line(5), "a.wav 6");
  EXPECT_EQ(s.EDITDATA[kMaxEditRows - 1], (EditDataRow{}));
  EXPECT_EQ(s.EDITFILE[kMaxEditRows - 1][0], path);
}

// When the oldest steps must go to stay within the bound, the user is told
// once; the newest step stays even when it alone passes the bound.
TEST(Undo, DroppingTheOldestStepsIsSaidOnce) {
  for (bool asChanges : kKeptAs) {
    UndoApp app;
    app.ctx.history.setLimits(asChanges ? 0 : ListHistory::kMaxBytes, 1);
    for (int i = 0; i < 3; ++i) app.click(Control::BUTTON12);
    EXPECT_EQ(app.lines(), std::vector<std::string>{std::string("message: ") + kMsgOldestUndoDropped});
    EXPECT_EQ(app.ctx.history.changes(), 1u);
    app.undo();
    EXPECT_EQ(app.ui.lineCount(), 5);
  }
}

}  // namespace
}  // namespace pelisto::test
