// The job collection file (.syc, INI layout): writing a whole collection and reading one.
//
// Layout. Section "Allgemein" holds "Version" (the format, now 2) and "Anzahl" (number of jobs).
// Job n (counting from 1, in collection order) is section "Vorgang n" with the keys "Booten",
// "Herunterfahren", "Idle", "Herkunft", "Ziel", "Unterverzeichnisse", "Art", "Doppelt",
// "Zaehler", "ZaehlArt", "AufrufT", "AufrufS", "LaufBeginnUTC", "LaufEndeUTC", "Kennung" (the
// job's identity), "Zeiten", written in this order; its time entry k (counting from 1) is section
// "Zeit Vn Zk" with "Tag", "Stunde", "Minute", "Nachholen". A file is updated in place: sections
// and keys not named here stay as they are.
//
// Version 1 differed only in "Doppelt" of kind-2 jobs, which then meant nothing; reading such a
// file turns it into "Egal welches" (2) and upgrades the file on disk at once, even when the user
// never saves.
//
// Both operations know no window: they return what they did, and the editor shows it (caption,
// status bar, grid) while the headless runner only checks it. GUI thread only (or the runner's
// one thread).
#ifndef ZARNOFT_JOBS_COLLECTION_FILE_H_
#define ZARNOFT_JOBS_COLLECTION_FILE_H_

#include <cstdint>
#include <string>

#include "jobs/job.h"
#include "log/log.h"
#include "platform/file_system.h"
#include "settings/ini_snapshot.h"

namespace zarnoft {

// The format version that saving writes.
constexpr int kSammlungsFormat = 2;

// Which collection file the editor works on.
struct SammlungsZustand {
  // File name without directory; empty while the collection was never saved or opened.
  std::string SammlungsDatei;
  // Directory of the file, normally with its final "/" (a value from the settings may lack it).
  std::string SammlungsVerzeichnis;
  // The version that saving writes.
  int SpeicherVersion = kSammlungsFormat;
  // The version of the collection last read or written; 0 until then.
  int SammlungsVersion = 0;
  // The collection changed since it was last started anew, opened or saved: closing, a new
  // collection and opening another ask first. The editor sets it; saving and opening clear it.
  bool Geaendert = false;

  // Directory and file name joined, with a "/" between them when the directory lacks one. An
  // empty directory gives the file name alone.
  std::string Pfad() const;
};

// What opening a collection file found, for the caller to show (the editor: caption, grid and
// status bar; the runner: whether it may run the file).
struct SammlungGeoeffnet {
  // The file as it was given; the editor's caption names it so.
  std::string name;
  // The file's jobs were read (possibly none): the job grid is to be rebuilt. False for a file
  // that is missing or has no readable "Version" and "Anzahl".
  bool gelesen = false;
  // What the file names as its job count ("Anzahl") and how many job sections it holds. A
  // collection cut off by a crash or a bad copy, or with a nonsense count, has them differ (or
  // its sections are not numbered 1 to the count).
  int64_t GenannteAnzahl = 0;
  int64_t EnthalteneAnzahl = 0;
  bool AnzahlStimmt = true;
  // "Die Sammlung nennt <N> Aufträge, enthält <M>"; empty when the count is right.
  std::string AnzahlFehler() const;
};

// What saving wrote.
struct SammlungGespeichert {
  std::string datei;  // the file name without directory, as the caption shows it
  int64_t jobs = 0;   // the job count written ("Anzahl")
};

// The helpers of the two operations; null members mean no log lines (log) or the real file
// system (fs). Pointers must outlive the call.
struct SammlungsDienste {
  Protokoll* log = nullptr;
  FileSystem* fs = nullptr;
};

// Writes the whole collection to zustand->Pfad(). Callers make sure that a file name is set and
// that the collection is not empty. Job sections beyond the new job count, left from a larger
// collection, are erased together with their time-entry sections.
//
// All or nothing: every key and every erase is recorded in one IniBatch and made at the end on
// the file as it is then, which is replaced once (a file that would not change is left alone,
// but must be writable all the same). When the file cannot be written - write-protected, no
// regular file, a missing directory, a full disk, a value the layout cannot store -
// IniWriteError ("Kann nicht nach <path> schreiben") propagates to the caller and the old file
// stays whole, with no temporary file left; the log and Geaendert are not changed
// (SammlungsVersion, though, is already SpeicherVersion). Success: log "<file> gespeichert" (3),
// Geaendert cleared.
SammlungGespeichert SammlungSpeichern(const Sammlung& sammlung, SammlungsZustand* zustand,
                                      const SammlungsDienste& dienste);

// Reads the collection in file `name` and appends its jobs to `sammlung` (which callers empty
// before). A readable file whose job count does not match its job sections (AnzahlStimmt false)
// gives the jobs of every job section it holds, in number order, and logs a warning; the runner
// refuses to run such a file, the editor opens it and says so. Sets SammlungsDatei and
// SammlungsVerzeichnis from `name` and clears Geaendert. A missing file, or one without "Anzahl"
// or with a "Version" (taken as a signed 8-bit number) that is missing, 0 or negative, adds no
// job; the log "Main: <file> geöffnet" (3) reports it as opened all the same, after "Main: Werte
// in Tabelle übernommen" (9) when jobs were read from a sound file. Values are not range-tested,
// but a nonsense count creates no job beyond the highest "Vorgang n" section that the file holds,
// and no time entry beyond the highest "Zeit Vn Zk" section. Never throws for a damaged file; when
// the version upgrade cannot be written back, the collection is still read in full (as version 2)
// and a warning is logged.
SammlungGeoeffnet oeffnen(const std::string& name, Sammlung* sammlung, SammlungsZustand* zustand,
                          const SammlungsDienste& dienste);

// The last run of job n (counting from 1) as whole days and seconds of the day, as the file
// holds them: T = trunc(aufruf), S = trunc(frac * 86400 + 0.2), the 0.2 s keeping a time that
// lies a hair below a whole second from losing that second.
struct AufrufTeile {
  int64_t T = 0;
  int64_t S = 0;
};
AufrufTeile AufrufZerlegen(double aufruf);
double AufrufZusammensetzen(int64_t t, int64_t s);

// The job section (its number) that holds `job`, which was read as job n: the one with the job's
// identity ("Kennung"), for a job without one (an older collection) section n, each only while it
// still names the same Herkunft, Ziel and Art. 0 when none does: the collection was changed
// since.
int64_t JobAbschnitt(const IniSnapshot& ini, int n, const TVergleichThread& job);

// Writes only the last run of `job`, read as job n (counting from 1), into the collection at
// `pfad`: "AufrufT", "AufrufS", "LaufBeginnUTC" and "LaufEndeUTC", into the section that
// JobAbschnitt finds now, so that a collection the editor saved in another order meanwhile gets
// the date in the right job. False (nothing written) when no section is the job's any more.
// The headless runner's record of a completed run. Throws IniWriteError when refused.
bool AufrufSchreiben(const std::string& pfad, int n, const TVergleichThread& job,
                     FileSystem* fs = nullptr);

// An instant as "LaufBeginnUTC" and "LaufEndeUTC" hold it: seconds since 1970 (UTC), a point
// and nine digits of nanoseconds; "0" for none. Older readers do not know these keys and leave
// them alone; a file without them reads as zero (unknown), and the job's Aufruf decides then.
std::string UtcText(FileTime t);
FileTime UtcLesen(const std::string& text);

}  // namespace zarnoft

#endif  // ZARNOFT_JOBS_COLLECTION_FILE_H_
