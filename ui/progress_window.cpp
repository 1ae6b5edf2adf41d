#include "ui/progress_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "platform/path_helpers.h"
#include "ui/help.h"
#include "ui/qt_texts.h"
#include "window/window_place.h"

namespace zarnoft {
namespace {

// The help topic of the progress window.
constexpr int kHilfeKontext = 110;
// The small per-file gauge beside the current file: as wide as a short percentage text.
constexpr int kGDateiBreite = 48;

QLineEdit* Anzeigefeld(const char* name) {
  auto* e = new QLineEdit;
  e->setObjectName(name);
  e->setEnabled(false);  // display only
  return e;
}

QProgressBar* Gauge(const char* name) {
  auto* g = new QProgressBar;
  g->setObjectName(name);
  g->setRange(0, 100);
  g->setTextVisible(true);
  g->setAlignment(Qt::AlignCenter);
  GaugeSetzen(g, 0);
  return g;
}

QMessageBox::Icon BoxSymbol(Frage::Symbol s) {
  switch (s) {
    case Frage::Symbol::kFehler:
      return QMessageBox::Critical;
    case Frage::Symbol::kFrage:
      return QMessageBox::Question;
    case Frage::Symbol::kWarnung:
      break;
  }
  return QMessageBox::Warning;
}

}  // namespace

void GaugeSetzen(QProgressBar* gauge, int prozent) {
  // The core computes the percentage (truncated, 0 for an empty maximum); the bar only shows it,
  // so that it never rounds differently nor turns into a busy indicator.
  if (gauge->value() == prozent && !gauge->format().isEmpty()) return;
  gauge->setValue(prozent);
  gauge->setFormat(QString("%1 %").arg(prozent));
}

TKopie::TKopie() : QWidget(nullptr, Qt::Window) {
  setObjectName("TKopie");
  setWindowTitle("Kopier- und Vergleichsfortschritt");
  // Minimise only: no close button, no maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint);
  setAttribute(Qt::WA_DeleteOnClose, false);
  HilfeKontextSetzen(this, kHilfeKontext);

  von_dir_ = Anzeigefeld("VonDir");
  nach_dir_ = Anzeigefeld("NachDir");
  auto* l_von = new QLabel("Von:");
  auto* l_nach = new QLabel("Nach:");
  uv_ = new QCheckBox("Mit Unterverzeichnissen");
  uv_->setObjectName("UV");
  uv_->setEnabled(false);
  art_ = new QLabel(kArtEntwurfstext);
  art_->setObjectName("Art");
  art_->setAlignment(Qt::AlignCenter);
  // Room for the longest kind text, so that no kind is cut whatever run opens the window.
  int art_breite = 0;
  for (const char* t : kArtTexte)
    art_breite = std::max(art_breite, art_->fontMetrics().horizontalAdvance(t));
  art_->setMinimumWidth(art_breite + 2 * art_->margin() + 4);

  auto* oben = new QGridLayout;
  oben->addWidget(l_von, 0, 0);
  oben->addWidget(von_dir_, 0, 1);
  oben->addWidget(l_nach, 1, 0);
  oben->addWidget(nach_dir_, 1, 1);
  auto* zeile3 = new QHBoxLayout;
  zeile3->addWidget(uv_);
  zeile3->addWidget(art_, 1);
  oben->addLayout(zeile3, 2, 0, 1, 2);

  auto* g_verz = new QGroupBox("Verzeichnisse");
  g_verz->setObjectName("GVerz");
  akt_verz_ = Anzeigefeld("AktVerz");
  g_verzeichnisse_ = Gauge("GVerzeichnisse");
  auto* lv = new QGridLayout(g_verz);
  lv->addWidget(new QLabel("Aktuell:"), 0, 0);
  lv->addWidget(akt_verz_, 0, 1);
  lv->addWidget(g_verzeichnisse_, 1, 0, 1, 2);

  auto* g_files = new QGroupBox("Kopien");
  g_files->setObjectName("GFiles");
  akt_dat_ = Anzeigefeld("AktDat");
  g_datei_ = Gauge("GDatei");  // stays at 0 %, as it always has
  g_datei_->setFixedWidth(kGDateiBreite);
  anzahl_dat_ = new QLabel(kAnzahlEntwurfstext);
  anzahl_dat_->setObjectName("AnzahlDat");
  kb_ = new QLabel(kKbEntwurfstext);
  kb_->setObjectName("KB");
  g_dateien_ = Gauge("GDateien");
  auto* lf = new QGridLayout(g_files);
  lf->addWidget(new QLabel("Aktuell:"), 0, 0);
  lf->addWidget(akt_dat_, 0, 1);
  lf->addWidget(g_datei_, 0, 2);
  lf->addWidget(anzahl_dat_, 1, 0, 1, 3);
  lf->addWidget(kb_, 2, 0, 1, 3);
  lf->addWidget(g_dateien_, 3, 0, 1, 3);

  abbrechen_ = new QPushButton(StandardSymbol("process-stop", QStyle::SP_BrowserStop), "Abbrechen");
  abbrechen_->setObjectName("Abbrechen");
  connect(abbrechen_, &QPushButton::clicked, this, &TKopie::AbbrechenClick);
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(esc, &QShortcut::activated, this, &TKopie::AbbrechenClick);
  auto* unten = new QHBoxLayout;
  unten->addStretch();
  unten->addWidget(abbrechen_);
  unten->addStretch();

  auto* l = new QVBoxLayout(this);
  l->setSpacing(4);
  l->setContentsMargins(8, 6, 8, 6);
  l->addLayout(oben);
  l->addWidget(g_verz);
  l->addWidget(g_files);
  l->addLayout(unten);

  // Fixed size: the design size, or what the desktop font needs when that is more.
  QSize bedarf = l->totalMinimumSize();
  setFixedSize(std::max(kBreite, bedarf.width()), std::max(kHoehe, bedarf.height()));

  timer_.setInterval(kAuffrischenMs);
  connect(&timer_, &QTimer::timeout, this, [this] { Auffrischen(); });
}

TKopie::~TKopie() {
  // A box still open belongs to this window and goes with it; its answer is no longer awaited.
  if (box_) box_->disconnect(this);
  std::erase(Offene(), this);
}

FensterFabrik TKopie::Fabrik() {
  return [] { return std::unique_ptr<FortschrittFenster>(new TKopie); };
}

std::vector<TKopie*>& TKopie::Offene() {
  static std::vector<TKopie*> offene;  // GUI thread only
  return offene;
}

void TKopie::Platzieren() {
  // Placed by the program, before it is shown (window/window_place.h): the screen with the mouse
  // or the active window.
  QScreen* schirm = QGuiApplication::screenAt(QCursor::pos());
  if (QWidget* aktiv = QApplication::activeWindow()) schirm = aktiv->screen();
  if (schirm == nullptr) schirm = QGuiApplication::primaryScreen();
  if (schirm == nullptr) return;
  std::vector<int> belegt;
  for (TKopie* k : Offene())
    if (k != this) belegt.push_back(k->stufe_);
  stufe_ = 0;
  while (std::find(belegt.begin(), belegt.end(), stufe_) != belegt.end()) ++stufe_;
  const QRect frei = schirm->availableGeometry();
  const QSize rahmen = frameGeometry().size().expandedTo(size());
  const Flaeche platz = FensterPlatz({frei.x(), frei.y(), frei.width(), frei.height()},
                                     rahmen.width(), rahmen.height(), stufe_);
  move(platz.x, platz.y);
}

void TKopie::FortschrittOeffnen(const std::string& herkunft, const std::string& ziel,
                                bool unterverzeichnisse, int32_t) {
  herkunft_ = herkunft;
  ziel_ = ziel;
  uv_->setChecked(unterverzeichnisse);
  Platzieren();
  Offene().push_back(this);
  show();
  PfadeKuerzen();
  timer_.start();
}

void TKopie::Zeigen(const Fortschrittsstand& s) {
  if (art_->text() != QString::fromStdString(s.art)) art_->setText(QString::fromStdString(s.art));
  bool pfade = s.verzeichnis != verzeichnis_ || s.akt_datei != datei_;
  verzeichnis_ = s.verzeichnis;
  datei_ = s.akt_datei;
  if (pfade) PfadeKuerzen();
  GaugeSetzen(g_verzeichnisse_, s.verzeichnisse_prozent);
  GaugeSetzen(g_dateien_, s.datei_prozent);
  QString anzahl = QString::fromStdString(s.anzahl_text);
  if (anzahl_dat_->text() != anzahl) anzahl_dat_->setText(anzahl);
  QString kb = QString::fromStdString(s.kb_text);
  if (kb_->text() != kb) kb_->setText(kb);
}

void TKopie::FortschrittSchliessen() {
  timer_.stop();
  geschlossen_ = true;
  if (box_) box_->close();
  hide();
  std::erase(Offene(), this);
}

void TKopie::BoxOeffnen(QMessageBox* box) {
  box->setWindowModality(Qt::WindowModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box_ = box;
  if (isMinimized()) showNormal();
  // The run that asks comes to the front with its box, also over another run's window.
  raise();
  // Qt centres the box over this window where it stands now: placed by Platzieren before it was
  // shown, or where the user moved it.
  box->open();
}

void TKopie::Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) {
  auto* box =
      new QMessageBox(QMessageBox::Critical, "Fehler", MeldungsText(text), QMessageBox::Ok, this);
  connect(box, &QMessageBox::finished, this, [geschlossen] { geschlossen(0); });
  BoxOeffnen(box);
}

void TKopie::FrageStellen(const Frage& frage, AntwortRueckruf antwort) {
  auto* box = new QMessageBox(BoxSymbol(frage.symbol), QString::fromStdString(frage.titel),
                              MeldungsText(frage.text), QMessageBox::NoButton, this);
  QList<QAbstractButton*> knoepfe;
  for (size_t i = 0; i < frage.knoepfe.size(); ++i) {
    // Action buttons keep the order in which the run gives them.
    QPushButton* k =
        box->addButton(QString::fromStdString(frage.knoepfe[i]), QMessageBox::ActionRole);
    knoepfe.append(k);
    if (static_cast<int>(i) == frage.standard) box->setDefaultButton(k);
    if (static_cast<int>(i) == frage.abbrechen) box->setEscapeButton(k);
  }
  connect(box, &QMessageBox::finished, this, [box, knoepfe, antwort] {
    int index = knoepfe.indexOf(box->clickedButton());
    antwort(index >= 0 ? index : kKeineAntwort);
  });
  BoxOeffnen(box);
}

QString TKopie::Feld(const char* name) const {
  if (auto* e = findChild<QLineEdit*>(name)) return e->text();
  if (auto* l = findChild<QLabel*>(name)) return l->text();
  if (auto* g = findChild<QProgressBar*>(name)) return g->text();
  if (auto* c = findChild<QCheckBox*>(name)) return c->isChecked() ? "1" : "0";
  return QString();
}

void TKopie::closeEvent(QCloseEvent* e) {
  // Only the run closes its window (the window manager may still offer a close entry).
  if (!geschlossen_) e->ignore();
}

void TKopie::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  PfadeKuerzen();
}

void TKopie::AbbrechenClick() {
  FortschrittFenster::AbbrechenClick();
}

void TKopie::PfadeKuerzen() {
  auto setzen = [](QLineEdit* feld, const std::string& pfad) {
    const QFontMetrics fm = feld->fontMetrics();
    // The room for text inside the frame of the field.
    int breite = feld->contentsRect().width() - 2 * fm.averageCharWidth();
    TextMeasure messen = [&fm](const std::string& s) {
      return fm.horizontalAdvance(QString::fromStdString(s));
    };
    QString text = QString::fromStdString(ShortenPathToWidth(pfad, breite, messen));
    if (feld->text() != text) feld->setText(text);
  };
  setzen(von_dir_, herkunft_);
  setzen(nach_dir_, ziel_);
  setzen(akt_verz_, verzeichnis_);
  setzen(akt_dat_, datei_);
}

}  // namespace zarnoft
