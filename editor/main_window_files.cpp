// Hauptfenster: the collection as a file - new, open, save, save under a new name, the question
// before the collection is given up, and the collection named on the command line.
#include <filesystem>
#include <memory>
#include <system_error>

#include "editor/main_window.h"
#include "editor/main_window_internal.h"
#include "platform/path_helpers.h"

namespace zarnoft {

namespace {

const char* kUngespeichertText =
    "Synchronisationsvorgaben wurden noch nicht gespeichert.\r Soll jetzt gespeichert werden?";
DateiDialog SammlungsDialog(const std::string& titel, const std::string& verzeichnis) {
  DateiDialog d;
  d.titel = titel;
  d.verzeichnis = verzeichnis;
  d.filter = {{"SyncDatensätze", "*.syc"}, {"Alle Dateien", "*.*"}};
  d.endung = "syc";
  return d;
}

std::string Absolut(const std::string& pfad) {
  if (!pfad.empty() && pfad[0] == '/') return pfad;
  std::error_code fehler;
  std::filesystem::path hier = std::filesystem::current_path(fehler);
  if (fehler) return pfad;
  return (hier / pfad).lexically_normal().string();
}

}  // namespace

SammlungsDienste Hauptfenster::SammlungsHelfer() const {
  SammlungsDienste d;
  d.log = dienste_.log;
  d.fs = fs_;
  return d;
}

bool Hauptfenster::Speichernunter1Frage() {
  Log(LogStufe::kBefehl, "Main: Speichern unter");
  Meldungsbox box;
  box.titel = "Ungespeichert";
  box.text = kUngespeichertText;
  box.knoepfe = Knoepfe::kJaNeinAbbrechen;
  box.symbol = Symbol::kAusrufezeichen;
  box.standard = Antwort::kJa;
  switch (ansicht_->Meldung(box)) {
    case Antwort::kJa:
      return Speichernunter();
    case Antwort::kNein:
      return true;
    default:
      return false;
  }
}

void Hauptfenster::AlleLoeschen() {
  // Each job is deleted as the delete command would (its run asked to stop, the two log lines),
  // but the grid is redrawn once at the end, not after every job.
  while (!sammlung_.Leer()) {
    Log(LogStufe::kGrundbefehl, "Eing: Eingabe wird gelöscht");
    std::unique_ptr<TVergleichThread> job = sammlung_.Entfernen(0);
    if (!job->Thread.Leer()) dienste_.laeufe->StopAnfordern(job->Thread);
    Log(LogStufe::kDebugAusfuehrlich, "Main: Vorgang gelöscht");
  }
  TabelleZeichnen();
  ansicht_->Aktivieren(Steuerelement::kLoesch, false);
  ansicht_->Aktivieren(Steuerelement::kHolen, false);
}

void Hauptfenster::BNeuClick() {
  Befehl([&] {
    Log(LogStufe::kBefehl, "Main: Neu startet");
    if (Ungespeichert() && !Speichernunter1Frage()) return;
    AlleLoeschen();
    MarkiereUnveraendert(marker::kUnveraendert);
    ansicht_->Titel(kFensterTitel);
    zustand_.SammlungsDatei.clear();
  });
}

bool Hauptfenster::OeffnenMoeglich(const std::string& pfad) {
  std::string fehler;
  switch (SammlungPruefen(pfad, fs_, &fehler)) {
    case SammlungsPruefung::kLesbar:
      return true;
    case SammlungsPruefung::kFehlt: {
      Meldungsbox box;
      box.titel = kFensterTitel;
      box.text = "Die Auftragssammlung " + pfad +
                 " existiert noch nicht.\rSie wird beim Speichern angelegt.";
      box.knoepfe = Knoepfe::kOk;
      box.symbol = Symbol::kInformation;
      ansicht_->Meldung(box);
      return true;
    }
    case SammlungsPruefung::kUngeeignet:
      break;
  }
  Log(LogStufe::kWarnung, "Main: " + fehler);
  Meldungsbox box;
  box.titel = "Fehler";
  box.text = fehler;
  box.knoepfe = Knoepfe::kOk;
  box.symbol = Symbol::kStopp;
  ansicht_->Meldung(box);
  return false;
}

void Hauptfenster::Oeffnen(const std::string& pfad) {
  ansicht_->Statuspanel(0, "Öffnen...");
  ansicht_->NachrichtenVerarbeiten();
  AlleLoeschen();
  MarkiereUnveraendert(marker::kUnveraendert);
  GeoeffnetZeigen(oeffnen(pfad, &sammlung_, &zustand_, SammlungsHelfer()));
}

void Hauptfenster::GeoeffnetZeigen(const SammlungGeoeffnet& geoeffnet) {
  if (geoeffnet.gelesen) TabelleZeichnen();
  // The caption names the file first as it was given, then by its name alone.
  ansicht_->Titel(std::string(kFensterTitel) + " - " + geoeffnet.name);
  MarkiereUnveraendert(marker::kGeladen);
  ansicht_->Statuspanel(0, "");
  ansicht_->Titel(std::string(kFensterTitel) + " - " + zustand_.SammlungsDatei);
  if (!geoeffnet.AnzahlStimmt) {
    Meldungsbox box;
    box.titel = kFensterTitel;
    box.text = geoeffnet.AnzahlFehler() +
               ".\rGeöffnet sind die Aufträge, die sie enthält; Speichern schreibt die Sammlung "
               "mit dieser Anzahl.";
    box.symbol = Symbol::kAusrufezeichen;
    ansicht_->Meldung(box);
  }
}

void Hauptfenster::BOffnenClick() {
  Befehl([&] {
    Log(LogStufe::kBefehl, "Main: Öffnen startet");
    if (Ungespeichert() && !Speichernunter1Frage()) return;
    DateiDialog d = SammlungsDialog("Syncronisationsvorgaben", zustand_.SammlungsVerzeichnis);
    d.muss_existieren = true;
    std::string pfad;
    if (!ansicht_->DateiOeffnenDialog(d, &pfad)) return;
    if (!OeffnenMoeglich(pfad)) return;
    Oeffnen(pfad);
  });
}

void Hauptfenster::FormShow(const std::vector<std::string>& argumente) {
  Befehl([&] {
    for (const std::string& m : orts_meldungen_) {
      Meldungsbox box;
      box.titel = kFensterTitel;
      box.text = m;
      box.symbol = Symbol::kAusrufezeichen;
      ansicht_->Meldung(box);
    }
    orts_meldungen_.clear();
    // Only the lower-case word stands for "none"; "Nil" is a file name.
    if (argumente.empty() || argumente[0] == "nil") return;
    const std::string pfad = Absolut(argumente[0]);
    if (!OeffnenMoeglich(pfad)) return;
    Oeffnen(pfad);
  });
}

void Hauptfenster::Speichern() {
  ansicht_->Statuspanel(0, "Speichern...");
  ansicht_->NachrichtenVerarbeiten();
  // Saving is when a job of an older collection gets its identity; opening changes nothing.
  for (size_t i = 0; i < sammlung_.Anzahl(); ++i) {
    if (sammlung_.An(i)->Kennung.empty()) sammlung_.An(i)->Kennung = NeueKennung();
  }
  // A refused write leaves "Speichern..." standing, and caption and marker as they were.
  const SammlungGespeichert gespeichert =
      SammlungSpeichern(sammlung_, &zustand_, SammlungsHelfer());
  ansicht_->Titel(std::string(kFensterTitel) + " - " + gespeichert.datei);
  MarkiereUnveraendert(marker::kGespeichert);
  ansicht_->Statuspanel(0, "");
}

bool Hauptfenster::Speichernunter() {
  if (sammlung_.Leer()) return false;
  DateiDialog d =
      SammlungsDialog("Syncronisationsverzeichnisse speichern", zustand_.SammlungsVerzeichnis);
  d.dateiname = zustand_.SammlungsDatei;
  std::string pfad;
  for (;;) {
    if (!ansicht_->DateiSpeichernDialog(d, &pfad)) return false;
    // An existing file is updated in place, so it must be a collection (or text that can become
    // one): a directory or someone's binary file is refused instead of being written into.
    std::string fehler;
    const SammlungsPruefung pruefung = SammlungPruefen(pfad, fs_, &fehler);
    if (pruefung == SammlungsPruefung::kUngeeignet) {
      Log(LogStufe::kWarnung, "Main: " + fehler);
      Meldungsbox box;
      box.titel = "Fehler";
      box.text = fehler;
      box.symbol = Symbol::kStopp;
      ansicht_->Meldung(box);
      return false;
    }
    // Another collection would lose its jobs by a slip in the file list: ask first, and on No
    // let the user choose again.
    if (pruefung == SammlungsPruefung::kFehlt || EigeneDatei(pfad) || ErsetzenErlaubt(pfad)) break;
    d.verzeichnis = DirectoryPart(pfad);
    d.dateiname = NamePart(pfad);
  }
  zustand_.SammlungsDatei = NamePart(pfad);
  zustand_.SammlungsVerzeichnis = DirectoryPart(pfad);
  Speichern();
  return true;
}

bool Hauptfenster::EigeneDatei(const std::string& pfad) {
  if (zustand_.SammlungsDatei.empty()) return false;
  const std::string eigene = zustand_.Pfad();
  if (eigene == pfad) return true;
  std::string a, b;
  return fs_->RealPath(eigene, &a) && fs_->RealPath(pfad, &b) && a == b;
}

bool Hauptfenster::ErsetzenErlaubt(const std::string& pfad) {
  Log(LogStufe::kBefehl, "Main: Speichern unter vorhandene Datei " + pfad);
  Meldungsbox box;
  box.titel = "Speichern unter";
  box.text = NamePart(pfad) + " existiert bereits. Soll sie ersetzt werden?";
  box.knoepfe = Knoepfe::kJaNein;
  box.symbol = Symbol::kAusrufezeichen;
  box.standard = Antwort::kNein;
  return ansicht_->Meldung(box) == Antwort::kJa;
}

void Hauptfenster::Speichernunter1Click() {
  Befehl([&] { Speichernunter(); });
}

void Hauptfenster::BSpeichernClick() {
  Befehl([&] {
    Log(LogStufe::kBefehl, "Main: Speichern startet");
    if (zustand_.SammlungsDatei.empty()) {
      Speichernunter();
    } else if (!sammlung_.Leer()) {
      Speichern();
    }
  });
}

}  // namespace zarnoft
