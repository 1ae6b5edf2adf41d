#include "ui/file_dialog.h"

#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace zarnoft {
namespace {

// The columns of Qt's file list that carry a size and a date.
constexpr int kGroesseSpalte = 1;
constexpr int kDatumSpalte = 3;

// Passes the file list through, with the size and date columns in the program's (German) locale
// rather than the system's.
class DeutscheDateiliste : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    auto* dateien = qobject_cast<QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || dateien == nullptr ||
        (index.column() != kGroesseSpalte && index.column() != kDatumSpalte))
      return QIdentityProxyModel::data(index, role);
    const QModelIndex quelle = mapToSource(index);
    const QLocale deutsch;
    if (index.column() == kDatumSpalte) {
      const QDateTime zeit = dateien->lastModified(quelle);
      return zeit.isValid() ? deutsch.toString(zeit, QLocale::ShortFormat) : QString();
    }
    // Folders show no size.
    if (dateien->isDir(quelle)) return QIdentityProxyModel::data(index, role);
    return deutsch.formattedDataSize(dateien->size(quelle));
  }
};

}  // namespace

void DateiDialogEinrichten(QFileDialog* dlg) {
  dlg->setOption(QFileDialog::DontUseNativeDialog);
  dlg->setProxyModel(new DeutscheDateiliste(dlg));
}

QString OrdnerWaehlen(QWidget* parent, const QString& titel, const QString& anfang) {
  QFileDialog dlg(parent, titel, anfang);
  DateiDialogEinrichten(&dlg);
  dlg.setFileMode(QFileDialog::Directory);
  dlg.setOption(QFileDialog::ShowDirsOnly);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
  return dlg.selectedFiles().first();
}

}  // namespace zarnoft
