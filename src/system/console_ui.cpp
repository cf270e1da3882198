#include "system/console_ui.h"

#include <algorithm>
#include <atomic>
#include <csignal>

namespace pelisto {
namespace {

// Set by SIGINT or SIGTERM while a busy scope is held.
std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) { g_interrupted = true; }

// The progress of long work as one line on standard error: the caption,
// then each tenth reached ("Waveファイルの作成: 10% 20% … 100%"). While it
// is held, an interrupt asks for the work to be cancelled instead of
// ending the program, so that nothing half-written stays behind.
class ConsoleBusy final : public BusyScope {
 public:
  ConsoleBusy(std::FILE* err, std::string caption, bool cancellable)
      : m_err(err), m_caption(std::move(caption)), m_cancellable(cancellable) {
    if (!m_cancellable) return;
    g_interrupted = false;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_oldInt);
    sigaction(SIGTERM, &action, &m_oldTerm);
  }
  ~ConsoleBusy() override {
    if (m_shown) std::fputc('\n', m_err);
    if (!m_cancellable) return;
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
  }

  bool update(uint64_t done, uint64_t total) override {
    const int tenths = total == 0 ? 10 : static_cast<int>(std::min<uint64_t>(done, total) * 10 / total);
    if (!m_shown) {
      std::fputs((m_caption + ":").c_str(), m_err);
      m_shown = true;
    }
    for (; m_tenths < tenths; ++m_tenths) std::fprintf(m_err, " %d%%", (m_tenths + 1) * 10);
    std::fflush(m_err);
    return !(m_cancellable && g_interrupted);
  }

 private:
  std::FILE* m_err;
  std::string m_caption;
  bool m_cancellable;
  bool m_shown = false;
  int m_tenths = 0;
  struct sigaction m_oldInt {};
  struct sigaction m_oldTerm {};
};

}  // namespace

ConsoleUi::ConsoleUi(std::FILE* err, std::string program) : m_err(err), m_program(std::move(program)) {}

std::string ConsoleUi::text(Control control) const {
  auto it = m_texts.find(control);
  return it == m_texts.end() ? std::string() : it->second;
}

FontSpec ConsoleUi::font(Control control) const {
  auto it = m_fonts.find(control);
  return it == m_fonts.end() ? FontSpec{} : it->second;
}

void ConsoleUi::setScrollRange(int minimum, int maximum) {
  m_scrollMin = minimum;
  m_scrollMax = std::max(minimum, maximum);
  m_scrollPos = std::clamp(m_scrollPos, m_scrollMin, m_scrollMax);
}

void ConsoleUi::setScrollPos(int pos) { m_scrollPos = std::clamp(pos, m_scrollMin, m_scrollMax); }

Canvas& ConsoleUi::canvas(Control) { return m_canvas; }

bool ConsoleUi::isChecked(MenuItem item) const {
  auto it = m_checked.find(item);
  return it != m_checked.end() && it->second;
}

void ConsoleUi::messageBox(const std::string&, const std::string& text) {
  ++m_messages;
  std::fprintf(m_err, "%s: %s\n", m_program.c_str(), text.c_str());
}

Answer ConsoleUi::question(const std::string& caption, const std::string& text) {
  messageBox(caption, text);
  return Answer::kCancel;
}

Rgb ConsoleUi::systemColor(SystemColor which) const {
  return which == SystemColor::kButtonFace ? Rgb{212, 208, 200} : Rgb{0, 0, 0};
}

std::unique_ptr<BusyScope> ConsoleUi::beginBusy(const std::string& caption, bool cancellable) {
  return std::make_unique<ConsoleBusy>(m_err, caption, cancellable);
}

void ConsoleUi::notice(const std::string& text) { std::fprintf(m_err, "%s\n", text.c_str()); }

}  // namespace pelisto
