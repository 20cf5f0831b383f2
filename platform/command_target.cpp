#include "platform/command_target.h"

#include <QMetaObject>
#include <QPointer>

void PostCommand(QObject* context, CCmdTarget* target, int id) {
  if (context == nullptr || target == nullptr) return;
  // The context guards the call: when the window is gone before the queued
  // call runs, Qt drops it.
  QMetaObject::invokeMethod(
      context, [target, id] { target->OnCmdMsg(id); }, Qt::QueuedConnection);
}
