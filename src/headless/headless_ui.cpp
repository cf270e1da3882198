#include "headless/headless_ui.h"

#include <algorithm>
#include <cstdlib>

#include "model/forms.h"

namespace pelisto {

HeadlessUi::HeadlessUi(Transcript& transcript) : m_transcript(transcript), m_formHeight(kMainClientHeight) {
  m_canvases[Control::MAINFORM] = std::make_unique<Canvas>(kMainClientWidth, kMainClientHeightWithOverview);
  m_canvases[Control::FORM3] = std::make_unique<Canvas>(kForm3ClientWidth, kForm3ClientHeight);
  for (const auto& c : mainFormControls()) {
    m_texts[c.id] = c.caption;
    m_fonts[c.id] = c.font;
    if (c.kind == ControlKind::kPicture) {
      m_canvases[c.id] = std::make_unique<Canvas>(canvasWidth(c), canvasHeight(c));
    }
  }
  m_texts[Control::MAINFORM] = kMainTitle;
  m_fonts[Control::MAINFORM] = kFormFont;
}

void HeadlessUi::setText(Control control, const std::string& text) { m_texts[control] = text; }

std::string HeadlessUi::text(Control control) const {
  auto it = m_texts.find(control);
  return it == m_texts.end() ? std::string() : it->second;
}

void HeadlessUi::setFont(Control control, const FontSpec& font) { m_fonts[control] = font; }

FontSpec HeadlessUi::font(Control control) const {
  auto it = m_fonts.find(control);
  return it == m_fonts.end() ? FontSpec{} : it->second;
}

void HeadlessUi::hide(Control control) { m_hidden[control] = true; }

bool HeadlessUi::isVisible(Control control) const {
  auto it = m_hidden.find(control);
  return it == m_hidden.end() || !it->second;
}

void HeadlessUi::setScrollRange(int minimum, int maximum) {
  m_scrollMin = minimum;
  m_scrollMax = std::max(minimum, maximum);
  m_scrollPos = std::clamp(m_scrollPos, m_scrollMin, m_scrollMax);
}

void HeadlessUi::setScrollPos(int pos) { m_scrollPos = std::clamp(pos, m_scrollMin, m_scrollMax); }

void HeadlessUi::reportSelection(int before) {
  if (m_list.selected() != before && m_selectionListener) m_selectionListener(m_list.selected());
}

void HeadlessUi::insertLine(int index, const std::string& text) {
  const int before = m_list.selected();
  m_list.insert(index, text);
  reportSelection(before);
}

void HeadlessUi::removeLine(int index) {
  const int before = m_list.selected();
  m_list.remove(index);
  reportSelection(before);
}

void HeadlessUi::select(int index) {
  const int before = m_list.selected();
  m_list.select(index);
  reportSelection(before);
}

void HeadlessUi::clearLines() {
  const int before = m_list.selected();
  m_list.clear();
  reportSelection(before);
}

Canvas& HeadlessUi::canvas(Control control) {
  auto it = m_canvases.find(control);
  if (it == m_canvases.end()) std::abort();  // no such canvas: a programming error
  return *it->second;
}

void HeadlessUi::setPointer(Control control, Pointer pointer) {
  m_pointers[control] = pointer;
  if (pointer == Pointer::kArrow) m_captured = false;
}

Pointer HeadlessUi::pointer(Control c) const {
  auto it = m_pointers.find(c);
  return it == m_pointers.end() ? Pointer::kArrow : it->second;
}

void HeadlessUi::captureMouse(Control) { m_captured = true; }

void HeadlessUi::setChecked(MenuItem item, bool checked) { m_checked[item] = checked; }

std::string HeadlessUi::rememberedName(const std::string& key) const {
  auto it = m_names.find(key);
  return it == m_names.end() ? std::string() : it->second;
}

bool HeadlessUi::rememberedChoice(const std::string& key) const {
  auto it = m_choices.find(key);
  return it != m_choices.end() && it->second;
}

bool HeadlessUi::isEnabled(MenuItem item) const {
  auto it = m_disabled.find(item);
  return it == m_disabled.end() || !it->second;
}


bool HeadlessUi::isChecked(MenuItem item) const {
  auto it = m_checked.find(item);
  return it != m_checked.end() && it->second;
}

void HeadlessUi::messageBox(const std::string&, const std::string& text) {
  m_transcript.add("message: " + text);
}

bool HeadlessUi::takeAnswer(ScriptedAnswer& out, const std::string& what) {
  if (m_answers.empty()) {
    m_transcript.fault("no answer queued for " + what + " (cancelled)");
    return false;
  }
  out = m_answers.front();
  m_answers.pop_front();
  return true;
}

Answer HeadlessUi::question(const std::string&, const std::string& text) {
  m_transcript.add("question: " + text);
  ScriptedAnswer a{ScriptedAnswer::kCancel, ""};
  if (!takeAnswer(a, "question")) return Answer::kCancel;
  if (a.kind == ScriptedAnswer::kYes) return Answer::kYes;
  if (a.kind == ScriptedAnswer::kNo) return Answer::kNo;
  if (a.kind != ScriptedAnswer::kCancel) m_transcript.fault("the queued answer does not fit a question");
  return Answer::kCancel;
}

RecoveryReply HeadlessUi::askRecovery(const std::string&, const std::string& text,
                                      const std::vector<std::string>& lists) {
  m_transcript.add("recovery: " + text);
  if (lists.size() > 1) {
    for (size_t i = 0; i < lists.size(); ++i) m_transcript.add("recovery " + std::to_string(i + 1) + ": " + lists[i]);
  }
  ScriptedAnswer a{ScriptedAnswer::kLater, ""};
  if (!takeAnswer(a, "recovery question")) return RecoveryReply{};
  switch (a.kind) {
    case ScriptedAnswer::kYes: return RecoveryReply{RecoveryReply::kRestore, 0};
    case ScriptedAnswer::kRestore: {
      const int n = std::atoi(a.text.c_str());
      if (n >= 1 && static_cast<size_t>(n) <= std::max<size_t>(lists.size(), 1)) {
        return RecoveryReply{RecoveryReply::kRestore, n - 1};
      }
      m_transcript.fault("no list " + a.text + " to restore (later)");
      return RecoveryReply{};
    }
    case ScriptedAnswer::kNo:
    case ScriptedAnswer::kDiscard: return RecoveryReply{RecoveryReply::kDiscard, 0};
    case ScriptedAnswer::kCancel:
    case ScriptedAnswer::kLater: return RecoveryReply{};
    default: m_transcript.fault("the queued answer does not fit the recovery question (later)");
  }
  return RecoveryReply{};
}

std::optional<FileChoice> HeadlessUi::chooseFile(const FileDialogSpec& spec) {
  m_transcript.add(std::string("dialog: ") + (spec.save ? "save " : "open ") + spec.title);
  m_lastDialogInitialPath = spec.initialPath;
  m_lastDialogFilters = {spec.filterText};
  for (const FileFilter& more : spec.moreFilters) m_lastDialogFilters.push_back(more.text);
  m_lastDialogPatterns = {spec.pattern};
  for (const FileFilter& f : spec.moreFilters) m_lastDialogPatterns.push_back(f.patterns);
  ScriptedAnswer a{ScriptedAnswer::kCancel, ""};
  if (!takeAnswer(a, "file dialog")) return std::nullopt;
  if (a.kind == ScriptedAnswer::kCancel) return std::nullopt;
  if (a.kind != (spec.save ? ScriptedAnswer::kSave : ScriptedAnswer::kOpen)) {
    m_transcript.fault("the queued answer does not fit a " + std::string(spec.save ? "save" : "open") +
                       " dialog (cancelled)");
    return std::nullopt;
  }
  if (a.text.empty()) return std::nullopt;  // no name chosen
  FileChoice choice{a.text, spec.filter};
  if (!a.filter.empty()) {
    auto it = std::find(m_lastDialogPatterns.begin(), m_lastDialogPatterns.end(), a.filter);
    if (it == m_lastDialogPatterns.end()) {
      m_transcript.fault("the dialog has no filter " + a.filter + " (cancelled)");
      return std::nullopt;
    }
    choice.filter = static_cast<size_t>(it - m_lastDialogPatterns.begin());
  }
  return choice;
}

std::optional<std::string> HeadlessUi::inputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& initial) {
  m_transcript.add("dialog: input " + caption);
  m_lastInputPrompt = prompt;
  m_lastInputInitial = initial;
  ScriptedAnswer a{ScriptedAnswer::kCancel, ""};
  if (!takeAnswer(a, "input box")) return std::nullopt;
  if (a.kind == ScriptedAnswer::kCancel) return std::nullopt;
  if (a.kind != ScriptedAnswer::kInput) {
    m_transcript.fault("the queued answer does not fit an input box (cancelled)");
    return std::nullopt;
  }
  // The field holds at most 64 characters.
  std::string t = a.text;
  size_t chars = 0, pos = 0;
  while (pos < t.size() && chars < 64) {
    unsigned char c = static_cast<unsigned char>(t[pos]);
    pos += c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    ++chars;
  }
  return t.substr(0, std::min(pos, t.size()));
}

void HeadlessUi::showAbout(const std::function<void(Canvas&)>& paint) {
  m_transcript.add(std::string("dialog: about ") + kForm3Title);
  paint(canvas(Control::FORM3));  // the scripted user closes it at once
}

void HeadlessUi::closeAbout(int) {}  // closed already, as soon as it was painted

Rgb HeadlessUi::systemColor(SystemColor which) const { return m_sysColors[static_cast<int>(which)]; }

namespace {

class HeadlessBusy final : public BusyScope {
 public:
  HeadlessBusy(HeadlessUi& ui, int cancelAfter) : m_ui(ui), m_cancelAfter(cancelAfter) {
    m_ui.setPointer(Control::MAINFORM, Pointer::kWait);
    m_ui.captureMouse(Control::MAINFORM);
  }
  ~HeadlessBusy() override { m_ui.setPointer(Control::MAINFORM, Pointer::kArrow); }
  bool update(uint64_t, uint64_t) override {
    if (m_cancelAfter < 0) return true;
    return m_updates++ < m_cancelAfter;
  }

 private:
  HeadlessUi& m_ui;
  int m_cancelAfter;
  int m_updates = 0;
};

}  // namespace

std::unique_ptr<BusyScope> HeadlessUi::beginBusy(const std::string&, bool cancellable) {
  ++m_busyScopes;
  int cancelAfter = cancellable ? m_cancelAfter : -1;
  if (cancellable) m_cancelAfter = -1;
  return std::make_unique<HeadlessBusy>(*this, cancelAfter);
}

void HeadlessUi::notice(const std::string& text) { m_transcript.add("notice: " + text); }

}  // namespace pelisto
