#include <gtest/gtest.h>

#include "shell/command_line.h"

namespace pelisto {
namespace {

TEST(CommandLine, FileHelpVersionAndMistakes) {
  using A = CommandLine::Action;
  struct Case {
    std::vector<std::string> args;
    A action;
    std::string file;
    std::string message;
  } cases[] = {
      {{}, A::kRun, "", ""},
      {{"song.wav"}, A::kRun, "song.wav", ""},
      {{"/home/me/Take 1.PRJ"}, A::kRun, "/home/me/Take 1.PRJ", ""},
      {{"-"}, A::kRun, "-", ""},
      {{"--", "--odd.wav"}, A::kRun, "--odd.wav", ""},
      {{"--help"}, A::kHelp, "", ""},
      {{"a.wav", "-h"}, A::kHelp, "a.wav", ""},
      {{"--version", "--help"}, A::kVersion, "", ""},
      {{"--frobnicate"}, A::kError, "", "unknown option: --frobnicate"},
      {{"-x", "--help"}, A::kError, "", "unknown option: -x"},
      {{"a.wav", "b.wav"}, A::kError, "a.wav", "only one file can be opened: b.wav"},
      {{""}, A::kError, "", "an empty file name"},
  };
  for (const Case& c : cases) {
    const CommandLine got = parseCommandLine(c.args);
    const std::string where = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(got.action, c.action) << where;
    EXPECT_EQ(got.file, c.file) << where;
    EXPECT_EQ(got.message, c.message) << where;
  }
  EXPECT_EQ(helpText("pelisto").rfind("Usage: pelisto [FILE]\n", 0), 0u);
  EXPECT_EQ(versionText(), "Pelisto 0.1\n");
}

}  // namespace
}  // namespace pelisto
