#include "ui/editor.h"

#include <QDialogButtonBox>
#include <QMetaObject>
#include <QThread>
#include <QVBoxLayout>

#include "log/log_writer.h"
#include "platform/program_info.h"
#include "ui/application.h"

namespace zarnoft {

// Carries a run's call onto the GUI thread and waits for it there.
class EditorAufrufer : public QObject, public GuiCaller {
 public:
  void Call(const std::function<void()>& f) override {
    if (QThread::currentThread() == thread())
      f();
    else
      QMetaObject::invokeMethod(
          this, [&f] { f(); }, Qt::BlockingQueuedConnection);
  }
};

namespace {

// A dialog that only opens and closes, until the real one takes its place.
std::unique_ptr<QDialog> LeererDialog(QWidget* owner, const QString& titel) {
  auto d = std::make_unique<QDialog>(owner);
  d->setWindowTitle(titel);
  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok, d.get());
  QObject::connect(knoepfe, &QDialogButtonBox::accepted, d.get(), &QDialog::accept);
  auto* l = new QVBoxLayout(d.get());
  l->addWidget(knoepfe);
  return d;
}

}  // namespace

Editor::Editor(const DateiOrte& orte, FensterFabrik fenster) {
  gui_ = std::make_unique<EditorAufrufer>();
  LaufDienste laufDienste;
  laufDienste.log = &GlobalLog();
  laufDienste.gui = gui_.get();
  laufDienste.fenster =
      fenster ? fenster : [] { return std::unique_ptr<FortschrittFenster>(new StillesFenster); };
  starter_ = std::make_unique<VergleicheStarter>(laufDienste);

  HauptDienste dienste;
  dienste.log = &GlobalLog();
  dienste.logSchreiber = &GlobalLog();
  dienste.laeufe = starter_.get();
  fenster_ = std::make_unique<TZarnoft>(dienste);
  fenster_->FormCreate(orte);
  einstellungen_ = LeererDialog(fenster_.get(), "Einstellungen");
  info_ = LeererDialog(fenster_.get(), "Zarnoft");
  fenster_->DialogeSetzen(einstellungen_.get(), info_.get());
}

Editor::~Editor() = default;

GuiCaller& Editor::Gui() {
  return *gui_;
}

void Editor::Zeigen(const std::vector<std::string>& argumente) {
  fenster_->show();
  fenster_->Logik().FormShow(argumente);
}

}  // namespace zarnoft
