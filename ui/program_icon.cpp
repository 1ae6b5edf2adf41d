#include "ui/program_icon.h"

#include <QString>

namespace zarnoft {

QIcon ProgrammSymbol() {
  // Pixel drawings only: the SVG would need Qt's SVG module at run time.
  static constexpr int kGroessen[] = {16, 22, 24, 32, 48, 64, 128, 256};
  QIcon symbol;
  for (int g : kGroessen) {
    symbol.addFile(QString(":/symbol/hicolor/%1x%1/apps/zarnoft.png").arg(g), QSize(g, g));
  }
  return symbol;
}

}  // namespace zarnoft
