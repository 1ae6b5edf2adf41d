// TProbelauf: the Qt window of a probe run's result ("Probelauf – <job>"), over the logic
// Probefenster (editor/probe_window.h). It holds the widgets and their wiring only: a warning
// line per notice above the table (the deletion guard would ask), the table, the counts, the
// failures, and the buttons "Jetzt synchronisieren" and "Schließen". The plan of an undo shows in
// the same window, titled "Rückgängig – <job>", with "Jetzt rückgängig machen" and its own help.
//
// Keyboard: Tab goes from the table to the buttons; Enter (the default) and Esc close it, so that
// no key starts a real run (or undo) by accident; Alt+J is the Jetzt button; F1 shows its help.
//
// Not modal; it deletes itself when closed. GUI thread only.
#ifndef ZARNOFT_UI_PROBE_WINDOW_H_
#define ZARNOFT_UI_PROBE_WINDOW_H_

#include <QDialog>
#include <vector>

#include "editor/probe_window.h"

class QLabel;
class QPushButton;
class QTableView;

namespace zarnoft {

class TProbelauf : public QDialog, public ProbeAnsicht {
  Q_OBJECT

 public:
  TProbelauf(QWidget* parent, ProbeListe liste, Probefenster::Jetzt jetzt);

  Probefenster& Logik() { return logik_; }
  QTableView* Tabelle() const { return tabelle_; }
  // The text of a cell as the table shows it (tests).
  QString Zelle(int zeile, int spalte) const;
  int Zeilen() const;

  // ProbeAnsicht
  void KopfSetzen(const ProbeListe& liste) override;
  void ZeilenSetzen(const std::vector<ProbeZeile>& zeilen, int spalte, bool aufsteigend) override;
  void Meldung(const std::string& text) override;
  void Schliessen() override;

 private:
  class Modell;  // the rows of the logic's list, read where they are (no copy per cell)

  QLabel* warnung_;
  Modell* modell_;
  QTableView* tabelle_;
  QLabel* zaehlung_;
  QLabel* fehler_;
  QPushButton* jetzt_;
  QPushButton* schliessen_;
  Probefenster logik_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_PROBE_WINDOW_H_
