// Work the desktop windows run off the user-interface thread: one worker
// thread takes the jobs in turn, and each job's follow-up runs back on the
// user-interface thread, when that thread is told to (RunFinished) after
// the job has woken it.
#ifndef JKRESCALE_DESKTOP_BACKGROUND_WORK_H_
#define JKRESCALE_DESKTOP_BACKGROUND_WORK_H_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace jk {

class BackgroundWork {
 public:
  // `wake` is called on the worker thread after each job: it must ask the
  // user-interface thread to call RunFinished (by posting it an event).
  explicit BackgroundWork(std::function<void()> wake) : wake_(std::move(wake)) {}
  // Waits for the job under way, if any; jobs not begun and follow-ups not
  // run are dropped.
  ~BackgroundWork();

  // Queues `work` for the worker thread, and `done` to follow it.
  void Run(std::function<void()> work, std::function<void()> done);
  // Runs the follow-ups of the jobs finished so far, in their order.
  void RunFinished();

 private:
  using Job = std::pair<std::function<void()>, std::function<void()>>;
  void Work();

  std::function<void()> wake_;
  std::mutex mutex_;
  std::condition_variable wanted_;
  std::deque<Job> jobs_;
  std::deque<std::function<void()>> finished_;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_BACKGROUND_WORK_H_
