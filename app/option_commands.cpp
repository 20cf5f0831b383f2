// The game option commands of the frame: handicaps, iron pawns, save on each
// move, book mode and process priority. Each item carries the check mark
// while its value is in force.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/new_game.h"
#include "platform/message_box.h"
#include "platform/process_priority.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "res/text_rows.h"

namespace {

enum class OptionKind { kHandicap, kBookMode, kPriority };

struct OptionItem {
  int command;
  OptionKind kind;
  int32_t value;
};

constexpr OptionItem kOptionItems[] = {
    {kCmdHandicapNone, OptionKind::kHandicap, 0},
    {kCmdHandicap2Pawns, OptionKind::kHandicap, 1},
    {kCmdHandicap1Knight, OptionKind::kHandicap, 2},
    {kCmdHandicap1Cannon, OptionKind::kHandicap, 3},
    {kCmdHandicap2Knights, OptionKind::kHandicap, 4},
    {kCmdHandicapCannonKnight, OptionKind::kHandicap, 5},
    {kCmdHandicapChariot, OptionKind::kHandicap, 6},
    {kCmdHandicapChariotKnight, OptionKind::kHandicap, 7},
    {kCmdHandicapChariotCannon, OptionKind::kHandicap, 8},
    {kCmdHandicapChariotCannonKnight, OptionKind::kHandicap, 9},
    {kCmdBookNone, OptionKind::kBookMode, 0},
    {kCmdBookNormal, OptionKind::kBookMode, 1},
    {kCmdBookTournament, OptionKind::kBookMode, 2},
    {kCmdPriorityLow, OptionKind::kPriority, kPriorityBelowNormal},
    {kCmdPriorityNormal, OptionKind::kPriority, kPriorityNormal},
};

const OptionItem* FindOptionItem(int command) {
  for (const OptionItem& item : kOptionItems) {
    if (item.command == command) return &item;
  }
  return nullptr;
}

int32_t OptionInForce(const CMainFrame& frame, OptionKind kind) {
  switch (kind) {
    case OptionKind::kHandicap:
      return Handicap;
    case OptionKind::kBookMode:
      return bookMode2;
    case OptionKind::kPriority:
      return frame.priorityLevel;
  }
  return -1;
}

// The flags toggled by a command: the iron pawns and save on each move.
uint32_t* IronPawnFlag(int command) {
  if (command == kCmdBlackIronPawn) return &blackIronPawn;
  if (command == kCmdRedIronPawn) return &redIronPawn;
  return nullptr;
}

// Whether the refusal to restore the normal priority was already told.
bool priorityRefusalTold = false;

}  // namespace

void CMainFrame::SetHandicap(int32_t code) {
  // Stored first: a new game deferred by the engine starts with it too.
  Handicap = code;
  NewGame();
}

void CMainFrame::SetPriority(int32_t level) {
  priorityLevel = SetProcessPriority(level);
  if (priorityLevel != level && !priorityRefusalTold) {
    priorityRefusalTold = true;
    ShowMessageBox(this, TrText(kTextPriorityStaysLow));
  }
}

bool RunOptionCommand(CMainFrame* frame, int id) {
  if (uint32_t* flag = IronPawnFlag(id)) {
    // The position stays; the rule holds from the next move made.
    *flag = *flag != 0 ? 0 : 1;
    frame->Relayout();
    return true;
  }
  const bool engineBusy = engineState == kEngineThinkingNoBook;
  if (id == kCmdSaveOnEachMove) {
    if (!engineBusy) saveOnEachMove = saveOnEachMove != 0 ? 0 : 1;
    return true;
  }
  const OptionItem* item = FindOptionItem(id);
  if (item == nullptr) return false;
  switch (item->kind) {
    case OptionKind::kHandicap:
      if (!engineBusy) frame->SetHandicap(item->value);
      break;
    case OptionKind::kBookMode:
      bookMode2 = item->value;
      break;
    case OptionKind::kPriority:
      frame->SetPriority(item->value);
      break;
  }
  return true;
}

bool UpdateOptionCommand(CMainFrame* frame, CCmdUI& ui) {
  const int id = ui.GetId();
  const bool engineBusy = engineState == kEngineThinkingNoBook;
  if (const uint32_t* flag = IronPawnFlag(id)) {
    ui.SetCheck(*flag != 0 ? 1 : 0);
    return true;
  }
  if (id == kCmdSaveOnEachMove) {
    ui.Enable(!engineBusy);
    ui.SetCheck(saveOnEachMove != 0 ? 1 : 0);
    return true;
  }
  const OptionItem* item = FindOptionItem(id);
  if (item == nullptr) return false;
  if (item->kind == OptionKind::kHandicap) ui.Enable(!engineBusy);
  ui.SetCheck(OptionInForce(*frame, item->kind) == item->value ? 1 : 0);
  return true;
}
