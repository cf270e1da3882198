#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/events.h"
#include "headless/mem_file_system.h"
#include "headless/script_runner.h"
#include "headless/state_print.h"

namespace pelisto {
namespace {

using Lines = std::vector<std::string>;

class ScriptRunnerTest : public testing::Test {
 protected:
  ScriptRunnerTest() { runner.start(); }
  // Runs the lines and returns the transcript lines they added.
  Lines run(const Lines& script) {
    const size_t before = transcript.lines().size();
    for (const auto& l : script) runner.runLine(l);
    return Lines(transcript.lines().begin() + before, transcript.lines().end());
  }
  MemFileSystem fs;
  ScriptRunner runner{fs};
  Transcript& transcript = runner.transcript();
};

TEST_F(ScriptRunnerTest, ReportsFaultsAndCarriesOn) {
  const Lines faults[] = {{"jump"},
                          {"click BUTTON15"},
                          {"click BUTTON1 BUTTON2"},
                          {"menu Quit"},
                          {"scroll 1.5"},
                          {"advance -5"},
                          {"advance 9000000000000000000"},
                          {"mouse PICTURE1 drag 1 0 0"},
                          {"mouse MAINFORM up 1 x 0"},
                          {"print pixel 0 126"},
                          {"print row 101"},
                          {"print NOSUCHVAR"},
                          {"print"},
                          {"answer maybe"},
                          {"answer open"}};
  for (const auto& f : faults) {
    MemFileSystem fs2;
    ScriptRunner r(fs2);
    const Transcript& t = r.transcript();
    r.start();
    r.runLine(f[0]);
    EXPECT_TRUE(r.faulted()) << f[0];
    ASSERT_EQ(t.lines().size(), 1u) << f[0];
    EXPECT_EQ(t.lines()[0].rfind("error: ", 0), 0u) << f[0];
  }
}

// Every form of the language parses, whatever the handlers do with it.
TEST_F(ScriptRunnerTest, EveryCommandFormRuns) {
  const Lines script = {
      "menu OpenWaveFile", "menu OpenProject", "menu SaveProject", "menu GrapgFast",
      "menu Copyright", "click BUTTON1", "click BUTTON2", "click BUTTON3", "click BUTTON4",
      "click BUTTON5", "click BUTTON6", "click BUTTON7", "click BUTTON8", "click BUTTON9",
      "click BUTTON10", "click BUTTON11", "click BUTTON12", "click BUTTON13", "click BUTTON14",
      "scroll 3", "scroll -1", "select -1", "select 0", "listclick 0",
      "mouse PICTURE1 down 1 10 20", "mouse PICTURE1 move 0 10.5 20.25",
      "mouse PICTURE1 up 1 10 20", "mouse MAINFORM down 1 0 0", "mouse MAINFORM move 1 300 70",
      "mouse MAINFORM up 1 300 70", "advance 0", "advance 100", "done", "print state",
      "print list", "print row 0", "print edit1", "print edit2", "print scroll",
      "print markerbox", "print menu", "print pixel 0 0", "close"};
  for (const auto& line : script) {
    SCOPED_TRACE(line);
    MemFileSystem fs2;
    ScriptRunner r(fs2);
    const Transcript& t = r.transcript();
    r.start();
    // Dialogs and questions get a cancel: the scripts of the handlers decide
    // whether they ask.
    for (int i = 0; i < 4; ++i) r.runLine("answer cancel");
    r.runLine(line);
    for (const auto& l : t.lines()) EXPECT_NE(l.rfind("error: ", 0), 0u) << l;
  }
}

TEST_F(ScriptRunnerTest, CommentsAndBlankLinesDoNothing) {
  EXPECT_EQ(run({"", "   ", "# a comment", "#! mkwav sine a.wav 1 1", "print edit1 # trailing"}),
            (Lines{"edit1: "}));
  EXPECT_FALSE(runner.faulted());
}

TEST_F(ScriptRunnerTest, AnswersAreQueuedVerbatim) {
  run({"answer open dir with blanks/a#1.wav  ", "answer input  two  words # kept", "answer input",
       "  answer input 3  ", "answer yes", "answer no", "answer cancel", "answer save out.wav"});
  HeadlessUi& ui = runner.ui();
  EXPECT_EQ(ui.pendingAnswers(), 8u);
  EXPECT_EQ(ui.fileDialog({"t", "", "", false}), "dir with blanks/a#1.wav");
  EXPECT_EQ(ui.inputBox("c", "p", ""), " two  words # kept");
  EXPECT_EQ(ui.inputBox("c", "p", ""), "");
  EXPECT_EQ(ui.inputBox("c", "p", ""), "3  ");
  EXPECT_EQ(ui.question("c", "q"), Answer::kYes);
  EXPECT_EQ(ui.question("c", "q"), Answer::kNo);
  EXPECT_EQ(ui.question("c", "q"), Answer::kCancel);
  EXPECT_EQ(ui.fileDialog({"s", "", "", true}), "out.wav");
  EXPECT_FALSE(runner.faulted());
}

TEST_F(ScriptRunnerTest, LeftoverAnswersAreAFaultAtTheEnd) {
  run({"answer yes"});
  runner.finish();
  EXPECT_TRUE(runner.faulted());
  EXPECT_EQ(transcript.lines().back(), "error: 1 answer(s) never asked for");
}

TEST_F(ScriptRunnerTest, PrintsControlsInTheirStableForms) {
  HeadlessUi& ui = runner.ui();
  ui.setScrollRange(0, 12);
  ui.addLine("first  ");
  ui.addLine("second");
  ui.setChecked(MenuItem::GrapgFast, true);
  AppState& s = runner.context().state;
  s.EDITFILE[1] = {"/w/a.wav", "a.wav"};
  s.EDITDATA[1] = {1, 2, 3, 4, 5, 6, 7, -8};
  s.MARKERBOX[0][0] = 100;
  s.MARKERBOX[1][3] = 71;
  s.MARKERBOX[1][4] = 9;  // unused column: not shown by markerbox
  EXPECT_EQ(run({"scroll 40", "select 1", "print scroll", "print list", "print row 1", "print menu",
                 "print markerbox", "print pixel 0 63", "print pixel 597 0"}),
            (Lines{"message: waveファイルがオープンされていません",  // no file open to scroll
                   "scroll: 12 (0..12)", "list: 2 lines, selected 1", "line 0: first  ",
                   "line 1: second", "row 1: /w/a.wav | a.wav | 1 2 3 4 5 6 7 -8",
                   "menu GrapgFast: checked", "menu LoudnessOff: checked", "menu Loudness16: unchecked",
                   "menu Loudness23: unchecked", "markerbox: 100 0 0 0 | 0 0 0 71",
                   "pixel 0 63: 192 192 192", "pixel 597 0: 255 255 255"}));
  EXPECT_EQ(run({"select 5", "print list"}).front(), "list: 2 lines, selected -1");
}

TEST_F(ScriptRunnerTest, StatePrintsRowsUpToTheListLength) {
  AppState& s = runner.context().state;
  s.EDITCOUNT = 1;
  s.EDITFILE[0] = {"a.wav", "a.wav"};
  s.EDITDATA[0] = {0, 44100, 0, 1000, 1, 0, 0, 0};
  s.EDITDATA[2] = {9, 9, 9, 9, 9, 9, 9, 9};  // beyond the list: not shown
  runner.ui().addLine("finished");
  runner.ui().addLine("pending");
  s.GRAPHBUF[3] = 7;
  EXPECT_EQ(run({"print EDITFILE", "print EDITDATA", "print GRAPHBUF", "print TRACEX"}),
            (Lines{"EDITFILE(0): a.wav | a.wav", "EDITFILE(1):  | ",
                   "EDITDATA(0): 0 44100 0 1000 1 0 0 0", "EDITDATA(1): 0 0 0 0 0 0 0 0",
                   "GRAPHBUF: 0 0 0 7 0*596", "TRACEX: -1"}));
  Lines state = stateLines(runner.context());
  EXPECT_EQ(state.front(), "APPTITLE: Pelisto V0.1");
  EXPECT_EQ(state.back(), "TRACEX: -1");
  EXPECT_EQ(state.size(), 21u);  // 17 single lines, two rows of each table
}

TEST(StatePrint, RunLengthTextCompressesOnlyLongRuns) {
  const uint8_t a[] = {1, 1, 1, 2, 2, 2, 2, 255};
  EXPECT_EQ(runLengthText(a, 8), "1 1 1 2*4 255");
  EXPECT_EQ(runLengthText(a, 0), "");
  const uint8_t z[5] = {};
  EXPECT_EQ(runLengthText(z, 5), "0*5");
}

TEST_F(ScriptRunnerTest, PicturesAreWrittenAsPng) {
  fs.addDirectory("shots");
  EXPECT_TRUE(run({"print picture shots/p 1.png", "print form f.png"}).empty());
  std::vector<uint8_t> p = fs.contents("shots/p 1.png");
  ASSERT_GT(p.size(), 24u);
  EXPECT_EQ(p[1], 'P');
  EXPECT_EQ((p[18] << 8) | p[19], 598);  // IHDR width
  EXPECT_EQ((p[22] << 8) | p[23], 126);  // IHDR height
  std::vector<uint8_t> f = fs.contents("f.png");
  ASSERT_GT(f.size(), 24u);
  EXPECT_EQ((f[18] << 8) | f[19], 794);
  EXPECT_FALSE(runner.faulted());
  Lines l = run({"print picture nofolder/p.png"});
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0].rfind("error: cannot write nofolder/p.png", 0), 0u);
}

TEST_F(ScriptRunnerTest, CloseRunsTheCloseHandlerThroughTheDispatcher) {
  runner.context().state.PLAYFLAG = 1;
  // A handler that is already running is not entered again.
  markHandlerRunning(runner.context(), "MAINFORM_QUERYCLOSE", true);
  EXPECT_TRUE(run({"close"}).empty());
  markHandlerRunning(runner.context(), "MAINFORM_QUERYCLOSE", false);
  EXPECT_EQ(run({"close"}), (Lines{"mci: STOP WAVEOBJ", "mci: CLOSE WAVEOBJ"}));
  EXPECT_TRUE(runner.closed());
}

TEST_F(ScriptRunnerTest, AdvanceMovesTheSimulatedClock) {
  run({"advance 12", "advance 0", "advance 3"});
  EXPECT_EQ(runner.now(), 15);
  EXPECT_FALSE(runner.faulted());
}

}  // namespace
}  // namespace pelisto
