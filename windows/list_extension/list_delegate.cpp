#include "windows/list_extension/list_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QtMath>
#include <algorithm>

#include "platform/colour.h"
#include "windows/list_extension/list_ctrl_ex.h"
#include "windows/list_extension/list_model.h"

namespace {

// Gaps before the state image and between the images and the label.
constexpr int kStateIndent = 2;
constexpr int kImageGap = 1;

QRect CentredIn(const QRect& band, int left, QSize size) {
  return QRect(left, band.top() + (band.height() - size.height()) / 2, size.width(), size.height());
}

}  // namespace

CListExDelegate::CListExDelegate(CListCtrlEx* list) : QStyledItemDelegate(list), list_(list) {}

QRect CListExDelegate::TextPart(const QRect& label, int textWidth, int format) {
  QRect part;
  switch (format & kFormatJustifyMask) {
    case kFormatRight:
      part = QRect(label.right() + 1 - (textWidth + 8), label.top(), textWidth + 8, label.height());
      break;
    case kFormatCenter:
      part = QRect(label.left() + (label.width() - (textWidth + 12)) / 2, label.top(),
                   textWidth + 12, label.height());
      break;
    default:
      part = QRect(label.left(), label.top(), textWidth + 8, label.height());
      break;
  }
  return part.intersected(label);
}

QRect CListExDelegate::SelectionPart(const QRect& label, const QString& text, const QFont& font,
                                     int format) {
  const int room = std::max(label.width() - 4, 0);
  return TextPart(label, std::min(QFontMetrics(font).horizontalAdvance(text), room), format);
}

// The room of the state images: the check box and the state image list's
// images, whichever is larger.
QSize CListExDelegate::StateSlot() const {
  QSize slot;
  if ((list_->Base().ExtendedStyle() & kExCheckBoxes) != 0) {
    QStyle* style = list_->style();
    slot = QSize(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list_),
                 style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, list_));
  }
  if (const ListImageList* images = list_->Model()->ImageList(ListImageKind::State))
    slot = slot.expandedTo(images->ImageSize());
  return slot;
}

ListFirstCellParts CListExDelegate::FirstCellParts(const QRect& cell) const {
  ListFirstCellParts parts;
  int left = cell.left();
  if (const QSize slot = StateSlot(); !slot.isEmpty()) {
    parts.state = CentredIn(cell, left + kStateIndent, slot);
    left = parts.state.right() + 1 + kImageGap;
  }
  if (const ListImageList* images = list_->Model()->ImageList(ListImageKind::Small)) {
    parts.icon = CentredIn(cell, left, images->ImageSize());
    left = parts.icon.right() + 1 + kImageGap;
  }
  parts.label = QRect(left, cell.top(), std::max(cell.right() + 1 - left, 0), cell.height());
  return parts;
}

// Check boxes stand for state images 0..2; every other state image, and
// all of them without check boxes, is image (state - 1) of the state list.
void CListExDelegate::DrawStateImage(QPainter* painter, const QRect& slot, int row,
                                     const QColor& focus) const {
  if (slot.isEmpty()) return;
  const CListBase& base = list_->Base();
  const int image = base.ItemStateImage(row);
  if ((base.ExtendedStyle() & kExCheckBoxes) != 0 && image <= 2) {
    QStyle* style = list_->style();
    QStyleOptionViewItem box;
    box.initFrom(list_);
    box.rect = CentredIn(slot, slot.left(),
                         QSize(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list_),
                               style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, list_)));
    box.state = QStyle::State_Enabled | (image == 2 ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, list_);
    return;
  }
  const ListImageList* images = list_->Model()->ImageList(ListImageKind::State);
  if (images != nullptr && image > 0) images->Draw(*painter, image - 1, slot, focus);
}

void CListExDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  CListBase& base = list_->Base();
  const int row = index.row();
  const int column = index.column();
  const bool first = column == list_->FirstCell();
  const QPalette& palette = list_->palette();
  const ListRowState state = base.RowState(list_->GetItemState(row), list_->hasFocus());
  const ListRowLook look = base.RowLook(row, state.selectedWithFocus, state.shownSelected);
  const bool fullRow = (base.ExtendedStyle() & kExFullRowSelect) != 0;
  const int format = list_->Model()->Format(column);
  const QColor hot = ToQColor(list_->HotColour());

  const QRect cell = opt.rect;
  painter->save();
  painter->fillRect(cell, ToQColor(base.CellBackground(column)));

  const ListFirstCellParts parts = first ? FirstCellParts(cell) : ListFirstCellParts{};
  const QRect label = first ? parts.label : cell;
  const QRect textRect = first ? label.adjusted(2, 0, -2, 0) : cell.adjusted(6, 0, -6, 0);
  QFont font = opt.font;
  if (look.hotFont) font.setUnderline(true);

  bool highlighted = false;
  if (state.selectedWithFocus || state.shownSelected) {
    QRect part;
    if (first) {
      part = fullRow ? label : SelectionPart(label, opt.text, font, format);
    } else if (fullRow) {
      part = cell;
    }
    if (!part.isEmpty()) {
      const QColor brush = state.selectedWithFocus
                               ? (look.hotSelection ? hot : palette.color(QPalette::Highlight))
                               : palette.color(QPalette::Button);
      painter->fillRect(part, brush);
      highlighted = true;
    }
  }

  if (first) {
    const QColor focus = state.selectedWithFocus ? palette.color(QPalette::Highlight) : QColor();
    DrawStateImage(painter, parts.state, row, focus);
    if (const ListImageList* images = list_->Model()->ImageList(ListImageKind::Small)) {
      const int image = base.ItemImage(row);
      if (image > 0) images->Draw(*painter, image, parts.icon, focus);
    }
  }

  QColor text = look.hotFont ? hot : palette.color(QPalette::Text);
  if (highlighted && state.selectedWithFocus) text = palette.color(QPalette::HighlightedText);
  if (textRect.width() > 0 && !opt.text.isEmpty()) {
    painter->setFont(font);
    painter->setPen(text);
    const QString shown = QFontMetrics(font).elidedText(opt.text, Qt::ElideRight, textRect.width());
    painter->drawText(textRect, static_cast<int>(AlignmentOfFormat(format)) | Qt::TextSingleLine,
                      shown);
  }
  painter->restore();
}

QSize CListExDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  // Rounded up, so that the text is not cut by a fraction of a pixel.
  const int textWidth = qCeil(QFontMetricsF(opt.font).horizontalAdvance(opt.text));
  if (index.column() != list_->FirstCell()) {
    size.setWidth(textWidth + 12);
    return size;
  }
  const ListFirstCellParts parts = FirstCellParts(QRect(0, 0, 0x10000, size.height()));
  size.setWidth(parts.label.left() + textWidth + 8);
  size.setHeight(std::max({size.height(), parts.state.height() + 2, parts.icon.height() + 2}));
  return size;
}

bool CListExDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      return false;
    default:
      return QStyledItemDelegate::editorEvent(event, model, option, index);
  }
}
