// The editor as a whole, in the order of start-up: the GUI caller that the runs use, the run
// starter, the main window with its creation step, then the settings dialog and the about box.
// main() builds one; the tests and the screenshot program build theirs with places of their own.
//
// GUI thread only. Destroy it after the event loop has ended: the GUI caller then stops serving,
// so that no run can wait for a GUI thread that is gone.
#ifndef ZARNOFT_UI_EDITOR_H_
#define ZARNOFT_UI_EDITOR_H_

#include <QSocketNotifier>

#include <memory>
#include <string>
#include <vector>

#include "editor/main_window.h"
#include "jobs/run_starter.h"
#include "platform/file_places.h"
#include "ui/about_box.h"
#include "ui/gui_caller.h"
#include "ui/log_question.h"
#include "ui/main_window.h"
#include "ui/settings_dialog.h"

namespace zarnoft {

class Editor {
 public:
  // `fenster` makes the progress window of each run (TKopie unless a test says otherwise).
  // `fs`: the file system of the runs (nullptr: the real one; a test slows it down).
  explicit Editor(const DateiOrte& orte, FensterFabrik fenster = {}, FileSystem* fs = nullptr);
  ~Editor();

  TZarnoft& Fenster() { return *fenster_; }
  GuiCaller& Gui();

  // Shows the main window and opens the collection named on the command line (argumente
  // without the program name).
  void Zeigen(const std::vector<std::string>& argumente);

 private:
  std::unique_ptr<QtCaller> gui_;
  std::unique_ptr<QtLogFrage> log_frage_;
  std::unique_ptr<VergleicheStarter> starter_;
  // Before the window: the window's logic stops the listings when it goes, so they must outlive
  // it.
  class Listings;
  std::unique_ptr<Listings> listings_;
  std::unique_ptr<TZarnoft> fenster_;
  std::unique_ptr<TEinstellungen> einstellungen_;
  std::unique_ptr<TAboutBox> info_;
  // Turns a stop signal (platform/stop_signals.h) into a clean close on the GUI thread.
  std::unique_ptr<QSocketNotifier> stopp_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_EDITOR_H_
