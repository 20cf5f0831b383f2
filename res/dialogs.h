// The dialog layouts of the interface, free of any window system: each
// template names its caption, its client size and its controls, placed in
// pixels from the top-left corner of the client area. The platform layer's
// CDialog builds a window from a template; the windows read and write the
// controls by id.
//
// Texts are 8-bit in the template's code page (Windows-1252 unless the
// template says otherwise); a line break inside a text is "\n".
#pragma once

#include <cstddef>
#include <cstdint>

#include "res/menus.h"  // CodePage

enum class DialogControlKind : uint8_t {
  kPushButton,     // a click sends its id as a command
  kDefPushButton,  // the push button that Enter presses
  kStaticText,     // a label; long texts wrap inside the control
  kStaticPicture,  // the bitmap ":/bitmaps/<bitmapId>", nothing when missing
  kEdit,           // one line of text
  kMultiLineEdit,  // a growable text of many lines
  kGroupBox,       // a titled frame drawn beneath the controls it groups
  kCheckBox,       // checked or not; a click also sends its id as a command
  kRadioButton,    // checked or not; the radio buttons of a template form one
                   // group, and a click also sends its id as a command
  kDropDownList,   // a closed list to pick one item from; the window adds
                   // the items
  kSlider,         // a horizontal track bar; the window sets its range
};

// Id of controls that are never addressed (labels, frames, pictures).
inline constexpr int32_t kControlNoId = -1;

struct DialogControl {
  int32_t id;  // kControlNoId or unique within the template
  DialogControlKind kind;
  const char* text;  // may be null
  int32_t x;
  int32_t y;
  int32_t width;  // 0 with height 0 for a picture: the bitmap's own size
  int32_t height;
  int32_t bitmapId;  // static pictures only, 0 otherwise
};

// Template styles.
inline constexpr uint32_t kDialogFixedSize = 0;
inline constexpr uint32_t kDialogResizable = 1;  // the user may resize the window

struct DialogTemplate {
  int32_t id;
  const char* caption;
  int32_t width;  // client size in pixels
  int32_t height;
  uint32_t style;
  CodePage codePage;  // of the caption and of every control text
  const DialogControl* controls;
  size_t controlCount;
};

// Codes of the common push buttons, also the result codes that OK and
// Cancel end a dialog with.
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;

// Template ids.
inline constexpr int32_t kDialogGetFolder = 102;
inline constexpr int32_t kDialogAbout = 120;
inline constexpr int32_t kDialogLogs = 153;
inline constexpr int32_t kDialogLanguage = 177;

// Controls of the language chooser: one push button per language.
inline constexpr int32_t kCtlLanguageFrench = 1020;
inline constexpr int32_t kCtlLanguageEnglish = 1021;
inline constexpr int32_t kCtlLanguageSpanish = 1022;
inline constexpr int32_t kCtlLanguageChinese = 1023;
inline constexpr int32_t kCtlLanguageGerman = 1024;
// The about box's version line.
inline constexpr int32_t kCtlAboutVersion = 1083;
// The log window's text.
inline constexpr int32_t kCtlLogText = 1064;
// The folder chooser's path and its browse button.
inline constexpr int32_t kCtlFolderPath = 1000;
inline constexpr int32_t kCtlFolderBrowse = 3;

// Bitmaps shown by the templates.
inline constexpr int32_t kBitmapAboutPicture = 110;  // 240 x 160
inline constexpr int32_t kBitmapFlagFrance = 182;    // flags: 48 x 32
inline constexpr int32_t kBitmapFlagUnitedKingdom = 183;
inline constexpr int32_t kBitmapFlagSpain = 184;
inline constexpr int32_t kBitmapFlagChina = 185;
inline constexpr int32_t kBitmapFlagGermany = 186;

// Every template, for checks of the whole table.
extern const DialogTemplate* const kAllDialogTemplates[];
extern const size_t kDialogTemplateCount;

// The template of an id, null for an unknown id.
const DialogTemplate* FindDialogTemplate(int id);

// The small modal dialogs: side to move after a position setup, the game
// header editor and the one-line input.
inline constexpr int32_t kDialogSideToMove = 121;
inline constexpr int32_t kDialogInput = 122;
inline constexpr int32_t kDialogGameInfo = 141;

// Side to move: the label and the two radio buttons.
inline constexpr int32_t kCtlSideToMoveLabel = 1012;
inline constexpr int32_t kCtlSideRed = 1010;
inline constexpr int32_t kCtlSideBlack = 1011;
// One-line input: the edit and the prompt above it.
inline constexpr int32_t kCtlInputText = 1013;
inline constexpr int32_t kCtlInputPrompt = 1014;

// The game header controls, shared by the header editor and the game
// information window: one edit per header text, the result list, the game
// comment and the labels.
inline constexpr int32_t kCtlHeaderEvent = 1035;
inline constexpr int32_t kCtlHeaderSite = 1036;
inline constexpr int32_t kCtlHeaderDate = 1037;
inline constexpr int32_t kCtlHeaderRound = 1038;
inline constexpr int32_t kCtlHeaderRedName = 1019;
inline constexpr int32_t kCtlHeaderRedElo = 1032;
inline constexpr int32_t kCtlHeaderBlackName = 1033;
inline constexpr int32_t kCtlHeaderBlackElo = 1034;
inline constexpr int32_t kCtlHeaderAuthor = 1043;
inline constexpr int32_t kCtlHeaderTimeControl = 1045;
inline constexpr int32_t kCtlHeaderResult = 1074;
inline constexpr int32_t kCtlHeaderComment = 1041;
inline constexpr int32_t kCtlLabelEvent = 1025;
inline constexpr int32_t kCtlLabelSite = 1026;
inline constexpr int32_t kCtlLabelDate = 1030;
inline constexpr int32_t kCtlLabelRound = 1027;
inline constexpr int32_t kCtlLabelRed = 1018;
inline constexpr int32_t kCtlLabelRedElo = 1028;
inline constexpr int32_t kCtlLabelBlack = 1024;
inline constexpr int32_t kCtlLabelBlackElo = 1029;
inline constexpr int32_t kCtlLabelAuthor = 1042;
inline constexpr int32_t kCtlLabelTimeControl = 1044;
inline constexpr int32_t kCtlLabelResult = 1031;

// The game information window: a resizable tool window with the header
// controls above and the game comment below.
inline constexpr int32_t kDialogGameStatus = 129;

// The comments window: the move line above the comment of the shown move.
inline constexpr int32_t kDialogComments = 157;
inline constexpr int32_t kCtlCommentText = 1041;
inline constexpr int32_t kCtlCommentMoveLine = 1072;

// The mini clock: each side's name, clock and time on the current move, top
// row and bottom row, and the moves left in the period.
inline constexpr int32_t kDialogMiniClock = 166;
inline constexpr int32_t kCtlMiniTopName = 1086;
inline constexpr int32_t kCtlMiniTopClock = 1002;
inline constexpr int32_t kCtlMiniTopMove = 1004;
inline constexpr int32_t kCtlMiniBottomName = 1087;
inline constexpr int32_t kCtlMiniBottomClock = 1003;
inline constexpr int32_t kCtlMiniBottomMove = 1005;
inline constexpr int32_t kCtlMiniMovesLeft = 1123;

// The clock setting dialog: each side's clock as "h:m:s" with its label.
inline constexpr int32_t kDialogClockSet = 147;
inline constexpr int32_t kCtlClockSetRedTime = 1089;
inline constexpr int32_t kCtlClockSetBlackTime = 1090;
inline constexpr int32_t kCtlClockSetRedLabel = 1117;
inline constexpr int32_t kCtlClockSetBlackLabel = 1118;

// The timing page: one radio per time-control mode with its edits and
// labels.
inline constexpr int32_t kDialogTiming = 140;
inline constexpr int32_t kCtlTimingModePerMove = 1017;  // seconds per move
inline constexpr int32_t kCtlTimingModeDepth = 1018;    // fixed depth
inline constexpr int32_t kCtlTimingModeGame = 1015;     // minutes and seconds per game
inline constexpr int32_t kCtlTimingModePeriods = 1019;  // three periods
inline constexpr int32_t kCtlTimingGameMinutes = 1009;
inline constexpr int32_t kCtlTimingGameSeconds = 1010;
inline constexpr int32_t kCtlTimingSecondsPerMove = 1011;
inline constexpr int32_t kCtlTimingDepth = 1012;
inline constexpr int32_t kCtlTimingExact = 1134;
inline constexpr int32_t kCtlTimingPeriod1Moves = 1013;
inline constexpr int32_t kCtlTimingPeriod1Seconds = 1014;
inline constexpr int32_t kCtlTimingPeriod2Moves = 1016;
inline constexpr int32_t kCtlTimingPeriod2Seconds = 1021;
inline constexpr int32_t kCtlTimingPeriod3Moves = 1023;
inline constexpr int32_t kCtlTimingPeriod3Seconds = 1024;
inline constexpr int32_t kCtlTimingSecondsPerGameLabel = 1087;
inline constexpr int32_t kCtlTimingMinutesLabel = 1088;
inline constexpr int32_t kCtlTimingSecondsPerMoveLabel = 1089;
inline constexpr int32_t kCtlTimingDepthLabel = 1090;
inline constexpr int32_t kCtlTimingPeriod1MovesLabel = 1133;
inline constexpr int32_t kCtlTimingPeriod2MovesLabel = 1094;
inline constexpr int32_t kCtlTimingPeriod3MovesLabel = 1096;
inline constexpr int32_t kCtlTimingPeriod1SecondsLabel = 1091;
inline constexpr int32_t kCtlTimingPeriod2SecondsLabel = 1093;
inline constexpr int32_t kCtlTimingPeriod3SecondsLabel = 1095;

// The options sheet's pages; every page has its "Default" button as
// control 3.
inline constexpr int32_t kDialogGeneralConfig = 134;
inline constexpr int32_t kDialogPiecesValue = 155;
inline constexpr int32_t kDialogLearning = 156;
inline constexpr int32_t kDialogOpeningBook = 173;
inline constexpr int32_t kDialogEndgame = 194;
inline constexpr int32_t kCtlOptionsDefault = 3;
// General configuration.
inline constexpr int32_t kCtlGeneralContemptRed = 1054;
inline constexpr int32_t kCtlGeneralContemptBlack = 1055;
inline constexpr int32_t kCtlGeneralHashSize = 1056;
inline constexpr int32_t kCtlGeneralKnowledge = 1065;  // track bar 0..12
inline constexpr int32_t kCtlGeneralSelection = 1110;
inline constexpr int32_t kCtlGeneralKnowledgeLabel = 1060;
inline constexpr int32_t kCtlGeneralHashLabel = 1058;
inline constexpr int32_t kCtlGeneralContemptRedLabel = 1114;
inline constexpr int32_t kCtlGeneralContemptBlackLabel = 1115;
inline constexpr int32_t kCtlGeneralMinLabel = 1088;
inline constexpr int32_t kCtlGeneralMaxLabel = 1116;
// Pieces value: red and black edits, chariot to pawn.
inline constexpr int32_t kCtlPiecesRed[6] = {1068, 1072, 1074, 1076, 1078, 1080};
inline constexpr int32_t kCtlPiecesBlack[6] = {1082, 1084, 1086, 1088, 1090, 1092};
// Learning.
inline constexpr int32_t kCtlLearningSize = 1057;
inline constexpr int32_t kCtlLearningUsed = 1063;
inline constexpr int32_t kCtlLearningMateUsed = 1066;
inline constexpr int32_t kCtlLearningUse = 1069;
inline constexpr int32_t kCtlLearningLearnMoves = 1071;
inline constexpr int32_t kCtlLearningAmnesy = 1070;
inline constexpr int32_t kCtlLearningSizeLabel = 1059;
inline constexpr int32_t kCtlLearningUsedLabel = 1061;
inline constexpr int32_t kCtlLearningMateUsedLabel = 1062;
// Opening books: per book its check, file name and three mode radios.
inline constexpr int32_t kCtlBook1On = 1126;
inline constexpr int32_t kCtlBook1File = 1124;
inline constexpr int32_t kCtlBook1Normal = 1125;
inline constexpr int32_t kCtlBook1Tournament = 1127;
inline constexpr int32_t kCtlBook1Blitz = 1128;
inline constexpr int32_t kCtlBook2On = 1133;
inline constexpr int32_t kCtlBook2File = 1130;
inline constexpr int32_t kCtlBook2Normal = 1132;
inline constexpr int32_t kCtlBook2Tournament = 1134;
inline constexpr int32_t kCtlBook2Blitz = 1135;
inline constexpr int32_t kCtlBook1Label = 1129;
inline constexpr int32_t kCtlBook2Label = 1131;
// Endgame tablebase.
inline constexpr int32_t kCtlEndgameDepth = 1139;
inline constexpr int32_t kCtlEndgameUse = 1140;
inline constexpr int32_t kCtlEndgameDirectory = 1141;
inline constexpr int32_t kCtlEndgameVersion = 1143;
