// The list extension as a Qt widget, offscreen: the header's column menu,
// sorting by a clicked header with the sort indicator (the selection, the
// current and the hot item following their items), the tinted sort column,
// hot tracking, full-row selection and check boxes, the item states, fitted
// column widths and the list styles, proven on the widget's pixels.
#include <QMenu>
#include <QtMath>

#include "tests/windows/list_extension/list_fixture.h"

namespace {

using namespace list_fixture;

TEST_F(ListCtrlExTest, ColumnMenuListsEveryColumnAndToggles) {
  base().ShowColumn(2, false);
  QMenu* menu = list.BuildColumnMenu(&list);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(4, actions.size());
  const char* const titles[] = {"Name", "Rank", "Score", "Notes"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(titles[i], actions[i]->text().toStdString());
    EXPECT_EQ(i, actions[i]->data().toInt());
    EXPECT_EQ(i != 2, actions[i]->isChecked()) << i;
    EXPECT_EQ(i != 0, actions[i]->isEnabled()) << i;
  }
  actions[1]->trigger();  // hides Rank
  ASSERT_EQ(2, list.Model()->columnCount());
  EXPECT_EQ("Notes",
            list.Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
  actions[2]->trigger();  // Score comes back, with its texts
  ASSERT_EQ(3, list.Model()->columnCount());
  EXPECT_EQ("Score",
            list.Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
  EXPECT_EQ("400", list.Model()->index(0, 1).data().toString().toStdString());
  EXPECT_EQ(90, list.header()->sectionSize(1));
  delete menu;
}

TEST_F(ListCtrlExTest, RightClickOnTheHeaderOpensTheMenuOnlyWhenAllowed) {
  QWidget* header = list.header()->viewport();
  RightClick(header, HeaderCentre(1));
  EXPECT_EQ(nullptr, list.OpenColumnMenu());
  base().columnMenu = true;
  RightClick(header, HeaderCentre(1));
  QMenu* menu = list.OpenColumnMenu();
  ASSERT_NE(nullptr, menu);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(4, menu->actions().size());
  menu->actions()[3]->trigger();
  EXPECT_FALSE(base().Column(3)->visible);
  menu->close();
}

TEST_F(ListCtrlExTest, HeaderClicksSortTheRowsAndShowTheArrow) {
  SortOnClick();
  base().SetSortArrows(true);
  QHeaderView* head = list.header();
  const QRect section(head->sectionViewportPosition(0), 0, head->sectionSize(0), head->height());
  const QImage plain = head->grab().toImage().copy(section);

  Click(head->viewport(), HeaderCentre(0));
  EXPECT_EQ((std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}), Column0());
  EXPECT_EQ(1, base().SortColumn());
  EXPECT_TRUE(head->isSortIndicatorShown());
  EXPECT_EQ(0, head->sortIndicatorSection());
  EXPECT_EQ(Qt::AscendingOrder, head->sortIndicatorOrder());
  const QImage up = head->grab().toImage().copy(section);
  EXPECT_NE(plain, up);

  Click(head->viewport(), HeaderCentre(0));
  EXPECT_EQ((std::vector<std::string>{"delta", "charlie", "bravo", "alpha"}), Column0());
  EXPECT_EQ(Qt::DescendingOrder, head->sortIndicatorOrder());
  EXPECT_NE(up, head->grab().toImage().copy(section));

  Click(head->viewport(), HeaderCentre(2));  // another column: ascending on it
  EXPECT_EQ(3, base().SortColumn());
  EXPECT_EQ(2, head->sortIndicatorSection());
  EXPECT_EQ((std::vector<std::string>{"delta", "alpha", "charlie", "bravo"}), Column0());
  base().SetSortArrows(false);
  EXPECT_FALSE(head->isSortIndicatorShown());
}

TEST_F(ListCtrlExTest, SortColumnIsTintedDownToTheBottom) {
  ASSERT_TRUE(base().SetSortColouring(true));
  Click(list.header()->viewport(), HeaderCentre(1));
  const QImage image = list.grab().toImage();
  const QRgb tint = Rgb(0xF7F7F7);  // over the white background
  const QRect last = list.visualRect(list.Model()->index(3, 1));
  ASSERT_LT(last.bottom() + 20, list.viewport()->height());
  EXPECT_EQ(tint, Pixel(image, CellEdge(0, 1)));
  EXPECT_EQ(tint, Pixel(image, {last.center().x(), last.bottom() + 20}));
  EXPECT_EQ(Rgb(0xFFFFFF), Pixel(image, CellEdge(0, 2)));
  EXPECT_EQ(Rgb(0xFFFFFF), Pixel(image, {CellEdge(0, 2).x(), last.bottom() + 20}));

  list.SetBkColor(RGB(100, 200, 240));
  const QImage coloured = list.grab().toImage();
  EXPECT_EQ(Rgb(RGB(110, 220, 255)), Pixel(coloured, CellEdge(2, 1)));
  EXPECT_EQ(Rgb(RGB(100, 200, 240)), Pixel(coloured, CellEdge(2, 0)));
}

TEST_F(ListCtrlExTest, HotTrackingUnderlinesTheRowInTheHotColour) {
  list.SetExtendedListViewStyle(0, kExOneClickActivate | kExUnderlineHot);
  const QRgb hot = Rgb(list.HotColour());
  const QRect row1 = list.visualRect(list.Model()->index(1, 0));
  const QRect row2 = list.visualRect(list.Model()->index(2, 0));
  EXPECT_EQ(0, LongestRun(list.grab().toImage(), row1, hot));

  MoveMouse(list.viewport(), row1.center());
  EXPECT_EQ(1, base().HotItem());
  EXPECT_EQ(Qt::PointingHandCursor, list.viewport()->cursor().shape());
  const QImage image = list.grab().toImage();
  // The underline runs under the text in the hot colour.
  const int textWidth = QFontMetrics(list.font()).horizontalAdvance("alpha");
  EXPECT_GE(LongestRun(image, row1, hot), textWidth - 2);
  EXPECT_EQ(0, LongestRun(image, row2, hot));

  MoveMouse(list.viewport(), CellEdge(2, 2));  // not on a label
  EXPECT_EQ(-1, base().HotItem());
  EXPECT_EQ(Qt::ArrowCursor, list.viewport()->cursor().shape());
  EXPECT_EQ(0, LongestRun(list.grab().toImage(), row1, hot));
}

TEST_F(ListCtrlExTest, FullRowSelectionAndCheckBoxes) {
  list.SetExtendedListViewStyle(0, kExCheckBoxes);
  list.selectionModel()->select(list.Model()->index(1, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const QRgb selection = (list.hasFocus() ? list.palette().color(QPalette::Highlight)
                                          : list.palette().color(QPalette::Button))
                             .rgb() &
                         0xFFFFFF;
  EXPECT_EQ(Rgb(0xFFFFFF), Pixel(list.grab().toImage(), CellEdge(1, 2)));
  list.SetExtendedListViewStyle(kExFullRowSelect, kExFullRowSelect);
  EXPECT_EQ(selection, Pixel(list.grab().toImage(), CellEdge(1, 2)));
  EXPECT_EQ(kExCheckBoxes | kExFullRowSelect, list.GetExtendedListViewStyle());

  const QRect box = list.StateIconRect(2);
  ASSERT_FALSE(box.isEmpty());
  EXPECT_FALSE(base().GetCheck(2));
  Click(list.viewport(), box.center());
  EXPECT_TRUE(base().GetCheck(2));
  Click(list.viewport(), box.center());
  EXPECT_FALSE(base().GetCheck(2));
  Click(list.viewport(), CellEdge(2, 0));  // on the label: no toggle
  EXPECT_FALSE(base().GetCheck(2));

  if (const QByteArray shot = qgetenv("VORELK_LIST_EXT_SHOT"); !shot.isEmpty()) {
    base().SetCheck(0, true);
    base().SetSortArrows(true);
    base().SetSortColouring(true);
    base().OnColumnClick(1);
    list.grab().save(QString::fromLocal8Bit(shot));
  }
}

TEST_F(ListCtrlExTest, DraggedHeadersKeepTheirPlaceAndTheFixUpFollowsThem) {
  list.SetExtendedListViewStyle(0, kExCheckBoxes);
  QHeaderView* head = list.header();
  head->moveSection(2, 0);  // the user drags Score to the front
  EXPECT_EQ((std::vector<int>{2, 0, 1, 3}), base().OnGetColumnOrderArray());
  base().ShowColumn(2, false);
  base().ShowColumn(2, true);
  EXPECT_EQ(2, head->logicalIndex(0));
  // Check boxes stay in column 0 unless the fix-up moves them to the front.
  EXPECT_TRUE(list.Model()->index(1, 0).data(Qt::CheckStateRole).isValid());
  base().firstColumnFixUp = true;
  EXPECT_FALSE(list.Model()->index(1, 0).data(Qt::CheckStateRole).isValid());
  EXPECT_TRUE(list.Model()->index(1, 2).data(Qt::CheckStateRole).isValid());
  const QRect box = list.StateIconRect(1);
  EXPECT_TRUE(list.visualRect(list.Model()->index(1, 2)).contains(box));
  Click(list.viewport(), box.center());
  EXPECT_TRUE(base().GetCheck(1));
}

TEST_F(ListCtrlExTest, FirstColumnFormatAlignsTheFirstColumn) {
  ListColumnDesc desc;
  desc.mask = kColumnText | kColumnFormat | kColumnWidth;
  desc.text = "Id";
  desc.format = kFormatRight;
  desc.width = 40;
  ASSERT_EQ(0, base().OnInsertColumn(0, desc));
  const auto alignment = [&](int displayed) {
    return list.Model()->headerData(displayed, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
           Qt::AlignHorizontal_Mask;
  };
  EXPECT_EQ(Qt::AlignRight, alignment(0));
  EXPECT_EQ(Qt::AlignLeft, alignment(1));
  EXPECT_EQ("delta", list.Model()->index(0, 1).data().toString().toStdString());
  EXPECT_EQ(Qt::AlignRight, list.Model()->index(0, 0).data(Qt::TextAlignmentRole).toInt() &
                                Qt::AlignHorizontal_Mask);
}

TEST_F(ListCtrlExTest, SortingKeepsSelectionCurrentAndHotItemOnTheirItems) {
  SortOnClick();
  list.SetExtendedListViewStyle(0, kExOneClickActivate);
  Click(list.viewport(), CellEdge(1, 2));                  // selects "alpha"
  MoveMouse(list.viewport(), list.LabelRect(3).center());  // "bravo" is hot
  ASSERT_EQ(3, base().HotItem());
  Click(list.header()->viewport(), HeaderCentre(0));
  ASSERT_EQ((std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}), Column0());
  const QModelIndexList selected = list.selectionModel()->selectedRows();
  ASSERT_EQ(1, selected.size());
  EXPECT_EQ(0, selected[0].row());
  EXPECT_EQ(0, list.currentIndex().row());
  EXPECT_EQ(1, base().HotItem());
}

TEST_F(ListCtrlExTest, APressSelectsAndMakesTheItemHotAtOnce) {
  list.SetExtendedListViewStyle(0, kExTwoClickActivate);
  const QPoint label = list.LabelRect(2).center();
  MoveMouse(list.viewport(), label);
  EXPECT_EQ(-1, base().HotItem());  // hot only once selected
  PressAndRelease(list.viewport(), label, Qt::LeftButton);
  EXPECT_EQ(2, base().HotItem());
  EXPECT_EQ(Qt::PointingHandCursor, list.viewport()->cursor().shape());
}

TEST_F(ListCtrlExTest, SelectedAndFocusedStatesAreTheViews) {
  const auto state = [&](int item) {
    ListItemDesc desc = StateDesc(item, 1, 0, ~0u);
    EXPECT_TRUE(base().OnGetItem(desc));
    return desc.state;
  };
  ASSERT_TRUE(base().OnSetItem(StateDesc(2, 1, kStateListMask, kStateListMask)));
  EXPECT_TRUE(list.selectionModel()->isRowSelected(2, QModelIndex()));
  EXPECT_EQ(2, list.currentIndex().row());
  EXPECT_EQ(kStateListMask, state(2));
  Click(list.viewport(), CellEdge(3, 2));  // the user selects another item
  EXPECT_EQ(kStateListMask, state(3));
  EXPECT_EQ(0u, state(2));
  ASSERT_TRUE(base().OnSetItem(StateDesc(3, 0, 0, kStateSelected)));
  EXPECT_FALSE(list.selectionModel()->isRowSelected(3, QModelIndex()));
  EXPECT_EQ(kStateFocused, state(3));
}

TEST_F(ListCtrlExTest, FocusGoesToTheFirstSelectedItemAndLeavesWithTheFocus) {
  list.setFocus();
  ASSERT_TRUE(list.hasFocus());
  for (int item : {3, 1}) base().OnSetItem(StateDesc(item, 0, kStateSelected, kStateSelected));
  list.selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  list.clearFocus();
  list.setFocus();
  EXPECT_EQ(1, list.currentIndex().row());
  list.clearFocus();
  EXPECT_FALSE(list.currentIndex().isValid());
  EXPECT_EQ(2, list.selectionModel()->selectedRows().size());
}

TEST_F(ListCtrlExTest, ColumnsFitTheirWidestCell) {
  const std::string note = "a note much wider than the column it stands in";
  ASSERT_TRUE(base().OnSetItemText(2, 3, note));
  const auto width = [&](const std::string& text) {
    return qCeil(QFontMetricsF(list.font()).horizontalAdvance(QString::fromStdString(text)));
  };
  const int noteWidth = width(note);
  ASSERT_TRUE(base().OnSetColumnWidth(3, kColumnAutoSize));
  EXPECT_EQ(noteWidth + 12, list.header()->sectionSize(3));
  EXPECT_EQ(90, list.header()->sectionSize(1));
  base().ShowColumn(2, false);
  // Ctrl with the keypad's plus: every visible column; the plain plus key
  // is left to the view.
  SendKey(&list, Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(90, list.header()->sectionSize(1));
  SendKey(&list, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(std::max(width("4") + 12, list.header()->minimumSectionSize()),
            list.header()->sectionSize(1));
  EXPECT_EQ(noteWidth + 12, list.header()->sectionSize(2));  // Notes, now displayed 2
  EXPECT_EQ(list.LabelRect(0).left() - list.visualRect(list.Model()->index(0, 0)).left() +
                width("charlie") + 8,
            list.header()->sectionSize(0));
  EXPECT_EQ(90, base().Column(2)->savedWidth);
}

TEST(ListCtrlExStyles, SortingAndOwnerDataLists) {
  testing_support::OffscreenApplication();
  struct Case {
    std::uint32_t style;
    std::vector<std::string> shown;  // column 0 after inserting the names
  };
  const Case cases[] = {
      {kStyleSortDescending, {"delta", "charlie", "bravo", "alpha"}},
      {kStyleOwnerData, {"row 0", "row 1", "row 2", "row 3"}},
  };
  for (const Case& c : cases) {
    CListCtrlEx list(nullptr, c.style);
    CListBase& base = list.Base();
    ASSERT_EQ(0, base.OnInsertColumn(0, ListColumnDesc{kColumnText, 0, 0, "Name"}));
    base.SetDispInfoHandler([](int item, int) { return "row " + std::to_string(item); });
    for (int i = 0; i < 4; ++i) base.OnInsertItem(TextDesc(i, kNames[i]));
    if (c.style == kStyleOwnerData) {
      EXPECT_EQ(0, list.Model()->rowCount());
      ASSERT_TRUE(base.SetItemCount(4));
    }
    std::vector<std::string> shown;
    for (int row = 0; row < list.Model()->rowCount(); ++row)
      shown.push_back(list.Model()->index(row, 0).data().toString().toStdString());
    EXPECT_EQ(c.shown, shown) << c.style;
  }
  // An owner-data list keeps its selection while its count grows.
  CListCtrlEx list(nullptr, kStyleOwnerData);
  list.Base().OnInsertColumn(0, ListColumnDesc{});
  ASSERT_TRUE(list.Base().SetItemCount(1000));
  list.Base().OnSetItem(StateDesc(700, 0, kStateSelected, kStateSelected));
  ASSERT_TRUE(list.Base().SetItemCount(5000));
  EXPECT_EQ(5000, list.Model()->rowCount());
  EXPECT_TRUE(list.selectionModel()->isRowSelected(700, QModelIndex()));
  ASSERT_TRUE(list.Base().SetItemCount(10));
  EXPECT_TRUE(list.selectionModel()->selectedRows().isEmpty());
}

}  // namespace
