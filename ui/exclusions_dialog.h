// The exclusions dialog "Ausnahmen": the job's patterns in a list, a line to type a new one,
// "&Hinzufügen", "&Entfernen", "&Übliche Ausnahmen", a help text with examples and a line with
// the count of what the patterns leave out of the source right now. The rules live in
// AusnahmenDialog; this class holds the widgets and runs the count on a thread of its own (one
// at a time: a new count stops the one before and waits for it). GUI thread only.
#ifndef ZARNOFT_UI_EXCLUSIONS_DIALOG_H_
#define ZARNOFT_UI_EXCLUSIONS_DIALOG_H_

#include <QDialog>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/exclusions_dialog.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zarnoft {

class TAusnahmen : public QDialog, public AusnahmenAnsicht {
  Q_OBJECT

 public:
  // herkunft: the source directory as the field holds it; the count walks it.
  TAusnahmen(QWidget* parent, std::string herkunft, bool unterverzeichnisse,
             std::vector<std::string> muster, FileSystem* fs);
  ~TAusnahmen() override;

  const AusnahmenDialog& Logik() const { return logik_; }

  // AusnahmenAnsicht
  void ListeZeigen(const std::vector<std::string>& muster, int auswahl) override;
  void Melden(const std::string& text) override;
  void ZaehlungZeigen(const std::string& text) override;
  void ZaehlungStarten(const std::vector<std::string>& muster) override;

 private:
  void ZaehlungBeenden();

  std::string herkunft_;
  bool unterverzeichnisse_;
  FileSystem* fs_;
  AusnahmenDialog logik_;
  QListWidget* liste_ = nullptr;
  QLineEdit* eingabe_ = nullptr;
  QPushButton* entfernen_ = nullptr;
  QLabel* zaehlung_ = nullptr;
  std::thread zaehler_;
  std::shared_ptr<std::atomic<bool>> stop_;
  int zaehlung_nummer_ = 0;
};

// Shows the dialog modally over parent. True (and *muster replaced) when the user closed it with
// OK; the caller decides whether the list changed.
bool AusnahmenBearbeiten(QWidget* parent, const std::string& herkunft, bool unterverzeichnisse,
                         std::vector<std::string>* muster, FileSystem* fs);

}  // namespace zarnoft

#endif  // ZARNOFT_UI_EXCLUSIONS_DIALOG_H_
