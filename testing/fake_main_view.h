// Fakes for the main window logic: a view that keeps the state of its controls in maps and
// reports the change events a toolkit would, a run starter whose runs end when the test says so,
// and a size listing with set file counts.
#ifndef ZARNOFT_TESTING_FAKE_MAIN_VIEW_H_
#define ZARNOFT_TESTING_FAKE_MAIN_VIEW_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/listing_service.h"
#include "editor/main_view.h"
#include "editor/main_window.h"
#include "jobs/run_starter.h"

namespace zarnoft::testing {

class FakeAnsicht : public HauptAnsicht {
 public:
  // The logic to report change events to (set after both exist).
  Hauptfenster* logik = nullptr;

  // --- Scripts ---
  std::deque<Antwort> antworten;  // answers to message boxes, in order
  // Answers of the file and folder dialogs: a path, or nullopt for Cancel.
  std::deque<std::optional<std::string>> dateien;
  std::deque<std::optional<std::string>> ordner;

  // --- Records ---
  std::vector<Meldungsbox> meldungen;
  std::vector<DateiDialog> datei_dialoge;
  std::vector<OrdnerDialog> ordner_dialoge;
  std::map<Steuerelement, std::string> texte;
  std::map<Steuerelement, bool> sichtbar;
  std::map<Steuerelement, bool> aktiv;
  std::map<Steuerelement, bool> haken;
  std::map<Steuerelement, std::vector<std::string>> eintraege;
  std::map<Steuerelement, int> positionen;
  Tabelle tabelle;
  int gewaehlt = 0;
  std::string panel[3];
  std::string titel;
  HauptLayout layout;
  int nachrichten = 0;
  // The caption, the status panels, the grid and the message processing, in the order they came
  // ("Titel <text>", "Panel<n> <text>", "Tabelle", "Nachrichten").
  std::vector<std::string> anzeigen;
  int schliessen = 0;
  int einstellungen = 0;
  int info = 0;
  // The exclusions dialog: each call recorded (source, switch, the list it was given); the
  // answer is the next scripted list, or nullopt (and none scripted) for Cancel.
  struct AusnahmenAufruf {
    std::string herkunft;
    bool unterverzeichnisse = false;
    std::vector<std::string> muster;
  };
  std::vector<AusnahmenAufruf> ausnahmen_aufrufe;
  std::deque<std::optional<std::vector<std::string>>> ausnahmen_antworten;
  // The probe windows shown, in order, with their button.
  struct Probe {
    ProbeListe liste;
    Probefenster::Jetzt jetzt;
  };
  std::vector<Probe> proben;

  Antwort Meldung(const Meldungsbox& box) override {
    meldungen.push_back(box);
    if (!antworten.empty()) {
      Antwort a = antworten.front();
      antworten.pop_front();
      return a;
    }
    if (box.knoepfe == Knoepfe::kOk) return Antwort::kOk;
    ADD_FAILURE() << "unexpected question: " << box.text;
    return Antwort::kAbbrechen;
  }
  bool DateiOeffnenDialog(const DateiDialog& d, std::string* pfad) override {
    return Dialog(d, pfad);
  }
  bool DateiSpeichernDialog(const DateiDialog& d, std::string* pfad) override {
    return Dialog(d, pfad);
  }
  bool OrdnerDialogZeigen(const OrdnerDialog& d, std::string* pfad) override {
    ordner_dialoge.push_back(d);
    return Antworten(&ordner, pfad);
  }

  void TextSetzen(Steuerelement e, const std::string& text) override {
    bool anders = texte[e] != text;
    texte[e] = text;
    if (!anders || logik == nullptr) return;
    if (e == Steuerelement::kHerkunft) logik->HerkunftChange();
    if (e == Steuerelement::kZiel) logik->ZielChange();
  }
  std::string Text(Steuerelement e) const override {
    auto it = texte.find(e);
    return it == texte.end() ? "" : it->second;
  }
  void Sichtbar(Steuerelement e, bool s) override { sichtbar[e] = s; }
  void Aktivieren(Steuerelement e, bool a) override { aktiv[e] = a; }
  void Anhaken(Steuerelement e, bool an) override {
    bool anders = haken[e] != an;
    haken[e] = an;
    if (anders && logik != nullptr && e == Steuerelement::kUnterverzeichnisse) {
      logik->UnterverzeichnisseClick();
    }
  }
  bool Angehakt(Steuerelement e) const override {
    auto it = haken.find(e);
    return it != haken.end() && it->second;
  }
  void EintraegeSetzen(Steuerelement e, const std::vector<std::string>& l) override {
    eintraege[e] = l;
    positionen[e] = -1;
  }
  void PositionSetzen(Steuerelement e, int p) override { positionen[e] = p; }
  int Position(Steuerelement e) const override {
    auto it = positionen.find(e);
    return it == positionen.end() ? -1 : it->second;
  }

  void TabelleSetzen(const Tabelle& t) override {
    tabelle = t;
    anzeigen.push_back("Tabelle");
  }
  int GewaehlteZeile() const override { return gewaehlt; }
  void ZeileWaehlen(int z) override { gewaehlt = z; }
  int TextBreite(const std::string& s) const override { return 6 * static_cast<int>(s.size()); }
  Textbedarf bedarf;  // what LayoutBedarf reports
  Textbedarf LayoutBedarf() const override { return bedarf; }

  void Statuspanel(int i, const std::string& t) override {
    panel[i] = t;
    anzeigen.push_back("Panel" + std::to_string(i) + " " + t);
  }
  void Titel(const std::string& t) override {
    titel = t;
    anzeigen.push_back("Titel " + t);
  }
  void LayoutAnwenden(const HauptLayout& l) override { layout = l; }
  void NachrichtenVerarbeiten() override {
    ++nachrichten;
    anzeigen.push_back("Nachrichten");
  }
  void Schliessen() override { ++schliessen; }
  void ProbelaufZeigen(ProbeListe liste, Probefenster::Jetzt jetzt) override {
    proben.push_back({std::move(liste), std::move(jetzt)});
  }
  bool AusnahmenZeigen(const std::string& herkunft, bool uv,
                       std::vector<std::string>* muster) override {
    ausnahmen_aufrufe.push_back({herkunft, uv, *muster});
    if (ausnahmen_antworten.empty()) return false;
    std::optional<std::vector<std::string>> a = ausnahmen_antworten.front();
    ausnahmen_antworten.pop_front();
    if (!a) return false;
    *muster = *a;
    return true;
  }
  void EinstellungenZeigen() override { ++einstellungen; }
  void InfoZeigen() override { ++info; }

  // The user: types into a field, picks a kind, selects a row.
  void Tippen(Steuerelement e, const std::string& t) { TextSetzen(e, t); }
  void ArtWaehlen(int position) {
    positionen[Steuerelement::kArt] = position;
    logik->ArtChange();
  }
  void Waehlen(int zeile) {
    gewaehlt = zeile;
    logik->AnzeigeSelectCell(zeile);
  }
  bool Aktiv(Steuerelement e) const {
    auto it = aktiv.find(e);
    return it != aktiv.end() && it->second;
  }
  // The texts of the last message box, or "" when none was shown.
  std::string LetzteMeldung() const { return meldungen.empty() ? "" : meldungen.back().text; }

 private:
  bool Dialog(const DateiDialog& d, std::string* pfad) {
    datei_dialoge.push_back(d);
    return Antworten(&dateien, pfad);
  }
  static bool Antworten(std::deque<std::optional<std::string>>* q, std::string* pfad) {
    if (q->empty()) {
      ADD_FAILURE() << "unexpected dialog";
      return false;
    }
    std::optional<std::string> a = q->front();
    q->pop_front();
    if (!a) return false;
    *pfad = *a;
    return true;
  }
};

// Runs that end when the test calls Beenden; their handles belong to no thread.
class FakeLaeufe : public LaufStarter {
 public:
  struct Lauf {
    LaufHandle griff;
    VergleichsWerte werte;
    Ende ende;
    std::shared_ptr<LaufBericht> bericht;  // what the window collects of the run
    bool stop = false;
    bool beendet = false;
  };
  std::vector<Lauf> laeufe;
  bool geschlossen = false;
  bool kein_thread = false;  // Starten fails: no thread could be started

  LaufHandle Starten(const VergleichsWerte& werte, Ende ende,
                     std::shared_ptr<LaufBericht> bericht) override {
    if (kein_thread) return LaufHandle{};
    LaufHandle griff = LaufHandle::Neu();
    laeufe.push_back({griff, werte, std::move(ende), std::move(bericht)});
    return griff;
  }
  // The undos started (RueckgaengigStarten), in order; they end with RueckgaengigBeenden.
  struct Rueckgaengig {
    LaufHandle griff;
    RueckgaengigWerte werte;
    RueckgaengigEnde ende;
    std::shared_ptr<LaufBericht> bericht;
    bool beendet = false;
  };
  std::vector<Rueckgaengig> rueckgaengig;

  LaufHandle RueckgaengigStarten(const RueckgaengigWerte& werte, RueckgaengigEnde ende,
                                 std::shared_ptr<LaufBericht> bericht) override {
    if (kein_thread) return LaufHandle{};
    LaufHandle griff = LaufHandle::Neu();
    rueckgaengig.push_back({griff, werte, std::move(ende), std::move(bericht)});
    return griff;
  }
  // The end notification of undo i (in start order) with the result `e`.
  void RueckgaengigBeenden(size_t i, const RueckgaengigErgebnis& e) {
    ASSERT_LT(i, rueckgaengig.size());
    ASSERT_FALSE(rueckgaengig[i].beendet);
    rueckgaengig[i].beendet = true;
    rueckgaengig[i].ende(rueckgaengig[i].griff, e);
  }
  void StopAnfordern(LaufHandle lauf) override {
    for (Lauf& l : laeufe) {
      if (l.griff == lauf) l.stop = true;
    }
  }
  void Schliessen() override {
    geschlossen = true;
    for (Lauf& l : laeufe) l.stop = true;
  }
  // The end notification of run i (in start order).
  void Beenden(size_t i, bool abgebrochen = false, int fehler = 0) {
    ASSERT_LT(i, laeufe.size());
    ASSERT_FALSE(laeufe[i].beendet);
    laeufe[i].beendet = true;
    LaufErgebnis e;
    e.abgebrochen = abgebrochen;
    e.fehler = fehler;
    e.probelauf = laeufe[i].werte.Probelauf;
    laeufe[i].ende(laeufe[i].griff, e);
  }
};

class FakeListing : public GroessenListing {
 public:
  int64_t dateien[3] = {0, 0, 0};   // by side (1 source, 2 target)
  std::vector<std::string> starts;  // "1 <path> <uv>", then " <n> Muster" when there are any

  void ListingStarten(ListingSeite s, const std::string& pfad, bool uv,
                      const std::vector<std::string>& ausnahmen) override {
    starts.push_back(std::to_string(static_cast<int>(s)) + " " + pfad + " " + (uv ? "1" : "0") +
                     (ausnahmen.empty() ? "" : " " + std::to_string(ausnahmen.size()) + " Muster"));
  }
  int64_t Dateien(ListingSeite s) const override { return dateien[static_cast<int>(s)]; }
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_FAKE_MAIN_VIEW_H_
