// Where a window without a stored placement opens: its default place when
// that is free, else the nearest place on the work area where it covers no
// other window of the program.
#include "platform/default_place.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "tests/support/offscreen_app.h"

namespace {

// A 1024 x 768 work area with the main window (386 x 519) in its top-left
// corner, as on a first start under a window manager.
const QRect kArea(0, 0, 1024, 768);
const QRect kMain(0, 0, 386, 519);

TEST(FreePlaceNear, TakesTheNearestFreePlaceOnTheWorkArea) {
  const struct {
    const char* what;
    QPoint wanted;
    QSize size;
    std::vector<QRect> taken;
    QPoint expected;
  } cases[] = {
      {"free at its default place", {390, 244}, {197, 121}, {kMain}, {390, 244}},
      // The move list over the clock's title bar: it goes just above the
      // clock, not below it.
      {"above the window it would cover",
       {390, 244},
       {197, 121},
       {kMain, QRect(390, 343, 162, 121)},
       {390, 222}},
      // Without a window manager the two overlapped by one row.
      {"one row of overlap",
       {390, 244},
       {195, 100},
       {kMain, QRect(390, 343, 160, 100)},
       {390, 243}},
      {"below the window at its default place",
       {390, 0},
       {232, 111},
       {kMain, QRect(390, 0, 302, 201)},
       {390, 201}},
      {"right of a window that fills the column",
       {390, 0},
       {100, 100},
       {kMain, QRect(390, 0, 100, 768)},
       {490, 0}},
      // A default place partly off a small work area comes onto it.
      {"default partly off the work area", {390, 700}, {200, 100}, {kMain}, {390, 668}},
      {"no free place: its default place",
       {390, 0},
       {512, 439},
       {kMain, QRect(390, 222, 197, 121), QRect(600, 0, 200, 768)},
       {390, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FreePlaceNear(c.wanted, c.size, kArea, c.taken), c.expected) << c.what;
  }
}

// The frames of the five side windows under openbox at their default
// places, in the order the main window opens them at start: comments,
// clock, mini clock, game list, game information.
const std::vector<PlaceRequest> kFiveSideWindows = {
    {{390, 0}, {302, 206}},   {{390, 343}, {162, 126}}, {{390, 0}, {232, 112}},
    {{390, 244}, {197, 126}}, {{390, 0}, {512, 444}},
};
const PlaceRequest kClock = kFiveSideWindows[1];
const PlaceRequest kGameList = kFiveSideWindows[3];

// The top 48 pixels of a frame: its title bar, and the main window's menu
// bar.
QRect TopBand(const QRect& r) { return QRect(r.x(), r.y(), r.width(), std::min(r.height(), 48)); }

TEST(PlanPlaces, SideWindowsKeepClearOfTheMainWindowAndOfEachOther) {
  enum Expect {
    kClear,        // clear of the owner, of `taken` and of each other
    kTitlesShown,  // no window on the top band of one below it (no room to be clear)
  };
  const struct {
    const char* what;
    QRect area;
    QRect owner;
    std::vector<QRect> taken;
    std::vector<PlaceRequest> requests;
    Expect expect;
    std::vector<QPoint> places;  // when given, the places expected
  } cases[] = {
      {"the clock beside the frame the Spanish menu bar widens",
       kArea,
       QRect(0, 0, 397, 519),
       {},
       {kClock},
       kClear,
       {{397, 343}}},
      {"a panel on the left moves the frame",
       QRect(60, 0, 964, 768),
       QRect(60, 0, 386, 519),
       {},
       {kClock},
       kClear,
       {{446, 343}}},
      {"the big board's frame", kArea, QRect(0, 0, 562, 716), {}, {kClock, kGameList}, kClear, {}},
      {"a window opened beside a shown one",
       kArea,
       kMain,
       {QRect(390, 343, 162, 126)},
       {kGameList},
       kClear,
       {{390, 217}}},
      {"five at a first start, medium board", kArea, kMain, {}, kFiveSideWindows, kClear, {}},
      {"five at a first start, small board, Spanish",
       kArea,
       QRect(0, 0, 397, 435),
       {},
       kFiveSideWindows,
       kClear,
       {}},
      {"five at a first start, small board, French",
       kArea,
       QRect(0, 0, 348, 435),
       {},
       kFiveSideWindows,
       kClear,
       {}},
      {"five at a first start, big board",
       kArea,
       QRect(0, 0, 562, 716),
       {},
       kFiveSideWindows,
       kTitlesShown,
       {}},
      {"five on 800 x 600", QRect(0, 0, 800, 600), kMain, {}, kFiveSideWindows, kTitlesShown, {}},
      {"five on 800 x 600, small board",
       QRect(0, 0, 800, 600),
       QRect(0, 0, 348, 435),
       {},
       kFiveSideWindows,
       kTitlesShown,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<QPoint> places = PlanPlaces(c.requests, c.area, c.owner, c.taken);
    ASSERT_EQ(places.size(), c.requests.size());
    if (!c.places.empty()) EXPECT_EQ(places, c.places);
    std::vector<QRect> frames;
    for (size_t i = 0; i < places.size(); ++i) frames.emplace_back(places[i], c.requests[i].size);
    std::vector<QRect> others = c.taken;
    others.push_back(c.owner);
    for (size_t i = 0; i < frames.size(); ++i) {
      const QRect& f = frames[i];
      EXPECT_TRUE(c.area.contains(f)) << i;
      EXPECT_FALSE(f.intersects(TopBand(c.owner))) << i << " covers the menu bar";
      // The windows are shown in their order: each above those before it.
      for (size_t j = 0; j < i; ++j) {
        if (c.expect == kClear) {
          EXPECT_FALSE(f.intersects(frames[j])) << i << " over " << j;
        } else {
          EXPECT_FALSE(f.intersects(TopBand(frames[j]))) << i << " over the title of " << j;
        }
      }
      for (const QRect& o : others) {
        EXPECT_FALSE(c.expect == kClear ? f.intersects(o) : f.intersects(TopBand(o)))
            << i << " over a shown window";
      }
    }
  }
}

// Real windows: a second window opened at the default place of a shown one
// comes beside it, and a hidden window takes no room.
TEST(FreePlaceNear, WindowsOpenedAtOneDefaultPlaceDoNotOverlap) {
  testing_support::OffscreenApplication();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint place = area.topLeft() + QPoint(20, 10);
  QWidget first, second, hidden;
  for (QWidget* w : {&first, &second, &hidden}) w->resize(200, 120);
  hidden.move(place + QPoint(0, 200));
  ShowWindowAtDefaultPlace(&first, place);
  ShowWindowAtDefaultPlace(&second, place);
  EXPECT_EQ(first.frameGeometry().topLeft(), place);
  EXPECT_TRUE(second.isVisible());
  EXPECT_FALSE(second.frameGeometry().intersects(first.frameGeometry()));
  EXPECT_TRUE(area.contains(second.frameGeometry()));
  EXPECT_EQ(second.size(), QSize(200, 120));
  EXPECT_EQ(second.frameGeometry().topLeft(),
            QPoint(place.x(), first.frameGeometry().bottom() + 1));
}

}  // namespace
