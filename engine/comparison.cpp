#include "engine/comparison.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "copy/copier.h"
#include "engine/run_context.h"
#include "engine/run_hooks.h"
#include "engine/walk.h"
#include "platform/path_helpers.h"

namespace zarnoft {
namespace {

// The runs of this process that have not yet freed themselves.
std::mutex laeufe_mu;
std::condition_variable laeufe_cv;
int laeufe = 0;

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

}  // namespace

Vergleiche::Vergleiche(const VergleichsWerte& werte, const LaufDienste& dienste,
                       EndeMeldung beendet)
    : werte_(werte), dienste_(dienste), beendet_(std::move(beendet)) {
  static KeinProtokoll kein_protokoll;
  static DirectCaller direkt;
  if (dienste_.fs == nullptr) dienste_.fs = FileSystem::Default();
  if (dienste_.uhr == nullptr) dienste_.uhr = Clock::System();
  if (dienste_.log == nullptr) dienste_.log = &kein_protokoll;
  if (dienste_.gui == nullptr) dienste_.gui = &direkt;
}

Vergleiche::~Vergleiche() = default;

Vergleiche* Vergleiche::Starten(const VergleichsWerte& werte, const LaufDienste& dienste,
                                EndeMeldung beendet) {
  auto* v = new Vergleiche(werte, dienste, std::move(beendet));
  {
    std::lock_guard<std::mutex> l(laeufe_mu);
    ++laeufe;
  }
  std::thread([v] {
    v->Lauf();
    delete v;
    std::lock_guard<std::mutex> l(laeufe_mu);
    --laeufe;
    laeufe_cv.notify_all();
  }).detach();
  return v;
}

void Vergleiche::AufAlleWarten() {
  std::unique_lock<std::mutex> l(laeufe_mu);
  laeufe_cv.wait(l, [] { return laeufe == 0; });
}

void Vergleiche::Lauf() {
  GuiCaller* gui = dienste_.gui;
  Protokoll* log = dienste_.log;
  FileSystem* fs = dienste_.fs;

  LaufKontext k;
  k.Herkunft = StripTrailingSlash(werte_.Herkunft);
  k.Ziel = StripTrailingSlash(werte_.Ziel);
  k.LoeschenWohin = werte_.LoeschenWohin;
  if (k.LoeschenWohin.empty() || k.LoeschenWohin.back() != '/') k.LoeschenWohin += '/';
  k.Art = werte_.Art;
  k.Doppelt = werte_.Doppelt & kDoppeltUntermodus;
  k.Loeschen = werte_.Loeschen;
  k.Vergleichsdatum = VergleichsdatumFromDayCount(werte_.Aufruf);
  k.Zaehler = werte_.Zaehler;
  k.ZaehlArt = werte_.ZaehlArt;
  k.Unterverzeichnisse = werte_.Unterverzeichnisse;
  k.VerzeichnisMeldung = (werte_.Doppelt & kDoppeltOhneVerzeichnisMeldung) == 0;
  k.KopierMeldung = (werte_.Doppelt & kDoppeltOhneKopierMeldung) == 0;
  k.fs = fs;
  k.uhr = dienste_.uhr;
  k.log = log;
  k.stop = &stop_;

  std::unique_ptr<FortschrittFenster> fenster;
  gui->Call([&] {
    if (dienste_.fenster) fenster = dienste_.fenster();
  });
  if (!fenster) fenster = std::make_unique<StillesFenster>();
  RunWindow rw(gui, fenster.get());
  k.fenster = &rw;

  rw.FortschrittOeffnen(k.Herkunft, k.Ziel, k.Unterverzeichnisse, k.Zaehler);
  if (log->Will(LogStufe::kDateizugriff)) {
    log->Zeile(LogStufe::kDateizugriff, "Vergl: Startet Rekursion:");
    log->Zeile(LogStufe::kDateizugriff, "Vergl: Herkunft: " + k.Herkunft);
    log->Zeile(LogStufe::kDateizugriff, "Vergl: Ziel:     " + k.Ziel);
  }

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
  if (!art_text.empty()) rw.ArtSetzen(art_text);
  if (fehler.empty() && !Bekannt(k.Art)) {
    // A job read from a damaged collection file: the walk would decide nothing and only create
    // empty directories in the target.
    fehler = "Vorgangsart " + std::to_string(Zahl(k.Art)) + " unbekannt";
  }
  if (fehler.empty() && Ueberschneiden(fs, k.Herkunft, k.Ziel)) {
    fehler = "Herkunft und Ziel überschneiden sich: " + k.Herkunft + " / " + k.Ziel;
  }

  if (!fehler.empty()) {
    rw.AbbruchSetzen();
    if (log->Will(LogStufe::kWarnung)) log->Zeile(LogStufe::kWarnung, "Vergl: " + fehler);
    if (k.VerzeichnisMeldung) rw.Fehlermeldung("Kann Vorgang nicht durchführen,\r" + fehler);
  } else {
    Kopierer kopierer(fs, log, &rw, k.KopierMeldung);
    k.kopierer = &kopierer;
    if (k.Art == VorgangsArt::kSynchronisieren && k.Vergleichsdatum > 0 && !LeereSeiteErlaubt(k)) {
      rw.AbbruchSetzen();
    } else {
      Verzeichnisvergleich walk(k);
      walk.VerzeichnisVergleichen("");
    }
    k.kopierer = nullptr;
  }

  rw.FortschrittSchliessen();
  abgebrochen_ = rw.Abbruch();
  gui->Call([&] { fenster.reset(); });
  if (log->Will(LogStufe::kDebugAusfuehrlich))
    log->Zeile(LogStufe::kDebugAusfuehrlich, "Vergl: Beendet");
  if (beendet_) gui->Call([&] { beendet_(*this); });
}

}  // namespace zarnoft
