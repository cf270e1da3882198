// A started application with a wave file open, and short-hands for marking
// ranges and reading the edit list back, for the edit-list tests.
#pragma once

#include <string>
#include <vector>

#include "shell/events.h"
#include "model/list_state.h"
#include "platform/text.h"
#include "support/test_app.h"

namespace pelisto::test {

struct EditListApp : TestApp {
  // Opens a file of `seconds` seconds of sound at `path`.
  explicit EditListApp(int seconds = 12, const std::string& path = "/wav/a.wav") {
    started();
    fs.addDirectory("/wav");
    const size_t bytes = size_t(seconds) * kBytesPerSecond;
    fs.setContents(path, wavFile(patternData(bytes)));
    openWave(path);
    transcript.clear();
  }

  AppState& state() { return ctx.state; }
  EditDataRow& row(int r) { return ctx.state.EDITDATA[r]; }

  // A press with the left button on PICTURE1 at x with the view at `second`.
  void pressAt(int second, double x) {
    ui.setScrollPos(second);
    PICTURE1_MOUSEDOWN(ctx, 1, x, 40);
  }
  void markStart(int second, double x) {
    BUTTON3_ON(ctx);
    pressAt(second, x);
  }
  // End marking needs the pending line selected, as after a start mark.
  void markEnd(int second, double x) {
    ui.select(ui.lineCount() - 1);
    BUTTON4_ON(ctx);
    pressAt(second, x);
  }
  void markRange(int startSecond, double startX, int endSecond, double endX) {
    markStart(startSecond, startX);
    markEnd(endSecond, endX);
  }

  // Finished entries at 0.017–0.333 s and 1.000–2.000 s (and with `third`
  // 3.500–4.250 s), the list then as if just saved.
  void markSavedEntries(bool third = false) {
    markRange(0, 10, 0, 200);
    markRange(1, 0, 2, 0);
    if (third) markRange(3, 300, 4, 150);
    markListSaved(ctx);
    transcript.clear();
  }

  std::vector<std::string> listLines() const {
    std::vector<std::string> out;
    for (int i = 0; i < ui.lineCount(); ++i) out.push_back(ui.line(i));
    return out;
  }
  void answerInput(const std::string& text) { ui.queueAnswer({ScriptedAnswer::kInput, text}); }
  // Events as the window delivers them, through the dispatcher.
  void dispatch(Event e) { dispatchEvent(ctx, e); }
  void click(Control c) { dispatch(Event::click(c)); }
  void press(int x) {
    dispatch(Event::mouse(EventKind::kMouseDown, Control::PICTURE1, 1, x, 40));
  }
  void answerCancel() { ui.queueAnswer({ScriptedAnswer::kCancel, ""}); }
};

// A line as the bytes the list shows.
inline std::string cp932(const std::string& utf8) {
  auto r = toCp932(utf8);
  return r ? r.value() : "<not CP932>";
}

}  // namespace pelisto::test
