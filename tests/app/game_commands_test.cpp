// The frame's game and engine commands: stepping while idle and while the
// engine searches or gives a hint, goto move, the commands' states, the
// keys, automatic replay, no computer mode, ponder, and next best move with
// a single legal move.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/new_game.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/binary_files.h"
#include "game/header.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/input_dlg.h"

using testing_support::Check;
using testing_support::CloseFrame;

namespace {

// The program with a four-move game shown at ply 2, books off, no
// pondering and long searches (a search ends only when a command stops it).
void StartAtPly2Of4() {
  testing_support::OffscreenApplication();
  testing_support::OpenStore()->WriteInt("Options", "Language", 1);
  theApp.m_lpCmdLine = "";
  theApp.InitInstance();
  ResetGameState(1);  // not the autosave of an earlier scenario
  for (const char* text : {"h2e2", "h9g7", "h0g2", "i9h9"}) {
    Check(MakeMoveAfterShownPly(testing_support::MoveFromText(text)) != 0, text);
    RecordMadeMove();
  }
  TakeBackOne();
  TakeBackOne();
  ShowGamePosition();
  bookMode1 = bookMode2 = kBookOff;
  Ponder = 0;
  levelMode = kLevelTimePerMove;
  thinkingTime = 60000;
  exactTime = 1;
  CMainFrame::hintPauseHook = [](int32_t) {};
}

void CheckPly(int32_t ply, int32_t length, const char* what) {
  if (gamePly == ply && gameLength == length) return;
  std::fprintf(stderr, "%s: ply %d of %d, not %d of %d\n", what, gamePly, gameLength, ply, length);
  Check(false, what);
}

// Answers the next one-line input dialog with `text` and OK.
void AnswerInput(const QString& text) {
  QTimer::singleShot(0, [text] {
    auto* dialog = qobject_cast<CInputDlg*>(QApplication::activeModalWidget());
    Check(dialog != nullptr, "the input dialog is shown");
    if (dialog == nullptr) return;
    dialog->SetDlgItemText(kCtlInputText, text);
    dialog->OnOK();
  });
}

// A key pressed on the board: the view passes it on to the frame.
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(pMainFrame->BoardView(), &press);
}

// Runs `act` at the first message pumping of the search that `start`
// begins (however fast the machine), checking that the search is then in
// `state`.
void DuringSearch(int32_t state, const std::function<void()>& act,
                  const std::function<void()>& start) {
  static std::function<void()> action;
  static int32_t expected = 0;
  static bool ran = false;
  action = act;
  expected = state;
  ran = false;
  pumpMessagesHook = [] {
    if (ran) return;
    ran = true;
    Check(engineState == expected, "the engine searches");
    action();
  };
  start();
  pumpMessagesHook = nullptr;
  Check(ran, "the search pumped messages");
}

// Runs `command` during the search that `start` begins, checking that the
// command did not act at once.
void CommandDuring(int command, int32_t state, const std::function<void()>& start) {
  static int id = 0;
  id = command;
  DuringSearch(
      state,
      [] {
        const int32_t ply = gamePly, length = gameLength;
        pMainFrame->OnCmdMsg(id);
        Check(gamePly == ply && gameLength == length, "the command waits for the search");
      },
      start);
  Check(engineState == kEngineIdle, "idle afterwards");
}

using GameCommandsTest = testing_support::ScenarioTest;

TEST_F(GameCommandsTest, SteppingAndNewGameNowOrAfterTheSearchOrHint) {
  struct Case {
    int command;
    int32_t ply, length;
  };
  const Case cases[] = {{kCmdTakeBackOneMove, 1, 4}, {kCmdTakeBackAll, 0, 4},
                        {kCmdReplayOneMove, 3, 4},   {kCmdReplayAll, 4, 4},
                        {kCmdNewGame, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    for (int when : {0, 1, 2}) {  // idle, during a think, during the hint
      RUN_SCENARIO({
        StartAtPly2Of4();
        ponderMove = 1;  // a hint shown before: stepping forgets it
        if (when == 0) pMainFrame->OnCmdMsg(c.command);
        if (when == 1) CommandDuring(c.command, kEngineThinking, [] { Think(kThinkPlay, 0); });
        if (when == 2) {
          ponderMove = 0;
          CommandDuring(c.command, kEngineAnalysing, [] { pMainFrame->OnCmdMsg(kCmdHint); });
        }
        CheckPly(c.ply, c.length, "the game afterwards");
        Check(ponderMove == 0, "no hint left");
        CloseFrame();
      });
    }
  }
  // One-move steps with nothing to step over keep even the hint.
  RUN_SCENARIO({
    StartAtPly2Of4();
    TakeBackAll();
    ponderMove = 7;
    pMainFrame->OnCmdMsg(kCmdTakeBackOneMove);
    ReplayAll();
    Check(ponderMove == 0, "the engine's replay forgets it");
    ponderMove = 7;
    pMainFrame->OnCmdMsg(kCmdReplayOneMove);
    Check(gamePly == 4 && ponderMove == 7, "nothing to step over");
    CloseFrame();
  });
  // A close during the hint closes the frame once the hint has returned.
  RUN_SCENARIO({
    StartAtPly2Of4();
    DuringSearch(kEngineAnalysing, [] { pMainFrame->close(); },
                 [] { pMainFrame->OnCmdMsg(kCmdHint); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Check(pMainFrame == nullptr, "the frame closed");
    GameHeader header{};
    const std::string autosave = std::string(installDirectory) + "/CurrentGameV1.vgf";
    Check(LoadBinaryGame(autosave.c_str(), &header, 1) == kBinaryLoadOk && gameLength == 4,
          "the game was saved");
  });
}

TEST_F(GameCommandsTest, GotoMoveShowsThePositionAfterThatManyMoves) {
  const std::pair<const char*, int32_t> cases[] = {
      {"1", 2}, {"0", 0}, {"99", 4}, {"-5", 0}, {"abc", 0}, {"99999999999999999999", 4}};
  for (const auto& c : cases) {
    // Plain copies: a lambda may not capture structured bindings in clang 14.
    const char* const typed = c.first;
    const int32_t ply = c.second;
    RUN_SCENARIO({
      StartAtPly2Of4();
      AnswerInput(typed);
      pMainFrame->OnCmdMsg(kCmdGotoMove);
      CheckPly(ply, 4, typed);
      CloseFrame();
    });
  }
  // The box has a caption in every language (an empty one would leave the
  // window manager to show the program's file name).
  RUN_SCENARIO({
    StartAtPly2Of4();
    for (int language = 0; language < kLanguageCount; ++language) {
      currentLanguage = language;
      static QString caption;
      caption.clear();
      QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<CInputDlg*>(QApplication::activeModalWidget())) {
          caption = dialog->windowTitle();
          dialog->reject();
        }
      });
      pMainFrame->OnCmdMsg(kCmdGotoMove);
      Check(!caption.isEmpty() && caption == TrText(kTextGotoMoveCaption),
            "the goto move box has its caption");
    }
    currentLanguage = kLanguageEnglish;
    CheckPly(2, 4, "goto cancelled");
    CloseFrame();
  });
  RUN_SCENARIO({  // refused during a search: the search plays its move
    StartAtPly2Of4();
    thinkingTime = 300;
    DuringSearch(kEngineThinking, [] { pMainFrame->OnCmdMsg(kCmdGotoMove); },
                 [] { Think(kThinkPlay, 0); });
    CheckPly(3, 3, "the engine's move, no goto");
    CloseFrame();
  });
}

TEST_F(GameCommandsTest, StatesByEngineStateSetupPlyAndSettings) {
  // Enabled in engineState 0..5 at ply 2 of 4.
  const std::pair<int, const char*> byState[] = {
      {kCmdNewGame, "111111"},        {kCmdTakeBackOneMove, "111101"},
      {kCmdTakeBackAll, "111101"},    {kCmdReplayOneMove, "111101"},
      {kCmdReplayAll, "111101"},      {kCmdGotoMove, "101000"},
      {kCmdPlayCurrentPosition, "100000"}, {kCmdNextBestMove, "101000"},
      {kCmdNoComputerMode, "100000"}, {kCmdPonder, "111101"},
      {kCmdShowComputingMoves, "111111"}, {kCmdAutomove, "111101"},
      {kCmdHint, "101101"},           {kCmdEngineIdle, "100000"}};
  RUN_SCENARIO({
    StartAtPly2Of4();
    CMainFrame* f = pMainFrame;
    auto state = [f](int id) {
      CCmdUI ui(id);
      f->OnUpdateCmdUI(ui);
      return std::string(ui.IsEnabled() ? "E" : "-") + (ui.IsChecked() ? "C" : "-");
    };
    auto expect = [&](const std::vector<int>& ids, const char* wanted, const char* what) {
      for (int id : ids) {
        if (state(id) == wanted) continue;
        std::fprintf(stderr, "%s: command %d is %s\n", what, id, state(id).c_str());
        Check(false, what);
      }
    };
    for (const auto& [id, flags] : byState) {
      for (engineState = 0; engineState <= 5; ++engineState) {
        if ((state(id)[0] == 'E') != (flags[engineState] == '1')) {
          std::fprintf(stderr, "command %d in state %d\n", id, engineState);
          Check(false, "enabled by engine state");
        }
      }
    }
    engineState = kEngineIdle;
    Ponder = 0;
    showComputingMoves = 0;
    f->setupMode = 1;
    expect({kCmdTakeBackOneMove, kCmdReplayAll, kCmdGotoMove, kCmdPlayCurrentPosition,
            kCmdNextBestMove, kCmdNoComputerMode, kCmdAutomove, kCmdHint},
           "--", "greyed in set-up mode");
    f->setupMode = 0;
    TakeBackAll();
    expect({kCmdTakeBackOneMove, kCmdTakeBackAll, kCmdNextBestMove}, "--", "at the start");
    ReplayAll();
    expect({kCmdReplayOneMove, kCmdReplayAll, kCmdAutomove}, "--", "at the end");
    TakeBackOne();
    f->automoveOn = 1;
    expect({kCmdPlayCurrentPosition, kCmdNextBestMove}, "--", "while replaying");
    expect({kCmdAutomove}, "EC", "automove checked while on");
    ResetGameState(1);
    expect({kCmdGotoMove}, "--", "goto without moves");
    // No computer mode switches both flags together; check marks follow.
    const int32_t before[][2] = {{1, 1}, {0, 0}, {1, 0}, {0, 1}}, after[] = {0, 1, 0, 0};
    for (int i = 0; i < 4; ++i) {
      enginePlaysSide0 = before[i][0];
      enginePlaysSide1 = before[i][1];
      f->OnCmdMsg(kCmdNoComputerMode);
      Check(enginePlaysSide0 == after[i] && enginePlaysSide1 == after[i], "both flags");
      expect({kCmdNoComputerMode}, after[i] ? "E-" : "EC", "no computer mode's mark");
    }
    f->OnCmdMsg(kCmdPonder);
    f->OnCmdMsg(kCmdShowComputingMoves);
    expect({kCmdPonder, kCmdShowComputingMoves}, "EC", "ponder and computing moves on");
    CloseFrame();
  });
}

TEST_F(GameCommandsTest, TheFramesKeys) {
  static uint32_t posted = 0;
  const std::vector<std::tuple<Qt::Key, std::function<void()>, std::function<bool()>>> cases = {
      {Qt::Key_PageUp, [] {}, [] { return gamePly == 4; }},
      {Qt::Key_PageDown, [] {}, [] { return gamePly == 0; }},
      {Qt::Key_Left, [] {}, [] { return gamePly == 1; }},
      {Qt::Key_Right, [] {}, [] { return gamePly == 3; }},
      {Qt::Key_F5, [] { thinkingTime = 200; }, [] { return gamePly == 3 && gameLength == 3; }},
      {Qt::Key_H, [] {}, [] { return ponderMove != 0 && gamePly == 2; }},
      {Qt::Key_Space, [] { engineState = kEngineAnalysing; },
       [] { return pendingRequest == kRequestPlayAnalysedMove && stopRequested == 1; }},
      {Qt::Key_Space, [] { posted = requestsPosted; }, [] { return requestsPosted == posted; }},
  };
  for (const auto& c : cases) {
    const Qt::Key key = std::get<0>(c);
    const std::function<void()>& before = std::get<1>(c);
    const std::function<bool()>& after = std::get<2>(c);
    SCOPED_TRACE(key);
    RUN_SCENARIO({
      StartAtPly2Of4();
      before();
      PressKey(key);
      Check(after(), "the key's effect");
      engineState = kEngineIdle;
      CloseFrame();
    });
  }
  RUN_SCENARIO({  // the automatic replay's seconds on the keypad
    StartAtPly2Of4();
    auto presses = [](int32_t from, int count, Qt::Key key, Qt::KeyboardModifiers modifiers) {
      pMainFrame->automoveSeconds = from;
      std::vector<int32_t> seen;
      for (int i = 0; i < count; ++i, seen.push_back(pMainFrame->automoveSeconds))
        PressKey(key, modifiers);
      return seen;
    };
    using V = std::vector<int32_t>;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    Check(presses(10, 7, Qt::Key_Plus, pad) == V{8, 6, 4, 3, 2, 1, 1}, "+ from 10");
    Check(presses(1, 8, Qt::Key_Minus, pad) == V{2, 3, 4, 5, 7, 9, 11, 11}, "- from 1");
    Check(presses(6, 3, Qt::Key_Minus, pad) == V{8, 10, 10}, "- from 6");
    Check(presses(6, 1, Qt::Key_Plus, Qt::NoModifier) == V{6}, "+ off the keypad");
    CloseFrame();
  });
}

TEST_F(GameCommandsTest, AutomaticReplayByTheTimer) {
  // Shift+click asks for the seconds: 0 replays at every tick, -3 gives 1,
  // 45 gives 30; a plain click keeps 2: a move every second tick.
  const std::tuple<const char*, int32_t, std::vector<int32_t>> cases[] = {
      {"0", 0, {3, 4, 4}}, {"-3", 1, {3, 4, 4}}, {"45", 30, {2, 2, 2}}, {nullptr, 2, {2, 3, 3}}};
  for (const auto& c : cases) {
    const char* const typed = std::get<0>(c);
    const int32_t seconds = std::get<1>(c);
    const std::vector<int32_t>& plies = std::get<2>(c);
    RUN_SCENARIO({
      StartAtPly2Of4();
      CMainFrame* f = pMainFrame;
      f->automoveSeconds = 2;
      asyncKeyStateHook = [](int key) { return key == VK_SHIFT; };
      if (typed == nullptr) asyncKeyStateHook = nullptr;
      if (typed != nullptr) AnswerInput(typed);
      f->OnCmdMsg(kCmdAutomove);
      Check(f->automoveOn == 1 && f->automoveSeconds == seconds, "on with its seconds");
      std::vector<int32_t> seen;
      for (size_t tick = 0; tick < plies.size(); ++tick, seen.push_back(gamePly)) f->OnTimer();
      Check(seen == plies, "the replayed moves by tick");
      Check(f->automoveOn == (gamePly < 4 ? 1 : 0), "off at the end of the game");
      CloseFrame();
    });
  }
}

TEST_F(GameCommandsTest, SwitchingPonderOffStopsPondering) {
  RUN_SCENARIO({
    StartAtPly2Of4();
    Ponder = 1;
    levelMode = kLevelSearchDepth;
    searchDepth = 3;
    static bool pondered = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [] {
      if (engineState != kEnginePondering || pondered) return;
      pondered = true;
      pMainFrame->OnCmdMsg(kCmdPonder);
    });
    ticker.start(20);
    Think(kThinkPlay, 0);
    Check(pondered && Ponder == 0 && engineState == kEngineIdle, "pondering stopped");
    CheckPly(3, 3, "the engine's move stays, the predicted one is gone");
    CloseFrame();
  });
}

TEST_F(GameCommandsTest, PlayingTheCurrentPositionStopsAtTheFullGameRecord) {
  RUN_SCENARIO({
    StartAtPly2Of4();
    ResetGameState(1);
    // The knights' round, which no repetition ruling ends, up to one move
    // before the end of the record.
    const char* const round[] = {"h0g2", "h9g7", "g2h0", "g7h9"};
    for (int ply = 0; ply < kMaxGameMoves - 1; ++ply) {
      Check(MakeMoveAfterShownPly(testing_support::MoveFromText(round[ply % 4])) != 0, "round");
      RecordMadeMove();
    }
    ShowGamePosition();
    levelMode = kLevelSearchDepth;
    searchDepth = 2;
    auto enabled = [] {
      CCmdUI ui(kCmdPlayCurrentPosition);
      pMainFrame->OnUpdateCmdUI(ui);
      return ui.IsEnabled();
    };
    Check(enabled(), "enabled before the last move");
    PressKey(Qt::Key_F5);
    CheckPly(kMaxGameMoves, kMaxGameMoves, "the engine plays the last move");
    Check(!enabled(), "greyed at the end of the record");
    const Move last = history[kMaxGameMoves].move;
    for (int press = 0; press < 3; ++press) {
      PressKey(Qt::Key_F5);
      pMainFrame->OnCmdMsg(kCmdPlayCurrentPosition);
      CheckPly(kMaxGameMoves, kMaxGameMoves, "no move past the end of the record");
    }
    Check(history[kMaxGameMoves].move == last && engineState == kEngineIdle, "the game stays");
    CloseFrame();
  });
}

// "Next best move" after the engine played the only legal move: that move
// is played again and nobody has lost, also when the command stops the
// ponder search that followed the move.
TEST_F(GameCommandsTest, NextBestMoveWithOnlyOneMovePlaysItAgain) {
  for (int32_t ponder : {0, 1}) {
    RUN_SCENARIO({
      StartAtPly2Of4();
      static int boxes = 0;
      messageBoxHook = [](const QString&, int) {
        ++boxes;
        return static_cast<int>(kAnswerOk);
      };
      QApplication::clipboard()->setText("4k4/9/9/9/9/9/9/9/4R4/3K1A2r b");
      pMainFrame->OnCmdMsg(kCmdPasteFenPosition);
      Ponder = ponder;
      levelMode = kLevelSearchDepth;
      searchDepth = 3;
      static bool posted = false;
      pumpMessagesHook = [] {
        if (engineState != kEnginePondering || posted) return;
        posted = true;
        pMainFrame->OnCmdMsg(kCmdNextBestMove);
      };
      pMainFrame->OnCmdMsg(kCmdPlayCurrentPosition);
      const Move only = testing_support::MoveFromText("e9f9");
      Check(gamePly == 1 && history[1].move == only, "the engine played its only move");
      if (ponder == 0) pMainFrame->OnCmdMsg(kCmdNextBestMove);
      pumpMessagesHook = nullptr;
      Check(posted == (ponder != 0), "the command stopped the ponder search");
      Check(boxes == 0, "nobody has lost");
      Check(gamePly == 1 && gameLength == 1 && history[1].move == only &&
                history[1].engineMove == 1 && sideToMove == kRed && shownSideToMove == kRed &&
                engineState == kEngineIdle,
            "the only move is played again");
      CloseFrame();
    });
  }
}

}  // namespace
