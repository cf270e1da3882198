// The command strings the media device understands, parsed. Keywords are
// matched without regard to case; an OPEN path is everything between
// "OPEN " and the last " TYPE ", blanks included, without quotation marks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pelisto {

// Result codes of the media device (MciResult::code).
enum MciCode : int {
  kMciOk = 0,
  kMciUnknownCommand = 1,   // the first word is no command
  kMciMissingParameter,     // a required word or number is missing
  kMciBadParameter,         // a word the command does not take
  kMciBadNumber,            // a number is not a plain decimal integer
  kMciUnknownAlias,         // no device is open under that alias
  kMciAliasInUse,           // OPEN with an alias already open
  kMciUnsupportedType,      // OPEN with a TYPE other than WAVEAUDIO
  kMciFileNotFound,         // OPEN of a file that does not exist
  kMciReadError,            // the file cannot be read
  kMciNotPlayable,          // not a WAV file, or a coding that cannot be played
  kMciOutOfRange,           // FROM/TO outside the file, or TO before FROM
  kMciUnsupportedFormat,    // SET with a time format other than milliseconds
  kMciNoOutput,             // no sound output can be had
};

struct MciCommand {
  enum class Verb { kOpen, kSet, kPlay, kStop, kClose, kStatus };
  enum class Item { kPosition, kLength, kMode };

  Verb verb = Verb::kStop;
  std::string alias;     // as written; aliases compare without regard to case
  std::string path;      // OPEN
  std::optional<int64_t> from, to;  // PLAY, milliseconds
  bool notify = false;   // PLAY
  bool all = false;      // CLOSE ALL
  Item item = Item::kPosition;  // STATUS
};

struct MciParse {
  MciCommand command;
  int code = kMciOk;
  std::string error;
};

MciParse parseMciCommand(const std::string& text);

// The text in upper case (ASCII letters only).
std::string upperAscii(std::string text);

}  // namespace pelisto
