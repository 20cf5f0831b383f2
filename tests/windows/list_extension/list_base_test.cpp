// The list extension's core against a small list that records what it is
// told: the two column numberings, hiding and showing columns, the sort
// column under clicks, deletions and insertions, items kept per internal
// column, finding by parameter or text, sorting, the item states the list
// keeps, column widths fitted to their cells, images, the sorting and
// owner-data list styles, the column order and the drawing rules.
#include "windows/list_extension/list_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/windows/list_extension/item_descs.h"

namespace {

using namespace list_descs;

// Columns by displayed index and their visual order, as a list control
// keeps them.
class FakeList : public ListControl {
 public:
  struct Col {
    std::string text;
    int width = 0;
  };
  bool InsertColumn(int d, const ListColumnDesc& desc) override {
    if (d < 0 || d > static_cast<int>(cols.size())) return false;
    cols.insert(cols.begin() + d, Col{desc.text, (desc.mask & kColumnWidth) != 0 ? desc.width : 0});
    for (int& o : order) o += o >= d ? 1 : 0;
    const int pos = (desc.mask & kColumnOrder) != 0 ? desc.order : d;
    order.insert(order.begin() + std::clamp(pos, 0, static_cast<int>(order.size())), d);
    return true;
  }
  bool DeleteColumn(int d) override {
    if (d < 0 || d >= static_cast<int>(cols.size())) return false;
    cols.erase(cols.begin() + d);
    order.erase(std::find(order.begin(), order.end(), d));
    for (int& o : order) o -= o > d ? 1 : 0;
    return true;
  }
  bool SetColumn(int d, const ListColumnDesc& desc) override {
    if ((desc.mask & kColumnText) != 0) cols[static_cast<size_t>(d)].text = desc.text;
    return true;
  }
  int GetColumnWidth(int d) const override { return cols[static_cast<size_t>(d)].width; }
  bool SetColumnWidth(int d, int width) override {
    cols[static_cast<size_t>(d)].width = width;
    return true;
  }
  std::vector<int> GetColumnOrderArray() const override { return order; }
  bool SetColumnOrderArray(const std::vector<int>& first) override {
    std::vector<int> rest;
    for (int o : order) {
      if (std::find(first.begin(), first.end(), o) == first.end()) rest.push_back(o);
    }
    order = first;
    order.insert(order.end(), rest.begin(), rest.end());
    return true;
  }
  void ShowSortIndicator(int d, bool ascending) override {
    arrow = d;
    arrowUp = ascending;
  }
  void ItemInserted(int item) override { states.insert(states.begin() + item, 0u); }
  void ItemRemoved(int item) override { states.erase(states.begin() + item); }
  void ItemChanged(int) override {}
  void ItemsAboutToMove() override { movedFrom = states; }
  void ItemsMoved(const std::vector<int>& newIndexOf) override {
    moves = newIndexOf;
    for (size_t i = 0; i < newIndexOf.size(); ++i)
      states[static_cast<size_t>(newIndexOf[i])] = movedFrom[i];
  }
  void ItemCountChanged(int count) override { states.resize(static_cast<size_t>(count), 0u); }
  void SetItemState(int item, std::uint32_t state, std::uint32_t mask) override {
    std::uint32_t& s = states.at(static_cast<size_t>(item));
    s = (s & ~mask) | (state & mask);
  }
  std::uint32_t GetItemState(int item) const override {
    return states.at(static_cast<size_t>(item));
  }
  int NextSelectedItem(int after) const override {
    for (size_t i = static_cast<size_t>(after + 1); i < states.size(); ++i) {
      if ((states[i] & kStateSelected) != 0) return static_cast<int>(i);
    }
    return -1;
  }
  int BitsPerPixel() const override { return bits; }

  // Header texts left to right.
  std::string Visual() const {
    std::string texts;
    for (int d : order) texts += cols[static_cast<size_t>(d)].text;
    return texts;
  }

  std::vector<Col> cols;
  std::vector<int> order;
  int arrow = -1;
  bool arrowUp = true;
  int bits = 32;
  // The list's own state of every item, and the sort's moves.
  std::vector<std::uint32_t> states, movedFrom;
  std::vector<int> moves;
};

// A list of columns "A".."E" (widths 10, 20, ...), all hideable but A, and
// items 0..6 whose parameters are 10, 20, ... and whose texts are column
// letter plus item number.
class ListBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      ListColumnDesc desc;
      desc.mask = kColumnText | kColumnWidth | kColumnFormat;
      desc.text = std::string(1, static_cast<char>('A' + c));
      desc.width = 10 * (c + 1);
      desc.format = c == 0 ? kFormatRight : kFormatLeft;
      ASSERT_EQ(c, base.OnInsertColumn(c, desc));
      base.SetCanHide(c, c != 0);
    }
    for (int i = 0; i < 7; ++i) {
      ListItemDesc item;
      item.mask = kItemParam | kItemText;
      item.item = i;
      item.param = 10 * (i + 1);
      item.text = Text(0, i);
      ASSERT_EQ(i, base.OnInsertItem(item));
      for (int c = 1; c < 5; ++c) ASSERT_TRUE(base.OnSetItemText(i, c, Text(c, i)));
    }
  }
  static std::string Text(int column, int item) {
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(item);
  }
  // The texts of item `item` as the list shows them, left to right.
  std::string Row(int item) {
    std::string texts;
    for (int d : list.order) texts += base.DisplayText(item, d) + " ";
    return texts;
  }

  FakeList list;
  CListBase base{&list};
};

TEST_F(ListBaseTest, TranslatesIndexesBothWaysAroundHiddenColumns) {
  base.ShowColumn(1, false);
  base.ShowColumn(3, false);
  ASSERT_EQ("ACE", list.Visual());
  const int displayedOf[] = {0, 1, 1, 2, 2};  // internal 0..4 (1 and 3 hidden)
  for (int internal = 0; internal < 5; ++internal) {
    EXPECT_EQ(displayedOf[internal], base.VisibleColumnsBefore(internal)) << internal;
  }
  const int internalOf[] = {0, 2, 4, -1};  // displayed 0..3
  for (int displayed = 0; displayed < 4; ++displayed) {
    EXPECT_EQ(internalOf[displayed], base.InternalColumnOf(displayed)) << displayed;
  }
  EXPECT_EQ(-1, base.InternalColumnOf(-1));
  // Hidden columns are answered from what the extension stored.
  ListColumnDesc desc;
  ASSERT_TRUE(base.OnGetColumn(3, desc));
  EXPECT_EQ("D", desc.text);
  EXPECT_EQ(40, desc.width);
  EXPECT_EQ(3, desc.subItem);
  EXPECT_EQ(0, base.OnGetColumnWidth(3));
  EXPECT_EQ(30, base.OnGetColumnWidth(2));
  EXPECT_EQ("C2", base.DisplayText(2, 1));
  // Visible positions against logical orders after moving E to the front.
  ASSERT_TRUE(base.OnSetColumnOrderArray({4, 0, 1, 2, 3}));
  EXPECT_EQ("EAC", list.Visual());
  EXPECT_EQ(2, base.VisibleOrderOf(3));  // E(0) and A(1) stand before C(3)
  EXPECT_EQ(3, base.LogicalOrderOf(2));
  EXPECT_EQ(-1, base.LogicalOrderOf(3));
}

TEST_F(ListBaseTest, HidingThenShowingRestoresOrderWidthAndTexts) {
  struct Case {
    std::vector<int> order;  // column order set first (internal indexes)
    int column;              // hidden, then shown again
    std::string hidden;      // header while hidden
  };
  const Case cases[] = {
      {{0, 1, 2, 3, 4}, 2, "ABDE"},
      {{3, 0, 1, 2, 4}, 3, "ABCE"},  // comes back at display position 0
      {{4, 3, 2, 1, 0}, 1, "EDCA"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(base.OnSetColumnOrderArray(c.order));
    ASSERT_TRUE(base.OnSetColumnWidth(c.column, 77));
    const std::string header = list.Visual();
    const std::string row = Row(5);
    base.ShowColumn(c.column, false);
    EXPECT_EQ(c.hidden, list.Visual());
    EXPECT_FALSE(base.Column(c.column)->visible);
    ASSERT_TRUE(base.OnSetItemText(5, c.column, "new"));  // kept while hidden
    EXPECT_EQ("new", base.OnGetItemText(5, c.column));
    ASSERT_TRUE(base.OnSetItemText(5, c.column, Text(c.column, 5)));
    base.OnCommand(c.column);  // the column menu shows it again
    EXPECT_EQ(header, list.Visual());
    EXPECT_EQ(row, Row(5));
    EXPECT_EQ(77, base.OnGetColumnWidth(c.column));
    EXPECT_EQ(c.order, base.OnGetColumnOrderArray());
  }
}

TEST_F(ListBaseTest, FixedColumnsStayAndTheMenuShowsThem) {
  base.ShowColumn(0, false);
  base.OnCommand(0);
  base.OnCommand(99);  // no such column: nothing happens
  base.ShowColumn(4, false);
  EXPECT_EQ("ABCD", list.Visual());
  const std::vector<ListColumnMenuEntry> menu = base.ColumnMenu();
  ASSERT_EQ(5u, menu.size());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(std::string(1, static_cast<char>('A' + i)), menu[static_cast<size_t>(i)].text);
    EXPECT_EQ(i, menu[static_cast<size_t>(i)].id);
    EXPECT_EQ(i != 4, menu[static_cast<size_t>(i)].checked);
    EXPECT_EQ(i != 0, menu[static_cast<size_t>(i)].enabled);
  }
}

TEST_F(ListBaseTest, ClicksSetTheSortColumnAndItFollowsDeletionsAndInsertions) {
  base.SetSortArrows(true);
  base.ShowColumn(1, false);
  EXPECT_EQ(2, base.OnColumnClick(1));  // displayed 1 is internal 2
  EXPECT_EQ(3, base.SortColumn());
  EXPECT_EQ(1, list.arrow);
  EXPECT_TRUE(list.arrowUp);
  base.OnColumnClick(1);
  EXPECT_EQ(-3, base.SortColumn());
  EXPECT_FALSE(list.arrowUp);
  base.OnColumnClick(2);
  EXPECT_EQ(4, base.SortColumn());

  struct Case {
    int sort;    // sort column before, signed as stored
    bool del;    // delete, else insert
    int column;  // internal index
    int after;
  };
  const Case cases[] = {
      {3, true, 3, 3},   {-3, true, 3, -3}, {3, true, 2, 0},    {3, true, 0, 2},
      {-3, true, 1, -2}, {3, false, 2, 4},  {-3, false, 0, -4}, {3, false, 3, 3},
  };
  for (const Case& c : cases) {
    FakeList other;
    CListBase fresh{&other};
    for (int i = 0; i < 5; ++i) ASSERT_EQ(i, fresh.OnInsertColumn(i, ListColumnDesc{}));
    const int internal = (c.sort > 0 ? c.sort : -c.sort) - 1;
    fresh.OnColumnClick(internal);
    if (c.sort < 0) fresh.OnColumnClick(internal);
    ASSERT_EQ(c.sort, fresh.SortColumn());
    if (c.del) {
      ASSERT_TRUE(fresh.OnDeleteColumn(c.column));
    } else {
      ASSERT_EQ(c.column, fresh.OnInsertColumn(c.column, ListColumnDesc{}));
    }
    EXPECT_EQ(c.after, fresh.SortColumn())
        << c.sort << (c.del ? " delete " : " insert ") << c.column;
  }
}

TEST_F(ListBaseTest, ItemTextsFollowTheirColumns) {
  ListColumnDesc desc;
  desc.mask = kColumnText;
  desc.text = "X";
  ASSERT_EQ(1, base.OnInsertColumn(1, desc));
  EXPECT_EQ("AXBCDE", list.Visual());
  EXPECT_EQ("", base.OnGetItemText(3, 1));
  EXPECT_EQ("B3", base.OnGetItemText(3, 2));
  ASSERT_TRUE(base.OnDeleteColumn(2));
  EXPECT_EQ("C3", base.OnGetItemText(3, 2));
  EXPECT_EQ("A3  C3 D3 E3 ", Row(3));
  // A text left to the parent is asked of it, never twice at once.
  ListItemDesc item;
  item.mask = kItemText;
  item.item = 4;
  item.subItem = 3;
  item.textCallback = true;
  ASSERT_TRUE(base.OnSetItem(item));
  base.SetDispInfoHandler(
      [&](int i, int c) { return "p" + std::to_string(i) + base.DisplayText(i, c); });
  EXPECT_EQ("p4", base.DisplayText(4, 3));
  EXPECT_FALSE(base.OnSetItemText(7, 0, "x"));
  EXPECT_FALSE(base.OnSetItemText(0, 5, "x"));
}

TEST_F(ListBaseTest, FindsByParameterWithWrap) {
  struct Case {
    int start;
    std::intptr_t param;
    bool wrap;
    int found;
  };
  const Case cases[] = {
      {5, 30, true, 2},   {5, 30, false, -1}, {-1, 30, false, 2},
      {2, 30, false, -1}, {2, 30, true, 2},   {0, 70, false, 6},
      {6, 10, true, 0},   {20, 40, true, 3},  {1, 99, true, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.found, base.OnFindItem(c.start, c.param, c.wrap)) << c.start << " " << c.param;
  }
}

TEST_F(ListBaseTest, SortsOnUserParametersAndKeepsChecks) {
  ASSERT_TRUE(base.SetCheck(1, true));
  ASSERT_TRUE(base.OnSortItems([](std::intptr_t a, std::intptr_t b,
                                  std::intptr_t sign) { return static_cast<int>((a - b) * sign); },
                               -1));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Text(0, 6 - i), base.OnGetItemText(i, 0));
  EXPECT_TRUE(base.GetCheck(5));
  EXPECT_FALSE(base.GetCheck(1));
  EXPECT_EQ(5, base.OnFindItem(-1, 20, false));
  ASSERT_TRUE(base.OnDeleteItem(0));
  EXPECT_EQ(6, base.ItemCount());
  EXPECT_TRUE(base.OnDeleteAllItems());
  EXPECT_EQ(0, base.ItemCount());
}

TEST_F(ListBaseTest, ColumnOrderRefusesBadArraysAndMovesByDrag) {
  EXPECT_FALSE(base.OnSetColumnOrderArray({0, 1, 1, 2, 3}));
  EXPECT_FALSE(base.OnSetColumnOrderArray({0, -1, 2, 3, 4}));
  EXPECT_FALSE(base.OnSetColumnOrderArray({0, 5}));
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), base.OnGetColumnOrderArray());
  base.ShowColumn(2, false);
  base.OnEndDrag(3, 0);  // E dragged to the front
  EXPECT_EQ((std::vector<int>{4, 0, 1, 2, 3}), base.OnGetColumnOrderArray());
  ListColumnDesc desc;
  desc.mask = kColumnOrder;
  desc.order = 4;
  ASSERT_TRUE(base.OnSetColumn(4, desc));
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), base.OnGetColumnOrderArray());
  EXPECT_EQ(kFormatRight, base.FirstColumnFormat());
}

TEST(ListBaseColours, TintOfTheSortColumn) {
  struct Case {
    ListColour background, tint;
  };
  const Case cases[] = {
      {0xFFFFFF, 0xF7F7F7},  // white: RGB(247, 247, 247)
      {0xF0C864, 0xFFDC6E},  // RGB(100, 200, 240) gives RGB(110, 220, 255)
      {0x3C2814, 0x422C16},  // RGB(20, 40, 60) gives RGB(22, 44, 66)
      {0xF1F1F0, 0xFFFFFF},  // red not above 0xF0: every light channel to 0xFF
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.tint, SortColumnTint(c.background)) << std::hex << c.background;

  FakeList list;
  CListBase base{&list};
  for (int i = 0; i < 2; ++i) base.OnInsertColumn(i, ListColumnDesc{});
  base.OnColumnClick(1);
  list.bits = 8;
  EXPECT_FALSE(base.SetSortColouring(true));
  EXPECT_EQ(0xFFFFFFu, base.CellBackground(1));
  list.bits = 24;
  EXPECT_TRUE(base.SetSortColouring(true));
  base.OnRecalcColors(0xF0C864);
  EXPECT_EQ(0xFFDC6Eu, base.CellBackground(1));
  EXPECT_EQ(0xF0C864u, base.CellBackground(0));
  list.bits = 8;  // a colour change on a 256-colour display ends colouring
  base.OnRecalcColors(0xFFFFFF);
  EXPECT_FALSE(base.SortColouring());
}

TEST(ListBaseHotTracking, HotItemAndRowLook) {
  struct Case {
    std::uint32_t style;
    bool onLabel, selected;
    int hot;               // hot item after the mouse moved over item 3
    bool hotFont;          // row 3, not selected
    bool selectedHotFont;  // row 3 selected with focus
  };
  const Case cases[] = {
      {0, true, true, -1, false, false},
      {kExOneClickActivate, true, false, 3, false, false},
      {kExOneClickActivate | kExUnderlineHot, true, false, 3, true, true},
      {kExOneClickActivate | kExUnderlineHot, false, false, -1, false, false},
      {kExTwoClickActivate, true, false, -1, false, true},
      {kExTwoClickActivate, true, true, 3, false, true},
  };
  for (const Case& c : cases) {
    FakeList list;
    CListBase base{&list};
    base.OnSetExtendedStyle(0, c.style);
    EXPECT_EQ(c.hot >= 0, base.UpdateHotItem(3, c.onLabel, c.selected));
    EXPECT_EQ(c.hot, base.HotItem()) << c.style;
    EXPECT_EQ(c.hotFont, base.RowLook(3, false, false).hotFont) << c.style;
    EXPECT_EQ(c.selectedHotFont, base.RowLook(3, true, true).hotFont) << c.style;
    EXPECT_EQ(c.hot >= 0, base.RowLook(3, true, true).hotSelection) << c.style;
    EXPECT_FALSE(base.RowLook(2, false, false).hotFont);
  }
}

TEST_F(ListBaseTest, SortMovesTheListsStatesAndTheHotItem) {
  list.states[1] = kStateSelected | kStateFocused;
  base.OnSetExtendedStyle(0, kExOneClickActivate);
  ASSERT_TRUE(base.UpdateHotItem(2, true, false));
  ASSERT_TRUE(base.OnSortItems(
      [](std::intptr_t a, std::intptr_t b, std::intptr_t) { return static_cast<int>(b - a); }, 0));
  EXPECT_EQ((std::vector<int>{6, 5, 4, 3, 2, 1, 0}), list.moves);
  EXPECT_EQ(kStateSelected | kStateFocused, list.states[5]);
  EXPECT_EQ(0u, list.states[1]);
  EXPECT_EQ(4, base.HotItem());
  EXPECT_EQ("A1", base.OnGetItemText(5, 0));
}

TEST_F(ListBaseTest, SelectedAndFocusedGoToTheListAndComeBackFromIt) {
  base.ShowColumn(2, false);
  struct Case {
    int column;
    std::uint32_t state, mask;
    std::uint32_t list;  // the list's state of the item afterwards
    std::uint32_t got;   // read back with every bit asked
  };
  const Case cases[] = {
      {0, kStateSelected, kStateSelected, kStateSelected, kStateSelected},
      {2, kStateSelected | kStateFocused, kStateListMask, kStateListMask, kStateListMask},
      {1, StateImageBits(4) | kStateSelected, kStateImageMask, 0, StateImageBits(4)},
      {3, ~0u, kStateFocused | kStateImageMask, kStateFocused, kStateFocused | kStateImageMask},
  };
  for (int i = 0; i < 4; ++i) {
    const Case& c = cases[i];
    ListItemDesc set;
    set.mask = kItemState;
    set.item = i;
    set.subItem = c.column;
    set.state = c.state;
    set.stateMask = c.mask;
    ASSERT_TRUE(base.OnSetItem(set)) << i;
    EXPECT_EQ(c.list, list.states[static_cast<size_t>(i)]) << i;
    ListItemDesc get;
    get.mask = kItemState;
    get.item = i;
    get.subItem = c.column;
    get.stateMask = ~0u;
    ASSERT_TRUE(base.OnGetItem(get));
    EXPECT_EQ(c.got, get.state) << i;
  }
  // The list changes the selection itself; reading follows it.
  list.states[0] = 0;
  EXPECT_FALSE(base.OnSetItem(StateDesc(7, 0, kStateSelected, kStateSelected)));
  ListItemDesc get = StateDesc(0, 0, 0, ~0u);
  ASSERT_TRUE(base.OnGetItem(get));
  EXPECT_EQ(0u, get.state);
  ListItemDesc inserted = StateDesc(2, 0, kStateSelected, kStateSelected);
  inserted.mask |= kItemText;
  inserted.text = "new";
  ASSERT_EQ(2, base.OnInsertItem(inserted));
  EXPECT_EQ(kStateSelected, list.states[2]);
}

TEST_F(ListBaseTest, FocusGoesToTheFirstSelectedItem) {
  base.OnSetFocus();  // nothing selected: nothing changes
  EXPECT_EQ(std::vector<std::uint32_t>(7, 0u), list.states);
  list.states[2] = list.states[4] = kStateSelected;
  base.OnSetFocus();
  EXPECT_EQ(kStateSelected | kStateFocused, list.states[2]);
  EXPECT_EQ(kStateSelected, list.states[4]);
  base.OnKillFocus();
  EXPECT_EQ(kStateSelected, list.states[2]);
}

TEST_F(ListBaseTest, WidthMinusOneFitsAColumnAndTheKeyFitsEveryVisibleOne) {
  ASSERT_TRUE(base.OnSetColumnWidth(1, kColumnAutoSize));
  EXPECT_EQ(kColumnAutoSize, list.cols[1].width);
  EXPECT_FALSE(base.OnSetColumnWidth(1, -2));
  EXPECT_FALSE(base.OnSetColumnWidth(2, -2));
  base.ShowColumn(2, false);
  ASSERT_TRUE(base.OnSetColumnWidth(2, kColumnAutoSize));  // kept until shown
  base.ShowColumn(2, true);
  EXPECT_EQ(kColumnAutoSize, list.cols[2].width);
  ASSERT_TRUE(base.OnSetColumnWidth(2, 33));
  base.ShowColumn(3, false);
  base.AutoSizeColumns();
  ASSERT_EQ(4u, list.cols.size());
  for (const FakeList::Col& col : list.cols) EXPECT_EQ(kColumnAutoSize, col.width) << col.text;
  EXPECT_EQ(40, base.Column(3)->savedWidth);
}

TEST_F(ListBaseTest, FindsByTextWithTheSameWrap) {
  const char* const names[] = {"delta", "Alpha", "charlie", "bravo", "alphabet", "echo", "ALPHA"};
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(base.OnSetItemText(i, 0, names[i]));
  struct Case {
    int start;
    std::uint32_t flags;
    const char* text;
    int found;
  };
  const Case cases[] = {
      {-1, kFindString, "alpha", 1},
      {1, kFindString, "alpha", 6},
      {6, kFindString, "alpha", -1},
      {6, kFindString | kFindWrap, "alpha", 1},
      {3, kFindString | kFindWrap, "BRAVO", 3},
      {-1, kFindString, "alph", -1},
      {1, kFindPartial, "ALPH", 4},
      {4, kFindPartial | kFindWrap, "ch", 2},
      {-1, kFindPartial, "", 0},
      {-1, 0, "alpha", -1},
      {-1, kFindParam | kFindString, "alpha", 2},  // the parameter (30) decides
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.found, base.OnFindItem(c.start, ListFindInfo{c.flags, c.text, 30}))
        << c.start << " " << c.flags << " " << c.text;
  }
  // A text left to the parent is asked of it.
  ListItemDesc callback = TextDesc(5, "");
  callback.textCallback = true;
  ASSERT_TRUE(base.OnSetItem(callback));
  base.SetDispInfoHandler([](int item, int) { return "fox" + std::to_string(item); });
  EXPECT_EQ(5, base.OnFindItem(-1, ListFindInfo{kFindString, "Fox5", 0}));
}

TEST_F(ListBaseTest, SmallImagesAndStateImagesOfAnItem) {
  ListItemDesc desc;
  desc.mask = kItemImage;
  desc.item = 2;
  desc.image = 3;
  ASSERT_TRUE(base.OnSetItem(desc));
  desc.subItem = 1;  // only the first column's image is the item's
  desc.image = 5;
  desc.item = 4;
  ASSERT_TRUE(base.OnSetItem(desc));
  EXPECT_EQ(3, base.ItemImage(2));
  EXPECT_EQ(0, base.ItemImage(4));
  ASSERT_TRUE(base.OnSetItem(StateDesc(1, 0, StateImageBits(15), kStateImageMask)));
  EXPECT_EQ(15, base.ItemStateImage(1));
  EXPECT_FALSE(base.GetCheck(1));
  ASSERT_TRUE(base.SetCheck(1, false));
  EXPECT_EQ(1, base.ItemStateImage(1));
  EXPECT_EQ(0, base.ItemStateImage(0));
}

TEST(ListBaseStyles, SortingStylesInsertByText) {
  struct Case {
    std::uint32_t style;
    std::vector<int> indexes;  // returned for delta, Alpha, charlie, bravo, alpha
    std::string order;
  };
  const Case cases[] = {
      {0, {0, 0, 0, 0, 0}, "alpha bravo charlie Alpha delta "},
      {kStyleSortAscending, {0, 0, 1, 1, 1}, "Alpha alpha bravo charlie delta "},
      {kStyleSortDescending, {0, 1, 1, 2, 4}, "delta charlie bravo Alpha alpha "},
  };
  for (const Case& c : cases) {
    FakeList list;
    CListBase base{&list, c.style};
    ASSERT_EQ(0, base.OnInsertColumn(0, ListColumnDesc{}));
    std::vector<int> indexes;
    for (const char* text : {"delta", "Alpha", "charlie", "bravo", "alpha"}) {
      indexes.push_back(base.OnInsertItem(TextDesc(0, text)));
    }
    std::string order;
    for (int i = 0; i < base.ItemCount(); ++i) order += base.DisplayText(i, 0) + " ";
    EXPECT_EQ(c.indexes, indexes) << c.style;
    EXPECT_EQ(c.order, order) << c.style;
  }
}

TEST(ListBaseStyles, OwnerDataListsTakeTheirCountAndTextsFromTheOwner) {
  FakeList list;
  CListBase base{&list, kStyleOwnerData};
  for (int c = 0; c < 2; ++c) ASSERT_EQ(c, base.OnInsertColumn(c, ListColumnDesc{}));
  base.SetDispInfoHandler([](int item, int column) {
    return "r" + std::to_string(item) + "c" + std::to_string(column);
  });
  ASSERT_TRUE(base.SetItemCount(5));
  EXPECT_EQ(5, base.ItemCount());
  EXPECT_EQ(5u, list.states.size());
  EXPECT_EQ("r3c1", base.DisplayText(3, 1));
  EXPECT_EQ("r2c0", base.OnGetItemText(2, 0));
  EXPECT_EQ(4, base.OnFindItem(-1, ListFindInfo{kFindString, "R4C0", 0}));
  EXPECT_EQ(-1, base.OnFindItem(-1, 0, true));
  // The owner keeps the items: only the list's states can be set.
  EXPECT_EQ(-1, base.OnInsertItem(TextDesc(0, "x")));
  EXPECT_FALSE(base.OnSetItemText(1, 0, "x"));
  EXPECT_FALSE(base.SetCheck(1, true));
  EXPECT_TRUE(base.OnSetItem(StateDesc(1, 0, kStateSelected, kStateSelected)));
  EXPECT_EQ(kStateSelected, list.states[1]);
  EXPECT_FALSE(base.OnSortItems([](std::intptr_t, std::intptr_t, std::intptr_t) { return 0; }, 0));
  EXPECT_FALSE(base.SetStyle(0));
  ASSERT_TRUE(base.OnDeleteItem(4));
  EXPECT_EQ(4, base.ItemCount());
  ASSERT_TRUE(base.OnDeleteAllItems());
  EXPECT_EQ(0, base.ItemCount());
  EXPECT_TRUE(base.SetStyle(0));
  EXPECT_FALSE(base.SetItemCount(3));
}

}  // namespace
