#include "ui/about_box.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "editor/about_texts.h"
#include "jobs/collection_file.h"
#include "ui/help.h"
#include "ui/program_icon.h"

namespace zarnoft {
namespace {

// The designed client size; a larger desktop font gets the room it needs.
constexpr int kBreite = 298;
constexpr int kHoehe = 225;
constexpr int kHilfeInfo = 5;
constexpr int kIconGroesse = 32;

QLabel* Text(const std::string& text, const char* name) {
  auto* l = new QLabel(QString::fromStdString(text));
  l->setObjectName(name);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent, const std::string& settings_path, FileSystem* fs)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("AboutBox");
  setWindowTitle("Zarnoft");
  HilfeKontextSetzen(this, kHilfeInfo);
  const AboutTexte t = AboutTexteErstellen(settings_path, kSammlungsFormat, fs);

  auto* panel = new QFrame;
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* icon = new QLabel;
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(ProgrammSymbol().pixmap(kIconGroesse, kIconGroesse));

  auto* produkt = Text(t.ProductName, "ProductName");
  QFont fett = produkt->font();
  fett.setBold(true);
  produkt->setFont(fett);
  auto* sonder = Text(t.SpecialBuild, "SpecialBuild");
  sonder->setAlignment(Qt::AlignRight | Qt::AlignTop);
  auto* kopf = new QHBoxLayout;
  kopf->addWidget(icon, 0, Qt::AlignTop);
  kopf->addWidget(produkt, 1, Qt::AlignVCenter);
  kopf->addWidget(sonder, 0, Qt::AlignTop);

  // Sized with the longer of its two kinds of text, so that neither it nor its caption is cut
  // before a collection was opened; Zeigen sets the real text.
  VSync_ = Text(VSyncText(0), "VSync");
  auto* g = new QGridLayout;
  int zeile = 0;
  auto paar = [&](const char* titel, QLabel* wert) {
    g->addWidget(new QLabel(titel), zeile, 0);
    g->addWidget(wert, zeile++, 1);
  };
  paar("Version:", Text(t.Version, "Version"));
  paar("Engine:", Text(t.Engine, "Engine"));
  paar("Programmdaten:", Text(t.VPrg, "VPrg"));
  paar("Synchronisationsdaten:", VSync_);
  g->addWidget(Text(t.VSyncPrg, "VSyncPrg"), zeile++, 1);
  g->setColumnStretch(1, 1);

  auto* recht = Text(t.LegalNotice, "LegalNotice");
  recht->setAlignment(Qt::AlignCenter);
  auto* kommentar = Text(t.Comments, "Comments");
  kommentar->setAlignment(Qt::AlignCenter);
  kommentar->setWordWrap(true);

  auto* pv = new QVBoxLayout(panel);
  pv->addLayout(kopf);
  pv->addLayout(g);
  pv->addWidget(recht);
  pv->addWidget(kommentar);
  pv->addStretch(1);

  OKButton_ = new QPushButton("OK");
  OKButton_->setObjectName("OKButton");
  OKButton_->setDefault(true);
  connect(OKButton_, &QPushButton::clicked, this, &QDialog::accept);

  auto* v = new QVBoxLayout(this);
  v->addWidget(panel, 1);
  v->addWidget(OKButton_, 0, Qt::AlignHCenter);

  // The comment wraps within the designed width; the box never grows narrower than designed.
  kommentar->setMinimumWidth(kBreite - 40);
  GroesseAnpassen();
}

void TAboutBox::GroesseAnpassen() {
  // The layout's own size hint, not the fixed size set before.
  const QSize noetig = layout()->totalSizeHint();
  setFixedSize(std::max(noetig.width(), kBreite), std::max(noetig.height(), kHoehe));
}

QLabel* TAboutBox::Label(const char* name) const {
  return findChild<QLabel*>(name);
}

void TAboutBox::Zeigen(int sammlungs_version) {
  VSync_->setText(QString::fromStdString(VSyncText(sammlungs_version)));
  // Measured with the text it shows now, before it is shown.
  GroesseAnpassen();
  exec();
}

void TAboutBox::setVisible(bool sichtbar) {
  if (sichtbar && !erstmals_gezeigt_) {
    erstmals_gezeigt_ = true;
    // Centred on the screen the first time, placed before it is mapped; later where the user
    // left it.
    if (QScreen* s = parentWidget() != nullptr ? parentWidget()->screen() : screen()) {
      QRect r(QPoint(), size());
      r.moveCenter(s->availableGeometry().center());
      move(r.topLeft());
    }
    OKButton_->setFocus();
  }
  QDialog::setVisible(sichtbar);
}

}  // namespace zarnoft
