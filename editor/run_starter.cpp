#include "editor/run_starter.h"

#include <utility>
#include <vector>

namespace zarnoft {

LaufGriff VergleicheStarter::Starten(const VergleichsWerte& werte, Ende ende) {
  // Starten runs on the GUI thread, and the run's end notification needs the GUI thread too,
  // so the handle is in place before the notification can arrive.
  Vergleiche* lauf =
      Vergleiche::Starten(werte, dienste_, [this, ende = std::move(ende)](Vergleiche& v) {
        laufend_.erase(&v);
        ende(&v, LaufEnde{v.Abgebrochen(), 0});
      });
  laufend_.insert(lauf);
  return lauf;
}

void VergleicheStarter::StopAnfordern(LaufGriff lauf) {
  if (laufend_.count(lauf) != 0) lauf->StopAnfordern();
}

void VergleicheStarter::Schliessen() {
  for (Vergleiche* lauf : laufend_) lauf->StopAnfordern();
}

}  // namespace zarnoft
