// Building the graph cache from the open wave file, and the menu command
// that switches the fast display on and off.
#include "view/graph_cache.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/handlers.h"
#include "app/messages.h"
#include "platform/file_errors.h"
#include "view/graph_points.h"
#include "wave/wave_header.h"

namespace pelisto {
namespace {

// The wave file is read in chunks of whole blocks (about 256 KiB, so that a
// chunk is still in the processor cache when it is reduced) and the
// records are written in batches of about 256 KiB.
constexpr uint64_t kChunkBlocks = 150;
constexpr size_t kBatchRecords = 400;

// Writes records for seconds 0 … lastSecond into the cache open under
// cacheNum, in one sequential pass over the wave file. Block k of the data
// is real when a whole block remains in the file at its offset (bytes after
// the data chunk count, as for the block reader); every later block is
// silence, exactly as the block reader gives it. Both files are read and
// written at explicit offsets, so nothing that moves their positions
// meanwhile can shift a record, and both are looked up afresh after every
// progress report; the wave file is left where a walk through the block
// reader would have left it.
Status writeRecords(AppContext& ctx, int16_t cacheNum, int32_t lastSecond, BusyScope& busy) {
  FileTable& files = ctx.files;
  const int16_t waveNum = ctx.state.WAVEFNUM;
  const uint64_t totalBlocks =
      lastSecond < 0 ? 0 : (static_cast<uint64_t>(lastSecond) + 1) * kBlocksPerSecond;

  uint64_t realBlocks = 0;
  if (File* wave = files.file(waveNum)) {
    auto length = wave->size();
    if (length && length.value() > static_cast<uint64_t>(kHeaderSize)) {
      realBlocks = std::min(totalBlocks, (length.value() - kHeaderSize) / WAVEBLOCK);
    }
  }

  auto chunk = std::make_unique_for_overwrite<uint8_t[]>(kChunkBlocks * WAVEBLOCK);
  std::vector<uint8_t> batch;
  batch.reserve(kBatchRecords * kGraphRecordSize);
  uint64_t written = 0;
  auto flush = [&]() -> Status {
    if (batch.empty()) return Status::ok();
    File* cache = files.file(cacheNum);
    if (!cache) return Status::error(StatusCode::kIoError, reason::kNotOpen);
    Status st = cache->write(written, batch.data(), batch.size());
    written += batch.size();
    batch.clear();
    return st;
  };

  uint64_t block = 0;
  while (block < totalBlocks) {
    const uint64_t want = std::min(kChunkBlocks, totalBlocks - block);
    uint64_t real = 0;
    File* wave = files.file(waveNum);
    if (!wave) realBlocks = std::min(realBlocks, block);
    if (block < realBlocks) {
      const uint64_t n = std::min(want, realBlocks - block);
      auto got = wave->read(kHeaderSize + block * WAVEBLOCK, chunk.get(), n * WAVEBLOCK);
      real = got ? got.value() / WAVEBLOCK : 0;
      // A read that fails or comes up short ends the sound here.
      if (real < n) realBlocks = block + real;
    }
    const size_t at = batch.size();
    batch.resize(at + want * kColumnsPerBlock, kZeroRow);
    for (uint64_t i = 0; i < real; ++i) {
      reduceBlock(chunk.get() + i * WAVEBLOCK, batch.data() + at + i * kColumnsPerBlock);
    }
    block += want;
    if (batch.size() >= kBatchRecords * kGraphRecordSize) {
      if (Status st = flush(); !st) return st;
    }
    busy.update(block, totalBlocks);
  }
  if (files.isOpen(waveNum)) files.seek(waveNum, kHeaderSize + realBlocks * WAVEBLOCK);
  if (Status st = flush(); !st) return st;
  files.seek(cacheNum, written);
  return Status::ok();
}

void giveUpFastDisplay(AppContext& ctx, const Status& why) {
  AppState& s = ctx.state;
  ctx.fs.remove(kGraphFileName);
  s.GRAPHFAST = 0;
  ctx.ui.setChecked(MenuItem::GrapgFast, false);
  refuse(ctx, std::string(kMsgGraphFileFailed) + "\n" + why.message());
}

}  // namespace

bool graphCacheReady(const AppContext& ctx) {
  return ctx.state.GRAPHFAST != 0 && ctx.files.isOpen(ctx.state.GRAPHFNUM);
}

bool readGraphRecord(AppContext& ctx, int32_t second, std::array<uint8_t, kGraphRecordSize>& out) {
  File* cache = ctx.files.file(ctx.state.GRAPHFNUM);
  if (!cache || second < 0) return false;
  const uint64_t offset = static_cast<uint64_t>(second) * kGraphRecordSize;
  auto size = cache->size();
  if (!size || size.value() < offset + kGraphRecordSize) return false;
  auto got = cache->read(offset, out.data(), kGraphRecordSize);
  return got && got.value() == static_cast<size_t>(kGraphRecordSize);
}

void LOADGRAPHDATA(AppContext& ctx, const std::string&, int32_t& seconds) {
  AppState& s = ctx.state;
  Status st;
  {
    std::unique_ptr<BusyScope> busy = ctx.ui.beginBusy(kBusyBuildingGraph, false);
    if (s.GRAPHFNUM != 0) ctx.files.close(s.GRAPHFNUM);
    s.GRAPHFNUM = 0;
    // Whatever has the name goes, a dangling symbolic link included, and the
    // cache is made anew as a regular file: a link planted under the name
    // is never followed.
    ctx.fs.remove(kGraphFileName);

    // The number is taken now but published in GRAPHFNUM only once every
    // record is written, so a redraw never sees a cache under construction.
    Result<int16_t> num = ctx.files.openFree(kGraphFileName, OpenMode::kCreateNew);
    st = num.status();
    if (num) {
      st = writeRecords(ctx, num.value(), seconds, *busy);
      if (st) {
        s.GRAPHFNUM = num.value();
      } else {
        ctx.files.close(num.value());
      }
    }
  }
  if (!st) giveUpFastDisplay(ctx, st);
}

void GRAPGFAST_ON(AppContext& ctx) {
  AppState& s = ctx.state;
  if (s.PLAYFLAG != 0) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  if (!ctx.ui.isChecked(MenuItem::GrapgFast)) {
    ctx.ui.setChecked(MenuItem::GrapgFast, true);
    s.GRAPHFAST = 1;
    if (waveFileOpen(ctx)) {
      int32_t seconds = lengthSeconds(s.DATASIZE);
      LOADGRAPHDATA(ctx, s.WAVEFILENAME, seconds);
    }
  } else {
    ctx.ui.setChecked(MenuItem::GrapgFast, false);
    s.GRAPHFAST = 0;
    if (s.GRAPHFNUM != 0) ctx.files.close(s.GRAPHFNUM);
    s.GRAPHFNUM = 0;
  }
}

}  // namespace pelisto
