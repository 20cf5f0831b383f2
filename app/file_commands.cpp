// The file and clipboard commands of the frame: loading and saving games
// through the file dialogs, and the FEN texts on the clipboard.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "res/menus.h"

namespace {

const CommandMapEntry<CMainFrame> kFileCommands[] = {
    {0, nullptr, nullptr},
};

}  // namespace

bool RunFileCommand(CMainFrame* frame, int id) {
  return id != 0 && DispatchCommand(frame, kFileCommands, id);
}

bool UpdateFileCommand(CMainFrame* frame, CCmdUI& ui) {
  return ui.GetId() != 0 && DispatchUpdateIfListed(frame, kFileCommands, ui);
}
