// Building the graph cache from the open wave file, and the menu command
// that switches the fast display on and off.
#include "view/graph_cache.h"

#include <memory>

#include "model/messages.h"
#include "platform/user_folders.h"
#include "view/graph_build.h"
#include "view/handlers.h"
#include "view/view_text.h"

namespace pelisto {
namespace {

void giveUpFastDisplay(AppContext& ctx, const Status& why) {
  AppState& s = ctx.state;
  ctx.fs.remove(graphCachePath(ctx));
  ctx.switchedOffCache.reset();
  s.GRAPHFAST = 0;
  ctx.ui.setChecked(MenuItem::GrapgFast, false);
  refuse(ctx, std::string(kMsgGraphFileFailed) + "\n" + why.message());
}

// The last step has run: a complete cache is published under a file
// number, so that the next redraw reads it; a failed one turns the option off.
void finishGraphBuild(AppContext& ctx, GraphBuild& build) {
  AppState& s = ctx.state;
  s.graphBuilding = false;
  s.graphJob = kNoJob;
  ctx.ui.hideProgress();
  Status st = build.status();
  std::unique_ptr<File> cache = build.takeCache();
  if (st) {
    Result<int16_t> num = ctx.files.adopt(graphCachePath(ctx), std::move(cache));
    if (num) {
      s.GRAPHFNUM = num.value();
      return;
    }
    st = num.status();
  }
  cache.reset();
  giveUpFastDisplay(ctx, st);
}

}  // namespace

std::string graphCachePath(const AppContext& ctx) {
  return ctx.own.path(kGraphFileStem, kGraphFileExtension);
}

void removeStaleGraphCaches(AppContext& ctx) {
  removeStaleFiles(ctx.fs, ctx.own, kGraphFileStem, kGraphFileExtension);
}

void removeGraphCache(AppContext& ctx) {
  cancelGraphBuild(ctx);
  if (ctx.state.GRAPHFNUM != 0) ctx.files.close(ctx.state.GRAPHFNUM);
  ctx.state.GRAPHFNUM = 0;
  ctx.fs.remove(graphCachePath(ctx));
  ctx.switchedOffCache.reset();
}

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

void cancelGraphBuild(AppContext& ctx) {
  AppState& s = ctx.state;
  if (!s.graphBuilding) return;
  ctx.worker.cancelJob(s.graphJob);  // returns once no step runs; the build's files are closed
  s.graphBuilding = false;
  s.graphJob = kNoJob;
  ctx.ui.hideProgress();
  ctx.fs.remove(graphCachePath(ctx));
}

void LOADGRAPHDATA(AppContext& ctx, int32_t lastSecond) {
  AppState& s = ctx.state;
  cancelGraphBuild(ctx);
  if (s.GRAPHFNUM != 0) ctx.files.close(s.GRAPHFNUM);
  s.GRAPHFNUM = 0;
  ctx.switchedOffCache.reset();  // the build makes it anew
  // The program's folder may not be there yet, or may have been removed
  // since the last build.
  if (Status made = makeFolders(ctx.fs, ctx.own.folder); !made) {
    giveUpFastDisplay(ctx, made);
    return;
  }
  // The old cache is removed and the new one written behind the window;
  // GRAPHFNUM is set only once every record is written, so a redraw never
  // sees a cache under construction.
  auto build =
      std::make_shared<GraphBuild>(ctx.fs, ctx.files.path(s.WAVEFNUM), graphCachePath(ctx), lastSecond);
  s.graphBuilding = true;
  ctx.ui.showProgress(kBusyBuildingGraph, 0);
  const JobId job = ctx.worker.start([build] { return build->step(); },
                                     [&ctx, build] { ctx.ui.showProgress(kBusyBuildingGraph, build->percent()); },
                                     [&ctx, build] { finishGraphBuild(ctx, *build); });
  if (s.graphBuilding) s.graphJob = job;  // a worker may have finished it inside start
}

void giveUpGraphBuild(AppContext& ctx) {
  cancelGraphBuild(ctx);
  ctx.state.GRAPHFAST = 0;
  ctx.ui.setChecked(MenuItem::GrapgFast, false);
}

void GRAPGFAST_ON(AppContext& ctx) {
  AppState& s = ctx.state;
  if (s.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  if (!ctx.ui.isChecked(MenuItem::GrapgFast)) {
    ctx.ui.setChecked(MenuItem::GrapgFast, true);
    s.GRAPHFAST = 1;
    if (waveFileOpen(ctx)) LOADGRAPHDATA(ctx, lengthSeconds(s.DATASIZE));
  } else {
    ctx.ui.setChecked(MenuItem::GrapgFast, false);
    s.GRAPHFAST = 0;
    cancelGraphBuild(ctx);  // an unfinished cache goes; a complete one stays
    if (s.GRAPHFNUM != 0) ctx.switchedOffCache = ctx.files.release(s.GRAPHFNUM);
    s.GRAPHFNUM = 0;
  }
}

}  // namespace pelisto
