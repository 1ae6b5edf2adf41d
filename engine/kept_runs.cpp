#include "engine/kept_runs.h"

#include <algorithm>

#include "engine/run_journal.h"

namespace zarnoft {
namespace {

constexpr int64_t kSekundenJeTag = 86400;
constexpr int kProzent = 100;
// A journal larger than this is no journal of this program's (a million steps and more).
constexpr size_t kHoechsteJournalGroesse = size_t{1} << 30;

void Log(Protokoll* log, LogStufe stufe, const std::string& text) {
  if (log != nullptr && log->Will(stufe)) log->Zeile(stufe, text);
}

// Removes a tree without following a link; the first failure is returned, the rest goes on.
Status BaumEntfernen(FileSystem* fs, const std::string& pfad) {
  FileInfo info;
  Status s = fs->Stat(pfad, &info);
  if (s.missing()) return Status::Ok();
  if (!s) return s;
  if (!info.IsDirectory()) return fs->DeleteFile(pfad);
  std::vector<FileInfo> eintraege;
  Status erster = fs->ListDirectory(pfad, &eintraege);
  for (const FileInfo& e : eintraege) {
    Status t = BaumEntfernen(fs, pfad + "/" + e.name);
    if (erster.ok()) erster = t;
  }
  Status t = fs->RemoveDirectory(pfad);
  return erster.ok() ? t : erster;
}

}  // namespace

std::string JournalPfad(const std::string& ziel, const std::string& name) {
  return LaeufeVerzeichnis(ziel) + "/" + name + kJournalEndung;
}

std::vector<BehaltenerLauf> BehalteneLaeufe(FileSystem* fs, const std::string& herkunft,
                                            const std::string& ziel) {
  std::vector<BehaltenerLauf> laeufe;
  std::vector<FileInfo> eintraege;
  if (!fs->ListDirectory(LaeufeVerzeichnis(ziel), &eintraege).ok()) return laeufe;
  const std::string endung = kJournalEndung;
  for (const FileInfo& e : eintraege) {
    if (e.kind != EntryKind::kFile || e.name.size() <= endung.size() ||
        e.name.compare(e.name.size() - endung.size(), endung.size(), endung) != 0)
      continue;
    BehaltenerLauf l;
    l.name = e.name.substr(0, e.name.size() - endung.size());
    std::string text;
    if (!fs->ReadWholeFile(JournalPfad(ziel, l.name), &text, kHoechsteJournalGroesse).ok())
      continue;
    JournalKopf kopf;
    if (JournalUeberblick(text, &kopf, &l.bytes)) {
      if (kopf.herkunft != herkunft || kopf.ziel != ziel) continue;
      l.beginn = kopf.beginn;
    } else {
      // A journal whose header is damaged still belongs to the job when it names its target.
      if (text.find("\nziel\t" + ziel + "\n") == std::string::npos) continue;
      if (!LaufNameLesen(l.name, &l.beginn)) continue;
    }
    laeufe.push_back(std::move(l));
  }
  std::sort(laeufe.begin(), laeufe.end(), [](const BehaltenerLauf& a, const BehaltenerLauf& b) {
    return a.beginn != b.beginn ? a.beginn < b.beginn : a.name < b.name;
  });
  return laeufe;
}

std::vector<std::string> Auszusortieren(const std::vector<BehaltenerLauf>& laeufe, FileTime jetzt,
                                        int tage, int anteil, uint64_t frei) {
  std::vector<std::string> weg;
  if (tage <= 0) {
    for (const BehaltenerLauf& l : laeufe) weg.push_back(l.name);
    return weg;
  }
  const FileTime grenze{jetzt.sec - int64_t{tage} * kSekundenJeTag, jetzt.nsec};
  std::vector<const BehaltenerLauf*> bleiben;
  for (const BehaltenerLauf& l : laeufe) {
    if (l.beginn < grenze) {
      weg.push_back(l.name);
    } else {
      bleiben.push_back(&l);
    }
  }
  uint64_t summe = 0;
  for (const BehaltenerLauf* l : bleiben) summe += l->bytes;
  // In whole bytes: the share of the free space may be tiny on a full disk.
  const long double erlaubt = static_cast<long double>(frei) * anteil / kProzent;
  for (size_t i = 0; i + 1 < bleiben.size() && static_cast<long double>(summe) > erlaubt; ++i) {
    weg.push_back(bleiben[i]->name);
    summe -= bleiben[i]->bytes;
  }
  return weg;
}

Status LaufVerwerfen(FileSystem* fs, const std::string& herkunft, const std::string& ziel,
                     const std::string& name) {
  Status s = BaumEntfernen(fs, LaeufeVerzeichnis(herkunft) + "/" + name);
  Status t = BaumEntfernen(fs, LaeufeVerzeichnis(ziel) + "/" + name);
  if (s.ok()) s = t;
  // The journal last: a run whose store could not be removed in full is met again next time.
  if (s.ok()) {
    s = fs->DeleteFile(JournalPfad(ziel, name));
    if (s.missing()) s = Status::Ok();
  }
  return s;
}

void LaeufeAufraeumen(FileSystem* fs, Protokoll* log, const std::string& herkunft,
                      const std::string& ziel, FileTime jetzt, int tage, int anteil) {
  FileInfo info;
  if (!fs->Stat(LaeufeVerzeichnis(ziel), &info).ok()) return;
  const std::vector<BehaltenerLauf> laeufe = BehalteneLaeufe(fs, herkunft, ziel);
  if (laeufe.empty()) return;
  uint64_t frei = 0;
  if (!fs->FreeSpace(ziel.empty() ? "/" : ziel, &frei).ok()) frei = UINT64_MAX;
  for (const std::string& name : Auszusortieren(laeufe, jetzt, tage, anteil, frei)) {
    Status s = LaufVerwerfen(fs, herkunft, ziel, name);
    if (s.ok()) {
      Log(log, LogStufe::kDateiAenderung, "Vergl: Aufbewahrter Lauf entfernt: " + name);
    } else {
      Log(log, LogStufe::kWarnung,
          "Vergl: Aufbewahrter Lauf nicht entfernt: " + name + " (" + s.Reason() + ")");
    }
  }
}

}  // namespace zarnoft
