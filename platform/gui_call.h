// The synchronous call onto the GUI thread. A worker thread hands a function to the GUI thread
// and waits until it has run there; windows are only ever touched that way.
#ifndef ZARNOFT_PLATFORM_GUI_CALL_H_
#define ZARNOFT_PLATFORM_GUI_CALL_H_

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zarnoft {

class GuiCaller {
 public:
  virtual ~GuiCaller() = default;
  // Runs f on the GUI thread and returns after it has returned. Called from any thread; a call
  // from the GUI thread itself runs f at once.
  virtual void Call(const std::function<void()>& f) = 0;
};

// Runs every call on the calling thread. For benchmarks and single-threaded tests.
class DirectCaller : public GuiCaller {
 public:
  void Call(const std::function<void()>& f) override { f(); }
};

// A queue that one thread (the "GUI thread" of tests and of the headless runner) serves.
// The serving thread is the one that constructed the queue.
class QueueCaller : public GuiCaller {
 public:
  QueueCaller() : owner_(std::this_thread::get_id()) {}

  void Call(const std::function<void()>& f) override;

  // Runs queued calls until done() is true (checked after every call and at every wake-up) or
  // the timeout has passed. Returns done(). Only the owning thread may serve.
  bool ServeUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::minutes(5));

 private:
  struct Item {
    const std::function<void()>* f;
    bool finished = false;
  };
  std::thread::id owner_;
  std::mutex mu_;
  std::condition_variable cv_;  // signals new items to the server and finished items to callers
  std::deque<Item*> queue_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_GUI_CALL_H_
