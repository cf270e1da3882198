// The program over the headless backend's fakes: the scripted user
// interface and its transcript, a file system (in memory unless one is
// given), the simulated media device with the queue its completions wait
// in as the backend's event queue would hold them, a worker and the
// application context. Simulated time passes only when told, as the main
// loop would spend it. The scenario runner, the handler tests and the
// benchmarks are built on it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

#include "model/context.h"
#include "shell/events.h"
#include "shell/startup.h"
#include "headless/headless_ui.h"
#include "headless/inline_worker.h"
#include "headless/manual_worker.h"
#include "headless/mem_file_system.h"
#include "headless/recording_mci.h"
#include "headless/simulated_mci.h"

namespace pelisto {

struct HeadlessOptions {
  // Files are reached through fs; null: the app's own in-memory file system.
  FileSystem* fs = nullptr;
  // Commands reach the simulated device; false: they are only recorded,
  // and each is answered with success.
  bool device = true;
  // Jobs run to their end when started, or (manualJobs) step by step when
  // the caller says so through manualWorker().
  bool manualJobs = false;
  // Runs the jobs instead when given (a thread worker, polled by the caller).
  Worker* worker = nullptr;
};

class HeadlessApp {
 public:
  explicit HeadlessApp(HeadlessOptions options = {});
  HeadlessApp(const HeadlessApp&) = delete;
  HeadlessApp& operator=(const HeadlessApp&) = delete;

  // Runs start-up, as the program does before the first input (the lists
  // left unsaved by programs no longer running offered back, then file
  // opened when named).
  void start(const std::string& file = {});
  // Keeps the automatic copy of an unsaved list, as the program does: in
  // files.folder, written at once by a worker of its own, timed by the
  // simulated clock; from start-up on when asked before start, else from
  // now on.
  void keepRecoveryCopies(ProgramFiles files);
  // Runs the handler bound to event, then one pass of the main loop.
  void dispatch(const Event& event);
  // One pass of the main loop: every queued completion is delivered as
  // MCI1_DONE, in order. Returns how many were. Completions that keep
  // arriving are dropped after 1000 with a fault in the transcript.
  int deliverPending();
  // Lets ms milliseconds of simulated time pass: the program's main loop
  // runs over them, its waits spent on the simulated clock in steps of the
  // tracking interval. After each step the completions that fell due are
  // delivered, and while a play is followed on screen a step of following
  // it runs.
  void advance(int64_t ms);
  // Moves only the device's clock on by ms: completions that fall due wait
  // in pending() until they are delivered.
  void advanceDevice(int64_t ms);
  // The device reports a completion now: it takes the place of the first
  // queued one, if any, and is delivered with the rest.
  void completeNow();
  // The user closes the main window; closed() tells whether it went (and
  // the program ends as after a normal quit: shutdownProgram).
  void close();

  int64_t now() const { return m_now; }  // milliseconds of simulated time so far
  bool closed() const { return m_closed; }
  const std::deque<MciNotify>& pending() const { return m_pending; }

  Transcript& transcript() { return m_transcript; }
  HeadlessUi& ui() { return m_ui; }
  FileSystem& fs() { return *m_fs; }
  MemFileSystem& memFs() { return m_memFs; }  // the app's own, used unless one was given
  RecordingMci& mci() { return m_mci; }
  SimulatedMci* device() { return m_device.get(); }  // null without a device
  ManualWorker& manualWorker() { return m_manualWorker; }
  AppContext& context() { return m_ctx; }

 private:
  class ClockPump;
  Worker& workerFor(const HeadlessOptions& options);
  // One step of the simulated clock (at most to end): the device's
  // completions that fall due are queued.
  void step(int64_t end);

  std::deque<MciNotify> m_pending;  // completions waiting for the main loop
  Transcript m_transcript;
  HeadlessUi m_ui;
  MemFileSystem m_memFs;
  FileSystem* m_fs;
  std::unique_ptr<SimulatedMci> m_device;  // null without a device
  RecordingMci m_mci;
  InlineWorker m_inlineWorker;
  ManualWorker m_manualWorker;
  InlineWorker m_recoveryWriter;
  std::unique_ptr<SoundLibrary> m_sound;  // the real library: other formats are read as in the program
  AppContext m_ctx;
  std::optional<RecoverySetUp> m_recovery;  // asked for before start
  int64_t m_now = 0;
  bool m_started = false;
  bool m_closed = false;
};

}  // namespace pelisto
