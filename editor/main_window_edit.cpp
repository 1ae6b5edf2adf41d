// Hauptfenster: editing one job - take, fetch, delete, the folder buttons and the field events.
#include <cstdlib>
#include <memory>
#include <utility>

#include "editor/main_window.h"
#include "editor/main_window_internal.h"
#include "platform/path_helpers.h"

namespace zarnoft {

namespace {

Meldungsbox Warnung(const std::string& text) {
  Meldungsbox box;
  box.titel = "Warnung";
  box.text = text;
  box.knoepfe = Knoepfe::kOk;
  box.symbol = Symbol::kAusrufezeichen;
  return box;
}

}  // namespace

// Step 3 of the take for one directory: it exists and can be entered, or the user lets it be
// created and it can be entered then.
bool Hauptfenster::VerzeichnisBereit(const std::string& pfad) {
  switch (VerzeichnisPruefen(pfad, fs_)) {
    case VerzeichnisStand::kBereit:
      return true;
    case VerzeichnisStand::kUnzugaenglich:
      Log(LogStufe::kDateiAenderung, "Warn: Verzeichnis nicht zugänglich: " + pfad);
      ansicht_->Meldung(Warnung(UnzugaenglichText(pfad)));
      return false;
    case VerzeichnisStand::kFehlt:
      break;
  }
  Log(LogStufe::kDebugAusfuehrlich, "Main: Verzeichnis erstellen: " + pfad);
  Meldungsbox frage;
  frage.titel = "Verzeichnis fehlt";
  frage.text = FehltText(pfad) + " Soll es erstellt werden?";
  frage.knoepfe = Knoepfe::kOkAbbrechen;
  frage.symbol = Symbol::kFrage;
  frage.standard = Antwort::kOk;
  if (ansicht_->Meldung(frage) != Antwort::kOk) return false;
  CreateDirectoryPath(pfad, fs_);
  if (fs_->IsEnterableDirectory(pfad)) return true;
  ansicht_->Meldung(Warnung("Das Verzeichnis kann nicht erstellt werden!"));
  Log(LogStufe::kDateiAenderung, "Warn: Verzeichnis nicht zu erstellen: " + pfad);
  return false;
}

void Hauptfenster::SetzenClick() {
  Befehl([&] {
    Log(LogStufe::kDebugAusfuehrlich, "Main:  Vorgang übernehmen startet");
    ansicht_->Statuspanel(0, "Verzeichnis übernehmen");
    // The collection counts as changed even when the take is abandoned below.
    MarkiereGeaendert();
    ansicht_->NachrichtenVerarbeiten();

    std::string herkunft;
    std::string ziel;
    for (auto [feld, pfad] :
         {std::pair{Steuerelement::kHerkunft, &herkunft}, std::pair{Steuerelement::kZiel, &ziel}}) {
      std::string fehler;
      if (!JobPfadAusFeld(ansicht_->Text(feld), pfad, &fehler)) {
        Log(LogStufe::kDateiAenderung, "Warn: Verzeichnis ungültig: " + ansicht_->Text(feld));
        Meldungsbox box = Warnung(fehler);
        box.titel = "Verzeichnis ungültig";
        ansicht_->Meldung(box);
        return;
      }
    }
    // The source first; the target is tested only while the answer is still yes.
    if (!VerzeichnisBereit(herkunft) || !VerzeichnisBereit(ziel)) return;

    Log(LogStufe::kDebugAusfuehrlich, "Main: Datensatz angelegt");
    UebernahmeWerte w;
    w.herkunft = herkunft;
    w.ziel = ziel;
    w.unterverzeichnisse = ansicht_->Angehakt(Steuerelement::kUnterverzeichnisse);
    w.art_position = ansicht_->Position(Steuerelement::kArt);
    w.doppelt_position = ansicht_->Position(Steuerelement::kDoppelt);
    w.booten = ansicht_->Angehakt(Steuerelement::kAStart);
    w.herunterfahren = ansicht_->Angehakt(Steuerelement::kAEnde);
    w.idle = ansicht_->Angehakt(Steuerelement::kAIdle);
    w.herkunft_dateien = listing_->Dateien(ListingSeite::kHerkunft);
    w.ziel_dateien = listing_->Dateien(ListingSeite::kZiel);
    w.ausnahmen = ausnahmen_;
    TVergleichThread neu = UebernommenerJob(w);
    TVergleichThread* job = sammlung_.Vorn(std::move(neu));

    if (einstellungen_.SofortSync && AuftragStarten(job)) {
      Log(LogStufe::kDebugAusfuehrlich, "Main:  Thread für Vergleich gestartet");
    }
    TabelleZeichnen();
    Log(LogStufe::kDebugAusfuehrlich, "Main:  Werte in Tabelle übernommen");
    Log(LogStufe::kGrundbefehl, "Eing: Vorgang übernehmen");
  });
}

void Hauptfenster::HolenClick() {
  Befehl([&] {
    Log(LogStufe::kBefehl, "Main: Eintrag wird zurückgeschrieben");
    const TVergleichThread* gefunden = sammlung_.InZeile(Zeile());
    if (gefunden == nullptr) return;
    // A copy: the change events of the fields below run other code in between.
    const TVergleichThread job = *gefunden;
    // First, so that the listings that the fields below start leave out what the job does.
    AusnahmenSetzen(job.Ausnahmen);
    ansicht_->Anhaken(Steuerelement::kAStart, job.Booten);
    ansicht_->Anhaken(Steuerelement::kAEnde, job.Herunterfahren);
    ansicht_->Anhaken(Steuerelement::kAIdle, job.Idle);
    ansicht_->TextSetzen(Steuerelement::kHerkunft, job.Herkunft);
    ansicht_->TextSetzen(Steuerelement::kZiel, job.Ziel);
    ansicht_->Anhaken(Steuerelement::kUnterverzeichnisse, job.Unterverzeichnisse);
    ansicht_->PositionSetzen(Steuerelement::kArt, ArtPosition(job.Art));
    DoppeltFuellen();
    FormResize(layout_.Breite, layout_.Hoehe);
    const int modi = static_cast<int>(DoppeltEintraege(job.Art).size());
    ansicht_->PositionSetzen(Steuerelement::kDoppelt,
                             job.Doppelt >= 0 && job.Doppelt < modi ? job.Doppelt : -1);
    Log(LogStufe::kDebugAusfuehrlich, "Main: Zeiten starten");
    ListingStarten(ListingSeite::kHerkunft);
    ListingStarten(ListingSeite::kZiel);
  });
}

void Hauptfenster::LoeschClick() {
  Befehl([&] {
    Log(LogStufe::kGrundbefehl, "Eing: Eingabe wird gelöscht");
    MarkiereGeaendert();
    const int zeile = Zeile();
    if (sammlung_.InZeile(zeile) != nullptr) {
      std::unique_ptr<TVergleichThread> job = sammlung_.Entfernen(static_cast<size_t>(zeile - 1));
      // The run is not waited for; its end notification will find no job.
      if (!job->Thread.Leer()) dienste_.laeufe->StopAnfordern(job->Thread);
      job.reset();
      TabelleZeichnen();
      if (sammlung_.Leer()) {
        ansicht_->Aktivieren(Steuerelement::kLoesch, false);
        ansicht_->Aktivieren(Steuerelement::kHolen, false);
      }
    }
    Log(LogStufe::kDebugAusfuehrlich, "Main: Vorgang gelöscht");
  });
}

// --- Folders and field events ------------------------------------------------------------------

void Hauptfenster::OrdnerWaehlen(Steuerelement feld, const std::string& log,
                                 const std::string& text) {
  Befehl([&] {
    Log(LogStufe::kBefehl, log);
    OrdnerDialog d;
    d.text = text;
    d.auswahl = ansicht_->Text(feld);
    std::string pfad;
    if (ansicht_->OrdnerDialogZeigen(d, &pfad)) ansicht_->TextSetzen(feld, pfad);
  });
}

void Hauptfenster::HVerzBClick() {
  OrdnerWaehlen(Steuerelement::kHerkunft, "Main: Herkunftsverzeichnis wählen",
                "Bitte wählen Sie das Herkunftsverzeichnis aus.");
}

void Hauptfenster::ZVerzBClick() {
  OrdnerWaehlen(Steuerelement::kZiel, "Main: Zielverzeichnis wählen",
                "Bitte wählen Sie das Zielverzeichnis aus.");
}

void Hauptfenster::AusnahmenSetzen(std::vector<std::string> muster) {
  ausnahmen_ = std::move(muster);
  ansicht_->TextSetzen(Steuerelement::kAusnahmen, AusnahmenKnopfText(ausnahmen_.size()));
}

void Hauptfenster::AusnahmenClick() {
  Befehl([&] {
    Log(LogStufe::kBefehl, "Main: Ausnahmen bearbeiten");
    const std::string feld = ansicht_->Text(Steuerelement::kHerkunft);
    std::string herkunft;
    std::string fehler;
    if (!JobPfadAusFeld(feld, &herkunft, &fehler)) herkunft = feld;
    std::vector<std::string> muster = ausnahmen_;
    if (!ansicht_->AusnahmenZeigen(herkunft, ansicht_->Angehakt(Steuerelement::kUnterverzeichnisse),
                                   &muster) ||
        muster == ausnahmen_) {
      return;
    }
    AusnahmenSetzen(std::move(muster));
    Log(LogStufe::kGrundbefehl, "Eing: Ausnahmen geändert");
    // The listings count what the job would take.
    ListingStarten(ListingSeite::kHerkunft);
    ListingStarten(ListingSeite::kZiel);
  });
}

void Hauptfenster::ListingStarten(ListingSeite seite) {
  const Steuerelement feld =
      seite == ListingSeite::kHerkunft ? Steuerelement::kHerkunft : Steuerelement::kZiel;
  listing_->ListingStarten(seite, ansicht_->Text(feld),
                           ansicht_->Angehakt(Steuerelement::kUnterverzeichnisse), ausnahmen_);
}

void Hauptfenster::FeldGeaendert(ListingSeite seite) {
  Befehl([&] {
    ListingStarten(seite);
    // Once both fields have held text, taking stays possible; it is not disabled again.
    if (!ansicht_->Text(Steuerelement::kHerkunft).empty() &&
        !ansicht_->Text(Steuerelement::kZiel).empty()) {
      ansicht_->Aktivieren(Steuerelement::kSetzen, true);
    }
  });
}

void Hauptfenster::HerkunftChange() {
  FeldGeaendert(ListingSeite::kHerkunft);
}
void Hauptfenster::ZielChange() {
  FeldGeaendert(ListingSeite::kZiel);
}

void Hauptfenster::UnterverzeichnisseClick() {
  Befehl([&] {
    Log(LogStufe::kBefehl, "Main: Unterverzeichnisse auswählen");
    ListingStarten(ListingSeite::kHerkunft);
    ListingStarten(ListingSeite::kZiel);
  });
}

}  // namespace zarnoft
