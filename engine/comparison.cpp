#include "engine/comparison.h"

#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "copy/copier.h"
#include "engine/run_context.h"
#include "engine/run_hooks.h"
#include "engine/walk.h"
#include "platform/path_helpers.h"
#include "window/progress.h"

namespace zarnoft {
namespace {

// The kind label of the progress window; empty where the window keeps its design text.
std::string ArtText(const LaufKontext& k) {
  switch (k.Art) {
    case VorgangsArt::kSynchronisieren:
      return "Abgleich, kopieren neuerer Dateien";
    case VorgangsArt::kKopieren:
      switch (k.Pruefung()) {
        case KopierPruefung::kNurHerkunft:
          return "Herkunft auf Ziel (neuere Herkunft)";
        case KopierPruefung::kNurZiel:
          return "Herkunft auf Ziel (neueres Ziel)";
        case KopierPruefung::kBeide:
          return "Herkunft auf Ziel (Herkunft oder Ziel neuer)";
      }
      return "";
    case VorgangsArt::kArchivieren:
      switch (k.Umfang()) {
        case ArchivUmfang::kInkrementell:
          return "Archivieren inkrementell";
        case ArchivUmfang::kGesamt:
          return "Archivieren gesamt";
      }
      return "";
    default:
      return "";
  }
}

// A path with every link resolved, also when its last levels do not exist yet (a target that a
// copy job will fill): the existing part is resolved, the rest appended.
std::string Aufgeloest(FileSystem* fs, const std::string& path) {
  std::string real;
  if (fs->RealPath(path.empty() ? "/" : path, &real)) return real;
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || path.empty()) return path;
  std::string parent = Aufgeloest(fs, path.substr(0, slash));
  if (parent.empty() || parent.back() != '/') parent += '/';
  return parent + path.substr(slash + 1);
}

// Whether one directory is the other or lies inside it. A run over such a pair would copy its
// own copies again, or delete in one side what it just wrote into the other.
bool Ueberschneiden(FileSystem* fs, const std::string& herkunft, const std::string& ziel) {
  std::string h = Aufgeloest(fs, herkunft);
  std::string z = Aufgeloest(fs, ziel);
  if (h.empty() || h.back() != '/') h += '/';
  if (z.empty() || z.back() != '/') z += '/';
  return h.rfind(z, 0) == 0 || z.rfind(h, 0) == 0;
}


// The run's values as the walk takes them.
void KontextFuellen(const VergleichsWerte& w, LaufKontext* k) {
  k->Herkunft = StripTrailingSlash(w.Herkunft);
  k->Ziel = StripTrailingSlash(w.Ziel);
  k->LoeschenWohin = w.LoeschenWohin;
  if (k->LoeschenWohin.empty() || k->LoeschenWohin.back() != '/') k->LoeschenWohin += '/';
  k->Art = w.Art;
  k->Doppelt = w.Doppelt & kDoppeltUntermodus;
  k->Loeschen = w.Loeschen;
  k->Vergleichsdatum = VergleichsdatumFromDayCount(w.Aufruf);
  k->Zaehler = w.Zaehler;
  k->ZaehlArt = w.ZaehlArt;
  k->Unterverzeichnisse = w.Unterverzeichnisse;
  k->VerzeichnisMeldung = (w.Doppelt & kDoppeltOhneVerzeichnisMeldung) == 0;
  k->KopierMeldung = (w.Doppelt & kDoppeltOhneKopierMeldung) == 0;
}

// Why the run cannot start, or "" when it can. Also sets the window's kind label.
std::string StartPruefen(LaufKontext& k) {
  FileSystem* fs = k.fs;
  // A file of that name counts as present; the walk then finds it cannot be entered.
  auto fehlt = [&](const std::string& pfad) {
    FileInfo info;
    return !fs->Stat(pfad.empty() ? "/" : pfad, &info);
  };
  std::string fehler;
  if (k.Art == VorgangsArt::kSynchronisieren && fehlt(k.Ziel)) {
    fehler = k.Ziel + " Verzeichnis nicht gefunden";
  }
  if (Bekannt(k.Art) && fehlt(k.Herkunft)) {
    fehler = k.Herkunft + " Verzeichnis nicht gefunden";
  }
  const std::string art_text = ArtText(k);
  if (!art_text.empty()) k.fenster->ArtSetzen(art_text);
  if (fehler.empty() && !Bekannt(k.Art)) {
    // A job read from a damaged collection file: the walk would decide nothing and only create
    // empty directories in the target.
    fehler = "Vorgangsart " + std::to_string(Zahl(k.Art)) + " unbekannt";
  }
  if (fehler.empty() && Ueberschneiden(fs, k.Herkunft, k.Ziel)) {
    fehler = "Herkunft und Ziel überschneiden sich: " + k.Herkunft + " / " + k.Ziel;
  }
  return fehler;
}

// The walk from the roots, with the run's copy hand-over.
void Durchlaufen(LaufKontext& k) {
  Kopierer kopierer(k.fs, k.log, k.fenster, k.KopierMeldung);
  k.kopierer = &kopierer;
  if (k.Art == VorgangsArt::kSynchronisieren && k.Vergleichsdatum > 0 && !LeereSeiteErlaubt(k)) {
    k.fenster->AbbruchSetzen();
  } else {
    Verzeichnisvergleich walk(k);
    walk.VerzeichnisVergleichen("");
  }
  k.kopierer = nullptr;
}

}  // namespace

Vergleiche::Vergleiche(const VergleichsWerte& werte, const LaufDienste& dienste,
                       EndeMeldung beendet, LaufHandle handle)
    : werte_(werte), dienste_(dienste), beendet_(std::move(beendet)), handle_(std::move(handle)) {
  static KeinProtokoll kein_protokoll;
  static DirectCaller direkt;
  if (dienste_.fs == nullptr) dienste_.fs = FileSystem::Default();
  if (dienste_.uhr == nullptr) dienste_.uhr = Clock::System();
  if (dienste_.log == nullptr) dienste_.log = &kein_protokoll;
  if (dienste_.gui == nullptr) dienste_.gui = &direkt;
}

LaufHandle Vergleiche::Starten(const VergleichsWerte& werte, const LaufDienste& dienste,
                               EndeMeldung beendet) {
  LaufHandle handle = LaufHandle::Neu();
  auto lauf =
      std::unique_ptr<Vergleiche>(new Vergleiche(werte, dienste, std::move(beendet), handle));
  Vergleiche* roh = lauf.get();
  try {
    std::thread([roh, handle] {
      roh->Lauf();
      delete roh;
      handle.Beenden();
    }).detach();
  } catch (const std::system_error& e) {
    Protokoll* log = roh->dienste_.log;
    if (log->Will(LogStufe::kWarnung))
      log->Zeile(LogStufe::kWarnung, std::string("Vergl: Vergleich nicht gestartet: ") + e.what());
    return LaufHandle();
  }
  lauf.release();  // the thread frees it
  return handle;
}

void Vergleiche::Lauf() {
  GuiCaller* gui = dienste_.gui;
  Protokoll* log = dienste_.log;

  LaufKontext k;
  KontextFuellen(werte_, &k);
  k.fs = dienste_.fs;
  k.uhr = dienste_.uhr;
  k.log = log;
  k.stop = handle_.StopFlagge();

  std::unique_ptr<FortschrittFenster> fenster;
  gui->Call([&] {
    if (dienste_.fenster) fenster = dienste_.fenster();
  });
  if (!fenster) fenster = std::make_unique<StillesFenster>();
  Fortschritt fortschritt(gui, fenster.get(), handle_.AbbruchFlagge());
  k.fenster = &fortschritt;

  fortschritt.FortschrittOeffnen(k.Herkunft, k.Ziel, k.Unterverzeichnisse, k.Zaehler);
  if (log->Will(LogStufe::kDateizugriff)) {
    log->Zeile(LogStufe::kDateizugriff, "Vergl: Startet Rekursion:");
    log->Zeile(LogStufe::kDateizugriff, "Vergl: Herkunft: " + k.Herkunft);
    log->Zeile(LogStufe::kDateizugriff, "Vergl: Ziel:     " + k.Ziel);
  }

  const std::string fehler = StartPruefen(k);
  if (!fehler.empty()) {
    fortschritt.AbbruchSetzen();
    if (log->Will(LogStufe::kWarnung)) log->Zeile(LogStufe::kWarnung, "Vergl: " + fehler);
    if (k.VerzeichnisMeldung)
      fortschritt.Fehlermeldung("Kann Vorgang nicht durchführen,\r" + fehler);
  } else {
    Durchlaufen(k);
  }

  fortschritt.FortschrittSchliessen();
  LaufErgebnis ergebnis;
  ergebnis.abgebrochen = fortschritt.Abbruch();
  ergebnis.fehler = k.Fehler;
  if (!gui->Call([&] { fenster.reset(); })) FensterZuruecklassen(std::move(fenster));
  if (log->Will(LogStufe::kDebugAusfuehrlich))
    log->Zeile(LogStufe::kDebugAusfuehrlich, "Vergl: Beendet");
  handle_.ErgebnisSetzen(ergebnis);
  if (beendet_) gui->Call([&] { beendet_(handle_, ergebnis); });
}

}  // namespace zarnoft
