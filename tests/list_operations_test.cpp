#include <gtest/gtest.h>

#include <functional>

#include "model/messages.h"
#include "model/edit_list.h"
#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

const std::string kBlank15 = "BRANK" + std::string(27, ' ') + "    0.000 ～    1.500    1.500 秒 ";

// Three finished entries: 0.0–0.1 s, 1.5–3.25 s, 5.0–6.0 s.
struct ThreeEntries : EditListApp {
  ThreeEntries() : EditListApp(8) {
    markRange(0, 0, 0, 60);
    markRange(1, 300, 3, 150);
    markRange(5, 0, 6, 0);
    transcript.clear();
  }
};

std::string message(const std::string& text) { return "message: " + text; }

TEST(ListOperations, SelectionIsRequired) {
  const std::function<void(AppContext&)> buttons[] = {BUTTON7_ON, BUTTON8_ON, BUTTON9_ON,
                                                      BUTTON10_ON, BUTTON12_ON};
  ThreeEntries app;
  const std::vector<std::string> lines = app.listLines();
  for (const auto& button : buttons) {
    app.transcript.clear();
    app.ui.select(-1);
    button(app.ctx);
    EXPECT_EQ(app.lines(), (std::vector<std::string>{message(kMsgSelectRange)}));
  }
  EXPECT_EQ(app.listLines(), lines);
  EXPECT_EQ(app.state().EDITCOUNT, 3);
}

TEST(LoopCount, ReadsTheLeadingNumberHalfToEven) {
  struct Case {
    const char* answer;  // nullptr: cancelled
    int32_t stored;
  } cases[] = {
      {"3", 3},     {"2.5", 2},   {"3.5", 4},  {"abc", 0},           {"", 0},
      {" -7x", -7}, {"+12.49", 12}, {nullptr, 1}, {"2147483647", 2147483647},
  };
  for (const Case& c : cases) {
    ThreeEntries app;
    app.ui.select(1);
    if (c.answer) app.answerInput(c.answer);
    else app.answerCancel();
    BUTTON7_ON(app.ctx);
    EXPECT_EQ(app.row(1)[4], c.stored) << (c.answer ? c.answer : "cancel");
    EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: input ループ回数の指定"}));
    EXPECT_EQ(app.ui.lastInputPrompt(), "ループする回数を入力してください");
    EXPECT_EQ(app.ui.lastInputInitial(), "1");
  }
}

TEST(LoopCount, ShowsTheStoredCountAndRefusesOutOfRange) {
  ThreeEntries app;
  app.ui.select(2);
  app.answerInput("-4");
  BUTTON7_ON(app.ctx);
  app.answerInput("2147483648");
  BUTTON7_ON(app.ctx);
  EXPECT_EQ(app.ui.lastInputInitial(), "-4");
  EXPECT_EQ(app.row(2)[4], -4);
  EXPECT_EQ(app.lines().back(), message(kMsgLoopRange));
}

TEST(Delete, MiddleOfThreeMovesRowsUpAndClearsTheLast) {
  ThreeEntries app;
  const std::vector<std::string> before = app.listLines();
  const EditDataRow third = app.row(2);
  app.ui.select(1);
  BUTTON8_ON(app.ctx);
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{before[0], before[2]}));
  EXPECT_EQ(app.row(1), third);
  EXPECT_EQ(app.row(2), EditDataRow{});
  EXPECT_EQ(app.state().EDITFILE[2][1], "a.wav");  // texts of the freed row stay
  EXPECT_EQ(app.state().EDITCOUNT, 2);
  EXPECT_EQ(app.ui.selected(), -1);
  EXPECT_TRUE(app.lines().empty());
}

TEST(Delete, PendingEntryIsToldByPosition) {
  ThreeEntries app;
  app.markStart(4, 0);
  app.ui.select(3);
  BUTTON8_ON(app.ctx);
  EXPECT_EQ(app.state().EDITCOUNT, 3);
  EXPECT_EQ(app.ui.lineCount(), 3);
  EXPECT_EQ(app.row(3), EditDataRow{});

  // A finished 0-second blank has end frame 0 and still counts as finished.
  app.ui.select(0);
  app.answerInput("0");
  BUTTON11_ON(app.ctx);
  EXPECT_EQ(app.row(3), EditDataRow{});
  EXPECT_EQ(app.state().EDITCOUNT, 4);
  app.ui.select(3);
  BUTTON8_ON(app.ctx);
  EXPECT_EQ(app.state().EDITCOUNT, 3);
  EXPECT_EQ(app.ui.lineCount(), 3);
}

TEST(Move, UpAndDownSwapRowsAndCarryTheText) {
  ThreeEntries app;
  const std::vector<std::string> l = app.listLines();
  const EditDataRow r0 = app.row(0), r1 = app.row(1), r2 = app.row(2);
  app.ui.select(2);
  BUTTON9_ON(app.ctx);
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{l[0], l[2], l[1]}));
  EXPECT_EQ(app.row(1), r2);
  EXPECT_EQ(app.row(2), r1);
  EXPECT_EQ(app.ui.selected(), 1);
  app.ui.select(0);
  BUTTON10_ON(app.ctx);
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{l[2], l[0], l[1]}));
  EXPECT_EQ(app.row(0), r2);
  EXPECT_EQ(app.row(1), r0);
  EXPECT_EQ(app.ui.selected(), 1);
  BUTTON10_ON(app.ctx);  // second-to-last: appended at the end
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{l[2], l[1], l[0]}));
  EXPECT_EQ(app.row(2), r0);
  EXPECT_EQ(app.ui.selected(), 2);
  EXPECT_TRUE(app.lines().empty());
}

TEST(Move, EndsOfTheListAndThePendingEntryStayPut) {
  struct Case {
    const char* what;
    bool pending;
    int select;
    void (*button)(AppContext&);
  } cases[] = {
      {"up on the first", false, 0, BUTTON9_ON},
      {"down on the last", false, 2, BUTTON10_ON},
      {"pending up", true, 3, BUTTON9_ON},
      {"pending down", true, 3, BUTTON10_ON},
      {"down onto the pending", true, 2, BUTTON10_ON},
  };
  for (const Case& c : cases) {
    ThreeEntries app;
    if (c.pending) app.markStart(7, 0);
    app.transcript.clear();
    const std::vector<std::string> lines = app.listLines();
    const auto rows = app.state().EDITDATA;
    app.ui.select(c.select);
    c.button(app.ctx);
    EXPECT_EQ(app.listLines(), lines) << c.what;
    EXPECT_EQ(app.state().EDITDATA, rows) << c.what;
    EXPECT_EQ(app.ui.selected(), c.select) << c.what;
    EXPECT_TRUE(app.lines().empty()) << c.what;
  }
}

TEST(Blank, AppendsAFinishedBlank) {
  ThreeEntries app;
  app.ui.select(1);
  app.answerInput("1.5");
  BUTTON11_ON(app.ctx);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"dialog: input ブランクの挿入"}));
  EXPECT_EQ(app.ui.lastInputPrompt(), "ブランク秒数を「NNNN.NNN」形式で入力してください");
  EXPECT_EQ(app.ui.lastInputInitial(), "0");
  EXPECT_EQ(app.state().EDITFILE[3], (EditFileRow{"", "BRANK"}));
  EXPECT_EQ(app.row(3), (EditDataRow{0, 66150, 0, 1500, 0, 0, 0, 0}));
  EXPECT_EQ(app.ui.line(3), kBlank15);
  EXPECT_EQ(cp932(app.ui.line(3)).size(), 66u);
  EXPECT_EQ(app.state().EDITCOUNT, 4);
  EXPECT_EQ(app.ui.selected(), 1);

  app.ui.select(3);
  app.answerInput("");  // read as 0
  BUTTON7_ON(app.ctx);  // the loop count box of a blank starts at 0
  EXPECT_EQ(app.ui.lastInputInitial(), "0");
}

TEST(Blank, RefusalsChangeNothing) {
  struct Case {
    const char* answer;  // nullptr: cancelled
    const char* message;
  } cases[] = {
      {"-1", kMsgBlankNegative},
      {"-0.0001", kMsgBlankNegative},
      {"48696", kMsgBlankTooLong},
      {"99999999999999999999", kMsgBlankTooLong},
      {nullptr, nullptr},
  };
  for (const Case& c : cases) {
    ThreeEntries app;
    if (c.answer) app.answerInput(c.answer);
    else app.answerCancel();
    BUTTON11_ON(app.ctx);
    std::vector<std::string> want{"dialog: input ブランクの挿入"};
    if (c.message) want.push_back(message(c.message));
    EXPECT_EQ(app.lines(), want);
    EXPECT_EQ(app.ui.lineCount(), 3);
    EXPECT_EQ(app.state().EDITCOUNT, 3);
    EXPECT_EQ(app.row(3), EditDataRow{});
  }
  ThreeEntries longest;
  longest.answerInput("48695");
  BUTTON11_ON(longest.ctx);
  EXPECT_EQ(longest.row(3)[1], 2147449500);
  EXPECT_EQ(longest.ui.line(3).substr(32), "    0.000 ～ %48695.000 %48695.000 秒 ");
}

TEST(Blank, RefusedOnAnEmptyListOnly) {
  EditListApp app(1);
  BUTTON11_ON(app.ctx);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{message(kMsgBlankAlone)}));
  EXPECT_EQ(app.ui.lineCount(), 0);
  app.markStart(0, 0);  // a pending line alone is enough
  app.answerInput("1.5");
  BUTTON11_ON(app.ctx);
  app.ui.select(1);
  BUTTON8_ON(app.ctx);  // leaves the blank alone
  app.answerInput("1.5");
  BUTTON11_ON(app.ctx);
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{kBlank15, kBlank15}));
  EXPECT_EQ(app.state().EDITCOUNT, 2);
}

TEST(Copy, AppendsTheLineAndTheWholeRow) {
  ThreeEntries app;
  app.state().EDITDATA[0][4] = 5;
  app.state().EDITDATA[0][5] = 1;
  app.state().EDITDATA[0][7] = 99;
  app.ui.select(0);
  BUTTON12_ON(app.ctx);
  EXPECT_EQ(app.ui.lineCount(), 4);
  EXPECT_EQ(app.ui.line(3), app.ui.line(0));
  EXPECT_EQ(app.row(3), app.row(0));
  EXPECT_EQ(app.state().EDITFILE[3], app.state().EDITFILE[0]);
  EXPECT_EQ(app.state().EDITCOUNT, 4);
  EXPECT_EQ(app.ui.selected(), 0);
}

TEST(PendingEntry, BlankAndCopyGoJustBeforeIt) {
  ThreeEntries app;
  app.markStart(7, 300);  // pending line 3, selected
  const std::string pendingText = app.ui.line(3);
  const EditDataRow pendingRow = app.row(3);
  app.answerInput("1.5");
  BUTTON11_ON(app.ctx);
  app.ui.select(1);
  BUTTON12_ON(app.ctx);
  EXPECT_EQ(app.ui.lineCount(), 6);
  EXPECT_EQ(app.ui.line(3), kBlank15);
  EXPECT_EQ(app.row(3), (EditDataRow{0, 66150, 0, 1500, 0, 0, 0, 0}));
  EXPECT_EQ(app.ui.line(4), app.ui.line(1));
  EXPECT_EQ(app.row(4), app.row(1));
  EXPECT_EQ(app.ui.line(5), pendingText);
  EXPECT_EQ(app.row(5), pendingRow);
  EXPECT_EQ(app.state().EDITCOUNT, 5);
  // The end mark then finishes the pending entry in its own row.
  app.markEnd(7, 600);
  EXPECT_EQ(app.row(5)[3], 8000);
  EXPECT_EQ(app.state().EDITCOUNT, 6);
  EXPECT_EQ(app.ui.line(5).substr(32), "    7.500 ～    8.000    0.500 秒 ");
}

TEST(PendingEntry, CopyingItChangesNothing) {
  ThreeEntries app;
  app.markStart(7, 300);
  app.transcript.clear();
  BUTTON12_ON(app.ctx);
  EXPECT_EQ(app.ui.lineCount(), 4);
  EXPECT_EQ(app.state().EDITCOUNT, 3);
  EXPECT_TRUE(app.lines().empty());
}

TEST(Capacity, BlankAndCopyRefusedWhenTheListIsFull) {
  EditListApp app(1);
  for (int i = 0; i < kMaxEditRows; ++i) app.ctx.list.addLine("x");
  app.state().EDITCOUNT = kMaxEditRows;
  app.ui.select(0);
  BUTTON12_ON(app.ctx);
  BUTTON11_ON(app.ctx);
  EXPECT_EQ(app.lines(),
            (std::vector<std::string>{message(kMsgListFull), message(kMsgListFull)}));
  EXPECT_EQ(app.ui.lineCount(), kMaxEditRows);
  EXPECT_EQ(app.state().EDITCOUNT, kMaxEditRows);
  EXPECT_EQ(app.state().EDITDATA.size(), size_t(kInitialEditRows));
  // One row short, with a pending entry in it: full as well.
  app.state().EDITCOUNT = kMaxEditRows - 1;
  app.transcript.clear();
  BUTTON12_ON(app.ctx);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{message(kMsgListFull)}));
}

}  // namespace
}  // namespace pelisto::test
