// The view commands of the frame: board size, turning, pieces, board style,
// input mode, animation, sounds, notation, coordinates, language, toolbars.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "res/menus.h"

namespace {

const CommandMapEntry<CMainFrame> kViewCommands[] = {
    {0, nullptr, nullptr},
};

}  // namespace

bool RunViewCommand(CMainFrame* frame, int id) {
  return id != 0 && DispatchCommand(frame, kViewCommands, id);
}

bool UpdateViewCommand(CMainFrame* frame, CCmdUI& ui) {
  return ui.GetId() != 0 && DispatchUpdateIfListed(frame, kViewCommands, ui);
}
