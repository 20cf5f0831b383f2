// The list extension's drawing, offscreen: the direction of the sort arrow,
// the tint after a palette change, the focus rectangle, the selection of an
// unfocused list, and the small and state images before the first label.
// With VORELK_LIST_EXT_SHOT set the image test saves the list to that file.
#include <QPainter>

#include "tests/windows/list_extension/list_fixture.h"

namespace {

using namespace list_fixture;

class ListCtrlDrawTest : public ListCtrlExTest {
 protected:
  // Pixels on the top edge of a viewport rectangle in colour `rgb`.
  int TopEdgeCount(const QImage& image, const QRect& rect, QRgb rgb) {
    int count = 0;
    for (int x = rect.left(); x <= rect.right(); ++x) count += Pixel(image, {x, rect.top()}) == rgb;
    return count;
  }
};

// The arrow's pixels are where the header differs from itself without the
// arrow; an upward arrow is narrow at its top and wide at its bottom.
TEST_F(ListCtrlDrawTest, SortArrowPointsUpForAscendingAndDownForDescending) {
  QHeaderView* head = list.header();
  const QRect section(head->sectionViewportPosition(1), 0, head->sectionSize(1), head->height());
  const QImage plain = head->grab().toImage().copy(section);
  base().SetSortArrows(true);
  for (bool ascending : {true, false}) {
    Click(head->viewport(), HeaderCentre(1));
    ASSERT_EQ(ascending, base().SortAscending());
    const QImage arrow = head->grab().toImage().copy(section);
    std::vector<int> widths;  // differing pixels per row, top to bottom
    for (int y = 0; y < arrow.height(); ++y) {
      int differing = 0;
      for (int x = 0; x < arrow.width(); ++x) differing += arrow.pixel(x, y) != plain.pixel(x, y);
      if (differing > 0) widths.push_back(differing);
    }
    ASSERT_GE(widths.size(), 3u) << ascending;
    EXPECT_EQ(ascending, widths.front() < widths.back()) << ascending;
    EXPECT_EQ(!ascending, widths.front() > widths.back()) << ascending;
  }
}

TEST_F(ListCtrlDrawTest, APaletteChangeRetintsTheSortColumn) {
  ASSERT_TRUE(base().SetSortColouring(true));
  Click(list.header()->viewport(), HeaderCentre(1));
  QPalette palette = list.palette();
  palette.setColor(QPalette::Base, QColor(100, 200, 240));
  list.setPalette(palette);
  const QImage image = list.grab().toImage();
  EXPECT_EQ(Rgb(RGB(110, 220, 255)), Pixel(image, CellEdge(2, 1)));
  EXPECT_EQ(Rgb(RGB(100, 200, 240)), Pixel(image, CellEdge(2, 0)));
}

TEST_F(ListCtrlDrawTest, FocusRectangleWithAndWithoutFullRowSelection) {
  const QRgb text = list.palette().color(QPalette::Text).rgb() & 0xFFFFFF;
  const int charlie = QFontMetrics(list.font()).horizontalAdvance("charlie");
  QHeaderView* head = list.header();
  for (bool fullRow : {false, true}) {
    list.SetExtendedListViewStyle(kExFullRowSelect, fullRow ? kExFullRowSelect : 0);
    list.setFocus();
    ASSERT_TRUE(base().OnSetItem(StateDesc(2, 0, kStateFocused, kStateFocused)));
    const QRect rect = list.FocusRect(2);
    EXPECT_EQ(list.LabelRect(2).left(), rect.left());
    EXPECT_EQ(fullRow ? head->sectionViewportPosition(3) + head->sectionSize(3) - 1
                      : rect.left() + charlie + 7,
              rect.right());
    EXPECT_GE(TopEdgeCount(list.grab().toImage(), rect, text), rect.width() / 3) << fullRow;
    list.clearFocus();
    EXPECT_EQ(0, TopEdgeCount(list.grab().toImage(), rect, text)) << fullRow;
  }
}

TEST_F(ListCtrlDrawTest, AnUnfocusedSelectionShowsOnlyWhenTheStyleAsks) {
  list.SetExtendedListViewStyle(0, kExFullRowSelect);
  base().OnSetItem(StateDesc(1, 0, kStateSelected, kStateSelected));
  const QRgb button = list.palette().color(QPalette::Button).rgb() & 0xFFFFFF;
  const QRgb highlight = list.palette().color(QPalette::Highlight).rgb() & 0xFFFFFF;
  for (std::uint32_t style : {0u, kStyleShowSelAlways}) {
    ASSERT_TRUE(base().SetStyle(style));
    list.setFocus();
    EXPECT_EQ(highlight, Pixel(list.grab().toImage(), CellEdge(1, 2))) << style;
    list.clearFocus();
    EXPECT_EQ(style != 0 ? button : Rgb(0xFFFFFF), Pixel(list.grab().toImage(), CellEdge(1, 2)))
        << style;
  }
}

QPixmap Strip(QSize size, const std::vector<QColor>& colours) {
  QPixmap strip(size.width() * static_cast<int>(colours.size()), size.height());
  QPainter painter(&strip);
  for (size_t i = 0; i < colours.size(); ++i)
    painter.fillRect(QRect(QPoint(size.width() * static_cast<int>(i), 0), size), colours[i]);
  return strip;
}

TEST_F(ListCtrlDrawTest, SmallImagesAndStateImagesStandBeforeTheLabel) {
  const std::vector<QColor> smallColours = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
  std::vector<QColor> stateColours;
  for (int i = 0; i < 15; ++i) stateColours.push_back(QColor::fromHsv(i * 24, 255, 160));
  auto small = std::make_shared<ListImageList>(QSize(16, 16));
  ASSERT_EQ(0, small->Add(Strip({16, 16}, smallColours)));
  auto state = std::make_shared<ListImageList>(QSize(12, 12));
  ASSERT_EQ(0, state->Add(Strip({12, 12}, stateColours)));
  ASSERT_EQ(15, state->ImageCount());
  // The owner hands the lists over and gets back the ones they replace.
  EXPECT_EQ(nullptr, list.SetImageList(small, ListImageKind::Small));
  EXPECT_EQ(nullptr, list.SetImageList(state, ListImageKind::State));
  EXPECT_EQ(small, list.SetImageList(small, ListImageKind::Small));
  list.SetExtendedListViewStyle(0, kExCheckBoxes);

  const int images[] = {0, 2, 3, 1};        // small image of each item
  const int stateImages[] = {2, 5, 15, 0};  // 2: checked box, 0: unchecked box
  for (int i = 0; i < 4; ++i) {
    ListItemDesc desc = StateDesc(i, 0, StateImageBits(stateImages[i]), kStateImageMask);
    desc.mask |= kItemImage;
    desc.image = images[i];
    ASSERT_TRUE(base().OnSetItem(desc));
  }
  QCoreApplication::processEvents();
  const QImage image = list.grab().toImage();
  EXPECT_GE(list.visualRect(list.Model()->index(0, 0)).height(), 18);
  EXPECT_EQ(Rgb(0xFFFFFF), Pixel(image, list.IconRect(0).center()));  // image 0 draws nothing
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(smallColours[static_cast<size_t>(images[i])].rgb() & 0xFFFFFF,
              Pixel(image, list.IconRect(i).center()))
        << i;
  }
  for (int i : {1, 2}) {
    EXPECT_EQ(stateColours[static_cast<size_t>(stateImages[i] - 1)].rgb() & 0xFFFFFF,
              Pixel(image, list.StateIconRect(i).topLeft() + QPoint(5, 5)))
        << i;
  }
  EXPECT_TRUE(list.StateIconRect(1).right() < list.IconRect(1).left());
  EXPECT_TRUE(list.IconRect(1).right() < list.LabelRect(1).left());
  EXPECT_TRUE(list.Model()->index(1, 0).data(Qt::DecorationRole).value<QPixmap>().toImage() ==
              small->Image(2).toImage());
  EXPECT_FALSE(list.Model()->index(0, 0).data(Qt::DecorationRole).isValid());
  EXPECT_FALSE(list.Model()->index(1, 0).data(Qt::CheckStateRole).isValid());
  EXPECT_EQ(Qt::Checked, list.Model()->index(0, 0).data(Qt::CheckStateRole).toInt());

  if (const QByteArray shot = qgetenv("VORELK_LIST_EXT_SHOT"); !shot.isEmpty()) {
    base().OnSetItemText(3, 3, "Größe · 象棋 · 對局");
    base().OnSetColumnWidth(3, kColumnAutoSize);
    base().SetSortArrows(true);
    base().SetSortColouring(true);
    Click(list.header()->viewport(), HeaderCentre(1));
    list.setFocus();
    base().OnSetItem(StateDesc(1, 0, kStateSelected, kStateSelected));
    base().OnSetItem(StateDesc(2, 0, kStateFocused, kStateFocused));
    list.grab().save(QString::fromLocal8Bit(shot));
  }
}

}  // namespace
