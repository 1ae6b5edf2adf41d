#include "ui/probe_window.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "ui/help.h"
#include "ui/qt_texts.h"

namespace zarnoft {
namespace {

constexpr int kHilfeProbelauf = 111;
constexpr int kHilfeRueckgaengig = 112;
// Of the screen's available room, at most this share for the window at its start.
constexpr double kBildschirmAnteil = 0.8;
// Rows that the table shows at least, without scrolling, where the screen allows.
constexpr int kSichtbareZeilen = 12;

QString Untereinander(const std::vector<std::string>& z) {
  QStringList l;
  for (const std::string& s : z) l << Q(s);
  return l.join('\n');
}

}  // namespace

// A probe of a large tree lists a row per file: the table reads the rows where the logic keeps
// them instead of holding an item per cell.
class TProbelauf::Modell : public QAbstractTableModel {
 public:
  explicit Modell(QObject* parent) : QAbstractTableModel(parent) {}

  void Setzen(const std::vector<ProbeZeile>* zeilen) {
    beginResetModel();
    zeilen_ = zeilen;
    endResetModel();
  }
  int rowCount(const QModelIndex& p) const override {
    return p.isValid() || zeilen_ == nullptr ? 0 : static_cast<int>(zeilen_->size());
  }
  int columnCount(const QModelIndex& p) const override { return p.isValid() ? 0 : kProbeSpalten; }
  QVariant data(const QModelIndex& i, int rolle) const override {
    if (!i.isValid() || zeilen_ == nullptr) return {};
    const ProbeZeile& z = (*zeilen_)[static_cast<size_t>(i.row())];
    if (rolle == Qt::DisplayRole) return Q(z.zellen[static_cast<size_t>(i.column())]);
    // Sizes stand right, as numbers do.
    if (rolle == Qt::TextAlignmentRole &&
        (i.column() == kProbeHGroesse || i.column() == kProbeZGroesse))
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
  }
  QVariant headerData(int s, Qt::Orientation o, int rolle) const override {
    if (o != Qt::Horizontal || rolle != Qt::DisplayRole || s < 0 || s >= kProbeSpalten) return {};
    return Q(ProbeListe::Koepfe()[static_cast<size_t>(s)]);
  }

 private:
  const std::vector<ProbeZeile>* zeilen_ = nullptr;
};

TProbelauf::TProbelauf(QWidget* parent, ProbeListe liste, Probefenster::Jetzt jetzt)
    : QDialog(parent), logik_(this, std::move(liste), std::move(jetzt)) {
  setObjectName("TProbelauf");
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setSizeGripEnabled(true);
  const ProbeListe& plan = logik_.Liste();
  HilfeKontextSetzen(
      this, plan.Zweck() == ProbeZweck::kRueckgaengig ? kHilfeRueckgaengig : kHilfeProbelauf);

  warnung_ = new QLabel(this);
  warnung_->setObjectName("Warnung");
  warnung_->setWordWrap(true);
  warnung_->setTextFormat(Qt::PlainText);
  // A warning shows with the warning icon's colour where the style has one: the text is bold.
  QFont fett = warnung_->font();
  fett.setBold(true);
  warnung_->setFont(fett);

  modell_ = new Modell(this);
  tabelle_ = new QTableView(this);
  tabelle_->setObjectName("Aktionen");
  tabelle_->setModel(modell_);
  tabelle_->verticalHeader()->hide();
  tabelle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tabelle_->setSelectionMode(QAbstractItemView::SingleSelection);
  tabelle_->setTabKeyNavigation(false);
  tabelle_->setWordWrap(false);
  tabelle_->setTextElideMode(Qt::ElideMiddle);
  tabelle_->verticalHeader()->setDefaultSectionSize(tabelle_->fontMetrics().height() + 6);
  tabelle_->horizontalHeader()->setSectionsClickable(true);
  tabelle_->horizontalHeader()->setSortIndicatorShown(false);
  tabelle_->horizontalHeader()->setStretchLastSection(false);
  tabelle_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // The logic sorts; the header only reports the click.
  connect(tabelle_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int spalte) { logik_.SpalteClick(spalte); });

  zaehlung_ = new QLabel(this);
  zaehlung_->setObjectName("Zaehlung");
  zaehlung_->setWordWrap(true);
  zaehlung_->setTextFormat(Qt::PlainText);
  fehler_ = new QLabel(this);
  fehler_->setObjectName("Fehler");
  fehler_->setTextFormat(Qt::PlainText);
  fehler_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* knoepfe = new QDialogButtonBox(this);
  jetzt_ = knoepfe->addButton(Q(plan.Knopf()), QDialogButtonBox::ActionRole);
  jetzt_->setObjectName("Jetzt");
  schliessen_ = knoepfe->addButton(QDialogButtonBox::Close);
  schliessen_->setObjectName("Schliessen");
  // Enter closes; a real run starts only by its own button.
  jetzt_->setAutoDefault(false);
  schliessen_->setDefault(true);
  connect(jetzt_, &QPushButton::clicked, this, [this] { logik_.JetztClick(); });
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::close);

  auto* l = new QVBoxLayout(this);
  l->addWidget(warnung_);
  l->addWidget(tabelle_, 1);
  l->addWidget(zaehlung_);
  l->addWidget(fehler_);
  l->addWidget(knoepfe);

  logik_.Zeigen();

  // Wide enough for every column's widest text, high enough for a dozen rows; never beyond the
  // screen.
  tabelle_->resizeColumnsToContents();
  int breite = 0;
  for (int i = 0; i < kProbeSpalten; ++i) breite += tabelle_->columnWidth(i);
  breite += tabelle_->verticalScrollBar()->sizeHint().width() + 2 * tabelle_->frameWidth() + 24;
  const int zeile = tabelle_->verticalHeader()->defaultSectionSize();
  int hoehe = sizeHint().height() - tabelle_->sizeHint().height() +
              tabelle_->horizontalHeader()->sizeHint().height() + kSichtbareZeilen * zeile;
  QSize groesse(std::max(breite, sizeHint().width()), hoehe);
  if (QScreen* s = (parent != nullptr ? parent->screen() : QApplication::primaryScreen())) {
    const QSize raum = s->availableGeometry().size() * kBildschirmAnteil;
    groesse = groesse.boundedTo(raum);
  }
  resize(groesse);
  tabelle_->setFocus();
}

void TProbelauf::KopfSetzen(const ProbeListe& liste) {
  setWindowTitle(Q(liste.Titel()));
  warnung_->setText(Untereinander(liste.Warnungen()));
  warnung_->setVisible(!liste.Warnungen().empty());
  zaehlung_->setText(Q(liste.Zaehlung()));
  const std::vector<std::string> fehler = liste.Fehler();
  fehler_->setText(fehler.empty() ? QString() : "Fehler:\n" + Untereinander(fehler));
  fehler_->setVisible(!fehler.empty());
}

void TProbelauf::ZeilenSetzen(const std::vector<ProbeZeile>& zeilen, int spalte, bool aufsteigend) {
  // The rows are the logic's, which lives as long as this window.
  modell_->Setzen(&zeilen);
  QHeaderView* kopf = tabelle_->horizontalHeader();
  kopf->setSortIndicatorShown(spalte >= 0);
  if (spalte >= 0)
    kopf->setSortIndicator(spalte, aufsteigend ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QString TProbelauf::Zelle(int zeile, int spalte) const {
  return modell_->index(zeile, spalte).data().toString();
}

int TProbelauf::Zeilen() const {
  return modell_->rowCount({});
}

void TProbelauf::Meldung(const std::string& text) {
  QMessageBox::information(this, Q(logik_.Liste().MeldungsTitel()), MeldungsText(text));
}

void TProbelauf::Schliessen() {
  QTimer::singleShot(0, this, &QWidget::close);
}

}  // namespace zarnoft
