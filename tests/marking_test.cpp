#include <gtest/gtest.h>

#include <algorithm>

#include "model/messages.h"
#include "model/edit_list.h"
#include "editlist/marking.h"
#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

using Bytes = std::vector<uint8_t>;
const Rgb kTeal{0, 128, 128};

Rgb xored(Rgb a, Rgb b) { return Rgb{uint8_t(a.r ^ b.r), uint8_t(a.g ^ b.g), uint8_t(a.b ^ b.b)}; }

TEST(MarkPosition, PointerColumnsToFramesAndMs) {
  struct Case {
    int second;
    double x;
    int32_t frames, ms;
  } cases[] = {
      {10, 300, 463050, 10500}, {0, 0, 0, 0},        {1, 300, 66150, 1500},
      {3, 150, 143325, 3250},   {0, 1, 74, 2},       // 73.5 → 74, 1.666… → 2
      {0, 3, 220, 5},           // 220.5 → 220 (even), 5
      {0, 19, 1396, 32},        // 1396.5 → 1396: an exact half, not 1396.5000000000002
      {2, 599, 132226, 2998},   // 88200 + 44026.5 → 132226; 998.33 → 998
  };
  for (const Case& c : cases) {
    MarkPosition p = positionAt(c.second, c.x, 600);
    EXPECT_EQ(p.frames, c.frames) << c.second << " " << c.x;
    EXPECT_EQ(p.ms, c.ms) << c.second << " " << c.x;
  }
}

TEST(MarkPosition, ClampToTheData) {
  const int32_t size = 2 * kBytesPerSecond + 8;  // frames 0 … 88201, the end at 88202
  struct Case {
    MarkPosition in, out;
  } cases[] = {
      {{-5, -1}, {0, 0}},
      {{88199, 1999}, {88199, 1999}},
      {{88202, 2000}, {88202, 2000}},
      {{500000, 9000}, {88202, 2000}},
  };
  for (const Case& c : cases) {
    MarkPosition p = clampToData(c.in, size);
    EXPECT_EQ(p.frames, c.out.frames);
    EXPECT_EQ(p.ms, c.out.ms);
  }
  MarkPosition empty = clampToData({300, 7}, 0);
  EXPECT_EQ(empty.frames, 0);
  EXPECT_EQ(empty.ms, 0);
}

TEST(Marking, StartThenEndBuildsARangeEntry) {
  EditListApp app(12, "/wav/a.wav");
  app.markStart(1, 300);
  const AppState& s = app.state();
  EXPECT_EQ(s.EDITFILE[0][0], "/wav/a.wav");
  EXPECT_EQ(s.EDITFILE[0][1], "a.wav");
  EXPECT_EQ(s.EDITDATA[0], (EditDataRow{66150, 0, 1500, 0, 1, 0, 0, 0}));
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{"a.wav" + std::string(27, ' ') +
                                                       "    1.500 ～          "}));
  EXPECT_EQ(app.ui.selected(), 0);
  EXPECT_EQ(s.EDITCOUNT, 0);
  EXPECT_EQ(s.MARKMODE, 0);

  app.markEnd(3, 150);
  EXPECT_EQ(s.EDITDATA[0], (EditDataRow{66150, 143325, 1500, 3250, 1, 0, 0, 0}));
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{"a.wav" + std::string(27, ' ') +
                                                       "    1.500 ～    3.250    1.750 秒 "}));
  EXPECT_EQ(app.ui.selected(), -1);
  EXPECT_EQ(s.EDITCOUNT, 1);
  EXPECT_TRUE(app.lines().empty());  // no message on the way
}

TEST(Marking, DisplayNameAfterEitherSeparator) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {
      {"/wav/a.wav", "a.wav"},
      {"C:\\wav\\b.wav", "b.wav"},
      {"/mnt/win/C:\\rec\\音声.wav", "音声.wav"},
      {"plain.wav", "plain.wav"},
      {"/wav/dir\\", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(displayName(c.path), c.name) << c.path;
}

TEST(Marking, SecondStartReplacesThePendingLine) {
  EditListApp app;
  app.markRange(0, 0, 0, 600);
  app.markStart(2, 60);
  app.markStart(5, 120);
  EXPECT_EQ(app.ui.lineCount(), 2);
  EXPECT_EQ(app.ui.line(1).substr(32), "    5.200 ～          ");
  EXPECT_EQ(app.row(1)[0], 5 * 44100 + 8820);
  EXPECT_EQ(app.state().EDITCOUNT, 1);
  EXPECT_EQ(app.ui.selected(), 1);
}

TEST(Marking, StartClearsStaleColumnsOfItsRow) {
  EditListApp app;
  app.state().EDITDATA[0] = {7, 8, 9, 10, 11, 1, 13, 14};
  app.state().EDITFILE[0] = {"/old/x.wav", "x.wav"};
  app.markStart(0, 300);
  EXPECT_EQ(app.row(0), (EditDataRow{22050, 0, 500, 0, 1, 0, 0, 0}));
}

TEST(Marking, RefusalsInOrder) {
  struct Case {
    const char* what;
    bool open;  // false: a rejected file was opened last
    int16_t playflag;
    bool pending, selected;
    std::string start, end;  // the messages of BUTTON3 and BUTTON4, "" for none
  } cases[] = {
      {"playing", true, 1, true, true, kMsgPlaying, kMsgPlaying},
      {"playing output, no file", false, 2, true, true, kMsgPlaying, kMsgPlaying},
      {"no file", false, 0, true, true, kMsgNoWaveFile, kMsgNoWaveFile},
      {"no pending entry", true, 0, false, true, "", kMsgChooseStart},
      {"pending not selected", true, 0, true, false, "", kMsgChooseStart},
      {"all fine", true, 0, true, true, "", ""},
  };
  for (const Case& c : cases) {
    for (int button = 3; button <= 4; ++button) {
      EditListApp app(1);
      if (c.pending) app.markStart(0, 10);
      else app.markRange(0, 10, 0, 20);
      app.ui.select(c.selected ? app.ui.lineCount() - 1 : -1);
      if (!c.open) {
        app.fs.setContents("/wav/bad.wav", {1, 2, 3});
        app.openWave("/wav/bad.wav");
      }
      app.state().PLAYFLAG = c.playflag;
      app.transcript.clear();
      if (button == 3) BUTTON3_ON(app.ctx);
      else BUTTON4_ON(app.ctx);
      const std::string& expected = button == 3 ? c.start : c.end;
      std::vector<std::string> shown;
      if (!expected.empty()) shown.push_back("message: " + expected);
      EXPECT_EQ(app.lines(), shown) << c.what << " " << button;
      EXPECT_EQ(app.state().MARKMODE, expected.empty() ? button - 2 : 0) << c.what;
    }
  }
}

TEST(Marking, CursorFollowsTheMouseByXor) {
  EditListApp app;
  Canvas& pic = app.ui.canvas(Control::PICTURE1);
  const Rgb under0 = pic.pixel(0, 63), under40 = pic.pixel(40, 10), under41 = pic.pixel(41, 63);
  PICTURE1_MOUSEMOVE(app.ctx, 0, 40, 10);  // not marking: no cursor
  EXPECT_EQ(pic.pixel(40, 10), under40);
  BUTTON3_ON(app.ctx);
  EXPECT_EQ(pic.pixel(0, 63), xored(under0, kTeal));
  EXPECT_EQ(pic.pixel(0, pic.height() - 1), xored(pic.pixel(1, pic.height() - 1), kTeal));
  PICTURE1_MOUSEMOVE(app.ctx, 0, 40.4, 10);
  EXPECT_EQ(app.state().CURSORX, 40);
  EXPECT_EQ(pic.pixel(0, 63), under0);
  EXPECT_EQ(pic.pixel(40, 10), xored(under40, kTeal));
  EXPECT_EQ(pic.pixel(41, 63), under41);
  EXPECT_EQ(pic.mode(), DrawMode::kCopy);
  app.pressAt(0, 40);
  EXPECT_EQ(pic.pixel(40, 10), under40);  // the press removes it
  EXPECT_EQ(app.ui.pointer(Control::PICTURE1), Pointer::kArrow);
}

// No press leaves a cursor line on the picture: a right-button cancel
// erases it, and a press outside marking draws none.
TEST(Marking, RightButtonCancelsAndErasesTheCursor) {
  EditListApp app;
  app.markRange(0, 10, 0, 20);
  Canvas& pic = app.ui.canvas(Control::PICTURE1);
  const Rgb under = pic.pixel(70, 63);
  BUTTON3_ON(app.ctx);
  PICTURE1_MOUSEMOVE(app.ctx, 0, 70, 63);
  PICTURE1_MOUSEDOWN(app.ctx, 2, 70, 63);
  EXPECT_EQ(app.state().MARKMODE, 0);
  EXPECT_EQ(app.ui.pointer(Control::PICTURE1), Pointer::kArrow);
  EXPECT_EQ(pic.pixel(70, 63), under);
  EXPECT_EQ(app.ui.lineCount(), 1);
  EXPECT_EQ(app.state().EDITCOUNT, 1);
  EXPECT_EQ(app.row(1), EditDataRow{});
}

TEST(Marking, PressOutsideMarkingChangesNothing) {
  EditListApp app;
  app.markRange(0, 10, 0, 20);
  Canvas& pic = app.ui.canvas(Control::PICTURE1);
  const std::vector<uint32_t> picture(pic.pixels(), pic.pixels() + pic.width() * pic.height());
  const EditDataRow before = app.row(0);
  for (int i = 0; i < 2; ++i) {
    app.pressAt(0, 250);
    EXPECT_TRUE(std::equal(picture.begin(), picture.end(), pic.pixels()));
  }
  EXPECT_EQ(app.row(0), before);
  EXPECT_EQ(app.row(1), EditDataRow{});
  EXPECT_EQ(app.ui.lineCount(), 1);
  EXPECT_EQ(app.state().EDITCOUNT, 1);
}

TEST(Marking, EndWithThePendingEntryGoneChangesNothing) {
  EditListApp app;
  app.markRange(0, 10, 0, 20);
  app.markStart(1, 0);
  app.ui.select(1);
  BUTTON4_ON(app.ctx);
  BUTTON8_ON(app.ctx);  // the pending line is deleted while end marking is armed
  const std::vector<std::string> lines = app.listLines();
  app.pressAt(2, 0);
  EXPECT_EQ(app.listLines(), lines);
  EXPECT_EQ(app.state().EDITCOUNT, 1);
  EXPECT_EQ(app.state().MARKMODE, 0);
}

TEST(Marking, FullListRefusesAStart) {
  EditListApp app;
  app.state().EDITCOUNT = kMaxEditRows;
  BUTTON3_ON(app.ctx);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{std::string("message: ") + kMsgListFull}));
  EXPECT_EQ(app.state().MARKMODE, 0);
  // Armed just before the list filled up.
  app.transcript.clear();
  app.state().EDITCOUNT = kMaxEditRows - 1;
  BUTTON3_ON(app.ctx);
  app.state().EDITCOUNT = kMaxEditRows;
  app.pressAt(0, 10);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{std::string("message: ") + kMsgListFull}));
  EXPECT_EQ(app.ui.lineCount(), 0);
  EXPECT_EQ(app.state().EDITDATA.size(), size_t(kInitialEditRows));
}

TEST(Marking, TablesGrowPastTheFirst101Rows) {
  EditListApp app;
  for (int i = 0; i < 103; ++i) app.markRange(0, 10, 0, 20 + i);
  EXPECT_EQ(app.state().EDITCOUNT, 103);
  EXPECT_EQ(app.row(102)[3], 203);  // (20 + 102) / 600 s
  EXPECT_EQ(app.ui.line(102).substr(32), "    0.017 ～    0.203    0.186 秒 ");
}

TEST(ListClick, ScrollsToTheEntrysSecond) {
  EditListApp app(62);
  app.state().EDITDATA[0][2] = 61999;
  app.state().EDITDATA[1][2] = 0;
  for (int i = 0; i < 2; ++i) app.ctx.list.addLine("x");
  app.state().EDITCOUNT = 2;
  app.ui.select(0);
  LIST1_CLICK(app.ctx);
  EXPECT_EQ(app.ui.scrollPos(), 61);
  app.ui.select(1);
  LIST1_CLICK(app.ctx);
  EXPECT_EQ(app.ui.scrollPos(), 0);
  app.ui.setScrollPos(5);
  app.ui.select(-1);
  LIST1_CLICK(app.ctx);
  EXPECT_EQ(app.ui.scrollPos(), 5);
  EXPECT_TRUE(app.lines().empty());
}

std::vector<uint32_t> pictureOf(EditListApp& app) { return app.picture(); }

// Columns of PICTURE1 where two pictures differ.
std::vector<int> changedColumns(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  std::vector<int> out;
  for (int x = 0; x < kPictureClientWidth; ++x) {
    for (int y = 0; y < kPictureClientHeight; ++y) {
      if (a[size_t(y) * kPictureClientWidth + x] != b[size_t(y) * kPictureClientWidth + x]) {
        out.push_back(x);
        break;
      }
    }
  }
  return out;
}

// A redraw while marking (a scroll) wiped the cursor line: the next move
// draws the new line and never a second one where the old was.
TEST(Marking, ARedrawForgetsTheCursorLine) {
  EditListApp app;
  BUTTON3_ON(app.ctx);
  PICTURE1_MOUSEMOVE(app.ctx, 0, 100, 10);
  app.ui.setScrollPos(1);
  HSCROLL1_CHANGE(app.ctx);
  const std::vector<uint32_t> clean = pictureOf(app);
  PICTURE1_MOUSEMOVE(app.ctx, 0, 200, 10);
  EXPECT_EQ(changedColumns(clean, pictureOf(app)), std::vector<int>{200});
}

// Every open, accepted or refused, ends marking and takes its line away.
TEST(Marking, AnOpenEndsMarking) {
  for (bool accepted : {false, true}) {
    EditListApp app;
    app.fs.setContents("/wav/b.wav", accepted ? wavFile(patternData(kBytesPerSecond)) : Bytes{'x'});
    BUTTON3_ON(app.ctx);
    PICTURE1_MOUSEMOVE(app.ctx, 0, 100, 10);
    app.openWave("/wav/b.wav");
    EXPECT_EQ(app.state().MARKMODE, 0) << accepted;
    EXPECT_EQ(app.ui.pointer(Control::PICTURE1), Pointer::kArrow);
    if (!accepted) {
      EXPECT_EQ(pictureOf(app), TestApp().started().picture());  // no file shown, no line
    }
    app.pressAt(0, 300);
    EXPECT_EQ(app.ui.lineCount(), 0) << accepted;
  }
}

// A click in the empty tail of the last second marks the end of the sound,
// and the entry then plays and writes.
TEST(Marking, AClickPastTheSoundMarksItsEnd) {
  EditListApp app;
  app.fs.setContents("/wav/c.wav", wavFile(patternData(441000)));  // 2.5 s
  app.openWave("/wav/c.wav");
  app.markRange(2, 0, 2, 599);
  EXPECT_EQ(app.row(0), (EditDataRow{88200, 110250, 2000, 2500, 1, 0, 0, 0}));
  app.ui.select(0);
  app.transcript.clear();
  app.ui.queueAnswer({ScriptedAnswer::kSave, "/wav/out.wav"});
  BUTTON6_ON(app.ctx);
  EXPECT_EQ(app.fs.contents("/wav/out.wav").size(), 44u + 22050 * 4);
}

}  // namespace
}  // namespace pelisto::test
