#include "ui/help.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace zarnoft {
namespace {

constexpr const char* kKontext = "zarnoftHilfeKontext";
constexpr const char* kPopup = "zarnoftHilfePopup";
constexpr const char* kLinkSchema = "thema";

// "{101}" in a topic's text.
const QRegularExpression& VerweisMuster() {
  static const QRegularExpression re("\\{(\\d+)\\}");
  return re;
}

}  // namespace

HilfeDatei HilfeDatei::Lesen(const QString& text) {
  HilfeDatei d;
  static const QRegularExpression kopf("^=\\s*(\\d+)\\s+(.*)$");
  for (const QString& zeile : text.split('\n')) {
    QString z = zeile;
    if (z.endsWith('\r')) z.chop(1);
    if (z.startsWith('#')) continue;
    auto m = kopf.match(z);
    if (m.hasMatch()) {
      d.themen_.append({m.captured(1).toInt(), m.captured(2).trimmed(), QString()});
      continue;
    }
    if (d.themen_.isEmpty()) continue;  // text before the first topic
    d.themen_.last().text += z + '\n';
  }
  for (HilfeThema& t : d.themen_) t.text = t.text.trimmed();
  return d;
}

const HilfeDatei& HilfeDatei::Eingebaut() {
  static const HilfeDatei d = [] {
    QFile f(":/hilfe/ZARNOFT.HLP");
    if (!f.open(QIODevice::ReadOnly)) return HilfeDatei();
    return Lesen(QString::fromUtf8(f.readAll()));
  }();
  return d;
}

const HilfeThema* HilfeDatei::Thema(int nummer) const {
  for (const HilfeThema& t : themen_)
    if (t.nummer == nummer) return &t;
  return nullptr;
}

QList<int> HilfeDatei::Suchen(const QString& suche) const {
  QList<int> treffer;
  const QStringList woerter = suche.split(' ', Qt::SkipEmptyParts);
  for (const HilfeThema& t : themen_) {
    bool alle = true;
    for (const QString& w : woerter)
      if (!t.titel.contains(w, Qt::CaseInsensitive) && !t.text.contains(w, Qt::CaseInsensitive))
        alle = false;
    if (alle) treffer.append(t.nummer);
  }
  return treffer;
}

QString HilfeDatei::Html(int nummer) const {
  return Html(nummer, false);
}

QString HilfeDatei::PopupHtml(int nummer) const {
  return Html(nummer, true);
}

QString HilfeDatei::Html(int nummer, bool popup) const {
  const HilfeThema* t = Thema(nummer);
  if (t == nullptr) return QString();
  // A link shows the title of the topic it names; an unknown number stays as written. A pop-up
  // cannot follow links: there the reference leaves the sentence, and the topics it names are
  // listed under it, one a line.
  QStringList siehe_auch;
  auto absatz = [this, popup, &siehe_auch](const QString& roh) {
    QString html = roh.toHtmlEscaped();
    QString out;
    qsizetype pos = 0;
    auto it = VerweisMuster().globalMatch(html);
    while (it.hasNext()) {
      auto m = it.next();
      out += html.mid(pos, m.capturedStart() - pos);
      int ziel = m.captured(1).toInt();
      const HilfeThema* z = Thema(ziel);
      if (z == nullptr) {
        out += m.captured(0);
      } else if (popup) {
        while (out.endsWith(' ')) out.chop(1);
        if (!siehe_auch.contains(z->titel.toHtmlEscaped()))
          siehe_auch.append(z->titel.toHtmlEscaped());
      } else {
        out += QString("<a href=\"%1:%2\">%3</a>")
                   .arg(kLinkSchema)
                   .arg(ziel)
                   .arg(z->titel.toHtmlEscaped());
      }
      pos = m.capturedEnd();
    }
    return out + html.mid(pos);
  };
  QString html = "<h3>" + t->titel.toHtmlEscaped() + "</h3>";
  bool in_liste = false;
  QString absatz_text;
  auto absatz_ende = [&] {
    if (!absatz_text.isEmpty()) html += "<p>" + absatz(absatz_text) + "</p>";
    absatz_text.clear();
  };
  for (const QString& zeile : t->text.split('\n')) {
    if (zeile.startsWith("- ")) {
      absatz_ende();
      if (!in_liste) html += "<ul>";
      in_liste = true;
      html += "<li>" + absatz(zeile.mid(2)) + "</li>";
      continue;
    }
    if (in_liste) html += "</ul>";
    in_liste = false;
    if (zeile.trimmed().isEmpty()) {
      absatz_ende();
    } else {
      if (!absatz_text.isEmpty()) absatz_text += ' ';
      absatz_text += zeile.trimmed();
    }
  }
  if (in_liste) html += "</ul>";
  absatz_ende();
  if (!siehe_auch.isEmpty())
    html += "<p>Siehe auch:</p><ul><li>" + siehe_auch.join("</li><li>") + "</li></ul>";
  return html;
}

void HilfeKontextSetzen(QObject* o, int nummer) {
  o->setProperty(kKontext, nummer);
}

int HilfeKontext(const QWidget* w) {
  for (; w != nullptr; w = w->parentWidget()) {
    int n = w->property(kKontext).toInt();
    if (n != 0) return n;
  }
  return 0;
}

void HilfeAlsPopup(QWidget* fenster) {
  fenster->setProperty(kPopup, true);
}

void HilfePopup(QWidget* bei, int nummer) {
  const QString text = HilfeDatei::Eingebaut().PopupHtml(nummer);
  if (text.isEmpty()) return;
  QPoint unten = bei->mapToGlobal(QPoint(bei->width() / 2, bei->height()));
  QWhatsThis::showText(unten, text, bei);
}

HilfeFenster::HilfeFenster(QWidget* owner) : QWidget(owner, Qt::Window) {
  setWindowTitle("Zarnoft - Hilfe");
  HilfeKontextSetzen(this, 1);

  suche_ = new QLineEdit;
  suche_->setPlaceholderText("Suchbegriff");
  suche_->setClearButtonEnabled(true);
  auto* suche_label = new QLabel("&Suchen:");
  suche_label->setBuddy(suche_);
  liste_ = new QListWidget;
  browser_ = new QTextBrowser;
  browser_->setOpenLinks(false);
  zurueck_ = new QPushButton("&Zurück");
  auto* inhalt = new QPushButton("&Inhalt");
  auto* schliessen = new QPushButton("S&chließen");

  auto* links = new QWidget;
  auto* ll = new QVBoxLayout(links);
  ll->setContentsMargins(0, 0, 0, 0);
  ll->addWidget(suche_label);
  ll->addWidget(suche_);
  ll->addWidget(liste_);
  auto* teiler = new QSplitter;
  teiler->addWidget(links);
  teiler->addWidget(browser_);
  teiler->setStretchFactor(1, 1);
  teiler->setSizes({200, 460});

  auto* knoepfe = new QHBoxLayout;
  knoepfe->addWidget(inhalt);
  knoepfe->addWidget(zurueck_);
  knoepfe->addStretch();
  knoepfe->addWidget(schliessen);
  auto* l = new QVBoxLayout(this);
  l->addWidget(teiler, 1);
  l->addLayout(knoepfe);

  connect(suche_, &QLineEdit::textChanged, this, &HilfeFenster::SucheChange);
  connect(suche_, &QLineEdit::returnPressed, this, &HilfeFenster::SucheReturn);
  connect(liste_, &QListWidget::itemActivated, this, &HilfeFenster::ListeClick);
  connect(liste_, &QListWidget::itemClicked, this, &HilfeFenster::ListeClick);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HilfeFenster::BrowserLinkClick);
  connect(zurueck_, &QPushButton::clicked, this, &HilfeFenster::ZurueckClick);
  connect(inhalt, &QPushButton::clicked, this, &HilfeFenster::InhaltZeigen);
  connect(schliessen, &QPushButton::clicked, this, &QWidget::close);
  SucheChange(QString());
  zurueck_->setEnabled(false);
  resize(700, 480);
}

void HilfeFenster::ThemaZeigen(int nummer) {
  if (HilfeDatei::Eingebaut().Thema(nummer) == nullptr) {
    InhaltZeigen();
    return;
  }
  suche_->clear();
  Anzeigen(nummer, true);
  Vorzeigen();
}

void HilfeFenster::InhaltZeigen() {
  suche_->clear();
  QString html = "<h3>Inhalt</h3><ul>";
  for (const HilfeThema& t : HilfeDatei::Eingebaut().Themen())
    html += QString("<li><a href=\"%1:%2\">%3</a></li>")
                .arg(kLinkSchema)
                .arg(t.nummer)
                .arg(t.titel.toHtmlEscaped());
  browser_->setHtml(html + "</ul>");
  if (aktuell_ != 0) verlauf_.append(aktuell_);
  aktuell_ = 0;
  zurueck_->setEnabled(!verlauf_.isEmpty());
  liste_->clearSelection();
  Vorzeigen();
}

void HilfeFenster::SuchenZeigen() {
  InhaltZeigen();
  suche_->setFocus();
}

void HilfeFenster::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

void HilfeFenster::SucheChange(const QString& text) {
  const HilfeDatei& d = HilfeDatei::Eingebaut();
  liste_->clear();
  for (int n : d.Suchen(text)) {
    auto* item = new QListWidgetItem(d.Thema(n)->titel, liste_);
    item->setData(Qt::UserRole, n);
  }
}

void HilfeFenster::SucheReturn() {
  if (liste_->count() == 0) return;
  liste_->setCurrentRow(0);
  ListeClick();
}

void HilfeFenster::ListeClick() {
  if (QListWidgetItem* item = liste_->currentItem())
    Anzeigen(item->data(Qt::UserRole).toInt(), true);
}

void HilfeFenster::BrowserLinkClick(const QUrl& url) {
  if (url.scheme() == kLinkSchema) Anzeigen(url.path().toInt(), true);
}

void HilfeFenster::ZurueckClick() {
  if (verlauf_.isEmpty()) return;
  int n = verlauf_.takeLast();
  if (n == 0)
    InhaltZeigen();
  else
    Anzeigen(n, false);
}

void HilfeFenster::Anzeigen(int nummer, bool merken) {
  const HilfeDatei& d = HilfeDatei::Eingebaut();
  if (d.Thema(nummer) == nullptr) return;
  if (merken && nummer != aktuell_ && (aktuell_ != 0 || !browser_->toPlainText().isEmpty()))
    verlauf_.append(aktuell_);
  aktuell_ = nummer;
  browser_->setHtml(d.Html(nummer));
  zurueck_->setEnabled(!verlauf_.isEmpty());
  for (int i = 0; i < liste_->count(); ++i)
    if (liste_->item(i)->data(Qt::UserRole).toInt() == nummer) {
      QSignalBlocker block(liste_);
      liste_->setCurrentRow(i);
    }
}

void HilfeFenster::Vorzeigen() {
  show();
  raise();
  activateWindow();
}

namespace {

class HilfeTaste : public QObject {
 public:
  explicit HilfeTaste(HilfeFenster* fenster) : QObject(fenster), fenster_(fenster) {}

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(e)->key() != Qt::Key_F1)
      return false;
    // A key event is offered to the filter once for each widget it travels through; take it at
    // its first stop.
    if (!o->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(o);
    int nummer = 0;
    if (auto* menu = qobject_cast<QMenu*>(w)) {
      if (QAction* a = menu->activeAction()) nummer = a->property(kKontext).toInt();
    } else {
      QWidget* fokus = QApplication::focusWidget();
      nummer = HilfeKontext(fokus != nullptr ? fokus : w);
      if (nummer != 0 && w->window()->property(kPopup).toBool()) {
        HilfePopup(fokus != nullptr ? fokus : w, nummer);
        return true;
      }
    }
    if (nummer != 0) fenster_->ThemaZeigen(nummer);
    return true;
  }

 private:
  HilfeFenster* fenster_;
};

}  // namespace

void HilfeTasteEinrichten(HilfeFenster* fenster) {
  qApp->installEventFilter(new HilfeTaste(fenster));
}

}  // namespace zarnoft
