// The comments window: its caption, place and move line; typing stores the
// comment of the ply on the board (also while the engine ponders on its
// predicted reply); refreshing never rewrites a stored comment; the pop-up
// menu's marks (greyed at the start position) and "Reset comments";
// closing and the placement kept under "Comment".
#include "windows/comments_dlg.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <cstring>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/notation.h"
#include "game/shown_ply.h"
#include "res/text_rows.h"
#include "tests/support/engine_hooks.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/side_windows.h"

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

// h2e2 h9g7 e2xe6 g7xe6 h0g2
const std::vector<std::string> kShortGame = {"h2e2", "h9g7", "e2e6", "g7e6", "h0g2"};
constexpr const char* kBlackFirst = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b";

// Puts the game on the board at ply `ply`, the board showing that position.
void SetGame(const char* fen, const std::vector<std::string>& moves, int ply) {
  testing_support::InitEngine();
  LoadedGame game;
  game.customStart = fen != nullptr;
  if (fen != nullptr) ReadFenToBoard(fen, game.startBoard, game.startPieces, &game.startSide);
  for (const std::string& m : moves)
    game.moves.push_back({testing_support::MoveFromText(m), 0, 0, 0});
  ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
  while (gamePly > ply) TakeBackOne();
  shownSideToMove = sideToMove;
  engineState = kEngineIdle;
}

std::string Stored(int ply) {
  return moveComments[ply].text != nullptr ? moveComments[ply].text : "";
}

QPlainTextEdit* Edit() {
  return qobject_cast<QPlainTextEdit*>(commentsDlg->GetDlgItem(kCtlCommentText));
}
QString MoveLine() { return commentsDlg->GetDlgItemText(kCtlCommentMoveLine); }

// Types `text` at the end of the comment edit, one key at a time.
void Type(const QString& text) {
  Edit()->setFocus();
  Edit()->moveCursor(QTextCursor::End);
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(Edit(), &press);
  }
}

// Right-clicks the move line and returns the menu that pops up.
QMenu* RightClick() {
  QWidget* line = commentsDlg->GetDlgItem(kCtlCommentMoveLine);
  const QPoint at = line->geometry().center();
  QMouseEvent press(QEvent::MouseButtonPress, at, commentsDlg->mapToGlobal(at), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(commentsDlg, &press);
  return commentsDlg->findChild<QMenu*>();
}

// Chooses the menu item of command `id` and lets the posted command run.
void Choose(QMenu* menu, int id) {
  for (QAction* action : menu->actions()) {
    if (action->data().toInt() == id && !action->isSeparator()) action->trigger();
  }
  menu->hide();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class CommentsDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    ASSERT_TRUE(config_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    currentLanguage = kLanguageEnglish;
    notationKind = kNotationWxf;
    hasComments = 1;
    ClearComment(-1);
  }
  void TearDown() override {
    if (commentsDlg != nullptr) Close();
    currentLanguage = kLanguageEnglish;
    notationKind = kNotationWxf;
    engineState = kEngineIdle;
    ClearComment(-1);
  }
  static CCommentsDlg* Open() {
    CCommentsDlg::CreateAndShow(nullptr);
    return commentsDlg;
  }
  static bool Close() { return testing_support::CloseAsCloseBox(commentsDlg); }
  QTemporaryDir config_;
};

TEST_F(CommentsDlgTest, OpensOnceWithItsCaptionAndMoveLine) {
  SetGame(nullptr, kShortGame, 0);
  SetComment(0, "game comment");
  CCommentsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->pos(), QPoint(390, 0));
  EXPECT_EQ(dialog->windowTitle(), "Comments");
  EXPECT_EQ(MoveLine(), "*");
  EXPECT_EQ(dialog->GetDlgItemText(kCtlCommentText), "game comment");
  CCommentsDlg::CreateAndShow(nullptr);
  EXPECT_EQ(commentsDlg, dialog);

  currentLanguage = kLanguageFrench;
  dialog->SetTitle();
  EXPECT_EQ(dialog->windowTitle(), "Commentaires");
  currentLanguage = kLanguageSimplifiedChinese;
  dialog->SetTitle();
  EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("注释"));

  // The edit and the move line follow the window's size.
  const QSize smallest = dialog->minimumSize();
  EXPECT_EQ(smallest, QSize(dialog->minTrackWidth, dialog->minTrackHeight));
  dialog->resize(smallest.width() + 100, smallest.height() + 60);
  EXPECT_EQ(Edit()->geometry().right() + 1, dialog->width() - 10);
  EXPECT_EQ(Edit()->geometry().bottom() + 1, dialog->height() - 10);
  EXPECT_EQ(dialog->GetDlgItem(kCtlCommentMoveLine)->geometry().right() + 1, dialog->width() - 10);
}

TEST_F(CommentsDlgTest, MoveLineShowsNumberSideMoveAndMark) {
  struct Case {
    int32_t kind;
    const char* fen;
    std::vector<std::string> moves;
    int ply;
    uint8_t mark;
    const char* line;  // UTF-8
  } const cases[] = {
      {kNotationWxf, nullptr, kShortGame, 5, kMarkNone, "  3.  H2+3"},
      {kNotationWxf, nullptr, kShortGame, 4, kMarkBlunder, "  2. ..  h7+5 ??"},
      {kNotationAxf, nullptr, kShortGame, 1, kMarkBrilliant, "  1.  C2=5 !!"},
      {kNotationCoordinate0, nullptr, kShortGame, 3, kMarkEven, "  2.  e2xe6 ="},
      {kNotationWxfChinese, nullptr, kShortGame, 2, kMarkGood, "  1. ..  马8+7 !"},
      // Black began: numbered as in the move list.
      {kNotationWxf, kBlackFirst, {"h7e7", "h2e2", "h9g7"}, 1, kMarkNone, "  1. ..  c8.5"},
      {kNotationWxf, kBlackFirst, {"h7e7", "h2e2", "h9g7"}, 2, kMarkMistake, "  2.  C2.5 ?"},
      {kNotationWxf, kBlackFirst, {"h7e7", "h2e2", "h9g7"}, 3, kMarkNone, "  2. ..  h8+7"},
  };
  for (const Case& c : cases) {
    SetGame(c.fen, c.moves, c.ply);
    notationKind = c.kind;
    SetAnnotation(c.ply, c.mark);
    if (commentsDlg == nullptr) Open();
    commentsDlg->Refresh();
    EXPECT_EQ(MoveLine(), QString::fromUtf8(c.line)) << "notation " << c.kind << " ply " << c.ply;
  }
}

TEST_F(CommentsDlgTest, TypingStoresAtTheShownPlyAndRefreshKeepsStoredText) {
  SetGame(nullptr, kShortGame, 3);
  // A comment that the edit would give back otherwise (its line break).
  SetComment(2, "one\ntwo");
  const char* const kept = moveComments[2].text;
  Open();
  Type("abc");
  EXPECT_EQ(Stored(3), "abc");
  EXPECT_EQ(Stored(0), "");
  EXPECT_EQ(Stored(4), "");

  TakeBackOne();
  shownSideToMove = sideToMove;
  commentsDlg->Refresh();
  EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), "one\r\ntwo");
  EXPECT_EQ(Stored(2), "one\ntwo");
  EXPECT_EQ(moveComments[2].text, kept);
  EXPECT_EQ(Stored(3), "abc");

  // At the start the game comment, in the language's code page.
  currentLanguage = kLanguageFrench;
  TakeBackAll();
  shownSideToMove = sideToMove;
  commentsDlg->Refresh();
  Type(QString::fromUtf8("é"));
  EXPECT_EQ(Stored(0), "\xE9");
}

TEST_F(CommentsDlgTest, TypingWhilePonderingStoresAtThePlyOnTheBoard) {
  SetGame(nullptr, kShortGame, 4);
  Open();
  EXPECT_EQ(commentsDlg->EditedPly(), 4);
  // The engine answers and puts its predicted reply on the record; the
  // board keeps showing ply 4.
  ASSERT_TRUE(MakeMoveAfterShownPly(testing_support::MoveFromText("h0g2")));
  RecordMadeMove();
  engineState = kEnginePondering;
  ASSERT_EQ(gamePly, 5);
  EXPECT_EQ(ShownPly(), 4);
  Type("x");
  EXPECT_EQ(Stored(4), "x");
  EXPECT_EQ(Stored(5), "");

  // A refresh while pondering (a notation change) stays at ply 4, and so
  // do the marks.
  notationKind = kNotationAxf;
  commentsDlg->Refresh();
  EXPECT_EQ(MoveLine(), "  2. ..  h7+5");
  EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), "x");
  Type("y");
  commentsDlg->OnCmdMsg(kCommentMenuMarkGood);
  EXPECT_EQ(Stored(4), "xy");
  EXPECT_EQ(moveComments[4].annotation, kMarkGood);
  EXPECT_EQ(moveComments[5].annotation, kMarkNone);

  // The user plays the predicted move: the board shows ply 5.
  shownSideToMove = 1 - shownSideToMove;
  engineState = kEngineThinking;
  EXPECT_EQ(ShownPly(), 5);
  // A completion that took the move back while still pondering.
  engineState = kEnginePondering;
  shownSideToMove = 1 - shownSideToMove;
  TakeBackOne();
  EXPECT_EQ(ShownPly(), 4);
}

// Refreshed from inside a real ponder search (where the engine position is
// the node being searched), the window shows the engine's move, the last
// move played, every time; typing and marks land there, never on the
// predicted reply.
TEST_F(CommentsDlgTest, RefreshesInsideAPonderSearchStayOnTheLastMovePlayed) {
  SetGame(nullptr, kShortGame, 4);
  Open();
  struct Seen {
    int ply;
    QString line;
  };
  std::vector<Seen> seen;
  const int polls = testing_support::ThinkAndPonder(40, [&seen] {
    commentsDlg->Refresh();
    seen.push_back({commentsDlg->EditedPly(), MoveLine()});
    Type("x");
    commentsDlg->OnCmdMsg(kCommentMenuMarkGood);
  });
  ASSERT_EQ(polls, 40);
  ASSERT_EQ(engineState, kEngineIdle);
  ASSERT_EQ(gamePly, 5);  // the engine's move; the predicted reply is gone
  ASSERT_EQ(history[5].engineMove, 1);

  SetAnnotation(5, kMarkNone);
  commentsDlg->Refresh();
  const QString line = MoveLine();
  int wrong = 0;
  for (size_t i = 0; i < seen.size(); ++i) {
    const QString want = i == 0 ? line : line + " !";
    if (seen[i].ply != 5 || seen[i].line != want) ++wrong;
  }
  EXPECT_EQ(wrong, 0) << "of " << seen.size() << " refreshes, e.g. "
                      << seen.back().line.toStdString();
  EXPECT_EQ(Stored(5), std::string(40, 'x'));
  EXPECT_EQ(Stored(6), "");
  EXPECT_EQ(moveComments[6].annotation, kMarkNone);
}

TEST_F(CommentsDlgTest, MenuMarksAreGreyedAtTheStartAndResetClearsAll) {
  SetGame(nullptr, kShortGame, 0);
  SetComment(0, "game");
  SetComment(2, "two");
  SetAnnotation(2, kMarkGood);
  Open();
  QMenu* menu = RightClick();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 8);
  for (QAction* action : menu->actions()) {
    const int id = action->data().toInt();
    if (!action->isSeparator()) {
      EXPECT_EQ(action->isEnabled(), id == kCommentMenuResetComments) << id;
    }
  }
  Choose(menu, kCommentMenuMarkExcellent);
  commentsDlg->OnCmdMsg(kCommentMenuMarkBlunder);
  EXPECT_EQ(moveComments[0].annotation, kMarkNone);

  // Past the start every mark can be chosen and shows at once.
  SetGame(nullptr, kShortGame, 3);
  commentsDlg->Refresh();
  menu = RightClick();
  ASSERT_NE(menu, nullptr);
  for (QAction* action : menu->actions()) EXPECT_TRUE(action->isSeparator() || action->isEnabled());
  Choose(menu, kCommentMenuMarkExcellent);
  EXPECT_EQ(moveComments[3].annotation, kMarkBrilliant);
  EXPECT_TRUE(MoveLine().endsWith(" !!"));

  Type("three");
  Choose(RightClick(), kCommentMenuResetComments);
  for (int ply : {0, 2, 3}) {
    EXPECT_EQ(Stored(ply), "") << ply;
    EXPECT_EQ(moveComments[ply].annotation, kMarkNone) << ply;
  }
  EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), "");
}

TEST_F(CommentsDlgTest, ClosingClearsThePointerAndPlacementRoundTrips) {
  SetGame(nullptr, kShortGame, 0);
  CCommentsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Close());
  EXPECT_EQ(commentsDlg, nullptr);

  // The frame's close saves the placement; the next window restores it.
  dialog = Open();
  dialog->setGeometry(120, 140, 420, 260);
  const QRect placed = dialog->geometry();
  QPointer<CCommentsDlg> watch(dialog);
  dialog->DestroyWindow();
  EXPECT_EQ(commentsDlg, nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watch.isNull());
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->geometry(), placed);

  // Its close box saves it too: where the user left it, it opens again.
  dialog->setGeometry(200, 90, 380, 240);
  const QRect left = dialog->geometry();
  EXPECT_TRUE(Close());
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->geometry(), left);
}

}  // namespace
