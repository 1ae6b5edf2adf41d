#include "engine/comparison.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "copy/copier.h"
#include "engine/empty_guard.h"
#include "engine/kept_runs.h"
#include "engine/overlap.h"
#include "engine/root_identity.h"
#include "engine/run_context.h"
#include "engine/run_record.h"
#include "engine/run_store.h"
#include "engine/walk.h"
#include "platform/fs_kind.h"
#include "platform/path_helpers.h"
#include "platform/reserved_dir.h"
#include "window/progress.h"

namespace zarnoft {
namespace {

// The kind label of the progress window; empty where the window keeps its design text.
std::string ArtText(const LaufKontext& k) {
  switch (k.Art) {
    case VorgangsArt::kSynchronisieren:
      return kArtTexte[0];
    case VorgangsArt::kKopieren:
      switch (k.Pruefung()) {
        case KopierPruefung::kNurHerkunft:
          return kArtTexte[1];
        case KopierPruefung::kNurZiel:
          return kArtTexte[2];
        case KopierPruefung::kBeide:
          return kArtTexte[3];
      }
      return "";
    case VorgangsArt::kArchivieren:
      switch (k.Umfang()) {
        case ArchivUmfang::kInkrementell:
          return kArtTexte[4];
        case ArchivUmfang::kGesamt:
          return kArtTexte[5];
      }
      return "";
    default:
      return "";
  }
}

// The job's last run: the UTC instants where the job has them, else its local date-time.
LetzterLauf LetzterLaufVon(const VergleichsWerte& w) {
  if (w.LaufBeginn.sec > 0 && w.LaufBeginn <= w.LaufEnde)
    return LetzterLauf::AusUtc(w.LaufBeginn, w.LaufEnde);
  return LetzterLauf::AusDos(VergleichsdatumFromDayCount(w.Aufruf));
}

// Before the run is recorded as done, what it wrote must be on the disk: a power cut or a pulled
// drive after "beendet" would otherwise leave empty or partial files that carry their source's
// date, and no later run would copy them again. Each file system written to is flushed once.
void Sichern(LaufKontext& k) {
  auto sichern = [&](bool geschrieben, const std::string& wurzel) {
    if (!geschrieben) return;
    Status s = k.fs->SyncFileSystem(wurzel.empty() ? "/" : wurzel);
    if (!s) k.Fehlschlag("Vergl: Nicht auf den Datenträger geschrieben: " + wurzel, s);
  };
  sichern(k.ziel_geschrieben, k.Ziel);
  sichern(k.herkunft_geschrieben, k.Herkunft);
  sichern(k.lager_geschrieben, k.LoeschenWohin);
}

// The run's values as the walk takes them.
void KontextFuellen(const VergleichsWerte& w, LaufKontext* k) {
  k->Herkunft = StripTrailingSlash(w.Herkunft);
  k->Ziel = StripTrailingSlash(w.Ziel);
  k->LoeschenWohin = WithTrailingSlash(w.LoeschenWohin);
  k->Art = w.Art;
  k->Doppelt = w.Doppelt & kDoppeltUntermodus;
  k->Loeschen = w.Loeschen;
  k->Letzter = LetzterLaufVon(w);
  k->Zaehler = w.Zaehler;
  k->ZaehlArt = w.ZaehlArt;
  k->Unterverzeichnisse = w.Unterverzeichnisse;
  k->VerzeichnisMeldung = (w.Doppelt & kDoppeltOhneVerzeichnisMeldung) == 0;
  k->KopierMeldung = (w.Doppelt & kDoppeltOhneKopierMeldung) == 0;
  k->LoeschGrenze = w.LoeschGrenze;
  k->Probelauf = w.Probelauf;
}

// A pattern that cannot be used is named and left out; the job runs with the rest, as leaving
// out less never loses a file.
void AusnahmenUebersetzen(const VergleichsWerte& w, LaufKontext* k) {
  std::vector<AusnahmeRegeln::Verworfen> verworfen;
  k->ausnahmen = AusnahmeRegeln(w.Ausnahmen, &verworfen);
  for (const AusnahmeRegeln::Verworfen& v : verworfen)
    k->Log(LogStufe::kWarnung, "Vergl: Ausnahme nicht verwendbar: " + v.muster + ": " + v.grund);
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

std::string Anzeige(const std::string& wurzel) {
  return wurzel.empty() ? "/" : wurzel;
}

// The record of a two-way run: the last run's, which the walk reads, and this run's, which it
// writes as it goes and which is put in place only when the run is done.
struct LaufStand {
  StandLeser alt;
  StandSchreiber neu;
  std::string pfad;
  std::string kein_stand;  // the line of a run without a record to go by
};

// Finds both roots' identities and opens the records. Returns why the run cannot go on (a
// marker that is not the program's), or "".
std::string StandVorbereiten(LaufKontext& k, const LaufDienste& d, LaufStand* s) {
  const std::string& verzeichnis = d.stand_verzeichnis;
  if (k.Art != VorgangsArt::kSynchronisieren) return "";
  const std::string ohne = "Kein Stand für " + Anzeige(k.Herkunft) + " ↔ " + Anzeige(k.Ziel) +
                           ": es wird nichts gelöscht";
  auto ohne_stand = [&] {
    s->kein_stand = ohne;
    k.Log(LogStufe::kWarnung, "Vergl: " + ohne);
  };
  if (verzeichnis.empty()) {
    ohne_stand();
    return "";
  }
  // A probe run writes no identity: a root without one has no record yet, and the probe, like
  // the real run, deletes nothing there.
  auto bestimmen = k.Probelauf ? WurzelkennungLesen : WurzelkennungBestimmen;
  Wurzelkennung h;
  Wurzelkennung z;
  std::string fehler;
  if (!bestimmen(k.fs, k.Herkunft, &h, &fehler) || !bestimmen(k.fs, k.Ziel, &z, &fehler))
    return fehler;
  if (h.kennung.empty() || z.kennung.empty()) {
    ohne_stand();
    return "";
  }
  if (h.neu) k.Geschrieben(ReserviertesVerzeichnis(k.Herkunft));
  if (z.neu) k.Geschrieben(ReserviertesVerzeichnis(k.Ziel));
  auto dauerhaft =
      d.dauerhaft ? d.dauerhaft : [](const std::string& p) { return DauerhafteKennungen(p); };
  k.h_dauerhaft = dauerhaft(Anzeige(k.Herkunft));
  k.z_dauerhaft = dauerhaft(Anzeige(k.Ziel));

  const StandPaar paar{h.kennung, z.kennung};
  s->pfad = verzeichnis + StandDateiName(k.Herkunft, k.Ziel, paar);
  std::string grund;
  if (s->alt.Oeffnen(s->pfad, paar, &grund).ok()) {
    k.stand_alt = &s->alt;
  } else {
    if (!grund.empty())
      k.Log(LogStufe::kWarnung, "Vergl: Stand " + s->pfad + " nicht verwendet: " + grund);
    ohne_stand();
  }

  // A probe run writes no record.
  if (k.Probelauf) return "";
  // The directory of the records is the user's only.
  const std::string dir = StripTrailingSlash(verzeichnis);
  FileInfo info;
  if (k.fs->Stat(dir, &info).missing() && k.fs->CreateDirectory(dir).ok()) k.fs->SetMode(dir, 0700);
  Status st = s->neu.Beginnen(s->pfad, paar);
  if (!st) {
    k.Fehlschlag("Vergl: Stand nicht schreibbar: " + s->pfad, st);
  } else {
    k.stand_neu = &s->neu;
  }
  return "";
}

// A reserved directory that is not the user's (a link above all) is never used: the run stops
// before it keeps anything there. Returns why, or "".
std::string ReserviertePruefen(LaufKontext& k) {
  for (const std::string* wurzel : {&k.Herkunft, &k.Ziel}) {
    FileInfo info;
    if (k.fs->Stat(ReserviertesVerzeichnis(*wurzel), &info).missing()) continue;
    std::string fehler;
    ReserviertesVerzeichnisBereiten(k.fs, *wurzel, &fehler);
    if (!fehler.empty()) return fehler;
  }
  return "";
}

// Drops the job's kept runs that the settings no longer keep, and prepares this run's store:
// made only when the run first replaces or removes something. Returns why the run cannot go on,
// or "".
std::string AblageVorbereiten(LaufKontext& k, const VergleichsWerte& w,
                              std::unique_ptr<Laufablage>* ablage) {
  if (k.Probelauf) return "";
  const bool behalten = w.RueckgaengigTage > 0;
  if (behalten) {
    if (std::string fehler = ReserviertePruefen(k); !fehler.empty()) return fehler;
  }
  LaeufeAufraeumen(k.fs, k.log, k.Herkunft, k.Ziel, k.Laufbeginn, w.RueckgaengigTage,
                   w.RueckgaengigAnteil);
  if (!behalten) return "";
  JournalKopf kopf;
  kopf.herkunft = k.Herkunft;
  kopf.ziel = k.Ziel;
  kopf.beginn = k.Laufbeginn;
  kopf.vorher_beginn = w.LaufBeginn;
  kopf.vorher_ende = w.LaufEnde;
  kopf.vorher_aufruf = w.Aufruf;
  *ablage = std::make_unique<Laufablage>(k.fs, k.Herkunft, k.Ziel, k.LoeschenWohin, kopf);
  k.ablage = ablage->get();
  return "";
}

// The walk from the roots, with the run's copy hand-over; returns when the walk ended. What it
// wrote is flushed to the disk before the run counts as done, and only then is its record put
// in place. `fehler` is set when the run could not begin.
FileTime Durchlaufen(LaufKontext& k, const VergleichsWerte& w, const LaufDienste& d,
                     LaufStand* stand, std::string* fehler) {
  Kopierer kopierer(k.fs, k.log, k.fenster, k.KopierMeldung);
  kopierer.BerichtSetzen(k.bericht);
  std::unique_ptr<Laufablage> ablage;
  ProbeKopierer probe(k.fs, k.fenster);
  k.kopierer = k.Probelauf ? static_cast<KopierDienst*>(&probe) : &kopierer;
  if (k.Letzter.InDerZukunft(k.Laufbeginn)) {
    k.Hinweis("Letzter Lauf liegt in der Zukunft (" + DateTimeText(ToLocal(k.Letzter.Ende())) +
              "), der Auftrag gilt als nie gelaufen");
    k.Letzter = LetzterLauf();
  }
  uint64_t wurzel_block = 0;
  if (!LeereSeiteErlaubt(k)) {
    k.fenster->AbbruchSetzen();
  } else if (*fehler = StandVorbereiten(k, d, stand);
             fehler->empty() && (*fehler = AblageVorbereiten(k, w, &ablage)).empty()) {
    kopierer.AufbewahrungSetzen(ablage.get());
    Verzeichnisvergleich walk(k);
    walk.VerzeichnisVergleichen("");
    wurzel_block = walk.WurzelBlock();
    walk.Entfernen();
  }
  // A clock set back during the run must not record an end before the start.
  const FileTime ende = std::max(k.uhr->Now(), k.Laufbeginn);
  // A stopped run left directories unvisited; what it did not see must not count as seen.
  if (k.StopAngefordert()) k.Fehlschlag("Vergl: Angehalten, nicht alle Verzeichnisse verglichen");
  if (!k.Probelauf) Sichern(k);
  // The journal is on the disk before the run can count as done.
  if (ablage) {
    Status s = ablage->Sichern();
    if (!s) k.Fehlschlag("Vergl: Protokoll des Laufs nicht geschrieben: " + Anzeige(k.Ziel), s);
  }
  k.Fehler += kopierer.Fehlschlaege();
  k.kopierer = nullptr;
  // A failed or cancelled run leaves the previous record (its temporary file goes with `neu`).
  if (k.stand_neu != nullptr && k.Fehler == 0 && !k.Abbruch()) {
    Status s = stand->neu.Abschliessen(wurzel_block);
    if (!s) k.Fehlschlag("Vergl: Stand nicht geschrieben: " + stand->pfad, s);
  }
  k.stand_alt = nullptr;
  k.stand_neu = nullptr;
  k.ablage = nullptr;
  return ende;
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
  AusnahmenUebersetzen(werte_, &k);
  k.stop = handle_.StopFlagge();
  k.bericht = dienste_.bericht;
  k.Laufbeginn = k.uhr->Now();

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

  std::string fehler = StartPruefen(k);
  FileTime ende;
  LaufStand stand;
  if (fehler.empty()) ende = Durchlaufen(k, werte_, dienste_, &stand, &fehler);
  if (!fehler.empty()) {
    fortschritt.AbbruchSetzen();
    if (log->Will(LogStufe::kWarnung)) log->Zeile(LogStufe::kWarnung, "Vergl: " + fehler);
    if (k.VerzeichnisMeldung)
      fortschritt.Fehlermeldung("Kann Vorgang nicht durchführen,\r" + fehler);
  }

  fortschritt.FortschrittSchliessen();
  LaufErgebnis ergebnis;
  ergebnis.abgebrochen = fortschritt.Abbruch();
  ergebnis.fehler = k.Fehler;
  ergebnis.hinweise = std::move(k.Hinweise);
  ergebnis.uebersprungen = k.Uebersprungen;
  ergebnis.probelauf = k.Probelauf;
  ergebnis.beginn = k.Laufbeginn;
  ergebnis.ende = ende;
  ergebnis.kein_stand = stand.kein_stand;
  if (!gui->Call([&] { fenster.reset(); })) FensterZuruecklassen(std::move(fenster));
  if (log->Will(LogStufe::kDebugAusfuehrlich))
    log->Zeile(LogStufe::kDebugAusfuehrlich, "Vergl: Beendet");
  handle_.ErgebnisSetzen(ergebnis);
  if (beendet_) gui->Call([&] { beendet_(handle_, ergebnis); });
}

}  // namespace zarnoft
