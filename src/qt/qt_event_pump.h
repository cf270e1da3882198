// The main loop's view of Qt's event queue.
#pragma once

#include "platform/event_pump.h"
#include "qt/main_window.h"

namespace pelisto {

class QtEventPump final : public EventPump {
 public:
  explicit QtEventPump(const MainWindow& window) : m_window(window) {}

  void processPending() override;
  // Sleeps in the event dispatcher (no polling); the events that end the
  // wait are dispatched before it returns.
  void waitForEvents(int timeoutMs) override;
  bool closed() const override { return m_window.closed(); }

 private:
  const MainWindow& m_window;
};

}  // namespace pelisto
