// Dialogs built from templates: controls by id, atoi reads, check boxes,
// the keys, buttons and close box that end a modal run, modeless closing,
// missing pictures, the layouts of every template; and the small dialogs on
// them: the language chooser, the about box and the folder chooser.
#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <climits>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/about_dlg.h"
#include "windows/folder_dlg.h"
#include "windows/language_dlg.h"

namespace {

void EnsureApp() { testing_support::OffscreenApplication(); }

using K = DialogControlKind;
constexpr int kCtlName = 10, kCtlNotes = 11, kCtlLabel = 12, kCtlApply = 13, kCtlSound = 14;

constexpr DialogControl kFormControls[] = {
    {kCtlName, K::kEdit, "start", 10, 20, 200, 24, 0},
    {kCtlNotes, K::kMultiLineEdit, "one\ntwo", 10, 50, 200, 60, 0},
    {kCtlLabel, K::kStaticText, "Caf\xE9", 10, 120, 120, 20, 0},
    {kControlNoId, K::kStaticPicture, nullptr, 220, 20, 48, 32, 99999},
    {kCtlSound, K::kCheckBox, "Sound", 140, 120, 100, 20, 0},
    {kCtlApply, K::kPushButton, "Apply", 10, 160, 80, 28, 0},
    {IDOK, K::kDefPushButton, "OK", 120, 160, 80, 28, 0},
    {IDCANCEL, K::kPushButton, "Cancel", 210, 160, 80, 28, 0},
};
constexpr DialogTemplate kForm = {9001, "Form", 300, 200, kDialogFixedSize,
                                  CodePage::kWindows1252, kFormControls,
                                  std::size(kFormControls)};
// No default push button: Enter means OK.
constexpr DialogTemplate kPlain = {9002, "Plain", 300, 200, kDialogResizable,
                                   CodePage::kWindows1252, kFormControls, 2};

class RecordingDialog : public CDialog {
 public:
  using CDialog::CDialog;
  void OnCommand(int id) override {
    commands.push_back(id);
    CDialog::OnCommand(id);
  }
  void OnClose() override { ++closes; }
  std::vector<int> commands;
  int closes = 0;
};

void PressKey(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

void Click(CDialog& dialog, int id) {
  auto* button = qobject_cast<QPushButton*>(dialog.GetDlgItem(id));
  ASSERT_NE(button, nullptr) << id;
  button->click();
}

// Runs `action` on the modal widget of the type asked for once the next
// modal run has started; a run left open ends with -99 after a minute.
template <typename W>
class ModalDriver {
 public:
  explicit ModalDriver(std::function<void(W&)> action) {
    QTimer::singleShot(0, [this, action] {
      W* widget = qobject_cast<W*>(QApplication::activeModalWidget());
      found = widget;
      if (widget != nullptr) action(*widget);
    });
    watchdog_.setSingleShot(true);
    QObject::connect(&watchdog_, &QTimer::timeout, [] {
      if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->done(-99);
    });
    watchdog_.start(60000);
  }
  QWidget* found = nullptr;

 private:
  QTimer watchdog_;
};

int RunModal(CDialog& dialog, std::function<void(CDialog&)> drive) {
  ModalDriver<CDialog> driver(drive);
  const int code = dialog.DoModal();
  EXPECT_EQ(driver.found, &dialog);
  return code;
}

int ChooseWith(std::function<void(CDialog&)> action) {
  ModalDriver<CDialog> driver(action);
  const int result = RunLanguageChooser(nullptr);
  EXPECT_NE(driver.found, nullptr);
  return result;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApp(); }
};

TEST_F(DialogTest, ControlsAreReadAndWrittenById) {
  RecordingDialog dialog(&kForm, nullptr);
  EXPECT_EQ(dialog.size(), QSize(300, 200));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());  // not resizable
  EXPECT_EQ(dialog.GetDlgItem(kCtlName)->geometry(), QRect(10, 20, 200, 24));
  EXPECT_EQ(dialog.GetDlgItemText(kCtlLabel), QString::fromUtf8("Caf\u00e9"));
  // Multi-line edits take either line break and give "\r\n" back.
  EXPECT_EQ(dialog.GetDlgItemText(kCtlNotes), "one\r\ntwo");
  dialog.SetDlgItemText(kCtlNotes, "a\r\nb\nc");
  EXPECT_EQ(qobject_cast<QPlainTextEdit*>(dialog.GetDlgItem(kCtlNotes))->blockCount(), 3);
  EXPECT_EQ(dialog.GetDlgItemText(kCtlNotes), "a\r\nb\r\nc");
  dialog.SetDlgItemText(kCtlLabel, "<b>x</b>");
  EXPECT_EQ(qobject_cast<QLabel*>(dialog.GetDlgItem(kCtlLabel))->textFormat(), Qt::PlainText);
  // A missing bitmap shows nothing.
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label != dialog.GetDlgItem(kCtlLabel)) {
      EXPECT_TRUE(label->pixmap().isNull());
    }
  }

  dialog.SetDlgItemInt(kCtlName, -123);
  EXPECT_EQ(dialog.GetDlgItemText(kCtlName), "-123");
  const struct {
    const char* text;
    int value;
  } numbers[] = {{"  42abc", 42}, {"+5", 5}, {"\t7", 7}, {"abc", 0}, {"", 0}, {"- 5", 0},
                 {"12 34", 12}, {"-2147483648", INT_MIN}, {"99999999999", INT_MAX},
                 {"-99999999999999999999", INT_MIN}};
  for (const auto& n : numbers) {
    dialog.SetDlgItemText(kCtlName, n.text);
    EXPECT_EQ(dialog.GetDlgItemInt(kCtlName), n.value) << n.text;
  }

  dialog.CheckDlgButton(kCtlSound, 1);
  EXPECT_EQ(dialog.IsDlgButtonChecked(kCtlSound), 1);
  qobject_cast<QCheckBox*>(dialog.GetDlgItem(kCtlSound))->click();
  EXPECT_EQ(dialog.IsDlgButtonChecked(kCtlSound), 0);
  EXPECT_EQ(dialog.commands, std::vector<int>{kCtlSound});
  dialog.CheckDlgButton(kCtlName, 1);
  EXPECT_EQ(dialog.IsDlgButtonChecked(kCtlName), 0);

  // An unknown template gives an empty dialog whose controls read as absent.
  CDialog empty(424242, nullptr);
  EXPECT_EQ(empty.GetDlgItem(IDOK), nullptr);
  empty.SetDlgItemText(IDOK, "x");
  EXPECT_EQ(empty.GetDlgItemText(IDOK), QString());
}

TEST_F(DialogTest, ButtonsKeysAndTheCloseBoxEndAModalRun) {
  auto click = [](int id) {
    return [id](CDialog& d) { qobject_cast<QPushButton*>(d.GetDlgItem(id))->click(); };
  };
  RecordingDialog dialog(&kForm, nullptr);
  EXPECT_EQ(RunModal(dialog, click(IDCANCEL)), IDCANCEL);
  EXPECT_EQ(RunModal(dialog, click(IDOK)), IDOK);
  EXPECT_EQ(RunModal(dialog, [](CDialog& d) { PressKey(d.GetDlgItem(kCtlName), Qt::Key_Escape); }),
            IDCANCEL);
  EXPECT_EQ(RunModal(dialog, [](CDialog& d) { d.close(); }), IDCANCEL);
  EXPECT_EQ(dialog.closes, 0);
  // Enter presses the default button, not the focused one.
  dialog.commands.clear();
  EXPECT_EQ(RunModal(dialog,
                     [](CDialog& d) {
                       d.GetDlgItem(kCtlApply)->setFocus();
                       PressKey(d.GetDlgItem(kCtlApply), Qt::Key_Return);
                     }),
            IDOK);
  EXPECT_EQ(dialog.commands, std::vector<int>{IDOK});
  // Other buttons do not end the run; a multi-line edit keeps Enter; a
  // disabled default button ignores it.
  dialog.commands.clear();
  EXPECT_EQ(RunModal(dialog,
                     [&](CDialog& d) {
                       qobject_cast<QPushButton*>(d.GetDlgItem(kCtlApply))->click();
                       PressKey(d.GetDlgItem(kCtlNotes), Qt::Key_Return);
                       d.GetDlgItem(IDOK)->setEnabled(false);
                       PressKey(&d, Qt::Key_Return);
                       EXPECT_TRUE(d.isVisible());
                       d.EndDialog(42);
                     }),
            42);
  EXPECT_EQ(dialog.commands, std::vector<int>{kCtlApply});
  EXPECT_EQ(dialog.GetDlgItemText(kCtlNotes).count("\r\n"), 2);

  CDialog plain(&kPlain, nullptr);
  EXPECT_EQ(RunModal(plain, [](CDialog& d) { PressKey(d.GetDlgItem(kCtlName), Qt::Key_Enter); }),
            IDOK);
}

TEST_F(DialogTest, ModelessDialogsCloseInsteadOfHiding) {
  RecordingDialog dialog(&kPlain, nullptr);
  EXPECT_TRUE(dialog.Create(nullptr));
  EXPECT_FALSE(dialog.isModal());
  EXPECT_LT(dialog.minimumSize().width(), dialog.maximumSize().width());
  dialog.show();
  dialog.close();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.closes, 1);
  // Escape and EndDialog close it the same way.
  dialog.show();
  PressKey(&dialog, Qt::Key_Escape);
  dialog.show();
  dialog.EndDialog(IDOK);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.closes, 3);
}

TEST_F(DialogTest, TemplatesAreFoundAndTheirTextsDecodeLosslessly) {
  std::set<int> templates;
  for (size_t t = 0; t < kDialogTemplateCount; ++t) {
    const DialogTemplate& dt = *kAllDialogTemplates[t];
    EXPECT_TRUE(templates.insert(dt.id).second) << dt.id;
    EXPECT_EQ(FindDialogTemplate(dt.id), &dt);
    std::set<int> ids;
    std::vector<const char*> texts{dt.caption};
    for (size_t i = 0; i < dt.controlCount; ++i) {
      const DialogControl& c = dt.controls[i];
      if (c.id != kControlNoId) {
        EXPECT_TRUE(ids.insert(c.id).second) << dt.id << "/" << c.id;
      }
      EXPECT_LE(c.x + c.width, dt.width) << dt.id << "/" << c.id;
      EXPECT_LE(c.y + c.height, dt.height) << dt.id << "/" << c.id;
      texts.push_back(c.text);
    }
    for (const char* text : texts) {
      if (text == nullptr) continue;
      const QString shown = DecodeText(text, dt.codePage);
      EXPECT_FALSE(shown.contains(QChar(0xFFFD))) << dt.id << " " << text;
      EXPECT_EQ(EncodeText(shown, dt.codePage).toStdString(), std::string(text)) << dt.id;
    }
  }
  for (int id : {kDialogGetFolder, kDialogAbout, kDialogLogs, kDialogLanguage}) {
    EXPECT_TRUE(templates.count(id)) << id;
  }
  EXPECT_EQ(FindDialogTemplate(99999), nullptr);

  // Each language button has its flag beside it, on its left.
  CDialog chooser(kDialogLanguage, nullptr);
  EXPECT_EQ(chooser.GetDlgItemText(kCtlLanguageFrench), QString::fromUtf8("Fran\u00e7ais"));
  EXPECT_EQ(chooser.GetDlgItemText(kCtlLanguageSpanish), QString::fromUtf8("Espa\u00f1ol"));
  const DialogTemplate* t = FindDialogTemplate(kDialogLanguage);
  const int flagOf[][2] = {{kCtlLanguageFrench, kBitmapFlagFrance},
                           {kCtlLanguageEnglish, kBitmapFlagUnitedKingdom},
                           {kCtlLanguageSpanish, kBitmapFlagSpain},
                           {kCtlLanguageGerman, kBitmapFlagGermany},
                           {kCtlLanguageChinese, kBitmapFlagChina}};
  for (const auto& [button, bitmap] : flagOf) {
    const QRect b = chooser.GetDlgItem(button)->geometry();
    int beside = 0;
    for (size_t i = 0; i < t->controlCount; ++i) {
      const DialogControl& c = t->controls[i];
      if (c.bitmapId != bitmap) continue;
      const QRect f(c.x, c.y, c.width, c.height);
      beside += f.size() == QSize(48, 32) && f.right() < b.left() && f.top() < b.bottom() &&
                f.bottom() > b.top();
    }
    EXPECT_EQ(beside, 1) << button;
  }
}

TEST_F(DialogTest, ChooserGivesTheLanguagePickedOrNotChosen) {
  const int rows[][2] = {{kCtlLanguageFrench, kLanguageFrench},
                         {kCtlLanguageEnglish, kLanguageEnglish},
                         {kCtlLanguageSpanish, kLanguageSpanish},
                         {kCtlLanguageGerman, kLanguageGerman},
                         {kCtlLanguageChinese, kLanguageSimplifiedChinese}};
  for (const auto& row : rows) {
    const int button = row[0];
    const int language = row[1];
    EXPECT_EQ(ChooseWith([&](CDialog& d) { Click(d, button); }), language) << button;
  }
  // Escape and the close box must not read as a language (the cancel code
  // would be Spanish).
  EXPECT_EQ(ChooseWith([](CDialog& d) {
              EXPECT_EQ(d.windowTitle(), "Choose your language");
              PressKey(d.GetDlgItem(kCtlLanguageSpanish), Qt::Key_Escape);
            }),
            kLanguageNotChosen);
  EXPECT_EQ(ChooseWith([](CDialog& d) { d.close(); }), kLanguageNotChosen);
  // Enter is OK, which means English, whichever button has the focus.
  EXPECT_EQ(ChooseWith([](CDialog& d) {
              d.GetDlgItem(kCtlLanguageFrench)->setFocus();
              PressKey(d.GetDlgItem(kCtlLanguageFrench), Qt::Key_Return);
            }),
            kLanguageEnglish);
}

// The chooser's title stands whole in a window manager's title bar beside
// the window's icon and its three buttons (openbox showed "Choose y…
// language"): the window is as wide as the title in a bold font and five
// squares of a title bar's height, and its flags and buttons stay in the
// middle of it.
TEST_F(DialogTest, LanguageChooserIsWideEnoughForItsTitle) {
  CLanguageDlg chooser;
  QFont bold = chooser.font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  EXPECT_GE(chooser.width(),
            metrics.horizontalAdvance(chooser.windowTitle()) + 5 * (metrics.height() + 6));
  EXPECT_EQ(chooser.minimumSize(), chooser.maximumSize()) << "the chooser keeps a fixed size";
  QRect controls;
  for (QWidget* child : chooser.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    controls |= child->geometry();
  }
  EXPECT_LE(std::abs(controls.left() - (chooser.width() - 1 - controls.right())), 1)
      << controls.left() << " " << controls.right() << " in " << chooser.width();
}

TEST_F(DialogTest, FlagsShowTheirBitmapsWhenTheArtworkHasThem) {
  if (!QFile::exists(":/bitmaps/182")) GTEST_SKIP() << "no flag bitmaps in this build";
  CLanguageDlg chooser;
  int flags = 0;
  for (QLabel* label : chooser.findChildren<QLabel*>()) {
    if (label->pixmap().isNull()) continue;
    ++flags;
    EXPECT_EQ(label->size(), QSize(48, 32));
    EXPECT_EQ(label->pixmap().size(), QSize(48, 32));
  }
  EXPECT_EQ(flags, 5);
}

TEST_F(DialogTest, AboutBoxShowsTheVersion) {
  CAboutDlg about;
  EXPECT_NE(about.GetDlgItemText(kCtlAboutVersion), kProgramVersionText);
  ModalDriver<CAboutDlg> driver([](CAboutDlg& d) {
    EXPECT_EQ(d.GetDlgItemText(kCtlAboutVersion), "Vorelk Freeware 2.5.0");
    PressKey(&d, Qt::Key_Return);
  });
  EXPECT_EQ(about.DoModal(), IDOK);
  EXPECT_NE(driver.found, nullptr);
}

TEST_F(DialogTest, FolderIsShownAndReadBackOnOkOnly) {
  CGetFolderDlg dialog;
  dialog.folder = "/srv/games/caf\xC3\xA9";  // UTF-8 file name
  {
    ModalDriver<CGetFolderDlg> driver([](CGetFolderDlg& d) {
      EXPECT_EQ(d.GetDlgItemText(kCtlFolderPath), QString::fromUtf8("/srv/games/caf\u00e9"));
      d.SetDlgItemText(kCtlFolderPath, QString::fromUtf8("/home/r\u00e9mi/books"));
      Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_NE(driver.found, nullptr);
  }
  EXPECT_EQ(dialog.folder, "/home/r\xC3\xA9mi/books");
  {
    // Cancel keeps the member whatever the edit holds.
    ModalDriver<CGetFolderDlg> driver([](CGetFolderDlg& d) {
      EXPECT_EQ(d.GetDlgItemText(kCtlFolderPath), QString::fromUtf8("/home/r\u00e9mi/books"));
      d.SetDlgItemText(kCtlFolderPath, "/elsewhere");
      PressKey(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  }
  EXPECT_EQ(dialog.folder, "/home/r\xC3\xA9mi/books");
}

TEST_F(DialogTest, BrowseStartsAtTheRememberedFolderAndTakesTheChoice) {
  QTemporaryDir root;
  ASSERT_TRUE(QDir(root.path()).mkpath("picked"));
  const QString picked = QDir(root.path()).filePath("picked");
  folderBrowseStart = QFile::encodeName(root.path()).toStdString();

  CGetFolderDlg dialog;
  dialog.folder = "/unchanged";
  // Browse, cancel the browser, browse again and pick a folder, then OK.
  ModalDriver<CGetFolderDlg> driver([&](CGetFolderDlg& d) {
    QTimer::singleShot(0, [&] {
      auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(browser, nullptr);
      EXPECT_EQ(browser->windowTitle(), "Sample of  getting folder.");
      EXPECT_EQ(browser->fileMode(), QFileDialog::Directory);
      EXPECT_TRUE(browser->testOption(QFileDialog::ShowDirsOnly));
      EXPECT_EQ(QDir(browser->directory()).canonicalPath(), QDir(root.path()).canonicalPath());
      EXPECT_EQ(browser->parentWidget(), &d);
      browser->reject();
    });
    Click(d, kCtlFolderBrowse);
    EXPECT_EQ(d.GetDlgItemText(kCtlFolderPath), "/unchanged");
    EXPECT_EQ(d.folder, "/unchanged");

    QTimer::singleShot(0, [&] {
      auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(browser, nullptr);
      browser->setDirectory(picked);
      static_cast<QDialog*>(browser)->accept();
    });
    Click(d, kCtlFolderBrowse);
    EXPECT_EQ(QDir(d.GetDlgItemText(kCtlFolderPath)).canonicalPath(),
              QDir(picked).canonicalPath());
    Click(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_NE(driver.found, nullptr);
  EXPECT_EQ(QDir(QFile::decodeName(dialog.folder.c_str())).canonicalPath(),
            QDir(picked).canonicalPath());
  folderBrowseStart.clear();
}

}  // namespace
