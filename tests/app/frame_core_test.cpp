// The main frame's life: the options it reads at creation and writes back
// at closing, the game it starts with (command line, autosave, Shift), the
// one-second tick and the close that waits for the engine.
#include <QApplication>
#include <QColor>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/search.h"
#include "engine/search/time_control.h"
#include "game/binary_files.h"
#include "game/game_clock.h"
#include "game/header.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/comments_dlg.h"
#include "windows/digital_clock_wnd.h"
#include "windows/game_status_dlg.h"
#include "windows/logs_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace fs = std::filesystem;
using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::OpenStore;
using testing_support::PlayUserMoves;
using testing_support::StartProgram;
using testing_support::StoredInt;

namespace {

// Whether the corner bar of the last-move mark stands on `square` in the
// frame's client picture (large: the to-square's mark).
bool MarkedOnScreen(Square square, bool large) {
  CMainFrame* f = pMainFrame;
  f->BoardView()->PaintPending();
  int32_t x = 0, y = 0;
  f->SquareToPixel(8 - ((square - 34) >> 4), 9 - ((square - 34) & 15), x, y);
  const int s = f->squareSize;
  const int m = large ? 9 * s / 10 : 8 * s / 10;
  const int o = (s - m) / 2;
  const QRgb pixel = f->BoardView()->Surface().pixel(x + o, y + o + toolbarBandHeight);
  return (pixel & 0xFFFFFF) == (qRgb(0x14, 0x14, 0xF0) & 0xFFFFFF);
}

std::string AutosavePath() { return std::string(installDirectory) + "/CurrentGameV1.vgf"; }

// The moves of a game file as coordinate texts.
std::vector<Move> MovesOf(const std::string& path) {
  GameHeader header{};
  std::vector<Move> moves;
  if (LoadBinaryGame(path.c_str(), &header, 1) != kBinaryLoadOk) return moves;
  for (int ply = 1; ply <= gameLength; ++ply) moves.push_back(history[ply].move);
  return moves;
}

using FrameCoreTest = testing_support::ScenarioTest;

TEST_F(FrameCoreTest, NoSettingsGiveTheDefaults) {
  RUN_SCENARIO({
    StartProgram();
    CMainFrame* f = pMainFrame;
    Check(f->pieceSet == 2 && f->boardStyle == 7, "piece set 2 on board style 7");
    Check(f->boardSizeIndex == 1 && f->squareSize == 38, "medium board");
    Check(f->openAtStart.clock && f->openAtStart.moveList, "clock and move list windows");
    Check(!f->openAtStart.miniClock && !f->openAtStart.comments && !f->openAtStart.gameStatus,
          "the other side windows closed");
    Check(levelMode == 1 && thinkingTime == 2000, "two seconds a move");
    Check(Ponder == 1 && f->inputMode == 1 && f->animationSpeed == 2, "ponder, drag, fast");
    Check(soundEnabled == 0, "sound off");
    Check(middleKnowledge == 5 && pieceValueTable[5] == 1280 && pieceValueTable[6] == 100,
          "knowledge and piece values");
    Check(gamePly == 0 && gameLength == 0, "a new game");
    Check(moveListWnd != nullptr, "the move list window opens at start");
    CloseFrame();
    Check(StoredInt("Options", "GameListWindow", -1) == 1, "stored as open");
  });
  // Closed by the user: stored closed, and not opened at the next start.
  RUN_SCENARIO({
    StartProgram();
    moveListWnd->close();
    CloseFrame();
    Check(StoredInt("Options", "GameListWindow", -1) == 0, "stored as closed");
    StartProgram();
    Check(moveListWnd == nullptr, "stays closed");
    CloseFrame();
  });
}

// Every option the frame reads comes back the same after a start and a
// close, and every value out of its range gives its default (periods too
// long for the clock's plies or milliseconds among them).
struct StoredOption {
  const char* key;
  int32_t value;     // stored before the start
  int32_t expected;  // written back at the close
};

TEST_F(FrameCoreTest, OptionsAreWrittenBackAsReadAndBadValuesGiveDefaults) {
  const std::vector<StoredOption> options = {
      {"Pieces Set", 4, 4},          {"Board type", 15, 15},     {"Rotation", 1, 1},
      {"Symetry", 1, 1},             {"Board size", 2, 2},       {"DisableLDBLCLK", 1, 1},
      {"Handicap", 3, 3},            {"Save on each move", 1, 1}, {"Ponder", 0, 0},
      {"SpyComputing", 0, 0},        {"TCMove1", 40, 40},        {"TCTime1", 1800, 1800},
      {"TCMove2", 20, 20},           {"TCTime2", 600, 600},      {"TCMove3", 10, 10},
      {"TCTime3", 300, 300},         {"ExactTime", 0, 0},        {"contemptRed", 7, 7},
      {"contemptBlack", -100000, -100000},     {"TimeReplay", 5, 5},       {"UseSelection", 0, 0},
      {"Sound", 1, 1},               {"Book Mode 1", 2, 2},      {"Book Mode 2", 3, 3},
      {"Alpha factor", 255, 255},    {"Notation type", 6, 6},    {"Move selection", 0, 0},
      {"Board coordinate", 2, 2},    {"Animation Speed", 1, 1},  {"Use learning", 0, 0},
      {"Learn Moves", 0, 0},         {"MiddleKnowledge", 2, 2},  {"EGDepth", 12, 12},
      {"UseEG", 0, 0},               {"HTSize", 16, 16},         {"TC", 2, 2},
      {"searchDepth", -2, -2},
      {"LogsWindow", 1, 0},  // the log window is closed at the close
  };
  const std::vector<StoredOption> outOfRange = {
      {"Pieces Set", 9, 2},       {"Board type", 22, 7},      {"Board size", -1, 1},
      {"Board coordinate", 5, 0}, {"Notation type", 7, 0},    {"Animation Speed", 3, 2},
      {"Handicap", 10, 0},        {"MiddleKnowledge", 13, 5}, {"Alpha factor", 7, 128},
      {"Book Mode 1", 4, 0},      {"TimeReplay", 0, 2},       {"TC", 2, 2},
      {"searchDepth", 9, 4},      {"TCMove1", 1 << 30, 50},   {"TCTime2", 2147484, 240},
      {"TCTime3", -1, 240},
      {"contemptRed", 2147483647, 0}, {"contemptBlack", -100001, 0},
  };
  for (const auto* table : {&options, &outOfRange}) {
    fs::remove_all(root_ / "config");
    RUN_SCENARIO({
      {
        auto store = OpenStore();
        for (const StoredOption& o : *table) store->WriteInt("Options", o.key, o.value);
      }
      StartProgram();
      Check(soundEnabled == StoredInt("Options", "Sound", 0), "the sound setting is obeyed");
      CloseFrame();
      for (const StoredOption& o : *table) {
        if (StoredInt("Options", o.key, -99) != o.expected) Check(false, o.key);
      }
    });
  }
}

TEST_F(FrameCoreTest, LevelValuesFollowTheLevelMode) {
  struct Case {
    int32_t tc;
    std::vector<const char*> written;
    std::vector<const char*> absent;
  };
  const Case cases[] = {
      {1, {"thinkingTime", "searchDepth"}, {"min", "sec"}},
      {2, {"searchDepth"}, {"thinkingTime", "min", "sec"}},
      {3, {"min", "sec"}, {"thinkingTime", "searchDepth"}},
      {4, {}, {"thinkingTime", "searchDepth", "min", "sec"}},
      {7, {}, {"thinkingTime", "searchDepth", "min", "sec"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tc);
    fs::remove_all(root_ / "config");
    RUN_SCENARIO({
      OpenStore()->WriteInt("Options", "TC", c.tc);
      StartProgram();
      Check(levelMode == c.tc, "the stored level mode, known or not");
      if (c.tc == 3) {
        int32_t minutes = 0, seconds = 0;
        gameClock.GetGameTime(&minutes, &seconds);
        Check(minutes == 5 && seconds == 0 && gameClock.mode == kClockGameTime, "5 min / game");
      }
      CloseFrame();
      for (const char* key : c.written) Check(StoredInt("Options", key, -99) != -99, key);
      for (const char* key : c.absent) Check(StoredInt("Options", key, -99) == -99, key);
    });
  }
}

// Stored level and piece values are read within what the level, the clock
// and the evaluation hold (as the timing sheet and the pieces page accept
// them); a value beyond gives the default.
TEST_F(FrameCoreTest, StoredLevelsAndPieceValuesBeyondTheirRangeGiveTheDefaults) {
  struct Case {
    int32_t tc;
    const char* section;
    const char* key;
    int32_t stored;
    int32_t expected;
  };
  const Case cases[] = {
      {3, "Options", "min", kMaxGameMinutes, kMaxGameMinutes},
      {3, "Options", "min", kMaxGameMinutes + 1, 5},
      {1, "Options", "thinkingTime", kMaxThinkingTimeMs + 1, 2000},
      {2, "Pieces Value", "Red Chariot", kMaxPieceValue, kMaxPieceValue},
      {2, "Pieces Value", "Red Chariot", kMaxPieceValue + 1, 1280},
      {2, "Pieces Value", "Red Chariot", -kMaxPieceValue - 1, 1280},
  };
  for (const Case& c : cases) {
    fs::remove_all(root_ / "config");
    RUN_SCENARIO({
      OpenStore()->WriteInt("Options", "TC", c.tc);
      OpenStore()->WriteInt(c.section, c.key, c.stored);
      StartProgram();
      int32_t minutes = 0, seconds = 0;
      gameClock.GetGameTime(&minutes, &seconds);
      const int32_t read = c.tc == 3 ? minutes : c.tc == 1 ? thinkingTime : pieceValueTable[5];
      Check(read == c.expected, c.key);
      CloseFrame();
    });
  }
}

TEST_F(FrameCoreTest, TheAutosavedGameComesBackAtTheNextStart) {
  RUN_SCENARIO({
    StartProgram();
    PlayUserMoves({"h2e2", "h9g7"});
    CloseFrame();
    Check(MovesOf(AutosavePath()).size() == 2, "the autosave holds both moves");
  });
  RUN_SCENARIO({
    StartProgram();
    Check(gamePly == 2 && gameLength == 2, "the game is back at its last move");
    // The cannon stands on e2 and the knight on g7 of the shown board.
    Check(displayBoard[testing_support::MoveFromText("e2h2") >> 16] != 0, "a piece on e2");
    Check(displayBoard[testing_support::MoveFromText("e2h2") & 0xFFFF] == 0, "h2 is empty");
    // On screen: the last move's marks on the knight's two squares.
    const Move last = testing_support::MoveFromText("h9g7");
    Check(MarkedOnScreen(static_cast<Square>(last >> 16), false), "from-square marked");
    Check(MarkedOnScreen(static_cast<Square>(last & 0xFFFF), true), "to-square marked");
    Check(!MarkedOnScreen(testing_support::MoveFromText("e2h2") >> 16, true), "e2 unmarked");
    CloseFrame();
  });
  // Shift held at the start gives a new game and leaves the autosave alone
  // until the next close.
  RUN_SCENARIO({
    testing_support::OffscreenApplication();
    asyncKeyStateHook = [](int key) { return key == VK_SHIFT; };
    StartProgram();
    asyncKeyStateHook = nullptr;
    Check(gamePly == 0 && gameLength == 0, "Shift gives a new game");
    Check(MovesOf(AutosavePath()).size() == 2, "the autosave is untouched");
    CloseFrame();
  });
}

TEST_F(FrameCoreTest, AGameFileOnTheCommandLineOpensInsteadOfTheAutosave) {
  const fs::path file = root_ / "game.vgf";
  RUN_SCENARIO({
    StartProgram();
    PlayUserMoves({"b2e2"});
    SaveBinaryGame(file.c_str(), kBinaryVersionVgf, currentGameHeader);
    PlayUserMoves({"h9g7", "h2h3"});
    CloseFrame();
  });
  RUN_SCENARIO({
    StartProgram(file.c_str());
    Check(gameLength == 1, "the named file's game");
    CloseFrame();
  });
  RUN_SCENARIO({
    messageBoxHook = [](const QString&, int) { return static_cast<int>(kAnswerOk); };
    StartProgram((root_ / "missing.wxf").c_str());
    // The game of the last run, autosaved at its close.
    Check(gameLength == 1, "a file that cannot be read gives the autosaved game");
    CloseFrame();
  });
}

TEST_F(FrameCoreTest, AutomaticReplayStopsAtTheLastStoredMove) {
  RUN_SCENARIO({
    StartProgram();
    CMainFrame* f = pMainFrame;
    f->automoveOn = 1;
    f->automoveSeconds = 2;
    f->automoveTicks = 0;
    Check(gamePly >= gameLength, "nothing to replay");
    f->OnTimer();
    Check(f->automoveOn == 1 && f->automoveTicks == 1, "not due yet");
    f->OnTimer();
    Check(f->automoveOn == 0 && f->automoveTicks == 2, "switched off without replaying");
    CloseFrame();
  });
}

TEST_F(FrameCoreTest, ClosingWhileTheEngineThinksWaitsForTheSearch) {
  RUN_SCENARIO({
    StartProgram();
    PlayUserMoves({"h2e2"});
    levelMode = 1;
    thinkingTime = 60000;
    exactTime = 1;
    Ponder = 0;
    enginePlaysSide1 = 1;
    static bool frameAliveDuringSearch = true;
    static bool closeAsked = false;
    QTimer::singleShot(100, [] {
      closeAsked = true;
      pMainFrame->close();
    });
    pumpMessagesHook = [] {
      if (closeAsked && engineState != kEngineIdle && pMainFrame == nullptr) {
        frameAliveDuringSearch = false;
      }
    };
    Think(kThinkPlay, 0);
    pumpMessagesHook = nullptr;
    Check(frameAliveDuringSearch, "the frame outlives the search");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Check(pMainFrame == nullptr, "the frame closed once the search had unwound");
    Check(MovesOf(AutosavePath()).size() == 1, "the autosave holds the game as shown");
    Check(StoredInt("Options", "Ponder", -1) == 0, "the options were written at once");
  });
}

}  // namespace

namespace {

// Each side window: its stored flag, its command and whether it is open.
struct SideWindowCase {
  const char* flag;
  const char* placement;
  int command;
  QWidget* (*window)();
};

const SideWindowCase kSideWindows[] = {
    {"ClockWindow", "Clock", kCmdClock, [] { return static_cast<QWidget*>(digitalClockWnd); }},
    {"MiniClockWindow", "MiniClockWindow", kCmdMiniClock,
     [] { return static_cast<QWidget*>(miniClockDlg); }},
    {"GameListWindow", "Liste", kCmdGameList, [] { return static_cast<QWidget*>(moveListWnd); }},
    {"GameStatusWindow", "Game status", kCmdGameStatus,
     [] { return static_cast<QWidget*>(gameStatusDlg); }},
    {"CommentsWindow", "Comment", kCmdComments,
     [] { return static_cast<QWidget*>(commentsDlg); }},
};

TEST_F(FrameCoreTest, SideWindowsKeepTheirOpenStateAndPlaceAcrossRestarts) {
  RUN_SCENARIO({
    // Every window closed at the first start, then opened by its command.
    for (const SideWindowCase& w : kSideWindows) OpenStore()->WriteInt("Options", w.flag, 0);
    StartProgram();
    for (const SideWindowCase& w : kSideWindows) {
      Check(w.window() == nullptr, w.flag);
      pMainFrame->OnCmdMsg(w.command);
      Check(w.window() != nullptr && w.window()->isVisible(), "opened by its command");
      CCmdUI ui(w.command);
      pMainFrame->OnUpdateCmdUI(ui);
      Check(ui.IsChecked(), "checked while open");
      w.window()->move(200, 150);
    }
    // The log window is stored as open too, but it is not opened at start.
    CLogsDlg::CreateAndShow(pMainFrame);
    CloseFrame();
    Check(testing_support::StoredInt("Options", "LogsWindow", -1) == 1, "LogsWindow open");
    for (const SideWindowCase& w : kSideWindows) {
      Check(testing_support::StoredInt("Options", w.flag, -1) == 1, w.flag);
      Check(testing_support::StoredString("Windows placement", w.placement) != "<missing>",
            w.placement);
    }
    // The next start opens all of them at their saved places.
    StartProgram();
    for (const SideWindowCase& w : kSideWindows) {
      Check(w.window() != nullptr && w.window()->pos() == QPoint(200, 150), w.placement);
    }
    Check(logsDlg == nullptr, "the log window stays closed");
    CloseFrame();
    Check(testing_support::StoredInt("Options", "LogsWindow", -1) == 0, "LogsWindow closed");
  });
}

}  // namespace
