// The program while the engine searches: the board and the game windows
// show the game on the board at every message pumping of a ponder search
// and after a ponder hit; a load or save chosen during a think runs once
// the search has unwound and leaves every window showing the game as it
// then stands; Paste FEN, Goto move, the options sheet and set-up stop a
// ponder search and act, and only a think on the engine's own move refuses
// them; Paste FEN in set-up mode changes only the position being set up.
#include <QApplication>
#include <QClipboard>
#include <QTextBlock>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/comments.h"
#include "game/fen_paste.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/comments_dlg.h"
#include "windows/game_info_dlg.h"
#include "windows/input_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/options_sheet.h"
#include "windows/side_windows.h"

namespace fs = std::filesystem;
using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::MoveFromText;

namespace {

using testing_support::AnswerWhenShown;

std::string dialogAnswer;  // the path typed in the file dialog, empty: cancel
int dialogsShown = 0;

// The program with the move list and comments windows open, books off, the
// engine answering either side and long thinks (a think ends when a command
// stops it), file dialogs and message boxes answered by the test.
CMainFrame* StartProgram() {
  testing_support::StartProgramInEnglish();
  bookMode1 = bookMode2 = kBookOff;
  Ponder = 0;
  levelMode = kLevelTimePerMove;
  thinkingTime = 60000;
  exactTime = 1;
  CMoveListWnd::CreateList(pMainFrame);
  CCommentsDlg::CreateAndShow(pMainFrame);
  fileDialogHook = [](const FileDialogRequest&, std::string* path) {
    ++dialogsShown;
    // A think that goes on after the dialog ends soon.
    thinkingTime = 300;
    *path = dialogAnswer;
    return !dialogAnswer.empty();
  };
  messageBoxHook = [](const QString&, int) { return static_cast<int>(kAnswerOk); };
  return pMainFrame;
}

// The characters of the move list shown as the current move.
QString HighlightedMoves() {
  QString out;
  const QRgb colour = ColorRefToQRgb(kMoveListCurrentColour);
  for (QTextBlock b = moveListWnd->Edit()->document()->begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().foreground().color().rgb() == colour)
        out += it.fragment().text();
  return out;
}

struct Screen {
  QImage board;
  QString list, current, commentLine;
  bool operator==(const Screen&) const = default;
};

Screen OnScreen() {
  pMainFrame->BoardView()->PaintPending();
  return {pMainFrame->BoardView()->Surface(), moveListWnd->Edit()->toPlainText(),
          HighlightedMoves(), commentsDlg->GetDlgItemText(kCtlCommentMoveLine)};
}

// Whether the screen already shows what a full repaint and refresh of
// every window would show.
bool ScreenIsCurrent() {
  const Screen shown = OnScreen();
  pMainFrame->BoardView()->Invalidate();
  pMainFrame->RefreshGameWindows();
  return shown == OnScreen();
}

using DeferredCommandsTest = testing_support::ScenarioTest;

// Ponder on the engine's answer to h2e2, then a ponder hit by Space: at
// every pumping the last-move mark, the move list and the comments window
// show the last move played (the engine's, then the user's predicted one).
// The think after the hit, which counts the time pondered, is stopped at
// its fifth pumping.
TEST_F(DeferredCommandsTest, TheWindowsFollowTheBoardDuringAPonderAndAfterAHit) {
  RUN_SCENARIO({
    CMainFrame* f = StartProgram();
    Ponder = 1;
    thinkingTime = 300;  // the think on h2e2
    static int polls = 0, wrong = 0, hitPolls = 0;
    static Move engineMove = 0, predicted = 0;
    pumpMessagesHook = [] {
      if (stopRequested != 0) return;
      const bool afterHit = predicted != 0;
      if (engineState == kEnginePondering && afterHit) {
        RequestStop(kRequestNone);  // the ponder after the engine's reply
        return;
      }
      // The think on the answer to h2e2 comes first.
      if (engineState != (afterHit ? kEngineThinking : kEnginePondering)) return;
      // The records up to the shown ply are the game's, also in a search.
      const Move last = afterHit ? predicted : history[gamePly - 1].move;
      if (!afterHit) engineMove = last;
      commentsDlg->Refresh();
      moveListWnd->Refresh();
      const int ply = afterHit ? 3 : 2;
      if (pMainFrame->LastShownMove() != last || commentsDlg->EditedPly() != ply ||
          HighlightedMoves().trimmed().isEmpty())
        ++wrong;
      if (afterHit) {
        if (++hitPolls == 5) pMainFrame->OnStopThinking();
      } else if (++polls == 30) {
        predicted = static_cast<Move>(ponderMove);
        thinkingTime = 60000;  // the think after the hit lasts until stopped
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QApplication::sendEvent(pMainFrame->BoardView(), &space);
      }
    };
    f->PlayUserMove(MoveFromText("h2e2"));
    pumpMessagesHook = nullptr;
    Check(polls == 30 && hitPolls == 5, "pondered, then thought after the hit");
    Check(wrong == 0, "every pumping showed the last move played");
    Check(gamePly == 4 && history[2].move == engineMove && history[3].move == predicted &&
              history[4].engineMove == 1,
          "the hit was played and answered");
    CloseFrame();
  });
}

// A load or save chosen while the engine thinks on its answer to h2e2: the
// dialog comes once the search has unwound; after it the board and the
// windows show the game as it stands. A save writes the game as the board
// showed it, h2e2 included and shown; a save, and a load that left the game
// as it was, let the engine answer.
TEST_F(DeferredCommandsTest, LoadAndSaveDuringAThinkShowTheGameAfterwards) {
  struct Case {
    int command;
    bool ok;
    int32_t ply, length;  // the game afterwards
  } const cases[] = {
      {kCmdSaveGame, false, 2, 2},  // the engine answered
      {kCmdSaveGame, true, 2, 2},   // saved, then the engine answered
      {kCmdLoadGame, false, 2, 2},  // the engine answered
      {kCmdLoadGame, true, 3, 3},   // the file's game
  };
  for (const Case& c : cases) {
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      // A save to a file that keeps the game information runs the editor.
      const fs::path file = root_ / (c.command == kCmdLoadGame ? "game.txt" : "game.egf");
      if (c.command == kCmdLoadGame) std::ofstream(file) << "c3c4\nc6c5\nh2e2\n";
      dialogAnswer = c.ok ? file.string() : std::string();
      static bool editorShown = false;
      editorShown = false;
      if (c.command == kCmdSaveGame && c.ok)
        AnswerWhenShown<CGameInfoDlg>([](CGameInfoDlg* dialog) {
          editorShown = true;
          dialog->OnOK();
        });
      static int command = 0;
      static bool posted = false;
      command = c.command;
      pumpMessagesHook = [] {
        if (engineState != kEngineThinking || posted) return;
        posted = true;
        pMainFrame->OnCmdMsg(command);
        Check(dialogsShown == 0, "the dialog waits for the search");
      };
      f->PlayUserMove(MoveFromText("h2e2"));
      pumpMessagesHook = nullptr;
      Check(posted && dialogsShown == 1 && engineState == kEngineIdle, "the command ran once");
      Check(gamePly == c.ply && gameLength == c.length, "the game afterwards");
      if (!(c.command == kCmdLoadGame && c.ok))
        Check(history[1].move == MoveFromText("h2e2") && history[2].engineMove == 1,
              "the engine answered h2e2 after the command");
      Check(ScreenIsCurrent(), "board, move list and comments show the game");
      if (c.command == kCmdSaveGame && c.ok) {
        Check(editorShown && fs::exists(file), "saved after the editor");
        Check(LoadGameFile(file.string().c_str(), &currentGameHeader, 1) == kLoadOk &&
                  gameLength == 1 && gamePly == 1 && history[1].move == MoveFromText("h2e2"),
              "the file holds h2e2, shown");
      }
      CloseFrame();
    });
  }
}

// Paste FEN, Goto move, the options sheet and set-up: chosen while the
// engine ponders they stop the search and act. During a think on the
// engine's own move Goto move and set-up are greyed and do nothing; the
// options sheet and the paste stop the think and act, and the engine thinks
// again and plays once the sheet is closed, while the pasted position leaves
// it idle.
TEST_F(DeferredCommandsTest, PonderingStopsForPasteGotoAndOptions) {
  constexpr const char* kFen = "4k4/9/9/9/9/9/9/9/4A4/3K1R3 b";
  struct Case {
    int32_t state;  // the search the command comes in
    int command;
    bool enabled;
    std::function<void()> answer;  // answers the command's dialog, if any
    std::function<bool()> after;
    int before = 0;  // a command chosen just before it, in the same instant
  };
  static bool sheetShown = false;
  const auto pasted = [] {
    char fen[kFenBufferSize];
    WriteFen(displayBoard, fen, 1, 0, 1);
    return std::string(fen) == kFen && gameLength == 0 && shownSideToMove == 1;
  };
  // The sheet is cancelled; it came before the engine's move (ply 1) or
  // after it, once the ponder stopped (ply 2).
  const auto cancelSheetAt = [](int32_t ply) {
    return [ply] {
      AnswerWhenShown<COptionsSheet>([ply](COptionsSheet* sheet) {
        sheetShown = gamePly == ply;
        sheet->PressCancel();
      });
    };
  };
  const auto engineMoved = [] {
    return gamePly == 2 && gameLength == 2 && history[2].engineMove == 1 &&
           pMainFrame->setupMode == 0;
  };
  const Case cases[] = {
      {kEnginePondering, kCmdPasteFenPosition, true, [] {}, pasted},
      {kEnginePondering, kCmdGotoMove, true,
       [] {
         AnswerWhenShown<CInputDlg>([](CInputDlg* dialog) {
           dialog->SetDlgItemText(kCtlInputText, "0");
           dialog->OnOK();
         });
       },
       [] { return gamePly == 0 && gameLength == 2; }},
      {kEnginePondering, kCmdProperties, true, cancelSheetAt(2),
       [] { return sheetShown && gamePly == 2 && gameLength == 2; }},
      // Set-up starts from the game's position: the predicted move is gone.
      {kEnginePondering, kCmdSetupPosition, true, [] {},
       [] {
         return pMainFrame->setupMode == 1 && gamePly == 2 && gameLength == 2 &&
                std::memcmp(displayBoard, board, sizeof board) == 0;
       }},
      {kEngineThinking, kCmdGotoMove, false, [] {}, engineMoved},
      {kEngineThinking, kCmdSetupPosition, false, [] {}, engineMoved},
      {kEngineThinking, kCmdProperties, true, cancelSheetAt(1),
       [engineMoved] { return sheetShown && engineMoved(); }},
      {kEngineThinking, kCmdPasteFenPosition, true, [] {}, pasted},
      // Stop thinking first: the engine plays, then the sheet opens.
      {kEngineThinking, kCmdProperties, true, cancelSheetAt(2),
       [engineMoved] { return sheetShown && engineMoved(); }, kCmdStopThinking},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.command) + (c.state == kEnginePondering ? " while pondering"
                                                                            : " while thinking"));
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      QApplication::clipboard()->setText(kFen);
      if (c.state == kEnginePondering) {
        Ponder = 1;
        levelMode = kLevelSearchDepth;
        searchDepth = 3;
      } else {
        thinkingTime = 300;
      }
      sheetShown = false;
      static int32_t state = 0;
      static int command = 0, before = 0;
      static bool enabled = false, posted = false;
      static std::function<void()> answer;
      state = c.state;
      command = c.command;
      before = c.before;
      answer = c.answer;
      pumpMessagesHook = [] {
        if (engineState != state || posted) return;
        posted = true;
        CCmdUI ui(command);
        pMainFrame->OnUpdateCmdUI(ui);
        enabled = ui.IsEnabled();
        answer();
        if (before != 0) pMainFrame->OnCmdMsg(before);
        pMainFrame->OnCmdMsg(command);
      };
      f->PlayUserMove(MoveFromText("h2e2"));
      pumpMessagesHook = nullptr;
      // What the command left for the event loop.
      for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
      Check(posted && enabled == c.enabled, "enabled only where the command may stop the search");
      Check(engineState == kEngineIdle && c.after(), "what the command did, then the engine");
      Check(QApplication::activeModalWidget() == nullptr, "nothing left open");
      CloseFrame();
    });
  }
}

// In set-up mode Paste FEN puts the position on the set-up board at once;
// cancelling the set-up brings the game back with its comments and header,
// and ending it starts the game at the pasted position.
TEST_F(DeferredCommandsTest, PasteInSetUpModeChangesOnlyThePositionBeingSetUp) {
  constexpr const char* kFen = "4k4/9/9/9/9/9/9/9/4A4/3K1R3 b";
  for (bool cancel : {true, false}) {
    RUN_SCENARIO({
      CMainFrame* f = StartProgram();
      for (const char* m : {"h2e2", "h9g7"}) {
        Check(MakeMoveAfterShownPly(MoveFromText(m)) != 0, m);
        RecordMadeMove();
        ShowGamePosition();
      }
      SetComment(2, "kept");
      std::strcpy(currentGameHeader.redName, "Ding");
      QApplication::clipboard()->setText(kFen);
      f->OnCmdMsg(kCmdSetupPosition);
      CCmdUI ui(kCmdPasteFenPosition);
      f->OnUpdateCmdUI(ui);
      Check(f->setupMode == 1 && ui.IsEnabled(), "enabled in set-up mode");
      f->OnCmdMsg(kCmdPasteFenPosition);
      char fen[kFenBufferSize];
      WriteFen(displayBoard, fen, 1, 0, 1);
      Check(std::string(fen) == kFen && ValidateBoard() == 1, "the set-up board shows it");
      if (cancel) {
        f->CancelSetup();
        Check(gamePly == 2 && gameLength == 2 && moveComments[2].text != nullptr &&
                  std::strcmp(moveComments[2].text, "kept") == 0 &&
                  std::strcmp(currentGameHeader.redName, "Ding") == 0 &&
                  history[2].move == MoveFromText("h9g7"),
              "cancelled: the game, its comments and header as they were");
      } else {
        AnswerWhenShown<CDialog>([](CDialog* dialog) { dialog->OnOK(); });
        f->OnCmdMsg(kCmdEndSetupPosition);
        WriteFen(board, fen, 1, 0, 1);
        Check(f->setupMode == 0 && gamePly == 0 && gameLength == 0 &&
                  std::string(fen).substr(0, std::strlen(kFen) - 2) ==
                      std::string(kFen).substr(0, std::strlen(kFen) - 2),
              "ended: a new game at the pasted position");
      }
      CloseFrame();
    });
  }
}

// The engine mates: when its "has lost" message shows, the board, the move
// list and the comments window already show the mating move, as they do
// once the message is gone.
TEST_F(DeferredCommandsTest, TheMateMessageComesWhenTheMatingMoveIsShown) {
  RUN_SCENARIO({
    CMainFrame* f = StartProgram();
    thinkingTime = 300;
    Check(PasteFenPosition("3k4r/9/9/9/9/9/2P6/9/r8/4K4 w") != 0, "the position");
    static Screen atMessage;
    static QString message;
    messageBoxHook = [](const QString& text, int) {
      message = text;
      atMessage = OnScreen();
      return static_cast<int>(kAnswerOk);
    };
    f->PlayUserMove(MoveFromText("c3c4"));
    Check(message == "The Red has lost !" && gamePly == 2 && history[2].engineMove == 1,
          "the engine mated");
    pMainFrame->BoardView()->Invalidate();
    pMainFrame->RefreshGameWindows();
    Check(atMessage == OnScreen(), "the message came with the mating move shown");
    CloseFrame();
  });
}

}  // namespace
