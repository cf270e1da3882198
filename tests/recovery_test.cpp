// The copy of an unsaved edit list kept against a crash, and its offer at
// the next start.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "headless/manual_worker.h"
#include "project/project_commands.h"
#include "project/project_format.h"
#include "project/recovery_copy.h"
#include "project/recovery_offer.h"
#include "support/edit_list_app.h"
#include "view/window_title.h"

namespace pelisto::test {
namespace {

using SA = ScriptedAnswer;
const std::string kState = "/state/pelisto";
const std::string kAsked = std::string("question: ") + kAskRestoreList;

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
  int copyLines() {  // the lines of the list in the copy; -1: no copy
    auto p = decodeProject(fs.contents(copyOf(100)), kMaxEditRows);
    return !p ? -1 : p->waveFileName == "/wav/a.wav" ? static_cast<int>(p->entries.size()) : -2;
  }
  void act(Event e) { headless.dispatch(e); }
  void deleteLine(int i) { ui.select(i), act(Event::click(Control::BUTTON8)); }
  void blank() { answerInput("1"), act(Event::click(Control::BUTTON11)); }
};

TEST(RecoveryCopy, FollowsEachChangeWithinASecondAndGoesWithTheUnsavedList) {
  using A = std::function<void(CopyApp&)>;
  const A none = [](CopyApp&) {}, blank = [](CopyApp& a) { a.blank(); };
  const A undo = [](CopyApp& a) { a.act(Event{EventKind::kUndo}); };
  const struct {
    int64_t waitMs;  // simulated time first
    A act;
    int lines;
  } steps[] = {
      {0, none, -1}, {0, [](CopyApp& a) { a.deleteLine(1); }, 1},  // the first change at once
      {300, blank, 1}, {699, none, 1}, {1, none, 2},                // the next when its second ends
      {0, undo, 2}, {1000, none, 1}, {0, undo, -1},                 // undone to the saved list: gone
      {500, blank, -1}, {500, none, 3},
      {0, [](CopyApp& a) { a.ui.queueAnswer({ScriptedAnswer::kSave, "/wav/l.prj"});
                           a.act(Event::choose(MenuItem::SaveProject)); }, -1},
      {2000, [](CopyApp& a) { a.deleteLine(0); }, 2},
      {0, [](CopyApp& a) { a.ui.queueAnswer({ScriptedAnswer::kNo, ""}); a.headless.close(); }, -1},
  };
  CopyApp app;
  for (const auto& s : steps) {
    app.headless.advance(s.waitMs);
    s.act(app);
    EXPECT_EQ(app.copyLines(), s.lines) << "at " << app.headless.now() << " ms";
  }
  EXPECT_EQ(app.fs.files().size(), 2u) << "the wave file and the project only";
}

TEST(RecoveryCopy, IsWrittenByTheWorkerAndAChangeMeanwhileFollowsIt) {
  CopyApp app;
  ManualWorker writer;
  enableRecoveryCopy(app.ctx, stateFiles(100), writer, [&] { return app.headless.now(); });
  app.deleteLine(1);
  EXPECT_EQ(app.copyLines(), -1) << "nothing written on the user-interface thread";
  app.headless.advance(2000);
  app.deleteLine(0);  // while the first write still runs
  writer.runToEnd();
  EXPECT_EQ(app.copyLines(), 1);
  app.headless.advance(5);
  writer.runToEnd();
  EXPECT_EQ(app.copyLines(), 0);
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

// The copy program 100 leaves when it is killed: the second entry alone,
// or both and a blank.
std::vector<uint8_t> leftCopy(bool blank) {
  CopyApp a;
  blank ? a.blank() : a.deleteLine(0);
  return a.fs.contents(copyOf(100));
}

// A start of program 200 with copies of other programs (and one of its own
// id, left before a restart) in its state folder, oldest first; file named
// on its command line (an empty project of a.wav is at /wav/p.PRJ).
struct StartApp : TestApp {
  StartApp(const std::vector<std::pair<int64_t, std::vector<uint8_t>>>& copies, std::vector<SA> answers,
           int64_t live = 0, const std::string& file = {}) {
    fs.addDirectory("/wav");
    fs.setContents("/wav/a.wav", wavFile(patternData(12 * kBytesPerSecond)));
    fs.setContents("/wav/p.PRJ", encodeProject(Project{.waveFileName = "/wav/a.wav", .entries = {}, .length = 0}).value());
    fs.addDirectory("/state");
    fs.addDirectory(kState);
    for (const auto& [id, bytes] : copies) fs.setContents(copyOf(id), bytes);
    for (SA& a : answers) ui.queueAnswer(std::move(a));
    headless.keepRecoveryCopies(stateFiles(200, live));
    headless.start(file);
  }
};

TEST(RecoveryOffer, ACopyOfAProgramNoLongerRunningIsRestoredAsAProjectOpenWould) {
  CopyApp before;
  before.deleteLine(0);
  before.blank();
  before.ui.select(1);
  before.act(Event::listClick());
  before.headless.advance(1000);
  StartApp app({{100, before.fs.contents(copyOf(100))}}, {{SA::kYes, ""}});
  EXPECT_EQ(app.lines(), std::vector<std::string>{kAsked});
  EXPECT_TRUE(captureList(app.ctx).sameList(captureList(before.ctx))) << "rows, lines, EDITCOUNT";
  EXPECT_EQ(app.ui.selected(), 1);
  EXPECT_EQ(app.ui.scrollPos(), 0);
  EXPECT_EQ(windowTitle(app.ctx), "*a.wav - Pelisto");
  // The list is this program's now; the old copy has gone.
  EXPECT_EQ(app.fs.contents(copyOf(200)), before.fs.contents(copyOf(100)));
  EXPECT_FALSE(app.fs.isFile(copyOf(100)));
}

TEST(RecoveryOffer, EachCopyIsOfferedNewestFirstAndOnlyWhenItsProgramHasEnded) {
  const std::vector<uint8_t> older = leftCopy(false), newer = leftCopy(true), bad = {'W', 'A', 'V', 'E'};
  const std::string oldOwn = copyOf(200 + (int64_t{1} << 32)), badMoved = kState + "/RECOVERY-400-unreadable.PRJ";
  const SA yes{SA::kYes, ""}, no{SA::kNo, ""};
  const struct {
    std::vector<SA> answers;
    int restored;                    // lines of the list restored
    std::vector<std::string> files;  // left in the state folder
  } cases[] = {
      {{no, yes}, 1, {copyOf(200), copyOf(300), oldOwn}},
      {{yes}, 3, {copyOf(100), copyOf(200), copyOf(300), oldOwn}},
      {{{SA::kCancel, ""}}, 0, {copyOf(100), copyOf(300), copyOf(301), oldOwn}},  // the box closed
      {{no, no, no}, 0, {copyOf(300)}},
  };
  for (const auto& c : cases) {
    // 301 was written last; 300 still runs; 400 cannot be read.
    StartApp app({{200, older}, {100, older}, {301, newer}, {300, older}, {400, bad}}, c.answers, 300);
    std::vector<std::string> lines(c.answers.size() + 1, kAsked);
    lines[0] = std::string("message: ") + kMsgUnreadableCopies + "\n" + badMoved;
    EXPECT_EQ(app.lines(), lines);
    EXPECT_EQ(app.ui.lineCount(), c.restored);
    std::vector<std::string> files = c.files;
    files.insert(files.begin(), badMoved);
    std::vector<std::string> left;
    for (const std::string& f : app.fs.files()) if (f.starts_with(kState)) left.push_back(f);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(left, files) << c.answers.size() << " answers";
  }
}

// A project named at start asks before it replaces the list just restored.
TEST(RecoveryOffer, AProjectNamedAtStartAsksBeforeReplacingTheRestoredList) {
  for (const SA& answer : {SA{SA::kCancel, ""}, SA{SA::kNo, ""}}) {
    StartApp app({{100, leftCopy(true)}}, {{SA::kYes, ""}, answer}, 0, "/wav/p.PRJ");
    EXPECT_EQ(app.lines(), (std::vector<std::string>{kAsked, std::string("question: ") + kMsgListUnsaved}));
    EXPECT_EQ(app.ui.lineCount(), answer.kind == SA::kNo ? 0 : 3);
  }
}

}  // namespace
}  // namespace pelisto::test
