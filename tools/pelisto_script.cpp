// pelisto-script: runs the program's handlers under the headless backend
// from a script and prints the transcript.
//
//   pelisto-script [--echo] [SCRIPT]
//
// Reads SCRIPT (standard input when absent or "-"), running each line as
// soon as it is read. Files named in the script are taken relative to the
// current directory; the graph cache goes into the user's cache folder
// ($XDG_CACHE_HOME/pelisto) as the program's does, and is removed when the
// script ends. So is the copy of an unsaved edit list kept in the state
// folder ($XDG_STATE_HOME/pelisto), which a runner that is killed leaves
// behind for the next one to offer back. Start-up runs after the `answer`
// lines (and comments) the script opens with, so that they answer its
// questions. The transcript goes to standard output in UTF-8, one line per
// event; with --echo each script line is printed first, prefixed by "> ". Exit status: 0 when the script
// ran without a fault, 1 after a fault ("error: …"), 2 when the script
// cannot be read.
//
// Besides the commands of the scenario language:
//   drop PATH…      PATHs dropped together on the main window
//   print title     "title: TEXT", the main window's title
//   print NAME      the `print state` line(s) of one variable (DATASIZE,
//                   WAVEFMT, EDITDATA, …), so a script can check a value
//                   without depending on the whole state
//   # …             a comment, as a line of its own or after a command
//                   (a '#' after a blank); `answer` lines keep their text
//                   whole, '#' included
// `print state` writes byte arrays as decimal values with runs of four or
// more equal values as VALUE*COUNT, WAVEFMT as FIELD=VALUE pairs, and
// EDITFILE(r) / EDITDATA(r) lines for the rows up to the larger of
// EDITCOUNT and LIST1's line count. The simulated clock starts at 0;
// `advance` moves it in steps of the tracking interval. Completions the
// device queues are delivered after each command, as the main loop would.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <variant>

#include "platform/file_system.h"
#include "headless/script_runner.h"
#include "platform/program_files.h"
#include "platform/user_folders.h"
#include "shell/startup.h"

namespace {

void usage() {
  std::fprintf(stderr, "usage: pelisto-script [--echo] [SCRIPT]\n");
}

struct Options {
  bool echo = false;
  const char* script = nullptr;  // null or "-": standard input
};

// The options of the command line; the exit status instead when the
// program should end at once.
std::variant<Options, int> parseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--echo") == 0) {
      o.echo = true;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      usage();
      return 0;
    } else if (!o.script) {
      o.script = argv[i];
    } else {
      usage();
      return 2;
    }
  }
  return o;
}

// Runs the script from in, printing the transcript as it grows. Returns the
// exit status.
int run(std::istream& in, bool echo) {
  auto fs = pelisto::newPosixFileSystem();
  fs->setJournalFolder(pelisto::userFolders().state);
  pelisto::ScriptRunner runner(*fs);
  runner.context().own = pelisto::thisProgramFiles();
  runner.keepRecoveryCopies(pelisto::thisProgramFilesIn(pelisto::userFolders().state));
  size_t shown = 0;
  auto flush = [&]() {
    const auto& lines = runner.transcript().lines();
    for (; shown < lines.size(); ++shown) std::cout << lines[shown] << '\n';
    std::cout.flush();
  };
  auto runLine = [&](const std::string& line) {
    if (echo) std::cout << "> " << line << '\n';
    runner.runLine(line);
    flush();
  };

  std::string line;
  bool more = false;
  while ((more = static_cast<bool>(std::getline(in, line))) && pelisto::ScriptRunner::beforeStart(line)) {
    runLine(line);
  }
  runner.start();
  flush();
  for (; more; more = static_cast<bool>(std::getline(in, line))) runLine(line);
  if (in.bad()) {
    std::fprintf(stderr, "pelisto-script: error reading the script\n");
    return 2;
  }
  runner.finish();
  pelisto::shutdownProgram(runner.context());  // the program ends
  flush();
  return runner.faulted() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  auto parsed = parseOptions(argc, argv);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const Options& o = std::get<Options>(parsed);
  if (!o.script || std::strcmp(o.script, "-") == 0) return run(std::cin, o.echo);
  std::ifstream file(o.script);
  if (!file) {
    std::fprintf(stderr, "pelisto-script: cannot read %s: %s\n", o.script, std::strerror(errno));
    return 2;
  }
  return run(file, o.echo);
}
