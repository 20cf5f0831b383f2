#include "windows/list_extension/list_ctrl_ex.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

#include "platform/colour.h"
#include "windows/list_extension/list_delegate.h"
#include "windows/list_extension/list_model.h"

namespace {

// The header of the list: Qt's header draws an ascending sort as a
// downward arrow; the list shows ascending with the upward one.
class CListExHeader : public QHeaderView {
 public:
  explicit CListExHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (option->sortIndicator != QStyleOptionHeader::None) {
      option->sortIndicator = sortIndicatorOrder() == Qt::AscendingOrder
                                  ? QStyleOptionHeader::SortUp
                                  : QStyleOptionHeader::SortDown;
    }
  }
};

}  // namespace

CListCtrlEx::CListCtrlEx(QWidget* parent, std::uint32_t style)
    : QTreeView(parent), base_(this, style) {
  setHeader(new CListExHeader(this));
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
  setPalette(pal);  // the palette change recomputes the tint
}

std::uint32_t CListCtrlEx::SetExtendedListViewStyle(std::uint32_t mask, std::uint32_t style) {
  const std::uint32_t old = base_.OnSetExtendedStyle(mask, style);
  if ((base_.ExtendedStyle() & kExHotTracking) == 0) viewport()->unsetCursor();
  // The check boxes change the height of the rows.
  scheduleDelayedItemsLayout();
  return old;
}

std::shared_ptr<ListImageList> CListCtrlEx::SetImageList(std::shared_ptr<ListImageList> list,
                                                         ListImageKind kind) {
  std::shared_ptr<ListImageList> old = model_->SetImageList(kind, std::move(list));
  scheduleDelayedItemsLayout();
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

QRect CListCtrlEx::StateIconRect(int item) const { return FirstCellParts(item).state; }

QRect CListCtrlEx::IconRect(int item) const { return FirstCellParts(item).icon; }

QRect CListCtrlEx::LabelRect(int item) const { return FirstCellParts(item).label; }

ListFirstCellParts CListCtrlEx::FirstCellParts(int item) const {
  const QModelIndex index = model_->index(item, FirstCell());
  if (!index.isValid()) return {};
  return static_cast<CListExDelegate*>(itemDelegate())->FirstCellParts(visualRect(index));
}

QRect CListCtrlEx::FocusRect(int item) const {
  const QRect label = LabelRect(item);
  if (label.isNull()) return QRect();
  if ((base_.ExtendedStyle() & kExFullRowSelect) == 0) {
    return CListExDelegate::SelectionPart(
        label, QString::fromStdString(base_.DisplayText(item, FirstCell())), font(),
        model_->Format(FirstCell()));
  }
  // The row from the label on when the first cell stands first, else the
  // whole row.
  const QHeaderView* head = header();
  const int last = head->logicalIndex(head->count() - 1);
  QRect row(
      label.topLeft(),
      QPoint(head->sectionViewportPosition(last) + head->sectionSize(last) - 1, label.bottom()));
  if (head->visualIndex(FirstCell()) != 0)
    row.setLeft(head->sectionViewportPosition(head->logicalIndex(0)));
  return row;
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
  if (displayed < 0 || displayed >= model_->columnCount() || width < kColumnAutoSize) return false;
  header()->resizeSection(displayed, width == kColumnAutoSize ? ContentWidth(displayed) : width);
  return true;
}

// The width of a column's widest cell (of the rows Qt measures: those on
// view and a thousand more), without the header's text.
int CListCtrlEx::ContentWidth(int displayed) const {
  return std::max(sizeHintForColumn(displayed), header()->minimumSectionSize());
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

void CListCtrlEx::ItemsAboutToMove() { model_->RowsAboutToMove(); }

void CListCtrlEx::ItemsMoved(const std::vector<int>& newIndexOf) {
  model_->RowsMoved(newIndexOf);
  viewport()->update();
}

void CListCtrlEx::ItemCountChanged(int count) { model_->SetRowCount(count); }

// Selected is the view's row selection, focused its current item.
void CListCtrlEx::SetItemState(int item, std::uint32_t state, std::uint32_t mask) {
  const QModelIndex index = model_->index(item, 0);
  if (!index.isValid()) return;
  QItemSelectionModel* selection = selectionModel();
  if ((mask & kStateSelected) != 0) {
    selection->select(index, ((state & kStateSelected) != 0 ? QItemSelectionModel::Select
                                                            : QItemSelectionModel::Deselect) |
                                 QItemSelectionModel::Rows);
  }
  if ((mask & kStateFocused) != 0) {
    if ((state & kStateFocused) != 0) {
      selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    } else if (selection->currentIndex().row() == item) {
      selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
  }
  viewport()->update();
}

std::uint32_t CListCtrlEx::GetItemState(int item) const {
  const QItemSelectionModel* selection = selectionModel();
  std::uint32_t state = selection->isRowSelected(item, QModelIndex()) ? kStateSelected : 0;
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && current.row() == item) state |= kStateFocused;
  return state;
}

int CListCtrlEx::NextSelectedItem(int after) const {
  int next = -1;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    const int row = std::max(range.top(), after + 1);
    if (row <= range.bottom() && (next < 0 || row < next)) next = row;
  }
  return next;
}

int CListCtrlEx::BitsPerPixel() const { return depth(); }
