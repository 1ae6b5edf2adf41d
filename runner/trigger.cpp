#include "runner/trigger.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "jobs/collection_file.h"
#include "log/log_writer.h"
#include "platform/path_helpers.h"
#include "platform/stop_signals.h"
#include "settings/main_settings.h"

namespace zarnoft {
namespace {

// A collection is usable when it can be read, holds the section [Allgemein] with a version, and
// its job count matches its job sections.
// Reading it upgrades an old format in place, as every other reader of collections does.
bool SammlungLesen(const std::string& pfad, FileSystem* fs, Sammlung* s) {
  FileInfo info;
  if (!fs->Stat(pfad, &info) || info.IsDirectory() || !fs->OpenForReading(pfad)) return false;
  SammlungsZustand zustand;
  SammlungsDienste dienste;
  dienste.fs = fs;
  const SammlungGeoeffnet geoeffnet = oeffnen(pfad, s, &zustand, dienste);
  return zustand.SammlungsVersion > 0 && geoeffnet.AnzahlStimmt;
}

// --- the real services ----------------------------------------------------------------------

// Sleeps in short steps on the monotonic clock, so that a signal ends the wait soon.
class EchteWartezeit : public Wartezeit {
 public:
  static constexpr int64_t kNsJeSekunde = 1000 * 1000 * 1000;
  static constexpr int64_t kSchrittNs = 100 * 1000 * 1000;
  static int64_t JetztNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t{t.tv_sec} * kNsJeSekunde + t.tv_nsec;
  }

  bool Warten(int sekunden) override {
    const int64_t ende = JetztNs() + int64_t{sekunden} * kNsJeSekunde;
    while (StoppSignal() == 0) {
      const int64_t rest = ende - JetztNs();
      if (rest <= 0) return true;
      const timespec schritt{0, static_cast<long>(std::min(rest, kSchrittNs))};
      nanosleep(&schritt, nullptr);
    }
    return false;
  }
};

}  // namespace

bool AusloeserLesen(const std::string& wort, Ausloeser* a) {
  if (wort == "start") {
    *a = Ausloeser::kStart;
  } else if (wort == "ende") {
    *a = Ausloeser::kEnde;
  } else {
    return false;
  }
  return true;
}

std::string AutomatikListe(const DateiOrte& orte) {
  return orte.einstellungs_verzeichnis + "automatisch.txt";
}

std::vector<std::string> AutomatikListeLesen(const std::string& liste, const std::string& home,
                                             FileSystem* fs) {
  std::string text;
  std::vector<std::string> pfade;
  if (!fs->ReadWholeFile(liste, &text, 1 << 20)) return pfade;
  const std::string basis = WithTrailingSlash(home);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string zeile = TrimmedWithHome(text.substr(pos, nl - pos), basis);
    pos = nl + 1;
    if (zeile.empty() || zeile[0] == '#') continue;
    pfade.push_back(zeile[0] == '/' ? zeile : JoinPath(basis, zeile));
  }
  return pfade;
}

std::vector<int> AusloeserAuswahl(const Sammlung& sammlung, Ausloeser a) {
  std::vector<int> jobs;
  for (size_t i = 0; i < sammlung.Anzahl(); ++i) {
    const TVergleichThread* job = sammlung.An(i);
    if (a == Ausloeser::kStart ? job->Booten : job->Herunterfahren) {
      jobs.push_back(static_cast<int>(i + 1));
    }
  }
  return jobs;
}

int AusloeserAusfuehren(Ausloeser a, const std::vector<std::string>& sammlungen, bool leer_erlaubt,
                        const DateiOrte& orte, const AusloeserDienste& d) {
  FileSystem* fs = d.fs != nullptr ? d.fs : FileSystem::Default();
  const EinstellungsWerte e = DialogEinstellungenLesen(orte, fs);
  const bool start = a == Ausloeser::kStart;
  if (!e.Schalter(start ? main_sda::kBoot : main_sda::kShut)) {
    d.meldung(start ? "Automatische Läufe beim Start sind ausgeschaltet (Einstellungen, "
                      "Hauptprogramm: \"Aufträge beim Startvorgang\")."
                    : "Automatische Läufe beim Herunterfahren sind ausgeschaltet "
                      "(Einstellungen, Hauptprogramm: \"Aufträge beim Herunterfahren\").");
    return kSyncOk;
  }
  std::vector<std::string> liste = sammlungen;
  if (liste.empty()) liste = AutomatikListeLesen(AutomatikListe(orte), d.home, fs);
  if (liste.empty()) {
    d.meldung("Keine Auftragssammlung für automatische Läufe eingetragen (" + AutomatikListe(orte) +
              ", eine Sammlung je Zeile).");
    return kSyncOk;
  }
  // A stored delay outside the dialog's range is taken at the nearest limit, as the dialog
  // shows it.
  const int verzoegerung = main_sda::kBootZeit.bereich.Begrenzen(e.Zahl(main_sda::kBootZeit));
  if (start && !d.warten->Warten(verzoegerung)) {
    return kSyncAbgebrochen;
  }

  int ergebnis = kSyncOk;
  for (const std::string& pfad : liste) {
    Sammlung sammlung;
    if (!SammlungLesen(pfad, fs, &sammlung)) {
      d.meldung("Die Auftragssammlung " + pfad +
                " für automatische Läufe fehlt oder ist nicht lesbar; sie wird übersprungen.");
      ergebnis = kSyncFehler;
      continue;
    }
    SyncOptionen o;
    o.sammlung = pfad;
    o.jobs = AusloeserAuswahl(sammlung, a);
    o.leer_erlaubt = leer_erlaubt;
    o.melder = d.melder;
    if (o.jobs.empty()) continue;  // an empty choice would mean every job to the run
    const int r = d.lauf(o);
    if (r == kSyncAbgebrochen) return kSyncAbgebrochen;
    if (r != kSyncOk) ergebnis = kSyncFehler;
  }
  return ergebnis;
}

int AusloeserStarten(const SyncOptionen& o, const DateiOrte& orte) {
  Ausloeser a = Ausloeser::kStart;
  AusloeserLesen(o.ausloeser, &a);  // the argument parser let only the two words through
  // A stop signal before, between or during the runs ends the trigger: the run under way is
  // cancelled, and no further collection is started.
  StoppSignaleEinrichten();
  EchteWartezeit warten;
  Melder melder;
  AusloeserDienste d;
  d.warten = &warten;
  d.melder = &melder;
  d.home = OrtsUmgebungLesen().home;
  d.meldung = [](const std::string& text) {
    std::fprintf(stderr, "zarnoft-sync: %s\n", text.c_str());
    LogZeile(LogStufe::kWarnung, "Warn: " + text);
  };
  d.lauf = [&orte](const SyncOptionen& lauf) {
    if (StoppSignal() != 0) return kSyncAbgebrochen;
    const int r = SyncAusfuehren(lauf, orte);
    return StoppSignal() != 0 ? kSyncAbgebrochen : r;
  };
  // The log is set up here for the trigger's own messages; each run sets it up again and says
  // what is wrong with the file places.
  DateiOrteVorbereiten(orte);
  LogSchreiber& log = GlobalLog();
  log.SetProgrammteil("Sync");
  log.LogStart(orte, true);
  if (!EinstellungenVertrauen(orte, FileSystem::Default(), &log)) return kSyncAufruf;
  return AusloeserAusfuehren(a, o.sammlungen, o.leer_erlaubt, orte, d);
}

}  // namespace zarnoft
