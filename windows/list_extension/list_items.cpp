// The items of the list extension (texts, parameters and check states kept
// per internal column, finding and sorting by user parameter, the texts a
// cell shows) and the rules of its drawing: the sort-column tint, the
// extended style and hot tracking.
#include <algorithm>

#include "windows/list_extension/list_base.h"

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

int CListBase::OnInsertItem(const ListItemDesc& desc) {
  if (desc.item < 0) return -1;
  const int index = std::min(desc.item, ItemCount());
  auto record = std::make_unique<ListColumnArray>();
  if ((desc.mask & kItemParam) != 0) record->userParam = desc.param;
  if ((desc.mask & kItemState) != 0) record->state = desc.state & desc.stateMask & kStateImageMask;
  auto entry = std::make_unique<ListItemDesc>(CopyItem(desc));
  entry->item = index;
  record->entries.push_back(std::move(entry));
  items_.insert(items_.begin() + index, std::move(record));
  if (hotItem_ >= index) ++hotItem_;
  control_->ItemInserted(index);
  return index;
}

bool CListBase::OnSetItem(const ListItemDesc& desc) {
  if (desc.subItem < 0 || desc.subItem >= ColumnCount() || desc.item < 0 ||
      desc.item >= ItemCount()) {
    return false;
  }
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
  const ListColumnArray& record = *items_[static_cast<size_t>(desc.item)];
  const size_t column = static_cast<size_t>(desc.subItem);
  const ListItemDesc* entry =
      column < record.entries.size() ? record.entries[column].get() : nullptr;
  if ((desc.mask & kItemParam) != 0) desc.param = record.userParam;
  if ((desc.mask & kItemState) != 0) desc.state = record.state & desc.stateMask;
  if ((desc.mask & kItemImage) != 0) {
    desc.image = entry != nullptr && (entry->mask & kItemImage) != 0 ? entry->image : 0;
  }
  if ((desc.mask & kItemIndent) != 0) {
    desc.indent = entry != nullptr && (entry->mask & kItemIndent) != 0 ? entry->indent : 0;
  }
  if ((desc.mask & kItemText) != 0) {
    const bool hasText = entry != nullptr && (entry->mask & kItemText) != 0;
    desc.text = hasText ? entry->text : std::string();
    desc.textCallback = hasText && entry->textCallback;
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

bool CListBase::SetCheck(int item, bool checked) {
  ListItemDesc desc;
  desc.mask = kItemState;
  desc.item = item;
  desc.state = StateImageBits(checked ? 2 : 1);
  desc.stateMask = kStateImageMask;
  return OnSetItem(desc);
}

bool CListBase::GetCheck(int item) const {
  if (item < 0 || item >= ItemCount()) return false;
  return (items_[static_cast<size_t>(item)]->state & kStateImageMask) == StateImageBits(2);
}

bool CListBase::OnDeleteItem(int item) {
  if (item < 0 || item >= ItemCount()) return false;
  items_.erase(items_.begin() + item);
  if (hotItem_ == item) hotItem_ = -1;
  if (hotItem_ > item) --hotItem_;
  control_->ItemRemoved(item);
  return true;
}

bool CListBase::OnDeleteAllItems() {
  bool all = true;
  for (int item = ItemCount() - 1; item >= 0; --item) all = OnDeleteItem(item) && all;
  return all;
}

int CListBase::OnFindItem(int start, std::intptr_t param, bool wrap) const {
  const int count = ItemCount();
  for (int i = std::max(start, -1) + 1; i < count; ++i) {
    if (items_[static_cast<size_t>(i)]->userParam == param) return i;
  }
  if (wrap && start >= 0) {
    for (int i = 0; i <= std::min(start, count - 1); ++i) {
      if (items_[static_cast<size_t>(i)]->userParam == param) return i;
    }
  }
  return -1;
}

bool CListBase::OnSortItems(const CompareFunc& compare, std::intptr_t param) {
  if (!compare) return false;
  std::stable_sort(
      items_.begin(), items_.end(),
      [&](const std::unique_ptr<ListColumnArray>& a, const std::unique_ptr<ListColumnArray>& b) {
        return compare(a->userParam, b->userParam, param) < 0;
      });
  for (int i = 0; i < ItemCount(); ++i) {
    for (auto& entry : items_[static_cast<size_t>(i)]->entries) {
      if (entry) entry->item = i;
    }
  }
  hotItem_ = -1;
  control_->ItemChanged(-1);
  return true;
}

std::string CListBase::DisplayText(int item, int displayed) {
  const int internal = InternalColumnOf(displayed);
  if (internal < 0 || item < 0 || item >= ItemCount()) return std::string();
  const ListColumnArray& record = *items_[static_cast<size_t>(item)];
  const size_t column = static_cast<size_t>(internal);
  const ListItemDesc* entry =
      column < record.entries.size() ? record.entries[column].get() : nullptr;
  if (entry != nullptr && (entry->mask & kItemText) != 0 && !entry->textCallback)
    return entry->text;
  // The parent answers; the guard keeps a parent that asks for the same
  // text again from recursing.
  if (!dispInfo_ || inDispInfo_) return std::string();
  inDispInfo_ = true;
  std::string text = dispInfo_(item, internal);
  inDispInfo_ = false;
  return text;
}

ListColour SortColumnTint(ListColour background) {
  const int channels[3] = {static_cast<int>(background & 0xFF),
                           static_cast<int>((background >> 8) & 0xFF),
                           static_cast<int>((background >> 16) & 0xFF)};
  const bool light = channels[0] > 0xF0 && channels[1] > 0xF0 && channels[2] > 0xF0;
  ListColour tint = 0;
  for (int i = 0; i < 3; ++i) {
    const int c = channels[i];
    const int tinted = light ? c - 8 : (c < 0xE8 ? c + c / 10 : 0xFF);
    tint |= static_cast<ListColour>(tinted) << (8 * i);
  }
  return tint;
}

bool CListBase::SetSortColouring(bool on) {
  colouring_ = on && SortColouringPossible(control_->BitsPerPixel());
  if (colouring_) tint_ = SortColumnTint(background_);
  control_->ItemChanged(-1);
  return colouring_ == on;
}

void CListBase::OnRecalcColors(ListColour background) {
  background_ = background & 0xFFFFFF;
  if (colouring_) {
    colouring_ = SortColouringPossible(control_->BitsPerPixel());
    tint_ = SortColumnTint(background_);
  }
  control_->ItemChanged(-1);
}

ListColour CListBase::CellBackground(int displayed) const {
  const int sort = SortDisplayed();
  return colouring_ && sort >= 0 && displayed == sort ? tint_ : background_;
}

std::uint32_t CListBase::OnSetExtendedStyle(std::uint32_t mask, std::uint32_t style) {
  const std::uint32_t bits = mask != 0 ? mask : ~0u;
  const std::uint32_t old = exStyle_;
  exStyle_ = (exStyle_ & ~bits) | (style & bits);
  if ((exStyle_ & kExHotTracking) == 0) hotItem_ = -1;
  control_->ItemChanged(-1);
  return old;
}

bool CListBase::UpdateHotItem(int item, bool onIconOrLabel, bool selected) {
  if ((exStyle_ & kExHotTracking) == 0) return false;
  const bool activates =
      (exStyle_ & kExOneClickActivate) != 0 || ((exStyle_ & kExTwoClickActivate) != 0 && selected);
  const int hot = item >= 0 && onIconOrLabel && activates ? item : -1;
  if (hot == hotItem_) return false;
  hotItem_ = hot;
  return true;
}

ListRowLook CListBase::RowLook(int item, bool selectedWithFocus, bool shownSelected) const {
  ListRowLook look;
  const bool hot = item >= 0 && item == hotItem_;
  look.hotFont =
      ((exStyle_ & kExTwoClickActivate) != 0 && (selectedWithFocus || shownSelected)) ||
      ((exStyle_ & kExOneClickActivate) != 0 && (exStyle_ & kExUnderlineHot) != 0 && hot);
  look.hotSelection = selectedWithFocus && hot;
  return look;
}
