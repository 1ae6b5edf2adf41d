// The directory size listing beside each directory field of the main window: how many bytes in
// how many files the directory holds, with or without its subdirectories, counted on a thread
// of its own while the user goes on typing.
//
// Two parts:
//  - Verzlisting, one listing: walks one directory tree and reports its running totals. It runs
//    on a worker thread and touches no window; what it shows goes through a ListingMelder.
//  - GroessenListings, the main window's side: at most one listing per side (source, target),
//    restarted on every change of a field and on the subdirectory switch, the stored result of
//    each side's last completed listing (the expected file count of a taken job comes from
//    there), and the display on the window through a ListingAnzeige.
//
// Threads. Each side has one worker thread that runs its listings one after the other. A new
// listing of a side stops the one before it (the walk notices at the start of its next
// directory) and waits until that one has unwound, so typing a path letter by letter never
// leaves more than one walk per side running; a listing that was replaced before it began is
// dropped without running. The worker never waits for the GUI thread: its totals go into a
// small snapshot per side, and the GUI thread is handed one call at a time to show the latest
// snapshot (updates that arrive while one is queued are folded into it). A listing never changes
// the process's current directory, never follows a symbolic link and skips special files; what
// the job's exclusion patterns leave out it leaves out too, so that the label counts what a run
// would take.
#ifndef ZARNOFT_EDITOR_SIZE_LISTING_H_
#define ZARNOFT_EDITOR_SIZE_LISTING_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "editor/listing_service.h"
#include "editor/main_view.h"
#include "engine/exclusions.h"
#include "log/log.h"
#include "platform/file_system.h"

namespace zarnoft {

// The totals of a listing, as the label shows them: Millionen * 1,000,000 + Bytes bytes in
// Dateien files. Bytes stays below one million after every addition. 64 bits, so that today's
// disks do not overflow it. Files of size 0 add no file (as the label always counted).
struct ListingErgebnis {
  int64_t Millionen = 0;
  int64_t Bytes = 0;
  int64_t Dateien = 0;
  friend bool operator==(const ListingErgebnis&, const ListingErgebnis&) = default;
};

// The label text: "(12.345 Bytes in 3 Dateien)" while the walk goes on, " 12.345 Bytes in 3
// Dateien " once it has run to its end.
std::string ListingText(const ListingErgebnis& e, bool fertig);

// Where a listing reports. Called on the listing's worker thread; must not block for long.
class ListingMelder {
 public:
  virtual ~ListingMelder() = default;
  // The directory being walked now (with its final "/").
  virtual void PfadGemeldet(const std::string& verzeichnis) = 0;
  // The totals so far, after every finished directory; fertig once the walk has run to its end.
  virtual void ErgebnisGemeldet(const ListingErgebnis& e, bool fertig) = 0;
};

// One listing of one directory. Created on the GUI thread with every field set, then run by
// Execute on a worker thread; Stoppen may be called from any thread at any time.
class Verzlisting {
 public:
  // ausnahmen: what the walk leaves out, as a run does (a left-out directory is not read);
  // null leaves out nothing.
  Verzlisting(std::string pfad, ListingSeite seite, bool rekursiv, FileSystem* fs,
              ListingMelder* melder, std::shared_ptr<const AusnahmeRegeln> ausnahmen = nullptr);

  // Counts the tree. A path that is no directory this process may enter ends it at once, with
  // nothing shown and Fertig() false. A stop request makes the walk return at the start of its
  // next directory; Fertig() is then set all the same, but nothing more is shown.
  void Execute();

  // Asks the walk to stop; does not wait.
  void Stoppen() { stop_.store(true, std::memory_order_relaxed); }
  bool Gestoppt() const { return stop_.load(std::memory_order_relaxed); }

  const std::string& Pfad() const { return pfad_; }
  ListingSeite Listingseite() const { return seite_; }
  // Read after Execute has returned.
  bool Fertig() const { return fertig_; }
  const ListingErgebnis& Ergebnis() const { return ergebnis_; }

 private:
  // rel: the directory below the root ("" for the root itself), as the patterns see it.
  void VerzeichnisDurchlaufen(std::string verzeichnis, const std::string& rel);
  void DateiZaehlen(int64_t groesse);
  void ErgebnisZeigen();

  const std::string pfad_;
  const ListingSeite seite_;
  const bool rekursiv_;
  FileSystem* const fs_;
  ListingMelder* const melder_;
  const std::shared_ptr<const AusnahmeRegeln> ausnahmen_;
  std::atomic<bool> stop_{false};
  bool fertig_ = false;
  ListingErgebnis ergebnis_;
};

// What the main window shows of the listings. Every call comes on the GUI thread.
class ListingAnzeige {
 public:
  virtual ~ListingAnzeige() = default;
  // The size label of a side (Hgroesse, ZGroesse); "" clears it.
  virtual void GroesseZeigen(ListingSeite seite, const std::string& text) = 0;
  // Status bar panel 2: the directory being listed, already shortened to the panel; "" clears it.
  virtual void ListingPfadZeigen(const std::string& text) = 0;
  // The width of panel 2 and the width of a text in the window's font, in pixels.
  virtual int ListingPfadBreite() = 0;
  virtual int TextBreite(const std::string& text) = 0;
};

// The listings on the main window, through its view: the labels Hgroesse and ZGroesse, and
// status panel 2 at the width that the window's layout gives it now.
class HauptListingAnzeige : public ListingAnzeige {
 public:
  HauptListingAnzeige() = default;
  HauptListingAnzeige(HauptAnsicht* ansicht, std::function<int()> panel2_breite) {
    Verbinden(ansicht, std::move(panel2_breite));
  }
  // The window exists only after its logic, which needs the listings: it is connected then, and
  // until then nothing is shown. ansicht must outlive the object; panel2_breite is asked on the
  // GUI thread.
  void Verbinden(HauptAnsicht* ansicht, std::function<int()> panel2_breite) {
    ansicht_ = ansicht;
    panel2_breite_ = std::move(panel2_breite);
  }
  void GroesseZeigen(ListingSeite seite, const std::string& text) override {
    if (ansicht_ == nullptr) return;
    ansicht_->TextSetzen(
        seite == ListingSeite::kHerkunft ? Steuerelement::kHgroesse : Steuerelement::kZGroesse,
        text);
  }
  void ListingPfadZeigen(const std::string& text) override {
    if (ansicht_ != nullptr) ansicht_->Statuspanel(2, text);
  }
  int ListingPfadBreite() override { return ansicht_ != nullptr ? panel2_breite_() : 0; }
  int TextBreite(const std::string& text) override {
    return ansicht_ != nullptr ? ansicht_->TextBreite(text) : 0;
  }

 private:
  HauptAnsicht* ansicht_ = nullptr;
  std::function<int()> panel2_breite_;
};

// Hands a call to the GUI thread and returns at once; the GUI thread runs the calls in the order
// they were handed in. Called from worker threads. A call handed in after the GUI has gone may
// be dropped.
using GuiPost = std::function<void(std::function<void()>)>;

class GroessenListings : public GroessenListing {
 public:
  // anzeige, fs and log must outlive this object (nullptr fs: the real file system; nullptr
  // log: no log). GUI thread only, for every member function.
  GroessenListings(ListingAnzeige* anzeige, GuiPost post, FileSystem* fs, Protokoll* log);
  // Stops both sides and waits for their workers to unwind (a walk stops within one directory).
  // Calls still queued for the GUI thread then do nothing.
  ~GroessenListings() override;
  GroessenListings(const GroessenListings&) = delete;
  GroessenListings& operator=(const GroessenListings&) = delete;

  // Stops the side's listing, clears its label, forgets its stored result and starts a new
  // listing of `pfad` (the field's text as typed). Logs "Main: Verzeichnislisting (Herkunft)
  // gestartet" or "... (Ziel) ..." at level 8.
  void ListingStarten(ListingSeite seite, const std::string& pfad, bool rekursiv,
                      const std::vector<std::string>& ausnahmen) override;
  // Asks the side's listing to stop and forgets it; from then on it shows nothing.
  void ListingStoppen(ListingSeite seite) override;
  // The file count of the side's last completed listing (Ergebnis(seite).Dateien).
  int64_t Dateien(ListingSeite seite) const override { return Ergebnis(seite).Dateien; }

  // The side's last completed listing; all 0 while one runs, after a stop, or when the last one
  // could not enter its directory.
  ListingErgebnis Ergebnis(ListingSeite seite) const;
  // Whether the side has a listing that has not ended yet.
  bool Laeuft(ListingSeite seite) const;

 private:
  struct Zustand;
  struct Seitenarbeit;

  Seitenarbeit& Arbeit(ListingSeite seite);
  const Seitenarbeit& Arbeit(ListingSeite seite) const;
  // On the GUI thread: show the latest snapshot of a side, if its listing is still the one in
  // the list.
  void SchnappschussZeigen(ListingSeite seite);
  // On the GUI thread: the end notification of a listing.
  void ListingFertig(const std::shared_ptr<Verzlisting>& listing);
  void Arbeiten(Seitenarbeit* arbeit);
  void PfadAnzeigen(const std::string& verzeichnis);

  ListingAnzeige* anzeige_;
  GuiPost post_;
  FileSystem* fs_;
  Protokoll* log_;
  std::shared_ptr<Zustand> zustand_;
  std::unique_ptr<Seitenarbeit> herkunft_;
  std::unique_ptr<Seitenarbeit> ziel_;
  std::string pfad_gezeigt_;  // what panel 2 shows now
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_SIZE_LISTING_H_
