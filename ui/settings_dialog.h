// The settings dialog "Einstellungen": four tabs over Main.sda, Cancel and OK, and a status bar
// that shows the long hint of the control under the pointer. The rules live in
// TEinstellungenLogik; this class holds the widgets and forwards their events.
//
// Created once at program start (it loads its controls then) and shown modally with Zeigen();
// it is hidden, never destroyed, between showings. Esc and "&Abbrechen" reload the controls
// from the file; closing by the title bar keeps whatever the user left in them. F1 shows the
// help topic of the focused tab as a pop-up. GUI thread only.
#ifndef ZARNOFT_UI_SETTINGS_DIALOG_H_
#define ZARNOFT_UI_SETTINGS_DIALOG_H_

#include <QDialog>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/settings_dialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;

namespace zarnoft {

class TEinstellungen : public QDialog, public EinstellungenAnsicht {
  Q_OBJECT

 public:
  // orte: Main.sda and the places of the defaults. fs and log as for TEinstellungenLogik.
  TEinstellungen(QWidget* parent, const DateiOrte& orte, FileSystem* fs = nullptr,
                 Protokoll* log = nullptr);
  ~TEinstellungen() override;

  // Shows the dialog modally and returns when it has closed, whichever way.
  void Zeigen();

  TEinstellungenLogik& Logik() { return *logik_; }

  // EinstellungenAnsicht
  EinstellungenFelder FelderLesen() override;
  void FelderZeigen(const EinstellungenFelder& f) override;
  void SyncVerzSichtbar(bool sichtbar) override;
  void SLVerschFolgen(bool aktiv) override;
  bool OrdnerWaehlen(const std::string& prompt, const std::string& anfang,
                     std::string* gewaehlt) override;
  bool LogdateiWaehlen(const std::string& anfang, std::string* gewaehlt) override;
  void FehlerZeigen(const std::string& text) override;
  void StatusZeigen(const std::string& text) override;

 public slots:
  void accept() override;  // OK
  void reject() override;  // Cancel and Esc
  // The first showing places the dialog and puts the focus on OK.
  void setVisible(bool sichtbar) override;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  QWidget* ProgrammSeite();
  QWidget* SynchronisationSeite();
  QWidget* HauptprogrammSeite();
  QWidget* EditorSeite();
  void HinweiseEinrichten();
  void HinweisZeigenAb(QWidget* w);

  QTabWidget* tabs_;
  // "&Programm"
  QButtonGroup* DPosition_;
  QCheckBox* HintShow_;
  QLineEdit* Datei_;
  QPushButton* Button1_;
  QComboBox* LogLev_;
  QCheckBox* LogWarn_;
  QComboBox* Logrotieren_;
  QSpinBox* LogAnz_;
  // "S&ynchronisation"
  QCheckBox* WNein_;
  QCheckBox* FNein_;
  QRadioButton* SLNormal_;
  QRadioButton* SLNie_;
  QRadioButton* SLVersch_;
  QLineEdit* SLVerz_;
  QPushButton* SLWahl_;
  QCheckBox* SLVJa_;
  QSpinBox* SLVAnz_;
  QSpinBox* LoeschGrenze_;
  QSpinBox* RueckgaengigTage_;
  QSpinBox* RueckgaengigAnteil_;
  // "Hauptprogramm"
  QCheckBox* Boot_;
  QSpinBox* ZeitBoot_;
  QCheckBox* Time_;
  QCheckBox* Idle_;
  QSpinBox* ZeitLeerlauf_;
  QCheckBox* Shutdown_;
  // "&Editor"
  QButtonGroup* Dateiablage_;
  QLabel* LSyncVerz_;
  QLineEdit* SyncVerz_;
  QPushButton* VerzWahl_;
  QCheckBox* SSync_;

  QPushButton* Abbruch_;
  QPushButton* Ja_;
  QStatusBar* status_;
  bool erstmals_gezeigt_ = false;
  // The control of each setting the dialog shows (settings/settings_table.h), found by its name.
  std::vector<std::pair<const Einstellung*, QObject*>> steuerelemente_;

  std::unique_ptr<TEinstellungenLogik> logik_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_SETTINGS_DIALOG_H_
