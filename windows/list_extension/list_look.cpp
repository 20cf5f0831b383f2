// The drawing rules of the list extension, kept free of the toolkit: the
// sort-column tint, the extended style, hot tracking and how the state of a
// row shows.
#include "windows/list_extension/list_base.h"

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

ListRowState CListBase::RowState(std::uint32_t state, bool listHasFocus) const {
  const bool selected = (state & kStateSelected) != 0;
  ListRowState row;
  row.selectedWithFocus = selected && listHasFocus;
  row.shownSelected = selected && !listHasFocus && (style_ & kStyleShowSelAlways) != 0;
  row.focused = (state & kStateFocused) != 0 && listHasFocus;
  return row;
}
