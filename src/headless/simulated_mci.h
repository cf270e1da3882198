// The media device of the headless backend: the same command interpreter
// as the desktop, over an output that plays in simulated time. A play
// completes when the clock passes its end.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/file_system.h"
#include "platform/mci.h"

namespace pelisto {

class SimulatedMci : public MciDevice {
 public:
  // Moves the simulated clock to nowMs (never backwards); completions that
  // fall due are handed to the NotifySink in order.
  virtual void advanceTo(int64_t nowMs) = 0;
  virtual int64_t now() const = 0;
  // Test switch: frames consumed are heard ms later.
  virtual void setOutputLatency(int ms) = 0;
};

// Reads WAV files through fs; queues completions through notify.
std::unique_ptr<SimulatedMci> newSimulatedMci(FileSystem& fs, NotifySink notify);

}  // namespace pelisto
