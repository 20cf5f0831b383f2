// Side windows and the window that owns them: windows opened before their
// owner is shown (the main frame opens those of the last session while it
// is built) wait for it and come after it, clear of it and of each other;
// one brought to the front meanwhile still waits. When the owner grows over
// a side window, that window moves clear of it; one the user put over the
// owner stays where it is. A window opened at its default place shows its
// whole title in every language (but for the game file's name).
#include "windows/side_windows.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/header.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/window_placement.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/comments_dlg.h"
#include "windows/digital_clock_wnd.h"
#include "windows/game_status_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/move_list_wnd.h"

namespace {

class SideWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    ASSERT_TRUE(config_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    area_ = QGuiApplication::primaryScreen()->availableGeometry();
    // The main window of a first start: in the work area's top-left
    // corner, wider than the side windows' default places leave it.
    owner_ = new QWidget;
    owner_->setGeometry(QRect(area_.topLeft(), QSize(420, 540)));
  }
  void TearDown() override {
    delete owner_;
    EXPECT_EQ(digitalClockWnd, nullptr);
    EXPECT_EQ(moveListWnd, nullptr);
    EXPECT_EQ(miniClockDlg, nullptr);
    EXPECT_EQ(commentsDlg, nullptr);
    EXPECT_EQ(gameStatusDlg, nullptr);
    currentLanguage = kLanguageEnglish;
  }

  // Runs what the show of a window posted.
  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  QTemporaryDir config_;
  QRect area_;
  QWidget* owner_ = nullptr;
};

TEST_F(SideWindowsTest, WindowsOpenedBeforeTheirOwnerIsShownComeAfterItClearOfIt) {
  CDigitalClockWnd::CreateClock(owner_);
  CMoveListWnd::CreateList(owner_);
  ASSERT_NE(digitalClockWnd, nullptr);
  ASSERT_NE(moveListWnd, nullptr);
  const std::vector<QWidget*> windows = {digitalClockWnd, moveListWnd};
  // Choosing the window again from the menu brings no window before its
  // owner.
  BringSideWindowToFront(moveListWnd);
  for (const QWidget* w : windows) EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();

  owner_->show();
  Settle();
  for (size_t i = 0; i < windows.size(); ++i) {
    const QWidget* w = windows[i];
    SCOPED_TRACE(w->windowTitle().toStdString());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(area_.contains(w->frameGeometry()));
    EXPECT_FALSE(w->frameGeometry().intersects(owner_->frameGeometry()));
    for (size_t j = 0; j < i; ++j) {
      EXPECT_FALSE(w->frameGeometry().intersects(windows[j]->frameGeometry()));
    }
  }
}

TEST_F(SideWindowsTest, AWindowTheOwnerGrowsOverMovesClearOfIt) {
  owner_->resize(300, 300);
  owner_->show();
  CDigitalClockWnd::CreateClock(owner_);
  CMoveListWnd::CreateList(owner_);
  ASSERT_NE(digitalClockWnd, nullptr);
  ASSERT_NE(moveListWnd, nullptr);
  Settle();
  const QRect clock = digitalClockWnd->frameGeometry();
  const QSize clockSize = digitalClockWnd->size();
  ASSERT_FALSE(clock.intersects(owner_->frameGeometry()));
  // The user puts the move list over the owner.
  const QPoint userPlace = area_.topLeft() + QPoint(40, 40);
  moveListWnd->move(userPlace);
  Settle();

  // A larger board: the owner now reaches over the clock.
  owner_->resize(clock.right() + 1 - area_.x() + 20, clock.bottom() + 1 - area_.y() + 20);
  Settle();
  const QRect grown = owner_->frameGeometry();
  ASSERT_TRUE(grown.intersects(clock));
  EXPECT_TRUE(digitalClockWnd->isVisible());
  EXPECT_FALSE(digitalClockWnd->frameGeometry().intersects(grown));
  EXPECT_FALSE(digitalClockWnd->frameGeometry().intersects(moveListWnd->frameGeometry()));
  EXPECT_TRUE(area_.contains(digitalClockWnd->frameGeometry()));
  EXPECT_EQ(digitalClockWnd->size(), clockSize);
  EXPECT_EQ(moveListWnd->pos(), userPlace);

  // Shrinking and moving the owner moves no side window.
  const QPoint clockPlace = digitalClockWnd->pos();
  owner_->resize(300, 300);
  owner_->move(area_.topLeft() + QPoint(10, 10));
  Settle();
  EXPECT_EQ(digitalClockWnd->pos(), clockPlace);
  EXPECT_EQ(moveListWnd->pos(), userPlace);
}

// Each of the five side windows a start may open, opened with `owner` as
// its owner.
const std::function<QWidget*(QWidget*)> kOpenSideWindow[] = {
    [](QWidget* owner) -> QWidget* {
      CCommentsDlg::CreateAndShow(owner);
      return commentsDlg;
    },
    [](QWidget* owner) -> QWidget* {
      CDigitalClockWnd::CreateClock(owner);
      return digitalClockWnd;
    },
    [](QWidget* owner) -> QWidget* {
      CMiniClockDlg::CreateAndShow(owner);
      return miniClockDlg;
    },
    [](QWidget* owner) -> QWidget* {
      CMoveListWnd::CreateList(owner);
      return moveListWnd;
    },
    [](QWidget* owner) -> QWidget* {
      CGameStatusDlg::CreateAndShow(owner);
      return gameStatusDlg;
    },
};

// In every language, a side window opened at its default place (here with
// the main window at a first start) is as wide as it was made, or as its
// title needs in the window manager's title bar when that is more (within
// the widths it may take). The name of the game file that the game
// information window adds to its title (after " > ") is not counted: a
// long path would make it wider than the screen. One with a stored
// placement keeps the stored width.
TEST_F(SideWindowsTest, AWindowAtItsDefaultPlaceShowsItsWholeTitle) {
  const std::string longPath = "/home/someone/" + std::string(120, 'x') + "/game.txt";
  for (int run = 0; run < 2 * kLanguageCount; ++run) {
    const int language = run % kLanguageCount;
    const std::string file = run < kLanguageCount ? "" : longPath;
    SCOPED_TRACE("language " + std::to_string(language) + ", game file \"" + file + "\"");
    currentLanguage = language;
    std::snprintf(gameFileName, sizeof gameFileName, "%s", file.c_str());
    {
      CSettingsStore store(kSettingsNoRoot);
      OpenProgramSettings(store);
      store.WriteString(kPlacementSection, nullptr, nullptr);
    }
    auto* owner = new QWidget;
    owner->setGeometry(owner_->geometry());
    std::vector<std::pair<QWidget*, int>> opened;  // with the width it was made
    for (const auto& open : kOpenSideWindow) {
      QWidget* window = open(owner);
      ASSERT_NE(window, nullptr);
      opened.emplace_back(window, window->width());
    }
    owner->show();
    Settle();
    for (const auto& [window, made] : opened) {
      const QString title = window->windowTitle();
      const QString caption = title.left(title.indexOf(QStringLiteral(" > ")));
      const int needed = std::min(TitleBarMinimumWidth(caption), window->maximumWidth());
      EXPECT_TRUE(window->isVisible()) << title.toStdString();
      EXPECT_EQ(window->width(), std::max(made, needed)) << title.toStdString();
    }
    delete owner;
  }
  gameFileName[0] = '\0';

  currentLanguage = kLanguageFrench;
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteString(kPlacementSection, "Liste", "0,1,-1,-1,-1,-1,390,244,585,344");
  }
  owner_->show();
  CMoveListWnd::CreateList(owner_);
  ASSERT_NE(moveListWnd, nullptr);
  Settle();
  EXPECT_EQ(moveListWnd->width(), 195);
}

}  // namespace
