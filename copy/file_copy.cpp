// Kopierer::DateiKopieren: one file (or symbolic link) copied onto its target.
//
// The copy is written into a hidden temporary file in the target's directory and renamed over
// the target only when its content, date and permission bits are complete. Until that rename
// the target is not touched at all: after a failure or a cancel the temporary file is removed
// and an earlier target stays exactly as it was, so no half-written file ever stands under a
// target's name.
//
// There is deliberately no fsync per file: a first run over tens of thousands of small files
// must be as fast as other copy tools that do not sync either, and the rename keeps the old
// target until the new content is complete as far as this program can tell.
#include "copy/file_copy.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <random>

#include "copy/copier.h"
#include "platform/date_time.h"
#include "platform/path_helpers.h"

namespace zarnoft {
namespace {

constexpr size_t kNameMax = 255;  // bytes of one file name on Linux file systems
constexpr char kMarke[] = ".zarnoft-";
constexpr char kKurzname[] = ".zarnoft-tmp-";
constexpr size_t kHexStellen = 12;
// A step of a very large file can be gigabytes long; it is copied in pieces of this size so
// that a cancel takes effect within one piece.
constexpr uint64_t kHoechstesStueck = uint64_t{64} << 20;
// Attempts at a free temporary name before the target counts as not creatable.
constexpr int kNamensVersuche = 8;
// Set-user-ID and set-group-ID are not carried over: the copy belongs to whoever runs the job,
// and a copy made by root must not turn a user's file into a privileged program.
constexpr uint32_t kKopierteBits = 01777;

std::string Hex(uint64_t v) {
  static const char kZiffern[] = "0123456789abcdef";
  std::string s(kHexStellen, '0');
  for (size_t i = kHexStellen; i-- > 0; v >>= 4) s[i] = kZiffern[v & 15];
  return s;
}

bool IstHex(const std::string& s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

uint64_t StartWert() {
  uint64_t s = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device rd;
    s ^= (uint64_t{rd()} << 32) ^ rd();
  } catch (...) {
    // No entropy source: the clock alone still differs between processes.
  }
  return s;
}

// Distinct within the process (a counter through a bijective mix), unpredictable across
// processes; CreateExclusive catches the rare collision.
uint64_t NaechsterZufall() {
  static const uint64_t start = StartWert();
  static std::atomic<uint64_t> zaehler{0};
  uint64_t z = start + 0x9E3779B97F4A7C15ull * (zaehler.fetch_add(1) + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

enum class Zweig { kQuelle, kZiel, kKopie };

// One call of DateiKopieren. Owns the temporary file while it exists.
class EinzelKopie {
 public:
  EinzelKopie(FileSystem* fs, Protokoll* log, Fortschritt* fenster, bool meldung,
              const std::string& von, const std::string& nach, int64_t groesse)
      : fs_(fs),
        log_(log),
        fenster_(fenster),
        meldung_(meldung),
        von_(von),
        nach_(nach),
        groesse_(groesse) {}
  ~EinzelKopie() { TempEntfernen(); }

  KopierErgebnis Ausfuehren() {
    FileInfo quelle;
    bool bekannt = fs_->Stat(von_, &quelle);
    // A link is copied as a link: following it could copy a whole tree, or a file from
    // outside the job's directories, under the link's name.
    if (bekannt && quelle.kind == EntryKind::kSymlink) return LinkKopieren(quelle);

    std::unique_ptr<ReadableFile> in = fs_->OpenForReading(von_);
    if (!in) return Fehler(Zweig::kQuelle);
    std::unique_ptr<WritableFile> out;
    if (!TempAnlegen([&](const std::string& name) {
          // Owner-only while written; the source's bits follow when the content is complete.
          out = fs_->CreateExclusive(name, 0600);
          return out != nullptr;
        }))
      return Fehler(Zweig::kZiel);

    bool ok = InhaltKopieren(in.get(), out.get());
    bool geschlossen = out->Close();
    out.reset();
    in.reset();
    if (!ok || !geschlossen) return Fehler(Zweig::kKopie);

    // Date and bits of the source as it is now, after the copy.
    if (fs_->Stat(von_, &quelle)) bekannt = true;
    if (bekannt) {
      DatumSetzen(quelle);
      fs_->SetMode(temp_, quelle.mode & kKopierteBits);
    }
    return Einsetzen();
  }

 private:
  bool Abbruch() const { return fenster_ != nullptr && fenster_->Abbruch(); }

  void Log(LogStufe stufe, const std::string& text) {
    if (log_->Will(stufe)) log_->Zeile(stufe, text);
  }

  void TempEntfernen() {
    if (temp_.empty()) return;
    fs_->DeleteFile(temp_);
    temp_.clear();
  }

  // Creates the temporary file through `anlegen`; tries another name only when the name was
  // taken, so a missing or refused directory fails at once.
  template <typename Anlegen>
  bool TempAnlegen(Anlegen anlegen) {
    for (int versuch = 0; versuch < kNamensVersuche; ++versuch) {
      std::string name = KopierTempName(nach_, NaechsterZufall());
      if (anlegen(name)) {
        temp_ = name;
        return true;
      }
      FileInfo belegt;
      if (!fs_->Stat(name, &belegt)) return false;
    }
    return false;
  }

  // Copies up to n bytes in bounded pieces; *kopiert grows by what was copied. True also when
  // the source ends early or the run is cancelled (the copy is then thrown away).
  bool Stueck(ReadableFile* in, WritableFile* out, uint64_t n, uint64_t* kopiert) {
    while (n > 0 && !Abbruch()) {
      uint64_t teil = std::min(n, kHoechstesStueck);
      uint64_t c = 0;
      if (!fs_->CopyData(in, out, teil, &c)) return false;
      *kopiert += c;
      if (c < teil) return true;
      n -= teil;
    }
    return true;
  }

  bool InhaltKopieren(ReadableFile* in, WritableFile* out) {
    uint64_t kopiert = 0;
    if (groesse_ < kStufenGrenze) {
      if (log_->Will(LogStufe::kDebug))
        log_->Zeile(LogStufe::kDebug, "Vergl: Kopiere direkt " + von_);
      if (!Stueck(in, out, static_cast<uint64_t>(std::max<int64_t>(groesse_, 0)), &kopiert))
        return false;
    } else {
      if (log_->Will(LogStufe::kDebug))
        log_->Zeile(LogStufe::kDebug, "Vergl: Kopiere mit Status " + von_);
      uint64_t stueck = static_cast<uint64_t>(groesse_ / kSchritte);
      for (int i = 0; i < kSchritte; ++i) {
        // After a cancel the remaining steps only move the gauge.
        if (!Abbruch() && !Stueck(in, out, stueck, &kopiert)) return false;
        if (fenster_ != nullptr) fenster_->SchrittFertig();
      }
    }
    if (Abbruch()) return true;
    // The end follows the source's size now, not the size the walk saw: what the file gained
    // since it was listed belongs to the copy too.
    int64_t jetzt = in->Size();
    if (jetzt < 0) return false;
    if (static_cast<uint64_t>(jetzt) > kopiert)
      return Stueck(in, out, static_cast<uint64_t>(jetzt) - kopiert, &kopiert);
    return true;
  }

  // The source's time rounded down to an even second; a time without DOS form (before 1980,
  // after 2107) leaves the time of writing. A failure to set it is not reported.
  void DatumSetzen(const FileInfo& quelle) {
    FileTime t;
    if (HasDosForm(quelle.mtime) && FileTimeFromDos(DosFromFileTime(quelle.mtime), &t))
      fs_->SetModificationTime(temp_, t);
    if (!log_->Will(LogStufe::kDebugAusfuehrlich)) return;
    FileInfo ziel;
    int64_t dos = fs_->Stat(temp_, &ziel) ? DosFromFileTime(ziel.mtime) : kDosMissing;
    Log(LogStufe::kDebugAusfuehrlich, "Vergl: Setzte Datum " + DosLogText(dos));
  }

  KopierErgebnis LinkKopieren(const FileInfo& quelle) {
    std::string text;
    if (!fs_->ReadLink(von_, &text)) return Fehler(Zweig::kQuelle);
    if (!TempAnlegen([&](const std::string& name) { return fs_->CreateSymlink(text, name); }))
      return Fehler(Zweig::kZiel);
    if (log_->Will(LogStufe::kDebug))
      log_->Zeile(LogStufe::kDebug, "Vergl: Kopiere direkt " + von_);
    DatumSetzen(quelle);
    return Einsetzen();
  }

  // The last moment a cancel takes effect; then the finished copy replaces the target.
  KopierErgebnis Einsetzen() {
    if (Abbruch()) {
      TempEntfernen();
      return KopierErgebnis::kAbgebrochen;
    }
    if (!fs_->RenameReplace(temp_, nach_)) return Fehler(Zweig::kZiel);
    temp_.clear();
    return KopierErgebnis::kKopiert;
  }

  KopierErgebnis Fehler(Zweig zweig) {
    TempEntfernen();
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
    // The line first: the dialog waits for the user, the log should not.
    Log(LogStufe::kWarnung, zeile);
    if (meldung_ && fenster_ != nullptr) fenster_->Fehlermeldung(meldung);
    return KopierErgebnis::kFehler;
  }

  FileSystem* fs_;
  Protokoll* log_;
  Fortschritt* fenster_;
  bool meldung_;
  const std::string& von_;
  const std::string& nach_;
  int64_t groesse_;
  std::string temp_;  // the temporary file while it exists, else empty
};

}  // namespace

std::string KopierTempName(const std::string& nach, uint64_t zufall) {
  std::string verzeichnis = DirectoryPart(nach);
  std::string name = NamePart(nach);
  std::string hex = Hex(zufall);
  std::string abgeleitet = "." + name + kMarke + hex;
  if (name.empty() || abgeleitet.size() > kNameMax) return verzeichnis + kKurzname + hex;
  return verzeichnis + abgeleitet;
}

bool IstKopierTempName(const std::string& name) {
  const size_t marke = sizeof(kMarke) - 1;
  if (name.size() < 1 + marke + kHexStellen || name[0] != '.') return false;
  if (!IstHex(name.substr(name.size() - kHexStellen))) return false;
  return name.compare(name.size() - kHexStellen - marke, marke, kMarke) == 0 ||
         name == kKurzname + name.substr(name.size() - kHexStellen);
}

KopierErgebnis Kopierer::DateiKopieren(const std::string& von, const std::string& nach,
                                       int64_t groesse) {
  EinzelKopie kopie(fs_, log_, fenster_, kopier_meldung_, von, nach, groesse);
  return kopie.Ausfuehren();
}

}  // namespace zarnoft
