#include "platform/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

// Room the title bar takes besides its title: the window icon and the
// minimise, maximise and close buttons, about 24 pixels each, and the
// bar's margins.
constexpr int kTitleBarFurniture = 4 * 24 + 2 * 12;
// A desktop's title font may be somewhat larger than Qt's default.
constexpr double kTitleFontGrowth = 1.15;

}  // namespace

int TitleBarMinimumWidth(const QString& title) {
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  if (font.pointSizeF() > 0) {
    font.setPointSizeF(font.pointSizeF() * kTitleFontGrowth);
  } else {
    font.setPixelSize(static_cast<int>(font.pixelSize() * kTitleFontGrowth + 0.5));
  }
  return QFontMetrics(font).horizontalAdvance(title) + kTitleBarFurniture;
}

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
  // QMessageBox sizes itself to its text, and a short text (a few Chinese
  // characters) leaves no room for the caption in the window manager's
  // title bar: a row as wide as the title needs keeps the box wider.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const QMargins margins = grid->contentsMargins();
    const int width = TitleBarMinimumWidth(box.windowTitle()) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  if (yesNo) box.setEscapeButton(QMessageBox::No);
  if (okCancel) box.setEscapeButton(QMessageBox::Cancel);
  const int pressed = box.exec();
  if (yesNo) return pressed == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
  if (okCancel) return pressed == QMessageBox::Ok ? kAnswerOk : kAnswerCancel;
  return kAnswerOk;
}
