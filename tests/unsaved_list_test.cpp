// The record of unsaved changes to the edit list and the question when the
// window is closed.
#include <gtest/gtest.h>

#include "shell/events.h"
#include "shell/open_document.h"
#include "model/list_state.h"
#include "project/project_commands.h"
#include "project/project_format.h"
#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

// Two finished entries, the list as if just saved.
struct SavedApp : EditListApp {
  SavedApp() { markSavedEntries(); }
  bool close() {
    dispatch(Event{EventKind::kClose});
    return !ctx.closeRefused;
  }
};

TEST(UnsavedList, EveryKindOfChangeIsRecordedAndNothingElse) {
  struct Case {
    const char* what;
    std::function<void(SavedApp&)> act;
    bool changes;
  } cases[] = {
      {"start mark", [](SavedApp& a) { a.click(Control::BUTTON3); a.press(100); }, true},
      {"end mark", [](SavedApp& a) { a.markStart(3, 0); markListSaved(a.ctx); a.ui.select(2); a.click(Control::BUTTON4); a.press(90); }, true},
      {"marker drop", [](SavedApp& a) { a.ui.select(0); a.state().DRAGMODE = 1; a.state().dragMoved = true;
                                         a.dispatch(Event::mouse(EventKind::kMouseUp, Control::MAINFORM, 1, 150, 68)); }, true},
      {"blank", [](SavedApp& a) { a.answerInput("1"); a.click(Control::BUTTON11); }, true},
      {"copy", [](SavedApp& a) { a.ui.select(0); a.click(Control::BUTTON12); }, true},
      {"down", [](SavedApp& a) { a.ui.select(0); a.click(Control::BUTTON10); }, true},
      {"up", [](SavedApp& a) { a.ui.select(1); a.click(Control::BUTTON9); }, true},
      {"delete", [](SavedApp& a) { a.ui.select(1); a.click(Control::BUTTON8); }, true},
      {"loop count", [](SavedApp& a) { a.ui.select(1); a.answerInput("3"); a.click(Control::BUTTON7); }, true},
      {"voiceless", [](SavedApp& a) { a.ui.select(1); a.ui.queueAnswer({ScriptedAnswer::kYes, ""}); a.click(Control::BUTTON14); }, true},
      {"same loop count", [](SavedApp& a) { a.ui.select(1); a.answerInput("1"); a.click(Control::BUTTON7); }, false},
      {"cancelled blank", [](SavedApp& a) { a.answerCancel(); a.click(Control::BUTTON11); }, false},
      {"up on the first line", [](SavedApp& a) { a.ui.select(0); a.click(Control::BUTTON9); }, false},
      {"click outside marking", [](SavedApp& a) { a.press(100); }, false},
      {"line click", [](SavedApp& a) { a.ui.select(1); a.dispatch(Event{EventKind::kListClick, Control::LIST1}); }, false},
      {"scroll", [](SavedApp& a) { a.ui.setScrollPos(4); a.dispatch(Event{EventKind::kScroll, Control::HSCROLL1}); }, false},
  };
  for (const Case& c : cases) {
    SavedApp app;
    c.act(app);
    EXPECT_EQ(listUnsaved(app.ctx), c.changes) << c.what;
  }
}

TEST(UnsavedList, ClosingAsksWhileTheListIsUnsaved) {
  const std::string question = "question: 編集リストは保存されていません。保存しますか？";
  struct Case {
    const char* what;
    std::vector<ScriptedAnswer> answers;
    bool closes;
    bool saved;
  } cases[] = {
      {"yes, saved", {{ScriptedAnswer::kYes, ""}, {ScriptedAnswer::kSave, "/wav/list"}}, true, true},
      {"yes, save cancelled", {{ScriptedAnswer::kYes, ""}, {ScriptedAnswer::kCancel, ""}}, false, false},
      {"yes, save failed", {{ScriptedAnswer::kYes, ""}, {ScriptedAnswer::kSave, "/nofolder/list"}}, false, false},
      {"no", {{ScriptedAnswer::kNo, ""}}, true, false},
      {"cancel", {{ScriptedAnswer::kCancel, ""}}, false, false},
  };
  for (const Case& c : cases) {
    SavedApp app;
    app.ui.select(0);
    app.click(Control::BUTTON12);
    app.state().PLAYFLAG = 1;
    for (const auto& a : c.answers) app.ui.queueAnswer(a);
    app.transcript.clear();
    EXPECT_EQ(app.close(), c.closes) << c.what;
    EXPECT_EQ(app.lines().front(), question) << c.what;
    EXPECT_EQ(app.fs.isFile("/wav/list.PRJ"), c.saved) << c.what;
    EXPECT_EQ(app.lines().back() == "mci: CLOSE WAVEOBJ", c.closes) << c.what;  // the play stops only on a close
    EXPECT_FALSE(app.transcript.faulted()) << c.what;
  }
  SavedApp unchanged;
  EXPECT_TRUE(unchanged.close());
  EXPECT_TRUE(unchanged.lines().empty());
}

// A project of three lines at /wav/p.PRJ; the list then unsaved with four,
// from no project file.
struct ProjectApp : SavedApp {
  // asChanges: each change kept as what it did, as for a list too large
  // to keep whole.
  explicit ProjectApp(bool asChanges = false) {
    if (asChanges) ctx.history.setLimits(0, ListHistory::kMaxBytes);
    ui.select(0);
    click(Control::BUTTON12);
    fs.setContents("/wav/p.PRJ", encodeProject(projectOf(ctx)).value());
    click(Control::BUTTON12);
    transcript.clear();
  }
  int savedLines(const std::string& path) {
    auto p = decodeProject(fs.contents(path), kMaxEditRows);
    return p ? static_cast<int>(p->entries.size()) : -1;
  }
};

// Every way of loading a project over an unsaved list asks first, and the
// load is one change: undo brings the list back, unsaved.
TEST(UnsavedList, LoadingAProjectAsksFirstAndIsOneUndoableChange) {
  using SA = ScriptedAnswer;
  const SA yes{SA::kYes, ""}, no{SA::kNo, ""}, cancel{SA::kCancel, ""}, keep{SA::kSave, "/wav/keep"};
  const Event menu = Event::choose(MenuItem::OpenProject), drop = Event::drop({"/wav/p.PRJ"}),
              named = Event::openPath("/wav/p.PRJ");
  const struct {
    const char* what;
    Event event;
    std::vector<SA> answers;
    bool loads;
  } cases[] = {
      {"menu, saved first", menu, {yes, keep}, true},  {"menu, save cancelled", menu, {yes, cancel}, false},
      {"menu, not saved", menu, {no}, true},            {"menu, cancelled", menu, {cancel}, false},
      {"drop, not saved", drop, {no}, true},            {"drop, cancelled", drop, {cancel}, false},
      {"named, not saved", named, {no}, true},          {"named, cancelled", named, {cancel}, false},
  };
  for (bool asChanges : {false, true})
  for (const auto& c : cases) {
    ProjectApp app(asChanges);
    const ListState before = captureList(app.ctx);
    if (c.event.kind == EventKind::kMenu) app.ui.queueAnswer({SA::kOpen, "/wav/p.PRJ"});
    for (const SA& a : c.answers) app.ui.queueAnswer(a);
    app.dispatch(c.event);
    EXPECT_EQ(app.lines()[c.event.kind == EventKind::kMenu ? 1 : 0], "question: " + std::string(kMsgListUnsaved))
        << c.what;
    EXPECT_EQ(app.ui.lineCount(), c.loads ? 3 : 4) << c.what;
    EXPECT_EQ(listUnsaved(app.ctx), !c.loads) << c.what;
    EXPECT_EQ(app.fs.isFile("/wav/keep.PRJ"), c.answers.back().kind == SA::kSave) << c.what;
    EXPECT_FALSE(app.transcript.faulted()) << c.what;
    if (!c.loads) continue;
    app.dispatch(Event{EventKind::kUndo});
    EXPECT_TRUE(captureList(app.ctx).sameList(before)) << c.what;
    EXPECT_TRUE(listUnsaved(app.ctx)) << c.what;
    app.dispatch(Event{EventKind::kRedo});
    EXPECT_EQ(app.ui.lineCount(), 3) << c.what;
    EXPECT_FALSE(listUnsaved(app.ctx)) << c.what;
  }
  // A saved list goes without a question.
  ProjectApp app;
  markListSaved(app.ctx);
  app.dispatch(Event::drop({"/wav/p.PRJ"}));
  EXPECT_EQ(app.lines(), std::vector<std::string>{});
  EXPECT_EQ(app.ui.lineCount(), 3);
}

// 上書き保存 saves to the project file the list came from or was last saved
// to, without a question, and asks for a name only when there is none; the
// close question's Yes does the same. An undo back across a load brings
// back the earlier list's file (here none).
TEST(UnsavedList, SavingAgainGoesToTheListsOwnProjectFile) {
  using SA = ScriptedAnswer;
  const Event again = Event::choose(MenuItem::SaveProjectAgain);
  ProjectApp app;
  app.ui.queueAnswer({SA::kNo, ""});
  app.dispatch(Event::openPath("/wav/p.PRJ"));
  app.ui.select(0);
  app.click(Control::BUTTON12);
  app.transcript.clear();
  app.dispatch(again);
  EXPECT_EQ(app.savedLines("/wav/p.PRJ"), 4);
  app.click(Control::BUTTON12);
  app.ui.queueAnswer({SA::kYes, ""});
  EXPECT_TRUE(app.close());
  EXPECT_EQ(app.savedLines("/wav/p.PRJ"), 5);
  EXPECT_EQ(app.lines(), std::vector<std::string>{"question: " + std::string(kMsgListUnsaved)});
  for (int i = 0; i < 3; ++i) app.dispatch(Event{EventKind::kUndo});  // back before the load
  EXPECT_EQ(app.ui.lineCount(), 4);
  app.ui.queueAnswer({SA::kSave, "/wav/q"});
  app.dispatch(again);
  EXPECT_EQ(app.lines().back(), "dialog: save 名前を付けてプロジェクトの保存");
  app.click(Control::BUTTON12);
  app.transcript.clear();
  app.dispatch(again);
  EXPECT_TRUE(app.lines().empty());
  EXPECT_EQ(app.savedLines("/wav/q.PRJ"), 5);
  EXPECT_EQ(app.savedLines("/wav/p.PRJ"), 5);
  EXPECT_FALSE(listUnsaved(app.ctx));
  EXPECT_FALSE(app.transcript.faulted());
}

// A wave file named from outside opens as through its menu command, and
// not while something plays.
TEST(UnsavedList, OpeningAWaveFileByName) {
  SavedApp app;
  app.state().PLAYFLAG = 2;
  openDocument(app.ctx, "/wav/a.wav");
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"message: ただ今、再生中です。"}));
  app.state().PLAYFLAG = 0;
  app.fs.setContents("/wav/b.WAV", wavFile(patternData(kBytesPerSecond)));
  app.dispatch(Event::openPath("/wav/b.WAV"));
  EXPECT_EQ(app.state().WAVEFILENAME, "/wav/b.WAV");
  EXPECT_TRUE(waveFileOpen(app.ctx));
}

}  // namespace
}  // namespace pelisto::test
