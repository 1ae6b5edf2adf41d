#include "engine/deletion_guard.h"

#include <string>

#include "platform/number_format.h"

namespace zarnoft {

bool UeberLoeschGrenze(int64_t n, int64_t m, int grenze) {
  if (grenze <= 0 || n < kLoeschSchutzMindestens) return false;
  return n * 100 > static_cast<int64_t>(grenze) * m;
}

bool LoeschenErlaubt(LaufKontext& k, AktionsSeite seite) {
  // Only what is deleted counts: never deleting removes no file.
  if (k.Loeschen == LoeschModus::kNie) return true;
  const int64_t n = k.entfernungen.Dateien(seite);
  const int64_t m = seite == AktionsSeite::kHerkunft ? k.dateien_herkunft : k.dateien_ziel;
  if (!UeberLoeschGrenze(n, m, k.LoeschGrenze)) return true;

  const std::string& wurzel = seite == AktionsSeite::kHerkunft ? k.Herkunft : k.Ziel;
  const std::string verzeichnis = wurzel.empty() ? "/" : wurzel;
  const int64_t prozent = m > 0 ? (n * 100 + m / 2) / m : 100;
  const std::string anzahl = FormatDottedNumber(n) + " von " + FormatDottedNumber(m);
  if (k.Probelauf) {
    const std::string text = "Löschschutz: Dieser Lauf würde in " + verzeichnis + " " + anzahl +
                             " Dateien löschen (" + std::to_string(prozent) +
                             " %) und fragt vorher.";
    k.Log(LogStufe::kWarnung, "Vergl: " + text);
    if (k.bericht != nullptr) k.bericht->Hinweis(text);
    return true;
  }
  Frage f;
  f.symbol = Frage::Symbol::kWarnung;
  f.anlass = Frage::Anlass::kLoeschSchutz;
  f.titel = "Löschschutz";
  f.text = "Dieser Lauf würde in " + verzeichnis + " " + anzahl + " Dateien löschen (" +
           std::to_string(prozent) + " %). Sollen sie gelöscht werden?";
  f.knoepfe = {"&Ja", "&Nein"};
  f.standard = 1;  // deleting must be a deliberate choice
  f.abbrechen = 1;
  if (k.fenster->FrageStellen(f) == 0) return true;
  k.Fehlschlag("Vergl: Löschschutz: " + anzahl + " Dateien in " + verzeichnis + " nicht gelöscht");
  return false;
}

}  // namespace zarnoft
