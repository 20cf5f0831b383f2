// The move list window: the list of a game in every notation, red or black
// first, odd, even and empty games, the highlighted move and the scrolling
// that keeps it in view, clicks that change nothing, and closing (pointer
// cleared, placement kept under "Liste").
#include "windows/move_list_wnd.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <algorithm>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/time_control.h"
#include "game/game_loader.h"
#include "game/notation.h"
#include "windows/side_windows.h"

#include "tests/support/engine_hooks.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"

// Failure messages show the list as text.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

// h2e2 h9g7 e2xe6 g7xe6 h0g2: two captures, five plies.
const std::vector<std::string> kShortGame = {"h2e2", "h9g7", "e2e6", "g7e6", "h0g2"};
constexpr const char* kBlackFirst = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b";

void SetGame(const char* fen, const std::vector<std::string>& moves) {
  testing_support::InitEngine();
  LoadedGame game;
  game.customStart = fen != nullptr;
  if (fen != nullptr) ReadFenToBoard(fen, game.startBoard, game.startPieces, &game.startSide);
  for (const std::string& m : moves) game.moves.push_back({testing_support::MoveFromText(m), 0, 0, 0});
  ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
}

QString ListText() { return moveListWnd->Edit()->toPlainText(); }

// The characters shown in `colour`, in order.
QString TextInColour(COLORREF colour) {
  QString out;
  for (QTextBlock b = moveListWnd->Edit()->document()->begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().foreground().color().rgb() == ColorRefToQRgb(colour)) {
        out += it.fragment().text();
      }
    }
  }
  return out;
}

class MoveListWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    notationKind = kNotationWxf;
  }
  void TearDown() override {
    if (moveListWnd != nullptr) Close(moveListWnd);
    notationKind = kNotationWxf;
  }
  static bool Close(CMoveListWnd* window) { return testing_support::CloseAsCloseBox(window); }
  QTemporaryDir config_;
};

TEST_F(MoveListWndTest, ListsTheGameTwoMovesALine) {
  const std::vector<std::string> even(kShortGame.begin(), kShortGame.begin() + 4);
  struct Case {
    int32_t kind;
    const char* fen;
    std::vector<std::string> moves;
    const char* text;  // UTF-8
  } const cases[] = {
      {kNotationCoordinate0, nullptr, kShortGame, " 1.  h2-e2  h9-g7\n 2.  e2xe6  g7xe6\n 3.  h0-g2"},
      {kNotationCoordinate1, nullptr, kShortGame, " 1.  h3-e3  h10-g8\n 2.  e3xe7  g8xe7\n 3.  h1-g3"},
      {kNotationCoordinateCxq, nullptr, kShortGame, " 1.  C2-C5  J2-H3\n 2.  C5xG5  H3xG5\n 3.  A2-C3"},
      {kNotationWxf, nullptr, kShortGame, " 1.  C2.5  h8+7\n 2.  C5+4  h7+5\n 3.  H2+3"},
      {kNotationAxf, nullptr, kShortGame, " 1.  C2=5  h8+7\n 2.  C5+4  h7+5\n 3.  H2+3"},
      {kNotationWxfChinese, nullptr, kShortGame, " 1.  炮2.5  马8+7\n 2.  炮5+4  马7+5\n 3.  马2+3"},
      {kNotationAxfChinese, nullptr, kShortGame, " 1.  炮2=5  马8+7\n 2.  炮5+4  马7+5\n 3.  马2+3"},
      {kNotationWxf, nullptr, even, " 1.  C2.5  h8+7\n 2.  C5+4  h7+5\n"},
      {kNotationWxf, kBlackFirst, {"h7e7", "h2e2", "h9g7"}, " 1.  ...   c8.5\n 2.  C2.5  h8+7\n"},
      {kNotationWxf, kBlackFirst, {"h7e7", "h2e2"}, " 1.  ...   c8.5\n 2.  C2.5"},
      {kNotationWxf, nullptr, {}, ""},
  };
  CMoveListWnd::CreateList(nullptr);
  ASSERT_NE(moveListWnd, nullptr);
  for (const Case& c : cases) {
    SetGame(c.fen, c.moves);
    notationKind = c.kind;
    moveListWnd->Refresh();
    EXPECT_EQ(ListText(), QString::fromUtf8(c.text)) << "notation " << c.kind;
  }
}

TEST_F(MoveListWndTest, TheShownMoveIsHighlightedAndKeptInView) {
  SetGame(nullptr, kShortGame);
  CMoveListWnd::CreateList(nullptr);
  ASSERT_NE(moveListWnd, nullptr);
  EXPECT_EQ(TextInColour(kMoveListCurrentColour), " 3.  H2+3");
  gamePly = 4;  // two moves back: black's move, its line break included
  moveListWnd->Refresh();
  EXPECT_EQ(TextInColour(kMoveListCurrentColour), "  h7+5");
  EXPECT_EQ(TextInColour(kMoveListTextColour), " 1.  C2.5  h8+7 2.  C5+4 3.  H2+3");
  gamePly = 0;
  moveListWnd->Refresh();
  EXPECT_EQ(TextInColour(kMoveListCurrentColour), "");

  // Several hundred moves: lines in order, the shown move in view, and the
  // top of the list at the start position.
  const int plies = 600;
  for (int ply = 1; ply <= plies; ++ply) std::snprintf(history[ply].wxfText, 8, " %d", ply);
  gameLength = plies;
  CMoveListEdit* edit = moveListWnd->Edit();
  for (int shown : {plies, 301, 0}) {
    gamePly = shown;
    moveListWnd->Refresh();
    const QStringList lines = ListText().split('\n');
    ASSERT_EQ(lines.size(), plies / 2 + 1);
    EXPECT_EQ(lines[149], "150.  299  300");
    const QTextCursor at(edit->document()->findBlockByNumber(std::max(0, shown - 1) / 2));
    EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect(at))) << shown;
    EXPECT_EQ(edit->verticalScrollBar()->value() == 0, shown == 0) << shown;
  }
}

// Refreshed from inside a real search (where the records behind the shown
// ply belong to the search), the list shows the game as the board does:
// while the engine ponders, up to its own move, highlighted; while it thinks
// at a position taken back, the stored moves that follow.
TEST_F(MoveListWndTest, RefreshesInsideASearchShowTheGameOnTheBoard) {
  notationKind = kNotationCoordinate0;  // read from the records' moves
  struct Shown {
    QString list, current;
    bool operator==(const Shown&) const = default;
  };
  static std::vector<Shown> seen;
  const auto look = [] {
    moveListWnd->Refresh();
    seen.push_back({ListText(), TextInColour(kMoveListCurrentColour)});
  };
  const auto allSeen = [](const Shown& want) {
    return !seen.empty() &&
           std::all_of(seen.begin(), seen.end(), [&](const Shown& s) { return s == want; });
  };

  SetGame(nullptr, kShortGame);
  CMoveListWnd::CreateList(nullptr);
  seen.clear();
  EXPECT_EQ(testing_support::ThinkAndPonder(20, look), 20);
  ASSERT_EQ(gamePly, 6);  // the engine's move; the predicted reply is gone
  ASSERT_EQ(gameLength, 6);
  look();
  EXPECT_FALSE(seen.back().current.isEmpty());
  EXPECT_TRUE(allSeen(seen.back())) << seen.front().list.toStdString();

  // Two moves back, then the engine thinks there.
  SetGame(nullptr, kShortGame);
  for (int i = 0; i < 3; ++i) TakeBackOne();
  seen.clear();
  look();
  const Shown before = seen.back();
  seen.clear();
  const int32_t savedLevel = levelMode, savedDepth = searchDepth, savedPonder = Ponder;
  levelMode = kLevelSearchDepth;
  searchDepth = 4;
  Ponder = 0;
  pumpMessagesHook = [] {
    if (engineState == kEngineThinking) {
      moveListWnd->Refresh();
      seen.push_back({ListText(), TextInColour(kMoveListCurrentColour)});
    }
  };
  Think(kThinkPlay, 0);
  pumpMessagesHook = nullptr;
  levelMode = savedLevel;
  searchDepth = savedDepth;
  Ponder = savedPonder;
  EXPECT_GE(seen.size(), 3u);
  EXPECT_TRUE(allSeen(before)) << before.list.toStdString();
}

TEST_F(MoveListWndTest, ClicksChangeNothingAndClosingKeepsThePlacement) {
  SetGame(nullptr, kShortGame);
  CMoveListWnd::CreateList(nullptr);
  CMoveListWnd* window = moveListWnd;
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Game list");
  EXPECT_EQ(QRect(window->pos(), window->size()), QRect(390, 244, 195, 100));  // 160 is too narrow
  window->resize(400, 300);
  EXPECT_EQ(window->Edit()->geometry(), QRect(0, 0, 260, 300));

  QWidget* viewport = window->Edit()->viewport();
  const QString before = ListText();
  const QPointF at(20, 8);
  for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick, QEvent::MouseMove,
                    QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &event);
  }
  EXPECT_FALSE(window->Edit()->textCursor().hasSelection());
  EXPECT_EQ(ListText(), before);
  EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);

  window->move(123, 77);
  window->resize(230, 320);
  EXPECT_TRUE(Close(window));
  EXPECT_EQ(moveListWnd, nullptr);
  CMoveListWnd::CreateList(nullptr);
  ASSERT_NE(moveListWnd, nullptr);
  EXPECT_EQ(QRect(moveListWnd->pos(), moveListWnd->size()), QRect(123, 77, 230, 320));

  // An owner that goes away takes the window and the pointer with it.
  Close(moveListWnd);
  auto* owner = new QWidget;
  CMoveListWnd::CreateList(owner);
  ASSERT_NE(moveListWnd, nullptr);
  delete owner;
  EXPECT_EQ(moveListWnd, nullptr);
}

}  // namespace
