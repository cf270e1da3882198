#include "shell/command_line.h"

#include "shell/version.h"
#include "wave/loudness.h"
#include "wave/output_type.h"

namespace pelisto {
namespace {

constexpr const char* kLoudnessOption = "--loudness=";

// The files of a command line once every option is read.
CommandLine withFiles(CommandLine c, const std::vector<std::string>& files, bool write, bool loudness) {
  auto fail = [&](const std::string& message) {
    c.action = CommandLine::Action::kError;
    c.message = message;
    return c;
  };
  if (!write) {
    if (!files.empty()) c.file = files[0];
    if (files.size() > 1) return fail("only one file can be opened: " + files[1]);
    if (loudness) return fail("--loudness goes with --write");
    return c;
  }
  if (files.size() != 2) return fail("--write needs a project file and an output file");
  c.action = CommandLine::Action::kWrite;
  c.file = files[0];
  c.output = files[1];
  if (!outputTypeOfPath(c.output)) {
    return fail("the output's type is unknown: " + c.output + " (use .wav, .flac, .ogg, .opus or .mp3)");
  }
  return c;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine c;
  bool optionsEnded = false, write = false, loudness = false;
  std::vector<std::string> files;
  auto fail = [&](const std::string& message) {
    c.action = CommandLine::Action::kError;
    c.message = message;
    if (!files.empty()) c.file = files[0];
    return c;
  };
  for (const std::string& a : args) {
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (a == "--help" || a == "-h")) {
      if (c.action == CommandLine::Action::kRun) c.action = CommandLine::Action::kHelp;
    } else if (!optionsEnded && a == "--version") {
      if (c.action == CommandLine::Action::kRun) c.action = CommandLine::Action::kVersion;
    } else if (!optionsEnded && a == "--write") {
      write = true;
    } else if (!optionsEnded && a.starts_with(kLoudnessOption)) {
      const std::string value = a.substr(std::string(kLoudnessOption).size());
      const std::optional<LoudnessTarget> target = loudnessTargetNamed(value);
      if (!target || *target == LoudnessTarget::kOff) return fail("--loudness takes -16 or -23: " + a);
      c.loudness = *target;
      loudness = true;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return fail("unknown option: " + a);
    } else if (a.empty()) {
      return fail("an empty file name");
    } else {
      files.push_back(a);
    }
  }
  if (c.action != CommandLine::Action::kRun) {
    if (!files.empty()) c.file = files[0];
    return c;
  }
  return withFiles(c, files, write, loudness);
}

std::string helpText(const std::string& program) {
  return "Usage: " + program + " [FILE]\n"
         "       " + program + " --write PROJECT OUTPUT [--loudness=-16|-23]\n"
         "A WAV cut-and-paste editor.\n"
         "\n"
         "FILE is opened at start: a project file (.PRJ) is loaded, any other\n"
         "file is opened as a wave file.\n"
         "\n"
         "--write writes the edit list of the project file PROJECT into OUTPUT\n"
         "without a window, in the type its extension names: .wav, .flac, .ogg\n"
         "(Vorbis), .opus or .mp3. The joins are written as they are (not\n"
         "smoothed). Refusals and failures go to standard error, as one progress\n"
         "line does; the exit status is 0 when written, 1 when refused or failed\n"
         "(nothing is left behind), 2 for a wrong command line.\n"
         "\n"
         "  -h, --help          show this help and exit\n"
         "      --version       show the version and exit\n"
         "      --write         write a project's list (see above)\n"
         "      --loudness=LUFS with --write: bring the output to -16 or -23 LUFS\n"
         "                      (one gain, the true peak kept at or below -1 dBTP)\n";
}

std::string versionText() { return std::string("Pelisto ") + kVersion + "\n"; }

}  // namespace pelisto
