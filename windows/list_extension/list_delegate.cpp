#include "windows/list_extension/list_delegate.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <algorithm>

#include "platform/colour.h"
#include "windows/list_extension/list_ctrl_ex.h"
#include "windows/list_extension/list_model.h"

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

QRect CListExDelegate::CheckRect(QStyleOptionViewItem option, const QModelIndex& index) const {
  initStyleOption(&option, index);
  if ((option.features & QStyleOptionViewItem::HasCheckIndicator) == 0) return QRect();
  return list_->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list_);
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
  const bool selected = list_->selectionModel() != nullptr &&
                        list_->selectionModel()->isRowSelected(row, QModelIndex());
  const bool focus = list_->hasFocus();
  // Selections stay shown, in the button face colour, when the list has
  // no focus.
  const bool selectedWithFocus = selected && focus;
  const bool shownSelected = selected && !focus;
  const ListRowLook look = base.RowLook(row, selectedWithFocus, shownSelected);
  const bool fullRow = (base.ExtendedStyle() & kExFullRowSelect) != 0;
  const int format = list_->Model()->Format(column);
  const QColor hot = ToQColor(list_->HotColour());

  const QRect cell = opt.rect;
  painter->save();
  painter->fillRect(cell, ToQColor(base.CellBackground(column)));

  QRect label = cell;
  QRect check;
  if (first && (opt.features & QStyleOptionViewItem::HasCheckIndicator) != 0) {
    check = list_->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, list_);
    label.setLeft(check.right() + 1);
  }
  const QRect textRect = first ? label.adjusted(2, 0, -2, 0) : cell.adjusted(6, 0, -6, 0);
  QFont font = opt.font;
  if (look.hotFont) font.setUnderline(true);
  const QFontMetrics metrics(font);
  const int textWidth =
      std::min(metrics.horizontalAdvance(opt.text), std::max(textRect.width(), 0));

  bool highlighted = false;
  if (selected) {
    QRect part;
    if (first) {
      part = fullRow ? label : TextPart(label, textWidth, format);
    } else if (fullRow) {
      part = cell;
    }
    if (!part.isEmpty()) {
      const QColor brush = selectedWithFocus
                               ? (look.hotSelection ? hot : palette.color(QPalette::Highlight))
                               : palette.color(QPalette::Button);
      painter->fillRect(part, brush);
      highlighted = true;
    }
  }

  if (!check.isEmpty()) {
    QStyleOptionViewItem box(opt);
    box.rect = check;
    box.state = (box.state & ~QStyle::State_HasFocus) | QStyle::State_Enabled;
    box.state |= opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    QStyle* style = list_->style();
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, list_);
  }

  QColor text = look.hotFont ? hot : palette.color(QPalette::Text);
  if (highlighted && selectedWithFocus) text = palette.color(QPalette::HighlightedText);
  if (textRect.width() > 0 && !opt.text.isEmpty()) {
    painter->setFont(font);
    painter->setPen(text);
    const QString shown = metrics.elidedText(opt.text, Qt::ElideRight, textRect.width());
    painter->drawText(textRect, static_cast<int>(AlignmentOfFormat(format)) | Qt::TextSingleLine,
                      shown);
  }
  painter->restore();
}
