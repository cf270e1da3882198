// The media device: parses command strings, keeps the open aliases and
// plays them through an AudioOutput, one play at a time. Positions are in
// milliseconds. A play sent with NOTIFY queues exactly one completion:
// successful when its sound has been consumed, aborted when STOP or CLOSE
// ends it (queued during that command), superseded when a new PLAY of the
// same alias replaces it (aborted for another alias), failure when the
// file could not be read to the end of the range (a read failed, or the
// file was cut short while playing: STATUS … POSITION then tells how far
// it played). The output is prepared by OPEN and released when the last
// alias is closed.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/mci.h"
#include "system/mci/audio_output.h"
#include "system/mci/mci_command.h"
#include "system/mci/wav_reader.h"

namespace pelisto {

class MciInterpreter final : public MciDevice {
 public:
  // Commands run on one thread; notify may be called on the output's.
  MciInterpreter(FileSystem& fs, AudioOutput& output, NotifySink notify);
  ~MciInterpreter() override;

  MciResult send(const std::string& command) override;

 private:
  struct Play;
  struct Alias {
    std::string name;
    std::shared_ptr<FrameReader> reader;
    int64_t positionMs = 0;       // while no play is under way
    std::shared_ptr<Play> play;   // the play started last, until STOP or CLOSE
  };

  MciResult open(const MciCommand& c);
  MciResult play(Alias& alias, const MciCommand& c);
  MciResult status(const Alias& alias, const MciCommand& c) const;
  // Ends alias's play (if any) with code, keeping the position it reached.
  void endPlay(Alias& alias, MciNotify code);
  int64_t position(const Alias& alias) const;
  Alias* find(const std::string& name);

  FileSystem& m_fs;
  AudioOutput& m_output;
  NotifySink m_notify;
  std::map<std::string, Alias> m_aliases;  // by upper-case name
  Alias* m_current = nullptr;  // the alias whose play the output holds
};

}  // namespace pelisto
