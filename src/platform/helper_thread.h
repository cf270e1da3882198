// A thread of its own for one fixed piece of work that its owner hands
// over again and again: each start() queues one run of it and returns at
// once; the runs happen in order, one at a time, so the owner can stay
// several runs ahead. What a run throws is thrown again by the owner's
// next wait(), and the runs queued after it are dropped. Where the system
// gives no thread, start() does the run itself before it returns, so the
// owner sees the same results, only later.
#pragma once

#include <condition_variable>
#include <cstddef>
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
  // Drops the queued runs, waits for the one running (dropping what it
  // threw), then ends the thread.
  ~HelperThread();

  // Queues one run of the work.
  void start();
  // Returns once at most `pending` runs are queued or running, with the
  // number that are; throws what a run threw.
  size_t wait(size_t pending = 0);

 private:
  void loop();

  std::function<void()> m_work;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  size_t m_pending = 0;  // runs queued or running
  bool m_quit = false;
  std::exception_ptr m_thrown;
  std::thread m_thread;
};

}  // namespace pelisto
