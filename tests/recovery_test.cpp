// The copy of an unsaved edit list kept against a crash, and its offer at
// the next start.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "app/window_title.h"
#include "platform/headless/manual_worker.h"
#include "project/project_format.h"
#include "project/recovery_copy.h"
#include "project/recovery_offer.h"
#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

const std::string kState = "/state/pelisto";

// This program is `id`; of the others only `live` runs.
ProgramFiles stateFiles(int64_t id, int64_t live = 0) {
  return ProgramFiles{kState, id, [=](int64_t other) { return other == id || other == live; }};
}
std::string copyOf(int64_t id) { return stateFiles(id).path(kRecoveryStem, kRecoveryExtension); }

// Two entries saved; copies kept as program 100.
struct CopyApp : EditListApp {
  CopyApp() {
    headless.keepRecoveryCopies(stateFiles(100));
    markSavedEntries();
  }
  // The lines of the list in the copy; -1 when there is none.
  int copyLines() {
    if (!fs.isFile(copyOf(100))) return -1;
    auto p = decodeProject(fs.contents(copyOf(100)), kMaxEditRows);
    return p && p->waveFileName == "/wav/a.wav" ? static_cast<int>(p->entries.size()) : -2;
  }
  void act(Event e) { headless.dispatch(e); }
  void deleteLine(int i) {
    ui.select(i);
    act(Event::click(Control::BUTTON8));
  }
};

TEST(RecoveryCopy, FollowsEachChangeWithinASecondAndGoesWithTheUnsavedList) {
  using A = std::function<void(CopyApp&)>;
  const A none = [](CopyApp&) {};
  const A undo = [](CopyApp& a) { a.act(Event{EventKind::kUndo}); };
  const A blank = [](CopyApp& a) { a.answerInput("1"); a.act(Event::click(Control::BUTTON11)); };
  struct Step {
    const char* what;
    int64_t waitMs;  // simulated time first
    A act;
    int lines;
  } steps[] = {
      {"saved list: none", 0, none, -1},
      {"first change: at once", 0, [](CopyApp& a) { a.deleteLine(1); }, 1},
      {"a change within the second waits", 300, blank, 1},
      {"until the second ends", 699, none, 1},
      {"", 1, none, 2},
      {"undo to an unsaved list", 0, undo, 2},
      {"", 1000, none, 1},
      {"undo to the saved list: gone", 0, undo, -1},
      {"the next change waits for its second", 500, blank, -1},
      {"", 500, none, 3},
      {"saved: gone", 0, [](CopyApp& a) { a.ui.queueAnswer({ScriptedAnswer::kSave, "/wav/l.prj"});
                                         a.act(Event::choose(MenuItem::SaveProject)); }, -1},
      {"changed again", 2000, [](CopyApp& a) { a.deleteLine(0); }, 2},
      {"closed without saving: gone", 0, [](CopyApp& a) { a.ui.queueAnswer({ScriptedAnswer::kNo, ""});
                                                       a.headless.close(); }, -1},
  };
  CopyApp app;
  for (const Step& s : steps) {
    app.headless.advance(s.waitMs);
    s.act(app);
    EXPECT_EQ(app.copyLines(), s.lines) << s.what << " at " << app.headless.now() << " ms";
  }
  EXPECT_EQ(app.fs.files().size(), 2u) << "the wave file and the project only";
  EXPECT_FALSE(app.transcript.faulted());
}

TEST(RecoveryCopy, IsWrittenByTheWorkerAndAChangeMeanwhileFollowsIt) {
  CopyApp app;
  ManualWorker writer;
  enableRecoveryCopy(app.ctx, stateFiles(100), writer, [&] { return app.headless.now(); });
  app.deleteLine(1);
  EXPECT_TRUE(writer.busy());
  EXPECT_EQ(app.copyLines(), -1) << "nothing written on the user-interface thread";
  app.headless.advance(2000);
  app.deleteLine(0);  // while the first write still runs
  writer.runToEnd();
  EXPECT_EQ(app.copyLines(), 1);
  app.headless.advance(5);
  writer.runToEnd();
  EXPECT_EQ(app.copyLines(), 0);
  endRecoveryCopy(app.ctx);
  EXPECT_EQ(app.copyLines(), -1);
}

TEST(RecoveryCopy, AFolderThatCannotBeWrittenIsSaidOnceAndEditingGoesOn) {
  CopyApp app;
  app.fs.addDirectory("/state");
  app.fs.setReadOnlyDirectory("/state");
  app.deleteLine(1);
  app.headless.advance(1000);
  app.deleteLine(0);
  app.headless.advance(1000);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{std::string("message: ") + kMsgCannotKeepCopy + "\n" +
                                                   copyOf(100) + "\nアクセスが拒否されました"}));
  EXPECT_EQ(app.state().EDITCOUNT, 0);
}

// A start of program 200 with the copies of other programs in its state
// folder, as they were left.
struct StartApp : TestApp {
  explicit StartApp(const std::vector<std::pair<int64_t, std::vector<uint8_t>>>& copies,
                    std::vector<ScriptedAnswer> answers, int64_t live = 0) {
    fs.addDirectory("/wav");
    fs.setContents("/wav/a.wav", wavFile(patternData(12 * kBytesPerSecond)));
    fs.addDirectory("/state");
    fs.addDirectory(kState);
    for (const auto& [id, bytes] : copies) fs.setContents(copyOf(id), bytes);
    for (const ScriptedAnswer& a : answers) ui.queueAnswer(a);
    headless.keepRecoveryCopies(stateFiles(200, live));
    started();
  }
};

// The copy program 100 leaves when it is killed: the two saved entries and
// `blanks` blanks, or only the second entry.
std::vector<uint8_t> leftCopy(int blanks) {
  CopyApp a;
  if (blanks == 0) a.deleteLine(0);
  for (int i = 0; i < blanks; ++i) {
    a.answerInput("2");
    a.act(Event::click(Control::BUTTON11));
  }
  a.headless.advance(1000);
  return a.fs.contents(copyOf(100));
}

TEST(RecoveryOffer, ACopyOfAProgramNoLongerRunningIsRestoredAsAProjectOpenWould) {
  CopyApp before;
  before.deleteLine(0);
  before.answerInput("2");
  before.act(Event::click(Control::BUTTON11));
  before.ui.select(1);
  before.headless.advance(1000);
  const std::vector<uint8_t> bytes = before.fs.contents(copyOf(100));
  StartApp app({{100, bytes}}, {{ScriptedAnswer::kYes, ""}});
  EXPECT_EQ(app.lines(), (std::vector<std::string>{std::string("question: ") + kAskRestoreList}));
  ASSERT_EQ(app.ui.lineCount(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(app.ui.line(i), before.ui.line(i)) << i;
    EXPECT_EQ(app.ctx.state.EDITFILE[i], before.ctx.state.EDITFILE[i]) << i;
    EXPECT_EQ(app.ctx.state.EDITDATA[i], before.ctx.state.EDITDATA[i]) << i;
  }
  EXPECT_EQ(app.ctx.state.EDITCOUNT, 2);
  EXPECT_EQ(app.ui.selected(), -1);
  EXPECT_EQ(app.ui.scrollPos(), 0);
  EXPECT_EQ(windowTitle(app.ctx), "*a.wav - Pelisto");
  // The list is this program's now; the old copy has gone.
  EXPECT_EQ(app.fs.contents(copyOf(200)), bytes);
  EXPECT_FALSE(app.fs.isFile(copyOf(100)));
}

TEST(RecoveryOffer, EachCopyIsOfferedNewestFirstAndOnlyWhenItsProgramHasEnded) {
  using SA = ScriptedAnswer;
  const std::vector<uint8_t> older = leftCopy(0), newer = leftCopy(1);
  const std::vector<uint8_t> bad = {'W', 'A', 'V', 'E', 'E', 'D', 'I', 'T', 1};
  const std::string question = std::string("question: ") + kAskRestoreList;
  const std::string badMoved = kState + "/RECOVERY-400-unreadable.PRJ";
  struct Case {
    const char* what;
    std::vector<SA> answers;
    std::vector<std::string> lines;
    int restored;                    // lines of the list restored
    std::vector<std::string> files;  // left in the state folder
  } cases[] = {
      {"no, then yes", {{SA::kNo, ""}, {SA::kYes, ""}}, {question, question}, 1, {copyOf(200), copyOf(300)}},
      {"yes to the newest", {{SA::kYes, ""}}, {question}, 3, {copyOf(200), copyOf(100), copyOf(300)}},
      {"the box closed", {{SA::kCancel, ""}}, {question}, 0, {copyOf(100), copyOf(301), copyOf(300)}},
      {"no to both", {{SA::kNo, ""}, {SA::kNo, ""}}, {question, question}, 0, {copyOf(300)}},
  };
  for (const Case& c : cases) {
    // 301 was written last; 300 still runs; 400 cannot be read.
    StartApp app({{100, older}, {301, newer}, {300, older}, {400, bad}}, c.answers, 300);
    std::vector<std::string> lines = {std::string("message: ") + kMsgUnreadableCopies + "\n" + badMoved};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(app.lines(), lines) << c.what;
    EXPECT_EQ(app.ui.lineCount(), c.restored) << c.what;
    std::vector<std::string> files = c.files;
    files.push_back(badMoved);
    for (const std::string& f : app.fs.files()) {
      if (f.starts_with(kState) && std::find(files.begin(), files.end(), f) == files.end()) {
        ADD_FAILURE() << c.what << ": " << f << " left";
      }
    }
    for (const std::string& f : files) EXPECT_TRUE(app.fs.isFile(f)) << c.what << ": " << f << " gone";
  }
}

TEST(RecoveryOffer, ACopyUnderThisProgramsOwnIdIsOfferedNotWrittenOver) {
  StartApp app({{200, leftCopy(0)}}, {{ScriptedAnswer::kCancel, ""}});
  EXPECT_EQ(app.lines(), (std::vector<std::string>{std::string("question: ") + kAskRestoreList}));
  EXPECT_FALSE(app.fs.isFile(copyOf(200)));
  EXPECT_TRUE(app.fs.isFile(copyOf(200 + (int64_t{1} << 32))));
}

}  // namespace
}  // namespace pelisto::test
