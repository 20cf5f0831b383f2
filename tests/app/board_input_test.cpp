// The user's moves with the mouse and what the engine shows in answer: both
// input modes in all four turnings of the board, refused moves, replaying
// the stored game by hand, moves while the engine ponders, and the hint.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/binary_files.h"
#include "game/game_clock.h"
#include "game/header.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "res/dialogs.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/input_dlg.h"
#include "windows/options_sheet.h"

using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::MoveFromText;

namespace {

std::vector<int> sounds;

// Starts the program with English chosen, sounds recorded, the engine on
// black's side only and no pondering.
CMainFrame* StartProgram() {
  testing_support::OffscreenApplication();
  testing_support::OpenStore()->WriteInt("Options", "Language", 1);
  theApp.m_lpCmdLine = "";
  theApp.InitInstance();
  pMainFrame->NewGame();  // not the game an earlier scenario autosaved
  soundEnabled = 1;
  soundPlayHook = [](int id) {
    sounds.push_back(id);
    return true;
  };
  Ponder = 0;
  enginePlaysSide0 = 0;
  enginePlaysSide1 = 1;
  levelMode = kLevelSearchDepth;
  searchDepth = 2;
  return pMainFrame;
}

// Puts a position on the board as the start of a new game.
void ShowFen(const char* fen) {
  testing_support::SetUpFen(fen);
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = sideToMove;
  pMainFrame->BoardView()->Invalidate();
}

// The top-left corner of a square in the client area.
QPoint Corner(Square sq) {
  int32_t x, y;
  pMainFrame->SquareToPixel(8 - FileOf(sq), 9 - RankOf(sq), x, y);
  return {x, y + toolbarBandHeight};
}

QPoint Centre(Square sq) {
  const int half = pMainFrame->squareSize / 2;
  return Corner(sq) + QPoint(half, half);
}

void SendMouse(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QWidget* view = pMainFrame->BoardView();
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), button, held,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(view, &event);
}

// One move by mouse in the frame's input mode: dragged, or two clicks.
void MouseMove(QPoint from, QPoint to) {
  const bool drag = pMainFrame->inputMode == 1;
  SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
  SendMouse(drag ? QEvent::MouseMove : QEvent::MouseButtonRelease, drag ? (from + to) / 2 : from,
            drag ? Qt::LeftButton : Qt::NoButton);
  if (!drag) SendMouse(QEvent::MouseButtonPress, to, Qt::LeftButton);
  SendMouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
}

void MouseMove(const char* text) {
  const Move m = MoveFromText(text);
  MouseMove(Centre(MoveFrom(m)), Centre(MoveTo(m)));
}

// The client picture of a square as shown now.
QImage SquareBlock(Square sq) {
  pMainFrame->BoardView()->PaintPending();
  const int s = pMainFrame->squareSize;
  return pMainFrame->BoardView()->Surface().copy(QRect(Corner(sq), QSize(s, s)));
}

// Whether the corner bar of the last-move mark stands on `sq` on screen.
bool MarkedOnScreen(Square sq, bool large) {
  const int s = pMainFrame->squareSize;
  const int o = (s - (large ? 9 * s / 10 : 8 * s / 10)) / 2;
  return (SquareBlock(sq).pixel(o, o) & 0xFFFFFF) == 0x1414F0;
}

// Red knight e1 pinned by the black chariot e5 against its king.
constexpr const char* kPinnedKnightFen =
    "rnbakabn1/9/1c5c1/p1p1p1p1p/4r4/9/P1P3P1P/1C5C1/4N4/R1BAKABNR w";
// The same pin, where red's a0a9 checks and black's only answer, d9d8,
// keeps it: the engine's reply is the same at any depth.
constexpr const char* kPinKeptByForcedReplyFen = "3k5/9/9/9/4r4/9/9/9/4N4/R3K4 w";

using BoardInputTest = testing_support::ScenarioTest;

TEST_F(BoardInputTest, AMouseMoveInEachModeAndTurningIsAnsweredByTheEngine) {
  for (int mode = 0; mode <= 1; ++mode) {
    for (int turning = 0; turning < 4; ++turning) {
      SCOPED_TRACE(mode * 10 + turning);
      RUN_SCENARIO({
        CMainFrame* f = StartProgram();
        f->inputMode = mode;
        f->rotation = turning >> 1;
        f->mirror = turning & 1;
        f->Relayout(1);
        MouseMove("h2e2");
        Check(gamePly == 2 && history[1].move == MoveFromText("h2e2"), "the user's move");
        Check(history[1].engineMove == 0 && history[2].engineMove == 1, "then the engine's");
        Check(std::strstr(history[1].wxfText, "C2.5") != nullptr, "the move's notation");
        Check(sounds == std::vector<int>({kSoundMove, kSoundMove}), "two move sounds");
        Check(engineState == kEngineIdle && gameClock.runningSide == kRed, "red's turn again");
        const Move reply = history[2].move;
        Check(displayBoard[MoveTo(reply)] > 16 && displayBoard[MoveFrom(reply)] == 0,
              "the reply is shown");
        Check(MarkedOnScreen(MoveFrom(reply), false) && MarkedOnScreen(MoveTo(reply), true),
              "the reply's squares are marked on screen");
        Check(f->heldPiece == -1 && f->sourceColumn == -1, "nothing stays held");
        CloseFrame();
      });
    }
  }
}

// Moves that change nothing: refused with the refusal sound, or let go.
TEST_F(BoardInputTest, RefusedMovesChangeNothing) {
  struct Case {
    const char* fen;  // null: the opening position
    const char* from;
    const char* to;   // null: released off the board
    int inputMode;
    bool refusalSound;
  };
  const Case cases[] = {
      {nullptr, "h2", "g4", 1, true},           // not a cannon's move
      {nullptr, "h2", nullptr, 1, true},        // dropped beside the board
      {nullptr, "h2", nullptr, 0, true},        // second click beside the board
      {kPinnedKnightFen, "e1", "c2", 1, true},  // leaves the king in check
      {nullptr, "h9", "g7", 1, false},          // black's knight while red moves
      {nullptr, "h9", "g7", 0, false},
      {nullptr, "h2", "h2", 1, false},  // put back
      {nullptr, "h2", "h2", 0, false},  // the selected piece clicked again
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + (c.to != nullptr ? c.to : "off"));
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      f->inputMode = c.inputMode;
      if (c.fen != nullptr) ShowFen(c.fen);
      int8_t before[kBoardSize];
      std::memcpy(before, displayBoard, sizeof before);
      const Square from = MoveFromText(std::string(c.from) + "a0") >> 16;
      const QPoint to = c.to != nullptr ? Centre(MoveFromText(std::string("a0") + c.to) & 0xFFFF)
                                        : QPoint(10 * f->squareSize + 5, Centre(from).y());
      MouseMove(Centre(from), to);
      Check(sounds == (c.refusalSound ? std::vector<int>{kSoundRefusedMove} : std::vector<int>{}),
            "the refusal sound, or none");
      Check(gamePly == 0 && gameLength == 0 && engineState == kEngineIdle, "no move");
      Check(std::memcmp(before, displayBoard, sizeof before) == 0, "the board as it was");
      Check(f->heldPiece == -1, "nothing held");
      CloseFrame();
    });
  }
  // A full game record takes no further move.
  RUN_SCENARIO({
    StartProgram();
    gamePly = gameLength = kMaxGameMoves;
    MouseMove("h2e2");
    Check(sounds == std::vector<int>{kSoundRefusedMove} && gamePly == kMaxGameMoves, "refused");
    gamePly = gameLength = 0;
    CloseFrame();
  });
}

TEST_F(BoardInputTest, ReplayingTheStoredNextMoveKeepsTheRestOfTheGame) {
  RUN_SCENARIO({
    StartProgram();
    enginePlaysSide1 = 0;
    for (const char* m : {"h2e2", "h9g7", "b0c2"}) MouseMove(m);
    Check(gamePly == 3 && gameLength == 3, "three moves by hand");
    TakeBackOne();
    TakeBackOne();
    ShowGamePosition();
    MouseMove("h9g7");
    Check(gamePly == 2 && gameLength == 3 && history[3].move == MoveFromText("b0c2"),
          "the stored game goes on");
    MouseMove("b0a2");
    Check(gamePly == 3 && gameLength == 3 && history[3].move == MoveFromText("b0a2"),
          "another move replaces it");
    TakeBackOne();
    TakeBackOne();
    ShowGamePosition();
    MouseMove("b9c7");
    Check(gamePly == 2 && gameLength == 2, "a new move cuts the rest");
    CloseFrame();
  });
}

// While the engine ponders after its reply, the user plays the predicted
// move (a hit, at the search's first poll or later), another move (a miss),
// or a move that leaves the king in check (refused once the search has
// unwound). The ponder after the engine's next reply ends the scenario.
enum class PonderCase { kHitAtStart, kHit, kMiss, kRefused };
PonderCase ponderCase;
Move userMove = 0;
bool checkedWhileThinking = false;
int32_t actedPly = 0, polls = 0;

void OnPonderPoll() {
  const bool hit = ponderCase == PonderCase::kHit || ponderCase == PonderCase::kHitAtStart;
  if (engineState == kEngineThinking && userMove != 0 && !checkedWhileThinking) {
    checkedWhileThinking = true;
    Check(gameClock.runningSide == kBlack, "the clock runs for the engine once the move is made");
    Check(!hit || moveTimeLimitMs == static_cast<uint32_t>(thinkingTime), "the reply's limit");
  }
  if (engineState != kEnginePondering || stopRequested != 0) return;
  if (userMove != 0) {
    if (gamePly >= actedPly + 2) RequestStop(kRequestNone);
    return;
  }
  if (ponderCase != PonderCase::kHitAtStart && ++polls < 20) return;
  actedPly = gamePly;
  const Move predicted = static_cast<Move>(ponderMove);
  userMove = hit ? predicted
             : ponderCase == PonderCase::kRefused ? MoveFromText("e1c2")
             : MoveFromText(predicted == MoveFromText("a3a4") ? "i3i4" : "a3a4");
  if (ponderCase == PonderCase::kRefused)
    Check(displayBoard[MoveFromText("e5e1") >> 16] > 16, "the pin still holds");
  MouseMove(Centre(MoveFrom(userMove)), Centre(MoveTo(userMove)));
  if (hit) {
    Check(engineState == kEngineThinking && stopRequested == 0, "the search goes on");
    Check(gameClock.runningSide == kBlack && displayBoard[MoveFrom(userMove)] == 0,
          "the predicted move is shown and the engine's clock runs");
  } else {
    Check(pendingRequest == kRequestUserMoveInstead && pendingUserMove == userMove, "stored");
    Check(gameClock.runningSide == kRed, "the clock waits for the move to be made");
  }
}

TEST_F(BoardInputTest, MovesWhileTheEnginePonders) {
  for (PonderCase c :
       {PonderCase::kHitAtStart, PonderCase::kHit, PonderCase::kMiss, PonderCase::kRefused}) {
    SCOPED_TRACE(static_cast<int>(c));
    RUN_SCENARIO({
      StartProgram()->inputMode = 1;
      Ponder = 1;
      levelMode = kLevelTimePerMove;
      thinkingTime = 150;
      ponderCase = c;
      if (c == PonderCase::kRefused) ShowFen(kPinKeptByForcedReplyFen);
      pumpMessagesHook = OnPonderPoll;
      MouseMove(c == PonderCase::kRefused ? "a0a9" : "h2e2");
      pumpMessagesHook = nullptr;
      Check(userMove != 0 && engineState == kEngineIdle, "the user moved; idle at the end");
      if (c == PonderCase::kRefused) {
        Check(gamePly == 2 && gameLength == 2 && sounds.back() == kSoundRefusedMove,
              "the refused move is not played and sounds refused");
        Check(gameClock.runningSide == kRed, "still red's time");
      } else {
        Check(gamePly == 4 && gameLength == 4 && history[3].move == userMove &&
                  history[4].engineMove == 1 && checkedWhileThinking,
              "the user's move and the engine's reply");
      }
      CloseFrame();
    });
  }
}

// The hint slides the piece to its target and back; a move made while the
// hint's search runs stops it, and is made and answered instead.
QImage blockTo;
bool pauseSeen = false;

TEST_F(BoardInputTest, TheHintShowsTheMoveAndChangesNothing) {
  RUN_SCENARIO({  // a stored hint that captures
    CMainFrame* f = StartProgram();
    f->animationSpeed = 1;
    f->alphaFactor = 255;
    const Move capture = MoveFromText("h2h9");
    ponderMove = static_cast<int32_t>(capture);
    blockTo = SquareBlock(MoveTo(capture));
    const QImage whole = f->BoardView()->Surface().copy();
    CMainFrame::hintPauseHook = [](int32_t ms) {
      pauseSeen = ms == 1000;
      const Move m = MoveFromText("h2h9");
      const QPoint from = Corner(MoveFrom(m)) - QPoint(0, toolbarBandHeight);
      const int s = pMainFrame->squareSize;
      Check(SquareBlock(MoveFrom(m)) ==
                pMainFrame->boardBitmap->GetImage().copy(QRect(from, QSize(s, s))).convertToFormat(
                    QImage::Format_RGB32),
            "the from-square shows the empty board");
      Check(SquareBlock(MoveTo(m)) != blockTo, "the cannon covers the knight");
    };
    f->OnHint();
    Check(pauseSeen, "one second's pause with the piece on its target");
    SquareBlock(MoveTo(capture));  // paints what the hint invalidated
    Check(f->BoardView()->Surface() == whole, "the board is restored");
    Check(gamePly == 0 && displayBoard[MoveTo(capture)] != 0, "the position is unchanged");
    CloseFrame();
  });
  RUN_SCENARIO({  // the hint's search, with a move made meanwhile
    CMainFrame* f = StartProgram();
    pauseSeen = false;
    CMainFrame::hintPauseHook = [](int32_t) { pauseSeen = true; };
    pumpMessagesHook = [] {
      if (!HintSearchRunning() || UserMoveWaiting()) return;
      MouseMove("h2e2");
      Check(UserMoveWaiting(), "the move waits for the hint's search");
    };
    const bool shown = f->OnHint();
    pumpMessagesHook = nullptr;
    Check(!shown && !pauseSeen, "the hint gave way to the move");
    Check(gamePly == 2 && gameLength == 2 && history[1].move == MoveFromText("h2e2") &&
              history[2].engineMove == 1,
          "the move was made and answered");
    Check(std::count(sounds.begin(), sounds.end(), kSoundRefusedMove) == 0, "no refusal");
    Check(engineState == kEngineIdle && shownSideToMove == kRed, "red to move, the engine idle");
    CloseFrame();
  });
  RUN_SCENARIO({  // no move at all
    CMainFrame* f = StartProgram();
    ShowFen("4k4/9/9/9/9/9/9/9/4r4/r3K4 w");
    static QString shown;
    messageBoxHook = [](const QString& text, int) {
      shown = text;
      return static_cast<int>(kAnswerOk);
    };
    f->OnHint();
    Check(shown == "No clue", "no clue");
    CloseFrame();
  });
}

// The user's move against the prediction waits for the ponder search to
// unwind; what the user does in the same instant comes after it: Left
// takes that move back, a second move is refused, a close saves the game
// with the move, and the engine answers the move after the options sheet,
// a cancelled Goto move or load, a refused paste, not after a Goto to
// another move. Both at the search's first pumping (before its root moves
// exist) and later.
void PressKey(int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(pMainFrame, &press);
}

struct WaitingMoveCase {
  const char* name;
  std::function<void()> act;  // right after the move was handed to the search
  std::function<void()> check;
};
const WaitingMoveCase* waitingCase = nullptr;
int waitingPoll = 1;  // the ponder search's pumping at which the user acts

void OnWaitingMovePoll() {
  if (engineState != kEnginePondering || stopRequested != 0) return;
  if (userMove != 0) {
    if (gamePly >= actedPly + 2) RequestStop(kRequestNone);
    return;
  }
  if (++polls < waitingPoll) return;
  actedPly = gamePly;
  const Move predicted = static_cast<Move>(ponderMove);
  userMove = MoveFromText(predicted == MoveFromText("i3i4") ? "a3a4" : "i3i4");
  MouseMove(Centre(MoveFrom(userMove)), Centre(MoveTo(userMove)));
  Check(UserMoveWaiting() && pendingUserMove == userMove, "the move waits for the search");
  waitingCase->act();
}

// The game record holds the waiting move and the engine's reply to it.
bool EngineAnswered() {
  return gameLength == 4 && history[3].move == userMove && history[4].engineMove == 1;
}

// Chooses a command whose dialog is answered once shown.
template <typename Dialog>
std::function<void()> Choose(int command, std::function<void(Dialog*)> answer) {
  return [command, answer] {
    testing_support::AnswerWhenShown<Dialog>(answer);
    pMainFrame->OnCmdMsg(command);
  };
}

TEST_F(BoardInputTest, WhatFollowsAWaitingMoveComesAfterIt) {
  const WaitingMoveCase cases[] = {
      {"Left", [] { PressKey(Qt::Key_Left); },
       [] {
         Check(gamePly == 2 && gameLength == 3 && history[3].move == userMove,
               "the move was made and taken back, kept to replay");
         Check(engineState == kEngineIdle && gameClock.runningSide == kRed, "red to move");
         PressKey(Qt::Key_Right);
         Check(gamePly == 3 && history[3].move == userMove, "Right replays it");
       }},
      {"a second move",
       [] {
         MouseMove("h0g2");
         Check(pendingUserMove == userMove && !sounds.empty() && sounds.back() == kSoundRefusedMove,
               "the second move is refused, the first still waits");
       },
       [] { Check(gamePly == 4 && EngineAnswered(), "the first move was played and answered"); }},
      {"a close", [] { pMainFrame->close(); },
       [] {
         const std::string path = std::string(installDirectory) + "/CurrentGameV1.vgf";
         GameHeader header{};
         Check(closeRequested == 0 && LoadBinaryGame(path.c_str(), &header, 1) == kBinaryLoadOk &&
                   gameLength == 3 && history[3].move == userMove,
               "the autosave holds the move");
       }},
      {"the options sheet, OK",
       Choose<COptionsSheet>(kCmdProperties, [](COptionsSheet* s) { s->PressOK(); }),
       [] { Check(gamePly == 4 && EngineAnswered(), "the engine answered after the sheet"); }},
      {"the options sheet, Cancel",
       Choose<COptionsSheet>(kCmdProperties, [](COptionsSheet* s) { s->PressCancel(); }),
       [] { Check(gamePly == 4 && EngineAnswered(), "the engine answered after the sheet"); }},
      {"Goto move, cancelled", Choose<CInputDlg>(kCmdGotoMove, [](CInputDlg* d) { d->OnCancel(); }),
       [] { Check(gamePly == 4 && EngineAnswered(), "the engine answered after the dialog"); }},
      {"a cancelled load",
       [] {
         fileDialogHook = [](const FileDialogRequest&, std::string*) { return false; };
         pMainFrame->OnCmdMsg(kCmdLoadGame);
       },
       [] { Check(gamePly == 4 && EngineAnswered(), "the engine answered after the dialog"); }},
      {"a refused Paste FEN",
       [] {
         QApplication::clipboard()->setText("not a position");
         messageBoxHook = [](const QString&, int) { return static_cast<int>(kAnswerOk); };
         pMainFrame->OnCmdMsg(kCmdPasteFenPosition);
       },
       [] { Check(gamePly == 4 && EngineAnswered(), "the engine answered after the refusal"); }},
      {"Goto move 0",
       Choose<CInputDlg>(kCmdGotoMove,
                         [](CInputDlg* d) {
                           d->SetDlgItemText(kCtlInputText, "0");
                           d->OnOK();
                         }),
       [] {
         Check(gamePly == 0 && gameLength == 3 && history[3].move == userMove,
               "the game went to its start with the move kept; the engine did not answer");
       }},
  };
  for (const WaitingMoveCase& c : cases) {
    for (const int poll : {1, 3}) {
      SCOPED_TRACE(std::string(c.name) + " at pumping " + std::to_string(poll));
      RUN_SCENARIO({
        waitingPoll = poll;
        StartProgram()->inputMode = 1;
        Ponder = 1;
        levelMode = kLevelTimePerMove;
        thinkingTime = 150;
        waitingCase = &c;
        pumpMessagesHook = OnWaitingMovePoll;
        MouseMove("h2e2");
        pumpMessagesHook = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Check(userMove != 0 && engineState == kEngineIdle, "the user moved; idle at the end");
        c.check();
        CloseFrame();
      });
    }
  }
}

}  // namespace
