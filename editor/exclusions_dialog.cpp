#include "editor/exclusions_dialog.h"

#include <algorithm>
#include <utility>

#include "platform/number_format.h"
#include "platform/reserved_dir.h"

namespace zarnoft {
namespace {

// rel: the directory's path relative to the root, "" for the root itself.
int64_t Zaehlen(FileSystem* fs, const std::string& root, const std::string& rel,
                const AusnahmeRegeln& ausnahmen, bool unterverzeichnisse,
                const std::atomic<bool>* stop) {
  if (stop != nullptr && stop->load(std::memory_order_relaxed)) return 0;
  std::vector<FileInfo> eintraege;
  // An unreadable directory counts what it could list.
  (void)fs->ListDirectory(rel.empty() ? root + "/" : root + "/" + rel + "/", &eintraege);
  int64_t anzahl = 0;
  for (const FileInfo& e : eintraege) {
    if (IstReserviert(e.name)) continue;
    const std::string pfad = rel.empty() ? e.name : rel + "/" + e.name;
    if (ausnahmen.Ausgenommen(pfad, e.IsDirectory())) {
      ++anzahl;
    } else if (e.IsDirectory() && unterverzeichnisse) {
      anzahl += Zaehlen(fs, root, pfad, ausnahmen, unterverzeichnisse, stop);
    }
  }
  return anzahl;
}

}  // namespace

int64_t AusgenommeneZaehlen(FileSystem* fs, const std::string& root,
                            const AusnahmeRegeln& ausnahmen, bool unterverzeichnisse,
                            const std::atomic<bool>* stop) {
  if (ausnahmen.Leer()) return 0;
  return Zaehlen(fs, root, "", ausnahmen, unterverzeichnisse, stop);
}

std::string ZaehlungText(int64_t anzahl, bool fertig) {
  std::string text = "Derzeit ausgenommen: " + FormatDottedNumber(anzahl) +
                     (anzahl == 1 ? " Eintrag" : " Einträge") + " der Herkunft";
  if (!fertig) text += " (wird gezählt ...)";
  return text;
}

AusnahmenDialog::AusnahmenDialog(AusnahmenAnsicht* ansicht, std::vector<std::string> muster)
    : ansicht_(ansicht), anfang_(muster), muster_(std::move(muster)) {}

void AusnahmenDialog::Zeigen() {
  Neu(muster_.empty() ? -1 : 0);
}

bool AusnahmenDialog::Hinzufuegen(const std::string& eingabe) {
  // A line pasted with its line end keeps no part of it.
  std::string muster = eingabe;
  while (!muster.empty() && (muster.back() == '\n' || muster.back() == '\r')) muster.pop_back();
  if (auto grund = MusterFehler(muster)) {
    ansicht_->Melden("Das Muster „" + muster + "“ kann nicht verwendet werden: " + *grund);
    return false;
  }
  if (std::find(muster_.begin(), muster_.end(), muster) != muster_.end()) {
    ansicht_->Melden("Das Muster „" + muster + "“ steht schon in der Liste.");
    return false;
  }
  muster_.push_back(muster);
  Neu(static_cast<int>(muster_.size()) - 1);
  return true;
}

void AusnahmenDialog::Entfernen(int zeile) {
  if (zeile < 0 || zeile >= static_cast<int>(muster_.size())) return;
  muster_.erase(muster_.begin() + zeile);
  Neu(std::min(zeile, static_cast<int>(muster_.size()) - 1));
}

void AusnahmenDialog::UeblicheHinzufuegen() {
  bool neu = false;
  for (const std::string& m : UeblicheAusnahmen()) {
    if (std::find(muster_.begin(), muster_.end(), m) != muster_.end()) continue;
    muster_.push_back(m);
    neu = true;
  }
  if (neu) Neu(static_cast<int>(muster_.size()) - 1);
}

void AusnahmenDialog::ZaehlungErhalten(int64_t anzahl, bool fertig) {
  ansicht_->ZaehlungZeigen(ZaehlungText(anzahl, fertig));
}

void AusnahmenDialog::Neu(int auswahl) {
  ansicht_->ListeZeigen(muster_, auswahl);
  ansicht_->ZaehlungZeigen(ZaehlungText(0, false));
  ansicht_->ZaehlungStarten(muster_);
}

}  // namespace zarnoft
