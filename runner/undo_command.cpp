#include "runner/undo_command.h"

#include <cstdio>
#include <vector>

#include "engine/actions.h"
#include "engine/undo.h"
#include "jobs/collection_file.h"
#include "log/log_escape.h"
#include "settings/ini_file.h"

namespace zarnoft {
namespace {

void Meldung(const std::string& text) {
  std::fprintf(stderr, "zarnoft-sync: %s\n", EscapeControls(text).c_str());
}

// Steps on stdout as they come (the undo runs on this thread), failures on stderr.
class Ausgabe : public LaufBericht {
 public:
  explicit Ausgabe(bool schritte) : schritte_(schritte) {}
  void Getan(const Aktion& a) override {
    if (schritte_) std::fprintf(stdout, "%s\n", AktionsZeile(a).c_str());
  }
  void Fehler(const Fehlerzeile& f) override { Meldung(f.Zeile()); }

 private:
  bool schritte_;
};

}  // namespace

int RueckgaengigAusfuehren(const RueckgaengigAufruf& a, Sammlung* sammlung, int n) {
  TVergleichThread* job = sammlung->InZeile(n);
  const std::string name = "Auftrag " + std::to_string(n);
  RueckgaengigWerte w;
  w.Herkunft = job->Herkunft;
  w.Ziel = job->Ziel;
  w.Probelauf = a.probelauf;
  w.LaufBeginn = job->LaufBeginn;
  w.LaufEnde = job->LaufEnde;
  w.Aufruf = job->Aufruf;
  w.RueckgaengigTage = a.rueckgaengig_tage;
  Ausgabe ausgabe(a.probelauf || !a.leise);
  RueckgaengigDienste d;
  d.fs = a.fs;
  d.uhr = a.uhr;
  d.log = a.log;
  d.bericht = &ausgabe;
  d.stand_verzeichnis = a.stand_verzeichnis;
  const RueckgaengigErgebnis e = LetztenLaufRueckgaengig(w, d);
  std::fflush(stdout);
  if (!e.abgelehnt.empty()) {
    Meldung(name + ": " + e.abgelehnt);
    return 1;
  }
  if (!a.leise || a.probelauf) {
    std::fprintf(stdout, "%s%s: Lauf %s rückgängig gemacht: %s\n", name.c_str(),
                 a.probelauf ? " (Probelauf)" : "", e.lauf.c_str(), SchritteText(e).c_str());
    std::fflush(stdout);
  }
  if (a.probelauf) return 0;
  // The job's last run is the one before the run taken back, so that the next run looks at
  // every change since then again.
  job->Aufruf = e.vorher_aufruf;
  job->LaufBeginn = e.vorher_beginn;
  job->LaufEnde = e.vorher_ende;
  try {
    if (!AufrufSchreiben(a.sammlung, n, *job, a.fs)) {
      Meldung(name + ": Auftrag in der Sammlung geändert, Datum nicht zurückgesetzt.");
      return 1;
    }
  } catch (const IniWriteError& err) {
    Meldung(std::string(err.what()) + ". Das Datum von " + name + " ist nicht zurückgesetzt.");
    return 2;
  }
  if (e.fehler > 0) {
    Meldung(name + ": " + std::to_string(e.fehler) +
            " Schritte nicht rückgängig gemacht; was seit dem Lauf geändert wurde, bleibt.");
    return 1;
  }
  return 0;
}

}  // namespace zarnoft
