#include "copy/progress_texts.h"

#include "platform/number_format.h"

namespace zarnoft {
namespace {

// From this size on the current file is shown in megabytes.
constexpr int64_t kAktInMegabytes = 1000000000;

// Makes the first "." of a grouped number a decimal comma and picks the unit: units[0] when the
// number has no ".", units[1] after the comma, units[2] when a "." is still left.
const char* MitEinheit(std::string* zahl, const char* const units[3]) {
  size_t punkt = zahl->find('.');
  if (punkt == std::string::npos) return units[0];
  (*zahl)[punkt] = ',';
  return zahl->find('.') == std::string::npos ? units[1] : units[2];
}

}  // namespace

std::string AnzahlDateienText(int64_t anzahl_kopiert) {
  return "Anzahl Dateien: " + FormatDottedNumber(anzahl_kopiert) + " kopiert";
}

std::string KbText(int64_t summe_mio, int64_t summe_rest, int64_t akt_groesse) {
  // A file of a billion bytes or more would read "1,048.576.000 MB", which a reader takes for
  // about one megabyte: from there on it is shown in whole megabytes, as the sum is.
  static const char* const kAkt[3] = {"Bytes", "kB", "MB"};
  static const char* const kAktGross[3] = {"MB", "GB", "TB"};
  const bool gross = akt_groesse >= kAktInMegabytes;
  std::string akt = FormatDottedNumber(gross ? akt_groesse / 1000000 : akt_groesse);
  const char* akt_einheit = MitEinheit(&akt, gross ? kAktGross : kAkt);

  if (summe_mio >= 1000) {
    static const char* const kSumme[3] = {"MB", "GB", "TB"};
    std::string summe = FormatDottedNumber(summe_mio);
    const char* einheit = MitEinheit(&summe, kSumme);
    return "Summe: " + summe + " " + einheit + " / Akt.:" + akt + " " + akt_einheit;
  }
  static const char* const kSummeKb[3] = {"kB", "MB", "GB"};
  std::string summe = FormatDottedNumber(summe_rest / 1000 + summe_mio * 1000);
  const char* einheit = MitEinheit(&summe, kSummeKb);
  return "Summe: " + summe + " " + einheit + " / Akt.: " + akt + " " + akt_einheit;
}

}  // namespace zarnoft
