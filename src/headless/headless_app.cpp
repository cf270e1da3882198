#include "headless/headless_app.h"

#include <algorithm>
#include <utility>

#include "project/recovery_copy.h"
#include "shell/main_loop.h"

namespace pelisto {

HeadlessApp::HeadlessApp(HeadlessOptions options)
    : m_ui(m_transcript),
      m_fs(options.fs ? options.fs : &m_memFs),
      m_device(options.device ? newSimulatedMci(*m_fs, [this](MciNotify n) { m_pending.push_back(n); })
                              : nullptr),
      m_mci(m_transcript, m_device.get()),
      m_sound(newSoundLibrary()),
      m_ctx(m_ui, *m_fs, m_mci, workerFor(options), *m_sound) {}

Worker& HeadlessApp::workerFor(const HeadlessOptions& options) {
  if (options.worker) return *options.worker;
  if (options.manualJobs) return m_manualWorker;
  return m_inlineWorker;
}

void HeadlessApp::start(const std::string& file) {
  m_started = true;
  startProgram(m_ctx, file, std::move(m_recovery));
}

void HeadlessApp::keepRecoveryCopies(ProgramFiles files) {
  RecoverySetUp setUp{std::move(files), m_recoveryWriter, [this] { return m_now; }};
  if (!m_started) {
    m_recovery.emplace(std::move(setUp));
    return;
  }
  enableRecoveryCopy(m_ctx, std::move(setUp.files), setUp.writer, std::move(setUp.clockMs));
}

void HeadlessApp::dispatch(const Event& event) {
  dispatchEvent(m_ctx, event);
  deliverPending();
  keepWorkBehind(m_ctx);
}

int HeadlessApp::deliverPending() {
  // A handler that queues a completion from every completion would never
  // let the pass end; stop and report it instead of hanging.
  constexpr int kMaxPerPass = 1000;
  int delivered = 0;
  for (; !m_pending.empty(); ++delivered) {
    if (delivered == kMaxPerPass) {
      m_pending.clear();
      m_transcript.fault("completions keep arriving; the rest were dropped");
      break;
    }
    m_pending.pop_front();
    dispatchEvent(m_ctx, Event::mciDone());
  }
  return delivered;
}

// The main loop's pump over the simulated clock, until end. The loop's
// wait only sets how long the next one lasts: the time passes when the
// next pass begins, so that a pass follows a play only after time has
// passed, never at the moment of the event that began it. A wait lasts
// whole steps of the tracking interval (at least one), and ends early when
// a completion falls due, as a real wait ends when an event arrives. Once
// the time is spent the window counts as closed and the loop returns.
class HeadlessApp::ClockPump final : public EventPump {
 public:
  ClockPump(HeadlessApp& app, int64_t end) : m_app(app), m_end(end) {}
  void processPending() override {
    if (m_app.m_now >= m_end) {
      m_spent = true;
      return;
    }
    int64_t waited = 0;
    do {
      m_app.step(m_end);
      waited += kTrackingIntervalMs;
    } while (m_app.m_pending.empty() && m_app.m_now < m_end && (m_timeoutMs < 0 || waited < m_timeoutMs));
    m_app.deliverPending();
  }
  void waitForEvents(int timeoutMs) override { m_timeoutMs = timeoutMs; }
  bool closed() const override { return m_spent; }

 private:
  HeadlessApp& m_app;
  const int64_t m_end;
  int m_timeoutMs = 0;
  bool m_spent = false;
};

void HeadlessApp::step(int64_t end) {
  m_now = std::min<int64_t>(m_now + kTrackingIntervalMs, end);
  if (m_device) m_device->advanceTo(m_now);
}

void HeadlessApp::advance(int64_t ms) {
  ClockPump pump(*this, m_now + ms);
  runMainLoop(m_ctx, pump);
}

void HeadlessApp::advanceDevice(int64_t ms) {
  m_now += ms;
  if (m_device) m_device->advanceTo(m_now);
}

void HeadlessApp::completeNow() {
  if (!m_pending.empty()) m_pending.pop_front();
  dispatch(Event::mciDone());
}

void HeadlessApp::close() {
  dispatch(Event{EventKind::kClose});
  m_closed = !m_ctx.closeRefused;
  if (m_closed) shutdownProgram(m_ctx);
}

}  // namespace pelisto
