// LeereSeiteErlaubt: the question a two-way run asks before it walks when one of its directories
// is empty and the other is not. An unmounted drive shows as an empty mount point; walking it
// after an earlier run would take every file of the other side for deleted and delete it.
#include <string>
#include <vector>

#include "engine/empty_guard.h"
#include "platform/reserved_dir.h"

namespace zarnoft {
namespace {

std::string Anzeige(const std::string& wurzel) {
  return wurzel.empty() ? "/" : wurzel;
}

// A directory that cannot be read counts as empty: the walk would see nothing in it either.
bool Leer(FileSystem* fs, const std::string& wurzel) {
  std::vector<FileInfo> eintraege;
  fs->ListDirectory(wurzel, &eintraege);
  ReservierteWeglassen(&eintraege);  // the program's own directory is no content
  return eintraege.empty();
}

}  // namespace

bool LeereSeiteErlaubt(LaufKontext& k) {
  // Only a two-way run of a job that ran before deletes what the other side lacks.
  if (k.Art != VorgangsArt::kSynchronisieren || k.Letzter.Nie()) return true;
  const bool herkunft_leer = Leer(k.fs, k.Herkunft);
  const bool ziel_leer = Leer(k.fs, k.Ziel);
  if (herkunft_leer == ziel_leer) return true;

  const std::string leer = Anzeige(herkunft_leer ? k.Herkunft : k.Ziel);
  const std::string andere = Anzeige(herkunft_leer ? k.Ziel : k.Herkunft);
  if (k.Probelauf) {
    // A probe asks nobody; it shows what the run would do once the user said Ja.
    if (k.bericht != nullptr)
      k.bericht->Hinweis("Das Verzeichnis " + leer + " ist leer, das Verzeichnis " + andere +
                         " nicht; der Lauf fragt vorher.");
    return true;
  }
  Frage f;
  f.symbol = Frage::Symbol::kWarnung;
  f.anlass = Frage::Anlass::kLeereSeite;
  f.titel = "Warnung";
  f.text = "Das Verzeichnis " + leer + " ist leer, das Verzeichnis " + andere +
           " nicht.\rIst das Laufwerk vielleicht nicht eingehängt?\r\rTrotzdem abgleichen? "
           "Dabei können Dateien in " +
           andere + " gelöscht werden.";
  f.knoepfe = {"&Ja", "&Nein"};
  f.standard = 1;  // going on must be a deliberate choice
  f.abbrechen = 1;
  if (k.fenster->FrageStellen(f) == 0) return true;
  k.Log(LogStufe::kWarnung, "Vergl: Abgleich abgelehnt, Verzeichnis leer: " + leer);
  return false;
}

}  // namespace zarnoft
