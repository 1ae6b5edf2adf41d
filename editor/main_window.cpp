// Hauptfenster: start-up, the grid, the status description, the kind lists and the layout. The
// commands live in main_window_edit.cpp (take, fetch, delete, folders), main_window_files.cpp
// (new, open, save) and main_window_runs.cpp (runs, closing, errors).
#include "editor/main_window.h"

#include <cstdio>

#include "editor/main_window_internal.h"

namespace zarnoft {

Hauptfenster::Hauptfenster(HauptAnsicht* ansicht, const HauptDienste& dienste)
    : ansicht_(ansicht),
      dienste_(dienste),
      fs_(dienste.fs != nullptr ? dienste.fs : FileSystem::Default()),
      uhr_(dienste.uhr != nullptr ? dienste.uhr : Clock::System()),
      listing_(dienste.listing != nullptr ? dienste.listing : &kein_listing_),
      layout_(LayoutBerechnen(hauptlayout::kMinBreite, hauptlayout::kMinHoehe, 0, 2)),
      selbst_(std::make_shared<Hauptfenster*>(this)) {}

Hauptfenster::~Hauptfenster() {
  *selbst_ = nullptr;
  if (anzahl_vergleiche_ > 0) dienste_.laeufe->Schliessen();
  listing_->ListingStoppen(ListingSeite::kHerkunft);
  listing_->ListingStoppen(ListingSeite::kZiel);
}

void Hauptfenster::Log(LogStufe stufe, const std::string& text) {
  if (dienste_.log != nullptr) dienste_.log->Zeile(stufe, text);
}

void Hauptfenster::MarkiereGeaendert() {
  zustand_.Geaendert = true;
  ansicht_->Statuspanel(1, marker::kGeaendert);
}

void Hauptfenster::MarkiereUnveraendert(const char* wie) {
  zustand_.Geaendert = false;
  ansicht_->Statuspanel(1, wie);
}

bool Hauptfenster::Ungespeichert() const {
  return zustand_.Geaendert && !sammlung_.Leer();
}

int Hauptfenster::Zeile() const {
  // Like a grid with a fixed header row, the selection is never above row 1.
  int n = ansicht_->GewaehlteZeile();
  return n < 1 ? 1 : n;
}

// --- Start-up ------------------------------------------------------------------------------------

FensterGeometrie Hauptfenster::FormCreate(const DateiOrte& orte) {
  orte_ = orte;
  orts_meldungen_ = DateiOrteVorbereiten(orte, fs_);
  zustand_.SammlungsVerzeichnis = orte.sammlungs_verzeichnis;
  if (dienste_.log_schreiber != nullptr) dienste_.log_schreiber->SetProgrammteil("Edit");

  // An empty collection, no run, no listing; nothing to take, fetch or delete yet.
  zustand_.SammlungsDatei.clear();
  ansicht_->Aktivieren(Steuerelement::kSetzen, false);
  ansicht_->Aktivieren(Steuerelement::kLoesch, false);
  ansicht_->Aktivieren(Steuerelement::kHolen, false);
  ansicht_->Aktivieren(Steuerelement::kSyncNow, false);
  AusnahmenSetzen({});
  MarkiereUnveraendert(marker::kUnveraendert);
  ansicht_->Titel(kFensterTitel);
  ZaehlerAnzeigen();

  if (dienste_.log_schreiber != nullptr) {
    dienste_.log_schreiber->LogStart(orte, true);
  }
  for (const std::string& m : orts_meldungen_) Log(LogStufe::kDateiAenderung, "Warn: " + m);
  Log(LogStufe::kDebugAusfuehrlich, "Main: InI wird geladen");
  FensterGeometrie g = FensterGeometrieLesen(orte.EinstellungsDatei(), fs_);

  zustand_.SammlungsVersion = 0;
  zustand_.SpeicherVersion = kSammlungsFormat;
  EinstellungenLesen();
  if (!einstellungs_fehler_.empty()) {
    const std::string text =
        EinstellungsDateiBeschaedigt(orte.EinstellungsDatei(), einstellungs_fehler_);
    Log(LogStufe::kWarnung, "Warn: " + text);
    std::fprintf(stderr, "zarnoft: %s\n", text.c_str());
    orts_meldungen_.push_back(text +
                              "\rBis Sie die Einstellungen speichern, löscht Zarnoft keine Datei "
                              "(Löschverhalten \"Niemals löschen\").");
  }

  ansicht_->EintraegeSetzen(Steuerelement::kArt, ArtEintraege());
  ansicht_->PositionSetzen(Steuerelement::kArt, 0);
  DoppeltFuellen();
  ansicht_->PositionSetzen(Steuerelement::kDoppelt, 0);
  // The window opens at a width that the font fits, so that it is laid out and centred for the
  // width it really gets (a stored width below what the font needs is raised).
  layout_ = LayoutBerechnen(g.Breite, g.Hoehe, 0, 2, ansicht_->LayoutBedarf());
  g.Breite = layout_.Breite;
  TabelleZeichnen();
  Log(LogStufe::kDebug, "Main: FormCreate erledigt");
  return g;
}

void Hauptfenster::EinstellungenLesen() {
  einstellungen_.SammlungsVerzeichnis = zustand_.SammlungsVerzeichnis;
  zarnoft::EinstellungenLesen(orte_, &einstellungen_, fs_);
  zustand_.SammlungsVerzeichnis = einstellungen_.SammlungsVerzeichnis;
  // A damaged file tells nothing about the deletion mode the user chose; the mildest one holds
  // until the settings dialog has written a sound file.
  einstellungs_fehler_ = EinstellungsDateiFehler(orte_.EinstellungsDatei(), fs_);
  if (!einstellungs_fehler_.empty()) einstellungen_.Loeschen = LoeschModus::kNie;
}

// --- Grid and status description ---------------------------------------------------------------

void Hauptfenster::TabelleZeichnen() {
  Tabelle t;
  t.koepfe = SpaltenKoepfe();
  int zeile = Zeile();
  const int zeilen = static_cast<int>(sammlung_.Leer() ? 1 : sammlung_.Anzahl()) + 1;
  // The columns are fitted to the rows on every rebuild, so that a scroll bar that appears
  // after a take does not cut the last column.
  t.breiten = SpaltenBreiten(layout_.TabelleBreite, layout_.TabelleHoehe, zeilen);
  if (sammlung_.Leer()) {
    t.zeilen.push_back(LeereZeile());
  } else {
    t.zeilen.reserve(sammlung_.Anzahl());
    TextMeasure messen = [this](const std::string& s) { return ansicht_->TextBreite(s); };
    for (const TVergleichThread& job : sammlung_) {
      t.zeilen.push_back(ZeileFuer(job, einstellungen_.SofortSync, t.breiten, messen));
    }
  }
  ansicht_->TabelleSetzen(t);
  if (zeile > zeilen - 1) zeile = zeilen - 1;
  // The description follows what changed (a run's state, a deletion) even on the same row.
  AnzeigeSetzen(zeile, /*erzwingen=*/true);
  ansicht_->ZeileWaehlen(zeile);
  if (zeile >= 1 && !sammlung_.Leer()) {
    ansicht_->Aktivieren(Steuerelement::kLoesch, true);
    ansicht_->Aktivieren(Steuerelement::kHolen, true);
  }
  SyncAllow();
  Log(LogStufe::kDebugAusfuehrlich, "Main: Tabelle gezeichnet");
}

void Hauptfenster::AnzeigeSetzen(int zeile, bool erzwingen) {
  Log(LogStufe::kDebugAusfuehrlich, "Main: Anzeige wird gesetzt");
  if (zeile == angezeigte_zeile_ && !erzwingen) return;
  angezeigte_zeile_ = zeile;
  if (sammlung_.Leer()) {
    beschreibung_.Leeren();
    ansicht_->EintraegeSetzen(Steuerelement::kZeiten, {});
    ansicht_->TextSetzen(Steuerelement::kStatus1, beschreibung_.ErsteZeile);
    ansicht_->TextSetzen(Steuerelement::kStatus3, beschreibung_.ZweiteZeile);
    ansicht_->Sichtbar(Steuerelement::kStatus3, beschreibung_.ZweiteSichtbar);
    ansicht_->TextSetzen(Steuerelement::kStatus2, beschreibung_.Abgleich);
    ansicht_->TextSetzen(Steuerelement::kStatus4, beschreibung_.Ausnahmen);
    ansicht_->Sichtbar(Steuerelement::kStatus4, false);
    ansicht_->TextSetzen(Steuerelement::kStatus5, "");
    ansicht_->Sichtbar(Steuerelement::kStatus5, false);
    return;
  }
  const TVergleichThread* job = sammlung_.InZeile(zeile);
  if (job == nullptr) return;
  StatusBeschreiben(*job, einstellungen_.SofortSync, &beschreibung_);
  ansicht_->TextSetzen(Steuerelement::kStatus1, beschreibung_.ErsteZeile);
  ansicht_->TextSetzen(Steuerelement::kStatus3, beschreibung_.ZweiteZeile);
  ansicht_->Sichtbar(Steuerelement::kStatus3, beschreibung_.ZweiteSichtbar);
  ansicht_->TextSetzen(Steuerelement::kStatus2, beschreibung_.Abgleich);
  ansicht_->TextSetzen(Steuerelement::kStatus4, beschreibung_.Ausnahmen);
  ansicht_->Sichtbar(Steuerelement::kStatus4, !beschreibung_.Ausnahmen.empty());
  std::string fehler;
  for (const std::string& z : beschreibung_.Fehler) fehler += (fehler.empty() ? "" : "\n") + z;
  ansicht_->TextSetzen(Steuerelement::kStatus5, fehler);
  ansicht_->Sichtbar(Steuerelement::kStatus5, !fehler.empty());
  ansicht_->EintraegeSetzen(Steuerelement::kZeiten, ZeitenListe(*job));
}

void Hauptfenster::AnzeigeMouseMove(int zeile) {
  Befehl([&] {
    if (zeile != angezeigte_zeile_) AnzeigeSetzen(zeile, false);
  });
}

void Hauptfenster::AnzeigeSelectCell(int) {
  Befehl([&] { SyncAllow(); });
}

void Hauptfenster::SyncAllow() {
  ansicht_->Aktivieren(Steuerelement::kSyncNow, false);
  const TVergleichThread* job = sammlung_.InZeile(Zeile());
  if (job != nullptr && job->Thread.Leer()) {
    ansicht_->Aktivieren(Steuerelement::kSyncNow, true);
  }
}

void Hauptfenster::ZaehlerAnzeigen() {
  ansicht_->TextSetzen(Steuerelement::kLAnzVergl, LaufendeVergleicheText(anzahl_vergleiche_));
}

// --- Kind, sub-mode and layout -----------------------------------------------------------------

void Hauptfenster::DoppeltFuellen() {
  const VorgangsArt art = ArtAusPosition(ansicht_->Position(Steuerelement::kArt));
  ansicht_->EintraegeSetzen(Steuerelement::kDoppelt, DoppeltEintraege(art));
  ansicht_->PositionSetzen(Steuerelement::kDoppelt, DoppeltVorwahl(art));
}

void Hauptfenster::ArtChange() {
  Befehl([&] {
    DoppeltFuellen();
    FormResize(layout_.Breite, layout_.Hoehe);
  });
}

void Hauptfenster::FormResize(int breite, int hoehe) {
  Befehl([&] {
    Log(LogStufe::kDebugAusfuehrlich, "Main: FormResize");
    const int zeilen = static_cast<int>(sammlung_.Leer() ? 1 : sammlung_.Anzahl()) + 1;
    layout_ = LayoutBerechnen(breite, hoehe, ansicht_->Position(Steuerelement::kArt), zeilen,
                              ansicht_->LayoutBedarf());
    ansicht_->LayoutAnwenden(layout_);
    TabelleZeichnen();
  });
}

// --- Errors ------------------------------------------------------------------------------------

void Hauptfenster::AllgemeinerFehler(const std::string& text) {
  Log(kAllgemeinerFehlerStufe, AllgemeinerFehlerLogZeile(text));
  Meldungsbox box;
  box.titel = kAnwendungsTitel;
  box.text = AllgemeinerFehlerText(text);
  box.knoepfe = Knoepfe::kOk;
  box.symbol = Symbol::kStopp;
  ansicht_->Meldung(box);
}

}  // namespace zarnoft
