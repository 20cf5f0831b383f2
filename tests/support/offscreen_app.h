// The application object of the window tests: one QApplication per process
// on Qt's offscreen platform, so widgets, fonts and the clipboard work
// without a display.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

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

// Closes a window as its close box does and runs the deferred deletes;
// true when the window is gone.
inline bool CloseAsCloseBox(QWidget* window) {
  QPointer<QWidget> watch(window);
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return watch.isNull();
}

// Answers the next modal dialog of type T with `answer` once it is shown
// (not before: a search pumping messages meanwhile runs the timer too).
template <typename T>
void AnswerWhenShown(const std::function<void(T*)>& answer) {
  auto* timer = new QTimer(QApplication::instance());
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    timer->stop();
    timer->deleteLater();
    answer(dialog);
  });
  timer->start(10);
}

}  // namespace testing_support
