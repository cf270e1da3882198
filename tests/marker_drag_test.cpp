#include <gtest/gtest.h>

#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

constexpr int kL = 104;  // PICTURE1's place on the main window
constexpr int kT = 72;
constexpr int kW = 600;

void setBox(AppState& s, int row, int16_t l, int16_t t, int16_t r, int16_t b) {
  s.MARKERBOX[row][0] = l;
  s.MARKERBOX[row][1] = t;
  s.MARKERBOX[row][2] = r;
  s.MARKERBOX[row][3] = b;
}

TEST(MarkerDrag, HoverGrabsAMarkerAndTheEndWinsOnOverlap) {
  EditListApp app(1);
  AppState& s = app.state();
  setBox(s, 0, 396, 64, 412, 72);
  setBox(s, 1, 406, 64, 422, 72);
  struct Case {
    double x, y;
    int16_t drag;
  } cases[] = {
      {396, 64, 1}, {405, 70, 1}, {406, 64, 2}, {412, 72, 2}, {422, 72, 2},
      {423, 70, 0}, {400, 73, 0}, {395, 70, 0}, {0, 0, 0},
  };
  for (const Case& c : cases) {
    MAINFORM_MOUSEMOVE(app.ctx, 0, c.x, c.y);
    EXPECT_EQ(s.DRAGMODE, c.drag) << c.x << "," << c.y;
    Pointer want = c.drag ? Pointer::kSizeWE : Pointer::kArrow;
    EXPECT_EQ(app.ui.pointer(Control::MAINFORM), want) << c.x << "," << c.y;
    EXPECT_EQ(app.ui.mouseCaptured(), c.drag != 0) << c.x << "," << c.y;
  }
  setBox(s, 0, 0, 0, 0, 0);  // a row of zeros is a hidden marker
  MAINFORM_MOUSEMOVE(app.ctx, 0, 0, 0);
  EXPECT_EQ(s.DRAGMODE, 0);
}

TEST(MarkerDrag, DraggingPastEitherEndScrollsASecond) {
  EditListApp app(12);  // scroll range 0..12
  struct Case {
    int16_t drag;
    int from;
    int button;
    double x;
    int to;
  } cases[] = {
      {1, 5, 1, kL - 1, 4},      {1, 5, 1, kL + kW + 1, 6}, {2, 12, 1, kL + kW + 40, 12},
      {2, 0, 1, 3, 0},           {1, 5, 1, kL, 5},          {1, 5, 1, kL + kW, 5},
      {0, 5, 1, kL - 1, 5},      {1, 5, 0, kL - 1, 5},      {1, 5, 2, kL - 1, 5},
  };
  for (const Case& c : cases) {
    app.state().DRAGMODE = c.drag;
    app.ui.setScrollPos(c.from);
    MAINFORM_MOUSEMOVE(app.ctx, c.button, c.x, 68);
    EXPECT_EQ(app.ui.scrollPos(), c.to) << c.drag << " " << c.from << " " << c.x;
  }
}

TEST(MarkerDrag, DrawsTheGrabbedMarkerAloneUnderThePointer) {
  EditListApp app(4);
  app.markRange(1, 300, 1, 450);  // markers at x = L + 300 and L + 450
  app.ui.select(0);
  LIST1_CLICK(app.ctx);
  Canvas& form = app.ui.canvas(Control::MAINFORM);
  const Rgb red{255, 0, 0}, band = form.palette(14);
  ASSERT_EQ(form.pixel(kL + 450, kT - 8), red);
  MAINFORM_MOUSEMOVE(app.ctx, 0, kL + 300, kT - 2);
  MAINFORM_MOUSEMOVE(app.ctx, 1, kL + 100, kT - 2);
  for (int x = kL + 92; x <= kL + 108; ++x) EXPECT_EQ(form.pixel(x, kT - 8), red) << x;
  EXPECT_EQ(form.pixel(kL + 100, kT), red);
  EXPECT_EQ(form.pixel(kL + 300, kT - 8), band);
  EXPECT_EQ(form.pixel(kL + 450, kT - 8), band);
  EXPECT_EQ(app.state().MARKERBOX[0][0], kL + 300 - 8);  // still the shown places
  EXPECT_EQ(app.state().MARKERBOX[1][0], kL + 450 - 8);
}

// Three entries, the middle one (1.500 – 3.250 s) selected with a marker grabbed.
struct DropApp : EditListApp {
  DropApp() : EditListApp(12) {
    markRange(0, 0, 0, 60);
    markRange(1, 300, 3, 150);
    markRange(5, 0, 6, 0);
    ui.select(1);
  }
  void drop(int16_t drag, int second, double x) {
    state().DRAGMODE = drag;
    state().dragMoved = true;  // a drop follows a move with the button down
    ui.setScrollPos(second);
    MAINFORM_MOUSEUP(ctx, 1, x, 68);
  }
};

TEST(MarkerDrop, MovesTheStartOrEndAndRebuildsTheLineInPlace) {
  DropApp app;
  const std::string first = app.ui.line(0), last = app.ui.line(2);
  app.drop(1, 2, kL + 150);
  EXPECT_EQ(app.row(1), (EditDataRow{99225, 143325, 2250, 3250, 1, 0, 0, 0}));
  EXPECT_EQ(app.ui.line(1).substr(32), "    2.250 ～    3.250    1.000 秒 ");
  EXPECT_EQ(app.ui.selected(), 1);
  EXPECT_EQ(app.state().DRAGMODE, 1);  // kept until the next hover test
  app.drop(2, 1, kL + 300);  // the end before the start is accepted
  EXPECT_EQ(app.row(1), (EditDataRow{99225, 66150, 2250, 1500, 1, 0, 0, 0}));
  EXPECT_EQ(app.ui.line(1).substr(32), "    2.250 ～    1.500   -0.750 秒 ");
  EXPECT_EQ(app.listLines(), (std::vector<std::string>{first, app.ui.line(1), last}));
  EXPECT_EQ(app.state().EDITCOUNT, 3);
}

TEST(MarkerDrop, IsClampedToTheShownFilesData) {
  DropApp app;  // 12 s: frames 0 … 529199, the end at 529200 and 12000 ms
  struct Case {
    int16_t drag;
    int second;
    double x;
    int32_t frames, ms;
  } cases[] = {
      {1, 0, kL - 90, 0, 0},                  // left of the picture at second 0
      {2, 12, kL + 300, 529200, 12000},       // the last scroll second lies past the data
      {2, 11, kL + kW + 30, 529200, 12000},   // right of the picture
      {1, 11, kL + kW - 1, 529126, 11998},    // still inside
  };
  for (const Case& c : cases) {
    app.drop(c.drag, c.second, c.x);
    int col = c.drag == 1 ? 0 : 1;
    EXPECT_EQ(app.row(1)[col], c.frames) << c.second << " " << c.x;
    EXPECT_EQ(app.row(1)[col + 2], c.ms) << c.second << " " << c.x;
  }
}

TEST(MarkerDrop, NothingHappensWithoutSelectionOrGrab) {
  DropApp app;
  const std::vector<std::string> lines = app.listLines();
  const EditDataRow row1 = app.row(1);
  app.ui.select(-1);
  app.drop(1, 4, kL + 10);
  app.ui.select(1);
  app.drop(0, 4, kL + 10);
  EXPECT_EQ(app.listLines(), lines);
  EXPECT_EQ(app.row(1), row1);
}

TEST(MarkerDrop, OnThePendingEntryKeepsItPending) {
  DropApp app;
  app.markStart(7, 0);
  app.drop(1, 8, kL + 300);
  EXPECT_EQ(app.row(3)[0], 8 * 44100 + 22050);
  EXPECT_EQ(app.ui.line(3).substr(32), "    8.500 ～          ");
  EXPECT_EQ(app.state().EDITCOUNT, 3);
  EXPECT_EQ(app.ui.selected(), 3);
}

// A press and release on a marker without a move is no drop.
TEST(MarkerDrop, AClickOnAMarkerChangesNothing) {
  DropApp app;
  app.ui.setScrollPos(1);
  HSCROLL1_CHANGE(app.ctx);
  const std::vector<std::string> lines = app.listLines();
  const EditDataRow row = app.row(1);
  MAINFORM_MOUSEMOVE(app.ctx, 0, kL + 303, kT - 4);  // over the start marker at L + 300
  ASSERT_EQ(app.state().DRAGMODE, 1);
  MAINFORM_MOUSEUP(app.ctx, 1, kL + 303, kT - 4);
  EXPECT_EQ(app.row(1), row);
  EXPECT_EQ(app.listLines(), lines);
}

// A marker dragged to the picture's right edge is erased whole.
TEST(MarkerDrag, TheBandIsErasedUnderAMarkerAtTheRightEdge) {
  EditListApp app;
  app.state().DRAGMODE = 1;
  MAINFORM_MOUSEMOVE(app.ctx, 1, kL + kW, kT - 4);
  Canvas& form = app.ui.canvas(Control::MAINFORM);
  ASSERT_EQ(form.pixel(kL + kW + 8, kT - 8), (Rgb{255, 0, 0}));
  MAINFORM_MOUSEMOVE(app.ctx, 1, kL + 10, kT - 4);
  for (int y = kT - 8; y <= kT; ++y) {
    for (int x = kL + 20; x <= kL + kW + 8; ++x) {
      ASSERT_NE(form.pixel(x, y), (Rgb{255, 0, 0})) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace pelisto::test
