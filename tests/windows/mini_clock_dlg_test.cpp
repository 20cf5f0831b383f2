// The mini clock: the side on top by the rotation flag, each side's name,
// clock and time on the move, the moves left in the period as play goes
// on, the caption, and opening, placing and closing the window.
#include "windows/mini_clock_dlg.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <iterator>
#include <string>

#include "game/game_clock.h"
#include "platform/placement.h"
#include "platform/settings_store.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/clock_set_dlg.h"
#include "windows/side_windows.h"

namespace {

class MiniClockDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    ASSERT_TRUE(config_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    currentLanguage = kLanguageEnglish;
    gameClock = CGameClock();
  }
  void TearDown() override {
    if (miniClockDlg != nullptr) Close(miniClockDlg);
    currentLanguage = kLanguageEnglish;
    gameClock = CGameClock();
  }
  static bool Close(CMiniClockDlg* dialog) { return testing_support::CloseAsCloseBox(dialog); }
  static std::string StoredPlacement() {
    CSettingsStore store(kSettingsNoRoot);
    std::string text;
    if (OpenProgramSettings(store)) store.GetString(text, "Windows placement", "MiniClockWindow", "");
    return text;
  }
  QTemporaryDir config_;
};

TEST_F(MiniClockDlgTest, TopLineIsBlackUnlessFlippedAndEachLineShowsItsSide) {
  // Red runs: 1:02:05 left, 2:05 spent on this move; black spent 7 s on
  // its previous move and has 1:05 left.
  gameClock.mode = kClockGameTime;
  gameClock.sideTimeMs[0] = 3725000 + 125000;
  gameClock.sideTimeMs[1] = 65000;
  gameClock.runningSide = 0;
  gameClock.elapsedMs = 125000;
  gameClock.lastMoveMs = 7000;
  struct Case {
    int flipped;
    int language;
    const char* top[3];
    const char* bottom[3];
  };
  const Case cases[] = {
      {0, kLanguageEnglish, {"Black", "00:01:05", "00:07"}, {"Red", "01:02:05", "02:05"}},
      {1, kLanguageEnglish, {"Red", "01:02:05", "02:05"}, {"Black", "00:01:05", "00:07"}},
      {5, kLanguageGerman, {"Rot", "01:02:05", "02:05"}, {"Schwarz", "00:01:05", "00:07"}},
  };
  CMiniClockDlg dialog;
  for (const Case& c : cases) {
    currentLanguage = c.language;
    dialog.Refresh(c.flipped);
    const int top[3] = {kCtlMiniTopName, kCtlMiniTopClock, kCtlMiniTopMove};
    const int bottom[3] = {kCtlMiniBottomName, kCtlMiniBottomClock, kCtlMiniBottomMove};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(dialog.GetDlgItemText(top[i]), c.top[i]) << c.flipped << " " << i;
      EXPECT_EQ(dialog.GetDlgItemText(bottom[i]), c.bottom[i]) << c.flipped << " " << i;
    }
  }
}

TEST_F(MiniClockDlgTest, MovesLeftCountWholeMovesOfTheCurrentPeriod) {
  gameClock.period1 = {2, 60, 0};
  gameClock.period2 = {3, 30, 0};
  gameClock.period3 = {1, 10, 0};
  gameClock.SetMode(kClockTournament);
  gameClock.Reset();
  // Moves left after each half-move: period 1 has two moves, then period 2
  // three, then period 3 one, again and again.
  const int expected[] = {2, 2, 1, 1, 3, 3, 2, 2, 1, 1, 1, 1, 1, 1};
  CMiniClockDlg dialog;
  for (int ply = 0; ply < static_cast<int>(std::size(expected)); ++ply) {
    if (ply > 0) gameClock.SwitchSide(ply % 2);
    dialog.Refresh(0);
    EXPECT_EQ(dialog.GetDlgItemText(kCtlMiniMovesLeft), QString("Moves = %1").arg(expected[ply]))
        << "after " << ply << " plies";
  }
}

TEST_F(MiniClockDlgTest, MenuCommandsPauseAndSetTheClockThenRefreshWhateverTheResult) {
  CMiniClockDlg dialog;
  dialog.Refresh(0);
  EXPECT_TRUE(dialog.OnCmdMsg(kClockMenuPause));
  EXPECT_NE(gameClock.paused, 0);
  EXPECT_TRUE(dialog.OnCmdMsg(kClockMenuPause));
  EXPECT_EQ(gameClock.paused, 0);

  // "Set time": the clock setting dialog runs over the mini clock; both a
  // cancelled and an accepted run leave the mini clock showing the clock.
  struct Case {
    int button;
    const char* redShown;
  };
  const Case cases[] = {{IDCANCEL, "00:00:09"}, {IDOK, "02:03:04"}};
  for (const Case& c : cases) {
    gameClock.sideTimeMs[0] = 9000;
    bool reached = false;
    QTimer::singleShot(0, [&] {
      auto* run = qobject_cast<CDialog*>(QApplication::activeModalWidget());
      reached = run != nullptr && run->parentWidget() == &dialog;
      if (run == nullptr) return;
      run->SetDlgItemText(kCtlClockSetRedTime, "2:3:4");
      run->OnCommand(c.button);
    });
    EXPECT_TRUE(dialog.OnCmdMsg(kClockMenuSetTime));
    EXPECT_TRUE(reached);
    EXPECT_EQ(dialog.GetDlgItemText(kCtlMiniBottomClock), c.redShown);
  }
}

TEST_F(MiniClockDlgTest, OpensOnceAtItsPlaceAndClearsItsPointerWhenClosed) {
  ASSERT_EQ(miniClockDlg, nullptr);
  CMiniClockDlg::CreateAndShow(nullptr);
  CMiniClockDlg* dialog = miniClockDlg;
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle(), "Mini clock");
  EXPECT_EQ(dialog->pos(), QPoint(390, 0));
  // The texts wait for the first refresh.
  EXPECT_EQ(dialog->GetDlgItemText(kCtlMiniTopClock), "00:00:00");
  CMiniClockDlg::CreateAndShow(nullptr);
  EXPECT_EQ(miniClockDlg, dialog);

  dialog->move(120, 140);
  EXPECT_TRUE(Close(dialog));
  EXPECT_EQ(miniClockDlg, nullptr);
  EXPECT_FALSE(StoredPlacement().empty());

  currentLanguage = kLanguageFrench;
  CMiniClockDlg::CreateAndShow(nullptr);
  ASSERT_NE(miniClockDlg, nullptr);
  EXPECT_EQ(miniClockDlg->pos(), QPoint(120, 140));
  EXPECT_EQ(miniClockDlg->windowTitle(), "Mini horloge");
}

}  // namespace
