#include "platform/message_box.h"

#include <QMessageBox>

int ShowMessageBox(QWidget* parent, const QString& text, int buttons) {
  if (messageBoxHook != nullptr) return messageBoxHook(text, buttons);
  const bool yesNo = buttons == kMessageBoxYesNo;
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kMessageBoxCaption), text,
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
  if (yesNo) box.setEscapeButton(QMessageBox::No);
  const int pressed = box.exec();
  if (!yesNo) return kAnswerOk;
  return pressed == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}
