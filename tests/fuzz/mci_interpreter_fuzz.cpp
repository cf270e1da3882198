// Fuzzes the media device over the simulated output: the command parser,
// the WAV stream reader and the range source. The input is lines of
// commands, an empty line, then the bytes of /f.wav. Lines other than
// commands: "+N" lets N ms of the clock pass, "~N" cuts the file to N
// bytes while it may play, "!" makes its reads fail.
//
// Beyond the sanitizers it asserts what callers rely on: a refused command
// says why; a position stays inside the file; every play sent with NOTIFY
// completes exactly once, at the latest when everything is closed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "headless/mem_file_system.h"
#include "headless/simulated_output.h"
#include "system/mci/mci_interpreter.h"

namespace {

using namespace pelisto;

constexpr const char* kPath = "/f.wav";

// The leading decimal digits of s as a number, at most limit.
uint64_t digits(std::string_view s, uint64_t limit) {
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    const uint64_t d = uint64_t(c - '0');
    v = v > (limit - d) / 10 ? limit : v * 10 + d;
  }
  return v;
}

void check(bool ok) {
  if (!ok) std::abort();
}

struct Run {
  MemFileSystem fs;
  SimulatedOutput out;
  int notes = 0;
  int notifyPlays = 0;
  MciInterpreter mci{fs, out, [this](MciNotify) { ++notes; }};

  MciResult send(const std::string& command) {
    MciResult r = mci.send(command);
    check((r.code == 0) == r.error.empty());
    const MciParse p = parseMciCommand(command);
    if (r.code == 0 && p.command.verb == MciCommand::Verb::kPlay && p.command.notify) ++notifyPlays;
    if (r.code == 0 && p.command.verb == MciCommand::Verb::kStatus &&
        p.command.item == MciCommand::Item::kPosition) {
      check(!r.reply.empty() && r.reply.find_first_not_of("0123456789") == std::string::npos);
      MciResult length = mci.send("STATUS " + p.command.alias + " LENGTH");
      check(length.code == 0 && digits(r.reply, UINT64_MAX) <= digits(length.reply, UINT64_MAX));
    }
    check(notes <= notifyPlays);
    return r;
  }

  void cut(size_t bytes) {
    std::vector<uint8_t> keep = fs.contents(kPath);
    keep.resize(std::min(keep.size(), bytes));
    auto f = fs.open(kPath, OpenMode::kCreate);  // truncates the file in place
    check(f && (*f)->write(0, keep.data(), keep.size()).isOk());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find("\n\n");
  const std::string_view script = input.substr(0, split);
  const std::string_view file = split == std::string_view::npos ? std::string_view() : input.substr(split + 2);

  Run run;
  run.fs.setContents(kPath, std::vector<uint8_t>(file.begin(), file.end()));
  for (size_t pos = 0; pos < script.size();) {
    size_t eol = script.find('\n', pos);
    if (eol == std::string_view::npos) eol = script.size();
    const std::string_view line = script.substr(pos, eol - pos);
    pos = eol + 1;
    if (line.starts_with('+')) {
      run.out.advanceTo(run.out.now() + int64_t(digits(line.substr(1), 100000)));
    } else if (line.starts_with('~')) {
      run.cut(size_t(digits(line.substr(1), SIZE_MAX)));
    } else if (line == "!") {
      run.fs.failReadsOf(kPath);
    } else {
      run.send(std::string(line));
    }
  }
  run.send("CLOSE ALL");
  check(run.notes == run.notifyPlays);
  return 0;
}
