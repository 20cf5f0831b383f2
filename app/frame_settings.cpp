// The options of every subsystem as the frame reads them at creation and
// writes them back when it closes. Each value is read with its default; a
// value outside the range the program can use gives the default too, so a
// damaged settings file never indexes past a table.
#include <algorithm>

#include "app/level_ops.h"
#include "app/main_frame.h"
#include "engine/eval/evaluate.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/memory_budget.h"
#include "engine/search/new_game.h"
#include "engine/search/search.h"
#include "engine/search/time_control.h"
#include "engine/search/tt.h"
#include "game/game_clock.h"
#include "game/notation.h"
#include "platform/settings_store.h"
#include "platform/sound.h"
#include "res/text_rows.h"
#include "windows/options_sheet.h"
#include "windows/side_windows.h"

namespace {

constexpr const char* kOptions = "Options";
constexpr const char* kPieceValues = "Pieces Value";

// The "Pieces Value" keys in pieceValueTable order within one side: pawn,
// adviser, elephant, knight, cannon, chariot.
constexpr const char* kRedValueKeys[6] = {"Red Pawn",   "Red Adviser", "Red Elephant",
                                          "Red Knight", "Red Cannon",  "Red Chariot"};
constexpr const char* kBlackValueKeys[6] = {"Black Pawn",   "Black Adviser", "Black Elephant",
                                            "Black Knight", "Black Cannon",  "Black Chariot"};
constexpr int32_t kDefaultPieceValues[6] = {100, 185, 195, 550, 570, 1280};
// The settings read them chariot first.
constexpr int kValueReadOrder[6] = {5, 4, 3, 2, 1, 0};

int32_t Flag(CSettingsStore& store, const char* key, int32_t fallback) {
  return store.GetIntInRange(kOptions, key, fallback, 0, 1);
}

}  // namespace

void CMainFrame::ReadOptions(CSettingsStore& store) {
  pieceSet = store.GetIntInRange(kOptions, "Pieces Set", 2, 1, kPieceSetCount);
  boardStyle = store.GetIntInRange(kOptions, "Board type", 7, 0, kBoardStyleCount - 1);
  rotation = Flag(store, "Rotation", 0);
  mirror = Flag(store, "Symetry", 0);
  boardSizeIndex = store.GetIntInRange(kOptions, "Board size", 1, 0, 2);
  disableDoubleClick = store.GetInt(kOptions, "DisableLDBLCLK", 0);
  // The log window is never opened at start; the thinking and bar-graph
  // windows do not exist. Their values are read and not used.
  store.GetInt(kOptions, "LogsWindow", 0);
  store.GetInt(kOptions, "ThinkingWindow", 1);
  openAtStart.clock = store.GetInt(kOptions, "ClockWindow", 1) != 0;
  openAtStart.miniClock = store.GetInt(kOptions, "MiniClockWindow", 0) != 0;
  store.GetInt(kOptions, "BarGraphWindow", 1);
  openAtStart.moveList = store.GetInt(kOptions, "GameListWindow", 1) != 0;
  openAtStart.gameStatus = store.GetInt(kOptions, "GameStatusWindow", 0) != 0;
  openAtStart.comments = store.GetInt(kOptions, "CommentsWindow", 0) != 0;
  Handicap = store.GetIntInRange(kOptions, "Handicap", 0, 0, 9);
  saveOnEachMove = Flag(store, "Save on each move", 0);
  Ponder = Flag(store, "Ponder", 1);
  showComputingMoves = Flag(store, "SpyComputing", 1);
  gameClock.period1.moves = store.GetIntInRange(kOptions, "TCMove1", 50, 1, kMaxPeriodMoves);
  gameClock.period1.seconds = store.GetIntInRange(kOptions, "TCTime1", 2280, 0, kMaxPeriodSeconds);
  gameClock.period2.moves = store.GetIntInRange(kOptions, "TCMove2", 200, 1, kMaxPeriodMoves);
  gameClock.period2.seconds = store.GetIntInRange(kOptions, "TCTime2", 240, 0, kMaxPeriodSeconds);
  gameClock.period3.moves = store.GetIntInRange(kOptions, "TCMove3", 200, 1, kMaxPeriodMoves);
  gameClock.period3.seconds = store.GetIntInRange(kOptions, "TCTime3", 240, 0, kMaxPeriodSeconds);
  exactTime = Flag(store, "ExactTime", 1);
  contemptBlack =
      store.GetIntInRange(kOptions, "contemptBlack", 0, -kContemptLimit, kContemptLimit);
  contemptRed = store.GetIntInRange(kOptions, "contemptRed", 0, -kContemptLimit, kContemptLimit);
  automoveSeconds = store.GetIntInRange(kOptions, "TimeReplay", 2, 1, 3600);
  automoveOn = 0;
  useSelection = Flag(store, "UseSelection", 1);
  soundEnabled = Flag(store, "Sound", 0);
  bookMode1 = store.GetIntInRange(kOptions, "Book Mode 1", 0, 0, 3);
  bookMode2 = store.GetIntInRange(kOptions, "Book Mode 2", 1, 0, 3);
  alphaFactor = store.GetInt(kOptions, "Alpha factor", 128) == 255 ? 255 : 128;
  notationKind = store.GetIntInRange(kOptions, "Notation type", 0, 0, 6);
  inputMode = Flag(store, "Move selection", 1);
  // A level mode the program does not know is kept as it is: no level
  // value is read for it and none is written back.
  levelMode = store.GetInt(kOptions, "TC", 1);
  coordinateKind = store.GetIntInRange(kOptions, "Board coordinate", 0, 0, kCoordinateKindCount - 1);
  animationSpeed = store.GetIntInRange(kOptions, "Animation Speed", 2, 0, 2);
  useLearning = static_cast<uint8_t>(Flag(store, "Use learning", 1));
  learnMoves = static_cast<uint8_t>(Flag(store, "Learn Moves", 1));
  middleKnowledge = store.GetIntInRange(kOptions, "MiddleKnowledge", 5, 0, 12);
  SelectEvaluator();
  InitKeyTables();
  // The tables get at most what the process may use: the learning tables
  // first (at most half of it), then the hash table beside them, so that
  // the bound the hash size gets here is the one the options sheet holds
  // it to. The stored sizes stay the user's choice: the sizes in force
  // are what fits of them now, and the same at every start under the same
  // limit.
  const int32_t learningMegabytes =
      store.GetIntInRange(kOptions, "LearningTSize", 0, 0, kMaxLearningMegabytes);
  SetLearningPaths(learningMegabytes != 0 ? LearningMegabytesAtStart(learningMegabytes) : -1);
  learningSize = {learningMegabytes, GetLearningTableSize(0)};
  const int32_t hashMegabytes = store.GetIntInRange(kOptions, "HTSize", 0, 0, 1 << 16);
  SetHashSize(hashMegabytes != 0 ? hashMegabytes : -1);
  hashSize = {hashMegabytes, HashSizeMegabytes()};

  // The level values of the stored level mode.
  switch (levelMode) {
    case 1:
      thinkingTime = store.GetIntInRange(kOptions, "thinkingTime", 2000, 1, kMaxThinkingTimeMs);
      SetTimePerMove(thinkingTime);
      break;
    case 2:
      searchDepth =
          store.GetIntInRange(kOptions, "searchDepth", 4, kLowestSearchLevel, kHighestSearchLevel);
      break;
    case 3: {
      const int32_t minutes = store.GetIntInRange(kOptions, "min", 5, 0, kMaxGameMinutes);
      const int32_t seconds = store.GetIntInRange(kOptions, "sec", 0, 0, 59);
      SetGameTime(minutes, seconds);
      break;
    }
    case 4:
      gameClock.SetMode(kClockTournament);
      gameClock.Reset();
      RefreshClockWindows();
      break;
    default:
      break;
  }
  for (int i : kValueReadOrder) {
    pieceValueTable[i] = store.GetIntInRange(kPieceValues, kRedValueKeys[i], kDefaultPieceValues[i],
                                             -kMaxPieceValue, kMaxPieceValue);
  }
  for (int i : kValueReadOrder) {
    pieceValueTable[6 + i] = store.GetIntInRange(
        kPieceValues, kBlackValueKeys[i], kDefaultPieceValues[i], -kMaxPieceValue, kMaxPieceValue);
  }
  egDepth = store.GetIntInRange(kOptions, "EGDepth", 8, 1, 255);
  useEg = Flag(store, "UseEG", 1);
}

void CMainFrame::WriteOptions(CSettingsStore& store) {
  const SideWindowsOpen open = SideWindowsOpenNow();
  store.WriteInt(kOptions, "Language", currentLanguage);
  store.WriteInt(kOptions, "Pieces Set", pieceSet);
  store.WriteInt(kOptions, "Rotation", rotation);
  store.WriteInt(kOptions, "Symetry", mirror);
  store.WriteInt(kOptions, "Board size", boardSizeIndex);
  store.WriteInt(kOptions, "DisableLDBLCLK", disableDoubleClick);
  store.WriteInt(kOptions, "LogsWindow", logsDlg != nullptr ? 1 : 0);
  store.WriteInt(kOptions, "ClockWindow", open.clock ? 1 : 0);
  store.WriteInt(kOptions, "MiniClockWindow", open.miniClock ? 1 : 0);
  store.WriteInt(kOptions, "GameListWindow", open.moveList ? 1 : 0);
  store.WriteInt(kOptions, "GameStatusWindow", open.gameStatus ? 1 : 0);
  store.WriteInt(kOptions, "CommentsWindow", open.comments ? 1 : 0);
  store.WriteInt(kOptions, "Handicap", Handicap);
  store.WriteInt(kOptions, "Save on each move", saveOnEachMove);
  store.WriteInt(kOptions, "Ponder", Ponder);
  store.WriteInt(kOptions, "SpyComputing", showComputingMoves);
  store.WriteString(kOptions, "Book1", bookFile1);
  store.WriteString(kOptions, "Book2", bookFile2);
  store.WriteInt(kOptions, "Book Mode 1", bookMode1);
  store.WriteInt(kOptions, "Book Mode 2", bookMode2);
  store.WriteInt(kOptions, "Sound", soundEnabled);
  store.WriteInt(kOptions, "Notation type", notationKind);
  store.WriteInt(kOptions, "Move selection", inputMode);
  store.WriteInt(kOptions, "TC", levelMode);
  store.WriteInt(kOptions, "Board type", boardStyle);
  store.WriteInt(kOptions, "Board coordinate", coordinateKind);
  store.WriteInt(kOptions, "Animation Speed", animationSpeed);
  store.WriteInt(kOptions, "Use learning", useLearning);
  store.WriteInt(kOptions, "Learn Moves", learnMoves);
  // The size actually allocated, so an automatic size is stored as its
  // megabytes; rounded up, so that a size read back gives the same table
  // (rounding down would shrink it by a megabyte at every run). A stored
  // size the start held to the memory is written back as it was while the
  // table keeps the size it got.
  store.WriteInt(kOptions, "HTSize", hashSize.ToStore(HashSizeMegabytes()));
  store.WriteInt(kOptions, "LearningTSize", learningSize.ToStore(GetLearningTableSize(0)));
  store.WriteInt(kOptions, "Alpha factor", alphaFactor);
  store.WriteInt(kOptions, "MiddleKnowledge", middleKnowledge);
  store.WriteInt(kOptions, "UseSelection", useSelection);
  store.WriteInt(kOptions, "TimeReplay", automoveSeconds);
  store.WriteInt(kOptions, "TCMove1", gameClock.period1.moves);
  store.WriteInt(kOptions, "TCTime1", gameClock.period1.seconds);
  store.WriteInt(kOptions, "TCMove2", gameClock.period2.moves);
  store.WriteInt(kOptions, "TCTime2", gameClock.period2.seconds);
  store.WriteInt(kOptions, "TCMove3", gameClock.period3.moves);
  store.WriteInt(kOptions, "TCTime3", gameClock.period3.seconds);
  store.WriteInt(kOptions, "ExactTime", exactTime);
  store.WriteInt(kOptions, "contemptRed", contemptRed);
  store.WriteInt(kOptions, "contemptBlack", contemptBlack);
  store.WriteInt(kOptions, "EGDepth", egDepth);
  store.WriteInt(kOptions, "UseEG", useEg);
  switch (levelMode) {
    case 3: {
      int32_t minutes = 0, seconds = 0;
      gameClock.GetGameTime(&minutes, &seconds);
      store.WriteInt(kOptions, "min", minutes);
      store.WriteInt(kOptions, "sec", seconds);
      break;
    }
    case 1:
      store.WriteInt(kOptions, "thinkingTime", thinkingTime);
      store.WriteInt(kOptions, "searchDepth", searchDepth);
      break;
    case 2:
      store.WriteInt(kOptions, "searchDepth", searchDepth);
      break;
    default:
      break;
  }
}
