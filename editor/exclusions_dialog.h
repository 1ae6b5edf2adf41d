// The logic of the exclusions dialog ("Ausnahmen..." beside a job's fields): the job's list of
// patterns, one per line, with add, remove and "Übliche Ausnahmen", and a line that says how many
// entries of the source the patterns leave out right now.
//
// The Qt dialog (ui/exclusions_dialog) holds the widgets, forwards its events here and runs the
// count on a thread of its own (AusgenommeneZaehlen); this class holds the rules, tested with a
// fake view. GUI thread only.
#ifndef ZARNOFT_EDITOR_EXCLUSIONS_DIALOG_H_
#define ZARNOFT_EDITOR_EXCLUSIONS_DIALOG_H_

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/exclusions.h"
#include "platform/file_system.h"

namespace zarnoft {

// The dialog's texts.
inline constexpr char kAusnahmenTitel[] = "Ausnahmen";
// The explanation above the list: an introduction, the examples (a pattern and what it leaves
// out, shown as two columns), and the rules of the wildcards.
inline constexpr char kAusnahmenEinleitung[] =
    "Was auf ein Muster passt, wird auf beiden Seiten weder verglichen noch kopiert noch "
    "gelöscht. Ein Muster pro Zeile, zum Beispiel:";
struct AusnahmeBeispiel {
  const char* muster;
  const char* erklaerung;
};
inline constexpr AusnahmeBeispiel kAusnahmenBeispiele[] = {
    {"*.tmp", "jede Datei, deren Name auf .tmp endet"},
    {"node_modules/", "jedes Verzeichnis dieses Namens, mit seinem Inhalt"},
    {"Projekte/build", "nur dieser Pfad, von der Wurzel des Auftrags aus"},
    {"**/cache/", "jedes Verzeichnis cache, in jeder Tiefe"},
    {"!wichtig.tmp", "nimmt eine Datei wieder auf, die ein Muster davor ausnimmt"},
};
inline constexpr char kAusnahmenRegeln[] =
    "* und ? passen nie auf \"/\", ** auf beliebig viele Verzeichnisse. Groß- und "
    "Kleinschreibung zählen.";

// How many entries below root (a directory, no trailing "/") the patterns leave out: each left-out
// file, link or directory counts once, and a left-out directory is not read. Never follows a
// link, never enters ".zarnoft" or an unreadable directory, and returns early (with what it has
// counted) once *stop is set. Any thread.
int64_t AusgenommeneZaehlen(FileSystem* fs, const std::string& root,
                            const AusnahmeRegeln& ausnahmen, bool unterverzeichnisse,
                            const std::atomic<bool>* stop);

// The count line: "Derzeit ausgenommen: 1.234 Einträge der Herkunft" (with "wird gezählt ..."
// while the count goes on).
std::string ZaehlungText(int64_t anzahl, bool fertig);

class AusnahmenAnsicht {
 public:
  virtual ~AusnahmenAnsicht() = default;
  // Shows the list; auswahl is the row to select (-1: none).
  virtual void ListeZeigen(const std::vector<std::string>& muster, int auswahl) = 0;
  // A pattern that cannot be used: a box over the dialog.
  virtual void Melden(const std::string& text) = 0;
  virtual void ZaehlungZeigen(const std::string& text) = 0;
  // Stops the count under way and starts one for the list as it is now; its results come back
  // through AusnahmenDialog::ZaehlungErhalten.
  virtual void ZaehlungStarten(const std::vector<std::string>& muster) = 0;
};

class AusnahmenDialog {
 public:
  // The view is not owned and must outlive the dialog. muster: the job's list as it is.
  AusnahmenDialog(AusnahmenAnsicht* ansicht, std::vector<std::string> muster);

  // Shows the list and starts the first count.
  void Zeigen();
  // Adds the typed pattern at the end. A pattern that cannot be used, or is in the list
  // already, is refused with a message; false then.
  bool Hinzufuegen(const std::string& muster);
  // Removes the pattern in row `zeile` (nothing when there is no such row).
  void Entfernen(int zeile);
  // Adds those of the usual patterns that are not in the list yet.
  void UeblicheHinzufuegen();
  // A result of the count started last.
  void ZaehlungErhalten(int64_t anzahl, bool fertig);

  const std::vector<std::string>& Muster() const { return muster_; }
  // Whether the list differs from the one the dialog started with.
  bool Geaendert() const { return muster_ != anfang_; }

 private:
  void Neu(int auswahl);

  AusnahmenAnsicht* ansicht_;
  std::vector<std::string> anfang_;
  std::vector<std::string> muster_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_EXCLUSIONS_DIALOG_H_
