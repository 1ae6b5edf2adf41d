#include "engine/walk.h"

#include <algorithm>
#include <vector>

#include "copy/file_copy.h"
#include "engine/file_date.h"
#include "engine/run_hooks.h"
#include "platform/date_time.h"
#include "platform/path_helpers.h"

namespace zarnoft {
namespace {

// The blanks after "Vergl:" belong to the texts.
constexpr char kKeineAenderung[] = "Vergl:              ... Keine Änderung";
constexpr char kVorSyncGeaendert[] = "Vergl:              Andere Version vor letztem Sync geändert";
constexpr char kNachSyncGeaendert[] =
    "Vergl:                Andere Version nach letztem Sync geändert";
constexpr char kZugriffTrotzGeloescht[] =
    "Vergl:                Zugriff nach letztem Sync, trotz gelöscht unter ";
constexpr char kWeilNichtIn[] = "Vergl:                weil nicht in ";

constexpr char kKeineNormaleDatei[] = "Vergl: Übersprungen, keine normale Datei: ";
constexpr char kNichtErstellt[] = "Vergl: Verzeichnis nicht erstellt: ";
constexpr char kNichtLesbar[] = "Vergl: Verzeichnis nicht lesbar: ";
constexpr char kGleicherName[] = "Vergl: Übersprungen, Datei und Verzeichnis gleichen Namens: ";
constexpr char kLager[] = "Vergl: Übersprungen, Auslagerungsverzeichnis: ";

bool Besonders(const FileInfo& i) {
  return i.kind == EntryKind::kSpecial;
}

// The file date of one side: kDosMissing when there is nothing or a directory.
int64_t Datum(bool da, const FileInfo& i) {
  return da ? DateiDatum(i) : kDosMissing;
}

// Rows of the two-way table. The access date is that of the one side that exists.
int SyncZeile(int64_t a, int64_t b, int64_t e, const FileInfo& h, const FileInfo& z) {
  if (a == b) return 1;
  if (a > e && b > e) return 2;
  if (a > b) {
    if (b >= 0) return 3;
    return Zugriffsdatum(h) > e ? 4 : 5;
  }
  if (a >= 0) return 6;
  return Zugriffsdatum(z) > e ? 7 : 8;
}

}  // namespace

void Verzeichnisvergleich::DateiZaehlen() {
  ++gezaehlt_;
  if (k_.fenster != nullptr)
    k_.fenster->DateiZaehlen(gezaehlt_, GaugeProzent(gezaehlt_, k_.Zaehler));
}

void Verzeichnisvergleich::VerzeichnisZeigen(const std::string& rel) {
  aktuelles_verzeichnis_ = rel;
  if (k_.fenster != nullptr) k_.fenster->VerzeichnisZeigen(rel);
}

Verzeichnisvergleich::Seite Verzeichnisvergleich::Lies(const std::string& path) {
  Seite s;
  s.da = k_.fs->Stat(path, &s.info);
  return s;
}

bool Verzeichnisvergleich::AndereSeiteErreichbar(const std::string& dir, const std::string& path) {
  if (k_.fs->IsEnterableDirectory(dir)) return true;
  if (k_.Will(LogStufe::kWarnung))
    k_.log->Zeile(LogStufe::kWarnung,
                  "Vergl: Nicht gelöscht: " + path + ", " + dir + " nicht erreichbar");
  return false;
}

void Verzeichnisvergleich::VerzeichnisVergleichen(const std::string& rel_in) {
  if (k_.StopAngefordert()) return;
  if (k_.Will(LogStufe::kDateizugriff))
    k_.log->Zeile(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: " + rel_in);

  std::string rel = rel_in;
  if (rel.empty() || rel.back() != '/') rel += '/';
  const std::string hdir = k_.Herkunft + rel;
  const std::string zdir = k_.Ziel + rel;

  // The target pass creates a source directory before it visits it, so this is only needed
  // when that creation went wrong or the directory vanished meanwhile.
  if (!k_.fs->IsEnterableDirectory(hdir)) {
    const std::string pfad = k_.Herkunft + StripTrailingSlash(rel);
    FileInfo vorhanden;
    if (k_.fs->Stat(pfad, &vorhanden)) {
      if (k_.Will(LogStufe::kWarnung)) k_.log->Zeile(LogStufe::kWarnung, kNichtLesbar + pfad);
      return;
    }
    if (!k_.fs->CreateDirectory(pfad)) {
      if (k_.Will(LogStufe::kWarnung)) k_.log->Zeile(LogStufe::kWarnung, kNichtErstellt + pfad);
      return;
    }
  }

  VerzeichnisZeigen(rel);

  // Source pass. The target directory is listed along with the source, so that each name
  // costs one look per side; a step that changes a file is decided again on fresh dates
  // (DateiPruefen). An archive target is not listed: it holds every dated copy ever made.
  // Both listings are taken in name order, so the target's entry of a source name is found by
  // walking along; Geprueft marks the target entries whose names the source pass saw, and the
  // target pass leaves those out.
  std::vector<FileInfo> quelle;
  std::vector<FileInfo> ziel;
  std::vector<bool> geprueft;
  bool quelle_gelesen = false;
  bool ziel_gelesen = false;
  if (!k_.Abbruch()) {
    quelle_gelesen = k_.fs->ListDirectory(hdir, &quelle);
    if (!quelle_gelesen) {
      quelle.clear();
      if (k_.Will(LogStufe::kWarnung)) k_.log->Zeile(LogStufe::kWarnung, kNichtLesbar + hdir);
    }
    if (k_.Art != VorgangsArt::kArchivieren) {
      ziel_gelesen = k_.fs->ListDirectory(zdir, &ziel);
      if (!ziel_gelesen) ziel.clear();
    }
    auto nach_name = [](const FileInfo& x, const FileInfo& y) { return x.name < y.name; };
    std::sort(quelle.begin(), quelle.end(), nach_name);
    std::sort(ziel.begin(), ziel.end(), nach_name);
    geprueft.assign(ziel.size(), false);
    size_t j = 0;
    for (const FileInfo& e : quelle) {
      while (j < ziel.size() && ziel[j].name < e.name) ++j;
      const bool im_ziel = j < ziel.size() && ziel[j].name == e.name;
      if (im_ziel) geprueft[j] = true;
      if (IstKopierTempName(e.name)) continue;  // left behind by a copy that broke off
      if (Besonders(e)) {
        if (k_.Will(LogStufe::kWarnung))
          k_.log->Zeile(LogStufe::kWarnung, kKeineNormaleDatei + hdir + e.name);
        continue;
      }
      Seite z = im_ziel ? Seite{true, ziel[j]} : ziel_gelesen ? Seite{} : Lies(zdir + e.name);
      if (e.IsDirectory() && k_.Unterverzeichnisse) {
        if (!IstLager(hdir + e.name) && !IstLager(zdir + e.name))
          HerkunftsVerzeichnis(rel, e, std::move(z));
        continue;
      }
      if (k_.ZaehlArt || (z.da && !z.info.IsDirectory())) DateiZaehlen();
      DateiPruefen(rel, e.name, Seite{true, e}, std::move(z));
    }
  }

  // Target pass, for a two-way run only, over the target listing made with the source pass.
  // When either side could not be read, every entry would look deleted on the other side, so
  // the pass is left out.
  if (k_.Art == VorgangsArt::kSynchronisieren && quelle_gelesen && !k_.Abbruch()) {
    if (!ziel_gelesen && k_.Will(LogStufe::kWarnung))
      k_.log->Zeile(LogStufe::kWarnung, kNichtLesbar + zdir);
    for (size_t j = 0; j < ziel.size(); ++j) {
      const FileInfo& e = ziel[j];
      if (geprueft[j] || IstKopierTempName(e.name)) continue;
      if (Besonders(e)) {
        if (k_.Will(LogStufe::kWarnung))
          k_.log->Zeile(LogStufe::kWarnung, kKeineNormaleDatei + zdir + e.name);
        continue;
      }
      if (e.IsDirectory() && k_.Unterverzeichnisse) {
        if (!IstLager(zdir + e.name) && !IstLager(hdir + e.name)) ZielVerzeichnis(rel, e);
        continue;
      }
      if (!k_.ZaehlArt) DateiZaehlen();
      // A name that turned up in the source during the run is left to the next run.
      Seite h = Lies(hdir + e.name);
      if (h.da) continue;
      DateiPruefen(rel, e.name, std::move(h), Seite{true, e});
    }
  }

  if (k_.Will(LogStufe::kDateizugriff))
    k_.log->Zeile(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis fertig: " + rel);
}

bool Verzeichnisvergleich::NichtBenutzt(const std::string& dir) {
  Seite d = Lies(dir);
  return d.da && d.info.IsDirectory() && k_.Vergleichsdatum > Zugriffsdatum(d.info) &&
         !SeitherBenutzt(dir);
}

bool Verzeichnisvergleich::SeitherBenutzt(const std::string& dir) {
  std::vector<FileInfo> eintraege;
  if (!k_.fs->ListDirectory(dir + "/", &eintraege)) return true;
  for (const FileInfo& e : eintraege) {
    if (Zugriffsdatum(e) > k_.Vergleichsdatum || DateiDatum(e) > k_.Vergleichsdatum) return true;
    if (e.IsDirectory() && SeitherBenutzt(dir + "/" + e.name)) return true;
  }
  return false;
}

void Verzeichnisvergleich::NeuBesuchen(const std::string& rel_name) {
  const int64_t gespeichert = k_.Vergleichsdatum;
  k_.Vergleichsdatum = 0;
  VerzeichnisVergleichen(rel_name);
  k_.Vergleichsdatum = gespeichert;
}

bool Verzeichnisvergleich::IstLager(const std::string& pfad) {
  // The move-aside store inside one of the trees is the program's own: synchronising it would
  // copy what was moved aside back into the trees, and moving aside would feed the walk.
  if (k_.LoeschenWohin.size() != pfad.size() + 1 ||
      k_.LoeschenWohin.compare(0, pfad.size(), pfad) != 0)
    return false;
  if (k_.Will(LogStufe::kWarnung)) k_.log->Zeile(LogStufe::kWarnung, kLager + pfad);
  return true;
}

void Verzeichnisvergleich::HerkunftsVerzeichnis(const std::string& rel, const FileInfo& e,
                                                Seite z) {
  const std::string hpfad = k_.Herkunft + rel + e.name;
  const std::string zpfad = k_.Ziel + rel + e.name;
  // What follows from a missing target (a removal or a creation) rests on a fresh look.
  if (!z.da) z = Lies(zpfad);
  if (z.da) {
    if (!z.info.IsDirectory()) {
      // Never removes the directory for the sake of a file (or a link) of the same name.
      if (k_.Will(LogStufe::kWarnung))
        k_.log->Zeile(LogStufe::kWarnung, kGleicherName + hpfad + " / " + zpfad);
      return;
    }
    if (!k_.fs->IsEnterableDirectory(zpfad)) {
      if (k_.Will(LogStufe::kWarnung)) k_.log->Zeile(LogStufe::kWarnung, kNichtLesbar + zpfad);
      return;
    }
    VerzeichnisVergleichen(rel + e.name);
    VerzeichnisZeigen(rel);
    return;
  }
  // Missing in the target. A two-way run removes a source directory that was last used before
  // the last run: its copy in the target was deleted since. Copy and archive jobs never delete
  // in their source; they create the directory in the target like a new one.
  if (k_.Art == VorgangsArt::kSynchronisieren && NichtBenutzt(hpfad)) {
    if (AndereSeiteErreichbar(k_.Ziel + rel, hpfad)) VerzeichnisLoeschen(k_, hpfad);
    return;
  }
  if (!k_.fs->CreateDirectory(zpfad)) {
    if (k_.Will(LogStufe::kWarnung)) k_.log->Zeile(LogStufe::kWarnung, kNichtErstellt + zpfad);
    return;
  }
  NeuBesuchen(rel + e.name);
  VerzeichnisZeigen(rel);
}

void Verzeichnisvergleich::ZielVerzeichnis(const std::string& rel, const FileInfo& e) {
  const std::string hpfad = k_.Herkunft + rel + e.name;
  const std::string zpfad = k_.Ziel + rel + e.name;
  Seite h = Lies(hpfad);
  if (h.da) {
    // Not in the source listing, yet there now: it turned up during the run.
    if (!h.info.IsDirectory()) {
      if (k_.Will(LogStufe::kWarnung))
        k_.log->Zeile(LogStufe::kWarnung, kGleicherName + hpfad + " / " + zpfad);
      return;
    }
    VerzeichnisVergleichen(rel + e.name);
    VerzeichnisZeigen(rel);
    return;
  }
  if (NichtBenutzt(zpfad)) {
    if (AndereSeiteErreichbar(k_.Herkunft + rel, zpfad)) VerzeichnisLoeschen(k_, zpfad);
    return;
  }
  if (!k_.fs->CreateDirectory(hpfad)) {
    if (k_.Will(LogStufe::kWarnung)) k_.log->Zeile(LogStufe::kWarnung, kNichtErstellt + hpfad);
    return;
  }
  NeuBesuchen(rel + e.name);
  VerzeichnisZeigen(rel);
}

void Verzeichnisvergleich::Kopieren(const std::string& von, const std::string& nach,
                                    int64_t groesse) {
  if (k_.kopierer != nullptr) k_.kopierer->Kopieren(von, nach, groesse);
}

void Verzeichnisvergleich::DateiPruefen(const std::string& rel, const std::string& name, Seite h,
                                        Seite z) {
  const int64_t e = k_.Vergleichsdatum;
  int64_t a = 0, b = 0;
  int zeile = 0;
  // The rows of the two-way table, and for a copy job 1 (target changed), 2 (source changed)
  // or 3 (nothing); 0 for an archive job.
  auto entscheiden = [&] {
    a = Datum(h.da, h.info);
    b = Datum(z.da, z.info);
    if (k_.Art == VorgangsArt::kSynchronisieren) {
      zeile = SyncZeile(a, b, e, h.info, z.info);
    } else if (k_.Art == VorgangsArt::kKopieren && !h.da) {
      zeile = 3;  // the source file went away meanwhile
    } else if (k_.Art == VorgangsArt::kKopieren) {
      const KopierPruefung p = k_.Pruefung();
      zeile = b > e && PrueftZiel(p) ? 1 : a > e && PrueftHerkunft(p) ? 2 : 3;
    }
  };
  entscheiden();
  // Both sides were read when their directory was listed; the step may come much later (after
  // large copies or a question to the user). A step that changes a file is therefore decided
  // again on a fresh look at both sides, so that a file saved meanwhile is not lost.
  const bool aendert = (k_.Art == VorgangsArt::kSynchronisieren && zeile != 1) ||
                       (k_.Art == VorgangsArt::kKopieren && zeile != 3);
  if (aendert) {
    h = Lies(k_.Herkunft + rel + name);
    z = Lies(k_.Ziel + rel + name);
    entscheiden();
  }

  if (k_.Will(LogStufe::kDateizugriff))
    k_.log->Zeile(LogStufe::kDateizugriff, "Vergl: Prüfe Datei: " + name);
  if (k_.Will(LogStufe::kDiagnose)) {
    k_.log->Zeile(LogStufe::kDiagnose, "Vergl: Herkunftsfile: " + DosLogText(a) + " Zielfile: " +
                                           DosLogText(b) + " Vergleichsdatum: " + DosLogText(e));
  }

  // Neither a FIFO nor a device is ever opened, and a file never replaces a directory (or the
  // other way round): such names are left as they are. An archive copy gets a name of its own,
  // so what the target holds under the file's name does not matter to it.
  if (k_.Art == VorgangsArt::kArchivieren) {
    Archivieren(k_, rel, name, a, h.info.size);
    return;
  }
  if ((h.da && Besonders(h.info)) || (z.da && Besonders(z.info))) {
    if (k_.Will(LogStufe::kWarnung)) {
      const bool hb = h.da && Besonders(h.info);
      k_.log->Zeile(LogStufe::kWarnung,
                    kKeineNormaleDatei + (hb ? k_.Herkunft : k_.Ziel) + rel + name);
    }
    return;
  }
  if (h.da && z.da && h.info.IsDirectory() != z.info.IsDirectory()) {
    if (k_.Will(LogStufe::kWarnung)) {
      k_.log->Zeile(LogStufe::kWarnung,
                    kGleicherName + k_.Herkunft + rel + name + " / " + k_.Ziel + rel + name);
    }
    return;
  }

  if (k_.Art == VorgangsArt::kSynchronisieren) {
    Synchronisieren(rel, name, h, z, a, b, zeile);
  } else if (k_.Art == VorgangsArt::kKopieren && zeile == 1) {
    Kopieren(k_.Herkunft + rel + name, k_.Ziel + rel + name, h.info.size);
    if (k_.Will(LogStufe::kDateiAenderung))
      k_.log->Zeile(LogStufe::kDateiAenderung, "Vergl: Wegen Ziel kopiere " + name + " aus " + rel);
  } else if (k_.Art == VorgangsArt::kKopieren && zeile == 2) {
    Kopieren(k_.Herkunft + rel + name, k_.Ziel + rel + name, h.info.size);
    if (k_.Will(LogStufe::kDateiAenderung))
      k_.log->Zeile(LogStufe::kDateiAenderung, "Vergl: Herkunft kopiere " + name + " aus " + rel);
  } else if (k_.Art == VorgangsArt::kKopieren) {
    k_.Log(LogStufe::kDateizugriff, kKeineAenderung);
  }
}

void Verzeichnisvergleich::Synchronisieren(const std::string& rel, const std::string& name,
                                           const Seite& h, const Seite& z, int64_t a, int64_t b,
                                           int zeile) {
  const std::string hpfad = k_.Herkunft + rel + name;
  const std::string zpfad = k_.Ziel + rel + name;
  auto kopiert_aus = [&](const std::string& wurzel) {
    if (k_.Will(LogStufe::kDateiAenderung))
      k_.log->Zeile(LogStufe::kDateiAenderung,
                    "Vergl: Kopiert: " + name + " aus Verzeichnis " + wurzel);
  };
  auto geloescht_aus = [&](const std::string& wurzel, const std::string& andere) {
    if (k_.Will(LogStufe::kDateiAenderung))
      k_.log->Zeile(LogStufe::kDateiAenderung,
                    "Vergl: Gelöscht: " + name + " aus Verzeichnis " + wurzel);
    if (k_.Will(LogStufe::kDiagnose))
      k_.log->Zeile(LogStufe::kDiagnose, kWeilNichtIn + andere + " gefunden");
  };
  switch (zeile) {
    case 1:
      k_.Log(LogStufe::kDateizugriff, kKeineAenderung);
      break;
    case 2:
      DoppelteAenderung(k_, rel, name, a, b, h.info.size);
      break;
    case 3:
      Kopieren(hpfad, zpfad, h.info.size);
      kopiert_aus(k_.Herkunft);
      k_.Log(LogStufe::kDiagnose, kVorSyncGeaendert);
      break;
    case 4:
      Kopieren(hpfad, zpfad, h.info.size);
      kopiert_aus(k_.Herkunft);
      if (k_.Will(LogStufe::kDiagnose))
        k_.log->Zeile(LogStufe::kDiagnose, kZugriffTrotzGeloescht + k_.Ziel);
      break;
    case 5:
      if (!AndereSeiteErreichbar(k_.Ziel + rel, hpfad)) break;
      DateiLoeschen(k_, hpfad);
      geloescht_aus(k_.Herkunft, k_.Ziel);
      break;
    case 6:
      Kopieren(zpfad, hpfad, z.info.size);
      kopiert_aus(k_.Ziel);
      k_.Log(LogStufe::kDiagnose, kNachSyncGeaendert);
      break;
    case 7:
      Kopieren(zpfad, hpfad, z.info.size);
      kopiert_aus(k_.Ziel);
      if (k_.Will(LogStufe::kDiagnose))
        k_.log->Zeile(LogStufe::kDiagnose, kZugriffTrotzGeloescht + k_.Herkunft);
      break;
    case 8:
      if (!AndereSeiteErreichbar(k_.Herkunft + rel, zpfad)) break;
      DateiLoeschen(k_, zpfad);
      geloescht_aus(k_.Ziel, k_.Herkunft);
      break;
    default:
      break;
  }
}

}  // namespace zarnoft
