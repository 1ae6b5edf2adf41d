#include "ui/gui_caller.h"

#include <QMetaObject>

namespace zarnoft {

void QtCaller::Wecken() {
  // One wake-up serves every call queued until it runs: the flag is cleared before serving, so a
  // call queued during Abarbeiten posts the next one.
  if (geweckt_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        geweckt_.store(false);
        Abarbeiten();
      },
      Qt::QueuedConnection);
}

}  // namespace zarnoft
