// The application object of the window tests: one QApplication per process
// on Qt's offscreen platform, so widgets, fonts and the clipboard work
// without a display.
#pragma once

#include <QApplication>

namespace testing_support {

inline QApplication* OffscreenApplication() {
  static int argc = 1;
  static char name[] = "vorelk_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return app;
}

}  // namespace testing_support
