#include "platform/gui_call.h"

namespace zarnoft {

void QueueCaller::Call(const std::function<void()>& f) {
  if (std::this_thread::get_id() == owner_) {
    f();
    return;
  }
  Item item{&f};
  std::unique_lock<std::mutex> lock(mu_);
  queue_.push_back(&item);
  cv_.notify_all();
  cv_.wait(lock, [&] { return item.finished; });
}

bool QueueCaller::ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_lock<std::mutex> lock(mu_);
  for (;;) {
    while (!queue_.empty()) {
      Item* item = queue_.front();
      queue_.pop_front();
      lock.unlock();
      (*item->f)();
      lock.lock();
      item->finished = true;
      cv_.notify_all();
    }
    lock.unlock();
    bool d = done();
    lock.lock();
    if (d) return true;
    // done() may turn true without a call (a flag set by another thread), so look again at
    // short intervals rather than waiting for the next call only.
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    if (queue_.empty())
      cv_.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(20)));
  }
}

}  // namespace zarnoft
