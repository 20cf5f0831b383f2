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
