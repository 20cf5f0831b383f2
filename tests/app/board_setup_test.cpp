// Setting up a position by hand: the add commands' squares, the palette and
// its buttons, ending set-up with the side to move (refused for a position
// that cannot be played) as a new game without the old game's comments,
// cancelling, and the right button's FEN and menu.
#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <cstring>
#include <string>
#include <vector>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/comments.h"
#include "game/header.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/services.h"
#include "res/dialogs.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/placement_cases.h"
#include "windows/comments_dlg.h"
#include "windows/game_status_dlg.h"
#include "windows/side_windows.h"

using testing_support::Check;
using testing_support::CloseFrame;

namespace {

std::vector<QString> boxes;

CMainFrame* StartProgram() {
  testing_support::OffscreenApplication();
  testing_support::OpenStore()->WriteInt("Options", "Language", 1);
  theApp.m_lpCmdLine = "";
  theApp.InitInstance();
  pMainFrame->NewGame();
  enginePlaysSide0 = enginePlaysSide1 = 0;
  Ponder = 0;
  levelMode = kLevelSearchDepth;
  searchDepth = 2;
  messageBoxHook = [](const QString& text, int) {
    boxes.push_back(text);
    return static_cast<int>(kAnswerOk);
  };
  return pMainFrame;
}

void Send(QEvent::Type type, QPoint at, Qt::MouseButton button) {
  QWidget* view = pMainFrame->BoardView();
  QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), button,
                    type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(view, &event);
}

void Drag(QPoint from, QPoint to) {
  Send(QEvent::MouseButtonPress, from, Qt::LeftButton);
  Send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton);
  Send(QEvent::MouseButtonRelease, to, Qt::LeftButton);
}

QPoint Centre(int file, int rank) {
  int32_t x, y;
  pMainFrame->SquareToPixel(8 - file, 9 - rank, x, y);
  const int h = pMainFrame->squareSize / 2;
  return {x + h, y + toolbarBandHeight + h};
}

// The centre of a palette box or button at (column 10 or 11, offset y).
QPoint PalettePoint(int column, int top) {
  const int s = pMainFrame->squareSize, h = s / 2;
  return {column * s + h + 4 + h, top + h + toolbarBandHeight + pMainFrame->coordinateBand + h};
}

std::string ShownFen() {
  char text[kFenBufferSize];
  WriteFen(displayBoard, text, 0, 0, 1);
  return text;
}

// Ends set-up, answering the side-to-move dialog with `button` after
// choosing `radio`.
void EndSetup(int radio, int button) {
  bool reached = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CDialog*>(QApplication::activeModalWidget());
    reached = dialog != nullptr;
    if (!reached) return;
    qobject_cast<QAbstractButton*>(dialog->GetDlgItem(radio))->click();
    qobject_cast<QAbstractButton*>(dialog->GetDlgItem(button))->click();
  });
  pMainFrame->OnCmdMsg(kCmdEndSetupPosition);
  Check(reached, "the side-to-move dialog ran");
}

using BoardSetupTest = testing_support::ScenarioTest;

struct AddCase {
  int command;
  std::vector<std::pair<int, int>> blocked;  // squares taken before the command
  int file, rank;                            // where the piece goes (-1: nowhere)
  PieceIndex piece;
};

TEST_F(BoardSetupTest, AddCommandsTryTheHomeSquaresInOrderThenAnyFreeSquare) {
  const std::vector<AddCase> cases = {
      {kCmdAddRedPawn, {}, 0, 6, 12},
      {kCmdAddRedPawn, {{0, 6}}, 2, 6, 12},
      {kCmdAddRedPawn, {{0, 6}, {2, 6}, {4, 6}, {6, 6}, {8, 6}}, 8, 9, 12},
      {kCmdAddRedAdviser, {{3, 9}, {5, 9}}, 4, 8, 2},
      {kCmdAddRedAdviser, {{3, 9}, {5, 9}, {4, 8}, {3, 7}, {5, 7}}, -1, -1, 2},
      {kCmdAddRedElephant, {{2, 9}, {6, 9}}, 4, 7, 4},
      {kCmdAddBlackElephant, {{2, 0}, {6, 0}}, 0, 2, 20},
      {kCmdAddRedHorse, {{1, 9}, {7, 9}, {8, 9}}, 8, 8, 6},
      {kCmdAddRedCannon, {}, 1, 7, 10},
      {kCmdAddRedChariot, {{0, 9}}, 8, 9, 8},
      {kCmdAddBlackPawn, {}, 0, 3, 28},
      {kCmdAddBlackAdviser, {}, 3, 0, 18},
      {kCmdAddBlackHorse, {}, 1, 0, 22},
      {kCmdAddBlackCannon, {}, 1, 2, 26},
      {kCmdAddBlackChariot, {{0, 0}, {8, 0}}, 8, 9, 24},
  };
  RUN_SCENARIO({
    StartProgram();
    pMainFrame->OnCmdMsg(kCmdSetupPosition);
    for (const AddCase& c : cases) {
      pMainFrame->OnEmptyBoard();
      // Blockers of a kind the command does not add.
      PieceIndex blocker = c.piece <= 16 ? 28 : 12;
      for (const auto& b : c.blocked)
        pMainFrame->PlaceSetupPiece(blocker++, MakeSquare(b.first, b.second));
      int8_t before[kBoardSize];
      std::memcpy(before, board, sizeof before);
      pMainFrame->OnCmdMsg(c.command);
      int changed = 0;
      for (int s = 0; s < kBoardSize; ++s) changed += board[s] != before[s];
      const bool placed = c.file >= 0 && static_cast<PieceIndex>(board[MakeSquare(c.file, c.rank)]) == c.piece &&
                          posPiece[c.piece] == MakeSquare(c.file, c.rank);
      Check(c.file < 0 ? changed == 0 : changed == 1 && placed, std::to_string(c.command).c_str());
      Check(std::memcmp(board, displayBoard, sizeof board) == 0, "the shown board follows");
    }
    // With every pawn on the board the command is greyed and does nothing.
    pMainFrame->RestoreSetupBackup();
    CCmdUI ui(kCmdAddRedPawn);
    pMainFrame->OnUpdateCmdUI(ui);
    pMainFrame->OnCmdMsg(kCmdAddRedPawn);
    Check(!ui.IsEnabled() &&
              ShownFen() == "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR",
          "no pawn to add");
  });
}

TEST_F(BoardSetupTest, PaletteDragsEmptyBoardAndCancelRestoreTheGame) {
  RUN_SCENARIO({
    StartProgram();
    pMainFrame->PlayUserMove(MakeMoveCode(MakeSquare(1, 7), MakeSquare(4, 7)));
    TakeBackOne();
    const std::string gameFen = ShownFen();
    pMainFrame->inputMode = 0;
    pMainFrame->OnCmdMsg(kCmdSetupPosition);
    const int s = pMainFrame->squareSize;
    Check(pMainFrame->setupMode == 1 && pMainFrame->inputMode == 1 &&
              pMainFrame->BoardView()->width() >= 13 * s,
          "set-up widens the board and drags");
    // The empty-board button keeps the two kings on their squares.
    const QPoint emptyButton = PalettePoint(10, 6 * s + 30);
    Send(QEvent::MouseButtonPress, emptyButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, emptyButton, Qt::LeftButton);
    Check(ShownFen() == "4k4/9/9/9/9/9/9/9/9/4K4", "only the kings stay");
    // A red chariot from the palette's first box, a black pawn from the
    // sixth; a king is never covered nor dragged off.
    Drag(PalettePoint(10, 0), Centre(0, 5));
    Drag(PalettePoint(11, 5 * (s + 5)) + QPoint(4, 0), Centre(3, 3));
    Drag(Centre(0, 5), Centre(4, 0));
    Drag(Centre(4, 9), QPoint(2, 2));
    Check(ShownFen() == "4k4/9/9/5p3/9/8R/9/9/9/4K4", "palette pieces dropped");
    // A piece dragged off the board goes.
    Drag(Centre(3, 3), QPoint(2, 2));
    Check(ShownFen() == "4k4/9/9/9/9/8R/9/9/9/4K4" && posPiece[32] == 0, "a piece dragged off");
    // Cancel: the game's position and record, and the input mode, are back.
    const QPoint cancel = PalettePoint(11, 7 * s + 35);
    Send(QEvent::MouseButtonPress, cancel, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, cancel, Qt::LeftButton);
    Check(pMainFrame->setupMode == 0 && ShownFen() == gameFen && gamePly == 0 && gameLength == 1 &&
              pMainFrame->inputMode == 0 && pMainFrame->BoardView()->width() < 13 * s,
          "cancel restores the game");
  });
}

struct EndCase {
  const char* fen;  // the position set up (letter set 1)
  int radio, button;
  bool accepted;
  uint32_t side;
};

TEST_F(BoardSetupTest, EndingSetupAsksTheSideAndRefusesPositionsThatCannotBePlayed) {
  const std::vector<EndCase> cases = {
      {"4k4/9/9/9/4R4/9/9/9/9/4K4", kCtlSideBlack, IDOK, true, 1},
      {"4k4/9/9/9/4R4/9/9/9/9/4K4", kCtlSideRed, IDOK, false, 0},  // black in check
      {"4k4/9/9/9/9/9/9/9/9/4K4", kCtlSideRed, IDOK, false, 0},    // kings face
      {"9/9/9/9/9/9/9/9/9/4K4", kCtlSideRed, IDOK, false, 0},      // no black king
      {"3k5/9/9/9/9/9/9/9/9/4K4", kCtlSideBlack, IDCANCEL, false, 0},
  };
  for (const EndCase& c : cases) {
    RUN_SCENARIO({
      StartProgram();
      pMainFrame->inputMode = 0;
      pMainFrame->OnCmdMsg(kCmdSetupPosition);
      std::memset(board, 0, sizeof board);
      std::memset(posPiece, 0, sizeof posPiece);
      uint32_t side = 0;
      ReadFenBoard(c.fen, board, posPiece, &side);
      std::memcpy(displayBoard, board, sizeof displayBoard);
      EndSetup(c.radio, c.button);
      Check(pMainFrame->setupMode == (c.accepted ? 0 : 1), "set-up ends only when accepted");
      Check(pMainFrame->inputMode == 0, "the input mode is back");
      Check(boxes.size() == (c.accepted || c.button == IDCANCEL ? 0u : 1u), "refusal shown");
      // Nothing is searched in set-up mode; an accepted position is the new
      // game's start.
      pMainFrame->OnCmdMsg(kCmdPlayCurrentPosition);
      Check(
          c.accepted ? gamePly == 1 && startSideToMove == c.side : gamePly == 0 && gameLength == 0,
          "played only when accepted");
      QApplication::processEvents();
    });
  }
}

// A position with an adviser, elephant or pawn where it can never stand
// does not become a game.
TEST_F(BoardSetupTest, EndingSetupRefusesPiecesOffTheirPoints) {
  RUN_SCENARIO({
    StartProgram();
    pMainFrame->inputMode = 0;
    for (const testing_support::PlacementCase& c : testing_support::PlacementCases()) {
      boxes.clear();
      pMainFrame->OnCmdMsg(kCmdSetupPosition);
      std::memset(board, 0, sizeof board);
      std::memset(posPiece, 0, sizeof posPiece);
      uint32_t side = 0;
      ReadFenBoard(c.fen.c_str(), board, posPiece, &side);
      std::memcpy(displayBoard, board, sizeof displayBoard);
      EndSetup(side == kRed ? kCtlSideRed : kCtlSideBlack, IDOK);
      Check(pMainFrame->setupMode == (c.sound ? 0 : 1) && boxes.size() == (c.sound ? 0u : 1u),
            c.what.c_str());
      if (!c.sound) pMainFrame->CancelSetup();
      QApplication::processEvents();
    }
  });
}

// Ending set-up with OK starts the game at the set-up position without the
// old game's comments, marks, result and file name, and the open windows
// show that at once; the names stay. Cancelling keeps everything.
TEST_F(BoardSetupTest, EndingSetupDropsTheOldGamesCommentsAndCancellingKeepsThem) {
  for (int button : {IDOK, IDCANCEL}) {
    RUN_SCENARIO({
      StartProgram();
      CCommentsDlg::CreateAndShow(pMainFrame);
      pMainFrame->OnCmdMsg(kCmdGameStatus);
      SetComment(0, "start");
      testing_support::PlayUserMoves({"h2e2", "h9g7"});
      SetComment(2, "after black");
      SetAnnotation(2, kMarkGood);
      std::strcpy(currentGameHeader.redName, "Ding");
      currentGameHeader.result = kResultRedWins;
      SetGameFileName("/tmp/old-game.vgf");
      pMainFrame->RefreshGameWindows();
      gameStatusDlg->SetTexts();
      pMainFrame->OnCmdMsg(kCmdSetupPosition);
      EndSetup(kCtlSideRed, button);
      const bool kept = button == IDCANCEL;
      if (kept) pMainFrame->CancelSetup();
      int comments = 0;
      for (const MoveComment& c : moveComments)
        comments += (c.text != nullptr && c.text[0] != '\0') || c.annotation != 0 ? 1 : 0;
      const bool fileNamed = gameStatusDlg->windowTitle().contains("old-game");
      Check(std::strcmp(currentGameHeader.redName, "Ding") == 0 &&
                gameStatusDlg->GetDlgItemText(kCtlHeaderRedName) == "Ding",
            "the names stay");
      if (kept) {
        Check(gamePly == 2 && comments == 2 && moveComments[2].annotation == kMarkGood &&
                  currentGameHeader.result == kResultRedWins && fileNamed &&
                  commentsDlg->GetDlgItemText(kCtlCommentText) == "after black",
              "cancelled: the game as it was");
      } else {
        Check(gamePly == 0 && comments == 0 && currentGameHeader.result == kResultUnknown &&
                  gameFileName[0] == '\0',
              "ended: nothing of the old game");
        Check(commentsDlg->GetDlgItemText(kCtlCommentText).isEmpty() &&
                  gameStatusDlg->GetDlgItemText(kCtlHeaderComment).isEmpty() && !fileNamed,
              "the windows show the new game");
        testing_support::PlayUserMoves({"b2d2", "b9c7"});
        commentsDlg->Refresh();
        Check(moveComments[2].text == nullptr &&
                  commentsDlg->GetDlgItemText(kCtlCommentText).isEmpty(),
              "the new game's moves have no comment");
      }
      CloseFrame();
    });
  }
}

TEST_F(BoardSetupTest, CtrlRightClickCopiesTheFenAndTheMenuOpens) {
  RUN_SCENARIO({
    StartProgram();
    asyncKeyStateHook = [](int key) { return key == 0x11; };
    pMainFrame->OnCmdMsg(kCmdSetupPosition);
    pMainFrame->OnEmptyBoard();
    pMainFrame->OnCmdMsg(kCmdAddBlackCannon);
    Send(QEvent::MouseButtonPress, Centre(4, 4), Qt::RightButton);
    const std::string fen = "4k4/9/7c1/9/9/9/9/9/9/4K4 w";
    Check(GetClipboardText(200) == fen, "the set-up position's FEN on the clipboard");
    Check(boxes.size() == 1 && boxes[0] == QString::fromLatin1(fen.c_str()), "and in a box");
    QMenu* menu = nullptr;
    for (QMenu* m : pMainFrame->findChildren<QMenu*>())
      if (m->isVisible()) menu = m;
    Check(menu != nullptr && menu->actions().size() == 19 &&
              menu->actions()[0]->text() == "End setup position",
          "the set-up menu opens afterwards");
    if (menu != nullptr) menu->close();

    // The box itself is titled "board".
    messageBoxHook = nullptr;
    static QString caption;
    QTimer::singleShot(0, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        caption = box->windowTitle();
        box->accept();
      }
    });
    Send(QEvent::MouseButtonPress, Centre(4, 4), Qt::RightButton);
    Check(caption == "board", "the box is titled board");
    for (QMenu* m : pMainFrame->findChildren<QMenu*>()) m->close();
  });
}

}  // namespace
