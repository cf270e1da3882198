#include "shell/command_line.h"

#include "shell/version.h"

namespace pelisto {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine c;
  bool optionsEnded = false;
  auto fail = [&](const std::string& message) {
    c.action = CommandLine::Action::kError;
    c.message = message;
    return c;
  };
  for (const std::string& a : args) {
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (a == "--help" || a == "-h")) {
      if (c.action == CommandLine::Action::kRun) c.action = CommandLine::Action::kHelp;
    } else if (!optionsEnded && a == "--version") {
      if (c.action == CommandLine::Action::kRun) c.action = CommandLine::Action::kVersion;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return fail("unknown option: " + a);
    } else if (!c.file.empty()) {
      return fail("only one file can be opened: " + a);
    } else if (a.empty()) {
      return fail("an empty file name");
    } else {
      c.file = a;
    }
  }
  return c;
}

std::string helpText(const std::string& program) {
  return "Usage: " + program + " [FILE]\n"
         "A WAV cut-and-paste editor.\n"
         "\n"
         "FILE is opened at start: a project file (.PRJ) is loaded, any other\n"
         "file is opened as a wave file.\n"
         "\n"
         "  -h, --help     show this help and exit\n"
         "      --version  show the version and exit\n";
}

std::string versionText() { return std::string("Pelisto ") + kVersion + "\n"; }

}  // namespace pelisto
