// The copy of an unsaved edit list kept against a crash, and its offer at
// the next start.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <filesystem>
#include <cstring>
#include <map>
#include <functional>
#include <utility>

#include "headless/manual_worker.h"
#include "model/messages.h"
#include "project/project_commands.h"
#include "system/thread_worker.h"
#include "project/project_format.h"
#include "project/recovery_format.h"
#include "project/recovery_copy.h"
#include "project/recovery_offer.h"
#include "support/edit_list_app.h"
#include "view/window_title.h"

namespace pelisto::test {
namespace {

using SA = ScriptedAnswer;
const std::string kState = "/state/pelisto";
// 23:41 on 8 December 2026 in Japan.
constexpr int64_t kChangedNs = int64_t{1796740860} * 1000000000;

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

// On the desktop a thread of its own writes the copy, on real files: the
// copy it leaves holds the last change, and it holds the copy's lock.
TEST(RecoveryCopy, AThreadOfItsOwnWritesWhileTheListChanges) {
  char name[] = "/tmp/pelisto-copies-XXXXXX";
  const std::string dir = ::mkdtemp(name);
  auto files = newPosixFileSystem();
  files->setJournalFolder(dir);
  TestApp app(HeadlessOptions{.fs = files.get(), .device = false});
  ThreadWorker writer;
  int64_t now = 0;
  enableRecoveryCopy(app.ctx, ProgramFiles{dir, 100, nullptr}, writer, [&now] { return now; });
  for (int i = 0;; ++i, now += 200) {  // 30 changes, then until every one is written
    if (i < 30) app.ctx.list.addFinished({"/w/a.wav", "a.wav"}, {i, i + 1, 0, 0, 1, 0, 0, 0}, "a.wav");
    if (i < 30) app.ctx.state.listRevision = ++app.ctx.state.lastRevision;
    writer.poll();
    if (keepRecoveryCopy(app.ctx) < 0 && !writer.busy() && i >= 30) break;
  }
  auto copy = files->open(dir + "/RECOVERY-100.PRJ", OpenMode::kRead);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy.value()->tryLock(), LockResult::kHeld);
  EXPECT_EQ(readCopySummary(*copy.value()).value().lines, 30);
  endRecoveryCopy(app.ctx);
  EXPECT_TRUE(std::filesystem::is_empty(dir));
  std::filesystem::remove_all(dir);
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

// Every text a list can show is kept: the copy holds it whole in UTF-8,
// the project part what CP932 can hold of it. Its summary comes from the
// file's two ends; a copy of an earlier release is walked; a file larger
// than any copy is refused unread.
TEST(RecoveryFormat, EveryNameIsKeptAndTheSummaryComesFromTheEnds) {
  Project list;
  list.waveFileName = "/w/café.wav";
  for (const char* text : {"/w/café.wav", "/w/声.wav", "/w/🎵.wav", ""}) {
    list.entries.push_back(ProjectEntry{{text, displayName(text)}, {1, 2, 3, 4, 5, 0, 0, 0}});
  }
  list.entries.push_back(ProjectEntry{{std::string(40000, 'x'), "long"}, {}});
  auto bytes = encodeRecoveryCopy(list, 2);
  ASSERT_TRUE(bytes) << bytes.status().message();
  auto back = decodeRecoveryCopy(bytes.value());
  ASSERT_TRUE(back);
  EXPECT_EQ(back.value().project.waveFileName, list.waveFileName);
  EXPECT_EQ(back.value().project.entries, list.entries);
  EXPECT_EQ(back.value().selected, 2);
  auto asProject = decodeProject(bytes.value(), kMaxEditRows);
  EXPECT_EQ(asProject.value().waveFileName + asProject.value().entries[2].file[0] + "|" +
                asProject.value().entries[4].file[0], "/w/caf?.wav/w/?.wav|");

  MemFileSystem fs;
  fs.addDirectory("/s");
  std::vector<uint8_t> earlier = encodeProject(Project{1, 2, "/w/a.wav", {list.entries[1]}, 0}).value();
  for (const char* t : {"SELECTED", "\xFF\xFF\xFF\xFF"}) earlier.insert(earlier.end(), t, t + std::strlen(t));
  fs.setContents("/s/new", bytes.value());
  fs.setContents("/s/old", earlier);
  fs.setContents("/s/huge", {'W', 'A', 'V', 'E', 'E', 'D', 'I', 'T'});
  fs.setSparseLength("/s/huge", kMaxCopyBytes + 1);
  fs.failReadsOf("/s/huge");
  auto summary = [&](const char* path) {
    auto r = readCopySummary(*fs.open(path, OpenMode::kRead).value());
    return r ? r.value().waveFileName + " " + std::to_string(r.value().lines) : std::to_string(int(r.status().code()));
  };
  EXPECT_EQ(summary("/s/new"), "/w/café.wav 5");
  EXPECT_EQ(summary("/s/old"), "/w/a.wav 1");
  EXPECT_EQ(summary("/s/huge"), std::to_string(int(StatusCode::kLimit)));
}

// The copy program 100 leaves when it is killed: the second entry alone,
// or both and a blank.
std::vector<uint8_t> leftCopy(bool blank) {
  CopyApp a;
  blank ? a.blank() : a.deleteLine(0);
  return a.fs.contents(copyOf(100));
}

// A start of program 200 with copies of other programs (and one of its own
// id, left before a restart) in its state folder, oldest first, the copy
// of `live` held by its running program; with `choices` remembered from
// an earlier run, and `file` named on its command line (an empty project
// of a.wav is at /wav/p.PRJ).
struct StartApp : TestApp {
  StartApp(const std::vector<std::pair<int64_t, std::vector<uint8_t>>>& copies, std::vector<SA> answers,
           int64_t live = 0, bool locks = true, const std::map<std::string, bool>& choices = {},
           const std::string& file = {}) {
    fs.refuseLocks(!locks);
    fs.addDirectory("/wav");
    fs.setContents("/wav/a.wav", wavFile(patternData(12 * kBytesPerSecond)));
    fs.setContents("/wav/p.PRJ", encodeProject(Project{.waveFileName = "/wav/a.wav", .entries = {}, .length = 0}).value());
    fs.addDirectory("/state");
    fs.addDirectory(kState);
    for (const auto& [id, bytes] : copies) {
      fs.setContents(copyOf(id), bytes);
      fs.setModified(copyOf(id), kChangedNs + 60000000000 * static_cast<int64_t>(&bytes - &copies[0].second));
    }
    if (live) (liveCopy = std::move(fs.open(copyOf(live), OpenMode::kRead).value()))->tryLock();
    for (SA& a : answers) ui.queueAnswer(std::move(a));
    for (const auto& [key, value] : choices) ui.rememberChoice(key, value);
    headless.keepRecoveryCopies(stateFiles(200, live));
    headless.start(file);
  }
  std::vector<std::string> stateFolder() const {
    std::vector<std::string> left;
    for (const std::string& f : fs.files()) if (f.starts_with(kState)) left.push_back(f);
    return left;
  }
  std::unique_ptr<File> liveCopy;
};

// The question names each list by its wave file, its lines and the time of
// its last change; one list is named in its text, several are listed
// newest first. (Times in Japan: 23:41 there is 14:41 UTC.)
TEST(RecoveryOffer, TheQuestionNamesEachList) {
  ::setenv("TZ", "JST-9", 1);
  ::tzset();
  const std::vector<uint8_t> one = leftCopy(false), three = leftCopy(true);
  const std::string a = "a.wav の編集リスト（1 行、2026年12月8日 23:41）";
  const std::string b = "a.wav の編集リスト（3 行、2026年12月8日 23:42）";
  StartApp single({{100, one}}, {{SA::kLater, ""}});
  EXPECT_EQ(single.lines(), std::vector<std::string>{"recovery: " + std::string(kAskRestoreList) + "\n" + a +
                                                     "\n" + kAskRestoreOne});
  StartApp two({{100, one}, {101, three}}, {{SA::kLater, ""}});
  EXPECT_EQ(two.lines(), (std::vector<std::string>{
                             "recovery: 前回保存されなかった編集リストが2個あります。\n" + std::string(kAskRestoreOfSeveral),
                             "recovery 1: " + b, "recovery 2: " + a}));
  EXPECT_EQ(copyDescription("", 0, kChangedNs, kChangedNs), "waveファイルのない編集リスト（0 行、12月8日 23:41）");
}

TEST(RecoveryOffer, ACopyOfAProgramNoLongerRunningIsRestoredAsAProjectOpenWould) {
  CopyApp before;
  before.deleteLine(0);
  before.blank();
  before.ui.select(1);
  before.act(Event::listClick());
  before.headless.advance(1000);
  StartApp app({{100, before.fs.contents(copyOf(100))}}, {{SA::kRestore, "1"}});
  EXPECT_EQ(app.lines().size(), 1u);
  EXPECT_TRUE(captureList(app.ctx).sameList(captureList(before.ctx))) << "rows, lines, EDITCOUNT";
  EXPECT_EQ(app.ui.selected(), 1);
  EXPECT_EQ(app.ui.scrollPos(), 0);
  EXPECT_EQ(windowTitle(app.ctx), "*a.wav - Pelisto");
  // The list is this program's now, its copy held; the old copy has gone.
  EXPECT_EQ(app.fs.contents(copyOf(200)), before.fs.contents(copyOf(100)));
  EXPECT_TRUE(app.fs.locked(copyOf(200)));
  EXPECT_FALSE(app.fs.isFile(copyOf(100)));
}

// 301 was written last; 300 still runs; 400 cannot be read; 200 is this
// program's number, left before a restart. Where the file system refuses
// locks, a process id that runs keeps its copy instead.
TEST(RecoveryOffer, CopiesOfProgramsGoneAreRestoredDiscardedOrKept) {
  const std::vector<uint8_t> older = leftCopy(false), newer = leftCopy(true), bad = {'W', 'A', 'V', 'E'};
  const std::string oldOwn = copyOf(200 + (int64_t{1} << 32)), badMoved = kState + "/RECOVERY-400-unreadable.PRJ";
  const struct {
    SA::Kind answer;
    int restored;                    // lines of the list restored
    std::vector<std::string> files;  // left in the state folder
  } cases[] = {
      {SA::kRestore, 1, {copyOf(200), copyOf(300), copyOf(301), oldOwn}},  // the second list
      {SA::kYes, 3, {copyOf(100), copyOf(200), copyOf(300), oldOwn}},
      {SA::kLater, 0, {copyOf(100), copyOf(300), copyOf(301), oldOwn}},
      {SA::kCancel, 0, {copyOf(100), copyOf(300), copyOf(301), oldOwn}},
      {SA::kDiscard, 0, {copyOf(300)}},
      {SA::kNo, 0, {copyOf(300)}},
  };
  for (bool locks : {true, false}) {
    for (const auto& c : cases) {
      StartApp app({{200, older}, {100, older}, {301, newer}, {300, older}, {400, bad}}, {{c.answer, "2"}}, 300,
                   locks);
      EXPECT_EQ(app.lines().size(), 5u);  // the unreadable copy, the question and its three lists
      EXPECT_EQ(app.lines()[0], std::string("message: ") + kMsgUnreadableCopies + "\n" + badMoved);
      EXPECT_EQ(app.ui.lineCount(), c.restored);
      std::vector<std::string> files = c.files;
      files.insert(files.begin(), badMoved);
      std::sort(files.begin(), files.end());
      EXPECT_EQ(app.stateFolder(), files) << c.answer << (locks ? " with locks" : " without");
    }
  }
}

// A copy that cannot be removed is named once, with where it lies, and not
// offered again; memory running out while one is read keeps it.
TEST(RecoveryOffer, NoCopyIsAskedAboutAtEveryStart) {
  StartApp first({{100, leftCopy(false)}}, {{SA::kLater, ""}});
  first.fs.setReadOnlyDirectory(kState);
  first.ui.queueAnswer({SA::kDiscard, ""});
  first.transcript.clear();
  EXPECT_FALSE(offerRecoveredLists(first.ctx));
  EXPECT_EQ(first.lines().back(), std::string("message: ") + kMsgCannotRemoveCopies + "\n" + copyOf(100));
  StartApp next({{100, first.fs.contents(copyOf(100))}}, {}, 0, true, first.ui.choices());
  EXPECT_EQ(next.lines(), std::vector<std::string>{});
  EXPECT_FALSE(next.fs.isFile(copyOf(100))) << "removed once it could be";

  StartApp hungry({{100, leftCopy(false)}}, {{SA::kLater, ""}});
  hungry.fs.exhaustMemoryInReadsOf(copyOf(100), 0);
  hungry.ui.queueAnswer({SA::kYes, ""});
  hungry.transcript.clear();
  EXPECT_FALSE(offerRecoveredLists(hungry.ctx));
  EXPECT_EQ(hungry.lines().back(), std::string("message: ") + kMsgOutOfMemory);
  EXPECT_TRUE(hungry.fs.isFile(copyOf(100)));
  EXPECT_EQ(hungry.ui.lineCount(), 0);
}

// A project named at start asks before it replaces the list just restored.
TEST(RecoveryOffer, AProjectNamedAtStartAsksBeforeReplacingTheRestoredList) {
  for (const SA& answer : {SA{SA::kCancel, ""}, SA{SA::kNo, ""}}) {
    StartApp app({{100, leftCopy(true)}}, {{SA::kYes, ""}, answer}, 0, true, {}, "/wav/p.PRJ");
    EXPECT_EQ(app.lines().size(), 2u);
    EXPECT_EQ(app.lines().back(), std::string("question: ") + kMsgListUnsaved);
    EXPECT_EQ(app.ui.lineCount(), answer.kind == SA::kNo ? 0 : 3);
  }
}

}  // namespace
}  // namespace pelisto::test
