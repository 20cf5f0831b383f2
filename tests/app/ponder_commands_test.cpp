// Commands chosen while the engine ponders or thinks, driven from the
// engine's message pumping: after a ponder hit a save keeps the user's move
// and the think goes on, a take back leaves the move to replay; a move that
// replaces another at its ply loses the old move's comment and mark; a close
// is carried out in every engine state; the running clock is the side to
// move's; the thinking arrows go when the pondering stops.
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "app/board_view.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/binary_files.h"
#include "game/comments.h"
#include "game/fen_paste.h"
#include "game/game_clock.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/options_sheet.h"
#include "windows/side_to_move_dlg.h"

namespace fs = std::filesystem;
using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::MoveFromText;

namespace {

using testing_support::AnswerWhenShown;

std::string dialogAnswer;  // the path typed in the file dialog
int dialogsShown = 0;

// A think that ends by itself, and one that lasts until the driver below
// has acted in it on any machine (the search's own cap ends it at worst).
constexpr int32_t kShortThinkMs = 300;
constexpr int32_t kDriverThinkMs = 60000;

// Books off, pondering on, 300 ms per move; dialogs answered by the test.
CMainFrame* StartProgram() {
  testing_support::StartProgramInEnglish();
  bookMode1 = bookMode2 = kBookOff;
  Ponder = 1;
  levelMode = kLevelTimePerMove;
  thinkingTime = kShortThinkMs;
  exactTime = 1;
  fileDialogHook = [](const FileDialogRequest&, std::string* path) {
    ++dialogsShown;
    *path = dialogAnswer;
    return !dialogAnswer.empty();
  };
  messageBoxHook = [](const QString&, int) { return static_cast<int>(kAnswerOk); };
  return pMainFrame;
}

void PressKey(int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(pMainFrame, &press);
}

// The clock runs for the side to move on the board, or for nobody.
bool ClockIsTheSideToMoves() {
  return gameClock.runningSide == -1 ||
         gameClock.runningSide == static_cast<int32_t>(shownSideToMove);
}

// What the pumping hook of one scenario does: `act` runs once, at the
// `poll`-th pumping in engine state `state` (ponder hits count as a
// think); every pumping checks the clock. A think the driver acts in lasts
// until it has acted; the searches after the act are short again.
struct Driver {
  int32_t state = kEnginePondering;
  int poll = 5;
  std::function<void()> act;
  bool hit = false;       // Space at the 5th ponder pumping first
  int count = 0, wrongClock = 0;
  bool acted = false, hitDone = false;
  Move predicted = 0;
};
Driver driver;

void DrivePump() {
  Driver& d = driver;
  if (!ClockIsTheSideToMoves()) ++d.wrongClock;
  if (stopRequested != 0) return;
  if (d.acted) {
    // Later ponder searches end at once.
    if (engineState == kEnginePondering) RequestStop(kRequestNone);
    return;
  }
  if (d.hit && !d.hitDone && engineState == kEnginePondering && ++d.count == 5) {
    d.predicted = static_cast<Move>(ponderMove);
    d.hitDone = true;
    d.count = 0;
    if (d.state == kEngineThinking) thinkingTime = kDriverThinkMs;  // the think after the hit
    PressKey(Qt::Key_Space);
    return;
  }
  if (engineState != d.state || (d.hit && !d.hitDone)) return;
  if (++d.count < d.poll) return;
  d.acted = true;
  thinkingTime = kShortThinkMs;
  d.act();
}

// Runs `start` (which makes the engine search) with the driver `d`.
void RunWithDriver(Driver d, const std::function<void()>& start) {
  driver = std::move(d);
  // A think waited for without a ponder hit is the first search.
  if (driver.state == kEngineThinking && !driver.hit) thinkingTime = kDriverThinkMs;
  pumpMessagesHook = DrivePump;
  start();
  pumpMessagesHook = nullptr;
}

// The user plays h2e2; the engine answers, ponders, and the driver acts.
void PlayWithDriver(CMainFrame* f, Driver d) {
  RunWithDriver(std::move(d), [f] { f->PlayUserMove(MoveFromText("h2e2")); });
}

std::string AutosavePath() { return std::string(installDirectory) + "/CurrentGameV1.vgf"; }

int MovesSaved(const std::string& path) {
  GameHeader header{};
  return LoadBinaryGame(path.c_str(), &header, 1) == kBinaryLoadOk ? gameLength : -1;
}

using PonderCommandsTest = testing_support::ScenarioTest;

// The user plays the predicted move (Space), then saves or takes back
// while the engine thinks on its reply.
TEST_F(PonderCommandsTest, AfterAPonderHitASaveKeepsTheMoveAndATakeBackLeavesItToReplay) {
  for (const int command : {kCmdSaveGame, kCmdTakeBackOneMove}) {
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      const fs::path file = root_ / "hit.txt";  // no game information editor
      dialogAnswer = file.string();
      static int cmd = 0;
      cmd = command;
      PlayWithDriver(f, {.state = kEngineThinking, .poll = 1, .act = [] {
                           pMainFrame->OnCmdMsg(cmd);
                         }, .hit = true});
      const Move predicted = driver.predicted;
      Check(driver.acted && predicted != 0, "a ponder hit, then the command");
      Check(engineState == kEngineIdle && driver.wrongClock == 0, "idle; the clock followed");
      if (command == kCmdSaveGame) {
        Check(gamePly == 4 && gameLength == 4 && history[3].move == predicted &&
                  history[4].engineMove == 1,
              "the user's move stayed and the engine answered it");
        GameHeader header{};
        Check(dialogsShown == 1 && LoadGameFile(file.string().c_str(), &header, 1) == kLoadOk &&
                  gameLength == 3 && history[3].move == predicted,
              "the file holds the user's move");
      } else {
        Check(gamePly == 2 && gameLength == 3 && history[3].move == predicted,
              "taken back, kept to replay");
        Check(ClockIsTheSideToMoves(), "the clock is the side to move's");
        PressKey(Qt::Key_Right);
        Check(gamePly == 3 && history[3].move == predicted, "Right replays it");
      }
      CloseFrame();
    });
  }
}

// A comment and a mark on the move at a ply go when another move takes
// that ply.
TEST_F(PonderCommandsTest, AMoveReplacedAtItsPlyLosesItsCommentAndMark) {
  struct Case {
    const char* name;
    int32_t ply;  // the commented ply
    std::function<void(CMainFrame*)> act;
  };
  const Case cases[] = {
      {"next best move while idle", 2,
       [](CMainFrame* f) {
         Ponder = 0;
         f->PlayUserMove(MoveFromText("h2e2"));
         SetComment(2, "reply");
         SetAnnotation(2, kMarkGood);
         f->OnCmdMsg(kCmdNextBestMove);
       }},
      {"next best move while pondering", 2,
       [](CMainFrame* f) {
         PlayWithDriver(f, {.act = [] {
                              SetComment(2, "reply");
                              SetAnnotation(2, kMarkGood);
                              pMainFrame->OnCmdMsg(kCmdNextBestMove);
                            }});
       }},
      {"the engine's move after a take back", 2,
       [](CMainFrame* f) {
         Ponder = 0;
         f->PlayUserMove(MoveFromText("h2e2"));
         SetComment(2, "reply");
         SetAnnotation(2, kMarkGood);
         PressKey(Qt::Key_Left);
         f->OnCmdMsg(kCmdPlayCurrentPosition);
       }},
      // The old third move of a game cut by the engine's reply.
      {"a move against the prediction", 3,
       [](CMainFrame* f) {
         PlayWithDriver(f, {.act = [] {
                              SetComment(3, "old");
                              SetAnnotation(3, kMarkGood);
                              const Move other = MoveFromText(
                                  static_cast<Move>(ponderMove) == MoveFromText("a3a4") ? "i3i4"
                                                                                        : "a3a4");
                              pendingUserMove = other;
                              RequestStop(kRequestUserMoveInstead);
                            }});
       }},
  };
  for (const Case& c : cases) {
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      c.act(f);
      Check(gamePly >= c.ply && history[c.ply].move != 0, c.name);
      const MoveComment& left = moveComments[c.ply];
      Check((left.text == nullptr || left.text[0] == '\0') && left.annotation == kMarkNone, c.name);
      CloseFrame();
    });
  }
}

// A close in each engine state, and while a completion runs: the game is
// autosaved and the window goes.
TEST_F(PonderCommandsTest, ACloseIsCarriedOutInEveryEngineState) {
  struct Case {
    const char* name;
    int32_t state;
    bool hit;
    int32_t saved;  // moves in the autosave
    std::function<void()> act;
  };
  const Case cases[] = {
      {"thinking", kEngineThinking, false, 1, [] { pMainFrame->close(); }},
      {"pondering", kEnginePondering, false, 2, [] { pMainFrame->close(); }},
      {"after a ponder hit", kEngineThinking, true, 3, [] { pMainFrame->close(); }},
      {"as the ponder stops by itself", kEnginePondering, false, 2,
       [] {
         pMainFrame->OnStopThinking();
         pMainFrame->close();
       }},
      // The user's move handed to the search after the close: the close wins.
      {"then a move against the prediction", kEnginePondering, false, 2,
       [] {
         pMainFrame->close();
         pendingUserMove = MoveFromText(static_cast<Move>(ponderMove) == MoveFromText("a3a4")
                                            ? "i3i4"
                                            : "a3a4");
         RequestStop(kRequestUserMoveInstead);
       }},
  };
  for (const Case& c : cases) {
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      dialogAnswer = (root_ / "missing.vgf").string();
      PlayWithDriver(f, {.state = c.state, .poll = 2, .act = c.act, .hit = c.hit});
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      Check(driver.acted, c.name);
      Check(pMainFrame == nullptr || !pMainFrame->isVisible(), "the window went");
      Check(closeRequested == 0 && MovesSaved(AutosavePath()) == c.saved, "the game autosaved");
    });
  }
  RUN_SCENARIO({  // while the completion of the engine's mate shows its message
    CMainFrame* f = StartProgram();
    Check(PasteFenPosition("3k4r/9/9/9/9/9/2P6/9/r8/4K4 w") != 0, "the position");
    messageBoxHook = [](const QString&, int) {
      pMainFrame->close();
      return static_cast<int>(kAnswerOk);
    };
    f->PlayUserMove(MoveFromText("c3c4"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Check(pMainFrame == nullptr || !pMainFrame->isVisible(), "the window went");
    Check(closeRequested == 0 && MovesSaved(AutosavePath()) == 2, "the game and the mate saved");
  });
  RUN_SCENARIO({  // idle
    CMainFrame* f = StartProgram();
    Ponder = 0;
    f->PlayUserMove(MoveFromText("h2e2"));
    CloseFrame();
    Check(pMainFrame == nullptr && MovesSaved(AutosavePath()) == 2, "idle: closed and saved");
  });
}

// After each command the clock runs for the side to move, also while the
// engine thinks after it.
TEST_F(PonderCommandsTest, TheRunningClockIsTheSideToMoves) {
  struct Case {
    const char* name;
    std::function<void(CMainFrame*)> act;
  };
  const Case cases[] = {
      {"take back during a think",
       [](CMainFrame* f) {
         PlayWithDriver(f, {.state = kEngineThinking, .act = [] { PressKey(Qt::Key_Left); }});
         Check(driver.acted && gamePly == 0, "taken back during the think");
       }},
      {"take back and replay while idle",
       [](CMainFrame* f) {
         Ponder = 0;
         f->PlayUserMove(MoveFromText("h2e2"));
         PressKey(Qt::Key_Left);
         Check(ClockIsTheSideToMoves(), "after the take back");
         PressKey(Qt::Key_Right);
       }},
      {"next best move while pondering",
       [](CMainFrame* f) {
         PlayWithDriver(f, {.act = [] { pMainFrame->OnCmdMsg(kCmdNextBestMove); }});
         Check(driver.acted && gamePly == 2, "another reply");
       }},
      {"F5 after a take back during a think",
       [](CMainFrame* f) {
         PlayWithDriver(f, {.state = kEngineThinking, .act = [] { PressKey(Qt::Key_Left); }});
         Check(driver.acted && gamePly == 0 && driver.wrongClock == 0, "taken back to red to move");
         // The engine thinks for red until stopped and plays: every pumping
         // checks the clock.
         RunWithDriver({.state = kEngineThinking, .act = [] { pMainFrame->OnStopThinking(); }},
                       [] { PressKey(Qt::Key_F5); });
         Check(driver.acted && gamePly == 1, "F5: the engine played red's move");
       }},
      {"set-up ended with black to move",
       [](CMainFrame* f) {
         Ponder = 0;
         f->PlayUserMove(MoveFromText("h2e2"));
         f->OnCmdMsg(kCmdSetupPosition);
         AnswerWhenShown<CSideToMoveDlg>([](CSideToMoveDlg* dialog) {
           dialog->redToMove = 0;
           dialog->OnOK();
         });
         f->OnCmdMsg(kCmdEndSetupPosition);
       }},
  };
  for (const Case& c : cases) {
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      c.act(f);
      Check(driver.wrongClock == 0, c.name);
      Check(engineState == kEngineIdle && ClockIsTheSideToMoves(), c.name);
      CloseFrame();
    });
  }
}

// The predicted move's arrow and the thinking line are drawn while the
// engine ponders and go when the pondering stops: the options sheet
// confirmed, and the engine's own stop.
TEST_F(PonderCommandsTest, TheArrowsGoWhenThePonderingStops) {
  for (const bool sheet : {true, false}) {
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      showComputingMoves = 1;
      static bool drawn = false;
      static bool viaSheet = false;
      viaSheet = sheet;
      PlayWithDriver(f, {.poll = 20, .act = [] {
                           drawn = drawnPonderMove != 0;
                           if (viaSheet) {
                             AnswerWhenShown<COptionsSheet>(
                                 [](COptionsSheet* s) { s->PressOK(); });
                             pMainFrame->OnCmdMsg(kCmdProperties);
                           } else {
                             pMainFrame->OnStopThinking();
                           }
                         }});
      Check(drawn && engineState == kEngineIdle, "arrows drawn, then the ponder stopped");
      f->BoardView()->PaintPending();
      const QImage shown = f->BoardView()->Surface().copy();
      f->BoardView()->Invalidate();
      f->BoardView()->PaintPending();
      Check(shown == f->BoardView()->Surface(), "the board shows no arrow");
      CloseFrame();
    });
  }
}

// A hint while the engine ponders slides the predicted move there and back;
// the ponder's arrows are on the board again afterwards.
TEST_F(PonderCommandsTest, TheArrowsComeBackAfterAHintWhileThePonderGoesOn) {
  RUN_SCENARIO({
    CMainFrame* f = StartProgram();
    showComputingMoves = 1;
    CMainFrame::hintPauseHook = [](int32_t) {};
    PlayWithDriver(f, {.poll = 20, .act = [] {
                         CBoardView* view = pMainFrame->BoardView();
                         view->PaintPending();
                         const QImage before = view->Surface().copy();
                         view->Invalidate();
                         view->PaintPending();
                         const QImage plain = view->Surface().copy();
                         Check(drawnPonderMove != 0 && before != plain, "arrows before the hint");
                         pMainFrame->OnCmdMsg(kCmdHint);
                         view->PaintPending();
                         Check(engineState == kEnginePondering && stopRequested == 0,
                               "the ponder goes on");
                         Check(view->Surface() == before, "the same arrows after the hint");
                       }});
    Check(driver.acted, "the hint was asked for while pondering");
    CloseFrame();
  });
}

}  // namespace
