// TZarnoft: the main window of the editor, the Qt side of the main window logic Hauptfenster.
//
// The window holds the widgets and their wiring, nothing else: it shows what the logic tells it
// through the HauptAnsicht interface and forwards every event to the logic, in handlers named
// after control and event. Positions that the logic's layout function fixes are applied as they
// come; the others are the window's own, measured from the desktop font so that nothing is cut or
// overlaps (where the font needs more room than the fixed numbers leave, the grid gives it up).
//
// Hints: the short part of a control's hint is its tool tip, the long part shows in status panel
// 0 while the pointer rests on the control; panel 0 shows the current activity again afterwards.
//
// GUI thread only. The logic is created by the window and lives as long as it.
#ifndef ZARNOFT_UI_MAIN_WINDOW_H_
#define ZARNOFT_UI_MAIN_WINDOW_H_

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "editor/main_view.h"
#include "editor/main_window.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace zarnoft {

class HilfeFenster;
class TAboutBox;
class TEinstellungen;

class TZarnoft : public QMainWindow, public HauptAnsicht {
  Q_OBJECT

 public:
  // `dienste` as the logic needs them (the program's or a test's); they must outlive the window.
  explicit TZarnoft(const HauptDienste& dienste);
  ~TZarnoft() override;

  Hauptfenster& Logik() { return *logik_; }
  HilfeFenster* Hilfe() const { return hilfe_; }

  // Runs the logic's creation step and places the window as it says (on a screen, at the
  // stored or the centred position); then show().
  void FormCreate(const DateiOrte& orte);

  // The dialogs that the menu opens; owned elsewhere, created after this window.
  void DialogeSetzen(TEinstellungen* einstellungen, TAboutBox* info);

  // The client area (below the menu bar) and the outer position, as the settings store them.
  FensterGeometrie Geometrie() const;

  // --- HauptAnsicht ---
  Antwort Meldung(const Meldungsbox& box) override;
  bool DateiOeffnenDialog(const DateiDialog& d, std::string* pfad) override;
  bool DateiSpeichernDialog(const DateiDialog& d, std::string* pfad) override;
  bool OrdnerDialogZeigen(const OrdnerDialog& d, std::string* pfad) override;
  void TextSetzen(Steuerelement e, const std::string& text) override;
  std::string Text(Steuerelement e) const override;
  void Sichtbar(Steuerelement e, bool sichtbar) override;
  void Aktivieren(Steuerelement e, bool aktiv) override;
  void Anhaken(Steuerelement e, bool an) override;
  bool Angehakt(Steuerelement e) const override;
  void EintraegeSetzen(Steuerelement e, const std::vector<std::string>& eintraege) override;
  void PositionSetzen(Steuerelement e, int position) override;
  int Position(Steuerelement e) const override;
  void TabelleSetzen(const Tabelle& t) override;
  int GewaehlteZeile() const override;
  void ZeileWaehlen(int zeile) override;
  int TextBreite(const std::string& text) const override;
  Textbedarf LayoutBedarf() const override;
  void Statuspanel(int index, const std::string& text) override;
  void Titel(const std::string& text) override;
  void LayoutAnwenden(const HauptLayout& l) override;
  void NachrichtenVerarbeiten() override;
  void Schliessen() override;
  bool AusnahmenZeigen(const std::string& herkunft, bool unterverzeichnisse,
                       std::vector<std::string>* muster) override;
  void ProbelaufZeigen(ProbeListe liste, Probefenster::Jetzt jetzt) override;
  void EinstellungenZeigen() override;
  void InfoZeigen() override;

  // For tests and screenshots: a control by its name ("Herkunft", "Setzen", "Anzeige", ...).
  QWidget* Element(const QString& name) const;
  QTableWidget* Anzeige() const { return anzeige_; }
  QString PanelText(int index) const;
  // The width of status panel 2 now (the size listing shortens its path to it).
  int Panel2Breite() const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  class Client;  // the client area: reports its size to FormResize

  void MenuesAnlegen();
  void ObenAnlegen();
  void UntenAnlegen();
  void Verbinden();
  void Hinweis(QWidget* w, const QString& hint);
  QWidget* Widget(Steuerelement e) const;
  void FormResize();
  // The layouts of the groups "Ausführung" and "Statusbeschreibung", made on the first layout.
  void GruppenEinrichten();
  // What the placing of the controls needs to know of the font, the style and the status group.
  Masse LayoutMasse() const;
  void PlatzierungAnwenden(const Platzierung& p);
  void PanelZeigen();
  void SpaltenSetzen(const std::vector<int>& breiten);
  // The failure lines shortened to the status group's width; the whole text in the tool tip.
  void FehlerZeilenZeigen();
  // The grid's context menu on row `zeile` (1 = first job).
  void KontextMenue(const QPoint& wo);
  // "Kurzhilfe anzeigen": whether tool tips appear beside the pointer (status hints always do).
  void KurzhilfeLesen();

  std::unique_ptr<Hauptfenster> logik_;
  FileSystem* fs_;  // the exclusions dialog counts through it
  HilfeFenster* hilfe_ = nullptr;
  TEinstellungen* einstellungen_ = nullptr;
  TAboutBox* info_ = nullptr;

  QWidget* client_;  // a Client
  // Top bar.
  QWidget* leiste_;
  QToolButton* b_neu_;
  QToolButton* b_offnen_;
  QToolButton* b_speichern1_;
  QToolButton* beenden_;
  // One job.
  QLabel* l_einzeln_;
  QLabel* l_herkunft_;
  QLineEdit* herkunft_;
  QPushButton* h_verz_b_;
  QLabel* hgroesse_;
  QLabel* l_ziel_;
  QLineEdit* ziel_;
  QPushButton* z_verz_b_;
  QLabel* z_groesse_;
  QCheckBox* unterverzeichnisse_;
  QGroupBox* gr_ausfuehr_;
  QCheckBox* a_start_;
  QCheckBox* a_ende_;
  QCheckBox* a_idle_;
  QLabel* l_art_;
  QComboBox* art_;
  QLabel* l_doppelt_;
  QComboBox* doppelt_;
  QPushButton* zeit_;
  QPushButton* ausnahmen_;
  // The collection.
  QLabel* l_sammlung_;
  QFrame* trenner_;
  QToolButton* setzen_;
  QToolButton* loesch_;
  QToolButton* holen_;
  QToolButton* sync_now_;
  QTableWidget* anzeige_;
  QLabel* l_anz_vergl_;
  QGroupBox* status_;
  QLabel* l_status_art_;
  QLabel* status1_;
  QLabel* status3_;
  QLabel* l_status_abgleich_;
  QLabel* status2_;
  QLabel* status4_;  // "Ausnahmen: 3 Muster", spanning both columns
  QLabel* status5_;  // the last run's failures, one a line, each shortened to the group's width
  QString status5_text_;  // as the logic set it, not shortened
  QListWidget* zeiten_;
  QWidget* status_bar_;
  QLabel* panels_[3];

  // Menu items that share a command with a button.
  std::map<QString, QAction*> aktionen_;
  // Panel 0: the activity as the logic set it, and the hint of the control under the pointer.
  QString aktivitaet_;
  QString hinweis_;
  HauptLayout layout_;
  bool layout_gesetzt_ = false;
  bool nachlayout_geplant_ = false;     // a layout for the client's real width is pending
  bool status_layout_geplant_ = false;  // the status group grows or shrinks for its failures
  std::string einstellungs_pfad_;       // Main.sda, known from FormCreate
  bool kurzhilfe_ = true;
  // TextBreite: the advance of each character met so far, for the grid's font.
  mutable std::unordered_map<char32_t, int> zeichen_breiten_;
  mutable int zeichen_hoehe_ = 0;
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_MAIN_WINDOW_H_
