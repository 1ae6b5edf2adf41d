#include "ui/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/program_info.h"
#include "ui/application.h"
#include "ui/file_dialog.h"
#include "ui/help.h"

namespace zarnoft {
namespace {

// The smallest outer size and the designed position of the dialog.
constexpr int kMindestBreite = 349;
constexpr int kMindestHoehe = 330;
constexpr QPoint kEntwurfsPosition(284, 119);
// Room for a window manager's frame around the client area.
constexpr int kRahmenZugabe = 40;

// Help contexts of the dialog and of its tabs.
constexpr int kHilfeDialog = 300;
constexpr int kHilfeProgramm = 301;
constexpr int kHilfeSynchronisation = 302;
constexpr int kHilfeHauptprogramm = 303;
constexpr int kHilfeEditor = 304;

// The hint of a control ("short|long"); the dialog shows its long part in the status bar.
constexpr const char* kHinweis = "zarnoftHinweis";

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

template <typename W>
W* Benannt(W* w, const char* name, const char* hinweis = nullptr) {
  w->setObjectName(name);
  if (hinweis != nullptr) w->setProperty(kHinweis, QString::fromUtf8(hinweis));
  return w;
}

QSpinBox* Zahlfeld(const char* name, Zahlbereich b, const char* hinweis) {
  auto* s = Benannt(new QSpinBox, name, hinweis);
  s->setRange(b.min, b.max);
  // A number typed outside the range becomes the nearest limit when the field is left.
  s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  return s;
}

// The number field of a setting: named and limited as its descriptor says.
QSpinBox* Zahlfeld(const Einstellung& e, const char* hinweis) {
  return Zahlfeld(e.steuerelement, e.bereich, hinweis);
}

QLabel* Beschriftung(const char* text, QWidget* buddy) {
  auto* l = new QLabel(QString::fromUtf8(text));
  l->setBuddy(buddy);
  return l;
}

// A line edit with its "..." button beside it.
QWidget* MitKnopf(QLineEdit* feld, QPushButton* knopf) {
  auto* w = new QWidget;
  auto* h = new QHBoxLayout(w);
  h->setContentsMargins(0, 0, 0, 0);
  h->addWidget(feld, 1);
  knopf->setFixedWidth(knopf->fontMetrics().horizontalAdvance("...") + 24);
  h->addWidget(knopf);
  return w;
}

// The item a list shows; -1 for typed text that is no item.
int ListenIndex(const QComboBox* c) {
  const int r = c->currentIndex();
  return r >= 0 && c->itemText(r) == c->currentText() ? r : -1;
}

// A setting's value from its control, by the control's kind.
void WertLesen(QObject* o, const Einstellung& e, EinstellungsWerte* w) {
  if (auto* b = qobject_cast<QCheckBox*>(o)) {
    w->SchalterSetzen(e, b->isChecked());
  } else if (auto* z = qobject_cast<QSpinBox*>(o)) {
    z->interpretText();  // a number being typed counts as it will when the field is left
    w->ZahlSetzen(e, z->value());
  } else if (auto* l = qobject_cast<QLineEdit*>(o)) {
    w->TextSetzen(e, S(l->text()));
  } else if (auto* c = qobject_cast<QComboBox*>(o)) {
    w->ZahlSetzen(e, ListenIndex(c));
  } else if (auto* g = qobject_cast<QButtonGroup*>(o)) {
    w->ZahlSetzen(e, g->checkedId());
  }
}

void WertZeigen(QObject* o, const Einstellung& e, const EinstellungsWerte& w) {
  if (auto* b = qobject_cast<QCheckBox*>(o)) {
    b->setChecked(w.Schalter(e));
  } else if (auto* z = qobject_cast<QSpinBox*>(o)) {
    z->setValue(w.Zahl(e));
  } else if (auto* l = qobject_cast<QLineEdit*>(o)) {
    // Unchanged text keeps the cursor where the user left it.
    if (l->text() != Q(w.Text(e))) l->setText(Q(w.Text(e)));
  } else if (auto* c = qobject_cast<QComboBox*>(o)) {
    // Text typed into an editable list stays as long as no item is to be shown.
    if (w.Zahl(e) != ListenIndex(c)) {
      c->setCurrentIndex(w.Zahl(e));
      if (w.Zahl(e) == -1) c->setEditText("");
    }
  } else if (auto* g = qobject_cast<QButtonGroup*>(o)) {
    if (QAbstractButton* knopf = g->button(w.Zahl(e))) knopf->setChecked(true);
  }
}

// The control named `name` that can show a setting.
QObject* Steuerelement(QObject* dialog, const char* name) {
  for (QObject* o : dialog->findChildren<QObject*>(name)) {
    if (qobject_cast<QCheckBox*>(o) || qobject_cast<QSpinBox*>(o) || qobject_cast<QLineEdit*>(o) ||
        qobject_cast<QComboBox*>(o) || qobject_cast<QButtonGroup*>(o)) {
      return o;
    }
  }
  return nullptr;
}

}  // namespace

TEinstellungen::TEinstellungen(QWidget* parent, const DateiOrte& orte, FileSystem* fs,
                               Protokoll* log)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  setObjectName("Einstellungen");
  setWindowTitle("Einstellungen");
  HilfeKontextSetzen(this, kHilfeDialog);
  HilfeAlsPopup(this);

  tabs_ = new QTabWidget;
  tabs_->addTab(ProgrammSeite(), "&Programm");
  tabs_->addTab(SynchronisationSeite(), "S&ynchronisation");
  tabs_->addTab(HauptprogrammSeite(), "Hauptprogramm");
  tabs_->addTab(EditorSeite(), "&Editor");

  Abbruch_ = Benannt(new QPushButton("&Abbrechen"), "Abbruch",
                     "Geänderte Werte nicht übernehmen|Ohne Änderungen speichern zurück zum "
                     "Hauptfenster");
  Ja_ = Benannt(new QPushButton("OK"), "Ja",
                "Zurück zum Hauptfenster|Änderungen übernehmen, zurück zum Hauptfenster");
  Ja_->setDefault(true);
  connect(Abbruch_, &QPushButton::clicked, this, &TEinstellungen::reject);
  connect(Ja_, &QPushButton::clicked, this, &TEinstellungen::accept);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch(1);
  knoepfe->addWidget(Abbruch_);
  knoepfe->addWidget(Ja_);

  status_ = new QStatusBar;
  status_->setSizeGripEnabled(true);

  auto* v = new QVBoxLayout(this);
  v->addWidget(tabs_, 1);
  v->addLayout(knoepfe);
  v->addWidget(status_);
  v->setContentsMargins(6, 6, 6, 0);

  HinweiseEinrichten();
  setTabOrder(Abbruch_, Ja_);
  for (const Einstellung* e : kEinstellungen) {
    if (e->feldart == Feldart::kKeins) continue;
    if (QObject* o = Steuerelement(this, e->steuerelement)) steuerelemente_.push_back({e, o});
  }

  logik_ = std::make_unique<TEinstellungenLogik>(this, orte, IsDebugBuild(), fs, log);
  logik_->FormCreate();

  // The designed size is the smallest; a larger desktop font gets the room it needs.
  const QSize noetig = sizeHint();
  resize(std::max(noetig.width(), kMindestBreite), std::max(noetig.height(), kMindestHoehe));
  setMinimumSize(std::max(minimumSizeHint().width(), kMindestBreite),
                 std::max(minimumSizeHint().height(), kMindestHoehe));
}

TEinstellungen::~TEinstellungen() = default;

QWidget* TEinstellungen::ProgrammSeite() {
  auto* seite = new QWidget;
  HilfeKontextSetzen(seite, kHilfeProgramm);

  auto* position = Benannt(new QGroupBox("Poition des Fensters "), "DPosition",
                           "Startposition|Position des Fensters beim Programmstart");
  DPosition_ = new QButtonGroup(this);
  DPosition_->setObjectName(main_sda::kPosS.steuerelement);
  auto* pv = new QVBoxLayout(position);
  int i = 0;
  for (const char* text : {"&Zentriert", "Letzte Position &merken"}) {
    auto* r = new QRadioButton(text);
    r->setObjectName(QString("DPosition%1").arg(i));
    DPosition_->addButton(r, i++);
    pv->addWidget(r);
  }

  HintShow_ = Benannt(new QCheckBox("Kurzhilfe anzeigen"), main_sda::kHint.steuerelement,
                      "Diese Hilfe anzeigen|Ohne Haken: Hilfe neben Zeiger unterdrücken");

  auto* logdatei = new QGroupBox("Logdatei ");
  Datei_ = Benannt(new QLineEdit, main_sda::kLDat.steuerelement,
                   "Dateiname der Logdatei|Dateiname der Logdatei, mit Pfad.");
  Button1_ =
      Benannt(new QPushButton("..."), "Button1", "Auswählen|Datei auswählen im eigenen Dialog");
  connect(Button1_, &QPushButton::clicked, this, [this] { logik_->Button1Click(); });
  LogLev_ = Benannt(new QComboBox, main_sda::kLLev.steuerelement, "Was soll geloggt werden?");
  for (const std::string& e : LogLevEintraege(IsDebugBuild())) LogLev_->addItem(Q(e));
  LogWarn_ = Benannt(new QCheckBox("Bei Fehlern beim Zugriff auf die Logdatei &warnen"),
                     main_sda::kLWarn.steuerelement,
                     "Warnen mit Auswahlmöglichkeit, wenn Logdatei nicht bereit.");
  Logrotieren_ =
      Benannt(new QComboBox, main_sda::kLArt.steuerelement, "Wann soll die Datei rotiert werden?");
  Logrotieren_->setEditable(true);
  Logrotieren_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& e : LogrotierenEintraege()) Logrotieren_->addItem(Q(e));
  LogAnz_ = Zahlfeld(main_sda::kLAnz, "Anzahl von Dateien, die aufbewahrt werden sollen.");

  auto* g = new QGridLayout(logdatei);
  g->addWidget(Beschriftung("&Datei:", Datei_), 0, 0);
  g->addWidget(MitKnopf(Datei_, Button1_), 0, 1);
  g->addWidget(Beschriftung("&Level:", LogLev_), 1, 0);
  g->addWidget(LogLev_, 1, 1);
  g->addWidget(LogWarn_, 2, 0, 1, 2);
  g->addWidget(Beschriftung("&Rotation:", Logrotieren_), 3, 0);
  g->addWidget(Logrotieren_, 3, 1);
  auto* anz = new QHBoxLayout;
  anz->addWidget(Beschriftung("Wievielte Datei &verwerfen:", LogAnz_));
  anz->addWidget(LogAnz_);
  anz->addStretch(1);
  g->addLayout(anz, 4, 0, 1, 2);
  g->setColumnStretch(1, 1);

  auto* oben = new QHBoxLayout;
  oben->addWidget(position);
  oben->addWidget(HintShow_, 0, Qt::AlignTop);
  oben->addStretch(1);
  auto* v = new QVBoxLayout(seite);
  v->addLayout(oben);
  v->addWidget(logdatei);
  v->addStretch(1);
  return seite;
}

QWidget* TEinstellungen::SynchronisationSeite() {
  auto* seite = new QWidget;
  HilfeKontextSetzen(seite, kHilfeSynchronisation);
  WNein_ = Benannt(new QCheckBox("Keine entbehrlichen &Warnungen anzeigen"),
                   main_sda::kWarnungen.steuerelement,
                   "Warnungen unterdrücken|Hinweis, ob auf das Verzeichnis zugegriffen werden "
                   "kann, nicht anzeigen");
  FNein_ = Benannt(new QCheckBox("Keine Fehlermeldungen beim Dateizugriff anzeigen"),
                   main_sda::kFehler.steuerelement,
                   "Betrifft die Kopiervorgänge|Unterdrückt Fehlermeldungen bei mißglückten "
                   "Kopiervorgängen.");

  auto* gruppe = Benannt(new QGroupBox("Löschen bei Vorgängen"), "Loeschen",
                         "Sicherheitseinstellungen beim Löschen|Sicherheitseinstellungen beim "
                         "Löschen von Dateien");
  SLNormal_ = Benannt(new QRadioButton("&Normale Programmlogik"), "SLNormal",
                      "Löschen nach Programmvorgaben|In einem Verzeichnis nicht vorhanden, im "
                      "anderen nicht angerührt");
  SLNie_ = Benannt(new QRadioButton("N&iemals löschen"), "SLNie",
                   "Auf gelöschte Dateien wird nicht eingegangen|Achtung! Datei bleibt einseitig "
                   "stehen!");
  SLVersch_ = Benannt(new QRadioButton("Statt löschen &verschieben nach:"), "SLVersch",
                      "Echte Sicherheitskopie|Sicherheitskopie in spezielles Verzeichnis, sonst "
                      "Programmlogik");
  // The buttons' ids are the modes' stored numbers.
  auto* modus = new QButtonGroup(this);
  modus->setObjectName(main_sda::kLoeschen.steuerelement);
  modus->addButton(SLNormal_, Zahl(LoeschModus::kNormal));
  modus->addButton(SLNie_, Zahl(LoeschModus::kNie));
  modus->addButton(SLVersch_, Zahl(LoeschModus::kAuslagern));
  SLNormal_->setChecked(true);
  for (QRadioButton* r : {SLNormal_, SLNie_, SLVersch_})
    connect(r, &QRadioButton::toggled, this, [this](bool an) {
      if (an) logik_->SLVerschClick();
    });
  SLVerz_ = Benannt(new QLineEdit, main_sda::kLoeschenWohin.steuerelement,
                    "Ort der Sicherheitskopie|Verzeichnis für die Sicherheitskopie");
  SLWahl_ = Benannt(new QPushButton("..."), "SLWahl",
                    "Verzeichnis auswählen|Verzeichnis der Sicherheitskopie auswählen");
  connect(SLWahl_, &QPushButton::clicked, this, [this] { logik_->SLWahlClick(); });
  // Kept for the state file of the move-aside folder; never shown.
  SLVJa_ = Benannt(new QCheckBox("Löschen, wenn belegt:"), "SLVJa");
  SLVAnz_ = Zahlfeld("SLVAnz", kSLVAnzBereich, nullptr);
  SLVAnz_->setValue(1);
  auto* mb = Benannt(new QLabel("MB"), "SLVLGroe");
  for (QWidget* w : std::initializer_list<QWidget*>{SLVJa_, SLVAnz_, mb}) {
    w->setParent(gruppe);
    w->setVisible(false);
  }

  auto* gv = new QVBoxLayout(gruppe);
  gv->addWidget(SLNormal_);
  gv->addWidget(SLNie_);
  gv->addWidget(SLVersch_);
  gv->addWidget(MitKnopf(SLVerz_, SLWahl_));

  // The deletion guard: a run that would delete more than this share of a side's files asks.
  LoeschGrenze_ = Zahlfeld(main_sda::kLoeschGrenze,
                           "Löschschutz|Ein Lauf, der mehr als diesen Anteil der Dateien einer "
                           "Seite löschen würde, fragt vorher (0: nie fragen)");
  auto* schutz = new QWidget;
  auto* sh = new QHBoxLayout(schutz);
  sh->setContentsMargins(0, 0, 0, 0);
  sh->addWidget(Beschriftung("Löschschutz ab", LoeschGrenze_));
  sh->addWidget(LoeschGrenze_);
  sh->addWidget(new QLabel("% der Dateien einer Seite"));
  sh->addStretch(1);

  // Kept runs: what a run replaces or removes stays for an undo this many days.
  RueckgaengigTage_ = Zahlfeld(main_sda::kRueckgaengigTage,
                               "Rückgängig machen|Was ein Lauf ersetzt oder löscht, bleibt so "
                               "viele Tage im Ordner .zarnoft der Seite (0: nichts aufbewahren)");
  RueckgaengigAnteil_ = Zahlfeld(main_sda::kRueckgaengigAnteil,
                                 "Rückgängig machen|Aufbewahrte Läufe belegen höchstens diesen "
                                 "Anteil des freien Platzes; ältere gehen zuerst");
  auto* aufbewahren = new QWidget;
  auto* ah = new QHBoxLayout(aufbewahren);
  ah->setContentsMargins(0, 0, 0, 0);
  ah->addWidget(Beschriftung("Läufe zum Rückgängigmachen aufbewahren:", RueckgaengigTage_));
  ah->addWidget(RueckgaengigTage_);
  ah->addWidget(new QLabel("Tage, höchstens"));
  ah->addWidget(RueckgaengigAnteil_);
  ah->addWidget(new QLabel("% des freien Platzes"));
  ah->addStretch(1);

  auto* v = new QVBoxLayout(seite);
  v->addWidget(WNein_);
  v->addWidget(FNein_);
  v->addWidget(gruppe);
  v->addWidget(schutz);
  v->addWidget(aufbewahren);
  v->addStretch(1);
  return seite;
}

QWidget* TEinstellungen::HauptprogrammSeite() {
  auto* seite = new QWidget;
  HilfeKontextSetzen(seite, kHilfeHauptprogramm);
  auto* gruppe = Benannt(new QGroupBox("Automatisch ausführen"), "Automatisch",
                         "Welche Aufträge automatisch ausführen?|Was soll automatisch gestartet "
                         "werden?");
  Boot_ = Benannt(new QCheckBox("Aufträge beim Startvorgang"), main_sda::kBoot.steuerelement,
                  "Boot ausführen|Vorgänge mit Boot beim Boot-Start ausführen");
  ZeitBoot_ = Zahlfeld(main_sda::kBootZeit,
                       "Verzögerung nach Start|Wieviel Sekunden nach Start warten vor Ausführung");
  Time_ = Benannt(new QCheckBox("Aufträge mit Zeitvorgabe"), main_sda::kZeit.steuerelement,
                  "Zu bestimmten Zeiten starten");
  Idle_ =
      Benannt(new QCheckBox("Aufträge bei Leerlauf"), main_sda::kIdle.steuerelement,
              "Bei Computerleerlauf starten|Aufträge starten, wenn Computerlast niedrig genug.");
  ZeitLeerlauf_ = Zahlfeld(main_sda::kIdleZeit,
                           "Bei Leerlauf warten|Wie lange Rechner im Leerlauf sein muß, bis "
                           "Auftrag startet.");
  Shutdown_ = Benannt(new QCheckBox("Aufträge beim Herunterfahren"), main_sda::kShut.steuerelement,
                      "Beim Beenden starten|Aufträge beim Beenden starten");
  // Shown with their stored values and written back unchanged; nothing acts on them.
  for (QWidget* w : std::initializer_list<QWidget*>{Time_, Idle_, ZeitLeerlauf_})
    w->setEnabled(false);

  auto* g = new QGridLayout(gruppe);
  g->addWidget(Boot_, 0, 0, 1, 4);
  g->addWidget(Beschriftung("Verzögerung:", ZeitBoot_), 1, 1);
  g->addWidget(ZeitBoot_, 1, 2);
  g->addWidget(new QLabel("Sekunden"), 1, 3);
  g->addWidget(Time_, 2, 0, 1, 4);
  g->addWidget(Idle_, 3, 0, 1, 4);
  auto* warte = Beschriftung("Wartezeit:", ZeitLeerlauf_);
  auto* minuten = new QLabel("Minuten");
  warte->setEnabled(false);
  minuten->setEnabled(false);
  g->addWidget(warte, 4, 1);
  g->addWidget(ZeitLeerlauf_, 4, 2);
  g->addWidget(minuten, 4, 3);
  g->addWidget(Shutdown_, 5, 0, 1, 4);
  g->setColumnMinimumWidth(0, 16);
  g->setColumnStretch(4, 1);

  auto* v = new QVBoxLayout(seite);
  v->addWidget(gruppe);
  v->addStretch(1);
  return seite;
}

QWidget* TEinstellungen::EditorSeite() {
  auto* seite = new QWidget;
  HilfeKontextSetzen(seite, kHilfeEditor);
  auto* ablage = Benannt(new QGroupBox("Dateiablage "), "Dateiablage",
                         "Vorgabe für Dateiablage|Nur Vorgabe für Dateiablage");
  Dateiablage_ = new QButtonGroup(this);
  Dateiablage_->setObjectName(main_sda::kSyncDirData.steuerelement);
  auto* av = new QVBoxLayout(ablage);
  int i = 0;
  for (const char* text :
       {"Im &Programmverzeichnis", "&Standardverzeichnis", "Let&ztes Verzeichnis"}) {
    auto* r = new QRadioButton(text);
    r->setObjectName(QString("Dateiablage%1").arg(i));
    Dateiablage_->addButton(r, i++);
    av->addWidget(r);
  }
  connect(Dateiablage_, &QButtonGroup::idToggled, this, [this](int, bool an) {
    if (an) logik_->DateiablageClick();
  });
  SyncVerz_ = Benannt(new QLineEdit, main_sda::kSyncDir.steuerelement,
                      "Vorgabeverzeichnis|Vorgabeverzeichnis für Ablage der Aufträge");
  LSyncVerz_ = Benannt(Beschriftung("&Standardverzeichnis:", SyncVerz_), "LSyncVerz");
  VerzWahl_ = Benannt(new QPushButton("&..."), "VerzWahl",
                      "Verzeichnis auswählen|Vorgabeverzeichnis auswählen");
  connect(VerzWahl_, &QPushButton::clicked, this, [this] { logik_->VerzWahlClick(); });
  SSync_ = Benannt(new QCheckBox("Sofort s&ynchronisieren"), main_sda::kSofortSync.steuerelement,
                   "Bei Übernahme ausführen|Erstellten Auftrag sofort ausführen");

  auto* v = new QVBoxLayout(seite);
  v->addWidget(ablage);
  v->addWidget(LSyncVerz_);
  v->addWidget(MitKnopf(SyncVerz_, VerzWahl_));
  v->addWidget(SSync_);
  v->addStretch(1);
  return seite;
}

EinstellungenFelder TEinstellungen::FelderLesen() {
  EinstellungenFelder f;
  for (const auto& [e, steuerelement] : steuerelemente_) WertLesen(steuerelement, *e, &f.werte);
  SLVAnz_->interpretText();
  f.SLVAnz = SLVAnz_->value();
  return f;
}

void TEinstellungen::FelderZeigen(const EinstellungenFelder& f) {
  for (const auto& [e, steuerelement] : steuerelemente_) WertZeigen(steuerelement, *e, f.werte);
  SLVAnz_->setValue(f.SLVAnz);
}

void TEinstellungen::SyncVerzSichtbar(bool sichtbar) {
  for (QWidget* w : std::initializer_list<QWidget*>{LSyncVerz_, SyncVerz_, VerzWahl_})
    w->setVisible(sichtbar);
}

void TEinstellungen::SLVerschFolgen(bool aktiv) {
  SLVJa_->setEnabled(aktiv);
  SLVAnz_->setEnabled(aktiv);
}

bool TEinstellungen::OrdnerWaehlen(const std::string& prompt, const std::string& anfang,
                                   std::string* gewaehlt) {
  // Qt's own dialog, so that it speaks German whatever the desktop's language.
  const QString pfad = zarnoft::OrdnerWaehlen(this, Q(prompt), Q(anfang));
  if (pfad.isEmpty()) return false;
  *gewaehlt = S(pfad);
  return true;
}

bool TEinstellungen::LogdateiWaehlen(const std::string& anfang, std::string* gewaehlt) {
  // The log is appended to, never overwritten: no question about an existing file.
  QFileDialog dlg(this, "Logdatei auswählen", Q(anfang), "Logdateien (*.log);;Alle Dateien (*)");
  DateiDialogEinrichten(&dlg);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setOption(QFileDialog::DontConfirmOverwrite);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  const QString pfad = dlg.selectedFiles().first();
  *gewaehlt = S(pfad);
  return true;
}

void TEinstellungen::FehlerZeigen(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, kAnwendungsTitel, Q(text), QMessageBox::Ok, this);
  box.exec();
}

void TEinstellungen::StatusZeigen(const std::string& text) {
  status_->showMessage(Q(text));
}

void TEinstellungen::Zeigen() {
  exec();
}

void TEinstellungen::accept() {
  // The dialog closes with OK even when writing fails; the failure has been shown by then.
  logik_->JaClick();
  QDialog::accept();
}

void TEinstellungen::reject() {
  logik_->AbbruchClick();
  QDialog::reject();
}

void TEinstellungen::closeEvent(QCloseEvent* e) {
  // The title bar's close is neither OK nor Cancel: the controls keep what the user left.
  QDialog::done(QDialog::Rejected);
  e->accept();
}

void TEinstellungen::setVisible(bool sichtbar) {
  if (sichtbar && !erstmals_gezeigt_) {
    erstmals_gezeigt_ = true;
    // The designed position, where the window with its frame lies wholly on a screen; otherwise
    // where Qt puts it. Placed before the window is mapped, so that it never jumps.
    const QRect entwurf(kEntwurfsPosition, size() + QSize(kRahmenZugabe, kRahmenZugabe));
    for (QScreen* s : QGuiApplication::screens()) {
      if (s->availableGeometry().contains(entwurf)) {
        move(kEntwurfsPosition);
        break;
      }
    }
    Ja_->setFocus();
  }
  QDialog::setVisible(sichtbar);
}

void TEinstellungen::HinweiseEinrichten() {
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool TEinstellungen::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::Enter || e->type() == QEvent::Leave) {
    auto* w = qobject_cast<QWidget*>(o);
    // Qt sends the leave of the widget first and then the enter of the one under the pointer;
    // a pointer that left a control for its parent gets no enter, so the parent's hint (or
    // the next one out) shows.
    if (w != nullptr) HinweisZeigenAb(e->type() == QEvent::Enter ? w : w->parentWidget());
  }
  return QDialog::eventFilter(o, e);
}

void TEinstellungen::HinweisZeigenAb(QWidget* w) {
  std::vector<std::string> hinweise;
  if (w != nullptr && !isAncestorOf(w)) w = nullptr;  // the pointer left the dialog
  for (; w != nullptr && w != this; w = w->parentWidget())
    hinweise.push_back(S(w->property(kHinweis).toString()));
  logik_->ShowHint(hinweise);
}

}  // namespace zarnoft
