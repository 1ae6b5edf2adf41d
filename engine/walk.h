// The comparison itself: the recursive visit of the source tree (Herkunft) and the target tree
// (Ziel) of one run, deciding every file from three dates: the source file's, the target file's
// and the job's last run (Vergleichsdatum). Nothing is stored per file between runs; whether a
// file that exists on one side only was deleted on the other side or is new is told from its
// Zugriffsdatum (engine/file_date.h).
//
// Each directory's entries are decided in name order (byte order of the names).
//
// Relative paths begin and end with "/" ("/" for the roots); a full path is root + relative
// path + name, the roots carrying no trailing "/".
//
// Symbolic links are never followed: a link is decided like a file by its own dates and handed
// to the copy step as it is; a link to a directory is not descended into. Sockets, FIFOs and
// device files are left alone with a level-1 line and are not counted.
//
// One Verzeichnisvergleich per run, used by the run's thread only. It works on the run's
// LaufKontext (whose Vergleichsdatum it changes while it visits a directory it has just created
// on the other side) and must not outlive it.
#ifndef ZARNOFT_ENGINE_WALK_H_
#define ZARNOFT_ENGINE_WALK_H_

#include <cstdint>
#include <string>

#include "engine/run_context.h"
#include "platform/file_system.h"

namespace zarnoft {

class Verzeichnisvergleich {
 public:
  explicit Verzeichnisvergleich(LaufKontext& k) : k_(k) {}
  Verzeichnisvergleich(const Verzeichnisvergleich&) = delete;
  Verzeichnisvergleich& operator=(const Verzeichnisvergleich&) = delete;

  // Visits one directory pair and, recursively, its subdirectories. The run calls it with ""
  // for the roots; a subdirectory comes as parent's relative path + name, without the closing
  // "/". Returns at once when the run's stop request is set; a pass that starts while the
  // window's cancel flag is set reads no entries.
  void VerzeichnisVergleichen(const std::string& rel);

  // One more file examined: Gezaehlt + 1, and the window's overall gauge follows.
  void DateiZaehlen();
  // The walk enters (or returns to) a directory: shown in the window's AktVerz field.
  void VerzeichnisZeigen(const std::string& rel);

  int32_t Gezaehlt() const { return gezaehlt_; }
  const std::string& AktuellesVerzeichnis() const { return aktuelles_verzeichnis_; }

 private:
  // What lstat() says of one name on one side; `da` is false when there is nothing.
  struct Seite {
    bool da = false;
    FileInfo info;
  };

  Seite Lies(const std::string& path);
  // Whether a directory is the move-aside store (logged, then left out).
  bool IstLager(const std::string& pfad);
  // A subdirectory met in the source pass, and one met in the target pass only.
  // z is the target's entry of the same name as the listing found it.
  void HerkunftsVerzeichnis(const std::string& rel, const FileInfo& e, Seite z);
  void ZielVerzeichnis(const std::string& rel, const FileInfo& e);
  // Whether anything in a directory's subtree was written or used since the last run. A
  // directory's own dates do not change when a file inside it is written in place, so a
  // directory is removed for having been deleted on the other side only when nothing in it is
  // newer than the last run; otherwise it is restored on the other side like a new one.
  bool SeitherBenutzt(const std::string& dir);
  // Whether a directory that the other side lacks is to be removed: a fresh look at its own
  // dates shows no use since the last run, and nothing inside it was used either.
  bool NichtBenutzt(const std::string& dir);
  // Visits a directory just created on the other side: everything below counts as new.
  void NeuBesuchen(const std::string& rel_name);
  // Decides one file; h and z are the two sides as their listings found them.
  void DateiPruefen(const std::string& rel, const std::string& name, Seite h, Seite z);
  void Synchronisieren(const std::string& rel, const std::string& name, const Seite& h,
                       const Seite& z, int64_t a, int64_t b, int zeile);
  void Kopieren(const std::string& von, const std::string& nach, int64_t groesse);
  // A deletion on one side rests on the other side's file being gone. It is carried out only
  // while the other side's directory can still be entered, so that a drive that went away
  // during the run does not make every file look deleted.
  bool AndereSeiteErreichbar(const std::string& dir, const std::string& path);

  LaufKontext& k_;
  int32_t gezaehlt_ = 0;
  std::string aktuelles_verzeichnis_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_WALK_H_
