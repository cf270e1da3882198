// The media-control device as the handlers see it: text commands in, a
// result code and reply text out. Completions of commands sent with NOTIFY
// reach the user-interface thread as MCI1_DONE through the backend's event
// queue (the device is given a NotifySink when it is made).
#pragma once

#include <functional>
#include <string>

namespace pelisto {

enum class MciNotify { kSuccessful, kSuperseded, kAborted, kFailure };

struct MciResult {
  int code = 0;        // 0 on success
  std::string reply;   // reply text (STATUS … POSITION: milliseconds)
  std::string error;   // readable reason when code is not 0
};

// Queues one completion for the user-interface thread; never calls the
// handler directly.
using NotifySink = std::function<void(MciNotify)>;

class MciDevice {
 public:
  MciDevice() = default;
  MciDevice(const MciDevice&) = delete;
  MciDevice& operator=(const MciDevice&) = delete;
  virtual ~MciDevice() = default;

  // Executes one command string (OPEN, SET, PLAY, STOP, CLOSE, STATUS).
  virtual MciResult send(const std::string& command) = 0;
  // How long after the device counts a frame as played it is heard, in
  // ms (the sound system's buffers); 0 when it is heard at once.
  virtual int outputLatencyMs() const { return 0; }
};

}  // namespace pelisto
