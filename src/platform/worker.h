// Long jobs beside the user-interface thread, so that the window keeps
// answering while they run. A job is a step that does a bounded piece of
// work, called again and again until it reports that it is done. Several
// jobs may run at once (the graph cache and the survey of a file, say);
// each is known by the id its start returned.
#pragma once

#include <cstdint>
#include <functional>

namespace pelisto {

using JobStep = std::function<bool()>;
using JobCall = std::function<void()>;
using JobId = uint64_t;  // never 0 for a job started
inline constexpr JobId kNoJob = 0;

class Worker {
 public:
  Worker() = default;
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  virtual ~Worker() = default;

  // Starts a job beside those running and returns its id. step runs off
  // the user-interface thread until it returns false; tick runs on the
  // user-interface thread about ten times a second while steps remain;
  // finished runs once on the user-interface thread after the last step.
  // A worker may run the whole job, finished included, inside start.
  virtual JobId start(JobStep step, JobCall tick, JobCall finished) = 0;
  // Ends one job: returns only once its step no longer runs; its finished
  // is then never called and its functions are released. Harmless for a
  // job that no longer runs (kNoJob included).
  virtual void cancelJob(JobId job) = 0;
  // Ends every job, as cancelJob does.
  virtual void cancel() = 0;
  // True from start until the job's finished is called or it is cancelled.
  virtual bool runs(JobId job) const = 0;
  // True while any job runs.
  virtual bool busy() const = 0;
};

}  // namespace pelisto
