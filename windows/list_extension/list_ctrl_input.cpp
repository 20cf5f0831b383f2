// CListCtrlEx's painting and input: the tinted background, the focus
// rectangle, colour changes, focus, the key that fits the columns, hot
// tracking and the check boxes under the mouse.
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/colour.h"
#include "windows/list_extension/list_ctrl_ex.h"
#include "windows/list_extension/list_model.h"

void CListCtrlEx::paintEvent(QPaintEvent* event) {
  {
    // The background, with the sort column's strip in the tint down to
    // the bottom of the list, below the rows as well.
    QPainter painter(viewport());
    painter.fillRect(event->rect(), ToQColor(base_.Background()));
    const int sort = base_.SortDisplayed();
    if (base_.SortColouring() && sort >= 0) {
      const QRect strip(header()->sectionViewportPosition(sort), 0, header()->sectionSize(sort),
                        viewport()->height());
      painter.fillRect(strip.intersected(event->rect()), ToQColor(base_.Tint()));
    }
  }
  QTreeView::paintEvent(event);
}

// The focused item of a focused list gets a dotted rectangle in the text
// colour over its cells.
void CListCtrlEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
  QTreeView::drawRow(painter, option, index);
  const int item = index.row();
  if (!base_.RowState(GetItemState(item), hasFocus()).focused) return;
  const QRect rect = FocusRect(item);
  if (rect.width() < 2 || rect.height() < 2) return;
  painter->save();
  painter->setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

void CListCtrlEx::changeEvent(QEvent* event) {
  QTreeView::changeEvent(event);
  // A new palette (the user's colours, or SetBkColor) brings a new
  // background and with it a new tint.
  if (event->type() == QEvent::PaletteChange)
    base_.OnRecalcColors(QRgbToColorRef(palette().color(QPalette::Base).rgb()));
}

void CListCtrlEx::focusInEvent(QFocusEvent* event) {
  QTreeView::focusInEvent(event);
  base_.OnSetFocus();
  viewport()->update();
}

void CListCtrlEx::focusOutEvent(QFocusEvent* event) {
  QTreeView::focusOutEvent(event);
  base_.OnKillFocus();
  viewport()->update();
}

void CListCtrlEx::keyPressEvent(QKeyEvent* event) {
  // Ctrl with the numeric pad's plus fits every visible column to its cells.
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  if (event->key() == Qt::Key_Plus && (modifiers & Qt::ControlModifier) != 0 &&
      (modifiers & Qt::KeypadModifier) != 0) {
    base_.AutoSizeColumns();
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void CListCtrlEx::mouseMoveEvent(QMouseEvent* event) {
  QTreeView::mouseMoveEvent(event);
  UpdateHotItem(event->position().toPoint());
}

bool CListCtrlEx::ToggleCheckAt(const QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || (base_.ExtendedStyle() & kExCheckBoxes) == 0)
    return false;
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  if (!index.isValid() || !StateIconRect(index.row()).contains(pos)) return false;
  return base_.SetCheck(index.row(), !base_.GetCheck(index.row()));
}

// A press on a check box toggles it without selecting; any press may
// change the hot item (it selects under two-click activation).
void CListCtrlEx::mousePressEvent(QMouseEvent* event) {
  pressToggledCheck_ = ToggleCheckAt(event);
  if (!pressToggledCheck_) QTreeView::mousePressEvent(event);
  UpdateHotItem(event->position().toPoint());
}

void CListCtrlEx::mouseReleaseEvent(QMouseEvent* event) {
  if (pressToggledCheck_ && event->button() == Qt::LeftButton) {
    pressToggledCheck_ = false;
    return;
  }
  QTreeView::mouseReleaseEvent(event);
}

void CListCtrlEx::mouseDoubleClickEvent(QMouseEvent* event) {
  pressToggledCheck_ = ToggleCheckAt(event);
  if (!pressToggledCheck_) QTreeView::mouseDoubleClickEvent(event);
}

void CListCtrlEx::UpdateHotItem(const QPoint& pos) {
  if ((base_.ExtendedStyle() & kExHotTracking) == 0) return;
  const QModelIndex index = indexAt(pos);
  const int item = index.isValid() ? index.row() : -1;
  // Only the first column's label and small image make an item hot.
  const bool onLabel = item >= 0 && header()->logicalIndexAt(pos.x()) == FirstCell() &&
                       (LabelRect(item).contains(pos) || IconRect(item).contains(pos));
  const bool selected = item >= 0 && selectionModel()->isRowSelected(item, QModelIndex());
  if (base_.UpdateHotItem(item, onLabel, selected)) viewport()->update();
  viewport()->setCursor(base_.HotItem() >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}
