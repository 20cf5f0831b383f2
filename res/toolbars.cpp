// The button lists of the two toolbars. The game toolbar holds the game and
// engine commands, among them the options sheet and the timing sheet, which
// have no menu item; the design toolbar holds the board's look, with the
// four drop-down buttons (pieces, board style, languages, board size).
#include "res/toolbars.h"

#include "res/artwork/artwork_ids.h"
#include "res/menus.h"

namespace {

using namespace artwork;

constexpr ToolbarButton Button(uint16_t command, ToolbarTextId tooltip, int picture) {
  return {command, tooltip, picture};
}
constexpr ToolbarButton Separator() { return {0, kToolbarTextCount, 0}; }

constexpr ToolbarButton kGameButtons[] = {
    Button(kCmdNewGame, kToolbarTextNewGame, kBitmapToolNewGame),
    Button(kCmdLoadGame, kToolbarTextLoadGame, kBitmapToolLoadGame),
    Button(kCmdSaveGame, kToolbarTextSaveGame, kBitmapToolSaveGame),
    Separator(),
    Button(kCmdTakeBackAll, kToolbarTextTakeBackAll, kBitmapToolTakeBackAll),
    Button(kCmdTakeBackOneMove, kToolbarTextTakeBackOne, kBitmapToolTakeBackOne),
    Button(kCmdReplayOneMove, kToolbarTextReplayOne, kBitmapToolReplayOne),
    Button(kCmdReplayAll, kToolbarTextReplayAll, kBitmapToolReplayAll),
    Button(kCmdAutomove, kToolbarTextAutomove, kBitmapToolAutomove),
    Separator(),
    Button(kCmdPlayCurrentPosition, kToolbarTextPlayCurrentPosition, kBitmapToolPlayNow),
    Button(kCmdStopThinking, kToolbarTextStopThinking, kBitmapToolStopThinking),
    Button(kCmdHint, kToolbarTextHint, kBitmapToolHint),
    Button(kCmdNextBestMove, kToolbarTextNextBestMove, kBitmapToolNextBestMove),
    Button(kCmdNoComputerMode, kToolbarTextNoComputerMode, kBitmapToolNoComputer),
    Separator(),
    Button(kCmdProperties, kToolbarTextEngineOptions, kBitmapToolOptions),
    Button(kCmdTiming, kToolbarTextTimeControl, kBitmapToolTiming),
};

constexpr ToolbarButton kDesignButtons[] = {
    Button(kCmdVerticalSymmetry, kToolbarTextTurnBoard, kBitmapToolRotate),
    Button(kCmdHorizontalSymmetry, kToolbarTextMirrorBoard, kBitmapToolMirror),
    Separator(),
    Button(kCmdPiecesStyle, kToolbarTextPiecesStyle, kBitmapToolPieces),
    Button(kCmdBoardStyle, kToolbarTextBoardStyle, kBitmapToolBoardStyle),
    Button(kCmdChangeLanguages, kToolbarTextChangeLanguage, kBitmapToolLanguages),
    Button(kCmdChangeBoardSize, kToolbarTextChangeBoardSize, kBitmapToolBoardSize),
    Separator(),
    Button(kCmdSetupPosition, kToolbarTextSetupPosition, kBitmapToolSetup),
};

// Every button names a toolbar picture of the artwork table and a tooltip
// row; separators name neither.
template <size_t N>
constexpr bool ButtonsAreComplete(const ToolbarButton (&buttons)[N]) {
  for (const ToolbarButton& b : buttons) {
    if (b.command == 0) {
      if (b.tooltip != kToolbarTextCount || b.picture != 0) return false;
      continue;
    }
    const ArtworkEntry* picture = FindArtwork(b.picture);
    if (picture == nullptr || picture->kind != ArtworkKind::kToolButton) return false;
    if (b.tooltip >= kToolbarTextCount) return false;
  }
  return true;
}
static_assert(ButtonsAreComplete(kGameButtons) && ButtonsAreComplete(kDesignButtons));

template <size_t N>
constexpr ToolbarResource Resource(uint16_t id, const ToolbarButton (&buttons)[N]) {
  return {id, buttons, N};
}

}  // namespace

const ToolbarResource kToolbarResources[] = {
    Resource(kToolbarGame, kGameButtons),
    Resource(kToolbarDesign, kDesignButtons),
};
const size_t kToolbarResourceCount = sizeof(kToolbarResources) / sizeof(kToolbarResources[0]);

const ToolbarResource* FindToolbarResource(int id) {
  for (const ToolbarResource& resource : kToolbarResources) {
    if (resource.id == id) return &resource;
  }
  return nullptr;
}

const char* ToolbarText(ToolbarTextId text, int language) {
  if (text >= kToolbarTextCount || language < 0 || language >= kLanguageCount) return nullptr;
  return kToolbarTextRows[text].text[language];
}
