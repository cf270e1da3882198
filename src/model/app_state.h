// The application state every handler shares, under its own names and
// widths. A fresh AppState is the state before start-up: all zero and
// empty, TRACEX -1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelisto {

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

struct AppState {
  std::string APPTITLE;
  std::string WAVEFILENAME;
  int16_t WAVEFNUM = 0;
  WaveFormat WAVEFMT;
  uint32_t DATASIZE = 0;  // bytes of sound: an unsigned 32-bit count
  int16_t PLAYFLAG = kPlayIdle;
  int16_t GRAPHFAST = 0;
  int16_t GRAPHFNUM = 0;
  std::array<uint8_t, 600> GRAPHBUF{};
  std::array<uint8_t, WAVEBLOCK> WAVEBUF{};
  int16_t EDITCOUNT = 0;
  std::vector<EditFileRow> EDITFILE = std::vector<EditFileRow>(kInitialEditRows);
  std::vector<EditDataRow> EDITDATA = std::vector<EditDataRow>(kInitialEditRows);
  int16_t MARKMODE = kMarkNone;
  int16_t CURSORX = 0;
  int16_t DRAGMODE = kDragNone;
  int16_t MARKERBOX[3][5] = {};
  int32_t TRACESEC = 0;
  int32_t TRACEX = -1;

  // Beside the named state: whether the marking cursor line is on the
  // picture now (at CURSORX; a redraw of the picture wipes it), whether
  // a grabbed marker has been moved since the button went down, and
  // whether the graph cache is being built behind the window.
  bool cursorShown = false;
  bool dragMoved = false;
  // The edit list's revision (a fresh number for every change; an undo
  // brings the earlier number back), the revision last loaded or saved (the
  // list is unsaved while they differ), and the last number handed out.
  uint64_t listRevision = 0;
  uint64_t savedRevision = 0;
  uint64_t lastRevision = 0;
  // The project file the list came from or was last saved to (empty: none
  // yet), and the load the list stems from (its revision; an undo back
  // across a load brings the earlier list's file back with it).
  std::string projectFile;
  uint64_t document = 0;
  bool graphBuilding = false;
  // The wave file last written in this run (empty: none yet).
  std::string lastWrittenPath;
  // The option 編集 → つなぎ目を滑らかにする, and the temporary file a
  // listen across a join plays (removed when that play ends).
  bool smoothJoins = false;
  std::string joinListenFile;
  // The option 編集 → 音量をそろえる, and the type the list was last
  // written in (its name: "wav", "flac", …; empty before the first).
  LoudnessTarget loudness = LoudnessTarget::kOff;
  std::string writeType;

  // Makes row r exist in both tables (r < kMaxEditRows).
  void ensureRow(int r) {
    if (r >= static_cast<int>(EDITDATA.size())) {
      EDITFILE.resize(r + 1);
      EDITDATA.resize(r + 1);
    }
  }
};

}  // namespace pelisto
