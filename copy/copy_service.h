// The copy hand-over of a run (Kopieren) as the decision steps see it: one call per file and
// what became of it. The register of copies already handed over and the run's copy statistics
// belong to its implementation, the Kopierer (copy/copier.h).
#ifndef ZARNOFT_COPY_COPY_SERVICE_H_
#define ZARNOFT_COPY_COPY_SERVICE_H_

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "platform/status.h"

namespace zarnoft {

// What became of one request. A decision logs that it copied only when the copy was made, and the
// move-aside deletion must not delete a file whose copy was not made.
enum class KopierErgebnis {
  kKopiert,      // the target now holds the source's content, date and attributes
  kAbgelehnt,    // the same copy, or its exact reverse, was already handed over in this run
  kAbgebrochen,  // the run is cancelled: nothing was copied (or the copy was taken back)
  kFehler,       // the copy failed, or the source changed while it was copied; logged at level 1
                 // (and, for a failure, shown in a dialog); the target is as it was
  kKeinLink,     // a link onto a file system that cannot hold links (FAT, exFAT): nothing was
                 // copied, and it is no failure; the caller says so, once per run
};

// The highest number a copy that keeps what is there tries (" (9999)") before it gives up.
inline constexpr int kHoechsteVersion = 9999;

// What the caller saw at a copy's target right before handing the copy over (one lstat), so that
// the copy need not look again. The copy replaces the target only while it is still exactly this.
struct ZielBlick {
  bool da = false;  // whether anything stood there
  FileInfo info;    // what stood there, when da
};

// The operation the decision steps call. One object per run, used by the run's thread only.
class KopierDienst {
 public:
  virtual ~KopierDienst() = default;
  // Copies `von` onto `nach` (full paths). `groesse` is the source's size as the walk found it;
  // it chooses between a direct and a stepped copy. `gesehen`: the caller's fresh look at `nach`
  // (nullptr: the copy looks itself).
  virtual KopierErgebnis Kopieren(const std::string& von, const std::string& nach, int64_t groesse,
                                  const ZielBlick* gesehen = nullptr) = 0;
  // Copies `von` onto a new file and never replaces anything: when `nach` is taken, the copy
  // takes the first free name of NumberedPath(nach, 2), (3), ... (platform/path_helpers.h). On
  // kKopiert *genommen holds the full path the copy was put at. For the move-aside store and the
  // archive, which keep every version they are given.
  virtual KopierErgebnis KopierenNeu(const std::string& von, const std::string& nach,
                                     int64_t groesse, std::string* genommen) = 0;
};

// What a run keeps of the files its copies replace, so that the run can be taken back
// (engine/run_store.h). The copy calls it on the run's thread; the copy step itself knows nothing
// of where the old versions go.
class Aufbewahrung {
 public:
  virtual ~Aufbewahrung() = default;
  // Before a copy creates its temporary file beside `nach`, which changes that directory's date.
  virtual void VorDemSchreiben(const std::string& nach) = 0;
  // Right before the finished copy (the temporary file, as `neu` describes it) is renamed over
  // `nach`; `alt` is what stands there now, nullptr when nothing does. Keeps `alt` and notes the
  // new file. When `alt` cannot be kept the copy must not replace it: it fails with this reason.
  virtual Status VorDemEinsetzen(const std::string& nach, const FileInfo* alt,
                                 const FileInfo& neu) = 0;
  // A copy that keeps what is there (KopierenNeu) was put at the free name `pfad`.
  virtual void NeuEingesetzt(const std::string& pfad, const FileInfo& neu) = 0;
};

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_COPY_SERVICE_H_
