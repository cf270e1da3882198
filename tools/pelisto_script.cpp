// pelisto-script: runs the program's handlers under the headless backend
// from a script and prints the transcript.
//
//   pelisto-script [--echo] [SCRIPT]
//
// Reads SCRIPT (standard input when absent or "-"). Files named in the
// script are taken relative to the current directory. The transcript goes
// to standard output in UTF-8, one line per event; with --echo each script
// line is printed first, prefixed by "> ". Exit status: 0 when the script
// ran without a fault, 1 after a fault ("error: …"), 2 when the script
// cannot be read.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/file_system.h"
#include "platform/headless/script_runner.h"

namespace {

void usage() {
  std::fprintf(stderr, "usage: pelisto-script [--echo] [SCRIPT]\n");
}

}  // namespace

int main(int argc, char** argv) {
  bool echo = false;
  const char* scriptPath = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--echo") == 0) {
      echo = true;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      usage();
      return 0;
    } else if (!scriptPath) {
      scriptPath = argv[i];
    } else {
      usage();
      return 2;
    }
  }

  std::ifstream file;
  std::istream* in = &std::cin;
  if (scriptPath && std::strcmp(scriptPath, "-") != 0) {
    file.open(scriptPath);
    if (!file) {
      std::fprintf(stderr, "pelisto-script: cannot read %s: %s\n", scriptPath,
                   std::strerror(errno));
      return 2;
    }
    in = &file;
  }

  auto fs = pelisto::newPosixFileSystem();
  pelisto::Transcript transcript;
  pelisto::ScriptRunner runner(*fs, transcript);
  size_t shown = 0;
  auto flush = [&]() {
    const auto& lines = transcript.lines();
    for (; shown < lines.size(); ++shown) std::cout << lines[shown] << '\n';
    std::cout.flush();
  };

  runner.start();
  flush();
  for (std::string line; std::getline(*in, line);) {
    if (echo) std::cout << "> " << line << '\n';
    runner.runLine(line);
    flush();
  }
  if (in->bad()) {
    std::fprintf(stderr, "pelisto-script: error reading the script\n");
    return 2;
  }
  runner.finish();
  flush();
  return runner.faulted() ? 1 : 0;
}
