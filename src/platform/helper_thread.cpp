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
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_running; });
    m_quit = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

void HelperThread::runWork() {
  try {
    m_work();
  } catch (...) {
    m_thrown = std::current_exception();
  }
}

void HelperThread::loop() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return m_quit || m_running; });
    if (m_quit) return;
    lock.unlock();
    runWork();
    lock.lock();
    m_running = false;
    m_changed.notify_all();
  }
}

void HelperThread::start() {
  if (!m_thread.joinable()) {
    runWork();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = true;
  }
  m_changed.notify_all();
}

void HelperThread::wait() {
  if (m_thread.joinable()) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_running; });
  }
  if (m_thrown) std::rethrow_exception(std::exchange(m_thrown, nullptr));
}

}  // namespace pelisto
