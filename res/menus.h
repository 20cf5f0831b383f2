// The menu resources of the interface, free of any window system: the
// command ids, the menu bar of each language, the drop-down menus of the
// design toolbar and the pop-up menus that the windows build at run time.
// A menu is a flat list of nodes in resource order: a sub-menu opens with a
// kPopup node carrying its title and closes with a kEnd node.
#pragma once

#include <cstddef>
#include <cstdint>

#include "res/menu_texts.h"

enum CommandId : uint16_t {
  // Frame commands outside the 40000 range
  kCmdTiming = 110,  // no menu item
  kCmdExit = 111,
  kCmdAbout = 112,
  // File
  kCmdLoadGame = 40001,
  kCmdSaveGame = 40003,
  kCmdSaveOnEachMove = 40056,
  kCmdCopyFenPosition = 40196,
  kCmdCopyCcFenPosition = 40199,
  kCmdCopyChessboard = 40113,
  kCmdCopyMoveList = 40114,
  kCmdPasteFenPosition = 40197,
  kCmdPrintMoveList = 40083,
  kCmdPrintGraphicalMoveList = 40198,
  kCmdProperties = 40116,  // no menu item
  // Game
  kCmdNewGame = 40009,
  kCmdTakeBackOneMove = 40012,
  kCmdTakeBackAll = 40013,
  kCmdReplayOneMove = 40014,
  kCmdReplayAll = 40016,
  kCmdGotoMove = 40073,
  kCmdNoComputerMode = 40072,
  kCmdAutomove = 40187,      // game toolbar only
  kCmdEngineIdle = 40137,    // no menu item, enabled while the engine is idle
  kCmdLevelFirstSteps1 = 40107,
  kCmdLevelFirstSteps2 = 40109,
  kCmdLevelFirstSteps3 = 40117,
  kCmdLevelBeginner1300 = 40025,
  kCmdLevelBeginner1400 = 40026,
  kCmdLevelBeginner1500 = 40027,
  kCmdLevelMiddlePlayer = 40028,
  kCmdLevelConfirmedPlayer = 40029,
  kCmdLevelAdvancedPlayer = 40030,
  kCmdLevel1SecondPerMove = 40031,
  kCmdLevel2SecondsPerMove = 40032,
  kCmdLevel5SecondsPerMove = 40033,  // no menu item
  kCmdLevel2MinPerGame = 40035,
  kCmdLevel5MinPerGame = 40036,  // no menu item
  kCmdHandicapNone = 40041,
  kCmdHandicap2Pawns = 40042,
  kCmdHandicap1Knight = 40043,
  kCmdHandicap1Cannon = 40044,
  kCmdHandicap2Knights = 40045,
  kCmdHandicapCannonKnight = 40046,
  kCmdHandicapChariot = 40047,
  kCmdHandicapChariotKnight = 40048,
  kCmdHandicapChariotCannon = 40049,
  kCmdHandicapChariotCannonKnight = 40050,
  kCmdBlackIronPawn = 40189,
  kCmdRedIronPawn = 40190,
  // Thinking
  kCmdPlayCurrentPosition = 40019,
  kCmdStopThinking = 40017,
  kCmdNextBestMove = 40020,
  kCmdHint = 40069,
  kCmdPonder = 40005,
  kCmdShowComputingMoves = 40177,
  kCmdBookNone = 40053,
  kCmdBookNormal = 40054,
  kCmdBookTournament = 40055,
  // Preferences
  kCmdBoardSizeSmall = 40183,
  kCmdBoardSizeMedium = 40021,
  kCmdBoardSizeBig = 40022,
  kCmdChangeBoardSize = 40185,  // design toolbar
  kCmdVerticalSymmetry = 40004,
  kCmdHorizontalSymmetry = 40141,
  kCmdPiecesStyle = 40099,
  kCmdBoardStyle = 40100,
  kCmdDragAndDrop = 40060,
  kCmdClickAndClick = 40061,
  kCmdAnimationNone = 40080,
  kCmdSlowAnimation = 40082,
  kCmdFastAnimation = 40081,
  kCmdUseTransparency = 40118,
  kCmdSoundsNone = 40110,
  kCmdSoundCard = 40111,
  kCmdNotationCoordinate0 = 40063,
  kCmdNotationCoordinate1 = 40064,
  kCmdNotationWxf = 40065,
  kCmdNotationAxf = 40066,
  kCmdNotationCoordinateCxq = 40128,
  kCmdNotationAxfChinese = 40180,
  kCmdNotationWxfChinese = 40179,
  kCmdBoardCoordinates0 = 40074,
  kCmdBoardCoordinates1 = 40075,
  kCmdBoardCoordinatesChinese = 40076,
  kCmdBoardCoordinatesNone = 40077,
  kCmdBoardCoordinatesCxq = 40129,
  kCmdTranslateNamesToPinyin = 40181,
  kCmdLanguageFrench = 40067,
  kCmdLanguageEnglish = 40068,
  kCmdLanguageSpanish = 40120,
  kCmdLanguageGerman = 40121,
  kCmdLanguageSimplifiedChinese = 40168,
  kCmdLanguageTraditionalChinese = 40191,
  kCmdChangeLanguages = 40151,  // design toolbar
  kCmdPriorityLow = 40195,
  kCmdPriorityNormal = 40194,
  // Windows
  kCmdClock = 40008,
  kCmdMiniClock = 40136,
  kCmdGameList = 40018,
  kCmdGameStatus = 40106,
  kCmdComments = 40122,
  kCmdGameToolbar = 40170,
  kCmdDesignToolbar = 40171,
  // "Pieces" drop-down
  kCmdPiecesBasic = 40142,
  kCmdPiecesOldPemmet = 40143,
  kCmdPiecesSepa = 40144,
  kCmdPiecesSimpleGraphics = 40145,
  kCmdPiecesSet5 = 40146,  // 40146..40150 and 40192: items without a command
  kCmdPiecesSet6 = 40147,
  kCmdPiecesSet7 = 40148,
  kCmdPiecesSet8 = 40149,
  kCmdPiecesSet9 = 40150,
  kCmdPiecesSet10 = 40192,
  // "Boards" drop-down
  kCmdBoardGreen = 40158,
  kCmdBoardBlue = 40159,
  kCmdBoardGray = 40165,
  kCmdBoardPink = 40182,
  kCmdBoardOakWood = 40152,
  kCmdBoardDeepOcean = 40153,
  kCmdBoardGreeny = 40154,
  kCmdBoardRosePaper = 40155,
  kCmdBoardTekWood = 40156,
  kCmdBoardRedMarble = 40157,
  kCmdBoardMerisierWood = 40160,
  kCmdBoardSteel = 40161,
  kCmdBoardNervyWood = 40162,
  kCmdBoardGreenMarble = 40163,
  kCmdBoardGreenLeather = 40164,
  kCmdBoardCustom = 40166,  // item without a command
  // Board right-click menu
  kCmdSetupPosition = 40051,
  kCmdEndSetupPosition = 40052,
  kCmdEmptyBoard = 40085,
  kCmdRevertColors = 40104,
  kCmdLeftRightSymmetry = 40126,
  kCmdAddRedPawn = 40086,
  kCmdAddRedAdviser = 40087,
  kCmdAddRedElephant = 40088,
  kCmdAddRedHorse = 40089,
  kCmdAddRedCannon = 40090,
  kCmdAddRedChariot = 40091,
  kCmdAddBlackPawn = 40092,
  kCmdAddBlackAdviser = 40093,
  kCmdAddBlackCannon = 40094,
  kCmdAddBlackElephant = 40095,
  kCmdAddBlackHorse = 40096,
  kCmdAddBlackChariot = 40097,
};

// Ids of the commands of the clock windows' pop-up menu.
enum ClockMenuId : uint16_t { kClockMenuSetTime = 100, kClockMenuPause = 101 };

// Ids of the commands of the comments window's pop-up menu: the annotation
// marks 0..5 are ids 100..105.
enum CommentMenuId : uint16_t {
  kCommentMenuMarkNone = 100,
  kCommentMenuMarkBlunder = 101,
  kCommentMenuMarkMistake = 102,
  kCommentMenuMarkEven = 103,
  kCommentMenuMarkGood = 104,
  kCommentMenuMarkExcellent = 105,
  kCommentMenuResetComments = 106,
};

// Menu resource ids.
enum MenuResourceId : uint16_t {
  kMenuEnglish = 100,
  kMenuFrench = 101,
  kMenuGerman = 102,
  kMenuSpanish = 103,
  kMenuPiecesDropDown = 167,
  kMenuLanguagesDropDown = 168,
  kMenuBoardsDropDown = 169,
  kMenuSimplifiedChinese = 170,
  kMenuBoardSizeDropDown = 177,
  kMenuBoardSizeDropDownChinese = 178,
  kMenuTraditionalChinese = 179,
};

// 8-bit code page of a text: Windows-1252 for the Latin languages, GBK for
// Simplified and Big5 for Traditional Chinese.
enum class CodePage : uint8_t { kWindows1252, kGbk, kBig5 };

// One menu text in the six languages (LanguageId order), as UTF-8 and as the
// 8-bit bytes the interface shows, with the code page of each 8-bit form.
// Language names are shown in their own script in every language, so their
// code page is that of the language they name.
struct MenuTextRow {
  const char* utf8[6];
  const char* local[6];
  CodePage codePage[6];
};

extern const MenuTextRow kMenuTextRows[kMenuTextCount];

enum class MenuNodeKind : uint8_t {
  kItem,       // a command with its text
  kSeparator,  // a line
  kPopup,      // opens a sub-menu titled by its text
  kEnd,        // closes the innermost open sub-menu
};

struct MenuNode {
  MenuNodeKind kind;
  uint16_t command;  // kItem only, 0 otherwise
  MenuTextId text;   // kItem and kPopup only
};

// A menu resource: its nodes and the language whose entry of each text row
// it shows.
struct MenuResource {
  uint16_t id;
  int language;
  const MenuNode* nodes;
  size_t nodeCount;
};

// Every menu resource, the six menu bars first in LanguageId order.
extern const MenuResource kMenuResources[];
extern const size_t kMenuResourceCount;

// The resource of a menu id, null for an unknown id.
const MenuResource* FindMenuResource(int id);
// The menu bar resource id of a language, 0 for a value outside 0..5.
int MenuBarIdForLanguage(int language);
// The drop-down menu of a design toolbar button, 0 for other commands.
int DropDownMenuIdForCommand(int command, int language);

// The board's right-click menu: one item outside setup mode, the editing
// commands in setup mode. Its texts follow the current language.
struct MenuNodeList {
  const MenuNode* nodes;
  size_t nodeCount;
};
MenuNodeList BoardPopupMenu(bool inSetupMode);
// The clock windows' pop-up menu (fixed English texts).
MenuNodeList ClockPopupMenu();
// The comments window's pop-up menu.
MenuNodeList CommentsPopupMenu();

// The 8-bit text of a row in a language (0..5), and its code page.
const char* MenuText(MenuTextId text, int language);
CodePage MenuTextCodePage(MenuTextId text, int language);
// The iconv name of a code page.
const char* CodePageName(CodePage page);
