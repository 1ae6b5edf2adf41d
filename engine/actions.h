// Aktion: one thing a run does to the trees (or, in a probe run, would do), and LaufBericht, where
// a run reports them as they happen together with its failures.
//
// A real run reports an action once it is done; a probe run (LaufKontext::Probelauf) reports it
// where it would do it and changes nothing. Both decide alike, so for the same trees the two lists
// are the same: the probe is the run's plan.
//
// The line of an action (AktionsZeile) is the format that zarnoft-sync prints for a probe run and
// with -v; scripts read it, so it stays as it is:
//
//   kopieren > Ziel  d/a.txt  4.096
//   löschen > Herkunft  alt/  -
//
// action, " > ", the side it acts on, two blanks, the path relative to the root (a directory's
// with a closing "/"; control characters escaped), two blanks, the size in bytes with "."
// grouping the thousands, or "-" where there is none. The action and the side never contain two
// blanks in a row and the size never a blank, so a reader splits at the first and at the last
// two blanks.
#ifndef ZARNOFT_ENGINE_ACTIONS_H_
#define ZARNOFT_ENGINE_ACTIONS_H_

#include <cstdint>
#include <string>

#include "copy/failure_report.h"
#include "platform/file_system.h"

namespace zarnoft {

enum class AktionsArt {
  kKopieren,          // a file copied onto the side (from the other side)
  kLoeschen,          // a file or directory deleted on the side
  kAuslagern,         // a file deleted on the side after its copy went into the move-aside store
  kAnlegen,           // a directory created on the side
  kArchivieren,       // a dated archive copy made in the target (the path is the copy's)
  kBeideBehalten,     // a double change: both versions kept as V1 and V2 on both sides
  kNachfragen,        // a double change the user is asked about
  kBelassen,          // a double change the job's policy leaves alone
  kWiederherstellen,  // an undo puts a kept version (or a former name) back in place
};

enum class AktionsSeite { kHerkunft, kZiel, kBeide };

// One side of a name as the action found it: size -1 where there is no file.
struct Dateistand {
  int64_t groesse = -1;
  FileTime datum{};
  bool Da() const { return groesse >= 0; }
};

struct Aktion {
  AktionsArt art = AktionsArt::kKopieren;
  AktionsSeite seite = AktionsSeite::kZiel;
  // Relative to the roots, without a leading "/"; a directory's ends in "/".
  std::string rel;
  Dateistand herkunft;
  Dateistand ziel;
  // The action settles a double change (a copy by the job's policy or by the user's answer).
  bool doppelt = false;

  // The size the line shows: what is copied, or what goes; -1 for none.
  int64_t Groesse() const;
  friend bool operator==(const Aktion& a, const Aktion& b) {
    return a.art == b.art && a.seite == b.seite && a.rel == b.rel;
  }
};

// "kopieren", "löschen", ...; and "Herkunft", "Ziel", "beide".
const char* AktionsName(AktionsArt art);
const char* SeitenName(AktionsSeite seite);
// The line of an action (see above).
std::string AktionsZeile(const Aktion& a);

// What a run reports besides its log. Called on the run's thread.
class LaufBericht : public FehlerBericht {
 public:
  virtual void Getan(const Aktion& a) = 0;
  // A notice that is no failure: in a probe run, that the deletion guard would ask.
  virtual void Hinweis(const std::string& /*text*/) {}
};

// The counts of a run by kind of action: the runner's summary line, the probe window's counts.
struct Zusammenfassung {
  int64_t dateien_zum_ziel = 0;
  int64_t bytes_zum_ziel = 0;
  int64_t dateien_zur_herkunft = 0;
  int64_t bytes_zur_herkunft = 0;
  int64_t geloescht = 0;
  int64_t ausgelagert = 0;
  int64_t angelegt = 0;
  int64_t archiviert = 0;
  int64_t wiederhergestellt = 0;  // an undo's versions put back
  int64_t doppelt = 0;            // double changes, however settled
  int64_t fehler = 0;

  void Zaehlen(const Aktion& a);
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_ACTIONS_H_
