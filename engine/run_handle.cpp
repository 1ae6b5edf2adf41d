#include "engine/run_handle.h"

#include <condition_variable>
#include <mutex>

namespace zarnoft {

struct LaufHandle::Zustand {
  std::atomic<bool> stop{false};
  std::atomic<bool> abbrechen{false};
  std::mutex mu;
  std::condition_variable cv;
  bool beendet = false;
  LaufErgebnis ergebnis;
};

LaufHandle LaufHandle::Neu() {
  return LaufHandle(std::make_shared<Zustand>());
}

void LaufHandle::StopAnfordern() const {
  if (z_) z_->stop.store(true);
}

void LaufHandle::Abbrechen() const {
  if (z_) z_->abbrechen.store(true);
}

bool LaufHandle::Beendet() const {
  if (!z_) return true;
  std::lock_guard<std::mutex> l(z_->mu);
  return z_->beendet;
}

void LaufHandle::Warten() const {
  if (!z_) return;
  std::unique_lock<std::mutex> l(z_->mu);
  z_->cv.wait(l, [&] { return z_->beendet; });
}

bool LaufHandle::WartenHoechstens(std::chrono::milliseconds dauer) const {
  if (!z_) return true;
  std::unique_lock<std::mutex> l(z_->mu);
  return z_->cv.wait_for(l, dauer, [&] { return z_->beendet; });
}

LaufErgebnis LaufHandle::Ergebnis() const {
  if (!z_) return LaufErgebnis{};
  std::lock_guard<std::mutex> l(z_->mu);
  return z_->ergebnis;
}

const std::atomic<bool>* LaufHandle::StopFlagge() const {
  return z_ ? &z_->stop : nullptr;
}

const std::atomic<bool>* LaufHandle::AbbruchFlagge() const {
  return z_ ? &z_->abbrechen : nullptr;
}

void LaufHandle::ErgebnisSetzen(const LaufErgebnis& ergebnis) const {
  if (!z_) return;
  std::lock_guard<std::mutex> l(z_->mu);
  z_->ergebnis = ergebnis;
}

void LaufHandle::Beenden() const {
  if (!z_) return;
  std::lock_guard<std::mutex> l(z_->mu);
  z_->beendet = true;
  z_->cv.notify_all();
}

}  // namespace zarnoft
