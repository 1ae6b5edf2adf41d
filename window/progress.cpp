#include "window/progress.h"

#include <mutex>
#include <vector>

namespace zarnoft {

Fortschritt::Fortschritt(GuiCaller* gui, FortschrittFenster* fenster,
                         const std::atomic<bool>* abbrechen)
    : gui_(gui),
      fenster_(fenster),
      stand_(&fenster->Stand()),
      mitschrift_(fenster->Mitschrift()),
      abbrechen_(abbrechen) {}

bool Fortschritt::Abbruch() const {
  return fenster_->Abbruch() || gui_weg_ ||
         (abbrechen_ != nullptr && abbrechen_->load(std::memory_order_relaxed));
}

void Fortschritt::Aufrufen(const std::function<void()>& f) {
  if (!gui_->Call(f)) gui_weg_ = true;
}

void Fortschritt::FortschrittOeffnen(const std::string& herkunft, const std::string& ziel, bool uv,
                                     int32_t zaehler) {
  Aufrufen([&] {
    fenster_->AbbruchZuruecksetzen();
    fenster_->FortschrittOeffnen(herkunft, ziel, uv, zaehler);
  });
}

void Fortschritt::FortschrittSchliessen() {
  Aufrufen([&] {
    fenster_->Auffrischen();
    fenster_->FortschrittSchliessen();
  });
}

void Fortschritt::Fehlermeldung(const std::string& text) {
  gui_->Anfrage([&](AntwortRueckruf geschlossen) { fenster_->Fehlermeldung(text, geschlossen); });
  if (gui_->Eingestellt()) gui_weg_ = true;
}

int Fortschritt::FrageStellen(const Frage& frage) {
  // After a cancel nothing that the answer could lead to would be carried out.
  if (Abbruch()) return kKeineAntwort;
  int antwort = gui_->Anfrage([&](AntwortRueckruf a) { fenster_->FrageStellen(frage, a); },
                              [this] { return Abbruch(); });
  if (gui_->Eingestellt()) gui_weg_ = true;
  return antwort;
}

void Fortschritt::ArtSetzen(const std::string& text) {
  stand_->ArtSetzen(text);
  if (mitschrift_ != nullptr) mitschrift_->ArtSetzen(text);
}

void Fortschritt::VerzeichnisZeigen(const std::string& relativer_pfad) {
  stand_->VerzeichnisZeigen(relativer_pfad);
  if (mitschrift_ != nullptr) mitschrift_->VerzeichnisZeigen(relativer_pfad);
}

void Fortschritt::DateiZaehlen(int32_t gezaehlt, int prozent) {
  stand_->DateiZaehlen(gezaehlt, prozent);
  if (mitschrift_ != nullptr) mitschrift_->DateiZaehlen(gezaehlt, prozent);
}

void Fortschritt::NeueDatei(const NeueDateiAnzeige& anzeige) {
  stand_->NeueDatei(anzeige);
  if (mitschrift_ != nullptr) mitschrift_->NeueDatei(anzeige);
}

void Fortschritt::SchrittFertig() {
  stand_->SchrittFertig();
  if (mitschrift_ != nullptr) mitschrift_->SchrittFertig();
}

void Fortschritt::DateiFertig(const std::string& anzahl_text) {
  stand_->DateiFertig(anzahl_text);
  if (mitschrift_ != nullptr) mitschrift_->DateiFertig(anzahl_text);
}

void FensterZuruecklassen(std::unique_ptr<FortschrittFenster> fenster) {
  static std::mutex mu;
  // Never destroyed: what is left here lives until the process ends.
  static auto* zurueckgelassen = new std::vector<std::unique_ptr<FortschrittFenster>>;
  std::lock_guard<std::mutex> l(mu);
  zurueckgelassen->push_back(std::move(fenster));
}

}  // namespace zarnoft
