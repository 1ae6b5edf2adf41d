// TKopie: the progress window of one comparison run, "Kopier- und Vergleichsfortschritt".
//
// The run owns the window through its FortschrittFenster side: it creates it (FensterFabrik, on
// the GUI thread), opens it, writes the display snapshot without waiting, asks its questions and
// closes and destroys it at its end. The window shows the snapshot from a 50 ms timer (and once
// more when the run closes it), so that a run never waits for a repaint.
//
// The window has no close button (minimise only) and ignores a close request: only its run
// closes it. Abbrechen (or Esc) sets the run's cancel flag; the run notices it at its next step
// and closes the window when it ends. Error boxes and questions appear window-modal over this
// window and hand their answer back through the AntwortRueckruf: the GUI thread never waits in
// them, so other runs and the main window go on while a question is open.
//
// GUI thread only (the cancel flag and the snapshot excepted, see FortschrittFenster).
#ifndef ZARNOFT_UI_PROGRESS_WINDOW_H_
#define ZARNOFT_UI_PROGRESS_WINDOW_H_

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "window/progress_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace zarnoft {

class TKopie : public QWidget, public FortschrittFenster {
  Q_OBJECT

 public:
  // The design size of the client area; larger only when the desktop font needs more room.
  static constexpr int kBreite = 421;
  static constexpr int kHoehe = 278;
  // How often the window looks at its run's snapshot.
  static constexpr int kAuffrischenMs = 50;

  TKopie();
  ~TKopie() override;

  // A factory for runs started by the editor.
  static FensterFabrik Fabrik();

  // --- FortschrittFenster (GUI thread) ---
  void FortschrittOeffnen(const std::string& herkunft, const std::string& ziel,
                          bool unterverzeichnisse, int32_t zaehler) override;
  void Zeigen(const Fortschrittsstand& stand) override;
  void FortschrittSchliessen() override;
  void Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) override;
  void FrageStellen(const Frage& frage, AntwortRueckruf antwort) override;

  // For tests and screenshots.
  QPushButton* Abbrechen() const { return abbrechen_; }
  // The open error box or question, or nullptr.
  QMessageBox* OffeneBox() const { return box_; }
  QString Feld(const char* name) const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void AbbrechenClick();
  void PfadeKuerzen();
  void BoxOeffnen(QMessageBox* box);
  // Puts the window at the centre of the screen, one step further for each open window.
  void Platzieren();
  // The windows open now, in the order they opened.
  static std::vector<TKopie*>& Offene();

  QLineEdit* von_dir_;
  QLineEdit* nach_dir_;
  QCheckBox* uv_;
  QLabel* art_;
  QLineEdit* akt_verz_;
  QProgressBar* g_verzeichnisse_;
  QLineEdit* akt_dat_;
  QProgressBar* g_datei_;
  QLabel* anzahl_dat_;
  QLabel* kb_;
  QProgressBar* g_dateien_;
  QPushButton* abbrechen_;
  QTimer timer_;
  QPointer<QMessageBox> box_;
  // The full texts of the path fields, shortened anew to the fields' width.
  std::string herkunft_, ziel_, verzeichnis_, datei_;
  bool geschlossen_ = false;  // closed by its run: the close event is let through
  int stufe_ = 0;             // its place among the open windows (window/window_place.h)
};

// The gauge's look: the bar at `prozent` of its width and the text "<prozent> %".
void GaugeSetzen(QProgressBar* gauge, int prozent);

}  // namespace zarnoft

#endif  // ZARNOFT_UI_PROGRESS_WINDOW_H_
