// The main window of the editor. At this stage an empty frame captioned "Zarnoft"; the job
// editor fills it.
#ifndef ZARNOFT_UI_MAIN_WINDOW_H_
#define ZARNOFT_UI_MAIN_WINDOW_H_

#include <QMainWindow>

namespace zarnoft {

class TZarnoft : public QMainWindow {
  Q_OBJECT

 public:
  explicit TZarnoft(QWidget* parent = nullptr);
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_MAIN_WINDOW_H_
