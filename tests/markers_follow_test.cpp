// After whatever takes the selected line away or moves it, exactly the
// markers of the line selected then are drawn and grabbable, and a drag ends.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

constexpr int kL = 104, kT = 72;  // PICTURE1 on the main window

TEST(MarkersFollow, TheSelectedLineAfterEveryChangeOfTheList) {
  using Step = std::function<void(EditListApp&)>;
  auto click = [](Control c) { return [c](EditListApp& a) { a.click(c); }; };
  auto key = [](EventKind k) { return [k](EditListApp& a) { a.dispatch(Event{k}); }; };
  auto dialog = [](ScriptedAnswer::Kind k, MenuItem m) {
    return [k, m](EditListApp& a) { a.ui.queueAnswer({k, "/wav/p.PRJ"}), a.dispatch(Event::choose(m)); };
  };
  const Step del0 = [](EditListApp& a) { a.ui.select(0), a.click(Control::BUTTON8); };
  const struct {
    const char* what;
    std::vector<Step> before, action;
    int grabbed;            // the line whose start marker (x 300) is dragged
    std::set<int> markers;  // x in the picture of the markers drawn after
  } cases[] = {
      {"delete", {}, {click(Control::BUTTON8)}, 1, {}},
      {"up", {}, {click(Control::BUTTON9)}, 1, {300, 450}},
      {"down", {}, {click(Control::BUTTON10)}, 1, {300, 450}},
      {"undo", {del0}, {key(EventKind::kUndo)}, 0, {60, 120}},
      {"redo", {del0, key(EventKind::kUndo)}, {key(EventKind::kRedo)}, 1, {}},
      {"project load", {dialog(ScriptedAnswer::kSave, MenuItem::SaveProject)},
       {dialog(ScriptedAnswer::kOpen, MenuItem::OpenProject)}, 1, {}},
      {"start mark", {}, {click(Control::BUTTON3), [](EditListApp& a) { a.press(540); }}, 1, {540}},
  };
  for (const auto& c : cases) {
    EditListApp app(4);  // 0.1–0.2 s, 0.5–0.75 s, 0.8–1.0 s, the view at second 0
    app.markRange(0, 60, 0, 120), app.markRange(0, 300, 0, 450), app.markRange(0, 480, 1, 0);
    app.ui.setScrollPos(0);
    for (const Step& s : c.before) s(app);
    app.ui.select(c.grabbed);
    app.dispatch(Event::listClick());
    app.dispatch(Event::mouse(EventKind::kMouseMove, Control::MAINFORM, 0, kL + 300, kT - 2));
    app.dispatch(Event::mouse(EventKind::kMouseMove, Control::MAINFORM, 1, kL + 320, kT - 2));
    for (const Step& s : c.action) s(app);
    EXPECT_EQ(app.state().DRAGMODE, 0) << c.what;
    for (int x : {60, 120, 300, 450, 480, 540}) {
      const bool red = app.ui.canvas(Control::MAINFORM).pixel(kL + x, kT - 8) == Rgb{255, 0, 0};
      EXPECT_EQ(red, c.markers.count(x) == 1) << c.what << " " << x;
    }
    int boxed = 0;
    for (auto& box : app.state().MARKERBOX) boxed += box[0] != 0 && c.markers.count(box[0] - kL + 8);
    EXPECT_EQ(boxed, int(c.markers.size())) << c.what;
    app.dispatch(Event::mouse(EventKind::kMouseMove, Control::MAINFORM, 0, kL + 300, kT - 2));
    EXPECT_EQ(app.state().DRAGMODE != 0, c.markers.count(300) == 1) << c.what;  // only what is drawn
  }
}

}  // namespace
}  // namespace pelisto::test
