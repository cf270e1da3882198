// Fuzzes the project reader. Beyond the sanitizers it asserts that an
// accepted project saves and loads back unchanged: writing what was read
// succeeds and reading it again gives the same path and entries.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/app_state.h"
#include "project/project_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelisto;
  auto project = decodeProject(std::span<const uint8_t>(data, size), kMaxEditRows);
  if (!project) {
    if (project.status().code() != StatusCode::kInvalid) std::abort();
    return 0;
  }
  auto bytes = encodeProject(project.value());
  if (!bytes) std::abort();
  auto again = decodeProject(bytes.value(), kMaxEditRows);
  if (!again || again->minor != kProjectMinor) std::abort();
  if (again->waveFileName != project->waveFileName || again->entries != project->entries) std::abort();
  return 0;
}
