// The named values of a job: its kind (Art), the sub-modes of each kind (Doppelt), the flag bits
// that a prepared collection file may add to Doppelt, and the program's deletion mode.
//
// The collection file and Main.sda keep these as plain numbers; they are converted where those
// files are read and written (and where the editor's lists give a position). A value read from a
// file that names no enumerator is kept as it is and passed on: every enum here has a fixed
// underlying type, so it holds any number of that type, and the code that decides on it treats
// an unknown value as the files always did (an unknown kind is refused by the run, an unknown
// deletion mode deletes nothing).
#ifndef ZARNOFT_PLATFORM_JOB_MODES_H_
#define ZARNOFT_PLATFORM_JOB_MODES_H_

#include <cstdint>

namespace zarnoft {

// The kind of a job (Art). The editor's kind list holds the kinds in this order, so the kind is
// the list position + 1; kKeine is a job without a chosen kind.
enum class VorgangsArt : int32_t {
  kKeine = 0,
  kSynchronisieren = 1,  // "1: Synchronisieren": both sides are kept in step
  kKopieren = 2,         // "2: Herkunft auf Ziel kopieren": the source is written onto the target
  kArchivieren = 3,      // "3: Herkunft archivieren": dated copies of the source in the target
};

inline constexpr int32_t Zahl(VorgangsArt art) {
  return static_cast<int32_t>(art);
}
// Whether the run knows what to do with this kind.
inline constexpr bool Bekannt(VorgangsArt art) {
  return art == VorgangsArt::kSynchronisieren || art == VorgangsArt::kKopieren ||
         art == VorgangsArt::kArchivieren;
}

// --- Sub-modes (Doppelt, bits 0-2); the meaning depends on the kind -----------------------------
// Each sub-mode's number is its position in the editor's sub-mode list for that kind.

// A two-way job: what to do with a file changed on both sides since the last run.
enum class DoppelRegel : int {
  kNachfragen = 0,        // ask the user about each such file
  kNeuerenBehalten = 1,   // copy the newer version over the older
  kHerkunftBehalten = 2,  // copy the source's version onto the target
  kZielBehalten = 3,      // copy the target's version onto the source
  kBeideBehalten = 4,     // keep both, as "name V1" (source) and "name V2" (target) on both sides
  kKeineAktion = 5,       // leave both as they are
};

// A copy job: whose changes since the last run make a file be copied from source to target.
enum class KopierPruefung : int {
  kNurHerkunft = 0,  // "Herkunft geändert": a source file written since the last run
  kNurZiel = 1,      // "Ziel geändert": a target file written since (it is put back)
  kBeide = 2,        // "Egal welches": either
};
// Whether a target file written since the last run is overwritten from the source. Every
// sub-mode but kNurHerkunft checks the target, unknown ones included.
inline constexpr bool PrueftZiel(KopierPruefung p) {
  return p != KopierPruefung::kNurHerkunft;
}
// Whether a source file written since the last run is copied.
inline constexpr bool PrueftHerkunft(KopierPruefung p) {
  return p == KopierPruefung::kNurHerkunft || p == KopierPruefung::kBeide;
}

// An archive job: which source files get a dated copy.
enum class ArchivUmfang : int {
  kInkrementell = 0,  // only those written since the last run
  kGesamt = 1,        // all of them, every run (so does any unknown sub-mode)
};

inline constexpr int Zahl(DoppelRegel r) {
  return static_cast<int>(r);
}
inline constexpr int Zahl(KopierPruefung p) {
  return static_cast<int>(p);
}
inline constexpr int Zahl(ArchivUmfang u) {
  return static_cast<int>(u);
}

// The bits of a job's Doppelt value. The editor sets only the sub-mode; the two flags come from
// collection files prepared by other means and are passed on unchanged.
enum DoppeltBits : int {
  kDoppeltUntermodus = 0x07,              // the sub-mode of the kind
  kDoppeltOhneVerzeichnisMeldung = 0x08,  // no message box when a job's directory is missing
  kDoppeltOhneKopierMeldung = 0x10,       // no message box for a copy error
};

// The deletion mode (Main.sda, Data/Loeschen): what a run does with a file it has decided to
// delete. Any other value deletes nothing and says nothing.
enum class LoeschModus : int {
  kNormal = 1,     // "&Normale Programmlogik": delete it
  kNie = 2,        // "N&iemals löschen": keep it and log that the setting prevented it
  kAuslagern = 3,  // "Statt löschen &verschieben nach:": copy it into the move-aside store first
};

inline constexpr int Zahl(LoeschModus m) {
  return static_cast<int>(m);
}

// The deletion guard ("LoeschGrenze"): the percentage of a side's files above which a run asks
// before it removes them; 0 never asks. A stored value outside 0..100, or no number, counts as
// the standard value.
inline constexpr int kLoeschGrenzeStandard = 50;
// Kept runs ("RueckgaengigTage", "RueckgaengigAnteil"): the days a run's replaced and removed
// files are kept for an undo (0: none), and the percentage of the free space they may take.
inline constexpr int kRueckgaengigTageStandard = 30;
inline constexpr int kRueckgaengigTageHoechstens = 3650;
inline constexpr int kRueckgaengigAnteilStandard = 10;
inline constexpr int kRueckgaengigAnteilHoechstens = 100;
inline constexpr int kLoeschGrenzeHoechstens = 100;

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_JOB_MODES_H_
