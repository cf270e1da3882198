// Fuzzes the project reader, and the reader of the copy of an unsaved list
// (a project file with more behind it). Beyond the sanitizers it asserts
// that an accepted project saves and loads back unchanged: writing what
// was read succeeds and reading it again gives the same path and entries;
// that an accepted copy does the same; and that a copy's summary, read at
// its two ends, agrees with the whole copy read.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "headless/mem_file_system.h"
#include "model/app_state.h"
#include "project/project_format.h"
#include "project/recovery_format.h"

namespace {

using namespace pelisto;

void check(bool ok) {
  if (!ok) std::abort();
}

void checkCopy(std::span<const uint8_t> input) {
  auto copy = decodeRecoveryCopy(input);
  MemFileSystem fs;
  fs.setContents("/c", std::vector<uint8_t>(input.begin(), input.end()));
  auto summary = readCopySummary(*fs.open("/c", OpenMode::kRead).value());
  if (!copy) return;
  const Project& p = copy->project;
  check(!summary || (summary->lines == int(p.entries.size()) && summary->waveFileName == p.waveFileName));
  auto bytes = encodeRecoveryCopy(p, copy->selected);
  check(bytes.isOk());
  auto again = decodeRecoveryCopy(bytes.value());
  check(again.isOk() && again->selected == copy->selected && again->project.waveFileName == p.waveFileName &&
        again->project.entries == p.entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  checkCopy(input);
  auto project = decodeProject(input, kMaxEditRows);
  if (!project) {
    check(project.status().code() == StatusCode::kInvalid || project.status().code() == StatusCode::kLimit);
    return 0;
  }
  auto bytes = encodeProject(project.value());
  check(bytes.isOk());
  auto again = decodeProject(bytes.value(), kMaxEditRows);
  check(again && again->minor == kProjectMinor);
  check(again->waveFileName == project->waveFileName && again->entries == project->entries);
  return 0;
}
