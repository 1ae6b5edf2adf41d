// The journal of a run: what it did to the trees, one line per step, so that the run can be
// taken back (engine/undo.h). Kept runs are described in the target's reserved directory:
//
//   <Ziel>/.zarnoft/laeufe/<name>.journal     the journal of the run <name>
//   <Herkunft or Ziel>/.zarnoft/laeufe/<name>/<relative path>   what the run kept on that side
//
// <name> is the run's start in UTC ("20261209T051500Z", "-2", "-3", ... when taken). The file is
// text in UTF-8: a header, a line "---", then one line per step, fields separated by tabs (tabs,
// line breaks and backslashes in a field are escaped as "\t", "\n" and "\\"):
//
//   zarnoft-journal 1
//   herkunft <path>
//   ziel <path>
//   beginn <sec> <nsec>
//   vorher <begin sec> <nsec> <end sec> <nsec> <Aufruf>    the job's last run before this one
//   ---
//   <step> <H|Z> <relative path> <second path> <size> <sec> <nsec> <inode> <mode>
//
// Each step is written before it is carried out (one write, no flush), so that a run that is
// killed leaves a journal naming everything it may have touched; the undo looks at each place
// and does only what is still to be done. The journal is flushed to the disk before the run is
// recorded as done. A step's fields (unused ones are "" or 0):
//
//   datum         a directory's date before the run first changed something in it (sec, nsec)
//   angelegt      a directory the run created
//   behalten      the version the next "geschrieben" replaces, kept in the side's store
//   geschrieben   a file the run put in place: size, date and inode of the new file
//   entfernt      a file or link moved into the side's store: its size, date, inode
//   verzeichnis   a directory the run removed (empty by then): its date and mode
//   ausgelagert   a file moved into the move-aside store (deletion mode 3): where (full path)
//   umbenannt     an entry renamed to the second path (both versions kept): its inode
//
// Pure functions; any thread.
#ifndef ZARNOFT_ENGINE_RUN_JOURNAL_H_
#define ZARNOFT_ENGINE_RUN_JOURNAL_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {

inline constexpr int kJournalVersion = 1;
inline constexpr char kJournalEndung[] = ".journal";
// The directory below a root's reserved directory that holds the kept runs.
inline constexpr char kLaeufeName[] = "laeufe";

enum class JournalSchritt {
  kDatum,
  kAngelegt,
  kBehalten,
  kGeschrieben,
  kEntfernt,
  kVerzeichnis,
  kAusgelagert,
  kUmbenannt,
};

struct JournalEintrag {
  JournalSchritt schritt = JournalSchritt::kGeschrieben;
  bool ziel = true;   // the side: the target (Z) or the source (H)
  std::string rel;    // relative to the side's root, no leading "/"; "" for the root itself
  std::string zweit;  // kUmbenannt: the new relative path; kAusgelagert: the full store path
  int64_t groesse = 0;
  FileTime datum;
  uint64_t inode = 0;
  uint32_t modus = 0;
};

struct JournalKopf {
  std::string herkunft;
  std::string ziel;
  FileTime beginn;
  // The job's last run before this one, so that an undo can give it back.
  FileTime vorher_beginn;
  FileTime vorher_ende;
  double vorher_aufruf = 0;
};

// The header, up to and including the line "---".
std::string JournalKopfText(const JournalKopf& kopf);
// One step's line, with its line break.
std::string JournalZeile(const JournalEintrag& e);

// Reads a whole journal. False, with a German reason in *fehler, when it is not one this program
// can take back: not a journal, a version from a later program, a garbled or cut-off line.
bool JournalLesen(const std::string& text, JournalKopf* kopf,
                  std::vector<JournalEintrag>* eintraege, std::string* fehler);

// What the kept runs' upkeep needs of a journal, without taking in its steps: the header, and the
// bytes its stores hold (the sizes of its "behalten" and "entfernt" steps). A run without changes
// looks at every kept journal when it starts, and a first copy's journal holds a line per file;
// so this reads only the header in full and the steps by their first two fields. A cut-off or
// garbled step line counts nothing. False when the header is not one JournalLesen takes.
bool JournalUeberblick(const std::string& text, JournalKopf* kopf, uint64_t* bytes);

// The name of a run that began at `beginn` (UTC): "20261209T051500Z".
std::string LaufName(FileTime beginn);
// The start that a run's name (or a journal's file name) tells; false when it is none.
bool LaufNameLesen(const std::string& name, FileTime* beginn);

// A side's directory of kept runs: root + "/.zarnoft/laeufe".
std::string LaeufeVerzeichnis(const std::string& wurzel);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_JOURNAL_H_
