// Qt's own dialog texts follow the interface language: the standard buttons
// of Qt's button boxes and message boxes, and the OK, Cancel and Apply
// buttons of the program's dialogs and sheets, at start-up and after each
// language command. Skipped when Qt's translation files (Debian package
// qt6-translations-l10n) are not installed.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "platform/dialog.h"
#include "platform/property_sheet.h"
#include "platform/qt_translations.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::Check;

// Qt's words for Cancel and Yes in each language (LanguageId order).
struct Words {
  const char* cancel;
  const char* yes;
};
const Words kWords[kLanguageCount] = {
    {"Annuler", "&Oui"},  {"Cancel", "&Yes"}, {"Cancelar", "&Sí"},
    {"Abbrechen", "&Ja"}, {"取消", "是(&Y)"}, {"取消", "是(&Y)"},
};

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QString QtCancel() {
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  return box.button(QDialogButtonBox::Cancel)->text();
}

bool TranslationsInstalled() {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  return QFileInfo::exists(folder + QStringLiteral("/qtbase_de.qm"));
}

#define SKIP_WITHOUT_TRANSLATIONS()                                                \
  if (!TranslationsInstalled())                                                    \
  GTEST_SKIP() << "Qt's translation files are not installed in "                   \
               << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString() \
               << " (Debian package qt6-translations-l10n)"

class QtTranslationTest : public testing_support::ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    testing_support::OffscreenApplication();
  }
  void TearDown() override {
    UseQtTranslation(kLanguageEnglish);
    currentLanguage = kLanguageEnglish;
    ScenarioTest::TearDown();
  }
};

// Each language in turn, back to English last: Qt's button box and message
// box, a template dialog's OK and Cancel and a sheet's three buttons.
TEST_F(QtTranslationTest, StandardButtonsShowTheLanguagesWords) {
  SKIP_WITHOUT_TRANSLATIONS();
  for (int language : {0, 2, 3, 4, 5, 1}) {
    SCOPED_TRACE(language);
    EXPECT_TRUE(UseQtTranslation(language));
    const Words& words = kWords[language];
    EXPECT_EQ(QtCancel(), Utf8(words.cancel));
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), Utf8(words.yes));

    CDialog dialog(kDialogSideToMove, nullptr);
    EXPECT_EQ(dialog.GetDlgItemText(IDCANCEL), Utf8(words.cancel));
    EXPECT_EQ(dialog.GetDlgItemText(IDOK), QtButtonText("OK"));
    CPropertySheet sheet(QStringLiteral("Properties"), nullptr);
    EXPECT_EQ(sheet.GetButton(IDCANCEL)->text(), Utf8(words.cancel));
    EXPECT_EQ(sheet.GetButton(ID_APPLY_NOW)->text(), QtButtonText("Apply"));
    EXPECT_EQ(sheet.GetButton(IDOK)->text(), QtButtonText("OK"));
  }
  EXPECT_EQ(QtButtonText("Apply"), QStringLiteral("Apply"));
  EXPECT_FALSE(UseQtTranslation(7));
  EXPECT_EQ(QtCancel(), QStringLiteral("Cancel"));
}

// The stored language at start-up, then the language commands.
TEST_F(QtTranslationTest, StartUpAndLanguageCommandsSwitchQtsTexts) {
  SKIP_WITHOUT_TRANSLATIONS();
  RUN_SCENARIO({
    testing_support::InitTestProcess();
    testing_support::OpenStore()->WriteInt("Options", "Language", kLanguageGerman);
    theApp.InitInstance();
    Check(QtCancel() == QStringLiteral("Abbrechen"), "German at start-up");
    const struct {
      int command;
      int language;
    } kSteps[] = {{kCmdLanguageFrench, kLanguageFrench},
                  {kCmdLanguageSimplifiedChinese, kLanguageSimplifiedChinese},
                  {kCmdLanguageEnglish, kLanguageEnglish},
                  {kCmdChangeLanguages, kLanguageSpanish}};
    for (const auto& step : kSteps) {
      pMainFrame->OnCmdMsg(step.command);
      Check(QtCancel() == Utf8(kWords[step.language].cancel), "Qt's words follow the command");
    }
    testing_support::CloseFrame();
  });
}

}  // namespace
