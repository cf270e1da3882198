#include "platform/headless/script_runner.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <vector>

#include "app/handlers.h"
#include "app/main_loop.h"
#include "platform/headless/png_writer.h"
#include "platform/headless/state_print.h"

namespace pelisto {
namespace {

constexpr int64_t kMaxAdvanceMs = 24 * 3600 * 1000;  // one simulated day per line

std::string trim(const std::string& s) {
  const char* blanks = " \t\r\n";
  size_t b = s.find_first_not_of(blanks);
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(blanks);
  return s.substr(b, e - b + 1);
}

std::vector<std::string> words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The text after the first `count` words and the one blank that follows them.
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

// A comment after the command: a '#' preceded by a blank.
std::string stripComment(const std::string& line) {
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '#' && (line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
  }
  return line;
}

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

std::optional<Control> buttonNamed(const std::string& name) {
  for (const auto& c : mainFormControls()) {
    if (c.kind == ControlKind::kButton && name == c.name) return c.id;
  }
  if (name == form3Button().name) return Control::BUTTON13;
  return std::nullopt;
}

std::optional<MenuItem> menuNamed(const std::string& name) {
  for (const auto& m : menuItems()) {
    if (name == m.name) return m.id;
  }
  return std::nullopt;
}

}  // namespace

ScriptRunner::ScriptRunner(FileSystem& fs, Transcript& transcript)
    : m_fs(fs),
      m_transcript(transcript),
      m_ui(transcript),
      m_device(newSimulatedMci(fs, [this](MciNotify n) { m_pending.push_back(n); })),
      m_mci(transcript, m_device.get()),
      m_ctx(m_ui, fs, m_mci, m_worker) {}

void ScriptRunner::start() { MAINFORM_START(m_ctx); }

void ScriptRunner::dispatch(const Event& event) {
  dispatchEvent(m_ctx, event);
  deliverPending();
}

void ScriptRunner::deliverPending() {
  // A handler that queues a completion from every completion would never
  // let the pass end; stop and report it instead of hanging.
  constexpr int kMaxPerPass = 1000;
  for (int delivered = 0; !m_pending.empty(); ++delivered) {
    if (delivered == kMaxPerPass) {
      m_pending.clear();
      return m_transcript.fault("completions keep arriving; the rest were dropped");
    }
    m_pending.pop_front();
    dispatchEvent(m_ctx, Event{EventKind::kMciDone, Control::MCI1});
  }
}

void ScriptRunner::advance(int64_t ms) {
  const int64_t end = m_now + ms;
  while (m_now < end) {
    m_now = std::min<int64_t>(m_now + kTrackingIntervalMs, end);
    m_device->advanceTo(m_now);
    deliverPending();
    if (m_ctx.state.PLAYFLAG == 1) TRACETIMESCROLL(m_ctx);
  }
}

void ScriptRunner::runLine(const std::string& rawLine) {
  std::string line = rawLine;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string trimmed = trim(line);
  if (trimmed.empty() || trimmed[0] == '#') return;
  std::vector<std::string> w = words(trimmed);
  const std::string cmd = w[0];
  // Answers carry free text (paths, typed input) and keep '#' as written.
  if (cmd == "answer") {
    answer(line);  // untrimmed: typed input keeps its trailing blanks
    return;
  }
  w = words(stripComment(trimmed));
  const std::string text = trim(stripComment(trimmed));
  auto bad = [&]() { m_transcript.fault("cannot read the line: " + text); };
  int64_t n = 0;

  if (cmd == "menu" && w.size() == 2) {
    auto item = menuNamed(w[1]);
    if (!item) return m_transcript.fault("unknown menu command: " + w[1]);
    Event e{EventKind::kMenu};
    e.menu = *item;
    dispatch(e);
  } else if (cmd == "click" && w.size() == 2) {
    auto button = buttonNamed(w[1]);
    if (!button) return m_transcript.fault("unknown button: " + w[1]);
    dispatch(Event{EventKind::kButton, *button});
  } else if (cmd == "scroll" && w.size() == 2 && parseInt(w[1], n)) {
    m_ui.setScrollPos(static_cast<int>(n));
    dispatch(Event{EventKind::kScroll, Control::HSCROLL1});
  } else if (cmd == "select" && w.size() == 2 && parseInt(w[1], n)) {
    m_ui.select(static_cast<int>(n));
  } else if (cmd == "listclick" && w.size() == 2 && parseInt(w[1], n)) {
    m_ui.select(static_cast<int>(n));
    dispatch(Event{EventKind::kListClick, Control::LIST1});
  } else if (cmd == "mouse" && w.size() == 6) {
    Event e{EventKind::kMouseMove};
    if (w[1] == "PICTURE1") e.control = Control::PICTURE1;
    else if (w[1] == "MAINFORM") e.control = Control::MAINFORM;
    else return m_transcript.fault("unknown window: " + w[1]);
    if (w[2] == "down") e.kind = EventKind::kMouseDown;
    else if (w[2] == "move") e.kind = EventKind::kMouseMove;
    else if (w[2] == "up") e.kind = EventKind::kMouseUp;
    else return m_transcript.fault("unknown mouse action: " + w[2]);
    if (!parseInt(w[3], n) || !parseDouble(w[4], e.x) || !parseDouble(w[5], e.y)) return bad();
    e.button = static_cast<int>(n);
    dispatch(e);
  } else if (cmd == "advance" && w.size() == 2 && parseInt(w[1], n) && n >= 0 &&
             n <= kMaxAdvanceMs) {
    advance(n);
  } else if (cmd == "done" && w.size() == 1) {
    // The device reports a completion now: it replaces the first queued one.
    if (!m_pending.empty()) m_pending.pop_front();
    dispatch(Event{EventKind::kMciDone, Control::MCI1});
  } else if ((cmd == "undo" || cmd == "redo") && w.size() == 1) {
    dispatch(Event{cmd == "undo" ? EventKind::kUndo : EventKind::kRedo});
  } else if (cmd == "close" && w.size() == 1) {
    dispatch(Event{EventKind::kClose});
    m_closed = !m_ctx.closeRefused;
  } else if (cmd == "print" && w.size() >= 2) {
    print(w[1], trim(restAfter(text, 2)));
  } else {
    bad();
  }
}

void ScriptRunner::answer(const std::string& line) {
  std::vector<std::string> w = words(line);
  const std::string kind = w.size() > 1 ? w[1] : std::string();
  if (kind == "input") {
    m_ui.queueAnswer({ScriptedAnswer::kInput, restAfter(line, 2)});
    return;
  }
  if (kind == "open" || kind == "save") {
    std::string path = trim(restAfter(line, 2));
    if (path.empty()) return m_transcript.fault("a path is missing: " + trim(line));
    m_ui.queueAnswer({kind == "open" ? ScriptedAnswer::kOpen : ScriptedAnswer::kSave, path});
    return;
  }
  w = words(stripComment(line));
  if (w.size() == 2 && kind == "cancel") return m_ui.queueAnswer({ScriptedAnswer::kCancel, ""});
  if (w.size() == 2 && kind == "yes") return m_ui.queueAnswer({ScriptedAnswer::kYes, ""});
  if (w.size() == 2 && kind == "no") return m_ui.queueAnswer({ScriptedAnswer::kNo, ""});
  m_transcript.fault("cannot read the line: " + trim(line));
}

void ScriptRunner::print(const std::string& what, const std::string& rest) {
  std::vector<std::string> args = words(rest);
  auto bad = [&]() { m_transcript.fault("cannot read the line: print " + trim(what + " " + rest)); };
  int64_t a = 0, b = 0;
  if (what == "state" && args.empty()) {
    for (auto& l : stateLines(m_ctx)) m_transcript.add(std::move(l));
  } else if (what == "list" && args.empty()) {
    for (auto& l : listLines(m_ui)) m_transcript.add(std::move(l));
  } else if (what == "row" && args.size() == 1 && parseInt(args[0], a)) {
    if (a < 0 || a >= static_cast<int64_t>(m_ctx.state.EDITDATA.size())) {
      return m_transcript.fault("no row " + args[0]);
    }
    m_transcript.add(rowLine(m_ctx.state, static_cast<int>(a)));
  } else if (what == "edit1" && args.empty()) {
    m_transcript.add("edit1: " + m_ui.text(Control::EDIT1));
  } else if (what == "edit2" && args.empty()) {
    m_transcript.add("edit2: " + m_ui.text(Control::EDIT2));
  } else if (what == "scroll" && args.empty()) {
    m_transcript.add("scroll: " + std::to_string(m_ui.scrollPos()) + " (" +
                     std::to_string(m_ui.scrollMin()) + ".." + std::to_string(m_ui.scrollMax()) +
                     ")");
  } else if (what == "markerbox" && args.empty()) {
    m_transcript.add(markerBoxLine(m_ctx.state));
  } else if (what == "menu" && args.empty()) {
    m_transcript.add(std::string("menu GrapgFast: ") +
                     (m_ui.isChecked(MenuItem::GrapgFast) ? "checked" : "unchecked"));
  } else if (what == "pixel" && args.size() == 2 && parseInt(args[0], a) && parseInt(args[1], b)) {
    const Canvas& pic = m_ui.canvas(Control::PICTURE1);
    if (a < 0 || b < 0 || a >= pic.width() || b >= pic.height()) {
      return m_transcript.fault("pixel outside the picture: " + args[0] + " " + args[1]);
    }
    Rgb c = pic.pixel(static_cast<int>(a), static_cast<int>(b));
    m_transcript.add("pixel " + args[0] + " " + args[1] + ": " + std::to_string(c.r) + " " +
                     std::to_string(c.g) + " " + std::to_string(c.b));
  } else if ((what == "picture" || what == "form") && !rest.empty()) {
    writePng(rest, m_ui.canvas(what == "picture" ? Control::PICTURE1 : Control::MAINFORM));
  } else if (args.empty() && printVariable(what)) {
  } else {
    bad();
  }
}

bool ScriptRunner::printVariable(const std::string& name) {
  bool found = false;
  for (auto& l : stateLines(m_ctx)) {
    if (l.compare(0, name.size(), name) == 0 && (l[name.size()] == ':' || l[name.size()] == '(')) {
      m_transcript.add(std::move(l));
      found = true;
    }
  }
  return found;
}

void ScriptRunner::writePng(const std::string& path, const Canvas& canvas) {
  Result<std::vector<uint8_t>> png = encodePng(canvas);
  Status st = png.status();
  if (png) {
    auto file = m_fs.open(path, OpenMode::kCreate);
    st = file ? file.value()->write(0, png->data(), png->size()) : file.status();
  }
  if (!st) m_transcript.fault("cannot write " + path + ": " + st.message());
}

void ScriptRunner::finish() {
  if (m_ui.pendingAnswers() > 0) {
    m_transcript.fault(std::to_string(m_ui.pendingAnswers()) + " answer(s) never asked for");
  }
}

}  // namespace pelisto
