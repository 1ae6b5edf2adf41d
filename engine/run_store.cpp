#include "engine/run_store.h"

#include <cerrno>
#include <utility>
#include <vector>

#include "platform/path_helpers.h"
#include "platform/reserved_dir.h"

namespace zarnoft {
namespace {

// Names tried for a run's journal when runs of other jobs began in the same second.
constexpr int kNamensVersuche = 100;

// A journal step of one side's relative path.
JournalEintrag Eintrag(JournalSchritt schritt, bool ziel, const std::string& rel) {
  JournalEintrag e;
  e.schritt = schritt;
  e.ziel = ziel;
  e.rel = rel;
  return e;
}

// A step that names a file: what it was (size, date, inode), so that an undo acts only on it.
JournalEintrag DateiEintrag(JournalSchritt schritt, bool ziel, const std::string& rel,
                            const FileInfo& info) {
  JournalEintrag e = Eintrag(schritt, ziel, rel);
  e.groesse = info.size;
  e.datum = info.mtime;
  e.inode = info.inode;
  return e;
}

// The directory that holds `pfad`, without its final "/" ("" for a name at the top).
std::string Elternverzeichnis(const std::string& pfad) {
  const std::string teil = DirectoryPart(pfad);
  return teil.empty() ? "" : StripTrailingSlash(teil);
}
constexpr uint32_t kDateiBits = 07777;

// Whether linking or renaming failed only because the file system cannot do it here, so that a
// copy may take its place.
bool NurKopierbar(const Status& s) {
  const int e = s.error();
  return e == EXDEV || e == EPERM || e == ENOTSUP || e == EOPNOTSUPP || e == EMLINK || e == ENOSYS;
}

std::string Schluessel(bool ziel, const std::string& rel) {
  return (ziel ? "Z/" : "H/") + rel;
}

bool Unter(const std::string& pfad, const std::string& wurzel) {
  return pfad.size() > wurzel.size() && pfad.compare(0, wurzel.size(), wurzel) == 0 &&
         pfad[wurzel.size()] == '/';
}

}  // namespace

Status DateiAblegen(FileSystem* fs, const std::string& von, const std::string& nach,
                    const FileInfo& info) {
  if (info.kind == EntryKind::kSymlink) {
    std::string text;
    if (Status s = fs->ReadLink(von, &text); !s) return s;
    return fs->CreateSymlink(text, nach);
  }
  Status s;
  std::unique_ptr<ReadableFile> in = fs->OpenForReading(von, &s);
  if (!in) return s;
  std::unique_ptr<WritableFile> out = fs->CreateExclusive(nach, 0600, &s);
  if (!out) return s;
  uint64_t kopiert = 0;
  s = fs->CopyData(in.get(), out.get(), static_cast<uint64_t>(info.size), &kopiert);
  if (s.ok() && kopiert != static_cast<uint64_t>(info.size)) s = Status::FromErrno(EIO);
  Status zu = out->Close();
  if (s.ok()) s = zu;
  if (s.ok()) s = fs->SetMode(nach, info.mode & kDateiBits);
  if (s.ok()) s = fs->SetTimes(nach, info.atime, info.mtime);
  if (!s) fs->DeleteFile(nach);
  return s;
}

Laufablage::Laufablage(FileSystem* fs, const std::string& herkunft, const std::string& ziel,
                       const std::string& lager, const JournalKopf& kopf)
    : fs_(fs), herkunft_(herkunft), ziel_(ziel), lager_(lager), kopf_(kopf) {}

Laufablage::~Laufablage() = default;

bool Laufablage::Zuordnen(const std::string& pfad, bool* ziel, std::string* rel) const {
  if (!lager_.empty() && pfad.compare(0, lager_.size(), lager_) == 0) return false;
  // The longer root first: it may begin with the other's text.
  const bool ziel_zuerst = ziel_.size() >= herkunft_.size();
  for (int i = 0; i < 2; ++i) {
    const bool z = (i == 0) == ziel_zuerst;
    const std::string& wurzel = Wurzel(z);
    if (pfad == wurzel) {
      *ziel = z;
      rel->clear();
      return true;
    }
    if (!Unter(pfad, wurzel)) continue;
    *ziel = z;
    *rel = pfad.substr(wurzel.size() + 1);
    return true;
  }
  return false;
}

Status Laufablage::Beginnen() {
  if (journal_) return Status::Ok();
  if (!fehler_.ok()) return fehler_;
  std::string grund;
  Status s = ReserviertesVerzeichnisBereiten(fs_, ziel_, &grund);
  if (!grund.empty()) s = Status::FromErrno(ENOTDIR);
  const std::string laeufe = LaeufeVerzeichnis(ziel_);
  if (s.ok()) {
    s = fs_->CreateDirectory(laeufe);
    if (s.error() == EEXIST) s = Status::Ok();
  }
  // Runs of other jobs (or of this one, a second apart) may have begun in the same second.
  for (int n = 1; s.ok() && n <= kNamensVersuche; ++n) {
    name_ = LaufName(kopf_.beginn) + (n == 1 ? "" : "-" + std::to_string(n));
    Status angelegt;
    journal_ = fs_->CreateExclusive(laeufe + "/" + name_ + kJournalEndung, kReserviertDateiBits,
                                    &angelegt);
    if (journal_ || angelegt.error() != EEXIST || n == kNamensVersuche) {
      s = angelegt;
      break;
    }
  }
  if (s.ok() && journal_)
    s = journal_->Write(JournalKopfText(kopf_).data(), JournalKopfText(kopf_).size());
  if (!s) {
    journal_.reset();
    fehler_ = s;
  }
  return s;
}

Status Laufablage::Schreiben(const JournalEintrag& e) {
  if (Status s = Beginnen(); !s) return s;
  const std::string zeile = JournalZeile(e);
  Status s = journal_->Write(zeile.data(), zeile.size());
  if (!s && fehler_.ok()) fehler_ = s;
  return s;
}

Status Laufablage::Ablageplatz(bool ziel, const std::string& rel, std::string* platz) {
  if (Status s = Beginnen(); !s) return s;
  const std::string& wurzel = Wurzel(ziel);
  if (!ziel) {
    std::string grund;
    Status s = ReserviertesVerzeichnisBereiten(fs_, wurzel, &grund);
    if (!grund.empty()) return Status::FromErrno(ENOTDIR);
    if (!s) return s;
  }
  // The levels from the directory of kept runs down to the file's directory.
  const std::string basis = LaeufeVerzeichnis(wurzel);
  std::vector<std::string> stufen{basis, basis + "/" + name_};
  for (size_t p = rel.find('/'); p != std::string::npos; p = rel.find('/', p + 1))
    stufen.push_back(basis + "/" + name_ + "/" + rel.substr(0, p));
  for (const std::string& stufe : stufen) {
    if (ablage_da_.count(stufe)) continue;
    Status s = fs_->CreateDirectory(stufe);
    if (!s && s.error() != EEXIST) return s;
    ablage_da_.insert(stufe);
  }
  *platz = basis + "/" + name_ + "/" + rel;
  return Status::Ok();
}

void Laufablage::Aendern(const std::string& verzeichnis) {
  bool ziel = false;
  std::string rel;
  if (!Zuordnen(verzeichnis, &ziel, &rel)) return;
  if (!datiert_.insert(Schluessel(ziel, rel)).second) return;
  FileInfo info;
  if (!fs_->Stat(verzeichnis.empty() ? "/" : verzeichnis, &info).ok() || !info.IsDirectory())
    return;
  JournalEintrag e = Eintrag(JournalSchritt::kDatum, ziel, rel);
  e.datum = info.mtime;
  Schreiben(e);
}

void Laufablage::VorDemSchreiben(const std::string& nach) {
  Aendern(Elternverzeichnis(nach));
}

Status Laufablage::VorDemEinsetzen(const std::string& nach, const FileInfo* alt,
                                   const FileInfo& neu) {
  bool ziel = false;
  std::string rel;
  if (!Zuordnen(nach, &ziel, &rel)) return Status::Ok();
  if (alt != nullptr) {
    std::string platz;
    if (Status s = Ablageplatz(ziel, rel, &platz); !s) return s;
    if (Status s = Schreiben(DateiEintrag(JournalSchritt::kBehalten, ziel, rel, *alt)); !s)
      return s;
    Status s = fs_->CreateHardLink(nach, platz);
    if (!s && NurKopierbar(s)) s = DateiAblegen(fs_, nach, platz, *alt);
    if (!s) return s;
  }
  Status s = Schreiben(DateiEintrag(JournalSchritt::kGeschrieben, ziel, rel, neu));
  // A replaced version must be named in the journal; a new file that is not is only left behind
  // by an undo (Sichern reports it).
  return alt != nullptr ? s : Status::Ok();
}

void Laufablage::NeuEingesetzt(const std::string& pfad, const FileInfo& neu) {
  VorDemEinsetzen(pfad, nullptr, neu);
}

Status Laufablage::Entfernen(const std::string& pfad, const FileInfo& info) {
  bool ziel = false;
  std::string rel;
  if (!Zuordnen(pfad, &ziel, &rel)) return fs_->DeleteFile(pfad);
  std::string platz;
  if (Status s = Ablageplatz(ziel, rel, &platz); !s) return s;
  Aendern(Elternverzeichnis(pfad));
  JournalEintrag e = DateiEintrag(JournalSchritt::kEntfernt, ziel, rel, info);
  e.modus = info.mode;
  if (Status s = Schreiben(e); !s) return s;
  Status s = fs_->RenameNoReplace(pfad, platz);
  if (!s && NurKopierbar(s)) {
    s = DateiAblegen(fs_, pfad, platz, info);
    if (s.ok()) s = fs_->DeleteFile(pfad);
  }
  return s;
}

Status Laufablage::VerzeichnisEntfernen(const std::string& pfad, const FileInfo& info) {
  bool ziel = false;
  std::string rel;
  if (Zuordnen(pfad, &ziel, &rel)) {
    Aendern(Elternverzeichnis(pfad));
    JournalEintrag e = Eintrag(JournalSchritt::kVerzeichnis, ziel, rel);
    e.datum = info.mtime;
    e.modus = info.mode;
    if (Status s = Schreiben(e); !s) return s;
  }
  return fs_->RemoveDirectory(pfad);
}

void Laufablage::Anlegen(const std::string& pfad) {
  bool ziel = false;
  std::string rel;
  if (!Zuordnen(pfad, &ziel, &rel)) return;
  Aendern(Elternverzeichnis(pfad));
  Schreiben(Eintrag(JournalSchritt::kAngelegt, ziel, rel));
}

void Laufablage::Umbenennen(const std::string& von, const std::string& nach, const FileInfo& info) {
  bool ziel = false;
  bool ziel_nach = false;
  std::string rel;
  std::string rel_nach;
  if (!Zuordnen(von, &ziel, &rel) || !Zuordnen(nach, &ziel_nach, &rel_nach)) return;
  Aendern(Elternverzeichnis(von));
  JournalEintrag e = DateiEintrag(JournalSchritt::kUmbenannt, ziel, rel, info);
  e.zweit = rel_nach;
  Schreiben(e);
}

void Laufablage::Ausgelagert(const std::string& pfad, const std::string& lagerpfad,
                             const FileInfo& info) {
  bool ziel = false;
  std::string rel;
  if (!Zuordnen(pfad, &ziel, &rel)) return;
  Aendern(Elternverzeichnis(pfad));
  JournalEintrag e = DateiEintrag(JournalSchritt::kAusgelagert, ziel, rel, info);
  e.zweit = lagerpfad;
  e.modus = info.mode;
  Schreiben(e);
}

Status Laufablage::Sichern() {
  if (!fehler_.ok()) return fehler_;
  if (!journal_) return Status::Ok();
  return journal_->Sync();
}

}  // namespace zarnoft
