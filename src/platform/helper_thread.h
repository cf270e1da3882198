// A thread of its own for one fixed piece of work that its owner hands
// over again and again: start() lets it run once and returns at once;
// wait() returns when that run has ended. What the work throws is thrown
// again by wait(), on the owner's thread. Where the system gives no
// thread, start() does the work itself before it returns, so the owner
// sees the same results, only later.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace pelisto {

class HelperThread {
 public:
  explicit HelperThread(std::function<void()> work);
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;
  // Waits for a run in progress (dropping what it threw), then ends the thread.
  ~HelperThread();

  // Runs the work once; the run before must have been waited for.
  void start();
  // Returns once the run started last has ended (at once when none is
  // running); throws what it threw.
  void wait();

 private:
  void loop();
  void runWork();

  std::function<void()> m_work;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_running = false;  // started, not yet ended
  bool m_quit = false;
  std::exception_ptr m_thrown;
  std::thread m_thread;
};

}  // namespace pelisto
