// The main window's side of the directory size listings: one listing per side, restarted on
// every change of the side's field and of the subdirectory switch. The main window logic
// (Hauptfenster) calls it; the listing itself (threads, labels, status panel 2) lives behind it.
// The defaults do nothing and count nothing, for a window without size listings.
//
// Threads: every call on the GUI thread. An implementation never waits for a listing thread.
#ifndef ZARNOFT_EDITOR_LISTING_SERVICE_H_
#define ZARNOFT_EDITOR_LISTING_SERVICE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace zarnoft {

// Which side a size listing lists: the source's field or the target's.
enum class ListingSeite { kHerkunft = 1, kZiel = 2 };

class GroessenListing {
 public:
  virtual ~GroessenListing() = default;

  // Stops the side's listing and starts a new one for `pfad` (the field's text as typed). It
  // leaves out what the job's exclusion patterns `ausnahmen` leave out of a run (a pattern that
  // cannot be used is passed over, as a run passes over it).
  virtual void ListingStarten(ListingSeite seite, const std::string& pfad, bool unterverzeichnisse,
                              const std::vector<std::string>& ausnahmen) {
    (void)seite;
    (void)pfad;
    (void)unterverzeichnisse;
    (void)ausnahmen;
  }
  // Asks the side's listing to stop, without waiting, and forgets it.
  virtual void ListingStoppen(ListingSeite seite) { (void)seite; }
  // The number of files of the side's last completed listing; 0 while one runs, after a stop,
  // and when none ever completed. A take uses it for the job's expected file count.
  virtual int64_t Dateien(ListingSeite seite) const {
    (void)seite;
    return 0;
  }
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_LISTING_SERVICE_H_
