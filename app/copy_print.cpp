// Copies of the move list and the board picture, and the printed move lists.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "res/menus.h"

namespace {

const CommandMapEntry<CMainFrame> kCopyCommands[] = {
    {0, nullptr, nullptr},
};

}  // namespace

bool RunCopyCommand(CMainFrame* frame, int id) {
  return id != 0 && DispatchCommand(frame, kCopyCommands, id);
}

bool UpdateCopyCommand(CMainFrame* frame, CCmdUI& ui) {
  return ui.GetId() != 0 && DispatchUpdateIfListed(frame, kCopyCommands, ui);
}
