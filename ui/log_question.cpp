#include "ui/log_question.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/qt_texts.h"

namespace zarnoft {
namespace {

// The index of each answer, as the request hands it back.
constexpr int kAbbrechen = 0;
constexpr int kWiederholen = 1;

QMessageBox* FrageBox(const std::string& titel, const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Critical, Q(titel), MeldungsText(text),
                              QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                              QApplication::activeWindow());
  box->setDefaultButton(QMessageBox::Abort);
  box->setAttribute(Qt::WA_DeleteOnClose);
  return box;
}

int Index(QMessageBox::StandardButton b) {
  if (b == QMessageBox::Abort) return kAbbrechen;
  if (b == QMessageBox::Retry) return kWiederholen;
  return kKeineAntwort;
}

}  // namespace

LogAntwort QtLogFrage::FehlerFrage(const std::string& titel, const std::string& text) {
  int a = kKeineAntwort;
  if (gui_->ImGuiThread()) {
    QMessageBox* box = FrageBox(titel, text);
    a = Index(static_cast<QMessageBox::StandardButton>(box->exec()));
  } else {
    a = gui_->Anfrage([&](AntwortRueckruf antwort) {
      QMessageBox* box = FrageBox(titel, text);
      QObject::connect(box, &QMessageBox::finished, [antwort](int r) {
        antwort(Index(static_cast<QMessageBox::StandardButton>(r)));
      });
      box->open();
    });
  }
  if (a == kAbbrechen) return LogAntwort::kAbbrechen;
  if (a == kWiederholen) return LogAntwort::kWiederholen;
  return LogAntwort::kIgnorieren;
}

void QtLogFrage::StartFehler(const std::string& meldung) {
  auto zeigen = [&](AntwortRueckruf geschlossen) {
    auto* box = new QMessageBox(QMessageBox::Critical, "Fehler", MeldungsText(meldung),
                                QMessageBox::Ok, QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, [geschlossen] { geschlossen(0); });
    box->open();
  };
  if (gui_->ImGuiThread())
    zeigen([](int) {});  // the box stays open on its own; the GUI thread goes on
  else
    gui_->Anfrage(zeigen);
}

}  // namespace zarnoft
