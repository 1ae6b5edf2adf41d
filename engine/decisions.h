// The decisions of the walk for one name: the rows of the two-way table and of the copy table,
// written as data. Each row reads like the decision it is and says why in a comment; the rows
// are tried from the top, and the first that holds applies.
//
// A row looks only at a Lage: what both sides hold under the name and how their dates stand to
// each other and to the last run. Pure functions of their input; any thread.
#ifndef ZARNOFT_ENGINE_DECISIONS_H_
#define ZARNOFT_ENGINE_DECISIONS_H_

#include <cstdint>
#include <string>

#include "engine/last_run.h"
#include "engine/run_record.h"
#include "platform/file_system.h"

namespace zarnoft {

// One side of a name: `da` is false when there is nothing of that name.
struct Seite {
  bool da = false;
  FileInfo info;
};

// How one name stands on both sides. "A file" is anything but a directory: a link is decided
// like a file by its own dates. What needs the last run is worked out only when a row asks, so
// that a name with equal dates costs no more than the comparison of two numbers.
class Lage {
 public:
  // `grenze`: the latest date that is not in the future (ZukunftsGrenze of the run's start).
  // `alt`: the name's entry in the record of the last run, nullptr when it has none.
  Lage(const Seite& h, const Seite& z, const LetzterLauf& letzter,
       FileTime grenze = FileTime{INT64_MAX, 0}, const StandEintrag* alt = nullptr);

  bool h_datei = false;  // the source holds a file of that name
  bool z_datei = false;  // the target holds one
  bool gleich = false;   // both dates fall into the same two-second step (or neither is a file)
  bool h_neuer = false;  // the source's date is the later one
  bool z_neuer = false;
  bool h_zukunft = false;  // the source's file is dated in the future
  bool z_zukunft = false;
  bool prueft_herkunft = false;  // a copy job copies a source written since the last run
  bool prueft_ziel = false;      // a copy job puts back a target written since the last run
  // A double change that the last run left alone, and that is still there: both sides differ
  // from what the record kept of the name.
  bool offener_konflikt = false;

  // Written since the last run: for a double change its end counts, for a copy job its start.
  bool HSeitEnde() const { return h_datei && letzter_.GeaendertSeitEnde(h_.info); }
  bool ZSeitEnde() const { return z_datei && letzter_.GeaendertSeitEnde(z_.info); }
  bool HSeitBeginn() const { return h_datei && letzter_.GeaendertSeitBeginn(h_.info); }
  bool ZSeitBeginn() const { return z_datei && letzter_.GeaendertSeitBeginn(z_.info); }
  // A file on one side only that the last run left on both sides, and that this side still
  // holds as it was then: its counterpart was deleted since. Anything else is new.
  bool HGeloeschtDrueben() const;
  bool ZGeloeschtDrueben() const;

 private:
  const Seite& h_;
  const Seite& z_;
  const LetzterLauf& letzter_;
  const StandEintrag* alt_;
};

// What a row has the walk do.
enum class Schritt {
  kNichts,             // leave both sides as they are
  kDoppelteAenderung,  // changed on both sides: the job's policy or the user decides
  kZukunft,            // a file dated in the future against another version: both stay, named
  kZumZiel,            // copy the source's file onto the target
  kZurHerkunft,        // copy the target's file onto the source
  kHerkunftLoeschen,   // delete the source's file (under the deletion mode)
  kZielLoeschen,       // delete the target's file
};

// The roots and the name a row's log lines speak of.
struct Namen {
  const std::string& herkunft;
  const std::string& ziel;
  const std::string& rel;  // the relative directory, beginning and ending with "/"
  const std::string& name;
};

// One row of a table.
struct Entscheidung {
  const char* was;  // the decision in words
  bool (*gilt)(const Lage&);
  Schritt schritt;
  // The level-2 line that tells what was done, written only once it was done; nullptr for rows
  // whose step logs for itself (nothing done, a double change).
  std::string (*bericht)(const Namen&);
  // The level-7 line that tells why; nullptr for none.
  std::string (*grund)(const Namen&);
};

// The row of a two-way job for a name, and the row of a copy job.
const Entscheidung& SyncEntscheidung(const Lage& l);
const Entscheidung& KopierEntscheidung(const Lage& l);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_DECISIONS_H_
