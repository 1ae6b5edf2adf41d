// Entfernungsliste: the files and directory trees a two-way run is going to delete (or move aside),
// collected while it walks and removed after the walk (Verzeichnisvergleich::Entfernen), so that
// the deletion guard can look at all of them before the first goes, and a cancelled run removes
// nothing it had not removed yet. Each keeps what the record of the last run said of its side,
// so that it is decided again on a fresh look right before it goes.
//
// Memory grows with the number of removals only: one small record each, the paths packed into one
// buffer (about 100 bytes for a path of 25 characters; 100,000 removals stay below 16 MB).
//
// A value owned by the run; used by the run's thread only.
#ifndef ZARNOFT_ENGINE_REMOVALS_H_
#define ZARNOFT_ENGINE_REMOVALS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/actions.h"
#include "engine/run_record.h"

namespace zarnoft {

struct Entscheidung;

class Entfernungsliste {
 public:
  struct Eintrag {
    AktionsSeite seite;  // kHerkunft or kZiel
    bool verzeichnis;    // a directory tree, else a file
    std::string rel;     // relative path with the name, without a leading "/" (as an action's)
    // The walk's decision for a file (its log lines and its step); nullptr for a tree.
    const Entscheidung* entscheidung;
    int64_t dateien;  // files that go with it: 1 for a file, those inside for a tree
    // The record's entry of the name, with only the removed side's look (the other side is gone)
    // and, for a tree, the place of its block.
    StandEintrag stand;
  };

  // `stand`: the record's entry of the name; only its kind, size, block and the side's look are
  // kept.
  void Hinzufuegen(AktionsSeite seite, bool verzeichnis, const std::string& rel,
                   const Entscheidung* entscheidung, int64_t dateien, const StandEintrag& stand);

  size_t Anzahl() const { return eintraege_.size(); }
  bool Leer() const { return eintraege_.empty(); }
  Eintrag Holen(size_t i) const;
  // Files that would go on one side (trees with what is inside them).
  int64_t Dateien(AktionsSeite seite) const;
  // Bytes held, for the memory bound.
  size_t Speicher() const;

 private:
  struct Kompakt {
    uint32_t anfang;  // into pfade_
    uint32_t laenge;
    const Entscheidung* entscheidung;
    uint32_t dateien;
    uint8_t seite;
    bool verzeichnis;
    EntryKind art;
    int64_t groesse_oder_block;  // a file's size, a tree's block
    StandSeite war;
  };
  std::vector<Kompakt> eintraege_;
  std::string pfade_;
  int64_t dateien_herkunft_ = 0;
  int64_t dateien_ziel_ = 0;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_REMOVALS_H_
