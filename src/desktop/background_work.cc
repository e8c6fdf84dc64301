#include "desktop/background_work.h"

namespace jk {

BackgroundWork::~BackgroundWork() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  wanted_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void BackgroundWork::Run(std::function<void()> work, std::function<void()> done) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.emplace_back(std::move(work), std::move(done));
    if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
  }
  wanted_.notify_one();
}

void BackgroundWork::RunFinished() {
  std::deque<std::function<void()>> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished.swap(finished_);
  }
  for (auto& done : finished) done();
}

void BackgroundWork::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wanted_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_) return;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    job.first();
    lock.lock();
    if (stopping_) return;
    finished_.push_back(std::move(job.second));
    lock.unlock();
    wake_();
    lock.lock();
  }
}

}  // namespace jk
