// The comparison itself: the recursive visit of the source tree (Herkunft) and the target tree
// (Ziel) of one run, deciding every file by the tables of engine/decisions.h from the dates of
// both sides and the job's last run (engine/last_run.h). Whether a file or directory that exists
// on one side only was deleted on the other side or is new is told from the record of the last
// run (engine/run_record.h): deleted when the record has it and this side still holds it as it
// was then; new otherwise. The walk reads a directory's block of the old record when it enters
// the directory, and writes the directory's block of the new one (what stands on both sides
// after its decisions) when it leaves it. The program's own directory ".zarnoft" is left out
// at every depth (platform/reserved_dir.h).
//
// Each directory's entries are decided in name order (byte order of the names).
//
// Relative paths begin and end with "/" ("/" for the roots); a full path is root + relative
// path + name, the roots carrying no trailing "/".
//
// Symbolic links are never followed: a link is decided like a file by its own dates and handed
// to the copy step as it is; a link to a directory is not descended into. Sockets, FIFOs and
// device files are left alone, each named once per run (LaufKontext::Hinweis) and counted as
// skipped, not as failures. A file dated in the future never replaces another version and
// never wins a double change; it is named and left as it is. A directory that leads
// back to a root or to a directory above it (a bind mount) is not entered.
//
// A two-way run deletes nothing while it walks: what the record says was deleted on the other
// side is collected (LaufKontext::entfernungen) and its entry carried over into the new record
// unchanged; Entfernen removes it after the walk, once the deletion guard allowed its side, each
// decided again on a fresh look right before it goes. A removal that fails, is cancelled or
// refused is so met again by the next run; one that succeeded leaves the name on neither side,
// and the next run drops it. A one-sided directory goes as a whole only when everything below it
// is as recorded; otherwise it is created on the other side and visited with its record, so
// that what is new goes over and what is as recorded is collected name by name.
//
// Where a root folds case (FAT, exFAT; FileSystem::FoldsCase), names of the other side that
// differ only in case would be one file there: each is a failure ("Namen unterscheiden sich nur
// in Groß-/Kleinschreibung: ...", all of them named) and none is compared, copied or deleted. A
// name that the two sides spell differently is one file, under the spelling of the side that
// does not fold; a copy (or a double change) from the folding side onto it is refused as such
// a failure, since that side does not hold the name exactly.
//
// A directory that the run created or changed on one side only gets its counterpart's last
// write and last access once its visit is done (after everything below it was written), so that
// a copied tree ends with the source's directory dates, as cp -a leaves them; a directory the run
// changed on both sides or on neither keeps its own, and so do an archive's. Removals after the
// walk change their directory's date as any removal does.
//
// A probe run (LaufKontext::Probelauf) decides alike and changes nothing: each action is
// reported where it would be done, and a directory it would create is visited as an empty one.
//
// What cannot be done - a directory that cannot be read or created, a file that cannot be
// queried, a name that is a file on one side and a directory on the other - is logged with the
// system's reason and counted as a failure of the run (LaufKontext::Fehler); the walk goes on.
// Where a side cannot be read, nothing on the other side is taken for deleted.
//
// Both roots are held open while the walk lives (FileSystem::HoldRoot): no path below them is
// resolved through a link, and a directory that became a link or another directory after its
// listing fails each step inside it ("Verzeichnis wurde während des Laufs ersetzt") and is left
// as it is.
//
// One Verzeichnisvergleich per run, used by the run's thread only. It works on the run's
// LaufKontext (whose last run it changes while it visits a directory it has just created on the
// other side) and must not outlive it.
#ifndef ZARNOFT_ENGINE_WALK_H_
#define ZARNOFT_ENGINE_WALK_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/decisions.h"
#include "engine/run_context.h"
#include "engine/run_record.h"
#include "platform/file_system.h"

namespace zarnoft {

class Verzeichnisvergleich {
 public:
  explicit Verzeichnisvergleich(LaufKontext& k);
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

  // After the walk: asks the deletion guard about each side and removes what the walk collected
  // (LaufKontext::entfernungen), each looked at again right before it goes. A cancel or a stop
  // request ends the removals; what is left stays. A probe run reports instead of removing.
  void Entfernen();

  int32_t Gezaehlt() const { return gezaehlt_; }
  // Where the new record's block of the roots lies, once VerzeichnisVergleichen("") returned.
  uint64_t WurzelBlock() const { return neu_block_; }

 private:
  // In a probe run, the side of the directory being visited that the walk would have created:
  // it does not exist and counts as empty.
  enum class Gedacht { kKeine, kHerkunft, kZiel };

  // A fresh look at one path. False when the look failed (the failure is counted); *s then
  // tells nothing.
  bool Ansehen(const std::string& pfad, Seite* s);
  // Lists a directory; false when it could not be read in full (the failure is counted).
  bool Auflisten(const std::string& dir, std::vector<FileInfo>* eintraege);
  // Takes what the job's exclusions leave out from both listings of a directory (each sorted by
  // name), so that it is neither compared, copied, deleted, counted nor entered.
  void AusgenommeneEntfernen(const std::string& rel, std::vector<FileInfo>* quelle,
                             std::vector<FileInfo>* ziel);
  // Where a side folds case (FAT): names of the other side that only differ in case are one
  // file there. Such names are left out of both listings and are a failure each; a name that
  // each side spells differently is taken as one, under the spelling of the side that does not
  // fold (which alone holds it exactly), and noted in fremd_.
  void FaltungenAbgleichen(const std::string& rel, std::vector<FileInfo>* quelle,
                           std::vector<FileInfo>* ziel);
  // Whether the step (a copy, or a double change, which may copy either way) may go on for a
  // name each side spells differently: never a copy from the side that folds onto a name it does
  // not hold exactly (a failure).
  bool SchreibungErlaubt(const std::string& rel, const std::string& name, Schritt schritt);
  // Whether a directory is the move-aside store (logged, then left out).
  bool IstLager(const std::string& pfad);
  // Whether entering a directory would lead back to a root or to a directory being visited.
  bool FuehrtZurueck(const FileInfo& verzeichnis, const std::string& pfad);
  // The two passes over one directory pair, and one entry of the target pass.
  void Durchgaenge(const std::string& rel, const std::string& hdir, const std::string& zdir);
  void Quelldurchgang(const std::string& rel, const std::string& hdir, const std::string& zdir,
                      const std::vector<FileInfo>& quelle, const std::vector<FileInfo>& ziel,
                      bool ziel_gelesen, std::vector<bool>* geprueft);
  void ZielEintrag(const std::string& rel, const std::string& hdir, const std::string& zdir,
                   const FileInfo& e);
  // Visits a subdirectory pair; h and z are the two directories' own entries.
  void Besuchen(const std::string& rel_name, const FileInfo& h, const FileInfo& z);
  // A subdirectory met in the source pass, and one met in the target pass only.
  // z is the target's entry of the same name as the listing found it.
  void HerkunftsVerzeichnis(const std::string& rel, const FileInfo& e, Seite z);
  void ZielVerzeichnis(const std::string& rel, const FileInfo& e);
  // A directory on one side only, which the other side lacks (h: it is the source's).
  void EinseitigesVerzeichnis(const std::string& rel, const FileInfo& e, bool h);
  // Removes a one-sided directory that the record lists, entry by entry: what is still as the
  // last run left it goes, what is new or changed stays. True when the directory is gone.
  bool StandLoeschen(const std::string& da, const StandEintrag& alt, bool h);
  // Whether everything below a one-sided directory is still as the record lists it (nothing
  // new, changed, left out or the program's own), so that the whole tree may go; its files are
  // counted into *dateien.
  bool GanzWieZuletzt(const std::string& dir, uint64_t block, bool h, int64_t* dateien);
  // Visits a directory just created on the other side. The new directory then gets the owner
  // and permission bits of the one it copies. `alt_block`: the record's block of the directory
  // when the record lists it (what stayed of a deletion), else 0: everything below is new.
  // h: the model is the source's.
  void NeuBesuchen(const std::string& rel_name, const std::string& neu, const FileInfo& vorbild,
                   bool h, uint64_t alt_block);
  // A directory the walk creates: made, or in a probe run only reported.
  Status Anlegen(const std::string& pfad);
  // A directory pair whose visit is done (hdir, zdir with their "/"; h, z their entries from
  // before the visit): a directory that the run changed on one side only takes the dates of its
  // counterpart, as a copy does; one changed on both sides, or on neither, keeps its own. An
  // archive's directories are no copies of the source's and keep theirs.
  void DatumUebertragen(const std::string& hdir, const std::string& zdir, const FileInfo& h,
                        const FileInfo& z);

  // --- the record ---
  // The old record's entry of a name in the directory being visited; nullptr for none.
  const StandEintrag* AltEintrag(const std::string& name) const;
  // Reads a block of the old record; a block that cannot be read ends the use of the record
  // (the failure is counted), so that nothing more is deleted.
  bool AltLesen(uint64_t block, std::vector<StandEintrag>* eintraege);
  // Notes a name that stands on both sides after its decision, as the two sides show it.
  void Eintragen(const std::string& name, const FileInfo& h, const FileInfo& z, uint64_t block = 0);
  // Carries an entry of the old record over unchanged (a deletion that was not carried out), a
  // directory's entries below it too.
  void Uebernehmen(const StandEintrag& alt);
  uint64_t BlockUebernehmen(uint64_t alt_block);
  // Decides one file; h and z are the two sides as their listings found them.
  void DateiPruefen(const std::string& rel, const std::string& name, Seite h, Seite z);
  const Entscheidung& Entscheiden(const Seite& h, const Seite& z, const StandEintrag* alt) const;
  // An entry that is no regular file, left alone: named and counted once per run.
  void NichtRegulaer(const std::string& pfad);
  void Ausfuehren(const Entscheidung& e, const std::string& rel, const std::string& name,
                  const Seite& h, const Seite& z, const StandEintrag* alt);
  // Notes in the new record how a name stands after its step.
  void Nachtragen(Schritt schritt, bool getan, const std::string& rel, const std::string& name,
                  const Seite& h, const Seite& z, const StandEintrag* alt);
  // A deletion on one side rests on the other side's file being gone. It is carried out only
  // while the other side's directory can still be entered, so that a drive that went away
  // during the run does not make every file look deleted.
  bool AndereSeiteErreichbar(const std::string& dir, const std::string& path);

  // One collected removal, after the walk.
  void DateiEntfernen(const Entfernungsliste::Eintrag& e);
  void BaumEntfernen(const Entfernungsliste::Eintrag& e);

  LaufKontext& k_;
  // Both roots, held while the walk lives: every path in the trees is resolved beneath them.
  std::unique_ptr<RootHold> herkunft_halt_;
  std::unique_ptr<RootHold> ziel_halt_;
  // Device and inode of the move-aside store, once it exists.
  std::optional<std::pair<uint64_t, uint64_t>> lager_kennung_;
  Gedacht gedacht_ = Gedacht::kKeine;
  // In a probe run, the directories the real run would have created (full paths).
  std::set<std::string> gedachte_;
  int32_t gezaehlt_ = 0;
  // Device and inode of the directories being visited, both sides, the roots first.
  std::vector<std::pair<uint64_t, uint64_t>> offen_;
  // Whether each root finds names whatever their case (FileSystem::FoldsCase).
  bool falten_h_ = false;
  bool falten_z_ = false;
  // Names (relative path + name) that the two sides spell differently, with the folding side's
  // own spelling (a full path), for the failure line.
  std::map<std::string, std::string> fremd_;
  // The roots' own entries as the run began: their dates go to a root the run changed.
  FileInfo wurzel_h_;
  FileInfo wurzel_z_;
  // The entries NichtRegulaer has named.
  std::set<std::string> gemeldet_;
  // A link the other side's file system cannot hold has been named (once per run).
  bool keine_links_gemeldet_ = false;
  // The directory being visited: its entries in the old record (in name order) and the entries
  // of the new one. nullptr while the run keeps no record.
  const std::vector<StandEintrag>* alt_ = nullptr;
  mutable size_t alt_naechstes_ = 0;  // in *alt_: the entry after the one AltEintrag found last
  std::vector<StandEintrag>* neu_ = nullptr;
  // Handed from a directory to the subdirectory it enters (its old block), and back (its new).
  uint64_t alt_block_ = 0;
  uint64_t neu_block_ = 0;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_WALK_H_
