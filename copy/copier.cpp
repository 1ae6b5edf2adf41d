// Kopierer::Kopieren: the copy hand-over of one run, its register and its statistics.
// The single-file copy itself is in file_copy.cpp.
#include "copy/copier.h"

#include <algorithm>

#include "copy/progress_texts.h"
#include "platform/path_helpers.h"

namespace zarnoft {

Kopierer::Kopierer(FileSystem* fs, Protokoll* log, Fortschritt* fenster, bool kopier_meldung)
    : fs_(fs), log_(log), fenster_(fenster), kopier_meldung_(kopier_meldung) {}

KopierErgebnis Kopierer::Kopieren(const std::string& von, const std::string& nach, int64_t groesse,
                                  const ZielBlick* gesehen) {
  return Uebergeben(von, nach, groesse, nullptr, gesehen);
}

KopierErgebnis Kopierer::KopierenNeu(const std::string& von, const std::string& nach,
                                     int64_t groesse, std::string* genommen) {
  std::string name;
  return Uebergeben(von, nach, groesse, genommen != nullptr ? genommen : &name, nullptr);
}

KopierErgebnis Kopierer::Uebergeben(const std::string& von, const std::string& nach,
                                    int64_t groesse, std::string* genommen,
                                    const ZielBlick* gesehen) {
  if (log_->Will(LogStufe::kDebugAusfuehrlich))
    log_->Zeile(LogStufe::kDebugAusfuehrlich,
                "Vergl: Kopie: Prüfe ob schon kopiert:" + von + " bzw. " + nach);

  // The register refuses the same copy and its exact reverse, so that a two-way run, which
  // walks both directories, does not copy a file straight back after copying it. Paths are
  // compared as exact texts: "A" and "a" are different files here.
  if (!uebergeben_.Eintragen(von, nach)) return KopierErgebnis::kAbgelehnt;
  if (log_->Will(LogStufe::kDebugAusfuehrlich))
    log_->Zeile(LogStufe::kDebugAusfuehrlich, "Vergl: Kopie: Darf kopieren");

  // A cancelled run keeps the copy in the register (it was handed over) but touches no file.
  if (fenster_ != nullptr && fenster_->Abbruch()) return KopierErgebnis::kAbgebrochen;

  KopierStatistik& s = statistik_;
  s.AktDatei = von;
  s.AktGroesse = groesse;
  s.SummeRest += std::max<int64_t>(groesse, 0);
  if (s.SummeRest > 999999) {
    s.SummeMio += s.SummeRest / 1000000;
    s.SummeRest %= 1000000;
  }
  if (fenster_ != nullptr) {
    NeueDateiAnzeige anzeige;
    anzeige.akt_datei = s.AktDatei;
    anzeige.anzahl_text = AnzahlDateienText(s.AnzahlKopiert);
    anzeige.kb_text = KbText(s.SummeMio, s.SummeRest, s.AktGroesse);
    fenster_->NeueDatei(anzeige);
  }

  KopierErgebnis ergebnis = DateiKopieren(von, nach, groesse, genommen, gesehen);
  if (ergebnis == KopierErgebnis::kFehler) ++fehlschlaege_;

  // A copy that a cancel broke off was taken back: nothing was put in place, so it is neither
  // counted nor shown as finished. A failed copy is counted as carried out (its failure is
  // reported on its own).
  if (ergebnis != KopierErgebnis::kAbgebrochen) {
    ++s.AnzahlKopiert;
    if (fenster_ != nullptr) fenster_->DateiFertig(AnzahlDateienText(s.AnzahlKopiert));
  }
  if (log_->Will(LogStufe::kDebugAusfuehrlich))
    log_->Zeile(LogStufe::kDebugAusfuehrlich, "Vergl: Kopie abgeschlossen");
  return ergebnis;
}

KopierErgebnis ProbeKopierer::Kopieren(const std::string& von, const std::string& nach,
                                       int64_t /*groesse*/, const ZielBlick* /*gesehen*/) {
  if (!uebergeben_.Eintragen(von, nach)) return KopierErgebnis::kAbgelehnt;
  if (fenster_ != nullptr && fenster_->Abbruch()) return KopierErgebnis::kAbgebrochen;
  return KopierErgebnis::kKopiert;
}

KopierErgebnis ProbeKopierer::KopierenNeu(const std::string& von, const std::string& nach,
                                          int64_t groesse, std::string* genommen) {
  KopierErgebnis e = Kopieren(von, nach, groesse);
  if (e != KopierErgebnis::kKopiert || genommen == nullptr) return e;
  for (int n = 1; n <= kHoechsteVersion; ++n) {
    FileInfo info;
    const std::string name = NumberedPath(nach, n);
    if (fs_->Stat(name, &info).missing()) {
      *genommen = name;
      return e;
    }
  }
  return KopierErgebnis::kFehler;
}

}  // namespace zarnoft
