#include <gtest/gtest.h>

#include "headless/headless_ui.h"

namespace pelisto {
namespace {

TEST(HeadlessUi, AnswersOfTheWrongKindCancelAndFault) {
  struct Case {
    ScriptedAnswer answer;
    bool save;
  } cases[] = {{{ScriptedAnswer::kSave, "x.wav"}, false},
               {{ScriptedAnswer::kOpen, "x.wav"}, true},
               {{ScriptedAnswer::kYes, ""}, false}};
  for (const auto& c : cases) {
    Transcript t;
    HeadlessUi ui(t);
    ui.queueAnswer(c.answer);
    EXPECT_EQ(ui.fileDialog({"T", "", "", c.save}), std::nullopt);
    EXPECT_TRUE(t.faulted());
    EXPECT_EQ(t.lines().front(), c.save ? "dialog: save T" : "dialog: open T");
  }
  Transcript t;
  HeadlessUi ui(t);
  ui.queueAnswer({ScriptedAnswer::kInput, "5"});
  EXPECT_EQ(ui.question("cap", "本当に？"), Answer::kCancel);
  EXPECT_EQ(t.lines(), (std::vector<std::string>{
                           "question: 本当に？", "error: the queued answer does not fit a question"}));
}

TEST(HeadlessUi, InputIsCutTo64Characters) {
  Transcript t;
  HeadlessUi ui(t);
  std::string longText;
  for (int i = 0; i < 70; ++i) longText += "あ";
  ui.queueAnswer({ScriptedAnswer::kInput, longText});
  std::string got = ui.inputBox("ループ回数", "p", "").value_or("");
  EXPECT_EQ(got.size(), 64u * 3);
  EXPECT_EQ(t.lines(), (std::vector<std::string>{"dialog: input ループ回数"}));
}

TEST(HeadlessUi, ListSelectionFollowsInsertsAndRemovals) {
  Transcript t;
  HeadlessUi ui(t);
  for (const char* s : {"a", "b", "c"}) ui.addLine(s);
  ui.select(1);
  ui.insertLine(0, "z");
  EXPECT_EQ(ui.selected(), 2);
  EXPECT_EQ(ui.line(2), "b");
  ui.removeLine(0);
  EXPECT_EQ(ui.selected(), 1);
  ui.removeLine(1);
  EXPECT_EQ(ui.selected(), -1);
  EXPECT_EQ(ui.lineCount(), 2);
  ui.removeLine(7);  // ignored
  EXPECT_EQ(ui.line(7), "");
  ui.select(2);
  EXPECT_EQ(ui.selected(), -1);
}

TEST(HeadlessUi, ScrollPositionStaysInsideTheRange) {
  Transcript t;
  HeadlessUi ui(t);
  ui.setScrollRange(0, 10);
  ui.setScrollPos(8);
  ui.setScrollRange(0, 3);
  EXPECT_EQ(ui.scrollPos(), 3);
  ui.setScrollPos(-4);
  EXPECT_EQ(ui.scrollPos(), 0);
}

}  // namespace
}  // namespace pelisto
