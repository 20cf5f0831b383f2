// The digital clock: the segments of every digit in every slot of both rows,
// read back from the face's pixels at the segment centres, with the board
// turned either way and drawn either straight or through the frame's back
// buffer; hours too many for the cell; the minimum size; the pop-up
// commands; closing (pointer cleared, placement kept under "Clock").
#include "windows/digital_clock_wnd.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <string>

#include "game/game_clock.h"
#include "platform/device_context.h"
#include "platform/placement.h"
#include "platform/text_codec.h"
#include "platform/settings_store.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/clock_set_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/side_windows.h"

#include "tests/support/offscreen_app.h"

namespace {

// A face of 622 x 360 pixels: two pixels per design unit both ways.
constexpr int kW = 622, kH = 360;
constexpr COLORREF kGround = RGB(200, 180, 150);

// Lit segments of each digit, in the order top, upper left, upper right,
// lower left, lower right, bottom, middle.
constexpr const char* kLit[10] = {"1111110", "0010100", "1011011", "1010111", "0110101",
                                  "1100111", "1101111", "1010100", "1111111", "1110111"};
// Segment centres in pixels from the cell origin, same order.
constexpr int kCentre[7][2] = {{40, 9}, {7, 34}, {73, 34}, {7, 97}, {73, 97}, {40, 125}, {40, 64}};
constexpr int kSlotLeft[6] = {13, 58, 115, 160, 215, 260};

QPoint CellOrigin(int row, int slot) {
  return {kW * kSlotLeft[slot] / 311, row == 0 ? kH * 19 / 180 : kH * 103 / 180};
}

// The segments read from the face as a string like kLit ("?" for a centre
// that is neither ink nor ground).
std::string Shown(const QImage& face, int row, int slot) {
  std::string lit;
  for (const auto& c : kCentre) {
    const COLORREF p = QRgbToColorRef(face.pixel(CellOrigin(row, slot) + QPoint(c[0], c[1])));
    lit += p == kClockInkColour ? '1' : p == kGround ? '0' : '?';
  }
  return lit;
}

std::string Expected(int digit) { return digit <= 9 ? kLit[digit] : "0000000"; }

QImage backBuffer;
// Target of the face: the frame's back buffer, none, or one too small.
enum Target { kDirect, kBackBuffer, kSmallBackBuffer };
void UseTarget(Target target) {
  backBuffer = target == kDirect ? QImage()
               : QImage(target == kBackBuffer ? 1280 : 300, 800, QImage::Format_RGB32);
  clockFrameLinks.backBuffer = [] { return backBuffer.isNull() ? nullptr : &backBuffer; };
}

class DigitalClockWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    ASSERT_TRUE(config_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    clockFrameLinks = ClockFrameLinks{};
    clockFrameLinks.boardColour = [] { return kGround; };
    gameClock.SetMode(kClockCountUp);
    gameClock.Reset();
  }
  void TearDown() override {
    if (digitalClockWnd != nullptr) Close(digitalClockWnd);
    clockFrameLinks = ClockFrameLinks{};
    currentLanguage = kLanguageEnglish;
    gameClock.paused = 0;
  }
  static CDigitalClockWnd* Open(int w = kW, int h = kH) {
    CDigitalClockWnd::CreateClock(nullptr);
    if (digitalClockWnd == nullptr) return nullptr;
    digitalClockWnd->resize(w, h);
    QCoreApplication::processEvents();
    return digitalClockWnd;
  }
  static bool Close(CDigitalClockWnd* window) {
    return testing_support::CloseAsCloseBox(window);
  }
  QTemporaryDir config_;
};

TEST_F(DigitalClockWndTest, ShowsEveryDigitInEverySlotInBothTurnings) {
  CDigitalClockWnd* clock = Open();
  ASSERT_NE(clock, nullptr);
  ASSERT_EQ(clock->Surface().size(), QSize(kW, kH));
  for (Target target : {kDirect, kBackBuffer, kSmallBackBuffer}) {
    UseTarget(target);
    for (int flipped : {0, 1}) {
      for (int d = 0; d <= 9; ++d) {
        const int e = 9 - d;
        const int red[3] = {11 * d, (d % 6) * 10 + d, (e % 6) * 10 + d};
        const int black[3] = {11 * e, (e % 6) * 10 + e, (d % 6) * 10 + e};
        gameClock.SetSideTimeHms(0, red[0], red[1], red[2]);
        gameClock.SetSideTimeHms(1, black[0], black[1], black[2]);
        clock->Refresh(1, flipped);
        for (int row = 0; row < 2; ++row) {
          const int* t = (row == 0) == (flipped == 0) ? black : red;
          const int digits[6] = {t[0] / 10, t[0] % 10, t[1] / 10, t[1] % 10, t[2] / 10, t[2] % 10};
          for (int slot = 0; slot < 6; ++slot) {
            EXPECT_EQ(Shown(clock->Surface(), row, slot), Expected(digits[slot]))
                << "target " << target << " flipped " << flipped << " row " << row << " slot "
                << slot << " digit " << digits[slot];
          }
        }
      }
    }
  }
  // The frame and the separator dots (centre of the top row's first colon).
  EXPECT_EQ(QRgbToColorRef(clock->Surface().pixel(0, kH / 2)), RGB(0, 0, 0));
  EXPECT_EQ(QRgbToColorRef(clock->Surface().pixel(kW * 103 / 311 + kW * 7 / 622,
                                                  kH * 35 / 160 + kH * 7 / 320)),
            kClockInkColour);
}

// From 100 hours on, the first slot's value is above 9: its cell is left
// empty, with no ink in it from this face or an earlier one.
TEST_F(DigitalClockWndTest, HoursTooManyForTheCellLeaveItEmpty) {
  CDigitalClockWnd* clock = Open();
  ASSERT_NE(clock, nullptr);
  for (Target target : {kDirect, kBackBuffer}) {
    UseTarget(target);
    for (uint32_t ms : {123u * 3600000u + 45u * 60000u + 6000u, 0xFFFFFFFFu}) {
      gameClock.SetSideTimeHms(0, 88, 0, 0);  // ink everywhere in the cell first
      clock->Refresh(1, 0);
      gameClock.SetSideTimeMs(0, ms);
      clock->Refresh(1, 0);
      const QImage& face = clock->Surface();
      const int hours = static_cast<int>(ms / 3600000u);
      const QPoint cell = CellOrigin(1, 0);  // red is the bottom row
      int ink = 0;
      for (int y = cell.y(); y <= cell.y() + 132; ++y) {
        for (int x = cell.x(); x <= cell.x() + 80; ++x) {
          ink += QRgbToColorRef(face.pixel(x, y)) == kClockInkColour ? 1 : 0;
        }
      }
      EXPECT_EQ(ink, 0) << "target " << target << " ms " << ms;
      EXPECT_EQ(Shown(face, 1, 1), Expected(hours % 10)) << ms;
      EXPECT_EQ(Shown(face, 0, 0), Expected(0));  // black's row is untouched
    }
  }
}

TEST_F(DigitalClockWndTest, MinimumSizeTitleAndPlacement) {
  CDigitalClockWnd* clock = Open(kW, kH);
  ASSERT_NE(clock, nullptr);
  CDigitalClockWnd::CreateClock(nullptr);  // once only
  EXPECT_EQ(digitalClockWnd, clock);
  EXPECT_EQ(clock->pos(), QPoint(390, 343));
  EXPECT_EQ(clock->windowTitle(), "Clock");
  currentLanguage = kLanguageFrench;
  clock->SetTitle();
  EXPECT_EQ(clock->windowTitle(), "Horloge");

  clock->resize(100, 60);
  QCoreApplication::processEvents();
  EXPECT_EQ(clock->size(), QSize(160, 100));
  EXPECT_EQ(QSize(clock->ClientWidth(), clock->ClientHeight()), QSize(160, 100));
  EXPECT_EQ(clock->Surface().size(), QSize(160, 100));

  clock->move(123, 77);
  clock->resize(300, 200);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Close(clock));
  EXPECT_EQ(digitalClockWnd, nullptr);
  CSettingsStore store(kSettingsNoRoot);
  std::string stored;
  ASSERT_TRUE(OpenProgramSettings(store));
  store.GetString(stored, "Windows placement", "Clock", "");
  EXPECT_TRUE(ParseWindowPlacement(stored.c_str()).has_value()) << stored;
  CDigitalClockWnd::CreateClock(nullptr);
  ASSERT_NE(digitalClockWnd, nullptr);
  EXPECT_EQ(QRect(digitalClockWnd->pos(), digitalClockWnd->size()), QRect(123, 77, 300, 200));

  // An owner that goes away takes the window and the pointer with it.
  Close(digitalClockWnd);
  auto* owner = new QWidget;
  CDigitalClockWnd::CreateClock(owner);
  ASSERT_NE(digitalClockWnd, nullptr);
  delete owner;
  EXPECT_EQ(digitalClockWnd, nullptr);
}

// The face changes only when refreshed, and then shows the game clock; a
// resize redraws it with the last orientation; a redraw leaves nothing of
// the face before (names, bevel); the pop-up's commands pause the clock and
// redraw it with the frame's orientation.
TEST_F(DigitalClockWndTest, RefreshFollowsTheGameClock) {
  CDigitalClockWnd* clock = Open();
  ASSERT_NE(clock, nullptr);
  gameClock.SetSideTimeHms(0, 1, 23, 45);
  clock->Refresh(1, 1);  // red on top
  const std::string shown[6] = {Expected(0), Expected(1), Expected(2),
                                Expected(3), Expected(4), Expected(5)};
  for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(Shown(clock->Surface(), 0, slot), shown[slot]);

  gameClock.SetSideTimeHms(0, 0, 0, 9);
  EXPECT_EQ(Shown(clock->Surface(), 0, 5), Expected(5));  // no polling
  clock->resize(kW + 2, kH);
  clock->resize(kW, kH);
  QCoreApplication::processEvents();
  EXPECT_EQ(clock->Flipped(), 1);
  EXPECT_EQ(Shown(clock->Surface(), 0, 5), Expected(9));
  EXPECT_EQ(Shown(clock->Surface(), 1, 5), Expected(0));

  for (Target target : {kDirect, kBackBuffer}) {
    UseTarget(target);
    clock->resize(kW + 2, kH);
    clock->resize(kW, kH);
    QCoreApplication::processEvents();
    const QImage fresh = clock->Surface();
    clock->Refresh(1, 0);
    clock->Refresh(1, 1);
    clock->Refresh(1, 1);
    EXPECT_TRUE(clock->Surface() == fresh) << "target " << target;
  }

  CCmdUI pause(kClockMenuPause);
  clock->OnUpdateCmdUI(pause);
  EXPECT_FALSE(pause.IsChecked());
  EXPECT_TRUE(clock->OnCmdMsg(kClockMenuPause));
  EXPECT_EQ(gameClock.paused, 1);
  clock->OnUpdateCmdUI(pause);
  EXPECT_TRUE(pause.IsChecked());
  // The pop-up menu, in English whatever the language, centred on the click.
  currentLanguage = kLanguageGerman;
  clock->OnRButtonDown(300, 40);
  const QList<QMenu*> menus = clock->findChildren<QMenu*>();
  ASSERT_EQ(menus.size(), 1);
  QStringList items;
  for (QAction* action : menus[0]->actions()) items << action->text() + (action->isChecked() ? "*" : "");
  EXPECT_EQ(items, QStringList({"Pause*", "Set time"}));
  EXPECT_EQ(menus[0]->pos().x() + menus[0]->width() / 2, clock->mapToGlobal(QPoint(300, 40)).x());
  menus[0]->close();
  EXPECT_TRUE(clock->OnCmdMsg(kClockMenuPause));
  EXPECT_EQ(gameClock.paused, 0);

  // "Set time": the dialog (cancelled here), then both clocks redrawn with
  // the frame's orientation.
  clockFrameLinks.boardFlipped = [] { return int32_t{0}; };
  CMiniClockDlg::CreateAndShow(nullptr);
  ASSERT_NE(miniClockDlg, nullptr);
  bool dialogShown = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CClockSetDlg*>(QApplication::activeModalWidget());
    dialogShown = dialog != nullptr;
    if (dialog != nullptr) dialog->EndDialog(IDCANCEL);
  });
  EXPECT_TRUE(clock->OnCmdMsg(kClockMenuSetTime));
  EXPECT_TRUE(dialogShown);
  EXPECT_EQ(clock->Flipped(), 0);
  EXPECT_EQ(Shown(clock->Surface(), 1, 5), Expected(9));  // red below now
  EXPECT_EQ(miniClockDlg->GetDlgItemText(kCtlMiniBottomClock), "00:00:09");
  miniClockDlg->close();
}

// The columns of the face between x0 and x1 (exclusive) that hold any
// pixel other than the ground in rows y0..y1 (exclusive): the extent of
// the ink there, 0 when there is none.
int InkWidth(const QImage& face, int x0, int x1, int y0, int y1) {
  int left = -1, right = -1;
  for (int x = x0; x < x1; ++x) {
    for (int y = y0; y < y1; ++y) {
      if (QRgbToColorRef(face.pixel(x, y)) == kGround) continue;
      if (left < 0) left = x;
      right = x;
      break;
    }
  }
  return left < 0 ? 0 : right - left + 1;
}

// The side names are those of the current language, black's above red's
// (or the other way round on a turned board): the ink of each name spot
// is as wide as the language's text in the face's font, for the languages
// written in Latin letters.
TEST_F(DigitalClockWndTest, SideNamesAreThoseOfTheLanguage) {
  CDigitalClockWnd* clock = Open();
  ASSERT_NE(clock, nullptr);
  UseTarget(kDirect);
  QImage scratch(8, 8, QImage::Format_RGB32);
  CDC measure(&scratch);
  measure.SelectFont(CFont{QStringLiteral("ARIAL"), -(kH / 12), 700, true});
  // Rows of each name spot: below the bevel and above the digits.
  const int rows[2][2] = {{5, kH * 19 / 180}, {kH * 29 / 60, kH * 103 / 180}};
  // The Chinese names get a height of their own (SideNamesLieWholeInTheirBands).
  for (int language : {kLanguageFrench, kLanguageEnglish, kLanguageSpanish, kLanguageGerman}) {
    currentLanguage = language;
    for (int flipped : {0, 1}) {
      clock->Refresh(1, flipped);
      for (int row = 0; row < 2; ++row) {
        const bool black = (row == 0) == (flipped == 0);
        const QString name = TrText(black ? kTextBlack : kTextRed);
        const int expected = measure.GetTextExtent(name).cx;
        const int ink = InkWidth(clock->Surface(), 6, kW - 6, rows[row][0], rows[row][1]);
        EXPECT_NEAR(ink, expected, 4) << "language " << language << " flipped " << flipped
                                      << " row " << row << " " << name.toStdString();
      }
    }
  }
}

// Every language's names lie whole in their bands at every size: below the
// frame's two rows and above the top row's digits, or between the rows of
// digits, with a clear row next to the digits, and tall enough to read (the
// Chinese names, which fill their em, nearly as tall as the band). Both
// clocks run past 100 hours, so the first digit cells are empty and the
// columns left of the second cells hold only the names.
TEST_F(DigitalClockWndTest, SideNamesLieWholeInTheirBands) {
  CDigitalClockWnd* clock = Open();
  ASSERT_NE(clock, nullptr);
  UseTarget(kDirect);
  gameClock.SetSideTimeHms(0, 101, 23, 45);
  gameClock.SetSideTimeHms(1, 100, 59, 8);
  const QSize sizes[] = {{160, 100}, {200, 130}, {400, 100}, {311, 180}, {622, 360}, {160, 400}};
  for (QSize size : sizes) {
    clock->resize(size);
    QCoreApplication::processEvents();
    const int W = size.width(), H = size.height();
    // Rows [top, bottom) of each band, and the columns that only names ink.
    const int band[2][2] = {{2, H * 19 / 180 + H / 180 - 1},
                            {H * 19 / 180 + H * 66 / 180 + 1, H * 103 / 180 + H / 180 - 1}};
    const int columns = W * kSlotLeft[1] / 311;
    for (int language = 0; language < kLanguageCount; ++language) {
      currentLanguage = language;
      const bool chinese = language >= kLanguageSimplifiedChinese;
      QImage faces[2];
      for (int flipped : {0, 1}) {
        clock->Refresh(1, flipped);
        faces[flipped] = clock->Surface();
        const QImage& face = faces[flipped];
        int inked[2][2] = {{H, -1}, {H, -1}};  // first and last inked row per band
        for (int y = 0; y < H - 5; ++y) {
          bool ink = false;
          for (int x = 6; x < columns && !ink; ++x) ink = face.pixel(x, y) != face.pixel(5, y);
          if (!ink) continue;
          const int row = y < (band[0][1] + band[1][0]) / 2 ? 0 : 1;
          inked[row][0] = std::min(inked[row][0], y);
          inked[row][1] = y;
          EXPECT_TRUE(y >= band[row][0] && y < band[row][1])
              << W << "x" << H << " language " << language << " flipped " << flipped
              << ": ink in row " << y << " outside " << band[row][0] << ".." << band[row][1] - 1;
        }
        for (int row = 0; row < 2; ++row) {
          const int tall = inked[row][1] - inked[row][0] + 1;
          const int room = band[row][1] - band[row][0];
          EXPECT_GE(tall * 4, room * (chinese ? 3 : 2))
              << W << "x" << H << " language " << language << " flipped " << flipped << " row "
              << row << ": ink " << tall << " rows of " << room;
        }
      }
      // The names change places with the board.
      const QRect topName(6, 0, columns - 6, band[0][1]);
      EXPECT_NE(faces[0].copy(topName), faces[1].copy(topName)) << "language " << language;
    }
  }
}

}  // namespace
