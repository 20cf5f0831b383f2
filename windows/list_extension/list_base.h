// The state and the work of the list-control extension, kept free of any
// window toolkit: hideable columns numbered by the caller (internal columns)
// over the control's own numbering (displayed columns), the texts and user
// parameters of every item, the sort column with its direction, the column
// menu, the sort-column tint, hot tracking, the item states and the list
// styles (sorted insertion, items kept by the owner). The extension reaches the list
// it serves only through ListControl, so the same logic drives the Qt list
// (list_ctrl_ex.h) and any other implementation of that interface.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Column description: which fields count is told by the mask.
inline constexpr std::uint32_t kColumnFormat = 0x01;
inline constexpr std::uint32_t kColumnWidth = 0x02;
inline constexpr std::uint32_t kColumnText = 0x04;
inline constexpr std::uint32_t kColumnSubItem = 0x08;
inline constexpr std::uint32_t kColumnImage = 0x10;
inline constexpr std::uint32_t kColumnOrder = 0x20;

// Alignment in the two low bits of a column format.
inline constexpr int kFormatLeft = 0;
inline constexpr int kFormatRight = 1;
inline constexpr int kFormatCenter = 2;
inline constexpr int kFormatJustifyMask = 3;

// A column width that asks for the width of the column's widest cell.
inline constexpr int kColumnAutoSize = -1;

struct ListColumnDesc {
  std::uint32_t mask = 0;
  int format = 0;
  int width = 0;
  std::string text;
  int subItem = 0;
  int image = 0;
  int order = 0;
};

// Item description.
inline constexpr std::uint32_t kItemText = 0x01;
inline constexpr std::uint32_t kItemImage = 0x02;
inline constexpr std::uint32_t kItemParam = 0x04;
inline constexpr std::uint32_t kItemState = 0x08;
inline constexpr std::uint32_t kItemIndent = 0x10;

// Item state bits; the state image in bits 12..15 (with check boxes 1 is
// unchecked, 2 checked; 3..15 and, without check boxes, every image come
// from the state image list). Selected and focused are the list's own: the
// extension passes them through.
inline constexpr std::uint32_t kStateFocused = 0x0001;
inline constexpr std::uint32_t kStateSelected = 0x0002;
inline constexpr std::uint32_t kStateListMask = kStateFocused | kStateSelected;
inline constexpr std::uint32_t kStateImageMask = 0xF000;
constexpr std::uint32_t StateImageBits(int image) {
  return static_cast<std::uint32_t>(image) << 12;
}
constexpr int StateImageOf(std::uint32_t state) {
  return static_cast<int>((state & kStateImageMask) >> 12);
}

struct ListItemDesc {
  std::uint32_t mask = 0;
  int item = 0;
  int subItem = 0;
  std::uint32_t state = 0;
  std::uint32_t stateMask = 0;
  std::string text;
  bool textCallback = false;  // the text is asked of the parent when shown
  int image = 0;
  std::intptr_t param = 0;
  int indent = 0;
};

// A search for an item: by user parameter, or by the text of the item (the
// cell in displayed column 0), whole or as its beginning, case ignored for
// ASCII letters; with wrap the search goes on from the first item.
inline constexpr std::uint32_t kFindParam = 0x01;
inline constexpr std::uint32_t kFindString = 0x02;
inline constexpr std::uint32_t kFindPartial = 0x08;
inline constexpr std::uint32_t kFindWrap = 0x20;

struct ListFindInfo {
  std::uint32_t flags = 0;
  std::string text;
  std::intptr_t param = 0;
};

// List styles. Show-selection-always keeps the selection of an unfocused
// list visible. The sorting styles keep the items in the order of their
// texts: an inserted item takes its place by text, whatever index it asked
// for. With owner data the owner keeps the items: it gives their count and
// answers their texts through the text callback.
inline constexpr std::uint32_t kStyleShowSelAlways = 0x0008;
inline constexpr std::uint32_t kStyleSortAscending = 0x0010;
inline constexpr std::uint32_t kStyleSortDescending = 0x0020;
inline constexpr std::uint32_t kStyleOwnerData = 0x1000;

// Extended style bits the extension keeps and draws itself.
inline constexpr std::uint32_t kExCheckBoxes = 0x0004;
inline constexpr std::uint32_t kExFullRowSelect = 0x0020;
inline constexpr std::uint32_t kExOneClickActivate = 0x0040;
inline constexpr std::uint32_t kExTwoClickActivate = 0x0080;
inline constexpr std::uint32_t kExUnderlineHot = 0x0800;
inline constexpr std::uint32_t kExHotTracking =
    kExOneClickActivate | kExTwoClickActivate | kExUnderlineHot;

// Colours 0x00BBGGRR.
using ListColour = std::uint32_t;

// The tint of the sort column over `background`: a light background is
// darkened a little, any other lightened by a tenth per channel.
ListColour SortColumnTint(ListColour background);
// Colouring the sort column needs more than 256 colours.
constexpr bool SortColouringPossible(int bitsPerPixel) { return bitsPerPixel > 8; }

// The list the extension serves, addressed by displayed column. Items are
// the extension's own: the list is told of their changes and asks their
// texts back.
class ListControl {
 public:
  virtual ~ListControl() = default;
  // `desc.order`, under kColumnOrder, is the visual position among the
  // displayed columns.
  virtual bool InsertColumn(int displayed, const ListColumnDesc& desc) = 0;
  virtual bool DeleteColumn(int displayed) = 0;
  virtual bool SetColumn(int displayed, const ListColumnDesc& desc) = 0;
  virtual int GetColumnWidth(int displayed) const = 0;
  virtual bool SetColumnWidth(int displayed, int width) = 0;
  // Displayed column of every visual position, left to right.
  virtual std::vector<int> GetColumnOrderArray() const = 0;
  virtual bool SetColumnOrderArray(const std::vector<int>& displayed) = 0;
  // The header arrow on `displayed` (-1: none).
  virtual void ShowSortIndicator(int displayed, bool ascending) = 0;
  virtual void ItemInserted(int item) = 0;
  virtual void ItemRemoved(int item) = 0;
  // -1: every item (after a change of colours or styles).
  virtual void ItemChanged(int item) = 0;
  // A sort moves the items: `newIndexOf[old]` is where each went. What the
  // list ties to an item (selection, current item) follows it.
  virtual void ItemsAboutToMove() = 0;
  virtual void ItemsMoved(const std::vector<int>& newIndexOf) = 0;
  // The owner set the count of an owner-data list.
  virtual void ItemCountChanged(int count) = 0;
  // The list's own item states (kStateSelected, kStateFocused) under `mask`.
  virtual void SetItemState(int item, std::uint32_t state, std::uint32_t mask) = 0;
  virtual std::uint32_t GetItemState(int item) const = 0;
  // The first selected item after `after` (-1: from the first), -1 for none.
  virtual int NextSelectedItem(int after) const = 0;
  virtual int BitsPerPixel() const = 0;
};

struct ListColumnRecord {
  bool canHide = false;  // every column starts fixed
  bool visible = true;
  int savedWidth = 0;  // width while hidden
  int order = 0;       // position among all columns, hidden ones included
  ListColumnDesc desc;
};

// The extension's data of one item.
struct ListColumnArray {
  std::intptr_t userParam = 0;
  std::uint32_t state = 0;  // the state image bits
  // Indexed by internal column; null where nothing was stored.
  std::vector<std::unique_ptr<ListItemDesc>> entries;
};

// An entry of the column menu.
struct ListColumnMenuEntry {
  std::string text;
  int id = 0;  // the internal column
  bool checked = false;
  bool enabled = false;
};

// How the state of a row shows: selected in the highlight colour while the
// list has the focus, in the button face colour without focus (only with
// show-selection-always), and the focus rectangle on the focused item of a
// list that has the focus.
struct ListRowState {
  bool selectedWithFocus = false;
  bool shownSelected = false;
  bool focused = false;
};

// How a row is drawn under hot tracking.
struct ListRowLook {
  bool hotFont = false;       // underlined, in the hot colour
  bool hotSelection = false;  // the selection drawn in the hot colour
};

class CListBase {
 public:
  using CompareFunc = std::function<int(std::intptr_t, std::intptr_t, std::intptr_t)>;
  // Text of a callback entry (item, internal column), asked of the parent.
  using DispInfoFunc = std::function<std::string(int, int)>;

  explicit CListBase(ListControl* control, std::uint32_t style = 0)
      : control_(control), style_(style) {}
  CListBase(const CListBase&) = delete;
  CListBase& operator=(const CListBase&) = delete;

  static ListColumnDesc CopyColumn(const ListColumnDesc& desc);
  static ListItemDesc CopyItem(const ListItemDesc& desc);

  // Index spaces.
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  int VisibleColumnsBefore(int internal) const;
  int InternalColumnOf(int displayed) const;
  int VisibleOrderOf(int order) const;
  int LogicalOrderOf(int position) const;
  const ListColumnRecord* Column(int internal) const;

  // Columns (internal indexes).
  int OnInsertColumn(int internal, const ListColumnDesc& desc);
  bool OnDeleteColumn(int internal);
  bool OnGetColumn(int internal, ListColumnDesc& desc) const;
  bool OnSetColumn(int internal, const ListColumnDesc& desc);
  int OnGetColumnWidth(int internal) const;
  // A width of kColumnAutoSize fits the column to its widest cell.
  bool OnSetColumnWidth(int internal, int width);
  // Every visible column fitted to its widest cell.
  void AutoSizeColumns();
  std::vector<int> OnGetColumnOrderArray() const;
  bool OnSetColumnOrderArray(const std::vector<int>& internals);
  void ShowColumn(int internal, bool show);
  void SetCanHide(int internal, bool canHide);
  // The header's drag ended with `displayed` at visual position `position`.
  void OnEndDrag(int displayed, int position);

  // List style (kStyle... bits). Owner data cannot be switched while the
  // extension holds items.
  bool SetStyle(std::uint32_t style);
  std::uint32_t Style() const { return style_; }
  bool OwnerData() const { return (style_ & kStyleOwnerData) != 0; }
  // The item count of an owner-data list; refused for other lists.
  bool SetItemCount(int count);

  // Items.
  int ItemCount() const { return OwnerData() ? ownerCount_ : static_cast<int>(items_.size()); }
  int OnInsertItem(const ListItemDesc& desc);
  bool OnSetItem(const ListItemDesc& desc);
  bool OnSetItemText(int item, int internal, const std::string& text);
  bool OnGetItem(ListItemDesc& desc) const;
  std::string OnGetItemText(int item, int internal) const;
  bool SetCheck(int item, bool checked);
  bool GetCheck(int item) const;
  bool OnDeleteItem(int item);
  bool OnDeleteAllItems();
  // The first match after `start` (-1: from the first item), -1 for none.
  int OnFindItem(int start, const ListFindInfo& find) const;
  int OnFindItem(int start, std::intptr_t param, bool wrap) const {
    return OnFindItem(start, ListFindInfo{kFindParam | (wrap ? kFindWrap : 0), {}, param});
  }
  bool OnSortItems(const CompareFunc& compare, std::intptr_t param);
  // The text shown in a cell: the stored one, or the parent's for a
  // callback entry.
  std::string DisplayText(int item, int displayed) const;
  void SetDispInfoHandler(DispInfoFunc handler) { dispInfo_ = std::move(handler); }

  // Small image index of an item (its column-0 entry) and its state image.
  int ItemImage(int item) const;
  int ItemStateImage(int item) const;

  // Focus: the first selected item takes the focused state when the list
  // gets the focus and gives it up when the list loses it.
  void OnSetFocus();
  void OnKillFocus();

  // Sorting by a clicked header: the internal column, -1 for none.
  int OnColumnClick(int displayed);
  int SortColumn() const { return sortColumn_; }
  int SortInternal() const {
    return sortColumn_ == 0 ? -1 : (sortColumn_ > 0 ? sortColumn_ : -sortColumn_) - 1;
  }
  bool SortAscending() const { return sortColumn_ > 0; }
  // Displayed index of the sort column, -1 when none or hidden.
  int SortDisplayed() const;
  void ShowSortArrows();

  // The column menu and its commands (the id is the internal column).
  std::vector<ListColumnMenuEntry> ColumnMenu() const;
  void OnCommand(int id);

  // Flags the owner sets. With the first-column fix-up the check box, the
  // label and the selection of the first column follow the column that
  // stands first in the display order, wherever column 0 was dragged.
  bool columnMenu = false;
  bool firstColumnFixUp = false;
  void SetSortArrows(bool on);
  bool SortArrows() const { return sortArrows_; }
  // Colouring is refused (false) on a display of 8 bits or fewer.
  bool SetSortColouring(bool on);
  bool SortColouring() const { return colouring_; }
  void OnRecalcColors(ListColour background);
  ListColour Background() const { return background_; }
  ListColour Tint() const { return tint_; }
  // Background of a cell of displayed column `displayed`.
  ListColour CellBackground(int displayed) const;

  // Format of the column standing at displayed position 0, which the
  // first column's header and cells are aligned by.
  int FirstColumnFormat() const { return firstColumnFormat_; }

  // Extended style; a mask of 0 stands for all bits. Returns the old style.
  std::uint32_t OnSetExtendedStyle(std::uint32_t mask, std::uint32_t style);
  std::uint32_t ExtendedStyle() const { return exStyle_; }
  // Hot tracking: the item under the mouse, whether the point is on its
  // icon or label, and whether it is selected. True when the hot item changed.
  bool UpdateHotItem(int item, bool onIconOrLabel, bool selected);
  int HotItem() const { return hotItem_; }
  ListRowLook RowLook(int item, bool selectedWithFocus, bool shownSelected) const;
  // How an item of state `state` (kStateSelected, kStateFocused) shows.
  ListRowState RowState(std::uint32_t state, bool listHasFocus) const;

 private:
  ListColumnRecord* Record(int internal);
  // The extension's record of an item; null for owner data.
  const ListColumnArray* ItemRecord(int item) const;
  int SortedPosition(const std::string& text) const;
  std::string CallbackText(int item, int internal) const;
  void MoveOrder(int internal, int newOrder);
  void FollowFirstColumn();

  ListControl* control_;
  std::vector<std::unique_ptr<ListColumnRecord>> columns_;
  std::vector<std::unique_ptr<ListColumnArray>> items_;
  DispInfoFunc dispInfo_;
  mutable bool inDispInfo_ = false;
  bool sortArrows_ = false;
  bool colouring_ = false;
  ListColour background_ = 0xFFFFFF;
  ListColour tint_ = 0xF7F7F7;
  int sortColumn_ = 0;  // n > 0: column n - 1 ascending; n < 0: -n - 1 descending
  int firstColumnFormat_ = 0;
  std::uint32_t style_ = 0;
  std::uint32_t exStyle_ = 0;
  int hotItem_ = -1;
  int ownerCount_ = 0;
};
