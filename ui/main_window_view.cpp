// The main window as the logic's view: controls by name, dialogs, the grid, the layout.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/main_settings.h"
#include "ui/about_box.h"
#include "ui/exclusions_dialog.h"
#include "ui/file_dialog.h"
#include "ui/main_window.h"
#include "ui/probe_window.h"
#include "ui/qt_texts.h"
#include "ui/settings_dialog.h"

namespace zarnoft {
namespace {

// Beside a group's title, for what the status group needs.
constexpr int kStatusTitelRand = 10;
// The inner margin of the status group, left and right.
constexpr int kStatusInnenRand = 6;

QMessageBox::StandardButtons BoxKnoepfe(Knoepfe k) {
  switch (k) {
    case Knoepfe::kOkAbbrechen:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Knoepfe::kJaNein:
      return QMessageBox::Yes | QMessageBox::No;
    case Knoepfe::kJaNeinAbbrechen:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Knoepfe::kOk:
      break;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon BoxSymbol(Symbol s) {
  switch (s) {
    case Symbol::kInformation:
      return QMessageBox::Information;
    case Symbol::kFrage:
      return QMessageBox::Question;
    case Symbol::kAusrufezeichen:
      return QMessageBox::Warning;
    case Symbol::kStopp:
      return QMessageBox::Critical;
    case Symbol::kKeins:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton BoxKnopf(Antwort a) {
  switch (a) {
    case Antwort::kAbbrechen:
      return QMessageBox::Cancel;
    case Antwort::kJa:
      return QMessageBox::Yes;
    case Antwort::kNein:
      return QMessageBox::No;
    case Antwort::kOk:
      break;
  }
  return QMessageBox::Ok;
}

// "SyncDatensätze (*.syc);;Alle Dateien (*)"; "*.*" is every file, also one without a dot.
QString FilterText(const std::vector<std::pair<std::string, std::string>>& filter) {
  QStringList teile;
  for (const auto& [name, muster] : filter)
    teile << QString("%1 (%2)").arg(Q(name), muster == "*.*" ? QString("*") : Q(muster));
  return teile.join(";;");
}

bool DateiDialogZeigen(QWidget* owner, const DateiDialog& d, bool speichern, std::string* pfad) {
  QFileDialog dlg(owner, Q(d.titel), Q(d.verzeichnis), FilterText(d.filter));
  DateiDialogEinrichten(&dlg);
  dlg.setAcceptMode(speichern ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(speichern || !d.muss_existieren ? QFileDialog::AnyFile
                                                  : QFileDialog::ExistingFile);
  if (speichern && !d.ueberschreiben_fragen) dlg.setOption(QFileDialog::DontConfirmOverwrite);
  dlg.setDefaultSuffix(Q(d.endung));
  if (!d.dateiname.empty()) dlg.selectFile(Q(d.dateiname));
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  *pfad = S(dlg.selectedFiles().first());
  return true;
}

// The width a drop-down list needs to show its longest item: for the kind list its own items,
// for the sub-mode list the items of every kind (it changes with the kind).
int ListenBedarf(QComboBox* liste, bool alle_arten) {
  const QFontMetrics fm = liste->fontMetrics();
  int text = 0;
  if (!alle_arten) {
    for (int i = 0; i < liste->count(); ++i)
      text = std::max(text, fm.horizontalAdvance(liste->itemText(i)));
  } else {
    for (VorgangsArt art :
         {VorgangsArt::kSynchronisieren, VorgangsArt::kKopieren, VorgangsArt::kArchivieren})
      for (const std::string& e : DoppeltEintraege(art))
        text = std::max(text, fm.horizontalAdvance(Q(e)));
  }
  QStyleOptionComboBox opt;
  opt.initFrom(liste);
  return liste->style()
      ->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(text, fm.height()), liste)
      .width();
}

}  // namespace

QWidget* TZarnoft::Widget(Steuerelement e) const {
  switch (e) {
    case Steuerelement::kHerkunft:
      return herkunft_;
    case Steuerelement::kZiel:
      return ziel_;
    case Steuerelement::kHgroesse:
      return hgroesse_;
    case Steuerelement::kZGroesse:
      return z_groesse_;
    case Steuerelement::kUnterverzeichnisse:
      return unterverzeichnisse_;
    case Steuerelement::kAStart:
      return a_start_;
    case Steuerelement::kAEnde:
      return a_ende_;
    case Steuerelement::kAIdle:
      return a_idle_;
    case Steuerelement::kArt:
      return art_;
    case Steuerelement::kDoppelt:
      return doppelt_;
    case Steuerelement::kLDoppelt:
      return l_doppelt_;
    case Steuerelement::kSetzen:
      return setzen_;
    case Steuerelement::kLoesch:
      return loesch_;
    case Steuerelement::kHolen:
      return holen_;
    case Steuerelement::kSyncNow:
      return sync_now_;
    case Steuerelement::kStatus1:
      return status1_;
    case Steuerelement::kStatus2:
      return status2_;
    case Steuerelement::kStatus3:
      return status3_;
    case Steuerelement::kZeiten:
      return zeiten_;
    case Steuerelement::kLAnzVergl:
      return l_anz_vergl_;
    case Steuerelement::kStatus4:
      return status4_;
    case Steuerelement::kStatus5:
      return status5_;
    case Steuerelement::kAusnahmen:
      return ausnahmen_;
  }
  return nullptr;
}

QWidget* TZarnoft::Element(const QString& name) const {
  return findChild<QWidget*>(name, Qt::FindChildrenRecursively);
}

QString TZarnoft::PanelText(int index) const {
  return index >= 0 && index < 3 ? panels_[index]->text() : QString();
}

Antwort TZarnoft::Meldung(const Meldungsbox& b) {
  QMessageBox box(BoxSymbol(b.symbol), Q(b.titel), MeldungsText(b.text), BoxKnoepfe(b.knoepfe),
                  this);
  box.setDefaultButton(BoxKnopf(b.standard));
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Antwort::kJa;
    case QMessageBox::No:
      return Antwort::kNein;
    case QMessageBox::Ok:
      return Antwort::kOk;
    default:
      break;
  }
  // Closed without a button: Cancel where offered, otherwise No or OK.
  switch (b.knoepfe) {
    case Knoepfe::kJaNein:
      return Antwort::kNein;
    case Knoepfe::kOk:
      return Antwort::kOk;
    default:
      return Antwort::kAbbrechen;
  }
}

bool TZarnoft::DateiOeffnenDialog(const DateiDialog& d, std::string* pfad) {
  return DateiDialogZeigen(this, d, false, pfad);
}

bool TZarnoft::DateiSpeichernDialog(const DateiDialog& d, std::string* pfad) {
  return DateiDialogZeigen(this, d, true, pfad);
}

bool TZarnoft::OrdnerDialogZeigen(const OrdnerDialog& d, std::string* pfad) {
  // Start at the folder of the field, or at the nearest folder above it that exists.
  QDir start(Q(d.auswahl));
  while (!d.auswahl.empty() && !start.exists() && start.cdUp()) {
  }
  QString gewaehlt =
      OrdnerWaehlen(this, Q(d.text), !d.auswahl.empty() && start.exists() ? start.path() : "");
  if (gewaehlt.isEmpty()) return false;
  while (gewaehlt.size() > 1 && gewaehlt.endsWith('/')) gewaehlt.chop(1);
  *pfad = S(gewaehlt);
  return true;
}

void TZarnoft::TextSetzen(Steuerelement e, const std::string& text) {
  if (e == Steuerelement::kStatus5) {
    status5_text_ = Q(text);
    FehlerZeilenZeigen();
    return;
  }
  QWidget* w = Widget(e);
  if (auto* f = qobject_cast<QLineEdit*>(w)) {
    if (f->text() != Q(text)) f->setText(Q(text));
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(Q(text));
  } else if (auto* k = qobject_cast<QAbstractButton*>(w)) {
    k->setText(Q(text));
  }
}

std::string TZarnoft::Text(Steuerelement e) const {
  if (e == Steuerelement::kStatus5) return S(status5_text_);
  QWidget* w = Widget(e);
  if (auto* f = qobject_cast<QLineEdit*>(w)) return S(f->text());
  if (auto* l = qobject_cast<QLabel*>(w)) return S(l->text());
  if (auto* k = qobject_cast<QAbstractButton*>(w)) return S(k->text());
  return std::string();
}

void TZarnoft::Sichtbar(Steuerelement e, bool sichtbar) {
  QWidget* w = Widget(e);
  const bool anders = w->isHidden() == sichtbar;
  w->setVisible(sichtbar);
  // The failure lines take room in the status group, which grows upwards for them: laid out
  // again from the event loop, not inside the logic's call.
  if (e == Steuerelement::kStatus5 && anders && layout_gesetzt_ && !status_layout_geplant_) {
    status_layout_geplant_ = true;
    QTimer::singleShot(0, this, [this] {
      status_layout_geplant_ = false;
      LayoutAnwenden(layout_);
    });
  }
}

void TZarnoft::FehlerZeilenZeigen() {
  // The line's room: the group's inner width less its layout's margins (GruppenEinrichten).
  const QFontMetrics fm = status5_->fontMetrics();
  const int breite = std::max(0, status_->contentsRect().width() - 2 * kStatusInnenRand);
  QStringList zeilen;
  // Cut at the front: the file's name and the reason at the end say most.
  for (const QString& z : status5_text_.split('\n'))
    zeilen << fm.elidedText(z, Qt::ElideLeft, breite);
  status5_->setText(status5_text_.isEmpty() ? QString() : zeilen.join('\n'));
  status5_->setToolTip(status5_text_);
}

void TZarnoft::ProbelaufZeigen(ProbeListe liste, Probefenster::Jetzt jetzt) {
  auto* w = new TProbelauf(this, std::move(liste), std::move(jetzt));
  w->show();
  w->raise();
  w->activateWindow();
}

void TZarnoft::Aktivieren(Steuerelement e, bool aktiv) {
  // "Beim Leerlauf" is never offered.
  if (e == Steuerelement::kAIdle) aktiv = false;
  Widget(e)->setEnabled(aktiv);
  // The menu items stay enabled; only the buttons follow.
}

void TZarnoft::Anhaken(Steuerelement e, bool an) {
  if (auto* c = qobject_cast<QCheckBox*>(Widget(e))) c->setChecked(an);
}

bool TZarnoft::Angehakt(Steuerelement e) const {
  auto* c = qobject_cast<QCheckBox*>(Widget(e));
  return c != nullptr && c->isChecked();
}

void TZarnoft::EintraegeSetzen(Steuerelement e, const std::vector<std::string>& eintraege) {
  if (auto* c = qobject_cast<QComboBox*>(Widget(e))) {
    QSignalBlocker still(c);
    c->clear();
    for (const std::string& s : eintraege) c->addItem(Q(s));
    c->setCurrentIndex(-1);
  } else if (auto* l = qobject_cast<QListWidget*>(Widget(e))) {
    l->clear();
    for (const std::string& s : eintraege) l->addItem(Q(s));
  }
}

void TZarnoft::PositionSetzen(Steuerelement e, int position) {
  if (auto* c = qobject_cast<QComboBox*>(Widget(e))) {
    QSignalBlocker still(c);
    c->setCurrentIndex(position >= 0 && position < c->count() ? position : -1);
  }
}

int TZarnoft::Position(Steuerelement e) const {
  auto* c = qobject_cast<QComboBox*>(Widget(e));
  return c != nullptr ? c->currentIndex() : -1;
}

void TZarnoft::TabelleSetzen(const Tabelle& t) {
  QSignalBlocker still(anzeige_);
  anzeige_->setUpdatesEnabled(false);
  QStringList koepfe;
  for (const std::string& k : t.koepfe) koepfe << Q(k);
  if (anzeige_->horizontalHeaderItem(0) == nullptr ||
      anzeige_->horizontalHeaderItem(0)->text() != koepfe.value(0))
    anzeige_->setHorizontalHeaderLabels(koepfe);
  anzeige_->setRowCount(static_cast<int>(t.zeilen.size()));
  for (int r = 0; r < static_cast<int>(t.zeilen.size()); ++r) {
    const TabellenZeile& z = t.zeilen[r];
    for (int c = 0; c < static_cast<int>(z.size()); ++c) {
      QString text = Q(z[c]);
      QTableWidgetItem* item = anzeige_->item(r, c);
      if (item == nullptr)
        anzeige_->setItem(r, c, new QTableWidgetItem(text));
      else if (item->text() != text)
        item->setText(text);
    }
  }
  if (!t.breiten.empty() && t.breiten[0] > 0) SpaltenSetzen(t.breiten);
  anzeige_->setUpdatesEnabled(true);
}

void TZarnoft::SpaltenSetzen(const std::vector<int>& breiten) {
  // What each column's widest text (its muster) needs in the grid's font, with the cell's margins.
  const int rand = 2 * anzeige_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 6;
  std::vector<int> muster;
  for (const TabellenSpalte& s : TabellenSpalten())
    muster.push_back(
        s.muster.empty() ? 0 : anzeige_->fontMetrics().horizontalAdvance(Q(s.muster)) + rand);
  const std::vector<int> w = SpaltenFuerSchrift(breiten, muster);
  for (size_t c = 0; c < w.size(); ++c) anzeige_->setColumnWidth(static_cast<int>(c), w[c]);
}

int TZarnoft::GewaehlteZeile() const {
  int r = anzeige_->currentRow();
  return r >= 0 ? r + 1 : 0;
}

void TZarnoft::ZeileWaehlen(int zeile) {
  if (zeile >= 1 && zeile <= anzeige_->rowCount())
    anzeige_->setCurrentCell(zeile - 1,
                             anzeige_->currentColumn() >= 0 ? anzeige_->currentColumn() : 0);
  else
    anzeige_->setCurrentCell(-1, -1);
}

int TZarnoft::TextBreite(const std::string& text) const {
  // The grid shortens every path by measuring many candidates; shaping each of them would make a
  // grid of 1,000 jobs slow to redraw. The sum of the characters' advances is never less than
  // the shaped width of such a text (kerning only narrows it), so a path measured this way is
  // never cut.
  const QFontMetrics fm = anzeige_->fontMetrics();
  if (fm.height() != zeichen_hoehe_) {
    zeichen_breiten_.clear();
    zeichen_hoehe_ = fm.height();
  }
  int breite = 0;
  for (char32_t c : Q(text).toUcs4()) {
    auto it = zeichen_breiten_.find(c);
    if (it == zeichen_breiten_.end())
      it = zeichen_breiten_.emplace(c, fm.horizontalAdvance(QString::fromUcs4(&c, 1))).first;
    breite += it->second;
  }
  return breite;
}

void TZarnoft::Statuspanel(int index, const std::string& text) {
  if (index == 0) {
    aktivitaet_ = Q(text);
    PanelZeigen();
  } else if (index > 0 && index < 3) {
    panels_[index]->setText(Q(text));
  }
}

void TZarnoft::Titel(const std::string& text) {
  setWindowTitle(Q(text));
}

void TZarnoft::NachrichtenVerarbeiten() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TZarnoft::Schliessen() {
  QTimer::singleShot(0, this, &QWidget::close);
}

bool TZarnoft::AusnahmenZeigen(const std::string& herkunft, bool unterverzeichnisse,
                               std::vector<std::string>* muster) {
  return AusnahmenBearbeiten(this, herkunft, unterverzeichnisse, muster, fs_);
}

void TZarnoft::EinstellungenZeigen() {
  if (einstellungen_ != nullptr) einstellungen_->Zeigen();
  KurzhilfeLesen();
}

void TZarnoft::KurzhilfeLesen() {
  if (einstellungs_pfad_.empty()) return;
  kurzhilfe_ = EinstellungsSchalter(einstellungs_pfad_, main_sda::kHint);
}

void TZarnoft::InfoZeigen() {
  if (info_ != nullptr) info_->Zeigen(logik_->Zustand().SammlungsVersion);
}

int TZarnoft::Panel2Breite() const {
  return panels_[2]->contentsRect().width();
}

FensterGeometrie TZarnoft::Geometrie() const {
  FensterGeometrie g;
  g.Breite = client_->width();
  g.Hoehe = client_->height();
  g.PosX = pos().x();
  g.PosY = pos().y();
  return g;
}

void TZarnoft::FormCreate(const DateiOrte& orte) {
  FensterGeometrie g = logik_->FormCreate(orte);
  einstellungs_pfad_ = orte.EinstellungsDatei();
  KurzhilfeLesen();
  std::vector<Rechteck> bildschirme;
  QList<QScreen*> alle = QGuiApplication::screens();
  if (QScreen* p = QGuiApplication::primaryScreen()) alle.removeAll(p), alle.prepend(p);
  for (QScreen* s : alle) {
    QRect r = s->availableGeometry();
    bildschirme.push_back({r.x(), r.y(), r.width(), r.height()});
  }
  // The frame is known only once the window is shown; the title bar and the menu bar are what
  // the client area has above it in any case.
  Rahmen rahmen;
  rahmen.oben = menuBar()->sizeHint().height() + style()->pixelMetric(QStyle::PM_TitleBarHeight);
  StartPlatz p = FensterPlatzieren(g, bildschirme, rahmen);
  resize(p.breite, p.hoehe + menuBar()->sizeHint().height());
  move(p.x, p.y);
}

// --- Layout --------------------------------------------------------------------------------------

void TZarnoft::FormResize() {
  logik_->FormResize(client_->width(), client_->height());
}

void TZarnoft::GruppenEinrichten() {
  if (gr_ausfuehr_->layout() == nullptr) {
    auto* lg = new QVBoxLayout(gr_ausfuehr_);
    lg->setSpacing(0);
    lg->setContentsMargins(6, 2, 6, 2);
    for (QCheckBox* c : {a_start_, a_ende_, a_idle_}) lg->addWidget(c);
  }
  if (status_->layout() == nullptr) {
    auto* ls = new QGridLayout(status_);
    ls->setContentsMargins(kStatusInnenRand, 0, kStatusInnenRand, 2);
    ls->setVerticalSpacing(0);
    ls->addWidget(l_status_art_, 0, 0);
    ls->addWidget(status1_, 0, 1);
    ls->addWidget(status3_, 1, 1);
    ls->addWidget(l_status_abgleich_, 2, 0);
    ls->addWidget(status2_, 2, 1);
    ls->addWidget(status4_, 3, 0, 1, 2);
    ls->addWidget(status5_, 4, 0, 1, 2);
    ls->setColumnStretch(1, 1);
    ls->setRowStretch(5, 1);  // the room kept for a hidden line stays below the lines
  }
}

Masse TZarnoft::LayoutMasse() const {
  Masse m;
  m.client_hoehe = client_->height();
  m.zeile = QFontMetrics(font()).height();
  m.feld = std::max(herkunft_->sizeHint().height(), art_->sizeHint().height());
  m.haken = unterverzeichnisse_->sizeHint().height();
  m.datei_knopf = b_neu_->sizeHint().height();
  m.ausfuehrung = gr_ausfuehr_->sizeHint().height();
  m.art_titel = l_art_->sizeHint().width();
  m.zeit = zeit_->sizeHint().height();
  m.ausnahmen = ausnahmen_->sizeHint().height();
  m.ausnahmen_breite = ausnahmen_->sizeHint().width();
  m.sammlungs_knopf = setzen_->sizeHint().height();
  m.sammlung_titel = l_sammlung_->sizeHint().width();
  m.status = status_->minimumSizeHint().height();
  m.status_ausnahmen = status4_->sizeHint().height();
  m.status_ausnahmen_sichtbar = !status4_->isHidden();
  m.tabellen_zeile = anzeige_->verticalHeader()->defaultSectionSize();
  return m;
}

void TZarnoft::PlatzierungAnwenden(const Platzierung& p) {
  auto setze = [](QWidget* w, const Rechteck& r) { w->setGeometry(r.x, r.y, r.breite, r.hoehe); };
  setze(leiste_, p.leiste);
  QToolButton* datei_knoepfe[] = {b_neu_, b_offnen_, b_speichern1_};
  for (int i = 0; i < 3; ++i) setze(datei_knoepfe[i], p.datei_knoepfe[i]);
  setze(beenden_, p.beenden);
  setze(l_einzeln_, p.einzeln);
  setze(l_herkunft_, p.l_herkunft);
  setze(herkunft_, p.herkunft);
  setze(h_verz_b_, p.h_verz_b);
  setze(hgroesse_, p.hgroesse);
  setze(l_ziel_, p.l_ziel);
  setze(ziel_, p.ziel);
  setze(z_verz_b_, p.z_verz_b);
  setze(unterverzeichnisse_, p.unterverzeichnisse);
  setze(z_groesse_, p.z_groesse);
  setze(gr_ausfuehr_, p.ausfuehrung);
  setze(l_art_, p.l_art);
  setze(l_doppelt_, p.l_doppelt);
  setze(art_, p.art);
  setze(doppelt_, p.doppelt);
  setze(zeit_, p.zeit);
  setze(ausnahmen_, p.ausnahmen);
  setze(l_sammlung_, p.l_sammlung);
  setze(trenner_, p.trenner);
  QToolButton* sammlungs_knoepfe[] = {setzen_, loesch_, holen_, sync_now_};
  for (int i = 0; i < 4; ++i) setze(sammlungs_knoepfe[i], p.sammlungs_knoepfe[i]);
  setze(status_bar_, p.status_leiste);
  for (int i = 0; i < 3; ++i) setze(panels_[i], p.panels[i]);
  setze(status_, p.status);
  setze(zeiten_, p.zeiten);
  setze(l_anz_vergl_, p.l_anz_vergl);
  setze(anzeige_, p.tabelle);
}

void TZarnoft::LayoutAnwenden(const HauptLayout& l) {
  layout_ = l;
  GruppenEinrichten();
  const Platzierung p = SteuerelementePlatzieren(l, LayoutMasse());
  PlatzierungAnwenden(p);
  l_doppelt_->setText(Q(l.LDoppeltText));
  l_doppelt_->setVisible(l.DoppeltSichtbar);
  doppelt_->setVisible(l.DoppeltSichtbar);
  FehlerZeilenZeigen();  // for the status group's new width
  SpaltenSetzen(l.Spalten);
  anzeige_->setTextElideMode(Qt::ElideMiddle);

  client_->setMinimumSize(p.mindest_breite, p.mindest_hoehe);
  if (client_->width() < l.Breite || client_->height() < l.Hoehe)
    resize(std::max(width(), width() - client_->width() + l.Breite),
           std::max(height(), height() - client_->height() + l.Hoehe));
  // Laid out for another width than the client area has (a resize that came while the window
  // was not shown yet): once more for the width it has, from the event loop.
  if (client_->width() != l.Breite && !nachlayout_geplant_) {
    nachlayout_geplant_ = true;
    QTimer::singleShot(0, this, [this] {
      nachlayout_geplant_ = false;
      if (client_->width() != layout_.Breite) FormResize();
    });
  }
  layout_gesetzt_ = true;
}

Textbedarf TZarnoft::LayoutBedarf() const {
  Textbedarf bedarf;
  const QFontMetrics fm = status1_->fontMetrics();
  int text = 0;
  for (const std::string& t : StatusTexteMuster())
    text = std::max(text, fm.horizontalAdvance(Q(t)));
  const int titel =
      std::max(l_status_art_->sizeHint().width(), l_status_abgleich_->sizeHint().width());
  const int abstand = std::max(6, style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing));
  const int rahmen = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  bedarf.status = std::max(titel + abstand + text,
                           fm.horizontalAdvance(status_->title()) + 2 * kStatusTitelRand) +
                  2 * kStatusInnenRand + rahmen + 2;
  int eintrag = 0;
  for (const char* t : {"Beim Booten", "Beim Herunterfahren", "Beim Leerlauf"})
    eintrag = std::max(eintrag, zeiten_->fontMetrics().horizontalAdvance(t));
  bedarf.zeiten =
      eintrag + rahmen + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * hauptlayout::kRand;
  bedarf.art = ListenBedarf(art_, false);
  bedarf.doppelt = ListenBedarf(doppelt_, true);
  bedarf.doppelt_lang = l_doppelt_->fontMetrics().horizontalAdvance(Q(hauptlayout::kDoppeltLang));
  return bedarf;
}

}  // namespace zarnoft
