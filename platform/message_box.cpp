#include "platform/message_box.h"

#include <QMessageBox>

int ShowMessageBox(QWidget* parent, const QString& text, int buttons, const char* caption) {
  if (messageBoxHook != nullptr) return messageBoxHook(text, buttons);
  const int kind = buttons & 0x0F;
  const bool yesNo = kind == kMessageBoxYesNo;
  const bool okCancel = kind == kMessageBoxOkCancel;
  const QMessageBox::Icon icon = (buttons & kMessageBoxIconExclamation) == kMessageBoxIconExclamation
                                     ? QMessageBox::Warning
                                     : QMessageBox::NoIcon;
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  if (yesNo) shown = QMessageBox::Yes | QMessageBox::No;
  if (okCancel) shown = QMessageBox::Ok | QMessageBox::Cancel;
  QMessageBox box(icon, QString::fromLatin1(caption != nullptr ? caption : kMessageBoxCaption),
                  text, shown, parent);
  if (yesNo) box.setEscapeButton(QMessageBox::No);
  if (okCancel) box.setEscapeButton(QMessageBox::Cancel);
  const int pressed = box.exec();
  if (yesNo) return pressed == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
  if (okCancel) return pressed == QMessageBox::Ok ? kAnswerOk : kAnswerCancel;
  return kAnswerOk;
}
