#include "res/dialogs.h"

#include <iterator>

namespace {

using K = DialogControlKind;

// The chooser lists the languages one per row, each button with its flag on
// its left.
constexpr DialogControl kLanguageControls[] = {
    {kControlNoId, K::kStaticPicture, nullptr, 16, 12, 48, 32, kBitmapFlagFrance},
    {kCtlLanguageFrench, K::kPushButton, "Fran\xE7" "ais", 80, 14, 144, 28, 0},
    {kControlNoId, K::kStaticPicture, nullptr, 16, 56, 48, 32, kBitmapFlagUnitedKingdom},
    {kCtlLanguageEnglish, K::kPushButton, "English", 80, 58, 144, 28, 0},
    {kControlNoId, K::kStaticPicture, nullptr, 16, 100, 48, 32, kBitmapFlagSpain},
    {kCtlLanguageSpanish, K::kPushButton, "Espa\xF1" "ol", 80, 102, 144, 28, 0},
    {kControlNoId, K::kStaticPicture, nullptr, 16, 144, 48, 32, kBitmapFlagGermany},
    {kCtlLanguageGerman, K::kPushButton, "German", 80, 146, 144, 28, 0},
    {kControlNoId, K::kStaticPicture, nullptr, 16, 188, 48, 32, kBitmapFlagChina},
    {kCtlLanguageChinese, K::kPushButton, "Chinese", 80, 190, 144, 28, 0},
};

constexpr DialogControl kAboutControls[] = {
    {kControlNoId, K::kStaticPicture, nullptr, 10, 10, 240, 160, kBitmapAboutPicture},
    {kControlNoId, K::kStaticText,
     "Vorelk plays xiangqi, the Chinese chess.\n\n"
     "Search, evaluation, opening books, game files and interface "
     "by the Vorelk developers.\n\n"
     "Freeware: use it and give it away freely.",
     264, 8, 246, 158, 0},
    {kCtlAboutVersion, K::kStaticText, "Version", 264, 168, 246, 20, 0},
    {IDOK, K::kDefPushButton, "OK", 420, 192, 90, 28, 0},
};

constexpr DialogControl kLogsControls[] = {
    {kCtlLogText, K::kMultiLineEdit, nullptr, 10, 10, 380, 232, 0},
};

constexpr DialogControl kGetFolderControls[] = {
    {kCtlFolderPath, K::kEdit, nullptr, 12, 16, 250, 26, 0},
    {kCtlFolderBrowse, K::kPushButton, "Browse", 272, 15, 76, 28, 0},
    {IDOK, K::kDefPushButton, "OK", 160, 68, 90, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 258, 68, 90, 28, 0},
};

constexpr DialogControl kSideToMoveControls[] = {
    {kCtlSideToMoveLabel, K::kStaticText, "Color to move", 16, 12, 188, 20, 0},
    {kCtlSideRed, K::kRadioButton, "Red", 32, 38, 160, 22, 0},
    {kCtlSideBlack, K::kRadioButton, "Black", 32, 64, 160, 22, 0},
    {IDOK, K::kDefPushButton, "OK", 15, 98, 90, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 115, 98, 90, 28, 0},
};

constexpr DialogControl kInputControls[] = {
    {kCtlInputPrompt, K::kStaticText, nullptr, 12, 12, 276, 36, 0},
    {kCtlInputText, K::kEdit, nullptr, 12, 52, 276, 26, 0},
    {IDOK, K::kDefPushButton, "OK", 100, 88, 90, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 198, 88, 90, 28, 0},
};

// Labels on the left of their edits; the short fields go in pairs.
constexpr DialogControl kGameInfoControls[] = {
    {kCtlLabelEvent, K::kStaticText, "Event", 10, 15, 130, 20, 0},
    {kCtlHeaderEvent, K::kEdit, nullptr, 145, 12, 355, 26, 0},
    {kCtlLabelSite, K::kStaticText, "Site", 10, 45, 130, 20, 0},
    {kCtlHeaderSite, K::kEdit, nullptr, 145, 42, 355, 26, 0},
    {kCtlLabelDate, K::kStaticText, "Date", 10, 75, 130, 20, 0},
    {kCtlHeaderDate, K::kEdit, nullptr, 145, 72, 140, 26, 0},
    {kCtlLabelRound, K::kStaticText, "Round", 295, 75, 95, 20, 0},
    {kCtlHeaderRound, K::kEdit, nullptr, 395, 72, 105, 26, 0},
    {kCtlLabelRed, K::kStaticText, "Red", 10, 105, 130, 20, 0},
    {kCtlHeaderRedName, K::kEdit, nullptr, 145, 102, 140, 26, 0},
    {kCtlLabelRedElo, K::kStaticText, "Red ELO", 295, 105, 95, 20, 0},
    {kCtlHeaderRedElo, K::kEdit, nullptr, 395, 102, 105, 26, 0},
    {kCtlLabelBlack, K::kStaticText, "Black", 10, 135, 130, 20, 0},
    {kCtlHeaderBlackName, K::kEdit, nullptr, 145, 132, 140, 26, 0},
    {kCtlLabelBlackElo, K::kStaticText, "Black ELO", 295, 135, 95, 20, 0},
    {kCtlHeaderBlackElo, K::kEdit, nullptr, 395, 132, 105, 26, 0},
    {kCtlLabelAuthor, K::kStaticText, "Author", 10, 165, 130, 20, 0},
    {kCtlHeaderAuthor, K::kEdit, nullptr, 145, 162, 355, 26, 0},
    {kCtlLabelTimeControl, K::kStaticText, "Time control", 10, 195, 130, 20, 0},
    {kCtlHeaderTimeControl, K::kEdit, nullptr, 145, 192, 355, 26, 0},
    {kCtlLabelResult, K::kStaticText, "Result", 10, 225, 130, 20, 0},
    {kCtlHeaderResult, K::kDropDownList, nullptr, 145, 222, 140, 26, 0},
    {kCtlHeaderComment, K::kMultiLineEdit, nullptr, 10, 258, 490, 120, 0},
    {IDOK, K::kDefPushButton, "OK", 310, 388, 90, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 410, 388, 90, 28, 0},
};

// The header controls without buttons, the long texts one a row; the window
// stretches those edits and the comment as it is resized.
constexpr DialogControl kGameStatusControls[] = {
    {kCtlLabelEvent, K::kStaticText, "Event", 10, 15, 130, 20, 0},
    {kCtlHeaderEvent, K::kEdit, nullptr, 145, 12, 355, 26, 0},
    {kCtlLabelSite, K::kStaticText, "Site", 10, 45, 130, 20, 0},
    {kCtlHeaderSite, K::kEdit, nullptr, 145, 42, 355, 26, 0},
    {kCtlLabelDate, K::kStaticText, "Date", 10, 75, 130, 20, 0},
    {kCtlHeaderDate, K::kEdit, nullptr, 145, 72, 355, 26, 0},
    {kCtlLabelRound, K::kStaticText, "Round", 10, 105, 130, 20, 0},
    {kCtlHeaderRound, K::kEdit, nullptr, 145, 102, 355, 26, 0},
    {kCtlLabelRed, K::kStaticText, "Red", 10, 135, 130, 20, 0},
    {kCtlHeaderRedName, K::kEdit, nullptr, 145, 132, 140, 26, 0},
    {kCtlLabelRedElo, K::kStaticText, "Red ELO", 295, 135, 95, 20, 0},
    {kCtlHeaderRedElo, K::kEdit, nullptr, 395, 132, 105, 26, 0},
    {kCtlLabelBlack, K::kStaticText, "Black", 10, 165, 130, 20, 0},
    {kCtlHeaderBlackName, K::kEdit, nullptr, 145, 162, 140, 26, 0},
    {kCtlLabelBlackElo, K::kStaticText, "Black ELO", 295, 165, 95, 20, 0},
    {kCtlHeaderBlackElo, K::kEdit, nullptr, 395, 162, 105, 26, 0},
    {kCtlLabelAuthor, K::kStaticText, "Author", 10, 195, 130, 20, 0},
    {kCtlHeaderAuthor, K::kEdit, nullptr, 145, 192, 355, 26, 0},
    {kCtlLabelTimeControl, K::kStaticText, "Time control", 10, 225, 130, 20, 0},
    {kCtlHeaderTimeControl, K::kEdit, nullptr, 145, 222, 355, 26, 0},
    {kCtlLabelResult, K::kStaticText, "Result", 10, 255, 130, 20, 0},
    {kCtlHeaderResult, K::kDropDownList, nullptr, 145, 252, 140, 26, 0},
    {kCtlHeaderComment, K::kMultiLineEdit, nullptr, 10, 288, 490, 120, 0},
};

// The move line above the comment, which fills the rest of the window.
constexpr DialogControl kCommentsControls[] = {
    {kCtlCommentMoveLine, K::kStaticText, nullptr, 10, 8, 280, 20, 0},
    {kCtlCommentText, K::kMultiLineEdit, nullptr, 10, 32, 280, 138, 0},
};

// The mini clock: one row per side of name, clock and time on the move,
// then the moves left in the period.
constexpr DialogControl kMiniClockControls[] = {
    {kCtlMiniTopName, K::kStaticText, nullptr, 10, 8, 70, 20, 0},
    {kCtlMiniTopClock, K::kStaticText, "00:00:00", 84, 8, 80, 20, 0},
    {kCtlMiniTopMove, K::kStaticText, "00:00", 170, 8, 50, 20, 0},
    {kCtlMiniBottomName, K::kStaticText, nullptr, 10, 34, 70, 20, 0},
    {kCtlMiniBottomClock, K::kStaticText, "00:00:00", 84, 34, 80, 20, 0},
    {kCtlMiniBottomMove, K::kStaticText, "00:00", 170, 34, 50, 20, 0},
    {kCtlMiniMovesLeft, K::kStaticText, "moves", 10, 62, 210, 20, 0},
};

constexpr DialogControl kClockSetControls[] = {
    {kCtlClockSetRedLabel, K::kStaticText, "Red", 12, 16, 84, 20, 0},
    {kCtlClockSetRedTime, K::kEdit, nullptr, 100, 12, 140, 26, 0},
    {kCtlClockSetBlackLabel, K::kStaticText, "Black", 12, 50, 84, 20, 0},
    {kCtlClockSetBlackTime, K::kEdit, nullptr, 100, 46, 140, 26, 0},
    {IDOK, K::kDefPushButton, "OK", 52, 86, 90, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 150, 86, 90, 28, 0},
};

// One row per mode, its radio on the left; the three periods take a row
// each.
constexpr DialogControl kTimingControls[] = {
    {kCtlTimingModePerMove, K::kRadioButton, nullptr, 12, 16, 22, 22, 0},
    {kCtlTimingSecondsPerMove, K::kEdit, nullptr, 38, 14, 56, 26, 0},
    {kCtlTimingSecondsPerMoveLabel, K::kStaticText, "seconds / move", 100, 18, 150, 20, 0},
    {kCtlTimingExact, K::kCheckBox, "Exact", 260, 16, 120, 22, 0},
    {kCtlTimingModeDepth, K::kRadioButton, nullptr, 12, 50, 22, 22, 0},
    {kCtlTimingDepth, K::kEdit, nullptr, 38, 48, 56, 26, 0},
    {kCtlTimingDepthLabel, K::kStaticText, "fixed depth", 100, 52, 150, 20, 0},
    {kCtlTimingModeGame, K::kRadioButton, nullptr, 12, 84, 22, 22, 0},
    {kCtlTimingGameMinutes, K::kEdit, nullptr, 38, 82, 56, 26, 0},
    {kCtlTimingMinutesLabel, K::kStaticText, "min", 100, 86, 70, 20, 0},
    {kCtlTimingGameSeconds, K::kEdit, nullptr, 176, 82, 56, 26, 0},
    {kCtlTimingSecondsPerGameLabel, K::kStaticText, "seconds / game", 238, 86, 150, 20, 0},
    {kCtlTimingModePeriods, K::kRadioButton, nullptr, 12, 118, 22, 22, 0},
    {kCtlTimingPeriod1Moves, K::kEdit, nullptr, 38, 116, 56, 26, 0},
    {kCtlTimingPeriod1MovesLabel, K::kStaticText, "moves", 100, 120, 70, 20, 0},
    {kCtlTimingPeriod1Seconds, K::kEdit, nullptr, 176, 116, 56, 26, 0},
    {kCtlTimingPeriod1SecondsLabel, K::kStaticText, "seconds", 238, 120, 150, 20, 0},
    {kCtlTimingPeriod2Moves, K::kEdit, nullptr, 38, 148, 56, 26, 0},
    {kCtlTimingPeriod2MovesLabel, K::kStaticText, "moves", 100, 152, 70, 20, 0},
    {kCtlTimingPeriod2Seconds, K::kEdit, nullptr, 176, 148, 56, 26, 0},
    {kCtlTimingPeriod2SecondsLabel, K::kStaticText, "seconds", 238, 152, 150, 20, 0},
    {kCtlTimingPeriod3Moves, K::kEdit, nullptr, 38, 180, 56, 26, 0},
    {kCtlTimingPeriod3MovesLabel, K::kStaticText, "moves", 100, 184, 70, 20, 0},
    {kCtlTimingPeriod3Seconds, K::kEdit, nullptr, 176, 180, 56, 26, 0},
    {kCtlTimingPeriod3SecondsLabel, K::kStaticText, "seconds", 238, 184, 150, 20, 0},
};

// The options sheet's pages, as wide as the widest row of the five tab
// titles: labels on the left of their fields, the "Default" button at the
// bottom right.
constexpr DialogControl kGeneralConfigControls[] = {
    {kCtlGeneralContemptRedLabel, K::kStaticText, "Contempt factor for Red", 12, 16, 270, 20, 0},
    {kCtlGeneralContemptRed, K::kEdit, nullptr, 290, 12, 80, 26, 0},
    {kCtlGeneralContemptBlackLabel, K::kStaticText, "Contempt factor for Black", 12, 50, 270, 20,
     0},
    {kCtlGeneralContemptBlack, K::kEdit, nullptr, 290, 46, 80, 26, 0},
    {kCtlGeneralHashLabel, K::kStaticText, "Hash table size in Mb", 12, 84, 270, 20, 0},
    {kCtlGeneralHashSize, K::kEdit, nullptr, 290, 80, 80, 26, 0},
    {kCtlGeneralKnowledgeLabel, K::kStaticText, "Game knowledge", 12, 120, 358, 20, 0},
    {kCtlGeneralMinLabel, K::kStaticText, "Min", 12, 148, 40, 20, 0},
    {kCtlGeneralKnowledge, K::kSlider, nullptr, 56, 144, 268, 26, 0},
    {kCtlGeneralMaxLabel, K::kStaticText, "Max", 330, 148, 40, 20, 0},
    {kCtlGeneralSelection, K::kCheckBox, "Selective search", 12, 184, 270, 22, 0},
    {kCtlOptionsDefault, K::kPushButton, "Default", 508, 214, 100, 28, 0},
};

// Red column on the left, black on the right; the piece pictures (36
// pixels) go 50 pixels left of each edit.
constexpr DialogControl kPiecesValueControls[] = {
    {kCtlPiecesRed[0], K::kEdit, nullptr, 70, 16, 80, 26, 0},
    {kCtlPiecesRed[1], K::kEdit, nullptr, 70, 56, 80, 26, 0},
    {kCtlPiecesRed[2], K::kEdit, nullptr, 70, 96, 80, 26, 0},
    {kCtlPiecesRed[3], K::kEdit, nullptr, 70, 136, 80, 26, 0},
    {kCtlPiecesRed[4], K::kEdit, nullptr, 70, 176, 80, 26, 0},
    {kCtlPiecesRed[5], K::kEdit, nullptr, 70, 216, 80, 26, 0},
    {kCtlPiecesBlack[0], K::kEdit, nullptr, 250, 16, 80, 26, 0},
    {kCtlPiecesBlack[1], K::kEdit, nullptr, 250, 56, 80, 26, 0},
    {kCtlPiecesBlack[2], K::kEdit, nullptr, 250, 96, 80, 26, 0},
    {kCtlPiecesBlack[3], K::kEdit, nullptr, 250, 136, 80, 26, 0},
    {kCtlPiecesBlack[4], K::kEdit, nullptr, 250, 176, 80, 26, 0},
    {kCtlPiecesBlack[5], K::kEdit, nullptr, 250, 216, 80, 26, 0},
    {kCtlOptionsDefault, K::kPushButton, "Default", 508, 256, 100, 28, 0},
};

constexpr DialogControl kLearningControls[] = {
    {kCtlLearningSizeLabel, K::kStaticText, "Learning tables' size in Mb", 12, 16, 320, 20, 0},
    {kCtlLearningSize, K::kEdit, nullptr, 340, 12, 80, 26, 0},
    {kCtlLearningUsedLabel, K::kStaticText, "Learning table used in %", 12, 50, 320, 20, 0},
    {kCtlLearningUsed, K::kStaticText, nullptr, 340, 50, 80, 20, 0},
    {kCtlLearningMateUsedLabel, K::kStaticText, "Learning killer table used in %", 12, 80, 320,
     20, 0},
    {kCtlLearningMateUsed, K::kStaticText, nullptr, 340, 80, 80, 20, 0},
    {kCtlLearningUse, K::kCheckBox, "Use learning", 12, 112, 320, 22, 0},
    {kCtlLearningLearnMoves, K::kCheckBox, "Learn good moves", 12, 140, 320, 22, 0},
    {kCtlLearningAmnesy, K::kPushButton, "Total amnesy", 12, 176, 130, 28, 0},
    {kCtlOptionsDefault, K::kPushButton, "Default", 508, 214, 100, 28, 0},
};

constexpr DialogControl kOpeningBookControls[] = {
    {kCtlBook1Label, K::kStaticText, "Opening", 12, 16, 90, 20, 0},
    {kCtlBook1On, K::kCheckBox, nullptr, 106, 14, 22, 22, 0},
    {kCtlBook1File, K::kEdit, nullptr, 134, 12, 474, 26, 0},
    {kCtlBook1Normal, K::kRadioButton, "Normal", 24, 46, 110, 22, 0},
    {kCtlBook1Tournament, K::kRadioButton, "Tournament", 138, 46, 120, 22, 0},
    {kCtlBook1Blitz, K::kRadioButton, "Blitz", 262, 46, 110, 22, 0},
    {kCtlBook2Label, K::kStaticText, "Opening", 12, 96, 90, 20, 0},
    {kCtlBook2On, K::kCheckBox, nullptr, 106, 94, 22, 22, 0},
    {kCtlBook2File, K::kEdit, nullptr, 134, 92, 474, 26, 0},
    {kCtlBook2Normal, K::kRadioButton, "Normal", 24, 126, 110, 22, 0},
    {kCtlBook2Tournament, K::kRadioButton, "Tournament", 138, 126, 120, 22, 0},
    {kCtlBook2Blitz, K::kRadioButton, "Blitz", 262, 126, 110, 22, 0},
    {kCtlOptionsDefault, K::kPushButton, "Default", 508, 214, 100, 28, 0},
};

constexpr DialogControl kEndgameControls[] = {
    {kControlNoId, K::kStaticText, "Depth", 12, 16, 200, 20, 0},
    {kCtlEndgameDepth, K::kEdit, nullptr, 220, 12, 80, 26, 0},
    {kCtlEndgameUse, K::kCheckBox, "Use endgame Table base", 12, 48, 300, 22, 0},
    {kControlNoId, K::kStaticText, "Installation's directory :", 12, 82, 300, 20, 0},
    {kCtlEndgameDirectory, K::kEdit, nullptr, 12, 106, 596, 26, 0},
    {kCtlEndgameVersion, K::kStaticText, nullptr, 12, 146, 300, 20, 0},
    {kCtlOptionsDefault, K::kPushButton, "Default", 508, 214, 100, 28, 0},
};

template <size_t N>
constexpr DialogTemplate MakeTemplate(int32_t id, const char* caption, int32_t width,
                                      int32_t height, uint32_t style,
                                      const DialogControl (&controls)[N]) {
  return DialogTemplate{id,    caption, width, height, style, CodePage::kWindows1252,
                        controls, N};
}

constexpr DialogTemplate kLanguageTemplate = MakeTemplate(
    kDialogLanguage, "Choose your language", 240, 232, kDialogFixedSize, kLanguageControls);
constexpr DialogTemplate kAboutTemplate =
    MakeTemplate(kDialogAbout, "About Vorelk", 520, 228, kDialogFixedSize, kAboutControls);
constexpr DialogTemplate kLogsTemplate =
    MakeTemplate(kDialogLogs, "Log messages", 400, 260, kDialogResizable, kLogsControls);
constexpr DialogTemplate kGetFolderTemplate =
    MakeTemplate(kDialogGetFolder, "GetFolder", 360, 110, kDialogFixedSize, kGetFolderControls);

constexpr DialogTemplate kSideToMoveTemplate =
    MakeTemplate(kDialogSideToMove, "Dialog", 220, 136, kDialogFixedSize, kSideToMoveControls);
constexpr DialogTemplate kInputTemplate =
    MakeTemplate(kDialogInput, "", 300, 126, kDialogFixedSize, kInputControls);
constexpr DialogTemplate kGameInfoTemplate =
    MakeTemplate(kDialogGameInfo, "Game Status", 510, 426, kDialogFixedSize, kGameInfoControls);
constexpr DialogTemplate kGameStatusTemplate = MakeTemplate(
    kDialogGameStatus, "Game information", 510, 418, kDialogResizable, kGameStatusControls);

constexpr DialogTemplate kMiniClockTemplate =
    MakeTemplate(kDialogMiniClock, "Mini clock", 230, 90, kDialogFixedSize, kMiniClockControls);
constexpr DialogTemplate kClockSetTemplate =
    MakeTemplate(kDialogClockSet, "Clock Set", 252, 124, kDialogFixedSize, kClockSetControls);
constexpr DialogTemplate kTimingTemplate =
    MakeTemplate(kDialogTiming, "Timing", 400, 218, kDialogFixedSize, kTimingControls);

constexpr DialogTemplate kGeneralConfigTemplate = MakeTemplate(
    kDialogGeneralConfig, "General configuration", 620, 254, kDialogFixedSize,
    kGeneralConfigControls);
constexpr DialogTemplate kPiecesValueTemplate = MakeTemplate(
    kDialogPiecesValue, "Pieces value", 620, 296, kDialogFixedSize, kPiecesValueControls);
constexpr DialogTemplate kLearningTemplate =
    MakeTemplate(kDialogLearning, "Learning", 620, 254, kDialogFixedSize, kLearningControls);
constexpr DialogTemplate kOpeningBookTemplate =
    MakeTemplate(kDialogOpeningBook, "Opening", 620, 254, kDialogFixedSize, kOpeningBookControls);
constexpr DialogTemplate kEndgameTemplate = MakeTemplate(
    kDialogEndgame, "Endgame tablebase", 620, 254, kDialogFixedSize, kEndgameControls);

}  // namespace

constexpr DialogTemplate kCommentsTemplate =
    MakeTemplate(kDialogComments, "Comments", 300, 180, kDialogResizable, kCommentsControls);

const DialogTemplate* const kAllDialogTemplates[] = {
    &kGetFolderTemplate,
    &kAboutTemplate,
    &kLogsTemplate,
    &kLanguageTemplate,
    &kSideToMoveTemplate,
    &kInputTemplate,
    &kGameInfoTemplate,
    &kGameStatusTemplate,
    &kCommentsTemplate,
    &kMiniClockTemplate,
    &kClockSetTemplate,
    &kTimingTemplate,
    &kGeneralConfigTemplate,
    &kPiecesValueTemplate,
    &kLearningTemplate,
    &kOpeningBookTemplate,
    &kEndgameTemplate,
};
const size_t kDialogTemplateCount = std::size(kAllDialogTemplates);

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate* t : kAllDialogTemplates) {
    if (t->id == id) return t;
  }
  return nullptr;
}
