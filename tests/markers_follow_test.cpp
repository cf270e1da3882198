// The markers follow the list: after whatever takes the selected line away
// or moves it, exactly the markers of the line selected then are drawn and
// can be grabbed, and a drag in progress has ended.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

constexpr int kL = 104, kT = 72;  // PICTURE1 on the main window

// A (0.1–0.2 s), B (0.5–0.75 s) and C (0.8–1.0 s, its end in second 1), the
// view at second 0.
struct MarkerApp : EditListApp {
  MarkerApp() : EditListApp(4) {
    markRange(0, 60, 0, 120);
    markRange(0, 300, 0, 450);
    markRange(0, 480, 1, 0);
    ui.setScrollPos(0);
  }
  // Selects line, then holds its start marker (at x) down and moves it.
  void grab(int line, int x) {
    ui.select(line);
    dispatch(Event::listClick());
    x += kL;
    dispatch(Event::mouse(EventKind::kMouseMove, Control::MAINFORM, 0, x, kT - 2));
    dispatch(Event::mouse(EventKind::kMouseMove, Control::MAINFORM, 1, x + 20, kT - 2));
  }
};

TEST(MarkersFollow, TheSelectedLineAfterEveryChangeOfTheList) {
  using Step = std::function<void(MarkerApp&)>;
  auto click = [](Control c) { return [c](MarkerApp& a) { a.click(c); }; };
  auto undo = [](MarkerApp& a) { a.dispatch(Event{EventKind::kUndo}); };
  auto select = [](int line) { return [line](MarkerApp& a) { a.ui.select(line); }; };
  auto load = [](MarkerApp& a) {
    a.ui.queueAnswer({ScriptedAnswer::kOpen, "/wav/p.PRJ"});
    a.dispatch(Event::choose(MenuItem::OpenProject));
  };
  auto save = [](MarkerApp& a) {
    a.ui.queueAnswer({ScriptedAnswer::kSave, "/wav/p"});
    a.dispatch(Event::choose(MenuItem::SaveProject));
  };
  struct Case {
    const char* what;
    std::vector<Step> before;
    int line, x;  // the line grabbed, and its start
    std::vector<Step> action;
    std::set<int> markers;  // x in the picture of the markers drawn after
  } cases[] = {
      {"delete", {}, 1, 300, {click(Control::BUTTON8)}, {}},
      {"up", {}, 1, 300, {click(Control::BUTTON9)}, {300, 450}},
      {"down", {}, 1, 300, {click(Control::BUTTON10)}, {300, 450}},
      {"undo", {select(0), click(Control::BUTTON8)}, 0, 300, {undo}, {60, 120}},
      {"redo", {select(1), click(Control::BUTTON8), undo}, 1, 300,
       {[](MarkerApp& a) { a.dispatch(Event{EventKind::kRedo}); }}, {}},
      {"project load", {save}, 1, 300, {load}, {}},
      {"start mark", {}, 1, 300, {click(Control::BUTTON3), [](MarkerApp& a) { a.press(540); }}, {540}},
  };
  for (const Case& c : cases) {
    MarkerApp app;
    for (const Step& s : c.before) s(app);
    app.grab(c.line, c.x);
    ASSERT_NE(app.state().DRAGMODE, 0) << c.what;
    for (const Step& s : c.action) s(app);
    EXPECT_EQ(app.state().DRAGMODE, 0) << c.what;
    const Canvas& form = app.ui.canvas(Control::MAINFORM);
    for (int x : {60, 120, 300, 450, 480, 540}) {
      EXPECT_EQ(form.pixel(kL + x, kT - 8) == (Rgb{255, 0, 0}), c.markers.count(x) == 1) << c.what << " " << x;
    }
    int boxed = 0;
    for (auto& box : app.state().MARKERBOX) boxed += box[0] != 0 && c.markers.count(box[0] - kL + 8);
    EXPECT_EQ(boxed, int(c.markers.size())) << c.what;
    // What is not drawn cannot be grabbed.
    app.dispatch(Event::mouse(EventKind::kMouseMove, Control::MAINFORM, 0, kL + 300, kT - 2));
    EXPECT_EQ(app.state().DRAGMODE != 0, c.markers.count(300) == 1) << c.what;
  }
}

}  // namespace
}  // namespace pelisto::test
