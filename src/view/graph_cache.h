// The graph cache "WKGRAPH-<process id>.TMP" in the program's own folder:
// 600-byte records of drawing rows, record s + 1 for second s, built once
// so that scrolling reads 600 bytes per second shown instead of 176400.
// The build runs behind the window (on the context's worker); until it is
// complete the view draws from the wave file, which gives the same picture.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/context.h"

namespace pelisto {

inline constexpr const char* kGraphFileStem = "WKGRAPH";
inline constexpr const char* kGraphFileExtension = ".TMP";
constexpr int kGraphRecordSize = kColumnsPerSecond;

inline constexpr const char* kMsgGraphFileFailed =
    "グラフデータファイル(WKGRAPH.TMP)が作成出来ません。グラフの高速表示を解除します。";
inline constexpr const char* kBusyBuildingGraph = "グラフデータを作成中です";

// This program's cache file.
std::string graphCachePath(const AppContext& ctx);

// At start: removes the caches that programs no longer running left.
void removeStaleGraphCaches(AppContext& ctx);

// When the program ends: closes and removes its cache (a build still
// running is cancelled first).
void removeGraphCache(AppContext& ctx);

// True when the waveform is to be drawn from the cache: the option is on
// and the cache file is open (only once its build is complete).
bool graphCacheReady(const AppContext& ctx);

// Ends a build of the cache running behind the window and removes its
// unfinished file; GRAPHFNUM stays 0. Nothing happens when none runs.
void cancelGraphBuild(AppContext& ctx);
// cancelGraphBuild, and the fast display switched off with its check mark.
void giveUpGraphBuild(AppContext& ctx);

// Reads the rows of second from the cache into out. False when the cache
// holds no such record (the rounded-up last scroll position lies one second
// past it) or it cannot be read; nothing is read outside the file.
bool readGraphRecord(AppContext& ctx, int32_t second, std::array<uint8_t, kGraphRecordSize>& out);

}  // namespace pelisto
