// Setting up a position by hand: the piece palette, the set-up buttons and
// the set-up commands of the board's pop-up menu.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "res/menus.h"

namespace {

const CommandMapEntry<CMainFrame> kSetupCommands[] = {
    {0, nullptr, nullptr},
};

}  // namespace

bool RunSetupCommand(CMainFrame* frame, int id) {
  return id != 0 && DispatchCommand(frame, kSetupCommands, id);
}

bool UpdateSetupCommand(CMainFrame* frame, CCmdUI& ui) {
  return ui.GetId() != 0 && DispatchUpdateIfListed(frame, kSetupCommands, ui);
}
