// The game option commands of the frame: handicaps, iron pawns, save on each
// move, book mode and process priority.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "res/menus.h"

namespace {

const CommandMapEntry<CMainFrame> kOptionCommands[] = {
    {0, nullptr, nullptr},
};

}  // namespace

bool RunOptionCommand(CMainFrame* frame, int id) {
  return id != 0 && DispatchCommand(frame, kOptionCommands, id);
}

bool UpdateOptionCommand(CMainFrame* frame, CCmdUI& ui) {
  return ui.GetId() != 0 && DispatchUpdateIfListed(frame, kOptionCommands, ui);
}
