// The program's icon for every window: the PNG sizes of icons/ compiled in, so that a build
// folder and a copied program show it too.
//
// GUI thread only (QIcon needs the application object).
#ifndef ZARNOFT_UI_PROGRAM_ICON_H_
#define ZARNOFT_UI_PROGRAM_ICON_H_

#include <QIcon>

namespace zarnoft {

// All sizes from 16 to 256 pixels; Qt picks the one that fits. The application sets it as its
// window icon, so every window (main window, progress windows, dialogs) carries it.
QIcon ProgrammSymbol();

}  // namespace zarnoft

#endif  // ZARNOFT_UI_PROGRAM_ICON_H_
