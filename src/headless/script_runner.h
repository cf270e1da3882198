// The scenario runner's engine: the program over the headless backend
// (HeadlessApp), driven one script line at a time. Everything the user
// would see goes into the transcript.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "headless/headless_app.h"

namespace pelisto {

class ScriptRunner {
 public:
  // Files are reached through fs (the runner tool passes the real one).
  explicit ScriptRunner(FileSystem& fs);
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Runs start-up, as the program does before the first input.
  void start() { m_app.start(); }
  // Keeps the automatic copy of an unsaved list in files.folder.
  void keepRecoveryCopies(ProgramFiles files) { m_app.keepRecoveryCopies(std::move(files)); }
  // True for the lines a script may open with that start-up may need: the
  // answers to its questions, comments and blank lines.
  static bool beforeStart(const std::string& line);
  // Executes one script line. A line the runner cannot execute is reported
  // as "error: …" in the transcript (a script fault).
  void runLine(const std::string& line);
  // Reports answers queued but never asked for (a script fault).
  void finish();

  bool faulted() { return m_app.transcript().faulted(); }
  bool closed() const { return m_app.closed(); }
  int64_t now() const { return m_app.now(); }
  Transcript& transcript() { return m_app.transcript(); }
  AppContext& context() { return m_app.context(); }
  HeadlessUi& ui() { return m_app.ui(); }

 private:
  HeadlessApp m_app;
};

}  // namespace pelisto
