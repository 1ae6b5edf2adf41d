// Hauptfenster: running comparisons (start, run now, end notification), the dialogs of the
// Extras and Help menus, and closing the window.
#include "editor/main_window.h"
#include "editor/main_window_internal.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace zarnoft {

namespace {

std::string LaeufeFrage(int anzahl) {
  if (anzahl == 1) return "Es läuft noch 1 Vergleich. Soll er abgebrochen werden?";
  return "Es laufen noch " + std::to_string(anzahl) + " Vergleiche. Sollen sie abgebrochen werden?";
}

}  // namespace

// --- Runs --------------------------------------------------------------------------------------

bool Hauptfenster::AuftragStarten(TVergleichThread* job, bool probelauf, bool melden) {
  // While the window waits for cancelled runs to end before it closes, nothing new starts.
  if (schliessen_nach_laeufen_) return false;
  VergleichsWerte werte = VergleichsWerteFuer(*job, einstellungen_.LoeschenWohin,
                                              einstellungen_.Loeschen, einstellungen_.LoeschGrenze);
  werte.RueckgaengigTage = einstellungen_.RueckgaengigTage;
  werte.RueckgaengigAnteil = einstellungen_.RueckgaengigAnteil;
  werte.Probelauf = probelauf;
  // The run's failures (and a probe's actions) are gathered on its thread and taken over here at
  // its end.
  auto sammler = std::make_shared<LaufSammler>(probelauf);
  LaufHandle lauf = dienste_.laeufe->Starten(
      werte,
      [selbst = selbst_, sammler](LaufHandle l, const LaufErgebnis& ende) {
        if (*selbst != nullptr) (*selbst)->VergleichBeendet(l, ende, sammler.get());
      },
      sammler);
  return LaufUebernehmen(job, lauf, melden ? "Der Vergleich" : "");
}

bool Hauptfenster::LaufUebernehmen(TVergleichThread* job, LaufHandle lauf, const std::string& was) {
  if (lauf.Leer()) {
    if (was.empty()) return false;
    // No thread could be started (the starter has logged why): the job stays idle and no end
    // notification will come.
    Meldungsbox box;
    box.titel = "Fehler";
    box.text = was + " kann nicht gestartet werden:\r" + job->Herkunft + " - " + job->Ziel;
    box.symbol = Symbol::kStopp;
    ansicht_->Meldung(box);
    return false;
  }
  job->Thread = lauf;
  ++anzahl_vergleiche_;
  ZaehlerAnzeigen();
  return true;
}

void Hauptfenster::SyncNowClick() {
  Befehl([&] {
    Log(LogStufe::kGrundbefehl, "Main: Sync Now startet");
    TVergleichThread* job = sammlung_.InZeile(Zeile());
    if (job == nullptr || !job->Thread.Leer()) return;
    AuftragStarten(job);
    // The status column shows "läuft" at once rather than at the next rebuild; the rebuild
    // also disables SyncNow for the running job.
    TabelleZeichnen();
  });
}

void Hauptfenster::ProbelaufClick() {
  Befehl([&] {
    Log(LogStufe::kGrundbefehl, "Main: Probelauf startet");
    TVergleichThread* job = sammlung_.InZeile(Zeile());
    if (job == nullptr || !job->Thread.Leer()) return;
    AuftragStarten(job, /*probelauf=*/true);
    TabelleZeichnen();
  });
}

void Hauptfenster::VergleichBeendet(LaufHandle lauf, const LaufErgebnis& ende,
                                    LaufSammler* sammler) {
  Befehl([&] {
    Log(LogStufe::kDebugAusfuehrlich, "Main: Vergleichthread beendete sich");
    TVergleichThread* job = sammlung_.MitThread(lauf);
    --anzahl_vergleiche_;
    ZaehlerAnzeigen();
    if (ende.probelauf) {
      ProbelaufBeendet(job, ende, sammler);
      TabelleZeichnen();
      return;
    }
    // A run that was cancelled, failed to start or met errors leaves the last-run date as it
    // was, so that the next run looks at the same changes again.
    const bool vollstaendig = job != nullptr && LaufBeendet(job, ende, uhr_);
    Log(LogStufe::kDebugAusfuehrlich, "Main: Vergleichthread gelöscht");
    if (job != nullptr && job->LetzterMitFehlern && sammler != nullptr) {
      // Kept until the job's next run ends, for the status description.
      Gesammelt g = sammler->Nehmen();
      job->LetzteFehler = std::move(g.fehler);
      job->LetzteFehlerAnzahl = std::max<int64_t>(g.fehler_anzahl, ende.fehler);
    }
    if (job != nullptr) {
      if (vollstaendig) MarkiereGeaendert();
      Log(LogStufe::kWarnung, VergleichEndeText(*job, ende));
    }
    TabelleZeichnen();
  });
  SchliessenWennFertig();
}

void Hauptfenster::SchliessenWennFertig() {
  if (schliessen_nach_laeufen_ && anzahl_vergleiche_ == 0) {
    Log(LogStufe::kDebug, "Main: FormClose erledigt");
    schliessen_fertig_ = true;
    ansicht_->Schliessen();
  }
}

void Hauptfenster::ProbelaufBeendet(TVergleichThread* job, const LaufErgebnis& ende,
                                    LaufSammler* sammler) {
  if (job != nullptr) LaufBeendet(job, ende, uhr_);
  Log(LogStufe::kDebugAusfuehrlich, "Main: Vergleichthread gelöscht");
  // A deleted job has no window: its button would have nothing to start. A cancelled probe, or
  // one that could not start (its window said why), shows none either.
  if (job == nullptr) return;
  Log(LogStufe::kWarnung, VergleichEndeText(*job, ende));
  if (ende.abgebrochen || sammler == nullptr) return;
  ProbeListe liste(job->Herkunft, job->Ziel, sammler->Nehmen());
  ansicht_->ProbelaufZeigen(
      std::move(liste),
      [selbst = selbst_, job, herkunft = job->Herkunft, ziel = job->Ziel]() -> std::string {
        if (*selbst == nullptr) return "Der Auftrag ist nicht mehr in der Sammlung.";
        return (*selbst)->ProbeSynchronisieren(job, herkunft, ziel);
      });
}

std::string Hauptfenster::ProbeSynchronisieren(const TVergleichThread* job,
                                               const std::string& herkunft,
                                               const std::string& ziel) {
  std::string warum;
  Befehl([&] {
    Log(LogStufe::kGrundbefehl, "Main: Probelauf: Jetzt synchronisieren");
    // The window may have stayed open while the job was deleted.
    TVergleichThread* gefunden = GleicherJob(job, herkunft, ziel);
    if (gefunden == nullptr) {
      warum = "Der Auftrag ist nicht mehr in der Sammlung.";
    } else if (!gefunden->Thread.Leer()) {
      warum = "Der Auftrag läuft bereits.";
    } else if (!AuftragStarten(gefunden, /*probelauf=*/false, /*melden=*/false)) {
      warum = "Der Vergleich kann nicht gestartet werden.";
    } else {
      TabelleZeichnen();
    }
  });
  return warum;
}

TVergleichThread* Hauptfenster::GleicherJob(const TVergleichThread* job,
                                            const std::string& herkunft, const std::string& ziel) {
  for (size_t i = 0; i < sammlung_.Anzahl(); ++i) {
    TVergleichThread* j = sammlung_.An(i);
    if (j == job && j->Herkunft == herkunft && j->Ziel == ziel) return j;
  }
  return nullptr;
}

// --- Extras and help ---------------------------------------------------------------------------

void Hauptfenster::Einstellungen1Click() {
  Befehl([&] {
    Log(LogStufe::kDebugAusfuehrlich, "Main: Einstellungen werden aufgerufen");
    ansicht_->EinstellungenZeigen();
    if (dienste_.log_schreiber != nullptr) {
      dienste_.log_schreiber->LogStart(orte_, false);
    }
    EinstellungenLesen();
    // "SofortSync" decides what the status column shows for a job that never completed.
    TabelleZeichnen();
  });
}

void Hauptfenster::Info1Click() {
  Befehl([&] {
    Log(LogStufe::kDebugAusfuehrlich, "Main: Info wird aufgerufen");
    ansicht_->InfoZeigen();
  });
}

// --- Closing -----------------------------------------------------------------------------------

void Hauptfenster::Beenden1Click() {
  Befehl([&] {
    Log(LogStufe::kWarnung, "Eing: Programm wird beendet");
    ansicht_->Schliessen();
  });
}

bool Hauptfenster::FormClose(const FensterGeometrie& jetzt) {
  if (schliessen_fertig_) return true;
  // Runs are being cancelled; the window closes by itself after the last one.
  if (schliessen_nach_laeufen_) return false;
  if (durch_signal_) {
    listing_->ListingStoppen(ListingSeite::kHerkunft);
    listing_->ListingStoppen(ListingSeite::kZiel);
    return LaeufeBeendenUndSchliessen();
  }

  if (anzahl_vergleiche_ > 0) {
    Meldungsbox box;
    box.titel = kFensterTitel;
    box.text = LaeufeFrage(anzahl_vergleiche_);
    box.knoepfe = Knoepfe::kJaNein;
    box.symbol = Symbol::kFrage;
    box.standard = Antwort::kNein;
    if (ansicht_->Meldung(box) != Antwort::kJa) return false;
  }

  if (Ungespeichert()) {
    Log(LogStufe::kDebugAusfuehrlich, "Main: Bei Beenden ungespeichert - Speichern abfragen");
    Meldungsbox box;
    box.titel = "Ungespeichert";
    box.text =
        "Synchronisationsvorgaben wurden noch nicht gespeichert.\r Soll jetzt gespeichert "
        "werden?";
    box.knoepfe = Knoepfe::kJaNeinAbbrechen;
    box.symbol = Symbol::kAusrufezeichen;
    box.standard = Antwort::kJa;
    Antwort a = ansicht_->Meldung(box);
    if (a == Antwort::kAbbrechen) return false;
    if (a == Antwort::kJa) {
      // A save that fails keeps the window open: the collection is not lost by closing.
      bool gespeichert = false;
      Befehl([&] {
        if (!zustand_.SammlungsDatei.empty()) {
          Speichern();
          gespeichert = true;
        } else {
          gespeichert = Speichernunter();
        }
      });
      if (!gespeichert) return false;
    }
  }

  if (!einstellungs_fehler_.empty()) {
    // Writing the geometry into a damaged file would make it look sound at the next start.
    Log(LogStufe::kWarnung, "Warn: Einstellungsdatei beschädigt, Fenster nicht gespeichert");
  } else {
    Log(LogStufe::kDebugAusfuehrlich, "Main: InI allgemein zurückschreiben");
    // Settings that cannot be written are reported; the program closes all the same.
    Befehl([&] {
      EinstellungenBeimSchliessen(orte_.EinstellungsDatei(), jetzt, zustand_.SammlungsVerzeichnis,
                                  fs_);
    });
  }
  listing_->ListingStoppen(ListingSeite::kHerkunft);
  listing_->ListingStoppen(ListingSeite::kZiel);
  return LaeufeBeendenUndSchliessen();
}

bool Hauptfenster::LaeufeBeendenUndSchliessen() {
  if (anzahl_vergleiche_ > 0) {
    schliessen_nach_laeufen_ = true;
    ansicht_->Statuspanel(0, "Vergleiche werden abgebrochen...");
    dienste_.laeufe->Schliessen();
    return false;
  }
  Log(LogStufe::kDebug, "Main: FormClose erledigt");
  schliessen_fertig_ = true;
  return true;
}

void Hauptfenster::SignalBeenden() {
  if (durch_signal_) return;
  Log(LogStufe::kWarnung, "Main: Durch ein Signal beendet; nichts wird gespeichert");
  durch_signal_ = true;
  ansicht_->Schliessen();
}

}  // namespace zarnoft
