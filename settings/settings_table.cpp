#include "settings/settings_table.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "settings/ini_file.h"

namespace zarnoft {

std::string TextVorgabe(const Einstellung& e, const DateiOrte& orte) {
  switch (e.text_vorgabe) {
    case Textvorgabe::kLeer:
      break;
    case Textvorgabe::kLogDatei:
      return orte.log_verzeichnis + "zarnoft.log";
    case Textvorgabe::kSammlungsVerzeichnis:
      return orte.sammlungs_verzeichnis;
    case Textvorgabe::kLoeschVorgabe:
      return orte.LoeschVorgabe();
  }
  return {};
}

bool SchalterLesen(const IniFile& ini, const Einstellung& e) {
  return ini.ReadBool(e.sektion, e.schluessel, e.vorgabe != 0);
}

int ZahlLesen(const IniFile& ini, const Einstellung& e) {
  const int64_t v = ini.ReadInteger(e.sektion, e.schluessel, e.vorgabe);
  if (e.regel == Zahlregel::kModusByte) return static_cast<int8_t>(static_cast<uint8_t>(v));
  // Window sizes, levels and modes are ints; a stored number beyond that range is as unusable
  // as text that is no number.
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return e.vorgabe;
  const int zahl = static_cast<int>(v);
  if (e.regel == Zahlregel::kBereich && !e.bereich.Enthaelt(zahl)) return e.vorgabe;
  return zahl;
}

std::string TextLesen(const IniFile& ini, const Einstellung& e, const std::string& vorgabe) {
  return ini.ReadString(e.sektion, e.schluessel, vorgabe);
}

void WertSchreiben(IniFile* ini, const Einstellung& e, const EinstellungsWerte& w) {
  switch (e.art) {
    case Wertart::kSchalter:
      ini->WriteBool(e.sektion, e.schluessel, w.Schalter(e));
      break;
    case Wertart::kZahl:
      ini->WriteInteger(e.sektion, e.schluessel, w.Zahl(e));
      break;
    case Wertart::kText:
      ini->WriteString(e.sektion, e.schluessel, w.Text(e));
      break;
  }
}

EinstellungsWerte::EinstellungsWerte() {
  for (size_t i = 0; i < kEinstellungen.size(); ++i) werte_[i].zahl = kEinstellungen[i]->vorgabe;
}

size_t EinstellungsWerte::Stelle(const Einstellung& e) {
  for (size_t i = 0; i < kEinstellungen.size(); ++i) {
    if (kEinstellungen[i] == &e) return i;
  }
  throw std::out_of_range(std::string("Einstellung nicht in der Tabelle: ") + e.schluessel);
}

}  // namespace zarnoft
