#include "platform/helper_thread.h"

#include <system_error>
#include <utility>

namespace pelisto {

HelperThread::HelperThread(std::function<void()> work) : m_work(std::move(work)) {
  try {
    m_thread = std::thread([this] { loop(); });
  } catch (const std::system_error&) {
    // No thread: start() works on the owner's thread.
  }
}

HelperThread::~HelperThread() {
  if (!m_thread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

void HelperThread::loop() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return m_quit || m_pending > 0; });
    if (m_quit) return;
    lock.unlock();
    std::exception_ptr thrown;
    try {
      m_work();
    } catch (...) {
      thrown = std::current_exception();
    }
    lock.lock();
    if (thrown) {
      m_thrown = thrown;
      m_pending = 0;
    } else {
      --m_pending;
    }
    m_changed.notify_all();
  }
}

void HelperThread::start() {
  if (!m_thread.joinable()) {
    if (m_thrown) return;
    try {
      m_work();
    } catch (...) {
      m_thrown = std::current_exception();
    }
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_thrown) return;  // the runs after a throw are dropped
    ++m_pending;
  }
  m_changed.notify_all();
}

size_t HelperThread::wait(size_t pending) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [&] { return m_pending <= pending; });
  if (m_thrown) std::rethrow_exception(std::exchange(m_thrown, nullptr));
  return m_pending;
}

}  // namespace pelisto
