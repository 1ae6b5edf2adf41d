#include "engine/actions.h"

#include "log/log_escape.h"
#include "platform/number_format.h"

namespace zarnoft {

int64_t Aktion::Groesse() const {
  if (!rel.empty() && rel.back() == '/') return -1;
  switch (art) {
    case AktionsArt::kKopieren:
      return seite == AktionsSeite::kZiel ? herkunft.groesse : ziel.groesse;
    case AktionsArt::kArchivieren:
      return herkunft.groesse;
    case AktionsArt::kLoeschen:
    case AktionsArt::kAuslagern:
    case AktionsArt::kWiederherstellen:
      return seite == AktionsSeite::kZiel ? ziel.groesse : herkunft.groesse;
    default:
      return -1;
  }
}

const char* AktionsName(AktionsArt art) {
  switch (art) {
    case AktionsArt::kKopieren:
      return "kopieren";
    case AktionsArt::kLoeschen:
      return "löschen";
    case AktionsArt::kAuslagern:
      return "auslagern";
    case AktionsArt::kAnlegen:
      return "anlegen";
    case AktionsArt::kArchivieren:
      return "archivieren";
    case AktionsArt::kBeideBehalten:
      return "beide behalten";
    case AktionsArt::kNachfragen:
      return "nachfragen";
    case AktionsArt::kBelassen:
      return "belassen";
    case AktionsArt::kWiederherstellen:
      return "wiederherstellen";
  }
  return "?";
}

const char* SeitenName(AktionsSeite seite) {
  switch (seite) {
    case AktionsSeite::kHerkunft:
      return "Herkunft";
    case AktionsSeite::kZiel:
      return "Ziel";
    case AktionsSeite::kBeide:
      return "beide";
  }
  return "?";
}

std::string AktionsZeile(const Aktion& a) {
  const int64_t g = a.Groesse();
  return std::string(AktionsName(a.art)) + " > " + SeitenName(a.seite) + "  " +
         EscapeControls(a.rel) + "  " + (g < 0 ? std::string("-") : FormatDottedNumber(g));
}

void Zusammenfassung::Zaehlen(const Aktion& a) {
  if (a.doppelt) ++doppelt;
  switch (a.art) {
    case AktionsArt::kKopieren:
      if (a.seite == AktionsSeite::kZiel) {
        ++dateien_zum_ziel;
        bytes_zum_ziel += a.Groesse() > 0 ? a.Groesse() : 0;
      } else {
        ++dateien_zur_herkunft;
        bytes_zur_herkunft += a.Groesse() > 0 ? a.Groesse() : 0;
      }
      break;
    case AktionsArt::kLoeschen:
      ++geloescht;
      break;
    case AktionsArt::kAuslagern:
      ++ausgelagert;
      break;
    case AktionsArt::kAnlegen:
      ++angelegt;
      break;
    case AktionsArt::kArchivieren:
      ++archiviert;
      break;
    case AktionsArt::kBeideBehalten:
    case AktionsArt::kNachfragen:
    case AktionsArt::kBelassen:
      break;
    case AktionsArt::kWiederherstellen:
      ++wiederhergestellt;
      break;
  }
}

}  // namespace zarnoft
