#include "ui/exclusions_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "platform/path_helpers.h"

namespace zarnoft {

TAusnahmen::TAusnahmen(QWidget* parent, std::string herkunft, bool unterverzeichnisse,
                       std::vector<std::string> muster, FileSystem* fs)
    : QDialog(parent),
      herkunft_(std::move(herkunft)),
      unterverzeichnisse_(unterverzeichnisse),
      fs_(fs),
      logik_(this, std::move(muster)) {
  setObjectName("Ausnahmen");
  setWindowTitle(kAusnahmenTitel);

  // The examples stand in two columns of their own, so that each explanation starts at the same
  // place whatever the font.
  auto* hilfe = new QGridLayout;
  auto* einleitung = new QLabel(kAusnahmenEinleitung);
  einleitung->setWordWrap(true);
  hilfe->addWidget(einleitung, 0, 0, 1, 2);
  int reihe = 1;
  for (const AusnahmeBeispiel& b : kAusnahmenBeispiele) {
    auto* muster = new QLabel(b.muster);
    muster->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    muster->setContentsMargins(fontMetrics().averageCharWidth() * 2, 0, 0, 0);
    hilfe->addWidget(muster, reihe, 0);
    hilfe->addWidget(new QLabel(b.erklaerung), reihe, 1);
    ++reihe;
  }
  auto* regeln = new QLabel(kAusnahmenRegeln);
  regeln->setWordWrap(true);
  hilfe->addWidget(regeln, reihe, 0, 1, 2);
  hilfe->setColumnStretch(1, 1);
  liste_ = new QListWidget;
  liste_->setObjectName("Liste");
  eingabe_ = new QLineEdit;
  eingabe_->setObjectName("Eingabe");
  auto* neu_label = new QLabel("&Neues Muster:");
  neu_label->setBuddy(eingabe_);
  auto* hinzufuegen = new QPushButton("&Hinzufügen");
  entfernen_ = new QPushButton("&Entfernen");
  auto* ueblich = new QPushButton("&Übliche Ausnahmen");
  zaehlung_ = new QLabel;
  zaehlung_->setObjectName("Zaehlung");
  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

  auto* zeile = new QHBoxLayout;
  zeile->addWidget(neu_label);
  zeile->addWidget(eingabe_, 1);
  zeile->addWidget(hinzufuegen);
  auto* seite = new QVBoxLayout;
  seite->addWidget(entfernen_);
  seite->addWidget(ueblich);
  seite->addStretch(1);
  auto* mitte = new QHBoxLayout;
  mitte->addWidget(liste_, 1);
  mitte->addLayout(seite);
  auto* l = new QVBoxLayout(this);
  l->addLayout(hilfe);
  l->addLayout(mitte, 1);
  l->addLayout(zeile);
  l->addWidget(zaehlung_);
  l->addWidget(knoepfe);

  // Enter in the line adds the pattern instead of closing the dialog.
  hinzufuegen->setAutoDefault(false);
  connect(eingabe_, &QLineEdit::returnPressed, this, [this] {
    if (logik_.Hinzufuegen(eingabe_->text().toStdString())) eingabe_->clear();
  });
  connect(hinzufuegen, &QPushButton::clicked, this, [this] {
    if (logik_.Hinzufuegen(eingabe_->text().toStdString())) eingabe_->clear();
    eingabe_->setFocus();
  });
  connect(entfernen_, &QPushButton::clicked, this,
          [this] { logik_.Entfernen(liste_->currentRow()); });
  connect(ueblich, &QPushButton::clicked, this, [this] { logik_.UeblicheHinzufuegen(); });
  connect(liste_, &QListWidget::currentRowChanged, this,
          [this](int zeile) { entfernen_->setEnabled(zeile >= 0); });
  connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QPushButton* b :
       {knoepfe->button(QDialogButtonBox::Ok), knoepfe->button(QDialogButtonBox::Cancel)})
    b->setAutoDefault(false);
  // Wide enough that each example of the help text stays on one line.
  resize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 84, 0)));
  logik_.Zeigen();
  eingabe_->setFocus();
}

TAusnahmen::~TAusnahmen() {
  ZaehlungBeenden();
}

void TAusnahmen::ListeZeigen(const std::vector<std::string>& muster, int auswahl) {
  liste_->clear();
  for (const std::string& m : muster) liste_->addItem(QString::fromStdString(m));
  liste_->setCurrentRow(auswahl);
  entfernen_->setEnabled(auswahl >= 0);
}

void TAusnahmen::Melden(const std::string& text) {
  QMessageBox::warning(this, kAusnahmenTitel, QString::fromStdString(text));
}

void TAusnahmen::ZaehlungZeigen(const std::string& text) {
  zaehlung_->setText(QString::fromStdString(text));
}

void TAusnahmen::ZaehlungBeenden() {
  if (stop_) stop_->store(true);
  if (zaehler_.joinable()) zaehler_.join();
}

void TAusnahmen::ZaehlungStarten(const std::vector<std::string>& muster) {
  ZaehlungBeenden();
  const int nummer = ++zaehlung_nummer_;
  stop_ = std::make_shared<std::atomic<bool>>(false);
  QPointer<TAusnahmen> selbst(this);
  zaehler_ = std::thread([=, fs = fs_, stop = stop_, root = StripTrailingSlash(herkunft_),
                          rekursiv = unterverzeichnisse_] {
    const int64_t n = AusgenommeneZaehlen(fs, root, AusnahmeRegeln(muster), rekursiv, stop.get());
    if (stop->load()) return;
    QMetaObject::invokeMethod(
        qApp,
        [selbst, nummer, n] {
          if (selbst && selbst->zaehlung_nummer_ == nummer)
            selbst->logik_.ZaehlungErhalten(n, true);
        },
        Qt::QueuedConnection);
  });
}

bool AusnahmenBearbeiten(QWidget* parent, const std::string& herkunft, bool unterverzeichnisse,
                         std::vector<std::string>* muster, FileSystem* fs) {
  TAusnahmen d(parent, herkunft, unterverzeichnisse, *muster, fs);
  if (d.exec() != QDialog::Accepted) return false;
  *muster = d.Logik().Muster();
  return true;
}

}  // namespace zarnoft
