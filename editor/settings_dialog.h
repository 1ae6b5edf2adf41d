// The logic of the settings dialog TEinstellungen, the one place where the user edits Main.sda.
//
// The dialog is created once at program start, loads its controls from Main.sda then, and is
// shown modally from the main window whenever the user asks; it is hidden, never destroyed, so
// the controls keep their contents between showings. OK writes every control back (and
// prepares or clears the move-aside folder), Cancel loads the controls again, and closing by
// the title bar does neither: the controls keep what the user left in them. Whichever way it
// closes, the main window then sets the log up again and re-reads its editor settings.
//
// The Qt dialog (ui/settings_dialog) holds the widgets and forwards its events here; this class
// holds the rules, so that each of them is tested without a display. It lives beside the main
// window's logic rather than beside the settings file because it writes log lines, and the log
// sits above the settings in the layering. GUI thread only.
#ifndef ZARNOFT_EDITOR_SETTINGS_DIALOG_H_
#define ZARNOFT_EDITOR_SETTINGS_DIALOG_H_

#include <string>
#include <vector>

#include "log/log.h"
#include "platform/file_places.h"
#include "platform/file_system.h"
#include "platform/job_modes.h"
#include "settings/settings_table.h"

namespace zarnoft {

// The Max of the move-aside folder's Sync.dat.
inline constexpr Zahlbereich kSLVAnzBereich{1, 1000};

// The contents of every control that is loaded or stored: the settings of the table that have a
// control (settings/settings_table.h), under their descriptors.
struct EinstellungenFelder {
  EinstellungsWerte werte;
  int SLVAnz = 1;  // never loaded; written to the move-aside folder's Sync.dat

  friend bool operator==(const EinstellungenFelder&, const EinstellungenFelder&) = default;
};

// The items of the level list: ten in the "Debugversion" build, else the levels 0 to 7.
std::vector<std::string> LogLevEintraege(bool debug_version);
// The items of the rotation box.
const std::vector<std::string>& LogrotierenEintraege();

// The status bar text for the control under the pointer: `hinweise` holds the hints of that
// control and of its enclosing controls, innermost first ("" for a control without one). The
// first hint there is gives its long part (the text after "|", or all of it); none gives "".
std::string StatusHinweis(const std::vector<std::string>& hinweise);

// What the logic needs from the Qt dialog. Every call comes on the GUI thread.
class EinstellungenAnsicht {
 public:
  virtual ~EinstellungenAnsicht() = default;
  // The controls' contents as they are now, and putting new contents into them.
  virtual EinstellungenFelder FelderLesen() = 0;
  virtual void FelderZeigen(const EinstellungenFelder& f) = 0;
  // SyncVerz, its label and VerzWahl shown or hidden.
  virtual void SyncVerzSichtbar(bool sichtbar) = 0;
  // The hidden controls SLVJa and SLVAnz enabled or disabled.
  virtual void SLVerschFolgen(bool aktiv) = 0;
  // A folder dialog with a prompt, starting at `anfang`; false when the user cancelled.
  virtual bool OrdnerWaehlen(const std::string& prompt, const std::string& anfang,
                             std::string* gewaehlt) = 0;
  // A save-file dialog for the log file, starting at `anfang`; false when cancelled.
  virtual bool LogdateiWaehlen(const std::string& anfang, std::string* gewaehlt) = 0;
  // An error box over the dialog.
  virtual void FehlerZeigen(const std::string& text) = 0;
  // The dialog's status bar.
  virtual void StatusZeigen(const std::string& text) = 0;
};

class TEinstellungenLogik {
 public:
  // orte: where Main.sda lies and the places that give the defaults of the log file, the
  // standard directory and the move-aside folder. ansicht, fs and log must outlive the object
  // (nullptr fs: the real file system; nullptr log: no log).
  TEinstellungenLogik(EinstellungenAnsicht* ansicht, DateiOrte orte, bool debug_version,
                      FileSystem* fs, Protokoll* log);

  // Loads every control from the settings file (at creation), applying the ranges, the level
  // cap and the visibility and enabling rules.
  void FormCreate() { Laden(); }
  // Cancel: loads again, throwing away every change since; writes nothing.
  void AbbruchClick() { Laden(); }
  // OK: writes every key in its order, then prepares the move-aside folder (creating its
  // missing levels from the top down and writing Sync.dat) or, without "verschieben", deletes
  // its Sync.dat. A failure is shown and logged and ends the rest of OK; the dialog closes all
  // the same.
  void JaClick();

  void DateiablageClick();
  void SLVerschClick();
  void VerzWahlClick();
  void SLWahlClick();
  void Button1Click();
  // The pointer rests on a control with these hints (innermost first; see StatusHinweis).
  void ShowHint(const std::vector<std::string>& hinweise);

 private:
  void Laden();
  void RegelnAnwenden(const EinstellungenFelder& f);
  // The range in which a loaded value is shown: the level list is shorter outside the debug
  // build.
  Zahlbereich Bereich(const Einstellung& e) const;
  void VerschiebeordnerVorbereiten(const EinstellungenFelder& f);
  // A damaged Main.sda is kept as Main.sda.beschaedigt (-2, -3, ...) before the dialog's keys
  // are written, so that they go into a sound new file. Throws IniWriteError.
  void BeschaedigteBeiseite();
  void Melden(const std::string& text);

  EinstellungenAnsicht* ansicht_;
  DateiOrte orte_;
  bool debug_;
  FileSystem* fs_;
  Protokoll* log_;
  std::string status_;  // what the status bar shows now
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_SETTINGS_DIALOG_H_
