#include "ui/editor.h"

#include <QDialogButtonBox>
#include <QMetaObject>
#include <QVBoxLayout>

#include <unistd.h>

#include "editor/size_listing.h"
#include "log/log_writer.h"
#include "platform/stop_signals.h"
#include "ui/application.h"
#include "ui/progress_window.h"

namespace zarnoft {

// The size listings of the main window: they show through the window, which exists only after
// the listings were handed to its logic.
class Editor::Listings : public ListingAnzeige {
 public:
  Listings()
      : listings_(
            this,
            [](std::function<void()> f) {
              QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
            },
            nullptr, &GlobalLog()) {}
  void FensterSetzen(TZarnoft* f) {
    fenster_ = f;
    anzeige_ = std::make_unique<HauptListingAnzeige>(f, [f] { return f->Panel2Breite(); });
  }
  GroessenListings& Dienst() { return listings_; }

  void GroesseZeigen(ListingSeite seite, const std::string& text) override {
    if (anzeige_) anzeige_->GroesseZeigen(seite, text);
  }
  void ListingPfadZeigen(const std::string& text) override {
    if (anzeige_) anzeige_->ListingPfadZeigen(text);
  }
  int ListingPfadBreite() override { return anzeige_ ? anzeige_->ListingPfadBreite() : 0; }
  int TextBreite(const std::string& text) override {
    return anzeige_ ? anzeige_->TextBreite(text) : 0;
  }

 private:
  TZarnoft* fenster_ = nullptr;
  std::unique_ptr<HauptListingAnzeige> anzeige_;
  GroessenListings listings_;  // last: stopped before the display goes
};

Editor::Editor(const DateiOrte& orte, FensterFabrik fenster, FileSystem* fs) {
  gui_ = std::make_unique<QtCaller>();
  log_frage_ = std::make_unique<QtLogFrage>(gui_.get());
  GlobalLog().SetFrage(log_frage_.get());
  LaufDienste lauf_dienste;
  lauf_dienste.log = &GlobalLog();
  lauf_dienste.gui = gui_.get();
  lauf_dienste.fs = fs;
  lauf_dienste.stand_verzeichnis = orte.StandVerzeichnis();
  lauf_dienste.fenster = fenster ? fenster : TKopie::Fabrik();
  starter_ = std::make_unique<VergleicheStarter>(lauf_dienste);

  HauptDienste dienste;
  dienste.log = &GlobalLog();
  dienste.log_schreiber = &GlobalLog();
  dienste.laeufe = starter_.get();
  listings_ = std::make_unique<Listings>();
  dienste.listing = &listings_->Dienst();
  fenster_ = std::make_unique<TZarnoft>(dienste);
  listings_->FensterSetzen(fenster_.get());
  fenster_->FormCreate(orte);
  einstellungen_ = std::make_unique<TEinstellungen>(fenster_.get(), orte, nullptr, &GlobalLog());
  info_ = std::make_unique<TAboutBox>(fenster_.get(), orte.EinstellungsDatei());
  fenster_->DialogeSetzen(einstellungen_.get(), info_.get());
  // The signal's handler only makes the descriptor readable; the close happens here, on the GUI
  // thread, where the window, the runs' handles and the collection live.
  if (StoppDeskriptor() >= 0) {
    stopp_ = std::make_unique<QSocketNotifier>(StoppDeskriptor(), QSocketNotifier::Read);
    QObject::connect(stopp_.get(), &QSocketNotifier::activated, [this] {
      char puffer[64];
      while (::read(StoppDeskriptor(), puffer, sizeof puffer) > 0) {
      }
      fenster_->Logik().SignalBeenden();
    });
  }
}

Editor::~Editor() {
  // The event loop has ended: no run may wait for it any more.
  gui_->Einstellen();
  GlobalLog().SetFrage(nullptr);
}

GuiCaller& Editor::Gui() {
  return *gui_;
}

void Editor::Zeigen(const std::vector<std::string>& argumente) {
  fenster_->show();
  fenster_->Logik().FormShow(argumente);
}

}  // namespace zarnoft
