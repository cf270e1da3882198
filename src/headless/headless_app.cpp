#include "headless/headless_app.h"

#include <algorithm>
#include <utility>

#include "playback/handlers.h"
#include "project/recovery_copy.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace pelisto {

HeadlessApp::HeadlessApp(HeadlessOptions options)
    : m_ui(m_transcript),
      m_fs(options.fs ? options.fs : &m_memFs),
      m_device(options.device ? newSimulatedMci(*m_fs, [this](MciNotify n) { m_pending.push_back(n); })
                              : nullptr),
      m_mci(m_transcript, m_device.get()),
      m_ctx(m_ui, *m_fs, m_mci, workerFor(options)) {}

Worker& HeadlessApp::workerFor(const HeadlessOptions& options) {
  if (options.worker) return *options.worker;
  if (options.manualJobs) return m_manualWorker;
  return m_inlineWorker;
}

void HeadlessApp::start(const std::string& file) { startProgram(m_ctx, file); }

void HeadlessApp::keepRecoveryCopies(ProgramFiles files) {
  enableRecoveryCopy(m_ctx, std::move(files), m_recoveryWriter, [this] { return m_now; });
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

void HeadlessApp::advance(int64_t ms) {
  const int64_t end = m_now + ms;
  while (m_now < end) {
    m_now = std::min<int64_t>(m_now + kTrackingIntervalMs, end);
    if (m_device) m_device->advanceTo(m_now);
    deliverPending();
    if (playFollowed(m_ctx)) followPlay(m_ctx);
    keepWorkBehind(m_ctx);
  }
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
  if (m_closed) endRecoveryCopy(m_ctx);
}

}  // namespace pelisto
