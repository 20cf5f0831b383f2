// The columns of the list extension: the two numberings, inserting,
// deleting, hiding and showing columns, their descriptions, widths and
// orders, the sort column and the column menu.
#include "windows/list_extension/list_base.h"

#include <algorithm>

ListColumnDesc CListBase::CopyColumn(const ListColumnDesc& desc) {
  ListColumnDesc copy = desc;
  if ((desc.mask & kColumnFormat) == 0) copy.format = 0;
  if ((desc.mask & kColumnWidth) == 0) copy.width = 0;
  if ((desc.mask & kColumnSubItem) == 0) copy.subItem = 0;
  if ((desc.mask & kColumnImage) == 0) copy.image = 0;
  if ((desc.mask & kColumnOrder) == 0) copy.order = 0;
  if ((desc.mask & kColumnText) == 0) copy.text.clear();
  return copy;
}

const ListColumnRecord* CListBase::Column(int internal) const {
  if (internal < 0 || internal >= ColumnCount()) return nullptr;
  return columns_[static_cast<size_t>(internal)].get();
}

ListColumnRecord* CListBase::Record(int internal) {
  return const_cast<ListColumnRecord*>(Column(internal));
}

int CListBase::VisibleColumnsBefore(int internal) const {
  const int end = std::min(internal, ColumnCount());
  int visible = 0;
  for (int i = 0; i < end; ++i) visible += columns_[static_cast<size_t>(i)]->visible ? 1 : 0;
  return visible;
}

int CListBase::InternalColumnOf(int displayed) const {
  if (displayed < 0) return -1;
  int seen = 0;
  for (int i = 0; i < ColumnCount(); ++i) {
    if (!columns_[static_cast<size_t>(i)]->visible) continue;
    if (seen++ == displayed) return i;
  }
  return -1;
}

int CListBase::VisibleOrderOf(int order) const {
  int below = 0;
  for (const auto& column : columns_) below += (column->visible && column->order < order) ? 1 : 0;
  return below;
}

int CListBase::LogicalOrderOf(int position) const {
  if (position < 0) return -1;
  std::vector<int> orders;
  for (const auto& column : columns_) {
    if (column->visible) orders.push_back(column->order);
  }
  if (position >= static_cast<int>(orders.size())) return -1;
  std::sort(orders.begin(), orders.end());
  return orders[static_cast<size_t>(position)];
}

// Moves a column to `newOrder` among the logical orders; the columns
// between shift by one so that the orders stay a permutation.
void CListBase::MoveOrder(int internal, int newOrder) {
  ListColumnRecord* moved = Record(internal);
  const int oldOrder = moved->order;
  for (auto& column : columns_) {
    if (newOrder < oldOrder && column->order >= newOrder && column->order < oldOrder)
      ++column->order;
    if (newOrder > oldOrder && column->order > oldOrder && column->order <= newOrder)
      --column->order;
  }
  moved->order = newOrder;
}

// The first column is drawn with the format of whichever column stands at
// displayed position 0.
void CListBase::FollowFirstColumn() {
  const ListColumnRecord* first = Column(InternalColumnOf(0));
  if (first != nullptr) firstColumnFormat_ = first->desc.format;
}

int CListBase::OnInsertColumn(int internal, const ListColumnDesc& desc) {
  if (internal < 0 || internal > ColumnCount()) return -1;
  ListColumnDesc copy = CopyColumn(desc);
  copy.mask &= ~kColumnSubItem;
  const int order =
      (copy.mask & kColumnOrder) != 0 ? std::clamp(desc.order, 0, ColumnCount()) : internal;
  // The control always learns the position, so that its display order and
  // the logical orders agree.
  ListColumnDesc shown = copy;
  shown.mask |= kColumnOrder;
  shown.order = VisibleOrderOf(order);
  if (!control_->InsertColumn(VisibleColumnsBefore(internal), shown)) return -1;

  for (auto& column : columns_) column->order += column->order >= order ? 1 : 0;
  auto record = std::make_unique<ListColumnRecord>();
  record->order = order;
  record->desc = copy;
  record->desc.mask |= kColumnWidth;
  record->desc.width = 0;
  record->desc.order = 0;
  columns_.insert(columns_.begin() + internal, std::move(record));
  // The items' texts and the sort column follow the columns they belong to.
  for (auto& item : items_) {
    if (static_cast<int>(item->entries.size()) > internal) {
      item->entries.insert(item->entries.begin() + internal, nullptr);
    }
  }
  if (SortInternal() >= internal) sortColumn_ += sortColumn_ > 0 ? 1 : -1;
  FollowFirstColumn();
  ShowSortArrows();
  return internal;
}

bool CListBase::OnDeleteColumn(int internal) {
  const ListColumnRecord* record = Column(internal);
  if (record == nullptr) return false;
  if (record->visible && !control_->DeleteColumn(VisibleColumnsBefore(internal))) return false;
  const int order = record->order;
  for (auto& column : columns_) column->order -= column->order > order ? 1 : 0;
  columns_.erase(columns_.begin() + internal);
  const int sort = SortInternal();
  if (sort == internal) {
    sortColumn_ = 0;
  } else if (sort > internal) {
    sortColumn_ += sortColumn_ > 0 ? -1 : 1;
  }
  for (auto& item : items_) {
    if (static_cast<int>(item->entries.size()) > internal) {
      item->entries.erase(item->entries.begin() + internal);
    }
  }
  FollowFirstColumn();
  ShowSortArrows();
  control_->ItemChanged(-1);
  return true;
}

bool CListBase::OnGetColumn(int internal, ListColumnDesc& desc) const {
  const ListColumnRecord* record = Column(internal);
  if (record == nullptr) return false;
  const ListColumnDesc& stored = record->desc;
  desc.format = (stored.mask & kColumnFormat) != 0 ? stored.format : 0;
  desc.image = (stored.mask & kColumnImage) != 0 ? stored.image : -1;
  desc.text = stored.text;
  desc.width = OnGetColumnWidth(internal);
  if (!record->visible) desc.width = record->savedWidth;
  desc.order = record->order;
  desc.subItem = internal;
  return true;
}

bool CListBase::OnSetColumn(int internal, const ListColumnDesc& desc) {
  ListColumnRecord* record = Record(internal);
  if (record == nullptr) return false;
  ListColumnDesc copy = CopyColumn(desc);
  copy.mask &= ~kColumnSubItem;
  const bool moves = (copy.mask & kColumnOrder) != 0;
  const int newOrder = moves ? std::clamp(desc.order, 0, ColumnCount() - 1) : record->order;
  if (moves) copy.order = VisibleOrderOf(newOrder);
  if (record->visible && !control_->SetColumn(VisibleColumnsBefore(internal), copy)) return false;
  if (!record->visible && (copy.mask & kColumnWidth) != 0) record->savedWidth = copy.width;
  ListColumnDesc& stored = record->desc;
  if ((copy.mask & kColumnFormat) != 0) stored.format = copy.format;
  if ((copy.mask & kColumnImage) != 0) stored.image = copy.image;
  if ((copy.mask & kColumnText) != 0) stored.text = copy.text;
  stored.mask |= copy.mask & (kColumnFormat | kColumnImage | kColumnText);
  if (moves) MoveOrder(internal, newOrder);
  FollowFirstColumn();
  return true;
}

int CListBase::OnGetColumnWidth(int internal) const {
  const ListColumnRecord* record = Column(internal);
  if (record == nullptr || !record->visible) return 0;
  return control_->GetColumnWidth(VisibleColumnsBefore(internal));
}

bool CListBase::OnSetColumnWidth(int internal, int width) {
  ListColumnRecord* record = Record(internal);
  if (record == nullptr || width < kColumnAutoSize) return false;
  if (!record->visible) {
    record->savedWidth = width;
    return true;
  }
  return control_->SetColumnWidth(VisibleColumnsBefore(internal), width);
}

void CListBase::AutoSizeColumns() {
  for (int i = 0; i < ColumnCount(); ++i) {
    if (columns_[static_cast<size_t>(i)]->visible) OnSetColumnWidth(i, kColumnAutoSize);
  }
}

std::vector<int> CListBase::OnGetColumnOrderArray() const {
  std::vector<int> internals(columns_.size(), -1);
  for (int i = 0; i < ColumnCount(); ++i) {
    internals[static_cast<size_t>(columns_[static_cast<size_t>(i)]->order)] = i;
  }
  return internals;
}

bool CListBase::OnSetColumnOrderArray(const std::vector<int>& internals) {
  const size_t count = std::min(internals.size(), columns_.size());
  std::vector<bool> seen(columns_.size(), false);
  std::vector<int> displayed;
  for (size_t k = 0; k < count; ++k) {
    const int internal = internals[k];
    // An index out of range or given twice would break the orders.
    if (internal < 0 || internal >= ColumnCount() || seen[static_cast<size_t>(internal)])
      return false;
    seen[static_cast<size_t>(internal)] = true;
    if (columns_[static_cast<size_t>(internal)]->visible) {
      displayed.push_back(VisibleColumnsBefore(internal));
    }
  }
  if (!control_->SetColumnOrderArray(displayed)) return false;
  for (size_t k = 0; k < count; ++k) MoveOrder(internals[k], static_cast<int>(k));
  return true;
}

void CListBase::SetCanHide(int internal, bool canHide) {
  if (ListColumnRecord* record = Record(internal)) record->canHide = canHide;
}

void CListBase::ShowColumn(int internal, bool show) {
  ListColumnRecord* record = Record(internal);
  if (record == nullptr || !record->canHide || record->visible == show) return;
  if (!show) {
    record->savedWidth = OnGetColumnWidth(internal);
    if (!control_->DeleteColumn(VisibleColumnsBefore(internal))) return;
    record->visible = false;
  } else {
    ListColumnDesc shown = record->desc;
    shown.mask |= kColumnOrder;
    shown.order = VisibleOrderOf(record->order);
    if (!control_->InsertColumn(VisibleColumnsBefore(internal), shown)) return;
    record->visible = true;
    OnSetColumnWidth(internal, record->savedWidth);
  }
  FollowFirstColumn();
  ShowSortArrows();
  control_->ItemChanged(-1);
}

void CListBase::OnEndDrag(int displayed, int position) {
  const int internal = InternalColumnOf(displayed);
  const int order = LogicalOrderOf(position);
  if (internal >= 0 && order >= 0) MoveOrder(internal, order);
}

int CListBase::SortDisplayed() const {
  const ListColumnRecord* record = Column(SortInternal());
  if (record == nullptr || !record->visible) return -1;
  return VisibleColumnsBefore(SortInternal());
}

void CListBase::ShowSortArrows() {
  const int displayed = sortArrows_ ? SortDisplayed() : -1;
  control_->ShowSortIndicator(displayed, SortAscending());
}

void CListBase::SetSortArrows(bool on) {
  sortArrows_ = on;
  ShowSortArrows();
}

int CListBase::OnColumnClick(int displayed) {
  const int internal = InternalColumnOf(displayed);
  if (internal < 0) return -1;
  sortColumn_ = SortInternal() == internal ? -sortColumn_ : internal + 1;
  ShowSortArrows();
  if (colouring_) control_->ItemChanged(-1);
  return internal;
}

std::vector<ListColumnMenuEntry> CListBase::ColumnMenu() const {
  std::vector<ListColumnMenuEntry> entries;
  for (int i = 0; i < ColumnCount(); ++i) {
    const ListColumnRecord& record = *columns_[static_cast<size_t>(i)];
    entries.push_back({record.desc.text, i, record.visible, record.canHide});
  }
  return entries;
}

void CListBase::OnCommand(int id) {
  if (const ListColumnRecord* record = Column(id)) ShowColumn(id, !record->visible);
}
