#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableWidget>
#include <QToolButton>

#include "ui/help.h"
#include "ui/qt_texts.h"

namespace zarnoft {
namespace {

// Help context numbers of the main window's controls and menu items.
constexpr int kHilfeFenster = 100;
constexpr int kHilfeNeu = 101;
constexpr int kHilfeSpeichern = 103;
constexpr int kHilfeOeffnen = 104;
constexpr int kHilfeHerkunft = 105;
constexpr int kHilfeZiel = 106;
constexpr int kHilfeAusfuehrung = 107;
constexpr int kHilfeArt = 108;
constexpr int kHilfeMenue = 1;
constexpr int kHilfeInfo = 12;
constexpr int kHilfeProbelauf = 111;
constexpr int kHilfeRueckgaengig = 112;

template <typename T>
T* Benannt(T* w, const char* name) {
  w->setObjectName(name);
  return w;
}

QToolButton* Werkzeugknopf(const char* name, const char* symbol, QStyle::StandardPixmap ersatz) {
  auto* k = Benannt(new QToolButton, name);
  k->setIcon(StandardSymbol(symbol, ersatz));
  k->setAutoRaise(true);
  k->setFocusPolicy(Qt::StrongFocus);
  return k;
}

}  // namespace

// The client area: everything below the menu bar, laid out by FormResize.
class TZarnoft::Client : public QWidget {
 public:
  explicit Client(TZarnoft* w) : QWidget(w), w_(w) {}

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    w_->FormResize();
  }

 private:
  TZarnoft* w_;
};

TZarnoft::TZarnoft(const HauptDienste& dienste)
    : fs_(dienste.fs != nullptr ? dienste.fs : FileSystem::Default()) {
  setObjectName("TZarnoft");
  setWindowTitle("Zarnoft");
  HilfeKontextSetzen(this, kHilfeFenster);
  client_ = new Client(this);
  setCentralWidget(client_);
  hilfe_ = new HilfeFenster(this);
  HilfeTasteEinrichten(hilfe_);

  ObenAnlegen();
  UntenAnlegen();
  MenuesAnlegen();
  logik_ = std::make_unique<Hauptfenster>(this, dienste);
  Verbinden();
  qApp->installEventFilter(this);
}

TZarnoft::~TZarnoft() = default;

void TZarnoft::DialogeSetzen(TEinstellungen* einstellungen, TAboutBox* info) {
  einstellungen_ = einstellungen;
  info_ = info;
}

void TZarnoft::MenuesAnlegen() {
  auto eintrag = [this](QMenu* m, const QString& text, const char* name, int hilfe, auto handler) {
    QAction* a = m->addAction(text);
    a->setObjectName(name);
    HilfeKontextSetzen(a, hilfe);
    connect(a, &QAction::triggered, this, handler);
    aktionen_[name] = a;
    return a;
  };
  QMenu* datei = menuBar()->addMenu("&Datei");
  eintrag(datei, "&Neu", "Neu1", kHilfeNeu, [this] {
    logik_->BNeuClick();
  })->setShortcut(QKeySequence::New);
  eintrag(datei, "Ö&ffnen...", "Oeffnen1", kHilfeOeffnen, [this] {
    logik_->BOffnenClick();
  })->setShortcut(QKeySequence::Open);
  eintrag(datei, "&Speichern", "Speichern1", kHilfeSpeichern, [this] {
    logik_->BSpeichernClick();
  })->setShortcut(QKeySequence::Save);
  eintrag(datei, "Speichern &unter...", "Speichernunter1", kHilfeSpeichern, [this] {
    logik_->Speichernunter1Click();
  })->setShortcut(QKeySequence::SaveAs);
  datei->addSeparator();
  // Printing was never offered; the items stay, hidden, where they have always been.
  eintrag(datei, "&Drucken...", "Drucken1", kHilfeFenster, [] {})->setVisible(false);
  eintrag(datei, "Drucker&einrichtung...", "Druckereinrichtung1", kHilfeFenster, [] {
  })->setVisible(false);
  datei->addSeparator()->setVisible(false);
  eintrag(datei, "&Beenden", "Beenden1", kHilfeFenster, [this] {
    logik_->Beenden1Click();
  })->setShortcut(QKeySequence::Quit);

  QMenu* bearbeiten = menuBar()->addMenu("&Bearbeiten");
  eintrag(bearbeiten, "In Sammlung übernehmen", "Setzen1", kHilfeFenster,
          [this] { logik_->SetzenClick(); });
  eintrag(bearbeiten, "Aus Sammlung bearbeiten", "Holen1", kHilfeFenster,
          [this] { logik_->HolenClick(); });
  eintrag(bearbeiten, "Aus Sammlung löschen", "Loesch1", kHilfeFenster,
          [this] { logik_->LoeschClick(); });

  QMenu* extras = menuBar()->addMenu("&Extras");
  eintrag(extras, "Aktuelles Synchronisieren", "SyncNow1", kHilfeFenster,
          [this] { logik_->SyncNowClick(); });
  eintrag(extras, "&Probelauf", "Probelauf1", kHilfeProbelauf,
          [this] { logik_->ProbelaufClick(); });
  eintrag(extras, QString("&") + kRueckgaengigTitel, "Rueckgaengig1", kHilfeRueckgaengig,
          [this] { logik_->RueckgaengigClick(); });
  eintrag(extras, "&Einstellungen", "Einstellungen1", 300,
          [this] { logik_->Einstellungen1Click(); });

  QMenu* hilfe = menuBar()->addMenu("&Hilfe");
  eintrag(hilfe, "&Inhalt", "Inhalt1", kHilfeMenue, [this] { hilfe_->InhaltZeigen(); });
  eintrag(hilfe, "&Suchen...", "Suchen2", kHilfeMenue, [this] { hilfe_->SuchenZeigen(); });
  eintrag(hilfe, "&Hilfe benutzen", "Hilfebenutzen1", kHilfeMenue,
          [this] { hilfe_->ThemaZeigen(kHilfeMenue); });
  hilfe->addSeparator();
  eintrag(hilfe, "In&fo...", "Info1", kHilfeInfo, [this] { logik_->Info1Click(); });
}

void TZarnoft::ObenAnlegen() {
  leiste_ = Benannt(new QWidget(client_), "Leiste");
  HilfeKontextSetzen(leiste_, kHilfeFenster);
  b_neu_ = Werkzeugknopf("BNeu", "document-new", QStyle::SP_FileIcon);
  b_offnen_ = Werkzeugknopf("BOffnen", "document-open", QStyle::SP_DialogOpenButton);
  b_speichern1_ = Werkzeugknopf("BSpeichern1", "document-save", QStyle::SP_DialogSaveButton);
  beenden_ = Werkzeugknopf("Beenden", "application-exit", QStyle::SP_DialogCloseButton);
  for (QToolButton* k : {b_neu_, b_offnen_, b_speichern1_, beenden_}) k->setParent(leiste_);
  HilfeKontextSetzen(b_neu_, kHilfeNeu);
  HilfeKontextSetzen(b_offnen_, kHilfeOeffnen);
  HilfeKontextSetzen(b_speichern1_, kHilfeSpeichern);
  Hinweis(b_neu_, "Neuen Vorgang (Abgleichregelsatz) anlegen");
  Hinweis(b_offnen_, "Abgleichregelsatz (Vorgang) öffnen");
  Hinweis(b_speichern1_, "Vorgang (Auftragssammlung) speichern");
  Hinweis(beenden_, "&Beenden");

  l_einzeln_ = new QLabel("Einzelner Auftrag:", leiste_);
  QFont fett = l_einzeln_->font();
  fett.setBold(true);
  l_einzeln_->setFont(fett);

  herkunft_ = Benannt(new QLineEdit(client_), "Herkunft");
  l_herkunft_ = new QLabel("He&rkunft:", client_);
  l_herkunft_->setBuddy(herkunft_);
  h_verz_b_ = Benannt(new QPushButton("...", client_), "HVerzB");
  hgroesse_ = Benannt(new QLabel(client_), "Hgroesse");
  ziel_ = Benannt(new QLineEdit(client_), "Ziel");
  l_ziel_ = new QLabel("&Ziel:", client_);
  l_ziel_->setBuddy(ziel_);
  z_verz_b_ = Benannt(new QPushButton("...", client_), "ZVerzB");
  z_groesse_ = Benannt(new QLabel(client_), "ZGroesse");
  unterverzeichnisse_ =
      Benannt(new QCheckBox("Mit &Unterverzeichnissen", client_), "Unterverzeichnisse");
  Hinweis(herkunft_, "Herkunftsverzeichnis");
  Hinweis(ziel_, "Zielverzeichnis");
  Hinweis(h_verz_b_, "Herkunftsverzeichnis auswählen");
  Hinweis(z_verz_b_, "Zielverzeichnis auswählen");
  for (QWidget* w : {static_cast<QWidget*>(herkunft_), static_cast<QWidget*>(h_verz_b_)})
    HilfeKontextSetzen(w, kHilfeHerkunft);
  for (QWidget* w : {static_cast<QWidget*>(ziel_), static_cast<QWidget*>(z_verz_b_)})
    HilfeKontextSetzen(w, kHilfeZiel);
  HilfeKontextSetzen(unterverzeichnisse_, kHilfeHerkunft);

  gr_ausfuehr_ = Benannt(new QGroupBox("Ausführung", client_), "GrAusfuehr");
  a_start_ = Benannt(new QCheckBox("Beim Booten", gr_ausfuehr_), "AStart");
  a_ende_ = Benannt(new QCheckBox("Beim Herunterfahren", gr_ausfuehr_), "AEnde");
  a_idle_ = Benannt(new QCheckBox("Beim Leerlauf", gr_ausfuehr_), "AIdle");
  a_idle_->setEnabled(false);
  HilfeKontextSetzen(gr_ausfuehr_, kHilfeAusfuehrung);

  art_ = Benannt(new QComboBox(client_), "Art");
  l_art_ = new QLabel("&Art des Auftrages:", client_);
  l_art_->setBuddy(art_);
  doppelt_ = Benannt(new QComboBox(client_), "Doppelt");
  l_doppelt_ = Benannt(new QLabel(client_), "LDoppelt");
  l_doppelt_->setBuddy(doppelt_);
  zeit_ = Benannt(new QPushButton("Zeit...", client_), "Zeit");
  zeit_->setEnabled(false);
  HilfeKontextSetzen(art_, kHilfeArt);
  HilfeKontextSetzen(doppelt_, kHilfeArt);
  HilfeKontextSetzen(zeit_, kHilfeAusfuehrung);
  ausnahmen_ = Benannt(new QPushButton("Au&snahmen...", client_), "Ausnahmen");
  Hinweis(ausnahmen_, "Ausnahmen|Was der Auftrag auslässt");
  HilfeKontextSetzen(ausnahmen_, kHilfeArt);
}

void TZarnoft::UntenAnlegen() {
  l_sammlung_ = new QLabel("Auftragsammlung:", client_);
  l_sammlung_->setFont(l_einzeln_->font());
  trenner_ = new QFrame(client_);
  trenner_->setFrameShape(QFrame::HLine);
  trenner_->setFrameShadow(QFrame::Sunken);
  setzen_ = Werkzeugknopf("Setzen", "list-add", QStyle::SP_ArrowDown);
  loesch_ = Werkzeugknopf("Loesch", "list-remove", QStyle::SP_TrashIcon);
  holen_ = Werkzeugknopf("Holen", "document-edit", QStyle::SP_ArrowUp);
  sync_now_ = Werkzeugknopf("SyncNow", "view-refresh", QStyle::SP_BrowserReload);
  for (QToolButton* k : {setzen_, loesch_, holen_, sync_now_}) k->setParent(client_);
  Hinweis(setzen_, "Vergleich in Liste übernehmen");
  Hinweis(loesch_, "Vergleich löschen");
  Hinweis(holen_, "Vergleich aus Liste übernehmen");
  Hinweis(sync_now_, "Vergleich aktualisieren");

  anzeige_ =
      Benannt(new QTableWidget(1, static_cast<int>(TabellenSpalten().size()), client_), "Anzeige");
  anzeige_->verticalHeader()->hide();
  anzeige_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  anzeige_->horizontalHeader()->setHighlightSections(false);
  anzeige_->setSelectionBehavior(QAbstractItemView::SelectRows);
  anzeige_->setSelectionMode(QAbstractItemView::SingleSelection);
  anzeige_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  anzeige_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  anzeige_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  anzeige_->setWordWrap(false);
  anzeige_->setTabKeyNavigation(false);
  anzeige_->setMouseTracking(true);
  anzeige_->viewport()->installEventFilter(this);
  int zeile = std::max(hauptlayout::kZeilenHoehe, anzeige_->fontMetrics().height() + 4);
  anzeige_->verticalHeader()->setDefaultSectionSize(zeile);
  anzeige_->verticalHeader()->setMinimumSectionSize(zeile);

  l_anz_vergl_ = Benannt(new QLabel(client_), "LAnzVergl");
  status_ = Benannt(new QGroupBox("Statusbeschreibung", client_), "Status");
  l_status_art_ = new QLabel("Art:", status_);
  status1_ = Benannt(new QLabel(status_), "Status1");
  status3_ = Benannt(new QLabel("Dateien doppelt geändert:", status_), "Status3");
  status3_->hide();
  l_status_abgleich_ = new QLabel("Abgleich:", status_);
  status2_ = Benannt(new QLabel(status_), "Status2");
  status4_ = Benannt(new QLabel(status_), "Status4");
  status4_->hide();
  status5_ = Benannt(new QLabel(status_), "Status5");
  status5_->setTextFormat(Qt::PlainText);
  status5_->hide();
  zeiten_ = Benannt(new QListWidget(client_), "Zeiten");
  zeiten_->setFocusPolicy(Qt::NoFocus);

  status_bar_ = Benannt(new QWidget(client_), "StatusBar");
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(status_bar_);
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    panels_[i]->setObjectName(QString("Panel%1").arg(i));
  }
  panels_[1]->setText("Unverändert");
}

void TZarnoft::Verbinden() {
  connect(b_neu_, &QToolButton::clicked, this, [this] { logik_->BNeuClick(); });
  connect(b_offnen_, &QToolButton::clicked, this, [this] { logik_->BOffnenClick(); });
  connect(b_speichern1_, &QToolButton::clicked, this, [this] { logik_->BSpeichernClick(); });
  connect(beenden_, &QToolButton::clicked, this, [this] { logik_->Beenden1Click(); });
  connect(h_verz_b_, &QPushButton::clicked, this, [this] { logik_->HVerzBClick(); });
  connect(z_verz_b_, &QPushButton::clicked, this, [this] { logik_->ZVerzBClick(); });
  // Typed or set, every change of the text counts.
  connect(herkunft_, &QLineEdit::textChanged, this, [this] { logik_->HerkunftChange(); });
  connect(ziel_, &QLineEdit::textChanged, this, [this] { logik_->ZielChange(); });
  connect(unterverzeichnisse_, &QCheckBox::toggled, this,
          [this] { logik_->UnterverzeichnisseClick(); });
  // Only the user's pick of a kind is a change of kind.
  connect(art_, &QComboBox::activated, this, [this] { logik_->ArtChange(); });
  connect(ausnahmen_, &QPushButton::clicked, this, [this] { logik_->AusnahmenClick(); });
  connect(setzen_, &QToolButton::clicked, this, [this] { logik_->SetzenClick(); });
  connect(loesch_, &QToolButton::clicked, this, [this] { logik_->LoeschClick(); });
  connect(holen_, &QToolButton::clicked, this, [this] { logik_->HolenClick(); });
  connect(sync_now_, &QToolButton::clicked, this, [this] { logik_->SyncNowClick(); });
  connect(anzeige_, &QTableWidget::currentCellChanged, this,
          [this](int zeile) { logik_->AnzeigeSelectCell(zeile + 1); });
  connect(anzeige_, &QTableWidget::cellEntered, this,
          [this](int zeile) { logik_->AnzeigeMouseMove(zeile + 1); });
  anzeige_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(anzeige_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& wo) { KontextMenue(wo); });
  // Enter on a row fetches it, as a double click does.
  connect(anzeige_, &QTableWidget::cellActivated, this, [this] { logik_->HolenClick(); });

  // Tab order: top bar, the job's fields from top to bottom, the tool buttons, the grid.
  QWidget* folge[] = {b_neu_,   b_offnen_,  b_speichern1_,
                      beenden_, herkunft_,  h_verz_b_,
                      ziel_,    z_verz_b_,  unterverzeichnisse_,
                      a_start_, a_ende_,    art_,
                      doppelt_, ausnahmen_, setzen_,
                      loesch_,  holen_,     sync_now_,
                      anzeige_};
  for (size_t i = 0; i + 1 < std::size(folge); ++i) setTabOrder(folge[i], folge[i + 1]);
}

void TZarnoft::KontextMenue(const QPoint& wo) {
  const int zeile = anzeige_->rowAt(wo.y());
  if (zeile < 0 || logik_->Jobs().An(static_cast<size_t>(zeile)) == nullptr) return;
  // The menu acts on the row it was opened on.
  anzeige_->selectRow(zeile);
  logik_->AnzeigeSelectCell(zeile + 1);
  QMenu menue(this);
  menue.setObjectName("Kontextmenue");
  const bool frei = logik_->Jobs().An(static_cast<size_t>(zeile))->Thread.Leer();
  QAction* sync = menue.addAction("Aktuelles &Synchronisieren");
  QAction* probe = menue.addAction("&Probelauf");
  QAction* rueckgaengig = menue.addAction("Letzten Lauf &rückgängig machen");
  QAction* holen = menue.addAction("Aus Sammlung &bearbeiten");
  sync->setEnabled(frei);
  probe->setEnabled(frei);
  rueckgaengig->setEnabled(frei);
  QAction* gewaehlt = menue.exec(anzeige_->viewport()->mapToGlobal(wo));
  if (gewaehlt == sync) logik_->SyncNowClick();
  if (gewaehlt == probe) logik_->ProbelaufClick();
  if (gewaehlt == rueckgaengig) logik_->RueckgaengigClick();
  if (gewaehlt == holen) logik_->HolenClick();
}

void TZarnoft::Hinweis(QWidget* w, const QString& hint) {
  QString kurz = hint.section('|', 0, 0);
  QString lang = hint.contains('|') ? hint.section('|', 1) : hint;
  kurz.remove('&');
  lang.remove('&');
  w->setToolTip(kurz);
  w->setStatusTip(lang);
}

bool TZarnoft::event(QEvent* e) {
  // The long part of the hint of the control under the pointer; empty when it leaves.
  if (e->type() == QEvent::StatusTip) {
    hinweis_ = static_cast<QStatusTipEvent*>(e)->tip();
    PanelZeigen();
    return true;
  }
  return QMainWindow::event(e);
}

bool TZarnoft::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::ToolTip && !kurzhilfe_) return true;
  // Leaving the grid: the pointer is over no row.
  if (o == anzeige_->viewport() && e->type() == QEvent::Leave) logik_->AnzeigeMouseMove(-1);
  return QMainWindow::eventFilter(o, e);
}

void TZarnoft::PanelZeigen() {
  QString text = hinweis_.isEmpty() ? aktivitaet_ : hinweis_;
  if (panels_[0]->text() != text) panels_[0]->setText(text);
}

void TZarnoft::closeEvent(QCloseEvent* e) {
  if (logik_->FormClose(Geometrie())) {
    hilfe_->close();
    e->accept();
  } else {
    e->ignore();
  }
}

}  // namespace zarnoft
