// Qt's own file and folder dialogs, set up so that they speak German whatever the desktop's
// language: Qt's translation gives the captions and buttons, and the file list shows its dates
// and sizes in German forms ("08.12.26 21:40", "1,5 KB") instead of the system locale's, which
// on a desktop without a German locale reads "8 Dec".
//
// GUI thread only.
#ifndef ZARNOFT_UI_FILE_DIALOG_H_
#define ZARNOFT_UI_FILE_DIALOG_H_

#include <QFileDialog>
#include <QString>

namespace zarnoft {

// Makes `dlg` Qt's own (not the desktop's) dialog with the German file list. Call before the
// dialog is shown.
void DateiDialogEinrichten(QFileDialog* dlg);

// A folder dialog over `parent` with the prompt `titel`, starting at `anfang`: the chosen folder,
// or an empty text when cancelled.
QString OrdnerWaehlen(QWidget* parent, const QString& titel, const QString& anfang);

}  // namespace zarnoft

#endif  // ZARNOFT_UI_FILE_DIALOG_H_
