#include "platform/keyboard.h"

#include <QGuiApplication>

bool IsKeyDown(int virtualKey) {
  if (asyncKeyStateHook != nullptr) return asyncKeyStateHook(virtualKey);
  if (QGuiApplication::instance() == nullptr) return false;
  const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
  switch (virtualKey) {
    case VK_SHIFT:
      return held.testFlag(Qt::ShiftModifier);
    case 0x11:  // Control
      return held.testFlag(Qt::ControlModifier);
    case 0x12:  // Alt
      return held.testFlag(Qt::AltModifier);
    default:
      return false;
  }
}
