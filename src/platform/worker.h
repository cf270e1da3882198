// One long job beside the user-interface thread, so that the window keeps
// answering while it runs. A job is a step that does a bounded piece of
// work, called again and again until it reports that it is done.
#pragma once

#include <functional>

namespace pelisto {

using JobStep = std::function<bool()>;
using JobCall = std::function<void()>;

class Worker {
 public:
  Worker() = default;
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  virtual ~Worker() = default;

  // Starts a job; none may be running (cancel it first). step runs on the
  // worker's own thread until it returns false; tick runs on the
  // user-interface thread about ten times a second while steps remain;
  // finished runs once on the user-interface thread after the last step.
  // A worker may run the whole job, finished included, inside start.
  virtual void start(JobStep step, JobCall tick, JobCall finished) = 0;
  // Ends the running job: returns only once step no longer runs; finished
  // is then never called and the job's functions are released. Harmless
  // when no job runs.
  virtual void cancel() = 0;
  // True from start until finished is called or cancel returns.
  virtual bool busy() const = 0;
};

}  // namespace pelisto
