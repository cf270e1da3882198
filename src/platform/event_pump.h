// The backend's event queue as the main loop sees it.
#pragma once

namespace pelisto {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Dispatches every pending event (each runs its handler).
  virtual void processPending() = 0;
  // Blocks until an event is pending or timeoutMs passed (-1: no timeout).
  virtual void waitForEvents(int timeoutMs) = 0;
  // True once the main window has been closed.
  virtual bool closed() const = 0;
};

}  // namespace pelisto
