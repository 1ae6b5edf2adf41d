// The program's help: the topics of ZARNOFT.HLP (compiled in as a resource, so that a copied
// program still has its help), the help window, the pop-up of the settings dialog, and F1.
//
// A topic is asked for by its context number, as the windows carry them. Widgets and menu
// actions get their number with HilfeKontextSetzen; F1 looks for the number of the focused
// widget or, when it has none, of its nearest parent with one (of the highlighted entry in an open
// menu). A top-level window marked with HilfeAlsPopup shows its topics as a pop-up beside the
// focused widget instead of in the help window.
//
// GUI thread only.
#ifndef ZARNOFT_UI_HELP_H_
#define ZARNOFT_UI_HELP_H_

#include <QList>
#include <QString>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace zarnoft {

struct HilfeThema {
  int nummer = 0;
  QString titel;
  QString text;  // the body as written in the file
};

// The parsed help file. Format: "= <number> <title>" starts a topic; a blank line separates
// paragraphs; "- " starts a bullet; "{<number>}" links to another topic; lines starting with "#"
// are comments.
class HilfeDatei {
 public:
  static HilfeDatei Lesen(const QString& text);
  // The help file compiled into the program.
  static const HilfeDatei& Eingebaut();

  const QList<HilfeThema>& Themen() const { return themen_; }
  // nullptr when there is no topic of that number.
  const HilfeThema* Thema(int nummer) const;
  // The numbers of the topics whose title or text contain every word of `suche` (case ignored),
  // in file order.
  QList<int> Suchen(const QString& suche) const;
  // The topic as HTML for a text browser; links are "thema:<number>".
  QString Html(int nummer) const;
  // The topic as HTML for a pop-up, which cannot follow links: the topics that the text refers
  // to are listed at its end instead.
  QString PopupHtml(int nummer) const;

 private:
  QString Html(int nummer, bool popup) const;

  QList<HilfeThema> themen_;
};

// Context numbers of widgets and actions (0 = none).
void HilfeKontextSetzen(QObject* o, int nummer);
// The number of `w` or of its nearest parent with a number other than 0; 0 when none has one.
int HilfeKontext(const QWidget* w);
// Marks a top-level window whose F1 topics appear as a pop-up (the settings dialog).
void HilfeAlsPopup(QWidget* fenster);

// Shows topic `nummer` as a pop-up beside `bei` (closed by a click or Esc). The settings dialog
// calls it for F1; F1 handling calls it for windows marked with HilfeAlsPopup.
void HilfePopup(QWidget* bei, int nummer);

// The help window: the topic list with a search field on the left, the topic on the right.
// Created once by the main window (its owner) and shown on demand; not modal.
class HilfeFenster : public QWidget {
  Q_OBJECT

 public:
  explicit HilfeFenster(QWidget* owner);

  // Shows the window with topic `nummer`; an unknown number shows the contents.
  void ThemaZeigen(int nummer);
  // The contents: every topic, the list unfiltered.
  void InhaltZeigen();
  // The search: the contents with the focus in the search field.
  void SuchenZeigen();

  int AktuellesThema() const { return aktuell_; }
  QTextBrowser* Browser() const { return browser_; }
  QLineEdit* SuchFeld() const { return suche_; }
  QListWidget* Liste() const { return liste_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void SucheChange(const QString& text);
  void SucheReturn();
  void ListeClick();
  void BrowserLinkClick(const QUrl& url);
  void ZurueckClick();
  void Anzeigen(int nummer, bool merken);
  void Vorzeigen();

  QLineEdit* suche_;
  QListWidget* liste_;
  QTextBrowser* browser_;
  QPushButton* zurueck_;
  QList<int> verlauf_;
  int aktuell_ = 0;
};

// F1 for the whole application: finds the context number (menu entry or focused widget) and shows
// its topic in `fenster` or, for a window marked with HilfeAlsPopup, as a pop-up. Nothing happens
// when no number is found. The filter belongs to `fenster`.
void HilfeTasteEinrichten(HilfeFenster* fenster);

}  // namespace zarnoft

#endif  // ZARNOFT_UI_HELP_H_
