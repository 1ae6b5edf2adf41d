// The about box "Zarnoft": product name and version, the engine's version, the format versions
// of the settings file and of the job collections, the program icon. The texts come from
// AboutTexteErstellen; this class only lays them out.
//
// Created once at program start (which fills every label but VSync) and shown modally with
// Zeigen(), which brings VSync up to date. GUI thread only.
#ifndef ZARNOFT_UI_ABOUT_BOX_H_
#define ZARNOFT_UI_ABOUT_BOX_H_

#include <QDialog>
#include <string>

#include "platform/file_system.h"

class QLabel;
class QPushButton;

namespace zarnoft {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  // settings_path: Main.sda, whose Allgemein/Version the box shows as it is now.
  TAboutBox(QWidget* parent, const std::string& settings_path, FileSystem* fs = nullptr);

  // Shows the box modally. sammlungs_version: the format of the collection last opened or saved,
  // 0 while there is none.
  void Zeigen(int sammlungs_version);

  // The labels, for tests and screenshots.
  QLabel* Label(const char* name) const;

  // The first showing places the box.
  void setVisible(bool sichtbar) override;

 private:
  // Fixes the size to what the texts need now, at least the designed size.
  void GroesseAnpassen();
  QLabel* VSync_;
  QPushButton* OKButton_;
  bool erstmals_gezeigt_ = false;
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_ABOUT_BOX_H_
