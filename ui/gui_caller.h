// The GUI caller of the editor: the calls of comparison runs onto Qt's GUI thread.
//
// A run's call is queued and Qt's event loop is woken to serve the queue (one posted event for
// any number of calls queued meanwhile); a call made on the GUI thread itself runs at once. At
// closing the main window enters the closing state (SchliessenBeginnen) and, once the event loop
// has ended, Einstellen, so that no run can wait for a GUI thread that is gone.
//
// Created on the GUI thread, which it serves; must outlive every run that uses it.
#ifndef ZARNOFT_UI_GUI_CALLER_H_
#define ZARNOFT_UI_GUI_CALLER_H_

#include <QObject>
#include <atomic>

#include "platform/gui_call.h"

namespace zarnoft {

class QtCaller : public QObject, public QueueCaller {
 public:
  QtCaller() = default;
  ~QtCaller() override { Einstellen(); }

 protected:
  void Wecken() override;

 private:
  std::atomic<bool> geweckt_{false};
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_GUI_CALLER_H_
