// The user's input is handled in the order given: a move dropped while the
// engine ponders on another one, or while the hint's search runs, is made
// before any command given after it, in the same burst of input (one event
// batch) or at any later message pumping of the unwinding search, and the
// command then acts on the game with the move. A command given just before
// the drop acts as given, and the drop is then made or refused with its
// sound, never lost.
#include <QApplication>
#include <QClipboard>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/binary_files.h"
#include "game/header.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/board_events.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/input_dlg.h"
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
  bool hint = false;     // the drop comes during the hint's search, not a ponder
  int dropPumping = 1;   // the pumping of that search that gets the drop
  int commandAfter = 0;  // the command comes this many pumpings later
  // Or the command comes first, and the drop dropAfter pumpings later.
  bool commandFirst = false;
  int dropAfter = 0;
  std::function<void()> post;
  bool hit = false;
  // The user's Stop thinking comes at this pumping of the answer's think (0:
  // none; the test stops the think at kThinkPumps).
  int stopPumping = 0;
  Move userMove = 0;
  Move predicted = 0;     // the move the engine pondered on when the user moved
  Move engineReply = 0;   // the engine's reply to h2e2
  int32_t ponderPly = 0;  // gamePly while the engine pondered on the old position
  int sinceDrop = 0;
  int sinceCommand = 0;
  uint32_t tickAhead = 0;  // added to the tick: time the test lets pass at once
  int pumps = 0;
  int lastState = -1;
  int32_t lastPly = -1;
  bool commandPosted = false;
  bool dropPosted = false;
  bool thinkCut = false;  // the answer's think ran until the test stopped it
  bool sheetShown = false;
  std::vector<int> sounds;
  std::vector<int32_t> hintPlies;  // gamePly at each hint shown
  // The ponder after the engine's answer: its predicted move, on the board
  // as the last move played (0 when the engine did not ponder).
  Move ponderedOn = 0;
};
Run run;

// The system tick, except that it stands still while the hint's search
// waits for the drop (or the command): the hint's second never runs out
// first, however slow the machine.
uint32_t HeldTick() {
  static uint32_t held = 0;
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint32_t now = static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                             static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
  if (!HintSearchRunning() || run.dropPosted || (run.commandPosted && !run.commandFirst)) {
    held = 0;
    return now + run.tickAhead;
  }
  if (held == 0) held = now;
  return held + run.tickAhead;
}

// The user's move in the hint's search, by the pumping that gets it: a pawn,
// a knight, or the move the hint would suggest so far.
Move HintDrop(int pumping) {
  if (pumping == 1) return MoveFromText("a3a4");
  if (pumping == 2) return MoveFromText("b0c2");
  const Move best = principalVariation[0][0];
  return best != 0 && best != kNoRootMove ? best : MoveFromText("h2e2");
}

void PostCommand() {
  run.commandPosted = true;
  run.post();
}

void PostDrop() {
  run.dropPosted = true;
  testing_support::PostDrag(run.userMove);
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
  if (run.commandPosted && !run.dropPosted && ++run.sinceCommand >= run.dropAfter) PostDrop();
  if (stopRequested != 0) return;
  if (engineState == kEngineThinking || engineState == kEngineThinkingNoBook) {
    if (run.userMove != 0 && run.pumps == run.stopPumping) {
      pMainFrame->OnCmdMsg(kCmdStopThinking);
      return;
    }
    if (run.pumps < kThinkPumps) return;
    if (run.userMove != 0) run.thinkCut = true;
    RequestStop(kRequestNone);
    return;
  }
  if (run.userMove == 0) {
    if (run.hint ? !HintSearchRunning() : engineState != kEnginePondering) return;
    if (run.pumps < run.dropPumping) return;
    run.ponderPly = gamePly;
    if (run.hint) {
      run.userMove = HintDrop(run.dropPumping);
    } else {
      run.engineReply = history[2].move;
      const Move predicted = static_cast<Move>(ponderMove);
      run.predicted = predicted;
      run.userMove =
          run.hit ? predicted : MoveFromText(predicted == MoveFromText("a3a4") ? "i3i4" : "a3a4");
    }
    if (run.commandFirst) {
      PostCommand();
      if (run.dropAfter == 0) PostDrop();
      return;
    }
    PostDrop();
    if (run.commandAfter == 0) PostCommand();
    return;
  }
  if (engineState != kEnginePondering) return;
  // Pondering after the answer: the scenario ends.
  if (gamePly == run.ponderPly) return;
  if (ponderMove != 0 && history[gamePly].move == static_cast<Move>(ponderMove) &&
      gamePly == gameLength + 1 && history[gamePly - 1].engineMove == 1)
    run.ponderedOn = static_cast<Move>(ponderMove);
  RequestStop(kRequestNone);
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
  // A command given just before the drop that changes the board (or is
  // about to) refuses the drop with its sound; with kClosed and kPasted too.
  kHitInstead,      // the command made the predicted move, and the engine answered
  kGameKept,        // the game as it was before the drop
  kReplyTakenBack,  // the engine's reply taken back, kept to replay
};

// Whether a drop just after a command with this outcome is refused.
bool DropRefused(Expect e) { return e != Expect::kAnswered && e != Expect::kAnsweredAtOnce; }

struct Command {
  const char* name;
  std::function<void()> post;
  // What comes of it, whether it came while the move waited or once the move
  // was made, while the engine thinks on its answer.
  Expect expect;
  bool refusalSound = false;
  bool hit = false;  // the drop is the predicted move: the search goes on as the think
  // What comes of it given just before the drop, during a ponder and during
  // the hint's search.
  Expect ponderBefore = Expect::kAnswered;
  Expect hintBefore = Expect::kAnswered;
  bool hintGoesOn = false;  // the hint's search pumps once more after it
};

// What the run left, for the command c with the outcome expect; with
// commandFirst the command came before the drop.
void CheckOutcome(const Command& c, Expect expect, const std::vector<std::string>& before) {
  const bool sheet = std::strcmp(c.name, "the options sheet") == 0;
  const bool dropRefused = run.commandFirst && DropRefused(expect);
  // The move in the game: the user's, or the predicted one that the command played.
  const Move made = expect == Expect::kHitInstead ? run.predicted : run.userMove;
  // The game before the drop, and the moves after it.
  const int32_t base = static_cast<int32_t>(before.size());
  Check(engineState == kEngineIdle, "the engine is idle at the end");
  Check(closeRequested == 0 && !UserMoveWaiting(), "nothing left waiting");
  Check(std::count(run.sounds.begin(), run.sounds.end(), kSoundRefusedMove) ==
            (c.refusalSound || dropRefused ? 1 : 0),
        "a refused move sounds refused, once");
  Check(run.sheetShown == sheet, "the options sheet opened");
  // The hint of the position before the move gives way to the move.
  Check(dropRefused || std::count(run.hintPlies.begin(), run.hintPlies.end(), base) == 0,
        "no hint shown on the position before the move");
  std::vector<std::string> expected = before;
  if (!dropRefused || expect == Expect::kHitInstead) expected.push_back(MoveText(made));
  switch (expect) {
    case Expect::kAnswered:
    case Expect::kAnsweredAtOnce:
    case Expect::kHitInstead:
      Check(gamePly == base + 2 && gameLength == base + 2 &&
                GameMoves().size() == static_cast<size_t>(base + 2) &&
                history[base + 1].move == made && history[base + 2].engineMove == 1,
            "the move is made and answered");
      Check(shownSideToMove == kRed && sideToMove == kRed, "red to move");
      Check(expect != Expect::kAnsweredAtOnce || !run.thinkCut, "the answer came at once");
      Check(expect == Expect::kAnsweredAtOnce || run.thinkCut, "the answer took its time");
      // Whatever stopped the search before it, the answer is followed by a
      // ponder on the user's expected reply.
      Check(run.ponderedOn != 0, "the engine ponders after its answer");
      expected.push_back(MoveText(history[base + 2].move));
      break;
    case Expect::kGameKept:
      Check(gamePly == base && GameMoves() == expected, "the game as it was");
      Check(shownSideToMove == kRed && sideToMove == kRed, "red to move");
      break;
    case Expect::kReplyTakenBack:
      Check(gamePly == base - 1 && GameMoves() == expected,
            "the engine's reply taken back, kept to replay");
      Check(shownSideToMove == kBlack && sideToMove == kBlack, "black to move");
      break;
    case Expect::kTakenBack:
      Check(gamePly == base && gameLength == base + 1 && GameMoves() == expected,
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
  Check(AutosavedMoves() == expected, "the autosave holds the game as shown");
}

// The commands given after the drop, each with what comes of it (and what
// comes of it given just before the drop, during a ponder and during the
// hint's search; the "ponder hit" rows drop the predicted move).
std::vector<Command> CommandsAfterTheDrop() {
  using testing_support::PostCall;
  using testing_support::PostKey;
  using E = Expect;
  return {
      {"a second move",
       [] {
         testing_support::PostDrag(MoveFromText(run.userMove == MoveFromText("i3i4") ? "a3a4"
                                                                                      : "i3i4"));
       },
       E::kAnswered, true},
      {"Stop thinking", [] { PostCall([] { pMainFrame->OnCmdMsg(kCmdStopThinking); }); },
       E::kAnsweredAtOnce, false, false, E::kAnswered, E::kAnswered},
      {"H", [] { PostKey(Qt::Key_H); }, E::kAnswered, false, false, E::kAnswered, E::kAnswered,
       true},
      {"Space", [] { PostKey(Qt::Key_Space); }, E::kAnswered, false, false, E::kHitInstead,
       E::kAnswered},
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
       E::kAnswered, false, false, E::kGameKept, E::kGameKept},
      {"the close box", [] { PostCall([] { pMainFrame->close(); }); }, E::kClosed, false, false,
       E::kClosed, E::kClosed},
      {"Left", [] { PostKey(Qt::Key_Left); }, E::kTakenBack, false, false, E::kReplyTakenBack,
       E::kAnswered, true},
      {"Page Up", [] { PostKey(Qt::Key_PageUp); }, E::kAnswered, false, false, E::kAnswered,
       E::kAnswered, true},
      {"Paste FEN",
       [] {
         QApplication::clipboard()->setText(kPastedFen);
         PostCall([] { pMainFrame->OnCmdMsg(kCmdPasteFenPosition); });
       },
       E::kPasted, false, false, E::kPasted, E::kPasted},
      {"a ponder hit, then Stop thinking",
       [] { PostCall([] { pMainFrame->OnCmdMsg(kCmdStopThinking); }); }, E::kAnsweredAtOnce, false,
       true, E::kAnsweredAtOnce},
      {"a ponder hit, then H", [] { PostKey(Qt::Key_H); }, E::kAnswered, false, true, E::kAnswered},
      {"a ponder hit, then Left", [] { PostKey(Qt::Key_Left); }, E::kTakenBack, false, true,
       E::kReplyTakenBack},
  };
}

// The program with the engine on black's side, pondering, a long level
// (the test stops each think), sounds and hints recorded.
CMainFrame* StartForTheDrop() {
  CMainFrame* f = testing_support::StartProgramInEnglish();
  f->inputMode = 1;
  soundEnabled = 1;
  soundPlayHook = [](int id) {
    run.sounds.push_back(id);
    return true;
  };
  CMainFrame::hintPauseHook = [](int32_t) { run.hintPlies.push_back(gamePly); };
  Ponder = 1;
  enginePlaysSide0 = 0;
  enginePlaysSide1 = 1;
  levelMode = kLevelTimePerMove;
  thinkingTime = 600000;
  return f;
}

// What the posted input leaves for the event loop, then the frame's
// deletion.
void FinishInput() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  pumpMessagesHook = nullptr;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Check(run.dropPosted && run.commandPosted, "the user moved and gave the command");
}

using InputOrderTest = testing_support::ScenarioTest;

TEST_F(InputOrderTest, WhatFollowsADroppedMoveActsOnTheGameWithTheMove) {
  for (const Command& c : CommandsAfterTheDrop()) {
    for (const int dropPumping : {1, 2, 3}) {
      for (const int after : {0, 1, 2}) {
        SCOPED_TRACE(std::string(c.name) + ", drop at pumping " + std::to_string(dropPumping) +
                     ", command " + std::to_string(after) + " pumpings later");
        RUN_SCENARIO({
          CMainFrame* f = StartForTheDrop();
          run.dropPumping = dropPumping;
          run.commandAfter = after;
          run.post = c.post;
          run.hit = c.hit;
          pumpMessagesHook = OnPump;
          f->PlayUserMove(MoveFromText("h2e2"));
          FinishInput();
          CheckOutcome(c, c.expect, {"h2e2", MoveText(run.engineReply)});
        });
      }
    }
  }
}

// H, and a move dropped while the hint's search runs (a pawn, a knight, the
// hinted move), alone or with a command after it: the hint is not shown,
// the move is made and the engine answers it, as after a ponder.
TEST_F(InputOrderTest, AMoveDroppedDuringTheHintIsMadeBeforeWhatFollows) {
  std::vector<Command> commands = {{"nothing", [] {}, Expect::kAnswered}};
  for (const Command& c : CommandsAfterTheDrop())
    if (!c.hit) commands.push_back(c);
  for (const Command& c : commands) {
    for (const int dropPumping : {1, 2, 3}) {
      for (const int after : {0, 1, 2}) {
        SCOPED_TRACE(std::string(c.name) + ", drop at the hint's pumping " +
                     std::to_string(dropPumping) + ", command " + std::to_string(after) +
                     " pumpings later");
        RUN_SCENARIO({
          tickSource = HeldTick;
          CMainFrame* f = StartForTheDrop();
          bookMode1 = bookMode2 = kBookOff;
          run.hint = true;
          run.dropPumping = dropPumping;
          run.commandAfter = after;
          run.post = c.post;
          pumpMessagesHook = OnPump;
          f->OnCmdMsg(kCmdHint);
          FinishInput();
          CheckOutcome(c, c.expect, {});
        });
      }
    }
  }
}

// However early the engine's answer is stopped (Stop thinking at the first
// pumping of its think, as when queued behind the move, or at the second or
// third, before any iteration gave its line a reply), the answer is played
// and the engine ponders on the user's expected reply: after a move dropped
// during the hint's search, one off the prediction, and a ponder hit.
TEST_F(InputOrderTest, AnAnswerStoppedAtOnceIsFollowedByAPonder) {
  struct Source {
    const char* name;
    bool hint;
    bool hit;
  };
  const Source sources[] = {
      {"the hint's search", true, false}, {"a ponder", false, false}, {"a ponder hit", false, true}};
  const Command stop = {"Stop thinking in the answer's think", [] {}, Expect::kAnsweredAtOnce};
  for (const Source& source : sources) {
    for (const int stopPumping : {1, 2, 3}) {
      SCOPED_TRACE(std::string("a move dropped during ") + source.name +
                   ", Stop thinking at the answer's pumping " + std::to_string(stopPumping));
      RUN_SCENARIO({
        tickSource = HeldTick;
        CMainFrame* f = StartForTheDrop();
        if (source.hint) bookMode1 = bookMode2 = kBookOff;
        run.hint = source.hint;
        run.hit = source.hit;
        run.stopPumping = stopPumping;
        run.post = stop.post;
        pumpMessagesHook = OnPump;
        if (source.hint)
          f->OnCmdMsg(kCmdHint);
        else
          f->PlayUserMove(MoveFromText("h2e2"));
        FinishInput();
        if (source.hint)
          CheckOutcome(stop, stop.expect, {});
        else
          CheckOutcome(stop, stop.expect, {"h2e2", MoveText(run.engineReply)});
      });
    }
  }
}

// A command given during a ponder or the hint's search with a move dropped
// in the same burst or one pumping later: the command acts as given, and a
// drop that would land on a board about to change is refused with its
// sound; after a plain stop (or a command that leaves the board alone) the
// move is made and answered.
TEST_F(InputOrderTest, ACommandJustBeforeADropActsAndTheDropIsNeverLost) {
  std::vector<Command> commands = CommandsAfterTheDrop();
  // The hint's own second runs out (the ponder has no such limit): the
  // pumping whose time check stopped the search gets the drop, made as
  // after a plain stop.
  commands.push_back({"two seconds passing", [] { run.tickAhead = 2000; }, Expect::kAnswered, false,
                      false, Expect::kAnswered, Expect::kAnswered, true});
  for (const bool hint : {false, true}) {
    for (const Command& c : commands) {
      if (std::strcmp(c.name, "a second move") == 0 || (hint && c.hit)) continue;
      // The drop in the command's burst, or at the next pumping: a search
      // stopped at its first pumping pumps once more as it unwinds (the
      // ponder; the hint's search stopped by a request returns without one).
      const std::pair<int, int> moments[] = {{1, 0}, {2, 0}, {1, 1}};
      for (const auto& moment : moments) {
        // Plain copies: the scenario's lambda cannot capture structured
        // bindings under clang 14.
        const int pumping = moment.first;
        const int dropAfter = moment.second;
        if (hint && dropAfter != 0 && !c.hintGoesOn) continue;
        SCOPED_TRACE(std::string(c.name) + (hint ? " during the hint" : " during the ponder") +
                     " at pumping " + std::to_string(pumping) + ", the drop " +
                     std::to_string(dropAfter) + " pumpings later");
        RUN_SCENARIO({
          tickSource = HeldTick;
          CMainFrame* f = StartForTheDrop();
          if (hint) bookMode1 = bookMode2 = kBookOff;
          run.hint = hint;
          run.dropPumping = pumping;
          run.commandFirst = true;
          run.dropAfter = dropAfter;
          run.post = c.post;
          run.hit = c.hit;
          pumpMessagesHook = OnPump;
          if (hint)
            f->OnCmdMsg(kCmdHint);
          else
            f->PlayUserMove(MoveFromText("h2e2"));
          FinishInput();
          if (hint)
            CheckOutcome(c, c.hintBefore, {});
          else
            CheckOutcome(c, c.ponderBefore, {"h2e2", MoveText(run.engineReply)});
        });
      }
    }
  }
}

// A command chosen while the hint's search runs, without a move, stops the
// search as it stops a ponder: the hint found so far comes (or "No clue"),
// and then the command acts.
TEST_F(InputOrderTest, ACommandDuringTheHintsSearchActsOnceTheHintCame) {
  using testing_support::AnswerWhenShown;
  static std::vector<std::string> seen;  // what the user saw, in order
  const std::pair<int, std::function<void()>> cases[] = {
      {kCmdProperties,
       [] {
         AnswerWhenShown<COptionsSheet>([](COptionsSheet* s) {
           seen.push_back("command");
           s->PressCancel();
         });
       }},
      {kCmdGotoMove,
       [] {
         AnswerWhenShown<CInputDlg>([](CInputDlg* d) {
           seen.push_back("command");
           d->OnOK();
         });
       }},
      {kCmdPasteFenPosition, [] { QApplication::clipboard()->setText(kPastedFen); }},
      {kCmdSetupPosition, [] {}},
  };
  for (const auto& c : cases) {
    const int id = c.first;
    for (const int pumping : {1, 2}) {
      SCOPED_TRACE("command " + std::to_string(id) + " at the hint's pumping " +
                   std::to_string(pumping));
      RUN_SCENARIO({
        tickSource = HeldTick;
        CMainFrame* f = StartForTheDrop();
        bookMode1 = bookMode2 = kBookOff;
        CMainFrame::hintPauseHook = [](int32_t) { seen.push_back("hint"); };
        messageBoxHook = [](const QString& text, int) {
          seen.push_back(text.toStdString());
          return static_cast<int>(kAnswerOk);
        };
        static int command;
        command = id;
        c.second();
        run.dropPumping = pumping;
        pumpMessagesHook = [] {
          if (!HintSearchRunning() || run.commandPosted || ++run.pumps < run.dropPumping) return;
          run.commandPosted = true;
          testing_support::PostCall([] { pMainFrame->OnCmdMsg(command); });
        };
        f->OnCmdMsg(kCmdHint);
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        pumpMessagesHook = nullptr;
        Check(run.commandPosted, "the command came during the hint's search");
        // The paste and the set-up show on the board.
        if ((id == kCmdPasteFenPosition && shownSideToMove == kBlack && gameLength == 0) ||
            (id == kCmdSetupPosition && f->setupMode != 0))
          seen.push_back("command");
        Check(
            seen.size() == 2 && (seen[0] == "hint" || seen[0] == "No clue") && seen[1] == "command",
            "the hint came, then the command");
        Check(engineState == kEngineIdle && gamePly == 0, "the engine idle, no move made");
        testing_support::CloseFrame();
      });
    }
  }
}

}  // namespace
