// Kopierer::DateiKopieren: one file (or symbolic link) copied onto its target.
//
// The copy is written into a hidden temporary file in the target's directory and renamed over
// the target only when its content, date, owner and permission bits are complete. Until that
// rename the target is not touched at all: after a failure or a cancel the temporary file is
// removed and an earlier target stays exactly as it was, so no half-written file ever stands
// under a target's name. The temporary file is locked while it is written, so that a later run
// can tell the leftover of a killed run from a copy still under way.
//
// A source that changed while it was copied (its size, date or identity differ from what they
// were when the copy began) is not put in place: its copy may be a mixture of old and new
// content, and giving it the source's date would mark it as current. The target keeps what it
// had, so that the next run sees the source as newer and copies it again.
//
// A target that is saved while its copy is made (it is there now and was not, or another file,
// size or date) is not replaced either: the run decided on what it saw before, and the user's
// new save must survive. The copy counts as failed, so that the next run decides again.
//
// There is deliberately no fsync per file: a first run over tens of thousands of small files
// must be as fast as other copy tools. The run flushes each file system it wrote to once, before
// it records its end (engine/comparison.cpp).
#include "copy/file_copy.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include "copy/copier.h"
#include "platform/date_time.h"
#include "platform/path_helpers.h"
#include "platform/temp_file.h"

namespace zarnoft {
namespace {

// A step of a very large file can be gigabytes long; it is copied in pieces of this size so
// that a cancel takes effect within one piece.
constexpr uint64_t kHoechstesStueck = uint64_t{64} << 20;
// Set-user-ID and set-group-ID are not carried over: a copy made by root must not turn a user's
// file into a privileged program.
constexpr uint32_t kKopierteBits = 01777;

// Whether two last writes fall into the same two-second step: the resolution of the coarsest file
// systems a copy may land on (FAT), and of the runs' comparisons.
bool GleicherSchritt(FileTime a, FileTime b) {
  return (a.sec >> 1) == (b.sec >> 1);
}

// Whether the source is still the file whose copy began: same file, same size, same date.
bool Unveraendert(const FileInfo& vorher, const FileInfo& jetzt) {
  return vorher.kind == jetzt.kind && vorher.size == jetzt.size && vorher.mtime == jetzt.mtime &&
         vorher.inode == jetzt.inode && vorher.device == jetzt.device;
}

// Whether creating a link failed because the target's file system has none: the kernel's FAT
// says EPERM, the FUSE drivers ENOSYS or EOPNOTSUPP. A directory the user may not write to says
// EACCES, which stays a failure.
bool KannKeineLinks(const Status& s) {
  return s.error() == EPERM || s.error() == ENOSYS || s.error() == EOPNOTSUPP;
}

enum class Zweig { kQuelle, kZiel, kKopie };

// One call of DateiKopieren. Owns the temporary file while it exists.
class EinzelKopie {
 public:
  EinzelKopie(FileSystem* fs, Protokoll* log, Fortschritt* fenster, bool meldung,
              FehlerBericht* bericht, Aufbewahrung* aufbewahrung, const std::string& von,
              const std::string& nach, int64_t groesse, std::string* genommen,
              KopieGemeldet* gemeldet, const ZielBlick* gesehen)
      : fs_(fs),
        log_(log),
        fenster_(fenster),
        meldung_(meldung),
        bericht_(bericht),
        aufbewahrung_(aufbewahrung),
        von_(von),
        nach_(nach),
        groesse_(groesse),
        genommen_(genommen),
        gemeldet_(gemeldet),
        gesehen_(gesehen),
        temp_(fs, nach) {}

  KopierErgebnis Ausfuehren() {
    // The caller's fresh look at the target serves as the look before the copy: it is earlier,
    // so a target saved since is caught all the same when the copy is put in place.
    if (gesehen_ != nullptr) {
      ziel_da_ = gesehen_->da;
      if (ziel_da_) ziel_vorher_ = gesehen_->info;
    } else {
      ziel_da_ = fs_->Stat(nach_, &ziel_vorher_).ok();
    }
    Status s;
    std::unique_ptr<ReadableFile> in = fs_->OpenForReading(von_, &s);
    // What the source was when the copy began: as the open file saw it, or looked up by name
    // when it could not be opened (a link is never followed) or cannot tell (fakes).
    FileInfo vorher;
    if (!in || !in->InfoAtOpen(&vorher)) {
      Status st = fs_->Stat(von_, &vorher);
      if (!st) return Fehler(Zweig::kQuelle, st);
      // A link is copied as a link: following it could copy a whole tree, or a file from
      // outside the job's directories, under the link's name.
      if (vorher.kind == EntryKind::kSymlink) return LinkKopieren(vorher);
      if (!in) return Fehler(Zweig::kQuelle, s);
    }
    if (aufbewahrung_ != nullptr) aufbewahrung_->VorDemSchreiben(nach_);
    // Owner-only while written; the source's bits follow when the content is complete.
    std::unique_ptr<WritableFile> out = temp_.DateiAnlegen(0600, &s);
    if (!out) return Fehler(Zweig::kZiel, s);

    s = InhaltKopieren(in.get(), out.get());
    if (s.ok() && !Abbruch()) {
      Rechte(vorher, out.get());
      Attribute(in.get(), out.get());
    }
    Status geschlossen = out->Close();
    out.reset();
    in.reset();
    if (s.ok()) s = geschlossen;
    if (!s) return Fehler(Zweig::kKopie, s);
    if (Abbruch()) return Abbrechen();

    FileInfo jetzt;
    if (!fs_->Stat(von_, &jetzt).ok() || !Unveraendert(vorher, jetzt)) {
      Log(LogStufe::kWarnung, "Vergl: Während des Kopierens geändert: " + von_);
      if (bericht_ != nullptr) bericht_->Fehler({"Während des Kopierens geändert: " + von_, ""});
      return KopierErgebnis::kFehler;
    }
    Datum(vorher);
    return Einsetzen();
  }

 private:
  bool Abbruch() const { return fenster_ != nullptr && fenster_->Abbruch(); }

  void Log(LogStufe stufe, const std::string& text) {
    if (log_->Will(stufe)) log_->Zeile(stufe, text);
  }

  // Copies up to n bytes in bounded pieces; *kopiert grows by what was copied. Done also when
  // the source ends early or the run is cancelled (the copy is then thrown away).
  Status Stueck(ReadableFile* in, WritableFile* out, uint64_t n, uint64_t* kopiert) {
    while (n > 0 && !Abbruch()) {
      uint64_t teil = std::min(n, kHoechstesStueck);
      uint64_t c = 0;
      Status s = fs_->CopyData(in, out, teil, &c);
      if (!s) return s;
      *kopiert += c;
      if (c < teil) return s;
      n -= teil;
    }
    return Status::Ok();
  }

  Status InhaltKopieren(ReadableFile* in, WritableFile* out) {
    uint64_t kopiert = 0;
    if (groesse_ < kStufenGrenze) {
      if (log_->Will(LogStufe::kDebug))
        log_->Zeile(LogStufe::kDebug, "Vergl: Kopiere direkt " + von_);
      Status s = Stueck(in, out, static_cast<uint64_t>(std::max<int64_t>(groesse_, 0)), &kopiert);
      if (!s) return s;
    } else {
      if (log_->Will(LogStufe::kDebug))
        log_->Zeile(LogStufe::kDebug, "Vergl: Kopiere mit Status " + von_);
      uint64_t stueck = static_cast<uint64_t>(groesse_ / kSchritte);
      for (int i = 0; i < kSchritte; ++i) {
        // After a cancel the remaining steps only move the gauge.
        if (!Abbruch()) {
          Status s = Stueck(in, out, stueck, &kopiert);
          if (!s) return s;
        }
        if (fenster_ != nullptr) fenster_->SchrittFertig();
      }
    }
    if (Abbruch()) return Status::Ok();
    // The end follows the source's size now, not the size the walk saw: what the file gained
    // since it was listed belongs to the copy too.
    int64_t jetzt = in->Size();
    if (jetzt < 0) return Status::FromErrno(EIO);
    if (static_cast<uint64_t>(jetzt) > kopiert)
      return Stueck(in, out, static_cast<uint64_t>(jetzt) - kopiert, &kopiert);
    return Status::Ok();
  }

  // Owner and permission bits of the source onto the temporary file: through the open file
  // `offen` where it can (no look-up by name), else by name. Failures leave the copy as it is (a
  // file system without owners, say); they are not reported.
  void Rechte(const FileInfo& quelle, WritableFile* offen) {
    auto per_name = [](const Status& s) { return s.error() == ENOTSUP; };
    // Only a copy made by root can carry another owner; an ordinary user keeps the group when
    // he belongs to it. Giving a file away clears its set-ID bits, so the bits come last.
    if (quelle.uid != ProcessUid() || quelle.gid != ProcessGid()) {
      if (offen == nullptr || per_name(offen->SetOwner(quelle.uid, quelle.gid)))
        fs_->SetOwner(temp_.name(), quelle.uid, quelle.gid);
    }
    if (quelle.kind == EntryKind::kSymlink) return;
    const uint32_t bits = quelle.mode & kKopierteBits;
    if (offen == nullptr || per_name(offen->SetMode(bits))) fs_->SetMode(temp_.name(), bits);
  }

  // The source's dates onto the temporary file, by name once the file is closed: a network file
  // system may write what it still holds when the file is closed, and with it a new date. The
  // last write goes over exactly, to the nanosecond, so that other tools see the copy as the same
  // file; the last access is given too. What the file system kept is read back: a target that
  // drops the date (some FUSE drivers) would make every later run copy the file again, so the
  // run says so, once.
  void Datum(const FileInfo& quelle) {
    fs_->SetTimes(temp_.name(), quelle.atime, quelle.mtime);
    FileInfo& ziel = temp_info_;
    const bool gelesen = temp_gelesen_ = fs_->Stat(temp_.name(), &ziel).ok();
    if (gelesen && !GleicherSchritt(ziel.mtime, quelle.mtime) && !gemeldet_->datum) {
      gemeldet_->datum = true;
      Log(LogStufe::kWarnung, "Vergl: Ziel behält das Datum der Kopie nicht: " + nach_);
    }
    if (!log_->Will(LogStufe::kDebugAusfuehrlich)) return;
    int64_t dos = gelesen ? DosFromFileTime(ziel.mtime) : kDosMissing;
    Log(LogStufe::kDebugAusfuehrlich, "Vergl: Setzte Datum " + DosLogText(dos));
  }

  // The extended attributes after the bits (an ACL set before them would be changed by them).
  // A target that cannot hold them keeps the copy without them, as cp -a does; the run says so
  // once.
  void Attribute(ReadableFile* in, WritableFile* out) {
    const Status s = fs_->CopyAttributes(in, out);
    if (s.ok() || gemeldet_->attribute) return;
    gemeldet_->attribute = true;
    Log(LogStufe::kWarnung, "Vergl: Ziel behält die erweiterten Attribute nicht: " + nach_);
    Log(LogStufe::kWarnung, "Vergl:              Grund: " + s.Reason());
  }

  KopierErgebnis LinkKopieren(const FileInfo& quelle) {
    std::string text;
    Status s = fs_->ReadLink(von_, &text);
    if (!s) return Fehler(Zweig::kQuelle, s);
    if (aufbewahrung_ != nullptr) aufbewahrung_->VorDemSchreiben(nach_);
    s = temp_.Anlegen([&](const std::string& name) { return fs_->CreateSymlink(text, name); });
    if (KannKeineLinks(s)) return KopierErgebnis::kKeinLink;
    if (!s) return Fehler(Zweig::kZiel, s);
    if (log_->Will(LogStufe::kDebug))
      log_->Zeile(LogStufe::kDebug, "Vergl: Kopiere direkt " + von_);
    Datum(quelle);
    Rechte(quelle, nullptr);
    return Einsetzen();
  }

  KopierErgebnis Abbrechen() {
    temp_.Entfernen();
    return KopierErgebnis::kAbgebrochen;
  }

  // The last moment a cancel takes effect; then the finished copy replaces the target, or, for
  // a copy that keeps what is there, takes the first free numbered name: the rename itself
  // refuses a taken name, so no other writer can slip in between the look and the rename.
  KopierErgebnis Einsetzen() {
    if (Abbruch()) return Abbrechen();
    Status s;
    if (genommen_ == nullptr) {
      if (ZielGeaendert()) {
        temp_.Entfernen();
        Log(LogStufe::kWarnung, "Vergl: Während des Kopierens geändert: " + nach_);
        return KopierErgebnis::kFehler;
      }
      if (Status b = Bewahren(); !b) {
        Log(LogStufe::kWarnung, "Vergl: Nicht ersetzt, alte Fassung nicht aufbewahrt: " + nach_);
        return Fehler(Zweig::kZiel, b);
      }
      s = temp_.Ersetzen();
    } else {
      FileInfo neu;
      const bool bekannt = aufbewahrung_ != nullptr && TempAnsehen(&neu).ok();
      for (int n = 1; n <= kHoechsteVersion; ++n) {
        const std::string name = NumberedPath(nach_, n);
        s = temp_.Einsetzen(name);
        if (s.error() == EEXIST) continue;
        if (s.ok()) *genommen_ = name;
        break;
      }
      if (s.ok() && bekannt) aufbewahrung_->NeuEingesetzt(*genommen_, neu);
    }
    if (!s) return Fehler(Zweig::kZiel, s);
    return KopierErgebnis::kKopiert;
  }

  // Hands the target about to be replaced, and the copy that replaces it, to the run's keeping.
  Status Bewahren() {
    if (aufbewahrung_ == nullptr) return Status::Ok();
    FileInfo neu;
    if (Status s = TempAnsehen(&neu); !s) return s;
    return aufbewahrung_->VorDemEinsetzen(nach_, ziel_da_ ? &ziel_vorher_ : nullptr, neu);
  }

  // The finished temporary file as the date's read-back saw it; nothing has written to it since.
  Status TempAnsehen(FileInfo* info) {
    if (!temp_gelesen_) return fs_->Stat(temp_.name(), info);
    *info = temp_info_;
    return Status::Ok();
  }

  // Whether something else stands at the target now than when the copy began.
  bool ZielGeaendert() {
    FileInfo jetzt;
    const bool da = fs_->Stat(nach_, &jetzt).ok();
    if (da != ziel_da_) return true;
    return da && !Unveraendert(ziel_vorher_, jetzt);
  }

  KopierErgebnis Fehler(Zweig zweig, const Status& grund) {
    temp_.Entfernen();
    std::string meldung;
    std::string zeile;
    switch (zweig) {
      case Zweig::kQuelle:
        meldung = "Fehler beim Öffnen der Quelldatei\r" + von_;
        zeile = "Vergl: Kopierfehler: Quelldatei nicht erzeugt: " + von_;
        break;
      case Zweig::kZiel:
        meldung = "Fehler beim Erzeugen der Zieldatei\r" + nach_;
        zeile = "Vergl: Kopierfehler: Zieldatei nicht erzeugt: " + nach_;
        break;
      case Zweig::kKopie:
        meldung = "Fehler beim Kopieren der Datei\r" + von_ + "\rnach\r" + nach_;
        zeile = "Vergl: Kopierfehler: " + von_ + " nach " + nach_;
        break;
    }
    // The lines first: the dialog waits for the user, the log should not.
    Log(LogStufe::kWarnung, zeile);
    if (!grund.ok()) Log(LogStufe::kWarnung, "Vergl:              Grund: " + grund.Reason());
    if (bericht_ != nullptr) {
      const std::string& pfad = zweig == Zweig::kQuelle ? von_ : nach_;
      bericht_->Fehler({"Kopieren fehlgeschlagen: " + pfad, grund.ok() ? "" : grund.Reason()});
    }
    if (meldung_ && fenster_ != nullptr) fenster_->Fehlermeldung(meldung);
    return KopierErgebnis::kFehler;
  }

  FileSystem* fs_;
  Protokoll* log_;
  Fortschritt* fenster_;
  bool meldung_;
  FehlerBericht* bericht_;
  Aufbewahrung* aufbewahrung_;
  const std::string& von_;
  const std::string& nach_;
  int64_t groesse_;
  std::string* genommen_;      // nullptr: replace the target; else the name the copy took
  KopieGemeldet* gemeldet_;    // what the run has said once
  const ZielBlick* gesehen_;   // the caller's look at the target, or nullptr
  TempDatei temp_;             // removed on every way out but the rename into place
  bool ziel_da_ = false;       // whether the target existed when the copy began
  FileInfo ziel_vorher_;       // the target then (lstat)
  bool temp_gelesen_ = false;  // whether temp_info_ holds the finished temporary file
  FileInfo temp_info_;
};

}  // namespace

KopierErgebnis Kopierer::DateiKopieren(const std::string& von, const std::string& nach,
                                       int64_t groesse, std::string* genommen,
                                       const ZielBlick* gesehen) {
  EinzelKopie kopie(fs_, log_, fenster_, kopier_meldung_, bericht_, aufbewahrung_, von, nach,
                    groesse, genommen, &gemeldet_, gesehen);
  return kopie.Ausfuehren();
}

}  // namespace zarnoft
