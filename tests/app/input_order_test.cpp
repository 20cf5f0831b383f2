// The user's input is handled in the order given: a move dropped while the
// engine ponders on another one is made before any command given after it,
// in the same burst of input (one event batch) or at any later message
// pumping of the unwinding search, and the command then acts on the game
// with the move.
#include <QApplication>
#include <QClipboard>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/binary_files.h"
#include "game/header.h"
#include "platform/sound.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/board_events.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/options_sheet.h"

using testing_support::Check;
using testing_support::MoveFromText;
using testing_support::MoveText;

namespace {

// A think that has pumped this often is stopped (and plays) by the test:
// the level's own limit is far away, so that "at once" means fewer pumpings.
constexpr int kThinkPumps = 40;
constexpr const char* kPastedFen = "4k4/9/9/9/9/9/9/9/4R4/4K4 b";

struct Run {
  int dropPumping = 1;   // the ponder search's pumping that gets the drop
  int commandAfter = 0;  // the command comes this many pumpings later
  std::function<void()> post;
  bool hit = false;
  Move userMove = 0;
  Move engineReply = 0;   // the engine's reply to h2e2
  int32_t ponderPly = 0;  // gamePly while the engine pondered on the old position
  int sinceDrop = 0;
  int pumps = 0;
  int lastState = -1;
  int32_t lastPly = -1;
  bool commandPosted = false;
  bool thinkCut = false;  // the answer's think ran until the test stopped it
  bool sheetShown = false;
  std::vector<int> sounds;
};
Run run;

void PostCommand() {
  run.commandPosted = true;
  run.post();
}

void OnPump() {
  if (engineState != run.lastState || gamePly != run.lastPly) {
    run.pumps = 0;
    run.lastState = engineState;
    run.lastPly = gamePly;
  }
  ++run.pumps;
  if (run.userMove != 0 && !run.commandPosted && ++run.sinceDrop >= run.commandAfter)
    PostCommand();
  if (stopRequested != 0) return;
  if (engineState == kEngineThinking || engineState == kEngineThinkingNoBook) {
    if (run.pumps < kThinkPumps) return;
    if (run.userMove != 0) run.thinkCut = true;
    RequestStop(kRequestNone);
    return;
  }
  if (engineState != kEnginePondering) return;
  if (run.userMove == 0) {
    if (run.pumps < run.dropPumping) return;
    run.ponderPly = gamePly;
    run.engineReply = history[2].move;
    const Move predicted = static_cast<Move>(ponderMove);
    run.userMove = run.hit ? predicted
                           : MoveFromText(predicted == MoveFromText("a3a4") ? "i3i4" : "a3a4");
    testing_support::PostDrag(run.userMove);
    if (run.commandAfter == 0) PostCommand();
    return;
  }
  // Pondering after the answer: the scenario ends.
  if (gamePly != run.ponderPly) RequestStop(kRequestNone);
}

// The moves of the autosave, as coordinate texts.
std::vector<std::string> AutosavedMoves() {
  const std::string path = std::string(installDirectory) + "/CurrentGameV1.vgf";
  GameHeader header{};
  if (LoadBinaryGame(path.c_str(), &header, 1) != kBinaryLoadOk) return {"<no autosave>"};
  std::vector<std::string> moves;
  for (int32_t ply = 1; ply <= gameLength; ++ply) moves.push_back(MoveText(history[ply].move));
  return moves;
}

std::vector<std::string> GameMoves() {
  std::vector<std::string> moves;
  for (int32_t ply = 1; ply <= gameLength; ++ply) moves.push_back(MoveText(history[ply].move));
  return moves;
}

enum class Expect {
  kAnswered,        // the move made and answered by the engine
  kAnsweredAtOnce,  // the same, the answer played at the command
  kTakenBack,       // the move made, then taken back to replay
  kClosed,          // the move made and saved; the program ended
  kPasted,          // the pasted position replaced the game
};

struct Command {
  const char* name;
  std::function<void()> post;
  // What comes of it, whether it came while the move waited or once the move
  // was made, while the engine thinks on its answer.
  Expect expect;
  bool refusalSound = false;
  bool hit = false;  // the drop is the predicted move: the search goes on as the think
};

void CheckOutcome(const Command& c, const std::vector<std::string>& before) {
  const Expect expect = c.expect;
  const bool sheet = std::strcmp(c.name, "the options sheet") == 0;
  const std::string user = MoveText(run.userMove);
  Check(engineState == kEngineIdle, "the engine is idle at the end");
  Check(closeRequested == 0 && !UserMoveWaiting(), "nothing left waiting");
  if (c.refusalSound)
    Check(std::count(run.sounds.begin(), run.sounds.end(), kSoundRefusedMove) == 1,
          "the second move sounds refused");
  Check(run.sheetShown == sheet, "the options sheet opened");
  std::vector<std::string> expected = before;
  expected.push_back(user);
  switch (expect) {
    case Expect::kAnswered:
    case Expect::kAnsweredAtOnce:
      Check(gamePly == 4 && gameLength == 4 && GameMoves().size() == 4 &&
                history[3].move == run.userMove && history[4].engineMove == 1,
            "the move is made and answered");
      Check(shownSideToMove == kRed && sideToMove == kRed, "red to move");
      Check(expect != Expect::kAnsweredAtOnce || !run.thinkCut, "the answer came at once");
      Check(expect != Expect::kAnswered || run.thinkCut, "the answer took its time");
      expected.push_back(MoveText(history[4].move));
      break;
    case Expect::kTakenBack:
      Check(gamePly == 2 && gameLength == 3 && GameMoves() == expected,
            "the move is made and taken back, kept to replay");
      Check(shownSideToMove == kRed && sideToMove == kRed, "red to move");
      break;
    case Expect::kClosed:
      Check(pMainFrame == nullptr || !pMainFrame->isVisible(), "the program ended");
      break;
    case Expect::kPasted:
      Check(gamePly == 0 && gameLength == 0 && shownSideToMove == kBlack, "the pasted position");
      expected.clear();
      break;
  }
  testing_support::CloseFrame();
  Check(AutosavedMoves() == expected, "the autosave holds the game with the move");
}

using InputOrderTest = testing_support::ScenarioTest;

TEST_F(InputOrderTest, WhatFollowsADroppedMoveActsOnTheGameWithTheMove) {
  using testing_support::PostCall;
  using testing_support::PostKey;
  const Command commands[] = {
      {"a second move",
       [] {
         testing_support::PostDrag(MoveFromText(run.userMove == MoveFromText("i3i4") ? "a3a4"
                                                                                      : "i3i4"));
       },
       Expect::kAnswered, true},
      {"Stop thinking", [] { PostCall([] { pMainFrame->OnCmdMsg(kCmdStopThinking); }); },
       Expect::kAnsweredAtOnce},
      {"H", [] { PostKey(Qt::Key_H); }, Expect::kAnswered},
      {"Space", [] { PostKey(Qt::Key_Space); }, Expect::kAnswered},
      {"the options sheet",
       [] {
         PostCall([] {
           testing_support::AnswerWhenShown<COptionsSheet>([](COptionsSheet* s) {
             run.sheetShown = true;
             s->PressCancel();
           });
           pMainFrame->OnCmdMsg(kCmdProperties);
         });
       },
       Expect::kAnswered},
      {"the close box", [] { PostCall([] { pMainFrame->close(); }); }, Expect::kClosed},
      {"Left", [] { PostKey(Qt::Key_Left); }, Expect::kTakenBack},
      {"Page Up", [] { PostKey(Qt::Key_PageUp); }, Expect::kAnswered},
      {"Paste FEN",
       [] {
         QApplication::clipboard()->setText(kPastedFen);
         PostCall([] { pMainFrame->OnCmdMsg(kCmdPasteFenPosition); });
       },
       Expect::kPasted},
      {"a ponder hit, then Stop thinking",
       [] { PostCall([] { pMainFrame->OnCmdMsg(kCmdStopThinking); }); }, Expect::kAnsweredAtOnce,
       false, true},
      {"a ponder hit, then H", [] { PostKey(Qt::Key_H); }, Expect::kAnswered, false, true},
      {"a ponder hit, then Left", [] { PostKey(Qt::Key_Left); }, Expect::kTakenBack, false, true},
  };
  for (const Command& c : commands) {
    for (const int dropPumping : {1, 2, 3}) {
      for (const int after : {0, 1, 2}) {
        SCOPED_TRACE(std::string(c.name) + ", drop at pumping " + std::to_string(dropPumping) +
                     ", command " + std::to_string(after) + " pumpings later");
        RUN_SCENARIO({
          CMainFrame* f = testing_support::StartProgramInEnglish();
          f->inputMode = 1;
          soundEnabled = 1;
          soundPlayHook = [](int id) {
            run.sounds.push_back(id);
            return true;
          };
          Ponder = 1;
          enginePlaysSide0 = 0;
          enginePlaysSide1 = 1;
          levelMode = kLevelTimePerMove;
          thinkingTime = 600000;
          run.dropPumping = dropPumping;
          run.commandAfter = after;
          run.post = c.post;
          run.hit = c.hit;
          pumpMessagesHook = OnPump;
          f->PlayUserMove(MoveFromText("h2e2"));
          // What the posted input leaves for the event loop.
          for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
          pumpMessagesHook = nullptr;
          QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
          Check(run.userMove != 0 && run.commandPosted, "the user moved and gave the command");
          CheckOutcome(c, {"h2e2", MoveText(run.engineReply)});
        });
      }
    }
  }
}

}  // namespace
