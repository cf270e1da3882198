// The application state every handler shares, under its own names and
// widths. A fresh AppState is the state before start-up: all zero and
// empty, TRACEX -1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <memory>

#include "model/overview_state.h"
#include "model/pauses.h"
#include "model/play_session.h"

namespace pelisto {

class WaveSurvey;

// The "fmt " chunk body of the open wave file.
struct WaveFormat {
  int16_t FORMATTAG = 0;
  int16_t CHANNELS = 0;
  int32_t SAMPLERATE = 0;
  int32_t BYTERATE = 0;
  int16_t BLOCKALIGN = 0;
  int16_t BITSPERSAMPLE = 0;
};

// Sound data constants: every accepted file is 16-bit stereo at 44100 Hz.
constexpr int kHeaderSize = 44;
constexpr int kFrameSize = 4;
constexpr int kFramesPerSecond = 44100;
constexpr int kBytesPerSecond = 176400;
constexpr int WAVEBLOCK = 1764;
constexpr int kColumnsPerSecond = 600;

// Edit-list rows: the first 101 always exist; the tables grow on demand up
// to kMaxEditRows.
constexpr int kInitialEditRows = 101;
constexpr int kMaxEditRows = 32767;

using EditFileRow = std::array<std::string, 2>;
using EditDataRow = std::array<int32_t, 8>;

// The columns of an EDITFILE row. A blank has no source path.
enum EditFileColumn : int {
  kSourcePath,
  kDisplayName,  // shown in the list's name column
};

// The columns of an EDITDATA row. A range is [start, end) in frames of its
// source, with the same ends in milliseconds; a blank's length is its end.
enum EditDataColumn : int {
  kStartFrame,
  kEndFrame,
  kStartMs,
  kEndMs,
  kLoopCount,  // times the range is written in a row (below 1: once)
  kVoiceless,  // 1: written through the voiceless transform
  kReserved6,  // kept in project files, unused
  kReserved7,
};

// The values of PLAYFLAG, MARKMODE and DRAGMODE, which keep their width.
enum PlayFlag : int16_t {
  kPlayIdle,
  kPlayTracked,  // the open file or a range, followed in the view
  kPlayWritten,  // the file just written, not followed
};
// The option 編集 → 音量をそろえる: none, or the loudness written files
// are brought to.
enum class LoudnessTarget : int16_t { kOff, kPodcast, kBroadcast };
// What the next press on the picture marks.
enum MarkMode : int16_t { kMarkNone, kMarkStart, kMarkEnd };
// Which marker of the selected entry the mouse holds (the rows of
// MARKERBOX are the start and the end marker, in that order).
enum DragMode : int16_t { kDragNone, kDragStartMarker, kDragEndMarker };

// The fields are grouped by the folder that owns them: only its code writes
// them; every other folder reads them, and changes them only through a
// function of the owner (named with each group). The owners below a
// writer keep those functions here, beside their fields.
struct AppState {
  // shell: the caption of every message box (set at start-up), the wave
  // file last written in this run (empty: none yet), and the type the list
  // was last written in (its name: "wav", "flac", …; empty before the
  // first).
  std::string APPTITLE;
  std::string lastWrittenPath;
  std::string writeType;

  // wave: the open wave file (its name, its number in the file table, its
  // format and the bytes of its sound: an unsigned 32-bit count), the
  // option 編集 → つなぎ目を滑らかにする and the option 編集 → 音量をそろえる.
  // From other folders: nameWaveFile, closeWaveFile (wave/open_wave.h).
  std::string WAVEFILENAME;
  int16_t WAVEFNUM = 0;
  WaveFormat WAVEFMT;
  uint32_t DATASIZE = 0;
  bool smoothJoins = false;
  LoudnessTarget loudness = LoudnessTarget::kOff;

  // playback: whether and how something plays, the second and column the
  // playback cursor was last drawn at (TRACEX -1: none drawn), what plays
  // (kind kNone while PLAYFLAG is kPlayIdle) and the temporary file a
  // listen across a join plays (removed when that play ends).
  // From other folders: markUntrackedPlay (playback/play_file.h),
  // resetTracking (below).
  int16_t PLAYFLAG = kPlayIdle;
  int32_t TRACESEC = 0;
  int32_t TRACEX = -1;
  PlaySession session;
  std::string joinListenFile;

  // view: the graph cache (the option, its file number, the record read,
  // whether it is being built behind the window and the worker's id of that
  // build), the block read for drawing, the marking cursor line (at
  // CURSORX; whether it is on the picture now: a redraw of the picture
  // wipes it), the markers' boxes, whether PICTURE1 shows the first second
  // of the line listened to across its join (until the next redraw), the
  // survey of the open wave file (view/wave_survey.h; null while no file is
  // open) and the worker's id of it, the pauses found (and a fresh number
  // whenever they are found anew) and the strip of the whole file.
  // From other folders: giveUpGraphBuild (view/graph_cache.h),
  // showJoinSecondOf (view/handlers.h).
  int16_t GRAPHFAST = 0;
  int16_t GRAPHFNUM = 0;
  std::array<uint8_t, 600> GRAPHBUF{};
  bool graphBuilding = false;
  uint64_t graphJob = 0;
  std::array<uint8_t, WAVEBLOCK> WAVEBUF{};
  int16_t CURSORX = 0;
  bool cursorShown = false;
  int16_t MARKERBOX[3][5] = {};
  bool pictureShowsJoin = false;
  std::shared_ptr<WaveSurvey> survey;
  uint64_t surveyJob = 0;
  PauseState pauses;
  uint64_t pausesVersion = 0;
  OverviewState overview;

  // editlist: what the next press on the picture marks, which marker the
  // mouse holds and whether it has been moved since the button went down.
  // From other folders: releaseMarker, clearMarking (below).
  int16_t MARKMODE = kMarkNone;
  int16_t DRAGMODE = kDragNone;
  bool dragMoved = false;

  // model, the edit list (model/edit_list.h, model/list_state.h): its
  // entries finished, the rows of both tables (only the edit list moves,
  // adds or removes rows), the list's revision (a fresh number for every
  // change; an undo brings the earlier number back), the revision last
  // loaded or saved (the list is unsaved while they differ), the last
  // number handed out, the project file the list came from or was last
  // saved to (empty: none yet) and the load the list stems from (its
  // revision; an undo back across a load brings the earlier list's file
  // back with it).
  // From other folders: EditList::setFinishedCount and the rows' functions,
  // markListSaved, markListSavedTo, markListLoaded, markListUnsaved.
  int16_t EDITCOUNT = 0;
  std::vector<EditFileRow> EDITFILE = std::vector<EditFileRow>(kInitialEditRows);
  std::vector<EditDataRow> EDITDATA = std::vector<EditDataRow>(kInitialEditRows);
  uint64_t listRevision = 0;
  uint64_t savedRevision = 0;
  uint64_t lastRevision = 0;
  std::string projectFile;
  uint64_t document = 0;

  // Makes row r exist in both tables (r < kMaxEditRows).
  void ensureRow(int r) {
    if (r >= static_cast<int>(EDITDATA.size())) {
      EDITFILE.resize(r + 1);
      EDITDATA.resize(r + 1);
    }
  }
};

// The owner functions of the groups whose writers lie below their owner.
// editlist: the mouse holds no marker (and has moved none).
inline void releaseMarker(AppState& s) {
  s.DRAGMODE = kDragNone;
  s.dragMoved = false;
}
// editlist: no marking armed and no marker held.
inline void clearMarking(AppState& s) {
  s.MARKMODE = kMarkNone;
  releaseMarker(s);
}
// playback: no playback cursor on the picture (a redraw wiped it).
inline void resetTracking(AppState& s) { s.TRACEX = -1; }

// True while the open wave file plays: a play from the view, or a range of
// that file.
inline bool openFilePlays(const AppState& s) {
  const PlaySession& p = s.session;
  return s.PLAYFLAG != kPlayIdle && (p.kind == PlayKind::kSource || p.kind == PlayKind::kRange) &&
         p.path == s.WAVEFILENAME;
}

}  // namespace pelisto
