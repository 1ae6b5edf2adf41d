#include "window/display_state.h"

#include <algorithm>

namespace zarnoft {
namespace {

// The per-file gauge runs from 0 to this.
constexpr int kDateiGaugeMaximum = 100;

}  // namespace

// Each change bumps the version under the lock, so that Lesen never returns a version newer than
// the state it copied.
void StandAblage::ArtSetzen(const std::string& text) {
  std::lock_guard<std::mutex> l(mu_);
  stand_.art = text;
  version_.fetch_add(1, std::memory_order_release);
}

void StandAblage::VerzeichnisZeigen(const std::string& relativer_pfad) {
  std::lock_guard<std::mutex> l(mu_);
  stand_.verzeichnis = relativer_pfad;
  version_.fetch_add(1, std::memory_order_release);
}

void StandAblage::DateiZaehlen(int32_t gezaehlt, int prozent) {
  std::lock_guard<std::mutex> l(mu_);
  stand_.gezaehlt = gezaehlt;
  stand_.verzeichnisse_prozent = prozent;
  version_.fetch_add(1, std::memory_order_release);
}

void StandAblage::NeueDatei(const NeueDateiAnzeige& anzeige) {
  std::lock_guard<std::mutex> l(mu_);
  stand_.datei_prozent = 0;
  stand_.akt_datei = anzeige.akt_datei;
  stand_.anzahl_text = anzeige.anzahl_text;
  stand_.kb_text = anzeige.kb_text;
  version_.fetch_add(1, std::memory_order_release);
}

void StandAblage::SchrittFertig() {
  std::lock_guard<std::mutex> l(mu_);
  stand_.datei_prozent = std::min(stand_.datei_prozent + 1, kDateiGaugeMaximum);
  version_.fetch_add(1, std::memory_order_release);
}

void StandAblage::DateiFertig(const std::string& anzahl_text) {
  std::lock_guard<std::mutex> l(mu_);
  stand_.datei_prozent = kDateiGaugeMaximum;
  stand_.anzahl_text = anzahl_text;
  version_.fetch_add(1, std::memory_order_release);
}

uint64_t StandAblage::Lesen(Fortschrittsstand* stand) const {
  std::lock_guard<std::mutex> l(mu_);
  *stand = stand_;
  return version_.load(std::memory_order_relaxed);
}

}  // namespace zarnoft
