// Hauptfenster: the logic of the main window TZarnoft, without any toolkit. It owns the job
// collection and every rule of the editor: taking, fetching and deleting jobs; new, open and
// save; the grid and the status description; starting comparisons and their end notifications;
// the layout; start-up and closing. It talks to the screen only through a HauptAnsicht, so every
// flow is tested with a fake view.
//
// Threads: GUI thread only, all of it. Handlers are named after control and event, as the window
// forwards them. A handler never lets an exception out: an error that would reach the event loop
// (a refused write, "Kann nicht nach <path> schreiben") ends the command and is shown by
// AllgemeinerFehler, as the application's general error handler does.
//
// Lifetime: the view, the services and the starter must outlive the object. The window closes
// only after the last run has ended (see FormClose); runs still under way when it is destroyed
// all the same are cancelled, and their end notifications then do nothing.
//
// Usage (the Qt window):
//   Hauptfenster logik(this, dienste);
//   FensterGeometrie g = logik.FormCreate(orte);      // then place the window, show it
//   logik.FormShow(argumente);                        // after the window is shown
//   void TZarnoft::closeEvent(QCloseEvent* e) { if (!logik.FormClose(Geometrie())) e->ignore(); }
#ifndef ZARNOFT_EDITOR_MAIN_WINDOW_H_
#define ZARNOFT_EDITOR_MAIN_WINDOW_H_

#include <memory>
#include <string>
#include <vector>

#include "editor/general_error.h"
#include "editor/listing_service.h"
#include "editor/main_layout.h"
#include "editor/main_view.h"
#include "editor/run_collector.h"
#include "engine/undo.h"
#include "jobs/collection_file.h"
#include "jobs/job.h"
#include "jobs/job_texts.h"
#include "jobs/run_starter.h"
#include "log/log.h"
#include "log/log_writer.h"
#include "platform/date_time.h"
#include "platform/file_places.h"
#include "platform/file_system.h"
#include "settings/main_settings.h"

namespace zarnoft {

// The texts of the change marker, status bar panel 1.
namespace marker {
inline constexpr const char* kUnveraendert = "Unverändert";
inline constexpr const char* kGeaendert = "Geändert";
inline constexpr const char* kGespeichert = "Gespeichert";
inline constexpr const char* kGeladen = "Geladen";
}  // namespace marker

// The services of the main window. Pointers must outlive it; null members as noted.
struct HauptDienste {
  Protokoll* log = nullptr;               // null: no log lines
  LogSchreiber* log_schreiber = nullptr;  // the process's writer, set up by FormCreate and after
                                          // the settings dialog; null: no set-up (tests)
  FileSystem* fs = nullptr;               // null: the real file system
  Clock* uhr = nullptr;                   // null: the system clock
  LaufStarter* laeufe = nullptr;          // required: starts comparisons
  GroessenListing* listing = nullptr;     // null: no size listings
};

class Hauptfenster {
 public:
  Hauptfenster(HauptAnsicht* ansicht, const HauptDienste& dienste);
  ~Hauptfenster();
  Hauptfenster(const Hauptfenster&) = delete;
  Hauptfenster& operator=(const Hauptfenster&) = delete;

  // --- Start-up ---
  // The creation step at the program's file places: their directories made (DateiOrte-
  // Vorbereiten), program part "Edit", log set-up, grid headers, empty collection, the buttons
  // disabled, the stored geometry read, EinstellungenLesen, kind 1 and its sub-modes. Returns
  // the stored geometry, its width raised to what the view's font needs (LayoutBedarf);
  // FensterPlatzieren turns it into a place on the screens.
  FensterGeometrie FormCreate(const DateiOrte& orte);
  // Once the window is shown: the messages about file places that could not be made, then the
  // collection named by the first command-line argument (after the program name), when there is
  // one and it is not "nil" ("Nil" is a file name).
  void FormShow(const std::vector<std::string>& argumente);

  // --- Commands (menu item and button share one) ---
  void SetzenClick();           // take the edited job into the collection
  void HolenClick();            // fetch the selected job into the edit fields
  void LoeschClick();           // delete the selected job
  void BNeuClick();             // new collection
  void BOffnenClick();          // open a collection
  void BSpeichernClick();       // save
  void Speichernunter1Click();  // "Speichern unter..."
  void SyncNowClick();          // run the selected job now
  // "Probelauf": a probe run of the selected job (nothing changes), with its own progress
  // window; at its end the probe window lists what the real run would do.
  void ProbelaufClick();
  // "Letzten Lauf rückgängig machen": the plan of taking back the selected job's last run, worked
  // out on a thread of its own and shown in the probe window, whose button takes the run back;
  // the job's last run then goes back to the one before it (the collection changes). Refused
  // while the job runs.
  void RueckgaengigClick();
  void HVerzBClick();  // choose the source folder
  void ZVerzBClick();  // choose the target folder
  // The exclusions dialog for the job being edited. Its patterns belong to the edit fields as
  // the directories do: a take puts them into the new job, a fetch replaces them with the
  // fetched job's, and the collection changes only with a take.
  void AusnahmenClick();
  // A stop signal (SIGHUP, SIGTERM, SIGINT): the window closes without a question, the runs under
  // way are cancelled (each removes its copy under way and is not recorded), and nothing is
  // saved that the user did not save: not the collection, not the window's settings.
  void SignalBeenden();
  void Einstellungen1Click();  // settings dialog, then log set-up and EinstellungenLesen
  void Info1Click();           // about box
  void Beenden1Click();        // log, then close the window (FormClose decides)

  // --- Events ---
  void HerkunftChange();
  void ZielChange();
  void UnterverzeichnisseClick();
  void ArtChange();                  // the user picked a kind
  void AnzeigeMouseMove(int zeile);  // the pointer is over grid row `zeile` (-1 outside rows)
  void AnzeigeSelectCell(int zeile);
  void FormResize(int breite, int hoehe);  // client size

  // --- Closing ---
  // The window is about to close; `jetzt` is its client size and outer position. True: it may
  // close now (settings written). False: it stays open - the user called closing off, or runs
  // are being cancelled first; then the window is closed again through HauptAnsicht::Schliessen
  // after the last run has ended.
  bool FormClose(const FensterGeometrie& jetzt);

  // The general error handler: error box captioned with the application title, the text with
  // "." appended, stop icon, OK; logged at level 1.
  void AllgemeinerFehler(const std::string& text);

  // --- State, for the view and the tests ---
  const Sammlung& Jobs() const { return sammlung_; }
  const SammlungsZustand& Zustand() const { return zustand_; }
  const EditorEinstellungen& Einstellungen() const { return einstellungen_; }
  int AnzahlVergleiche() const { return anzahl_vergleiche_; }
  const HauptLayout& Layout() const { return layout_; }
  // The patterns of the job being edited.
  const std::vector<std::string>& Ausnahmen() const { return ausnahmen_; }

 private:
  template <typename F>
  void Befehl(F f);
  void Log(LogStufe stufe, const std::string& text);
  // The collection changed (a take, a deletion, a completed run): it counts as unsaved, and the
  // change marker (status bar panel 1) says "Geändert".
  void MarkiereGeaendert();
  // The collection is as its file, or new: no longer unsaved; the marker says how it came to be
  // so (marker::kUnveraendert, kGespeichert, kGeladen).
  void MarkiereUnveraendert(const char* wie);
  bool Ungespeichert() const;

  // Grid and description.
  void TabelleZeichnen();
  void AnzeigeSetzen(int zeile, bool erzwingen);
  int Zeile() const;
  void DoppeltFuellen();
  void LayoutAnwenden();
  void SyncAllow();
  void ZaehlerAnzeigen();

  // Take.
  bool VerzeichnisBereit(const std::string& pfad);

  // Collections.
  bool Speichernunter1Frage();
  bool Speichernunter();
  // Whether `pfad` is the file of the current collection (saving there replaces nothing else).
  bool EigeneDatei(const std::string& pfad);
  // Asks before a save replaces another existing collection (default No).
  bool ErsetzenErlaubt(const std::string& pfad);
  void AlleLoeschen();
  bool OeffnenMoeglich(const std::string& pfad);
  void Oeffnen(const std::string& pfad);
  // Shows what opening found: the grid, caption, status bar, a box for a wrong job count.
  void GeoeffnetZeigen(const SammlungGeoeffnet& geoeffnet);
  void Speichern();
  SammlungsDienste SammlungsHelfer() const;

  // Runs.
  // False: nothing started; `melden`: say so in a box.
  bool AuftragStarten(TVergleichThread* job, bool probelauf = false, bool melden = true);
  // A run (or undo) just started for `job`: its handle becomes the job's Thread and the running
  // count grows. An empty handle started nothing: `was` ("Der Vergleich") says so in a box, ""
  // says nothing. Returns whether it started.
  bool LaufUebernehmen(TVergleichThread* job, LaufHandle lauf, const std::string& was);
  void VergleichBeendet(LaufHandle lauf, const LaufErgebnis& ende, LaufSammler* sammler);
  void ProbelaufBeendet(TVergleichThread* job, const LaufErgebnis& ende, LaufSammler* sammler);
  // "Jetzt synchronisieren" of a probe window: the real run of `job` (when it is still the job of
  // `herkunft` and `ziel` in the collection). "" when it started, otherwise why not.
  std::string ProbeSynchronisieren(const TVergleichThread* job, const std::string& herkunft,
                                   const std::string& ziel);
  // The job a window opened for: `job` while it is still in the collection with the same pair of
  // directories (another job may since lie at its address); nullptr otherwise.
  TVergleichThread* GleicherJob(const TVergleichThread* job, const std::string& herkunft,
                                const std::string& ziel);
  // After an end notification: the window closes once the last run has ended, when it waits for
  // that.
  void SchliessenWennFertig();

  // Undo (editor/main_window_undo.cpp). `lauf`: the kept run whose plan the user saw ("" for the
  // plan itself). False: nothing started; `melden`: say so in a box.
  bool RueckgaengigStarten(TVergleichThread* job, bool probelauf, const std::string& lauf,
                           bool melden);
  void RueckgaengigBeendet(LaufHandle lauf, bool probelauf, const RueckgaengigErgebnis& e,
                           LaufSammler* sammler);
  void PlanZeigen(TVergleichThread* job, const std::string& lauf, Gesammelt g);
  // "Jetzt rückgängig machen" of the plan's window: "" when the undo started, otherwise why not.
  std::string RueckgaengigJetzt(const TVergleichThread* job, const std::string& herkunft,
                                const std::string& ziel, const std::string& lauf);

  void EinstellungenLesen();
  // The end of FormClose: cancels the runs and closes after the last one, or closes now.
  bool LaeufeBeendenUndSchliessen();
  void OrdnerWaehlen(Steuerelement feld, const std::string& log, const std::string& text);
  void ListingStarten(ListingSeite seite);
  void FeldGeaendert(ListingSeite seite);
  void AusnahmenSetzen(std::vector<std::string> muster);

  HauptAnsicht* ansicht_;
  HauptDienste dienste_;
  FileSystem* fs_;
  Clock* uhr_;
  GroessenListing kein_listing_;
  GroessenListing* listing_;

  DateiOrte orte_;
  std::vector<std::string> orts_meldungen_;  // shown by FormShow
  Sammlung sammlung_;
  SammlungsZustand zustand_;
  EditorEinstellungen einstellungen_;
  // Why Main.sda is damaged, empty when it is not: until the user saves the settings, runs
  // delete nothing and closing writes nothing into the file.
  std::string einstellungs_fehler_;
  StatusBeschreibung beschreibung_;
  std::vector<std::string> ausnahmen_;  // of the job being edited (AusnahmenClick)
  HauptLayout layout_;
  int angezeigte_zeile_ = 0;
  int anzahl_vergleiche_ = 0;
  // Closing: runs are being cancelled, and the window closes after the last end notification.
  bool schliessen_nach_laeufen_ = false;
  bool schliessen_fertig_ = false;
  bool durch_signal_ = false;  // SignalBeenden: FormClose asks nothing and writes nothing
  // Cleared by the destructor: an end notification that still arrives afterwards (the program
  // ended another way than through FormClose) finds it empty and touches nothing.
  std::shared_ptr<Hauptfenster*> selbst_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_MAIN_WINDOW_H_
