// The program's command line: `pelisto [FILE]`, `pelisto --write PROJECT
// OUTPUT [--loudness=-16|-23]`, --help and --version.
#pragma once

#include <string>
#include <vector>

#include "model/app_state.h"

namespace pelisto {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kWrite, kError };
  Action action = Action::kRun;
  std::string file;     // kRun: the file to open, empty for none; kWrite: the project
  std::string output;   // kWrite: the file to write, named with its type's extension
  LoudnessTarget loudness = LoudnessTarget::kOff;  // kWrite
  std::string message;  // kError: what is wrong, for standard error
};

// args without the program's name. A lone "-" is a file name, as is every
// argument after "--".
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string helpText(const std::string& program);
std::string versionText();

// Exit status of a command line that is wrong.
constexpr int kUsageExitStatus = 2;

}  // namespace pelisto
