// Fuzzes the planner of the wave file writer over edit rows and source
// files made from the input, on the headless backend and an in-memory file
// system. Input: a flags byte (bits 0-1: source files less one; bit 2: the
// last line is the pending entry; bit 3: reads of the second source fail),
// each source as a 16-bit length and its bytes (the first is the open wave
// file), then rows of a source byte (0-3: that source, 4: a blank, 5: a
// folder) and eight 32-bit numbers.
//
// Beyond the sanitizers it asserts what the writer relies on: planning
// changes no file; an accepted plan has one step per line, every range
// inside its source, and the header's sizes match the length, which fits
// the 32-bit fields.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "model/edit_list.h"
#include "fuzz/fuzz_app.h"
#include "platform/coding.h"
#include "wave/write_plan.h"

namespace {

using namespace pelisto;
using fuzz::check;

constexpr int kMaxRows = 40;

std::map<std::string, std::vector<uint8_t>> snapshot(MemFileSystem& fs) {
  std::map<std::string, std::vector<uint8_t>> all;
  for (const std::string& path : fs.files()) all[path] = fs.contents(path);
  return all;
}

std::string sourcePath(int i) { return "/w/s" + std::to_string(i) + ".wav"; }

// The sources and the edit list the input describes (see above). Returns
// the rows filled.
int buildList(fuzz::FuzzApp& app, ByteReader& in) {
  const uint8_t flags = in.byte().value_or(0);
  const int sources = 1 + (flags & 3);
  app.fs.addDirectory("/w");
  app.fs.addDirectory("/w/dir");
  for (int i = 0; i < sources; ++i) {
    const size_t length = std::min<size_t>(uint16_t(in.be16().value_or(0)), in.remaining());
    const std::string bytes = in.bytes(length).value_or("");
    app.fs.setContents(sourcePath(i), std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }
  if (flags & 8) app.fs.failReadsOf(sourcePath(1));

  AppState& s = app.ctx.state;
  check(app.ctx.files.open(1, sourcePath(0), OpenMode::kRead).isOk());
  s.WAVEFILENAME = sourcePath(0);
  s.WAVEFNUM = 1;
  int rows = 0;
  while (rows < kMaxRows && in.remaining() > 0) {
    const uint8_t which = in.byte().value() % 6;
    s.EDITFILE[rows][0] = which < 4 ? sourcePath(which) : which == 4 ? "" : "/w/dir";
    s.EDITFILE[rows][1] = displayName(s.EDITFILE[rows][0]);
    for (int32_t& v : s.EDITDATA[rows]) v = in.be32().value_or(0);
    app.ctx.list.addLine("line");
    ++rows;
  }
  s.EDITCOUNT = int16_t(rows > 0 && (flags & 4) ? rows - 1 : rows);
  return rows;
}

// A plan of one step a row whose reads stay inside their sources, whose
// frames add up within the plan's limit, and whose header is the open
// file's as it was read.
void checkPlan(const WritePlan& plan, int rows, const std::map<std::string, std::vector<uint8_t>>& files) {
  check(int(plan.steps.size()) == rows);
  uint64_t frames = 0;
  for (const WriteStep& step : plan.steps) {
    frames += stepFrames(step);
    if (step.kind == WriteStep::Kind::kCopy || step.kind == WriteStep::Kind::kVoiceless) {
      const uint64_t length = files.at(step.source).size();
      check(step.offset >= uint64_t(kHeaderSize) && step.rangeBytes <= length &&
            step.offset <= length - step.rangeBytes);
    }
    if (step.kind == WriteStep::Kind::kVoiceless) check(step.bytes % kVoicelessBlock == 0);
  }
  check(frames == plan.frames && frames <= kMaxPlanFrames && plan.firstFrame == 0);
  const std::vector<uint8_t>& wave = files.at(sourcePath(0));
  check(std::equal(plan.waveHeader.begin(), plan.waveHeader.end(), wave.begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteReader in(std::span<const uint8_t>(data, size));
  fuzz::FuzzApp app;
  const int rows = buildList(app, in);
  const auto before = snapshot(app.fs);
  Result<WritePlan> plan = planWaveFile(app.ctx);
  check(snapshot(app.fs) == before);  // planning writes nothing
  if (plan) checkPlan(*plan, rows, before);
  else check(!plan.status().message().empty());
  return 0;
}
