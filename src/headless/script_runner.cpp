#include "headless/script_runner.h"

#include <charconv>
#include <cstdlib>
#include <optional>
#include <vector>

#include "model/forms.h"
#include "headless/png_writer.h"
#include "headless/state_print.h"
#include "platform/text.h"
#include "shell/keys.h"

namespace pelisto {
namespace {

constexpr int64_t kMaxAdvanceMs = 24 * 3600 * 1000;  // one simulated day per line

// The text after the first `count` words and the one blank that follows
// them (empty when the line has no more).
std::string restAfter(const std::string& line, int count) {
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string::npos) return std::string();
    pos = line.find_first_of(" \t", pos);
    if (pos == std::string::npos) return std::string();
  }
  return line.substr(pos + 1);
}

// line without its comment: a '#' preceded by a blank, and what follows.
std::string stripComment(const std::string& line) {
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '#' && (line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
  }
  return line;
}

// A whole decimal integer, or a whole decimal number; false otherwise.
bool parseInt(const std::string& s, int64_t& out) {
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && ptr == end;
}

bool parseDouble(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size();
}

// What a command gets: the words after its name, without the comment, and
// the same text as written (blanks inside kept).
struct Args {
  std::vector<std::string> words;
  std::string rest;
};

// A command of the script language. run returns false when the line cannot
// be read; a fault of its own (an unknown name, a row out of range) it
// reports itself and returns true.
struct Command {
  const char* name;
  int words;  // how many words follow the name; kText: some text, blanks and all
  bool (*run)(HeadlessApp& app, const Args& args);
};
constexpr int kText = -1;

bool fault(HeadlessApp& app, const std::string& text) {
  app.transcript().fault(text);
  return true;
}

// Runs the command of table named name; false when there is none or the
// arguments do not fit it.
template <size_t N>
bool runFrom(const Command (&table)[N], const std::string& name, HeadlessApp& app, const Args& args) {
  for (const Command& c : table) {
    if (name != c.name) continue;
    const bool fits = c.words == kText ? !args.rest.empty() : int(args.words.size()) == c.words;
    return fits && c.run(app, args);
  }
  return false;
}

// Reads a whole number argument into an int.
bool intArg(const std::string& word, int& out) {
  int64_t n = 0;
  if (!parseInt(word, n)) return false;
  out = static_cast<int>(n);
  return true;
}

std::optional<Control> buttonNamed(const std::string& name) {
  for (const auto& c : mainFormControls()) {
    if (c.kind == ControlKind::kButton && name == c.name) return c.id;
  }
  if (name == form3Button().name) return Control::BUTTON13;
  return std::nullopt;
}

// MAINFORM or a picture control: the windows that raise mouse events.
std::optional<Control> windowNamed(const std::string& name) {
  if (name == "MAINFORM") return Control::MAINFORM;
  for (const auto& c : mainFormControls()) {
    if (c.kind == ControlKind::kPicture && name == c.name) return c.id;
  }
  return std::nullopt;
}

std::optional<MenuItem> menuNamed(const std::string& name) {
  for (const auto& m : menuItems()) {
    if (name == m.name) return m.id;
  }
  return std::nullopt;
}

bool menu(HeadlessApp& app, const Args& a) {
  auto item = menuNamed(a.words[0]);
  if (!item) return fault(app, "unknown menu command: " + a.words[0]);
  Event e{EventKind::kMenu};
  e.menu = *item;
  app.dispatch(e);
  return true;
}

bool click(HeadlessApp& app, const Args& a) {
  auto button = buttonNamed(a.words[0]);
  if (!button) return fault(app, "unknown button: " + a.words[0]);
  app.dispatch(Event::click(*button));
  return true;
}

bool scroll(HeadlessApp& app, const Args& a) {
  int pos = 0;
  if (!intArg(a.words[0], pos)) return false;
  app.ui().setScrollPos(pos);
  app.dispatch(Event::scroll());
  return true;
}

bool selectLine(HeadlessApp& app, const Args& a) {
  int line = 0;
  if (!intArg(a.words[0], line)) return false;
  app.ui().select(line);
  return true;
}

bool listClick(HeadlessApp& app, const Args& a) {
  if (!selectLine(app, a)) return false;
  app.dispatch(Event::listClick());
  return true;
}

// mouse WINDOW ACTION BUTTON X Y
bool mouse(HeadlessApp& app, const Args& a) {
  const std::vector<std::string>& w = a.words;
  Event e{EventKind::kMouseMove};
  if (std::optional<Control> window = windowNamed(w[0])) e.control = *window;
  else return fault(app, "unknown window: " + w[0]);
  if (w[1] == "down") e.kind = EventKind::kMouseDown;
  else if (w[1] == "move") e.kind = EventKind::kMouseMove;
  else if (w[1] == "up") e.kind = EventKind::kMouseUp;
  else return fault(app, "unknown mouse action: " + w[1]);
  if (!intArg(w[2], e.button) || !parseDouble(w[3], e.x) || !parseDouble(w[4], e.y)) return false;
  app.dispatch(e);
  return true;
}

// key NAME: a key pressed as the window takes it, whatever has the focus.
bool key(HeadlessApp& app, const Args& a) {
  const std::optional<KeyCommand> command = commandForKey(a.words[0]);
  if (!command) return fault(app, "no command on key: " + a.words[0]);
  // A disabled menu item's key does nothing, as in the window.
  if (!command->item || app.ui().isEnabled(*command->item)) app.dispatch(command->event);
  return true;
}

bool advance(HeadlessApp& app, const Args& a) {
  int64_t ms = 0;
  if (!parseInt(a.words[0], ms) || ms < 0 || ms > kMaxAdvanceMs) return false;
  app.advance(ms);
  return true;
}

bool print(HeadlessApp& app, const Args& a);

const Command kCommands[] = {
    {"menu", 1, menu},
    {"click", 1, click},
    {"scroll", 1, scroll},
    {"select", 1, selectLine},
    {"listclick", 1, listClick},
    {"mouse", 5, mouse},
    {"key", 1, key},
    {"advance", 1, advance},
    {"done", 0, [](HeadlessApp& app, const Args&) { app.completeNow(); return true; }},
    {"undo", 0, [](HeadlessApp& app, const Args&) { app.dispatch(Event{EventKind::kUndo}); return true; }},
    {"redo", 0, [](HeadlessApp& app, const Args&) { app.dispatch(Event{EventKind::kRedo}); return true; }},
    {"close", 0, [](HeadlessApp& app, const Args&) { app.close(); return true; }},
    {"drop", kText, [](HeadlessApp& app, const Args& a) { app.dispatch(Event::drop(a.words)); return true; }},
    {"print", kText, print},
};

void addLines(HeadlessApp& app, std::vector<std::string> lines) {
  for (auto& l : lines) app.transcript().add(std::move(l));
}

bool printRow(HeadlessApp& app, const Args& a) {
  int row = 0;
  if (!intArg(a.words[0], row)) return false;
  const AppState& state = app.context().state;
  if (row < 0 || row >= static_cast<int>(state.EDITDATA.size())) return fault(app, "no row " + a.words[0]);
  app.transcript().add(rowLine(state, row));
  return true;
}

bool printScroll(HeadlessApp& app, const Args&) {
  const HeadlessUi& ui = app.ui();
  app.transcript().add("scroll: " + std::to_string(ui.scrollPos()) + " (" + std::to_string(ui.scrollMin()) +
                       ".." + std::to_string(ui.scrollMax()) + ")");
  return true;
}

// The check marks of the display option, then of the choices of submenus.
bool printMenu(HeadlessApp& app, const Args&) {
  auto mark = [&](const MenuItemInfo& item) {
    const bool checked = app.ui().isChecked(item.id);
    app.transcript().add(std::string("menu ") + item.name + ": " + (checked ? "checked" : "unchecked"));
  };
  for (const MenuItemInfo& item : menuItems()) {
    if (item.id == MenuItem::GrapgFast) mark(item);
  }
  for (const MenuItemInfo& item : menuItems()) {
    if (item.submenu) mark(item);
  }
  return true;
}

bool printPixel(HeadlessApp& app, const Args& a) {
  int x = 0, y = 0;
  if (!intArg(a.words[0], x) || !intArg(a.words[1], y)) return false;
  const Canvas& pic = app.ui().canvas(Control::PICTURE1);
  if (x < 0 || y < 0 || x >= pic.width() || y >= pic.height()) {
    return fault(app, "pixel outside the picture: " + a.words[0] + " " + a.words[1]);
  }
  const Rgb c = pic.pixel(x, y);
  app.transcript().add("pixel " + a.words[0] + " " + a.words[1] + ": " + std::to_string(c.r) + " " +
                       std::to_string(c.g) + " " + std::to_string(c.b));
  return true;
}

// Writes a PNG file of the canvas of control at the path given.
bool printPng(HeadlessApp& app, const std::string& path, Control control) {
  Result<std::vector<uint8_t>> png = encodePng(app.ui().canvas(control));
  Status st = png.status();
  if (png) {
    auto file = app.fs().open(path, OpenMode::kCreate);
    st = file ? file.value()->write(0, png->data(), png->size()) : file.status();
  }
  if (!st) app.transcript().fault("cannot write " + path + ": " + st.message());
  return true;
}

// One line "pause: FIRST LAST" (frames) per pause found.
bool printPauses(HeadlessApp& app, const Args&) {
  for (const Pause& p : app.context().state.pauses.found) {
    app.transcript().add("pause: " + std::to_string(p.first) + " " + std::to_string(p.last));
  }
  return true;
}

const Command kPrints[] = {
    {"state", 0, [](HeadlessApp& app, const Args&) { addLines(app, stateLines(app.context())); return true; }},
    {"list", 0, [](HeadlessApp& app, const Args&) { addLines(app, listLines(app.ui())); return true; }},
    {"row", 1, printRow},
    {"edit1", 0,
     [](HeadlessApp& app, const Args&) { app.transcript().add("edit1: " + app.ui().text(Control::EDIT1)); return true; }},
    {"edit2", 0,
     [](HeadlessApp& app, const Args&) { app.transcript().add("edit2: " + app.ui().text(Control::EDIT2)); return true; }},
    {"scroll", 0, printScroll},
    {"markerbox", 0,
     [](HeadlessApp& app, const Args&) { app.transcript().add(markerBoxLine(app.context().state)); return true; }},
    {"menu", 0, printMenu},
    {"title", 0,
     [](HeadlessApp& app, const Args&) { app.transcript().add("title: " + app.ui().text(Control::MAINFORM)); return true; }},
    {"pixel", 2, printPixel},
    {"picture", kText, [](HeadlessApp& app, const Args& a) { return printPng(app, a.rest, Control::PICTURE1); }},
    {"form", kText, [](HeadlessApp& app, const Args& a) { return printPng(app, a.rest, Control::MAINFORM); }},
    {"overview", kText, [](HeadlessApp& app, const Args& a) { return printPng(app, a.rest, Control::OVERVIEW); }},
    {"pauses", 0, printPauses},
    {"pauseline", 0,
     [](HeadlessApp& app, const Args&) {
       const int64_t line = app.context().state.pauses.line;
       app.transcript().add("pauseline: " + (line < 0 ? std::string("none") : std::to_string(line)));
       return true;
     }},
};

// The `print state` lines of one variable; false for an unknown name.
bool printVariable(HeadlessApp& app, const std::string& name) {
  bool found = false;
  for (auto& l : stateLines(app.context())) {
    if (l.compare(0, name.size(), name) == 0 && (l[name.size()] == ':' || l[name.size()] == '(')) {
      app.transcript().add(std::move(l));
      found = true;
    }
  }
  return found;
}

// print WHAT [ARGS]: a form of the table, else the lines of a variable.
bool print(HeadlessApp& app, const Args& a) {
  const std::string& what = a.words[0];
  const Args args{{a.words.begin() + 1, a.words.end()}, trimBlanks(restAfter(a.rest, 1))};
  const bool known = runFrom(kPrints, what, app, args) || (args.words.empty() && printVariable(app, what));
  if (!known) app.transcript().fault("cannot read the line: print " + trimBlanks(what + " " + args.rest));
  return true;
}

// How an answer line queues its answer: with the rest of the line as typed,
// with a path, or with nothing more.
struct AnswerForm {
  const char* word;
  ScriptedAnswer::Kind kind;
  enum { kTyped, kPath, kBare, kNumber } takes;
};

const AnswerForm kAnswers[] = {
    {"input", ScriptedAnswer::kInput, AnswerForm::kTyped},
    {"open", ScriptedAnswer::kOpen, AnswerForm::kPath},
    {"save", ScriptedAnswer::kSave, AnswerForm::kPath},
    {"cancel", ScriptedAnswer::kCancel, AnswerForm::kBare},
    {"yes", ScriptedAnswer::kYes, AnswerForm::kBare},
    {"no", ScriptedAnswer::kNo, AnswerForm::kBare},
    {"restore", ScriptedAnswer::kRestore, AnswerForm::kNumber},
    {"discard", ScriptedAnswer::kDiscard, AnswerForm::kBare},
    {"later", ScriptedAnswer::kLater, AnswerForm::kBare},
};

// answer KIND [TEXT]: line as written, '#' and trailing blanks kept.
void answer(HeadlessApp& app, const std::string& line) {
  const std::vector<std::string> w = splitWords(line);
  const std::string kind = w.size() > 1 ? w[1] : std::string();
  // answer saveas PATTERN PATH: the save dialog's filter PATTERN chosen.
  if (kind == "saveas") {
    const std::string path = trimBlanks(restAfter(line, 3));
    if (path.empty()) return app.transcript().fault("a pattern and a path are needed: " + trimBlanks(line));
    return app.ui().queueAnswer({ScriptedAnswer::kSave, path, w[2]});
  }
  for (const AnswerForm& f : kAnswers) {
    if (kind != f.word) continue;
    if (f.takes == AnswerForm::kTyped) return app.ui().queueAnswer({f.kind, restAfter(line, 2)});
    if (f.takes == AnswerForm::kBare && splitWords(stripComment(line)).size() == 2) {
      return app.ui().queueAnswer({f.kind, ""});
    }
    if (f.takes == AnswerForm::kNumber) {
      // restore [N]: the list numbered N, the first one when none is named.
      const std::vector<std::string> words = splitWords(stripComment(line));
      int64_t n = 1;
      if (words.size() <= 3 && (words.size() == 2 || (parseInt(words[2], n) && n >= 1))) {
        return app.ui().queueAnswer({f.kind, std::to_string(n)});
      }
      break;
    }
    if (f.takes == AnswerForm::kPath) {
      const std::string path = trimBlanks(restAfter(line, 2));
      if (path.empty()) return app.transcript().fault("a path is missing: " + trimBlanks(line));
      return app.ui().queueAnswer({f.kind, path});
    }
  }
  app.transcript().fault("cannot read the line: " + trimBlanks(line));
}

}  // namespace

ScriptRunner::ScriptRunner(FileSystem& fs) : m_app(HeadlessOptions{.fs = &fs}) {}

bool ScriptRunner::beforeStart(const std::string& line) {
  const std::vector<std::string> w = splitWords(line);
  return w.empty() || w[0][0] == '#' || w[0] == "answer";
}

void ScriptRunner::runLine(const std::string& rawLine) {
  std::string line = rawLine;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string trimmed = trimBlanks(line);
  if (trimmed.empty() || trimmed[0] == '#') return;
  // Answers carry free text (paths, typed input) and keep '#' as written;
  // typed input keeps its trailing blanks.
  if (splitWords(trimmed)[0] == "answer") return answer(m_app, line);
  const std::string text = trimBlanks(stripComment(trimmed));
  const std::vector<std::string> w = splitWords(text);
  const Args args{{w.begin() + 1, w.end()}, trimBlanks(restAfter(text, 1))};
  if (!runFrom(kCommands, w[0], m_app, args)) m_app.transcript().fault("cannot read the line: " + text);
}

void ScriptRunner::finish() {
  HeadlessUi& ui = m_app.ui();
  if (ui.pendingAnswers() > 0) {
    m_app.transcript().fault(std::to_string(ui.pendingAnswers()) + " answer(s) never asked for");
  }
}

}  // namespace pelisto
