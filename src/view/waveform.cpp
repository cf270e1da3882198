// Drawing one second of the open wave file into PICTURE1, from the wave
// file itself or from the graph cache; both give the same rows.
#include <array>

#include "model/forms.h"
#include "view/graph_cache.h"
#include "view/graph_points.h"
#include "view/handlers.h"

namespace pelisto {
namespace {

// The rows of second straight from the wave file: 100 blocks through the
// block reader, six columns from each. Missing blocks read as zeros.
void rowsFromWaveFile(AppContext& ctx, int32_t second, std::array<uint8_t, kColumnsPerSecond>& rows) {
  rows.fill(kZeroRow);
  if (second < 0 || !ctx.files.isOpen(ctx.state.WAVEFNUM)) return;
  ctx.files.seek(ctx.state.WAVEFNUM,
                 static_cast<uint64_t>(second) * kBytesPerSecond + kHeaderSize);
  for (int k = 0; k < kBlocksPerSecond; ++k) {
    GETWAVEDATA(ctx, 0);
    reduceBlock(ctx.state.WAVEBUF.data(), rows.data() + k * kColumnsPerBlock);
  }
}

// Clears PICTURE1 to its background and centre line, in copy mode (the
// mode it had is the caller's to restore).
void clearPicture(AppContext& ctx, Canvas& pic) {
  pic.setMode(DrawMode::kCopy);
  pic.fillBox(0, 0, kPictureDrawRight, kPictureDrawBottom, kPictureBackEntry);
  resetTracking(ctx.state);  // the clear wiped the playback cursor
  ctx.state.cursorShown = false;  // and the marking cursor
  ctx.state.pictureShowsJoin = false;
  drawZeroLine(pic);
}

// Clears PICTURE1 and draws rows as the waveform.
void drawRows(AppContext& ctx, const uint8_t* points) {
  Canvas& pic = ctx.ui.canvas(Control::PICTURE1);
  const DrawMode mode = pic.mode();
  clearPicture(ctx, pic);
  // One point on the zero line at the left edge: the waveform starts with a
  // segment from there to its first point.
  pic.line(0, kZeroRow, 0, kZeroRow, kWaveEntry);
  for (int x = 0; x < kColumnsPerSecond; ++x) pic.lineTo(x, points[x], kWaveEntry);
  pic.setMode(mode);
}

}  // namespace

void drawZeroLine(Canvas& picture) {
  picture.line(0, kZeroRow, kPictureDrawRight, kZeroRow, kZeroLineEntry);
}

void showEmptyPicture(AppContext& ctx) {
  Canvas& pic = ctx.ui.canvas(Control::PICTURE1);
  const DrawMode mode = pic.mode();
  clearPicture(ctx, pic);
  pic.setMode(mode);
}

void showSecondOf(AppContext& ctx, const std::string& path, int64_t firstFrame) {
  std::array<uint8_t, kColumnsPerSecond> rows;
  rows.fill(kZeroRow);
  if (auto file = ctx.fs.open(path, OpenMode::kRead); file && firstFrame >= 0) {
    std::array<uint8_t, WAVEBLOCK> block;
    const uint64_t first = kHeaderSize + static_cast<uint64_t>(firstFrame) * kFrameSize;
    for (int k = 0; k < kBlocksPerSecond; ++k) {
      // A block the file does not wholly hold is silence, as for the view.
      auto got = file.value()->read(first + uint64_t(k) * WAVEBLOCK, block.data(), WAVEBLOCK);
      if (!got || got.value() < static_cast<size_t>(WAVEBLOCK)) break;
      reduceBlock(block.data(), rows.data() + k * kColumnsPerBlock);
    }
  }
  drawRows(ctx, rows.data());
}

void showJoinSecondOf(AppContext& ctx, const std::string& path, int64_t firstFrame) {
  showSecondOf(ctx, path, firstFrame);
  ctx.state.pictureShowsJoin = true;
}

int16_t SHOWWAVEDATA(AppContext& ctx, int32_t second) {
  AppState& s = ctx.state;
  // A second the cache has no record for is drawn from the wave file, which
  // gives the same points (past the end of the sound, a flat line).
  std::array<uint8_t, kColumnsPerSecond> rows;
  const uint8_t* points = s.GRAPHBUF.data();
  if (!graphCacheReady(ctx) || !readGraphRecord(ctx, second, s.GRAPHBUF)) {
    rowsFromWaveFile(ctx, second, rows);
    points = rows.data();
  }
  drawRows(ctx, points);
  return 0;
}

}  // namespace pelisto
