// Events as the backends deliver them, and the one place that binds each
// to its handler.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/context.h"
#include "model/forms.h"

namespace pelisto {

enum class EventKind {
  kButton,     // control: BUTTON1 … BUTTON14
  kMenu,       // menu: the item chosen
  kScroll,     // HSCROLL1's position changed (already set on the scroll bar)
  kListClick,  // a line of LIST1 was clicked (already selected)
  kMouseDown, kMouseMove, kMouseUp,  // control: PICTURE1 or MAINFORM
  kMciDone,    // a command sent with NOTIFY completed
  kClose,      // the user asks to close the main window
  kUndo,       // undo the last change to the edit list (as 編集 → 元に戻す)
  kRedo,       // redo the last change undone (as 編集 → やり直し)
  kOpenPath,   // a file named from outside: path
  kDrop,       // something dropped on the main window: paths
  kPlayOrStop, // the play key: plays from the view when idle, else stops
  kFirstSecond,  // the view to the first second (Home)
  kLastSecond,   // the view to the last second (End)
};

struct Event {
  EventKind kind;
  Control control = Control::MAINFORM;
  std::optional<MenuItem> menu = std::nullopt;  // kMenu only
  int button = 0;                               // mouse events only
  double x = 0, y = 0;                          // mouse events only
  std::string path = {};                        // kOpenPath only
  std::vector<std::string> paths = {};          // kDrop only

  // A button clicked (BUTTON1 … BUTTON14).
  static Event click(Control button) { return Event{EventKind::kButton, button}; }
  // A menu item chosen.
  static Event choose(MenuItem item) {
    return Event{EventKind::kMenu, Control::MAINFORM, item};
  }
  // A mouse event (kMouseDown, kMouseMove or kMouseUp) over window
  // (PICTURE1 or MAINFORM): the buttons held or changed, the position in
  // the window's client pixels.
  static Event mouse(EventKind kind, Control window, int button, double x, double y) {
    return Event{kind, window, std::nullopt, button, x, y};
  }
  // HSCROLL1's position changed.
  static Event scroll() { return Event{EventKind::kScroll, Control::HSCROLL1}; }
  // A line of LIST1 clicked.
  static Event listClick() { return Event{EventKind::kListClick, Control::LIST1}; }
  // A play sent with NOTIFY completed.
  static Event mciDone() { return Event{EventKind::kMciDone, Control::MCI1}; }
  // A file named from outside, to be opened.
  static Event openPath(std::string path) {
    Event e{EventKind::kOpenPath};
    e.path = std::move(path);
    return e;
  }
  // Something dropped on the main window: the local path of each item it
  // carries (empty for one that is no local file; none for no items).
  static Event drop(std::vector<std::string> paths) {
    Event e{EventKind::kDrop};
    e.paths = std::move(paths);
    return e;
  }
};

// Runs the handler bound to event. Returns false when the event has no
// handler (it is ignored) or its handler is already running (a handler is
// never entered again while it runs). An exception that escapes the
// handler (std::bad_alloc among them) ends it, not the program: see
// shell/handler_fault.h.
bool dispatchEvent(AppContext& ctx, const Event& event);

// The name of the handler an event runs ("BUTTON6_ON", "HSCROLL1_CHANGE", …).
std::string handlerName(const Event& event);

// Marks the handler of that name as running (or no longer running), as
// dispatchEvent does around its run, so that a test can hold one "open".
// False when no handler has that name.
bool markHandlerRunning(AppContext& ctx, const std::string& name, bool running);

}  // namespace pelisto
