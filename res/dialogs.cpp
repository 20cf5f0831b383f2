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

}  // namespace

const DialogTemplate* const kAllDialogTemplates[] = {
    &kGetFolderTemplate,
    &kAboutTemplate,
    &kLogsTemplate,
    &kLanguageTemplate,
};
const size_t kDialogTemplateCount = std::size(kAllDialogTemplates);

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate* t : kAllDialogTemplates) {
    if (t->id == id) return t;
  }
  return nullptr;
}
