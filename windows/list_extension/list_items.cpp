// The items of the list extension: texts, parameters, images and state
// images kept per internal column, the selected and focused states passed
// to the list, insertion in text order for the sorting styles, items kept
// by the owner, finding by parameter or text, sorting by user parameter and
// the texts a cell shows.
#include <algorithm>
#include <cctype>
#include <numeric>

#include "windows/list_extension/list_base.h"

namespace {

int FoldCase(char c) { return std::tolower(static_cast<unsigned char>(c)); }

// Compares two texts with ASCII letters folded to lower case.
int CompareNoCase(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const int d = FoldCase(a[i]) - FoldCase(b[i]);
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

ListItemDesc CListBase::CopyItem(const ListItemDesc& desc) {
  ListItemDesc copy = desc;
  if ((desc.mask & kItemImage) == 0) copy.image = 0;
  if ((desc.mask & kItemIndent) == 0) copy.indent = 0;
  if ((desc.mask & kItemParam) == 0) copy.param = 0;
  if ((desc.mask & kItemState) == 0) {
    copy.state = 0;
    copy.stateMask = 0;
  } else {
    copy.state = desc.state & desc.stateMask;
  }
  if ((desc.mask & kItemText) == 0) {
    copy.text.clear();
    copy.textCallback = false;
  }
  copy.subItem = 0;
  return copy;
}

const ListColumnArray* CListBase::ItemRecord(int item) const {
  if (OwnerData() || item < 0 || item >= ItemCount()) return nullptr;
  return items_[static_cast<size_t>(item)].get();
}

bool CListBase::SetStyle(std::uint32_t style) {
  if (((style ^ style_) & kStyleOwnerData) != 0 && ItemCount() > 0) return false;
  style_ = style;
  control_->ItemChanged(-1);
  return true;
}

bool CListBase::SetItemCount(int count) {
  if (!OwnerData() || count < 0) return false;
  ownerCount_ = count;
  if (hotItem_ >= count) hotItem_ = -1;
  control_->ItemCountChanged(count);
  return true;
}

// Where a sorting list puts an item of text `text`: after the items of
// the same text.
int CListBase::SortedPosition(const std::string& text) const {
  const int direction = (style_ & kStyleSortDescending) != 0 ? -1 : 1;
  for (int i = 0; i < ItemCount(); ++i) {
    if (direction * CompareNoCase(OnGetItemText(i, 0), text) > 0) return i;
  }
  return ItemCount();
}

int CListBase::OnInsertItem(const ListItemDesc& desc) {
  if (desc.item < 0 || OwnerData()) return -1;
  int index = std::min(desc.item, ItemCount());
  if ((style_ & (kStyleSortAscending | kStyleSortDescending)) != 0) {
    index = SortedPosition((desc.mask & kItemText) != 0 ? desc.text : std::string());
  }
  auto record = std::make_unique<ListColumnArray>();
  if ((desc.mask & kItemParam) != 0) record->userParam = desc.param;
  if ((desc.mask & kItemState) != 0) record->state = desc.state & desc.stateMask & kStateImageMask;
  auto entry = std::make_unique<ListItemDesc>(CopyItem(desc));
  entry->item = index;
  record->entries.push_back(std::move(entry));
  items_.insert(items_.begin() + index, std::move(record));
  if (hotItem_ >= index) ++hotItem_;
  control_->ItemInserted(index);
  if ((desc.mask & kItemState) != 0 && (desc.stateMask & kStateListMask) != 0) {
    control_->SetItemState(index, desc.state, desc.stateMask & kStateListMask);
  }
  return index;
}

bool CListBase::OnSetItem(const ListItemDesc& desc) {
  if (desc.subItem < 0 || desc.subItem >= ColumnCount() || desc.item < 0 ||
      desc.item >= ItemCount()) {
    return false;
  }
  // The owner of an owner-data list keeps everything but the list's states.
  if (OwnerData() && (desc.mask & ~kItemState) != 0) return false;
  if ((desc.mask & kItemState) != 0 && (desc.stateMask & kStateListMask) != 0) {
    control_->SetItemState(desc.item, desc.state, desc.stateMask & kStateListMask);
  }
  if (OwnerData()) return true;
  ListColumnArray& record = *items_[static_cast<size_t>(desc.item)];
  if ((desc.mask & kItemParam) != 0) record.userParam = desc.param;
  if ((desc.mask & kItemState) != 0) {
    const std::uint32_t bits = desc.stateMask & kStateImageMask;
    record.state = (record.state & ~bits) | (desc.state & bits);
  }
  const size_t column = static_cast<size_t>(desc.subItem);
  if (record.entries.size() <= column) record.entries.resize(column + 1);
  std::unique_ptr<ListItemDesc>& entry = record.entries[column];
  if (entry) {
    if ((desc.mask & kItemImage) != 0) entry->image = desc.image;
    if ((desc.mask & kItemIndent) != 0) entry->indent = desc.indent;
    if ((desc.mask & kItemText) != 0) {
      entry->text = desc.text;
      entry->textCallback = desc.textCallback;
    }
    entry->mask |= desc.mask;
  } else {
    entry = std::make_unique<ListItemDesc>(CopyItem(desc));
    entry->subItem = desc.subItem;
  }
  if (Column(desc.subItem)->visible || (desc.mask & kItemState) != 0)
    control_->ItemChanged(desc.item);
  return true;
}

bool CListBase::OnSetItemText(int item, int internal, const std::string& text) {
  ListItemDesc desc;
  desc.mask = kItemText;
  desc.item = item;
  desc.subItem = internal;
  desc.text = text;
  return OnSetItem(desc);
}

bool CListBase::OnGetItem(ListItemDesc& desc) const {
  if (desc.subItem < 0 || desc.subItem >= ColumnCount() || desc.item < 0 ||
      desc.item >= ItemCount()) {
    return false;
  }
  const ListColumnArray* record = ItemRecord(desc.item);
  const size_t column = static_cast<size_t>(desc.subItem);
  const ListItemDesc* entry = record != nullptr && column < record->entries.size()
                                  ? record->entries[column].get()
                                  : nullptr;
  if ((desc.mask & kItemParam) != 0) desc.param = record != nullptr ? record->userParam : 0;
  if ((desc.mask & kItemState) != 0) {
    // Selected and focused are what the list shows; the state image is ours.
    const std::uint32_t image = record != nullptr ? record->state & kStateImageMask : 0;
    desc.state = (image | (control_->GetItemState(desc.item) & kStateListMask)) & desc.stateMask;
  }
  if ((desc.mask & kItemImage) != 0) {
    desc.image = entry != nullptr && (entry->mask & kItemImage) != 0 ? entry->image : 0;
  }
  if ((desc.mask & kItemIndent) != 0) {
    desc.indent = entry != nullptr && (entry->mask & kItemIndent) != 0 ? entry->indent : 0;
  }
  if ((desc.mask & kItemText) != 0) {
    if (OwnerData()) {
      desc.text = CallbackText(desc.item, desc.subItem);
      desc.textCallback = false;
    } else {
      const bool hasText = entry != nullptr && (entry->mask & kItemText) != 0;
      desc.text = hasText ? entry->text : std::string();
      desc.textCallback = hasText && entry->textCallback;
    }
  }
  return true;
}

std::string CListBase::OnGetItemText(int item, int internal) const {
  ListItemDesc desc;
  desc.mask = kItemText;
  desc.item = item;
  desc.subItem = internal;
  return OnGetItem(desc) ? desc.text : std::string();
}

int CListBase::ItemImage(int item) const {
  ListItemDesc desc;
  desc.mask = kItemImage;
  desc.item = item;
  return ColumnCount() > 0 && OnGetItem(desc) ? desc.image : 0;
}

int CListBase::ItemStateImage(int item) const {
  const ListColumnArray* record = ItemRecord(item);
  return record != nullptr ? StateImageOf(record->state) : 0;
}

bool CListBase::SetCheck(int item, bool checked) {
  ListItemDesc desc;
  desc.mask = kItemState;
  desc.item = item;
  desc.state = StateImageBits(checked ? 2 : 1);
  desc.stateMask = kStateImageMask;
  return !OwnerData() && OnSetItem(desc);
}

bool CListBase::GetCheck(int item) const { return ItemStateImage(item) == 2; }

void CListBase::OnSetFocus() {
  const int first = control_->NextSelectedItem(-1);
  if (first >= 0) control_->SetItemState(first, kStateFocused, kStateFocused);
}

void CListBase::OnKillFocus() {
  const int first = control_->NextSelectedItem(-1);
  if (first >= 0) control_->SetItemState(first, 0, kStateFocused);
}

bool CListBase::OnDeleteItem(int item) {
  if (item < 0 || item >= ItemCount()) return false;
  if (OwnerData()) {
    --ownerCount_;
  } else {
    items_.erase(items_.begin() + item);
  }
  if (hotItem_ == item) hotItem_ = -1;
  if (hotItem_ > item) --hotItem_;
  control_->ItemRemoved(item);
  return true;
}

bool CListBase::OnDeleteAllItems() {
  if (OwnerData()) return SetItemCount(0);
  bool all = true;
  for (int item = ItemCount() - 1; item >= 0; --item) all = OnDeleteItem(item) && all;
  return all;
}

int CListBase::OnFindItem(int start, const ListFindInfo& find) const {
  const auto matches = [&](int item) {
    if ((find.flags & kFindParam) != 0) {
      const ListColumnArray* record = ItemRecord(item);
      return record != nullptr && record->userParam == find.param;
    }
    if ((find.flags & kFindPartial) != 0) return StartsWithNoCase(DisplayText(item, 0), find.text);
    if ((find.flags & kFindString) != 0) return CompareNoCase(DisplayText(item, 0), find.text) == 0;
    return false;
  };
  const int count = ItemCount();
  for (int i = std::max(start, -1) + 1; i < count; ++i) {
    if (matches(i)) return i;
  }
  if ((find.flags & kFindWrap) != 0 && start >= 0) {
    for (int i = 0; i <= std::min(start, count - 1); ++i) {
      if (matches(i)) return i;
    }
  }
  return -1;
}

bool CListBase::OnSortItems(const CompareFunc& compare, std::intptr_t param) {
  if (!compare || OwnerData()) return false;
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return compare(items_[static_cast<size_t>(a)]->userParam,
                   items_[static_cast<size_t>(b)]->userParam, param) < 0;
  });
  control_->ItemsAboutToMove();
  std::vector<int> newIndexOf(order.size());
  std::vector<std::unique_ptr<ListColumnArray>> sorted(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    const size_t old = static_cast<size_t>(order[k]);
    newIndexOf[old] = static_cast<int>(k);
    sorted[k] = std::move(items_[old]);
    for (auto& entry : sorted[k]->entries) {
      if (entry) entry->item = static_cast<int>(k);
    }
  }
  items_ = std::move(sorted);
  if (hotItem_ >= 0) hotItem_ = newIndexOf[static_cast<size_t>(hotItem_)];
  control_->ItemsMoved(newIndexOf);
  return true;
}

std::string CListBase::CallbackText(int item, int internal) const {
  // The guard keeps a parent that asks for the same text again from
  // recursing.
  if (!dispInfo_ || inDispInfo_) return std::string();
  inDispInfo_ = true;
  std::string text = dispInfo_(item, internal);
  inDispInfo_ = false;
  return text;
}

std::string CListBase::DisplayText(int item, int displayed) const {
  const int internal = InternalColumnOf(displayed);
  if (internal < 0 || item < 0 || item >= ItemCount()) return std::string();
  const ListColumnArray* record = ItemRecord(item);
  const size_t column = static_cast<size_t>(internal);
  const ListItemDesc* entry = record != nullptr && column < record->entries.size()
                                  ? record->entries[column].get()
                                  : nullptr;
  if (entry != nullptr && (entry->mask & kItemText) != 0 && !entry->textCallback)
    return entry->text;
  return CallbackText(item, internal);
}
