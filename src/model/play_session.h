// The playback session: what plays, from where, and for what. Set when a
// play starts, emptied when it ends; the position heard is found through
// playback/session.h.
#pragma once

#include <cstdint>
#include <string>

namespace pelisto {

enum class PlayKind {
  kNone,
  kSource,      // 元曲再生: the open file from the second in view
  kRange,       // 指定範囲の再生: the selected entry's range of its file
  kWritten,     // the wave file just written
  kJoinListen,  // the frames around a join, from a temporary file
};

struct PlaySession {
  PlayKind kind = PlayKind::kNone;
  std::string path;     // the file that plays
  int64_t firstMs = 0;  // where in that file the play started
  // Listening across a join: the frame of the played file where the
  // selected line begins (the frames before it lead up to the join).
  int64_t joinFrame = 0;
  // The position heard at the last look (ms of the played file; -1: none).
  int64_t heardMs = -1;

  // The frame the play started at.
  int64_t firstFrame() const { return firstMs * 44100 / 1000; }
};

}  // namespace pelisto
