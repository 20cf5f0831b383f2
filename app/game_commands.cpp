// The game and engine commands of the frame.
#include "app/board_view.h"
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/search/engine_state.h"
#include "engine/search/new_game.h"
#include "engine/position/position.h"
#include "engine/search/time_control.h"
#include "platform/sound.h"
#include "res/menus.h"

void CMainFrame::NewGame() {
  if (engineState >= 1 && engineState <= 6) {
    // The completion of the search starts the new game.
    RequestStop(kRequestNewGame);
    return;
  }
  pollInterval = 1500;
  ResetGameState(1);
  historyPly = 0;
  // The move list, game information and comments windows refresh here once
  // they exist.
  Relayout(1);
  if (boardView_ != nullptr) boardView_->Invalidate();
  PlaySoundResource(kSoundNewGame);
}

void CMainFrame::OnNewGame() {
  NewGame();
  RefreshFrameTexts();
}

namespace {

const CommandMapEntry<CMainFrame> kGameCommands[] = {
    {kCmdNewGame, &CMainFrame::OnNewGame, nullptr},
};

}  // namespace

bool RunGameCommand(CMainFrame* frame, int id) { return DispatchCommand(frame, kGameCommands, id); }

bool UpdateGameCommand(CMainFrame* frame, CCmdUI& ui) {
  return DispatchUpdateIfListed(frame, kGameCommands, ui);
}
