// The scenario runner's engine: the handlers over the headless backend,
// driven one script line at a time, with a simulated clock and an event
// queue for the media device's completions. Everything the user would see
// goes into the transcript.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "app/context.h"
#include "app/events.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/inline_worker.h"
#include "platform/headless/recording_mci.h"
#include "platform/headless/simulated_mci.h"

namespace pelisto {

class ScriptRunner {
 public:
  // Files are reached through fs (the runner tool passes the real one).
  ScriptRunner(FileSystem& fs, Transcript& transcript);
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Runs start-up, as the program does before the first input.
  void start();
  // Executes one script line. A line the runner cannot execute is reported
  // as "error: …" in the transcript (a script fault).
  void runLine(const std::string& line);
  // Reports answers queued but never asked for (a script fault).
  void finish();

  bool faulted() const { return m_transcript.faulted(); }
  bool closed() const { return m_closed; }
  int64_t now() const { return m_now; }
  AppContext& context() { return m_ctx; }
  HeadlessUi& ui() { return m_ui; }

 private:
  void dispatch(const Event& event);
  // One pass of the main loop: every queued completion is delivered.
  void deliverPending();
  void advance(int64_t ms);
  void answer(const std::string& rest);
  void print(const std::string& what, const std::string& rest);
  // The lines of `print state` for one variable; false for an unknown name.
  bool printVariable(const std::string& name);
  void writePng(const std::string& path, const Canvas& canvas);

  std::deque<MciNotify> m_pending;  // completions waiting for dispatch
  FileSystem& m_fs;
  Transcript& m_transcript;
  HeadlessUi m_ui;
  std::unique_ptr<SimulatedMci> m_device;
  RecordingMci m_mci;
  InlineWorker m_worker;  // a job is done when it is started: transcripts do not wait
  AppContext m_ctx;
  int64_t m_now = 0;
  bool m_closed = false;
};

}  // namespace pelisto
