// The log window: opening it once, its default place and stored placement,
// its caption in the current language, appending lines (decoding, the line
// limit, long lines, scrolling), resizing, and clearing logsDlg when it
// closes or its owner goes away.
#include "windows/logs_dlg.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <string>

#include "platform/placement.h"
#include "platform/settings_store.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/side_windows.h"

namespace {

void EnsureApp() { testing_support::OffscreenApplication(); }

void DeletePending() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// `count` lines "line 1" ... joined by "\r\n", with no break after the last.
QString Lines(int count) {
  QString text;
  for (int i = 1; i <= count; ++i) {
    if (i > 1) text += "\r\n";
    text += QString("line %1").arg(i);
  }
  return text;
}

class LogsDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    ASSERT_TRUE(config_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    currentLanguage = kLanguageEnglish;
  }
  void TearDown() override {
    if (logsDlg != nullptr) CloseAndDelete(logsDlg);
    currentLanguage = kLanguageEnglish;
  }

  static CLogsDlg* Open() {
    CLogsDlg::CreateAndShow(nullptr);
    return logsDlg;
  }
  static bool CloseAndDelete(CLogsDlg* dialog) { return testing_support::CloseAsCloseBox(dialog); }
  static QPlainTextEdit* Edit(CLogsDlg* dialog) {
    return qobject_cast<QPlainTextEdit*>(dialog->GetDlgItem(kCtlLogText));
  }
  static std::string StoredPlacement() {
    CSettingsStore store(kSettingsNoRoot);
    std::string text;
    if (OpenProgramSettings(store)) {
      store.GetString(text, "Windows placement", "Logs", "");
    }
    return text;
  }

  QTemporaryDir config_;
};

TEST_F(LogsDlgTest, OpensOnceAtItsDefaultPlaceWithItsCaption) {
  ASSERT_EQ(logsDlg, nullptr);
  CLogsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle(), "Logs");
  EXPECT_EQ(dialog->pos(), QPoint(390, 0));
  EXPECT_EQ(dialog->size(), QSize(400, 260));
  // A second request keeps the open window.
  dialog->SetDlgItemText(kCtlLogText, "kept");
  CLogsDlg::CreateAndShow(nullptr);
  EXPECT_EQ(logsDlg, dialog);
  EXPECT_EQ(dialog->GetDlgItemText(kCtlLogText), "kept");
  // The caption follows the language.
  currentLanguage = kLanguageFrench;
  dialog->SetTitle();
  EXPECT_EQ(dialog->windowTitle(), "Journal");
  currentLanguage = kLanguageSimplifiedChinese;
  dialog->SetTitle();
  EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("\u65e5\u5fd7"));
}

TEST_F(LogsDlgTest, AppendedLinesEndTheTextInTheCurrentLanguage) {
  CLogsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->AppendLine("Book file not found");
  dialog->AppendLine(nullptr);
  currentLanguage = kLanguageFrench;
  dialog->AppendLine(
      "Fran\xE7"
      "ais");
  currentLanguage = kLanguageSimplifiedChinese;
  dialog->AppendLine("\xC8\xD5\xD6\xBE");  // GBK
  EXPECT_EQ(dialog->GetDlgItemText(kCtlLogText),
            QString::fromUtf8("Book file not found\r\n\r\nFran\u00e7ais\r\n\u65e5\u5fd7\r\n"));
  // Even when the user moved the caret to the start, lines go at the end.
  QTextCursor start = Edit(dialog)->textCursor();
  start.movePosition(QTextCursor::Start);
  Edit(dialog)->setTextCursor(start);
  currentLanguage = kLanguageEnglish;
  dialog->AppendLine("two\r\nparts");
  EXPECT_TRUE(dialog->GetDlgItemText(kCtlLogText).endsWith("\u65e5\u5fd7\r\ntwo\r\nparts\r\n"));
  EXPECT_TRUE(Edit(dialog)->textCursor().atEnd());
}

TEST_F(LogsDlgTest, TextOfMoreThanTheLimitIsEmptiedFirst) {
  CLogsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  // 5000 lines stay: the new line comes after them.
  dialog->SetDlgItemText(kCtlLogText, Lines(kLogLineLimit));
  dialog->AppendLine("new");
  EXPECT_EQ(Edit(dialog)->document()->blockCount(), kLogLineLimit + 1);
  EXPECT_TRUE(dialog->GetDlgItemText(kCtlLogText).startsWith("line 1\r\n"));
  EXPECT_TRUE(dialog->GetDlgItemText(kCtlLogText).endsWith("line 5000new\r\n"));
  // 5001 lines are emptied and only the new line remains.
  dialog->SetDlgItemText(kCtlLogText, Lines(kLogLineLimit + 1));
  dialog->AppendLine("only");
  EXPECT_EQ(dialog->GetDlgItemText(kCtlLogText), "only\r\n");
  // Appending line by line never lets the text pass the limit.
  dialog->SetDlgItemText(kCtlLogText, "");
  for (int i = 0; i < kLogLineLimit; ++i) dialog->AppendLine("x");
  EXPECT_EQ(Edit(dialog)->document()->blockCount(), kLogLineLimit + 1);
  dialog->AppendLine("after");
  EXPECT_EQ(dialog->GetDlgItemText(kCtlLogText), "after\r\n");
}

TEST_F(LogsDlgTest, LongLinesAreKeptWholeAndTheEndStaysInView) {
  CLogsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  const std::string longLine(70000, 'a');
  dialog->AppendLine(longLine.c_str());
  EXPECT_EQ(dialog->GetDlgItemText(kCtlLogText).size(), 70002);
  dialog->SetDlgItemText(kCtlLogText, "");
  for (int i = 0; i < 300; ++i) dialog->AppendLine("a line");
  // The caret, after the last line, is in view, so the text has scrolled
  // nearly to its end.
  QPlainTextEdit* edit = Edit(dialog);
  QScrollBar* bar = edit->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_GE(bar->value(), bar->maximum() - 1);
  EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect()));
}

TEST_F(LogsDlgTest, TextFollowsTheSizeAboveItsMinimum) {
  CLogsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->minTrackWidth, 400);
  EXPECT_EQ(dialog->minTrackHeight, 260);
  EXPECT_EQ(dialog->minimumSize(), QSize(400, 260));
  QWidget* edit = dialog->GetDlgItem(kCtlLogText);
  const QPoint topLeft = edit->pos();
  EXPECT_EQ(edit->geometry(),
            QRect(topLeft, QSize(400 - 10 - topLeft.x(), 260 - 18 - topLeft.y())));
  dialog->resize(640, 480);
  EXPECT_EQ(edit->geometry(),
            QRect(topLeft, QSize(640 - 10 - topLeft.x(), 480 - 18 - topLeft.y())));
  dialog->resize(100, 100);
  EXPECT_EQ(dialog->size(), QSize(400, 260));
}

TEST_F(LogsDlgTest, ClosingClearsThePointerAndDeletesTheWindow) {
  CLogsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(CloseAndDelete(dialog));
  EXPECT_EQ(logsDlg, nullptr);

  // Escape closes it the same way instead of hiding a window that would
  // still count as open.
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  QPointer<CLogsDlg> watch(dialog);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(dialog, &escape);
  EXPECT_EQ(logsDlg, nullptr);
  DeletePending();
  EXPECT_TRUE(watch.isNull());
  // And it opens again afterwards.
  EXPECT_NE(Open(), nullptr);

  // An owner that goes away takes the window and the pointer with it.
  CloseAndDelete(logsDlg);
  auto* owner = new QWidget;
  CLogsDlg::CreateAndShow(owner);
  ASSERT_NE(logsDlg, nullptr);
  EXPECT_EQ(logsDlg->parentWidget(), owner);
  EXPECT_TRUE(logsDlg->isWindow());
  delete owner;
  EXPECT_EQ(logsDlg, nullptr);
}

TEST_F(LogsDlgTest, PlacementIsSavedUnderLogsAndRestored) {
  EXPECT_EQ(StoredPlacement(), "");
  CLogsDlg* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->move(123, 77);
  dialog->resize(500, 300);
  dialog->SavePlacement();
  const std::string stored = StoredPlacement();
  ASSERT_TRUE(ParseWindowPlacement(stored.c_str()).has_value()) << stored;
  ASSERT_TRUE(CloseAndDelete(dialog));

  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->pos(), QPoint(123, 77));
  EXPECT_EQ(dialog->size(), QSize(500, 300));
  EXPECT_EQ(dialog->windowTitle(), "Logs");

  // Its close box saves it too: where the user left it, it opens again.
  dialog->move(200, 90);
  ASSERT_TRUE(CloseAndDelete(dialog));
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->pos(), QPoint(200, 90));
}

}  // namespace
