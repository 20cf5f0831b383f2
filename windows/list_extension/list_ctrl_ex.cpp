#include "windows/list_extension/list_ctrl_ex.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/colour.h"
#include "windows/list_extension/list_delegate.h"
#include "windows/list_extension/list_model.h"

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTreeView(parent) {
  model_ = new CListExModel(
      base_, [this] { return FirstCell(); }, this);
  setModel(model_);
  setItemDelegate(new CListExDelegate(this));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(0);
  setUniformRowHeights(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(false);  // the owner sorts on columnClick
  viewport()->setMouseTracking(true);

  QHeaderView* head = header();
  head->setStretchLastSection(false);
  head->setSectionsClickable(true);
  head->setSectionsMovable(true);
  head->setFirstSectionMovable(true);
  head->setSortIndicatorShown(false);
  head->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(head, &QHeaderView::sectionClicked, this, &CListCtrlEx::OnHeaderClicked);
  connect(head, &QHeaderView::sectionMoved, this, &CListCtrlEx::OnSectionMoved);
  connect(head, &QHeaderView::customContextMenuRequested, this, &CListCtrlEx::OnHeaderContextMenu);
  // A resized column moves the tinted strip.
  connect(head, &QHeaderView::sectionResized, viewport(), qOverload<>(&QWidget::update));

  base_.OnRecalcColors(QRgbToColorRef(palette().color(QPalette::Base).rgb()));
}

CListCtrlEx::~CListCtrlEx() {
  // The model asks the extension for texts; let the view forget it first.
  setModel(nullptr);
}

void CListCtrlEx::SetBkColor(ListColour colour) {
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(colour));
  setPalette(pal);
  base_.OnRecalcColors(colour);
}

std::uint32_t CListCtrlEx::SetExtendedListViewStyle(std::uint32_t mask, std::uint32_t style) {
  const std::uint32_t old = base_.OnSetExtendedStyle(mask, style);
  setAllColumnsShowFocus((base_.ExtendedStyle() & kExFullRowSelect) != 0);
  if ((base_.ExtendedStyle() & kExHotTracking) == 0) viewport()->unsetCursor();
  return old;
}

ListColour CListCtrlEx::HotColour() const {
  return QRgbToColorRef(palette().color(QPalette::Link).rgb());
}

QMenu* CListCtrlEx::BuildColumnMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  for (const ListColumnMenuEntry& entry : base_.ColumnMenu()) {
    QAction* action = menu->addAction(QString::fromStdString(entry.text));
    action->setData(entry.id);
    action->setCheckable(true);
    action->setChecked(entry.checked);
    action->setEnabled(entry.enabled);
  }
  connect(menu, &QMenu::triggered, this,
          [this](QAction* action) { base_.OnCommand(action->data().toInt()); });
  return menu;
}

void CListCtrlEx::OnHeaderContextMenu(const QPoint& pos) {
  if (!base_.columnMenu) return;
  if (openMenu_) openMenu_->close();
  QMenu* menu = BuildColumnMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  openMenu_ = menu;
  menu->popup(header()->viewport()->mapToGlobal(pos));
}

void CListCtrlEx::OnHeaderClicked(int displayed) {
  const int internal = base_.OnColumnClick(displayed);
  if (internal >= 0) emit columnClick(internal);
  viewport()->update();
}

void CListCtrlEx::OnSectionMoved(int displayed, int, int newPosition) {
  if (!movingSections_) base_.OnEndDrag(displayed, newPosition);
  viewport()->update();
}

int CListCtrlEx::FirstCell() const {
  return base_.firstColumnFixUp && header()->count() > 0 ? header()->logicalIndex(0) : 0;
}

QRect CListCtrlEx::StateIconRect(int item) const {
  const QModelIndex index = model_->index(item, FirstCell());
  if (!index.isValid()) return QRect();
  QStyleOptionViewItem option;
  const_cast<CListCtrlEx*>(this)->initViewItemOption(&option);
  option.rect = visualRect(index);
  return static_cast<CListExDelegate*>(itemDelegate())->CheckRect(option, index);
}

QRect CListCtrlEx::LabelRect(int item) const {
  QRect label = visualRect(model_->index(item, FirstCell()));
  const QRect check = StateIconRect(item);
  if (!check.isEmpty()) label.setLeft(check.right() + 1);
  return label;
}

void CListCtrlEx::MoveSectionTo(int displayed, int position) {
  QHeaderView* head = header();
  position = std::clamp(position, 0, head->count() - 1);
  movingSections_ = true;
  head->moveSection(head->visualIndex(displayed), position);
  movingSections_ = false;
}

bool CListCtrlEx::InsertColumn(int displayed, const ListColumnDesc& desc) {
  if (displayed < 0 || displayed > model_->columnCount()) return false;
  model_->InsertColumn(displayed, desc.text, desc.format);
  if ((desc.mask & kColumnWidth) != 0) header()->resizeSection(displayed, desc.width);
  MoveSectionTo(displayed, (desc.mask & kColumnOrder) != 0 ? desc.order : displayed);
  return true;
}

bool CListCtrlEx::DeleteColumn(int displayed) {
  if (displayed < 0 || displayed >= model_->columnCount()) return false;
  model_->RemoveColumn(displayed);
  return true;
}

bool CListCtrlEx::SetColumn(int displayed, const ListColumnDesc& desc) {
  if (displayed < 0 || displayed >= model_->columnCount()) return false;
  model_->SetColumn(displayed, desc);
  if ((desc.mask & kColumnWidth) != 0) header()->resizeSection(displayed, desc.width);
  if ((desc.mask & kColumnOrder) != 0) MoveSectionTo(displayed, desc.order);
  return true;
}

int CListCtrlEx::GetColumnWidth(int displayed) const {
  if (displayed < 0 || displayed >= model_->columnCount()) return 0;
  return header()->sectionSize(displayed);
}

bool CListCtrlEx::SetColumnWidth(int displayed, int width) {
  if (displayed < 0 || displayed >= model_->columnCount() || width < 0) return false;
  header()->resizeSection(displayed, width);
  return true;
}

std::vector<int> CListCtrlEx::GetColumnOrderArray() const {
  std::vector<int> order;
  for (int position = 0; position < header()->count(); ++position) {
    order.push_back(header()->logicalIndex(position));
  }
  return order;
}

bool CListCtrlEx::SetColumnOrderArray(const std::vector<int>& displayed) {
  for (int d : displayed) {
    if (d < 0 || d >= model_->columnCount()) return false;
  }
  for (size_t k = 0; k < displayed.size(); ++k) MoveSectionTo(displayed[k], static_cast<int>(k));
  return true;
}

void CListCtrlEx::ShowSortIndicator(int displayed, bool ascending) {
  QHeaderView* head = header();
  if (displayed < 0) {
    head->setSortIndicatorShown(false);
    return;
  }
  head->setSortIndicator(displayed, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  head->setSortIndicatorShown(true);
}

void CListCtrlEx::ItemInserted(int item) { model_->RowInserted(item); }

void CListCtrlEx::ItemRemoved(int item) { model_->RowRemoved(item); }

void CListCtrlEx::ItemChanged(int item) {
  if (item < 0) {
    model_->RowsChanged(0, model_->rowCount() - 1);
  } else {
    model_->RowsChanged(item, item);
  }
  viewport()->update();
}

int CListCtrlEx::BitsPerPixel() const { return depth(); }

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

void CListCtrlEx::mouseMoveEvent(QMouseEvent* event) {
  QTreeView::mouseMoveEvent(event);
  UpdateHotItem(event->position().toPoint());
}

void CListCtrlEx::UpdateHotItem(const QPoint& pos) {
  if ((base_.ExtendedStyle() & kExHotTracking) == 0) return;
  const QModelIndex index = indexAt(pos);
  const int item = index.isValid() ? index.row() : -1;
  // Only the first column's label (and icon) makes an item hot.
  const bool onLabel = item >= 0 && header()->logicalIndexAt(pos.x()) == FirstCell() &&
                       LabelRect(item).contains(pos);
  const bool selected = item >= 0 && selectionModel()->isRowSelected(item, QModelIndex());
  if (base_.UpdateHotItem(item, onLabel, selected)) viewport()->update();
  viewport()->setCursor(base_.HotItem() >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}
