// Qt's own dialog texts follow the interface language: the standard buttons
// of Qt's button boxes and message boxes, and the OK, Cancel and Apply
// buttons of the program's dialogs and sheets, at start-up and after each
// language command. Skipped when Qt's translation files (Debian package
// qt6-translations-l10n) are not installed.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTreeView>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "platform/dialog.h"
#include "platform/file_dialog.h"
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

// A file size whose text is one of the longest the list shows ("442 bytes",
// "442 octets").
constexpr int kListedFileBytes = 442;

// The size and date Qt's file dialog shows for a file of kListedFileBytes
// (modified at `modified` when that is valid), the date as the locale
// writes it, and "whole" when the size column, then the date column, is
// wide enough for its text. With `more` other files in the folder the
// list is long enough for its scroll bar.
QStringList FileListTexts(const QDateTime& modified = {}, int more = 0) {
  QTemporaryDir folder;
  for (int i = 0; i < more; ++i) {
    QFile other(folder.filePath(QStringLiteral("other%1.egf").arg(i)));
    if (!other.open(QIODevice::WriteOnly)) return {};
  }
  const QString path = folder.filePath(QStringLiteral("game.egf"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(QByteArray(kListedFileBytes, 'x')) != kListedFileBytes || !file.flush() ||
      (modified.isValid() && !file.setFileTime(modified, QFileDevice::FileModificationTime)))
    return {};
  file.close();
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFilesInInterfaceLocale(dialog);
  dialog.setDirectory(folder.path());
  // As wide as the dialog comes on a small screen.
  if (more > 0) dialog.resize(600, 400);
  dialog.show();
  auto* files = dialog.findChild<QFileSystemModel*>();
  auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  QAbstractProxyModel* list = dialog.proxyModel();
  if (files == nullptr || list == nullptr || details == nullptr) return {};
  QElapsedTimer waited;
  waited.start();
  while (files->fileInfo(files->index(path)).size() != kListedFileBytes &&
         waited.elapsed() < 60000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  const QModelIndex name = list->mapFromSource(files->index(path));
  const QString size = name.siblingAtColumn(1).data().toString();
  const QString date = name.siblingAtColumn(3).data().toString();
  // The item views draw a cell's text inside a margin on either side.
  const int margins = 2 * (details->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
  // A column holds its text when it is wide enough for it and lies wholly
  // in the list's visible part (not behind its scroll bar).
  const auto holds = [details, margins](int column, const QString& text) {
    const QHeaderView* header = details->header();
    return header->sectionSize(column) >=
               details->fontMetrics().horizontalAdvance(text) + margins &&
           header->sectionViewportPosition(column) >= 0 &&
           header->sectionViewportPosition(column) + header->sectionSize(column) <=
               details->viewport()->width();
  };
  waited.restart();
  while (!(holds(1, size) && holds(3, date) &&
           (more == 0 || details->verticalScrollBar()->isVisible())) &&
         waited.elapsed() < 60000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  if (more > 0 && !details->verticalScrollBar()->isVisible()) return {};
  return {size, date, QLocale().toString(QFileInfo(path).lastModified(), QLocale::ShortFormat),
          holds(1, size) ? "whole" : "cut", holds(3, date) ? "whole" : "cut"};
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

// The language's locale is QLocale's default from start-up on and after
// each language command, and Qt's file dialog writes its list's sizes and
// dates in it rather than in the system's, in a size column wide enough.
TEST_F(QtTranslationTest, LocaleAndFileListFollowTheLanguage) {
  RUN_SCENARIO({
    testing_support::InitTestProcess();
    testing_support::OpenStore()->WriteInt("Options", "Language", kLanguageGerman);
    theApp.InitInstance();
    const struct {
      int command;
      const char* locale;
    } kSteps[] = {{0, "de_DE"},
                  {kCmdLanguageFrench, "fr_FR"},
                  {kCmdLanguageSimplifiedChinese, "zh_CN"},
                  {kCmdLanguageEnglish, "en_US"},
                  {kCmdChangeLanguages, "es_ES"}};
    for (const auto& step : kSteps) {
      if (step.command != 0) pMainFrame->OnCmdMsg(step.command);
      Check(QLocale().name() == QLatin1String(step.locale), step.locale);
      const QStringList shown = FileListTexts();
      Check(shown.size() == 5, "the file dialog lists the file");
      if (shown.size() != 5) continue;
      const QLocale expected(QString::fromLatin1(step.locale));
      Check(shown[0] == expected.formattedDataSize(kListedFileBytes),
            "size in the language's locale");
      Check(shown[1] == shown[2] && !shown[1].isEmpty(), "date in the language's locale");
      Check(shown[3] == "whole", "the size column holds the size");
    }
    testing_support::CloseFrame();
  });
}

// The file list's date in each language: a real date and time, with the
// morning or afternoon mark where the locale writes one (Traditional
// Chinese wrote "B7:49"), in a date column that holds it whole, also when
// the list shows its scroll bar.
TEST_F(QtTranslationTest, FileListDatesAreWholeDatesAndTimesInEveryLanguage) {
  // LanguageId order: French, English, Spanish, German, Simplified and
  // Traditional Chinese.
  const char* const kDates[kLanguageCount] = {"08/12/2026 19:49", "12/8/26 7:49 PM",
                                              "8/12/26 19:49",    "08.12.26 19:49",
                                              "2026/12/8 19:49",  "2026/12/8 下午7:49"};
  const QDateTime modified(QDate(2026, 12, 8), QTime(19, 49));
  for (int language = 0; language < kLanguageCount; ++language) {
    SCOPED_TRACE(language);
    UseQtTranslation(language);
    // Alone in its folder, then among enough files for the scroll bar,
    // which takes its width from the list.
    for (int more : {0, 60}) {
      SCOPED_TRACE(more);
      const QStringList shown = FileListTexts(modified, more);
      ASSERT_EQ(shown.size(), 5);
      EXPECT_EQ(shown[1].toStdString(), kDates[language]);
      EXPECT_EQ(shown[4].toStdString(), "whole");
    }
  }
  UseQtTranslation(kLanguageTraditionalChinese);
  EXPECT_EQ(ShortDateTimeText(QDateTime(QDate(2026, 12, 8), QTime(7, 49))).toStdString(),
            "2026/12/8 上午7:49");
}

}  // namespace
