// Fuzzes the reader of the graph cache WKGRAPH.TMP: the input is the
// cache file, used with the fast display on over a short wave file, and
// the seconds around its records are read, the last one drawn. Beyond the
// sanitizers it asserts that a whole record is read and drawn from exactly
// its bytes and that a second without one (negative, partial, past the
// end) is refused.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_app.h"
#include "support/test_app.h"
#include "view/graph_cache.h"
#include "view/handlers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelisto;
  using fuzz::check;
  // Second 0 and a part of second 1 of sound, for seconds with no record.
  static const std::vector<uint8_t> wave = test::wavFile(test::patternData(kBytesPerSecond + 5000));
  fuzz::FuzzApp app;
  app.fs.setContents("/a.wav", wave);
  app.fs.setContents(graphCachePath(app.ctx), std::vector<uint8_t>(data, data + size));
  AppState& s = app.ctx.state;
  check(app.ctx.files.open(1, "/a.wav", OpenMode::kRead).isOk());
  check(app.ctx.files.open(2, graphCachePath(app.ctx), OpenMode::kRead).isOk());
  s.WAVEFILENAME = "/a.wav";
  s.WAVEFNUM = 1;
  s.GRAPHFNUM = 2;
  s.GRAPHFAST = 1;

  const int32_t records = int32_t(size / kGraphRecordSize);
  std::array<uint8_t, kGraphRecordSize> out;
  for (int32_t second : {-1, 0, 1, records - 1, records, records + 1, INT32_MAX}) {
    const bool whole = second >= 0 && second < records;
    check(readGraphRecord(app.ctx, second, out) == whole);
    if (whole) check(std::equal(out.begin(), out.end(), data + size_t(second) * kGraphRecordSize));
  }
  // The last record drawn (the rows lie anywhere from 0 to 255 on a picture
  // 128 high), or with none, a second from the wave file.
  const int32_t shown = records > 0 ? records - 1 : 1;
  SHOWWAVEDATA(app.ctx, shown);
  if (records > 0) check(std::equal(s.GRAPHBUF.begin(), s.GRAPHBUF.end(), data + size_t(shown) * kGraphRecordSize));
  return 0;
}
