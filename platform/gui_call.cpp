#include "platform/gui_call.h"

#include <algorithm>

namespace zarnoft {
namespace {

// How often a waiting request looks at its give-up condition (the run's cancel flag).
constexpr std::chrono::milliseconds kAufgebenPruefen(20);
// How often ServeUntil looks at its condition when no call comes.
constexpr std::chrono::milliseconds kBedingungPruefen(20);

}  // namespace

// One request waiting for its answer. Shared by the waiting worker, the AntwortRueckruf that the
// window holds and the caller's list of open requests, so that each may outlive the others.
struct GuiCaller::Offen {
  std::mutex mu;
  std::condition_variable cv;
  bool fertig = false;
  int antwort = kKeineAntwort;

  void Setzen(int a) {
    std::lock_guard<std::mutex> l(mu);
    if (fertig) return;
    fertig = true;
    antwort = a;
    cv.notify_all();
  }
  bool Fertig() {
    std::lock_guard<std::mutex> l(mu);
    return fertig;
  }
};

GuiCaller::~GuiCaller() = default;

int GuiCaller::Anfrage(const std::function<void(AntwortRueckruf)>& stellen,
                       const std::function<bool()>& aufgeben) {
  auto o = std::make_shared<Offen>();
  {
    std::lock_guard<std::mutex> l(mu_);
    if (schliesst_) return kKeineAntwort;
    offen_.push_back(o);
  }
  AntwortRueckruf antwort = [o](int a) { o->Setzen(a); };
  // A request answered meanwhile (closing began) is not shown any more.
  if (!Call([&] {
        if (!o->Fertig()) stellen(antwort);
      }))
    o->Setzen(kKeineAntwort);
  // On the GUI thread nobody could answer while we wait: only an answer given at once counts.
  if (ImGuiThread()) o->Setzen(kKeineAntwort);

  int ergebnis;
  {
    std::unique_lock<std::mutex> l(o->mu);
    while (!o->fertig) {
      if (aufgeben) {
        l.unlock();
        const bool genug = aufgeben();
        l.lock();
        if (genug && !o->fertig) {
          o->fertig = true;
          o->antwort = kKeineAntwort;
          break;
        }
      }
      o->cv.wait_for(l, kAufgebenPruefen);
    }
    ergebnis = o->antwort;
  }
  std::lock_guard<std::mutex> l(mu_);
  offen_.erase(std::remove(offen_.begin(), offen_.end(), o), offen_.end());
  return ergebnis;
}

void GuiCaller::AlleBeantworten() {
  std::vector<std::shared_ptr<Offen>> offen;
  {
    std::lock_guard<std::mutex> l(mu_);
    offen = offen_;
  }
  for (auto& o : offen) o->Setzen(kKeineAntwort);
}

void GuiCaller::SchliessenBeginnen() {
  {
    std::lock_guard<std::mutex> l(mu_);
    schliesst_ = true;
  }
  AlleBeantworten();
}

bool GuiCaller::Schliesst() const {
  std::lock_guard<std::mutex> l(mu_);
  return schliesst_;
}

void GuiCaller::Einstellen() {
  {
    std::lock_guard<std::mutex> l(mu_);
    schliesst_ = true;
    eingestellt_ = true;
  }
  AlleBeantworten();
  EingestelltMelden();
}

bool GuiCaller::Eingestellt() const {
  std::lock_guard<std::mutex> l(mu_);
  return eingestellt_;
}

bool DirectCaller::Call(const std::function<void()>& f) {
  if (Eingestellt()) return false;
  f();
  return true;
}

bool QueueCaller::Call(const std::function<void()>& f) {
  if (ImGuiThread()) {
    f();
    return true;
  }
  Item item{&f};
  {
    std::lock_guard<std::mutex> l(qmu_);
    if (released_) return false;
    queue_.push_back(&item);
  }
  Wecken();
  std::unique_lock<std::mutex> l(qmu_);
  cv_.wait(l, [&] { return item.finished; });
  return item.ran;
}

void QueueCaller::Wecken() {
  cv_.notify_all();
}

void QueueCaller::EingestelltMelden() {
  std::lock_guard<std::mutex> l(qmu_);
  released_ = true;
  for (Item* item : queue_) item->finished = true;  // ran stays false
  queue_.clear();
  cv_.notify_all();
}

int QueueCaller::Abarbeiten() {
  int n = 0;
  std::unique_lock<std::mutex> l(qmu_);
  while (!queue_.empty()) {
    Item* item = queue_.front();
    queue_.pop_front();
    l.unlock();
    (*item->f)();
    l.lock();
    item->ran = true;
    item->finished = true;
    cv_.notify_all();
    ++n;
  }
  return n;
}

bool QueueCaller::ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    Abarbeiten();
    // done() may turn true without a call (a flag set by another thread), so it is looked at
    // again at short intervals rather than only after the next call.
    if (done()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::unique_lock<std::mutex> l(qmu_);
    if (queue_.empty()) cv_.wait_until(l, std::min(deadline, now + kBedingungPruefen));
  }
}

}  // namespace zarnoft
