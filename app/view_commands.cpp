// The view commands of the frame: board size, turning, pieces, board style,
// input mode, animation, sounds, notation, coordinates, language, toolbars.
// Each item of a choice carries the check mark while its value is the
// frame's; the toggles carry it while they are on.
#include "app/board_view.h"
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "game/notation.h"
#include "platform/qt_translations.h"
#include "platform/sound.h"
#include "platform/toolbar.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/comments_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace {

enum class Choice {
  kBoardSize,
  kPieceSet,
  kBoardStyle,
  kInputMode,
  kAnimation,
  kSound,
  kNotation,
  kCoordinates,
  kLanguage
};

struct ChoiceItem {
  int command;
  Choice choice;
  int32_t value;
};

constexpr ChoiceItem kChoiceItems[] = {
    {kCmdBoardSizeSmall, Choice::kBoardSize, 0},
    {kCmdBoardSizeMedium, Choice::kBoardSize, 1},
    {kCmdBoardSizeBig, Choice::kBoardSize, 2},
    {kCmdPiecesBasic, Choice::kPieceSet, 1},
    {kCmdPiecesOldPemmet, Choice::kPieceSet, 2},
    {kCmdPiecesSepa, Choice::kPieceSet, 3},
    {kCmdPiecesSimpleGraphics, Choice::kPieceSet, 4},
    {kCmdBoardGreen, Choice::kBoardStyle, 0},
    {kCmdBoardBlue, Choice::kBoardStyle, 1},
    {kCmdBoardGray, Choice::kBoardStyle, 2},
    {kCmdBoardPink, Choice::kBoardStyle, 3},
    {kCmdBoardOakWood, Choice::kBoardStyle, 6},
    {kCmdBoardDeepOcean, Choice::kBoardStyle, 7},
    {kCmdBoardGreeny, Choice::kBoardStyle, 8},
    {kCmdBoardRosePaper, Choice::kBoardStyle, 9},
    {kCmdBoardTekWood, Choice::kBoardStyle, 10},
    {kCmdBoardRedMarble, Choice::kBoardStyle, 11},
    {kCmdBoardMerisierWood, Choice::kBoardStyle, 12},
    {kCmdBoardSteel, Choice::kBoardStyle, 13},
    {kCmdBoardNervyWood, Choice::kBoardStyle, 14},
    {kCmdBoardGreenMarble, Choice::kBoardStyle, 15},
    {kCmdBoardGreenLeather, Choice::kBoardStyle, 16},
    {kCmdDragAndDrop, Choice::kInputMode, 1},
    {kCmdClickAndClick, Choice::kInputMode, 0},
    {kCmdAnimationNone, Choice::kAnimation, 0},
    {kCmdSlowAnimation, Choice::kAnimation, 1},
    {kCmdFastAnimation, Choice::kAnimation, 2},
    {kCmdSoundsNone, Choice::kSound, 0},
    {kCmdSoundCard, Choice::kSound, 1},
    {kCmdNotationCoordinate0, Choice::kNotation, 0},
    {kCmdNotationCoordinate1, Choice::kNotation, 1},
    {kCmdNotationWxf, Choice::kNotation, 2},
    {kCmdNotationAxf, Choice::kNotation, 3},
    {kCmdNotationCoordinateCxq, Choice::kNotation, 4},
    {kCmdNotationAxfChinese, Choice::kNotation, 5},
    {kCmdNotationWxfChinese, Choice::kNotation, 6},
    {kCmdBoardCoordinates0, Choice::kCoordinates, 0},
    {kCmdBoardCoordinates1, Choice::kCoordinates, 1},
    {kCmdBoardCoordinatesChinese, Choice::kCoordinates, 2},
    {kCmdBoardCoordinatesNone, Choice::kCoordinates, 3},
    {kCmdBoardCoordinatesCxq, Choice::kCoordinates, 4},
    {kCmdLanguageFrench, Choice::kLanguage, kLanguageFrench},
    {kCmdLanguageEnglish, Choice::kLanguage, kLanguageEnglish},
    {kCmdLanguageSpanish, Choice::kLanguage, kLanguageSpanish},
    {kCmdLanguageGerman, Choice::kLanguage, kLanguageGerman},
    {kCmdLanguageSimplifiedChinese, Choice::kLanguage, kLanguageSimplifiedChinese},
    {kCmdLanguageTraditionalChinese, Choice::kLanguage, kLanguageTraditionalChinese},
};

const ChoiceItem* FindChoiceItem(int command) {
  for (const ChoiceItem& item : kChoiceItems) {
    if (item.command == command) return &item;
  }
  return nullptr;
}

int32_t ChoiceInForce(const CMainFrame& frame, Choice choice) {
  switch (choice) {
    case Choice::kBoardSize:
      return frame.boardSizeIndex;
    case Choice::kPieceSet:
      return frame.pieceSet;
    case Choice::kBoardStyle:
      return frame.boardStyle;
    case Choice::kInputMode:
      return frame.inputMode;
    case Choice::kAnimation:
      return frame.animationSpeed;
    case Choice::kSound:
      return soundEnabled;
    case Choice::kNotation:
      return notationKind;
    case Choice::kCoordinates:
      return frame.coordinateKind;
    case Choice::kLanguage:
      return currentLanguage;
  }
  return -1;
}

void ApplyChoice(CMainFrame& frame, Choice choice, int32_t value) {
  switch (choice) {
    case Choice::kBoardSize:
      if (value == 2) {
        frame.SetBigBoardSize(1);
      } else {
        frame.SetBoardSize(value == 0 ? 30 : 38, 1);
      }
      frame.UpdateToolbars();
      break;
    case Choice::kPieceSet:
      frame.LoadPieceSet(value);
      break;
    case Choice::kBoardStyle:
      frame.SetBoardStyle(value);
      break;
    case Choice::kInputMode:
      // A piece held or selected in the old mode is let go.
      frame.inputMode = value;
      frame.heldPiece = -1;
      frame.sourceColumn = -1;
      frame.targetColumn = -1;
      if (value == 1) frame.ignoreButtonUp = 0;
      break;
    case Choice::kAnimation:
      frame.animationSpeed = value;
      break;
    case Choice::kSound:
      soundEnabled = value;
      break;
    case Choice::kNotation:
      frame.SetNotation(value);
      break;
    case Choice::kCoordinates:
      frame.SetBoardCoordinates(value);
      break;
    case Choice::kLanguage:
      frame.SetLanguage(value);
      break;
  }
}

// The next value of a cycle first..last; a value outside it starts over.
int32_t NextInCycle(int32_t value, int32_t first, int32_t last) {
  return value >= first && value < last ? value + 1 : first;
}

void Repaint(CMainFrame& frame) {
  if (frame.BoardView() != nullptr) frame.BoardView()->Invalidate();
}

// Board turned or mirrored: the layout without reloading the pieces.
void AfterTurning(CMainFrame& frame) {
  frame.Relayout(0);
  Repaint(frame);
  if (frame.DesignToolBar() != nullptr) frame.DesignToolBar()->OnUpdateCmdUI();
}

bool ToolbarShown(const CToolBar* bar) { return bar != nullptr && !bar->isHidden(); }

// The commands that toggle a setting, with the setting's state.
bool RunToggle(CMainFrame& frame, int id) {
  switch (id) {
    case kCmdVerticalSymmetry:
      frame.rotation = frame.rotation != 0 ? 0 : 1;
      AfterTurning(frame);
      return true;
    case kCmdHorizontalSymmetry:
      frame.mirror = frame.mirror != 0 ? 0 : 1;
      AfterTurning(frame);
      return true;
    case kCmdUseTransparency:
      frame.alphaFactor = frame.alphaFactor == 255 ? 128 : 255;
      return true;
    case kCmdTranslateNamesToPinyin:
      translateNamesToPinyin = translateNamesToPinyin != 0 ? 0 : 1;
      frame.Relayout(0);
      Repaint(frame);
      return true;
    case kCmdGameToolbar:
      frame.ToggleToolbar(frame.GameToolBar());
      return true;
    case kCmdDesignToolbar:
      frame.ToggleToolbar(frame.DesignToolBar());
      return true;
    default:
      return false;
  }
}

// -1 when `id` is no toggle, else whether it is on.
int ToggleState(const CMainFrame& frame, int id) {
  switch (id) {
    case kCmdVerticalSymmetry:
      return frame.rotation != 0 ? 1 : 0;
    case kCmdHorizontalSymmetry:
      return frame.mirror != 0 ? 1 : 0;
    case kCmdUseTransparency:
      return frame.alphaFactor == 128 ? 1 : 0;
    case kCmdTranslateNamesToPinyin:
      return translateNamesToPinyin != 0 ? 1 : 0;
    case kCmdGameToolbar:
      return ToolbarShown(frame.GameToolBar()) ? 1 : 0;
    case kCmdDesignToolbar:
      return ToolbarShown(frame.DesignToolBar()) ? 1 : 0;
    default:
      return -1;
  }
}

// The design toolbar's cycling buttons (also menu items for the pieces
// and the board style).
bool RunCycle(CMainFrame& frame, int id) {
  switch (id) {
    case kCmdChangeBoardSize:
      // Only the layout: no toolbar pass of its own, unlike the size items.
      frame.boardSizeIndex = NextInCycle(frame.boardSizeIndex, 0, 2);
      frame.Relayout(1);
      return true;
    case kCmdPiecesStyle:
      frame.LoadPieceSet(NextInCycle(frame.pieceSet, 1, kPieceSetCount));
      return true;
    case kCmdBoardStyle:
      frame.SetBoardStyle(NextInCycle(frame.boardStyle, 0, kBoardStyleCount - 1));
      return true;
    case kCmdChangeLanguages:
      frame.SetLanguage(NextInCycle(currentLanguage, 0, kLanguageCount - 1));
      return true;
    default:
      return false;
  }
}

bool IsCycle(int id) {
  return id == kCmdChangeBoardSize || id == kCmdPiecesStyle || id == kCmdBoardStyle ||
         id == kCmdChangeLanguages;
}

}  // namespace

void CMainFrame::SetBoardStyle(int32_t style) {
  boardStyle = style;
  Relayout(1);
}

void CMainFrame::SetLanguage(int32_t language) {
  currentLanguage = language;
  // Qt's own dialog texts (standard buttons, the file dialog) follow.
  UseQtTranslation(language);
  RefreshFrameTexts();
  if (designToolBar_ != nullptr) designToolBar_->OnUpdateCmdUI();
  Relayout(0);
  // The side windows' titles are in the new language: none is cut.
  FitSideWindowsToTitles(this);
}

void CMainFrame::SetNotation(int32_t kind) {
  notationKind = kind;
  if (moveListWnd != nullptr) moveListWnd->Refresh();
  if (commentsDlg != nullptr) commentsDlg->Refresh();
  Repaint(*this);
}

void CMainFrame::SetBoardCoordinates(int32_t kind) {
  coordinateKind = kind;
  Relayout(0);
  Repaint(*this);
  // The numbered coordinates bring the notation of the same number.
  if (kind == 0 || kind == 1) SetNotation(kind);
}

void CMainFrame::ToggleToolbar(CToolBar* bar) {
  if (bar == nullptr) return;
  bar->setVisible(bar->isHidden());
  Repaint(*this);
  UpdateToolbarBand();
}

void CMainFrame::UpdateToolbarBand() {
  int32_t band = 0;
  for (CToolBar* bar : {gameToolBar_, designToolBar_}) {
    if (!ToolbarShown(bar)) continue;
    bar->move(0, band);
    band += kToolbarRowHeight;
  }
  toolbarBandHeight = band;
  Relayout(1);
}

bool RunViewCommand(CMainFrame* frame, int id) {
  if (RunToggle(*frame, id) || RunCycle(*frame, id)) return true;
  const ChoiceItem* item = FindChoiceItem(id);
  if (item == nullptr) return false;
  ApplyChoice(*frame, item->choice, item->value);
  return true;
}

bool UpdateViewCommand(CMainFrame* frame, CCmdUI& ui) {
  const int id = ui.GetId();
  const int toggle = ToggleState(*frame, id);
  if (toggle >= 0) {
    ui.SetCheck(toggle);
    return true;
  }
  if (IsCycle(id)) return true;
  const ChoiceItem* item = FindChoiceItem(id);
  if (item == nullptr) return false;
  ui.SetCheck(ChoiceInForce(*frame, item->choice) == item->value ? 1 : 0);
  return true;
}
