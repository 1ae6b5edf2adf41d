// Hauptfenster: "Letzten Lauf rückgängig machen". The plan first, worked out on a thread of its
// own and shown in the probe window; the user's word there takes the run back, again on a thread
// of its own; the job's last run then goes back to the one before.
#include "editor/main_window.h"
#include "editor/main_window_internal.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "engine/run_journal.h"
#include "jobs/job_texts.h"

namespace zarnoft {

namespace {

// "vom 09.12.2026 06:15:00" for a run's name, the name itself when it tells no date.
std::string LaufText(const std::string& lauf) {
  FileTime beginn;
  if (!LaufNameLesen(lauf, &beginn)) return lauf;
  return "vom " + DateAndTimeText(ToLocal(beginn));
}

Meldungsbox Hinweisbox(const std::string& text) {
  Meldungsbox box;
  box.titel = kRueckgaengigTitel;
  box.text = text;
  box.symbol = Symbol::kInformation;
  return box;
}

// The outcome of an undo: its steps, and what it left alone as a run's failures are listed.
Meldungsbox Ergebnisbox(const RueckgaengigErgebnis& e, const Gesammelt& g) {
  Meldungsbox box = Hinweisbox("Der Lauf " + LaufText(e.lauf) + " ist rückgängig gemacht:\r" +
                               SchritteText(e) + ".");
  if (e.fehler > 0) {
    box.symbol = Symbol::kAusrufezeichen;
    box.text += "\rWas seit dem Lauf geändert wurde, bleibt:";
    for (const std::string& z : FehlerZeilen(g.fehler, std::max<int64_t>(g.fehler_anzahl, e.fehler),
                                             ProbeListe::kFehlerImFenster))
      box.text += "\r" + z;
  }
  return box;
}

}  // namespace

void Hauptfenster::RueckgaengigClick() {
  Befehl([&] {
    Log(LogStufe::kGrundbefehl, "Main: Rückgängig startet");
    TVergleichThread* job = sammlung_.InZeile(Zeile());
    if (job == nullptr) return;
    if (!job->Thread.Leer()) {
      // The undo must not meet a run of the same job half way.
      ansicht_->Meldung(
          Hinweisbox("Der Auftrag läuft gerade. Sein letzter Lauf kann erst nach dessen Ende "
                     "rückgängig gemacht werden."));
      return;
    }
    RueckgaengigStarten(job, /*probelauf=*/true, "", /*melden=*/true);
    TabelleZeichnen();
  });
}

bool Hauptfenster::RueckgaengigStarten(TVergleichThread* job, bool probelauf,
                                       const std::string& lauf, bool melden) {
  if (schliessen_nach_laeufen_) return false;
  RueckgaengigWerte w;
  w.Herkunft = job->Herkunft;
  w.Ziel = job->Ziel;
  w.Probelauf = probelauf;
  w.LaufBeginn = job->LaufBeginn;
  w.LaufEnde = job->LaufEnde;
  w.Aufruf = job->Aufruf;
  w.RueckgaengigTage = einstellungen_.RueckgaengigTage;
  w.Lauf = lauf;
  // The plan keeps every step for the window; the undo itself its failures.
  auto sammler = std::make_shared<LaufSammler>(probelauf);
  LaufHandle griff = dienste_.laeufe->RueckgaengigStarten(
      w,
      [selbst = selbst_, sammler, probelauf](LaufHandle l, const RueckgaengigErgebnis& e) {
        if (*selbst != nullptr) (*selbst)->RueckgaengigBeendet(l, probelauf, e, sammler.get());
      },
      sammler);
  // The job counts as running meanwhile: no run of it starts, and closing waits for the end.
  return LaufUebernehmen(job, griff, melden ? "Das Rückgängigmachen" : "");
}

void Hauptfenster::RueckgaengigBeendet(LaufHandle lauf, bool probelauf,
                                       const RueckgaengigErgebnis& e, LaufSammler* sammler) {
  Befehl([&] {
    Log(LogStufe::kDebugAusfuehrlich, "Main: Rückgängig-Thread beendete sich");
    TVergleichThread* job = sammlung_.MitThread(lauf);
    --anzahl_vergleiche_;
    ZaehlerAnzeigen();
    if (job != nullptr) job->Thread = LaufHandle();
    Gesammelt g = sammler != nullptr ? sammler->Nehmen() : Gesammelt();
    const std::string paar = job != nullptr ? job->Herkunft + " - " + job->Ziel : std::string();
    if (!e.abgelehnt.empty()) {
      Log(LogStufe::kWarnung, "Rückgängig abgelehnt: " + paar + ": " + e.abgelehnt);
      TabelleZeichnen();
      ansicht_->Meldung(Hinweisbox(e.abgelehnt));
      return;
    }
    if (probelauf) {
      TabelleZeichnen();
      // A job deleted meanwhile has no window: its button would take nothing back.
      if (job == nullptr) return;
      Log(LogStufe::kWarnung, "Rückgängig geplant: " + paar);
      PlanZeigen(job, e.lauf, std::move(g));
      return;
    }
    if (job != nullptr) {
      // The job's last run is the one before the run taken back, so that the next run looks at
      // every change since then again; the user's save writes it.
      job->Aufruf = e.vorher_aufruf;
      job->LaufBeginn = e.vorher_beginn;
      job->LaufEnde = e.vorher_ende;
      // What was left alone shows as a run's failures do, until the job's next run.
      job->LetzterMitFehlern = e.fehler > 0;
      job->LetzteFehlerAnzahl = std::max<int64_t>(g.fehler_anzahl, e.fehler);
      job->LetzteFehler = g.fehler;
      MarkiereGeaendert();
    }
    Log(LogStufe::kWarnung,
        (e.fehler > 0 ? "Rückgängig mit Fehlern: " : "Rückgängig beendet: ") + paar);
    TabelleZeichnen();
    ansicht_->Meldung(Ergebnisbox(e, g));
  });
  SchliessenWennFertig();
}

void Hauptfenster::PlanZeigen(TVergleichThread* job, const std::string& lauf, Gesammelt g) {
  // Which run goes, above the table: the user decides on it.
  g.hinweise.insert(g.hinweise.begin(), "Rückgängig gemacht wird der Lauf " + LaufText(lauf) +
                                            ", soweit seither nichts geändert wurde.");
  ProbeListe liste(job->Herkunft, job->Ziel, std::move(g), ProbeZweck::kRueckgaengig);
  ansicht_->ProbelaufZeigen(
      std::move(liste),
      [selbst = selbst_, job, herkunft = job->Herkunft, ziel = job->Ziel, lauf]() -> std::string {
        if (*selbst == nullptr) return "Der Auftrag ist nicht mehr in der Sammlung.";
        return (*selbst)->RueckgaengigJetzt(job, herkunft, ziel, lauf);
      });
}

std::string Hauptfenster::RueckgaengigJetzt(const TVergleichThread* job,
                                            const std::string& herkunft, const std::string& ziel,
                                            const std::string& lauf) {
  std::string warum;
  Befehl([&] {
    Log(LogStufe::kGrundbefehl, "Main: Rückgängig: Jetzt rückgängig machen");
    TVergleichThread* gefunden = GleicherJob(job, herkunft, ziel);
    if (gefunden == nullptr) {
      warum = "Der Auftrag ist nicht mehr in der Sammlung.";
    } else if (!gefunden->Thread.Leer()) {
      warum = "Der Auftrag läuft gerade.";
    } else if (!RueckgaengigStarten(gefunden, /*probelauf=*/false, lauf, /*melden=*/false)) {
      warum = "Das Rückgängigmachen kann nicht gestartet werden.";
    } else {
      TabelleZeichnen();
    }
  });
  return warum;
}

}  // namespace zarnoft
