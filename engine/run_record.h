// The record (Stand) of a two-way job's last run: every file and directory that stood on both
// sides when the last run that counted as done ended, with what each side looked like then. A
// file found on one side only is deleted there only when the record lists it and that side
// still looks as recorded; everything else is new. One record per pair of roots, named by the
// roots' identities (engine/root_identity.h), in the program's state directory.
//
// The file is made for trees of millions of entries, so it is never held whole in memory:
// - one block per directory, holding that directory's entries in name order; each name shares
//   its leading bytes with the name before it, numbers are variable-length;
// - a directory's block is written when the walk leaves the directory, after the blocks of its
//   subdirectories, whose places its entries hold; the root's block comes last and its place is
//   in the file's tail. So the walk writes as it goes and reads a directory's block when it
//   enters it, in whatever order it visits them;
// - a header with a version and the two roots' identities, a tail with a check sum of everything
//   before it. A record that is cut short, damaged, of a later version or of another pair of
//   roots is refused with a German reason, and the run then deletes nothing.
// A record is written to a temporary file that is flushed and then renamed over the old one,
// whose directory is flushed as well, so that a crash leaves the old record or the new one.
//
// StandLeser and StandSchreiber are used by one thread at a time (the run's).
#ifndef ZARNOFT_ENGINE_RUN_RECORD_H_
#define ZARNOFT_ENGINE_RUN_RECORD_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"

namespace zarnoft {

// The version that this program writes and the only one it reads.
constexpr uint32_t kStandVersion = 1;

// What one side of a name looked like at the end of the last run. Inode and status change are 0
// where the side's file system has none that last (FAT, exFAT): they are then not compared.
struct StandSeite {
  FileTime mtime;
  FileTime ctime;
  uint64_t inode = 0;
  friend bool operator==(const StandSeite&, const StandSeite&) = default;
};

struct StandEintrag {
  std::string name;
  EntryKind art = EntryKind::kFile;
  // A double change that the run left alone: the entry is the one before the change (or an empty
  // one when there was none), so that the next run meets the same double change again.
  bool offen = false;
  int64_t size = 0;  // the file's size (both sides had it); 0 for a directory
  StandSeite h;
  StandSeite z;
  // For a directory: where its block lies in the file; 0 when it has none.
  uint64_t block = 0;
  friend bool operator==(const StandEintrag&, const StandEintrag&) = default;
};

// The two roots a record belongs to, as their identities.
struct StandPaar {
  std::string herkunft;
  std::string ziel;
};

// The record's file name for a pair: the two roots' last path elements and the beginnings of
// their identities, so that a person can tell which pair it is; the full identities make it
// unique.
std::string StandDateiName(const std::string& herkunft, const std::string& ziel,
                           const StandPaar& paar);

// Whether `jetzt` (one side as it is now) still looks as recorded in `war`: size, last write,
// and where recorded the inode and the status change. `art` is the recorded kind.
bool Unveraendert(const StandEintrag& war, const StandSeite& war_seite, const FileInfo& jetzt);

// The recorded side of a file as it is now. `dauerhaft`: the side's file system keeps inodes and
// status changes that last (else they are recorded as 0).
StandSeite SeiteVon(const FileInfo& info, bool dauerhaft);

// The record's check sum, over its bytes in 8-byte words: fast enough that checking a record of a
// million entries costs milliseconds, and any damaged byte changes it.
class StandPruefsumme {
 public:
  void Dazu(const char* p, size_t n);
  uint64_t Wert() const;

 private:
  void Wort();
  uint64_t h_ = 0x243f6a8885a308d3ULL;
  uint64_t woerter_ = 0;
  unsigned char rest_[8] = {};
  size_t voll_ = 0;
};

class StandLeser {
 public:
  StandLeser() = default;
  ~StandLeser();
  StandLeser(const StandLeser&) = delete;
  StandLeser& operator=(const StandLeser&) = delete;

  // Opens and checks the record at `pfad` for `paar`. Missing: the file is not there. Any other
  // failure sets *grund to a German reason (cut short, damaged, version, other pair, unreadable).
  Status Oeffnen(const std::string& pfad, const StandPaar& paar, std::string* grund);
  bool offen() const { return fd_ >= 0; }

  // The root's entries, and those of a directory whose entry names a block. False when the block
  // cannot be read or decoded (the reason in *grund); *eintraege is then empty.
  bool Wurzel(std::vector<StandEintrag>* eintraege, std::string* grund);
  bool Block(uint64_t wo, std::vector<StandEintrag>* eintraege, std::string* grund);

  uint64_t Eintraege() const { return eintraege_; }

 private:
  int fd_ = -1;
  uint64_t groesse_ = 0;
  uint64_t wurzel_ = 0;
  uint64_t eintraege_ = 0;
  uint64_t daten_beginn_ = 0;
  std::string daten_;  // the block being decoded, kept for the next one
};

class StandSchreiber {
 public:
  StandSchreiber() = default;
  ~StandSchreiber();  // an unfinished record's temporary file is removed
  StandSchreiber(const StandSchreiber&) = delete;
  StandSchreiber& operator=(const StandSchreiber&) = delete;

  // Starts a record that will replace `pfad`; its directory must exist.
  Status Beginnen(const std::string& pfad, const StandPaar& paar);
  // Writes one directory's entries (in name order) and returns where the block lies; 0 after a
  // failure, which Abschliessen reports.
  uint64_t BlockSchreiben(const std::vector<StandEintrag>& eintraege);
  // Ends the record with the root's block and puts it in place (flushed, renamed, directory
  // flushed). A failure leaves the previous record as it was.
  Status Abschliessen(uint64_t wurzel);
  bool begonnen() const { return fd_ >= 0; }

 private:
  Status Schreiben(const std::string& bytes);
  Status Leeren();

  int fd_ = -1;
  std::string pfad_;
  std::string temp_;
  std::string puffer_;
  uint64_t geschrieben_ = 0;  // bytes handed to the file so far (the buffer not included)
  StandPruefsumme summe_;     // over everything handed to the file so far
  uint64_t eintraege_ = 0;
  Status fehler_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_RECORD_H_
