// Hauptfenster: running comparisons (start, run now, end notification), the dialogs of the
// Extras and Help menus, and closing the window.
#include "editor/main_window.h"
#include "editor/main_window_internal.h"

namespace zarnoft {

namespace {

std::string LaeufeFrage(int anzahl) {
  if (anzahl == 1) return "Es läuft noch 1 Vergleich. Soll er abgebrochen werden?";
  return "Es laufen noch " + std::to_string(anzahl) + " Vergleiche. Sollen sie abgebrochen werden?";
}

}  // namespace

// --- Runs --------------------------------------------------------------------------------------

bool Hauptfenster::AuftragStarten(TVergleichThread* job) {
  // While the window waits for cancelled runs to end before it closes, nothing new starts.
  if (schliessen_nach_laeufen_) return false;
  VergleichsWerte werte = VergleichsWerteFuer(*job, einstellungen_.LoeschenWohin,
                                              einstellungen_.Loeschen, einstellungen_.LoeschGrenze);
  LaufHandle lauf =
      dienste_.laeufe->Starten(werte, [selbst = selbst_](LaufHandle l, const LaufErgebnis& ende) {
        if (*selbst != nullptr) (*selbst)->VergleichBeendet(l, ende);
      });
  if (lauf.Leer()) {
    // No thread could be started (the starter has logged why): the job stays idle and no end
    // notification will come.
    Meldungsbox box;
    box.titel = "Fehler";
    box.text = "Der Vergleich kann nicht gestartet werden:\r" + job->Herkunft + " - " + job->Ziel;
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

void Hauptfenster::VergleichBeendet(LaufHandle lauf, const LaufErgebnis& ende) {
  Befehl([&] {
    Log(LogStufe::kDebugAusfuehrlich, "Main: Vergleichthread beendete sich");
    TVergleichThread* job = sammlung_.MitThread(lauf);
    --anzahl_vergleiche_;
    ZaehlerAnzeigen();
    // A run that was cancelled, failed to start or met errors leaves the last-run date as it
    // was, so that the next run looks at the same changes again.
    const bool vollstaendig = job != nullptr && LaufBeendet(job, ende, uhr_);
    Log(LogStufe::kDebugAusfuehrlich, "Main: Vergleichthread gelöscht");
    if (job != nullptr) {
      if (vollstaendig) MarkerSetzen(marker::kGeaendert);
      Log(LogStufe::kWarnung, VergleichEndeText(*job, ende));
    }
    TabelleZeichnen();
  });
  if (schliessen_nach_laeufen_ && anzahl_vergleiche_ == 0) {
    Log(LogStufe::kDebug, "Main: FormClose erledigt");
    schliessen_fertig_ = true;
    ansicht_->Schliessen();
  }
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
