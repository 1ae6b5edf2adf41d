// Archivieren: an archive job keeps dated copies of the source files in the target tree. Each
// copy is a new file named after the moment of its decision, so earlier copies stay untouched.
// A name that is taken already (two runs within one second, the hour repeated when summer time
// ends, a clock set back) is never replaced: the copy gets " (2)", " (3)", ... before the
// extension.
#include <cstdio>
#include <string>

#include "engine/archive.h"
#include "platform/date_time.h"

namespace zarnoft {
namespace {

// "Brief.doc" at 14:05:09 on 1 March 2024 gives "Brief.doc vom 2024_03_01 14_05_09".
std::string ArchivName(const std::string& name, const LocalTime& lt) {
  char zeit[80];
  std::snprintf(zeit, sizeof zeit, "%04d_%02d_%02d %02d_%02d_%02d", lt.year, lt.month, lt.day,
                lt.hour, lt.minute, lt.second);
  return name + " vom " + zeit;
}

}  // namespace

void Archivieren(LaufKontext& k, const std::string& rel, const std::string& name,
                 const FileInfo& datei) {
  // Incremental: only what was written since the last run began. Every other sub-mode archives
  // all. A directory has no date of its own and counts as unchanged.
  if (k.Umfang() == ArchivUmfang::kInkrementell &&
      (datei.IsDirectory() || !k.Letzter.GeaendertSeitBeginn(datei))) {
    k.Log(LogStufe::kDateizugriff, "Vergl:              ... Keine Änderung");
    return;
  }
  const std::string name_jetzt = k.Ziel + rel + ArchivName(name, ToLocal(k.uhr->Now()));
  std::string nach;
  if (k.kopierer->KopierenNeu(k.Herkunft + rel + name, name_jetzt, datei.size, &nach) !=
      KopierErgebnis::kKopiert)
    return;
  k.Geschrieben(nach);
  k.Log(LogStufe::kDateiAenderung, "Vergl: Archiv kopiere " + name + " aus " + rel);
  Aktion a;
  a.art = AktionsArt::kArchivieren;
  a.seite = AktionsSeite::kZiel;
  a.rel = nach.substr(k.Ziel.size() + 1);
  a.herkunft = {datei.size, datei.mtime};
  k.Melden(a);
}

}  // namespace zarnoft
