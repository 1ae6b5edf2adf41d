// The test program of the Qt windows: one QApplication for every test, German texts for Qt's own
// buttons as in the program, offscreen unless a display is asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  zarnoft::DeutschEinrichten(&app);
  return RUN_ALL_TESTS();
}
