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
     264, 10, 186, 140, 0},
    {kCtlAboutVersion, K::kStaticText, "Version", 264, 164, 186, 20, 0},
    {IDOK, K::kDefPushButton, "OK", 370, 192, 80, 28, 0},
};

constexpr DialogControl kLogsControls[] = {
    {kCtlLogText, K::kMultiLineEdit, nullptr, 10, 10, 380, 232, 0},
};

constexpr DialogControl kGetFolderControls[] = {
    {kCtlFolderPath, K::kEdit, nullptr, 12, 16, 250, 26, 0},
    {kCtlFolderBrowse, K::kPushButton, "Browse", 272, 15, 76, 28, 0},
    {IDOK, K::kDefPushButton, "OK", 180, 68, 80, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 268, 68, 80, 28, 0},
};

constexpr DialogControl kSideToMoveControls[] = {
    {kCtlSideToMoveLabel, K::kStaticText, "Color to move", 16, 12, 188, 20, 0},
    {kCtlSideRed, K::kRadioButton, "Red", 32, 38, 160, 22, 0},
    {kCtlSideBlack, K::kRadioButton, "Black", 32, 64, 160, 22, 0},
    {IDOK, K::kDefPushButton, "OK", 24, 98, 80, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 116, 98, 80, 28, 0},
};

constexpr DialogControl kInputControls[] = {
    {kCtlInputPrompt, K::kStaticText, nullptr, 12, 12, 276, 36, 0},
    {kCtlInputText, K::kEdit, nullptr, 12, 52, 276, 26, 0},
    {IDOK, K::kDefPushButton, "OK", 116, 88, 80, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 208, 88, 80, 28, 0},
};

// Labels on the left of their edits; the short fields go in pairs.
constexpr DialogControl kGameInfoControls[] = {
    {kCtlLabelEvent, K::kStaticText, "Event", 10, 15, 80, 20, 0},
    {kCtlHeaderEvent, K::kEdit, nullptr, 95, 12, 355, 26, 0},
    {kCtlLabelSite, K::kStaticText, "Site", 10, 45, 80, 20, 0},
    {kCtlHeaderSite, K::kEdit, nullptr, 95, 42, 355, 26, 0},
    {kCtlLabelDate, K::kStaticText, "Date", 10, 75, 80, 20, 0},
    {kCtlHeaderDate, K::kEdit, nullptr, 95, 72, 140, 26, 0},
    {kCtlLabelRound, K::kStaticText, "Round", 245, 75, 70, 20, 0},
    {kCtlHeaderRound, K::kEdit, nullptr, 320, 72, 130, 26, 0},
    {kCtlLabelRed, K::kStaticText, "Red", 10, 105, 80, 20, 0},
    {kCtlHeaderRedName, K::kEdit, nullptr, 95, 102, 140, 26, 0},
    {kCtlLabelRedElo, K::kStaticText, "Red ELO", 245, 105, 70, 20, 0},
    {kCtlHeaderRedElo, K::kEdit, nullptr, 320, 102, 130, 26, 0},
    {kCtlLabelBlack, K::kStaticText, "Black", 10, 135, 80, 20, 0},
    {kCtlHeaderBlackName, K::kEdit, nullptr, 95, 132, 140, 26, 0},
    {kCtlLabelBlackElo, K::kStaticText, "Black ELO", 245, 135, 70, 20, 0},
    {kCtlHeaderBlackElo, K::kEdit, nullptr, 320, 132, 130, 26, 0},
    {kCtlLabelAuthor, K::kStaticText, "Author", 10, 165, 80, 20, 0},
    {kCtlHeaderAuthor, K::kEdit, nullptr, 95, 162, 355, 26, 0},
    {kCtlLabelTimeControl, K::kStaticText, "Time control", 10, 195, 80, 20, 0},
    {kCtlHeaderTimeControl, K::kEdit, nullptr, 95, 192, 355, 26, 0},
    {kCtlLabelResult, K::kStaticText, "Result", 10, 225, 80, 20, 0},
    {kCtlHeaderResult, K::kDropDownList, nullptr, 95, 222, 140, 26, 0},
    {kCtlHeaderComment, K::kMultiLineEdit, nullptr, 10, 258, 440, 120, 0},
    {IDOK, K::kDefPushButton, "OK", 280, 388, 80, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 370, 388, 80, 28, 0},
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
    MakeTemplate(kDialogAbout, "About Vorelk", 460, 228, kDialogFixedSize, kAboutControls);
constexpr DialogTemplate kLogsTemplate =
    MakeTemplate(kDialogLogs, "Log messages", 400, 260, kDialogResizable, kLogsControls);
constexpr DialogTemplate kGetFolderTemplate =
    MakeTemplate(kDialogGetFolder, "GetFolder", 360, 110, kDialogFixedSize, kGetFolderControls);

constexpr DialogTemplate kSideToMoveTemplate =
    MakeTemplate(kDialogSideToMove, "Dialog", 220, 136, kDialogFixedSize, kSideToMoveControls);
constexpr DialogTemplate kInputTemplate =
    MakeTemplate(kDialogInput, "", 300, 126, kDialogFixedSize, kInputControls);
constexpr DialogTemplate kGameInfoTemplate =
    MakeTemplate(kDialogGameInfo, "Game Status", 460, 426, kDialogFixedSize, kGameInfoControls);

}  // namespace

const DialogTemplate* const kAllDialogTemplates[] = {
    &kGetFolderTemplate,
    &kAboutTemplate,
    &kLogsTemplate,
    &kLanguageTemplate,
    &kSideToMoveTemplate,
    &kInputTemplate,
    &kGameInfoTemplate,
};
const size_t kDialogTemplateCount = std::size(kAllDialogTemplates);

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate* t : kAllDialogTemplates) {
    if (t->id == id) return t;
  }
  return nullptr;
}
