// The game information window: what Refresh shows, what one change writes
// back (and the change hook), texts too long for their field refused, clearing
// gameStatusDlg when it closes, and its stored placement.
#include "windows/game_status_dlg.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "game/comments.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/side_windows.h"

namespace {

int hookCalls = 0;
std::vector<QString> recordedMessages;
void CountHook() { ++hookCalls; }

class GameStatusDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    ASSERT_TRUE(config_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    Reset();
  }
  void TearDown() override {
    if (gameStatusDlg != nullptr) CloseAndDelete(gameStatusDlg);
    Reset();
  }
  static void Reset() {
    currentLanguage = kLanguageEnglish;
    ResetGameHeaderAndComments();
    ClearGameFileName();
    CGameStatusDlg::onGameInfoEdited = nullptr;
    hookCalls = 0;
  }
  static CGameStatusDlg* Open() {
    CGameStatusDlg::CreateAndShow(nullptr);
    return gameStatusDlg;
  }
  static bool CloseAndDelete(CGameStatusDlg* dialog) {
    QPointer<CGameStatusDlg> watch(dialog);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return watch.isNull();
  }
  // Types into an edit as the user does: one change notification.
  static void Type(CGameStatusDlg* d, int id, const QString& text) {
    qobject_cast<QLineEdit*>(d->GetDlgItem(id))->setText(text);
  }
  static std::string StoredPlacement() {
    CSettingsStore store(kSettingsNoRoot);
    std::string text;
    if (OpenProgramSettings(store)) store.GetString(text, "Windows placement", "Game status", "");
    return text;
  }

  QTemporaryDir config_;
};

TEST_F(GameStatusDlgTest, RefreshShowsTheHeaderCommentResultAndCaption) {
  CGameStatusDlg* d = Open();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->windowTitle(), "Game information");
  EXPECT_EQ(d->GetDlgItemText(kCtlLabelTimeControl), "Time control");
  // At its default place (390, 0), moved to lie wholly on a screen
  // narrower than that place and the window.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect frame = d->frameGeometry();
  EXPECT_EQ(frame.topLeft(), QPoint(std::min(390, area.x() + area.width() - frame.width()), 0));
  EXPECT_TRUE(area.contains(frame));
  // Every text lands in its own edit.
  for (const HeaderEdit& edit : kHeaderEdits) {
    SetHeaderText(currentGameHeader.*edit.field, std::to_string(edit.control).c_str());
  }
  SetHeaderText(currentGameHeader.event, "Open \xE9t\xE9");  // Windows-1252
  currentGameHeader.result = 7;  // no result code: shows "*" and stays
  SetComment(0, "first\r\nsecond");
  SetGameFileName("/games/open.vgf");
  d->SetTexts();
  d->Refresh();
  EXPECT_EQ(d->windowTitle(), "Game information > /games/open.vgf");
  EXPECT_EQ(d->GetDlgItemText(kCtlHeaderEvent), QString::fromUtf8("Open \u00e9t\u00e9"));
  for (const HeaderEdit& edit : kHeaderEdits) {
    if (edit.control != kCtlHeaderEvent) {
      EXPECT_EQ(d->GetDlgItemText(edit.control), QString::number(edit.control));
    }
  }
  EXPECT_EQ(d->GetDlgItemText(kCtlHeaderComment), "first\r\nsecond");
  auto* result = qobject_cast<QComboBox*>(d->GetDlgItem(kCtlHeaderResult));
  ASSERT_EQ(result->count(), 4);
  EXPECT_EQ(result->itemText(3), QString::fromUtf8("\u00bd-\u00bd"));
  EXPECT_EQ(result->currentIndex(), 0);
  // Filling the controls wrote nothing back.
  EXPECT_EQ(currentGameHeader.result, 7);
  EXPECT_FALSE(d->refreshing);
  // A second request keeps the open window; the labels follow the language.
  CGameStatusDlg::CreateAndShow(nullptr);
  EXPECT_EQ(gameStatusDlg, d);
  currentLanguage = kLanguageSimplifiedChinese;
  d->SetTexts();
  EXPECT_EQ(d->GetDlgItemText(kCtlLabelResult), QString::fromUtf8("结果"));
}

TEST_F(GameStatusDlgTest, OneChangeWritesEveryFieldBackAndRunsTheHook) {
  SetHeaderText(currentGameHeader.site, "Paris");
  // Not valid Windows-1252: shown as replacement characters, but an
  // untouched field and comment keep their bytes.
  SetHeaderText(currentGameHeader.redName, "\x81\x8D name");
  SetComment(0, "note \x90");
  CGameStatusDlg* d = Open();
  ASSERT_NE(d, nullptr);
  CGameStatusDlg::onGameInfoEdited = CountHook;
  // Changed elsewhere after the refresh: the window's text wins.
  SetHeaderText(currentGameHeader.site, "Lyon");
  Type(d, kCtlHeaderEvent, "Club match");
  EXPECT_STREQ(currentGameHeader.event, "Club match");
  EXPECT_STREQ(currentGameHeader.site, "Paris");
  EXPECT_STREQ(currentGameHeader.redName, "\x81\x8D name");
  EXPECT_STREQ(moveComments[0].text, "note \x90");
  EXPECT_EQ(hookCalls, 1);
  qobject_cast<QComboBox*>(d->GetDlgItem(kCtlHeaderResult))->setCurrentIndex(kResultBlackWins);
  EXPECT_EQ(currentGameHeader.result, kResultBlackWins);
  EXPECT_EQ(hookCalls, 2);
  // The comment is written on its own change too.
  d->SetDlgItemText(kCtlHeaderComment, "one\r\ntwo");
  EXPECT_STREQ(moveComments[0].text, "one\r\ntwo");
  EXPECT_EQ(hookCalls, 3);
  // A refresh shows the header again without writing or calling the hook.
  currentGameHeader.result = kResultDraw;
  d->Refresh();
  EXPECT_EQ(d->GetDlgItemText(kCtlHeaderSite), "Paris");
  EXPECT_EQ(hookCalls, 3);
}

// A typed or pasted text is measured in the code page it would be stored
// in: longer than its 127-byte field, it is refused with a message saying
// it is too long, and the edit shows what the header still holds; one that
// fits is stored whole. A text whose page would make another text longer
// than its field cannot be stored with it.
TEST_F(GameStatusDlgTest, TooLongTextIsRefusedAndTheEditShowsWhatWasKept) {
  struct Case {
    int language;
    uint8_t page;      // of the header before typing
    const char* site;  // stored before typing, in that page
    QString typed;     // into the event field
    const TextRow* refusal;
  };
  const QString hong(QChar(0x7EA2));  // 红: two bytes in GBK
  const QString e(QChar(0xE9));       // é: one byte in Windows-1252, two in GBK
  const TextRow* tooLong = &kTextHeaderTextTooLong;
  const std::string latinSite(100, '\xE9');
  const Case cases[] = {
      {kLanguageSimplifiedChinese, kHeaderTextsUnknown, "", hong.repeated(100), tooLong},
      {kLanguageSimplifiedChinese, kHeaderTextsUnknown, "", "x" + hong.repeated(63), nullptr},
      {kLanguageSimplifiedChinese, kHeaderTextsUnknown, "", "x" + hong.repeated(64), tooLong},
      {kLanguageSimplifiedChinese, kHeaderTextsUnknown, "", QString::fromUtf8("王天一"), nullptr},
      {kLanguageEnglish, kHeaderTextsUnknown, "", QString(127, QChar('a')), nullptr},
      {kLanguageEnglish, kHeaderTextsUnknown, "", QString(200, QChar('a')), tooLong},
      {kLanguageEnglish, kHeaderTextsUnknown, "", e.repeated(127), nullptr},
      {kLanguageEnglish, kHeaderTextsUnknown, "", e.repeated(128), tooLong},
      // A header read from a GBK file keeps its page: é takes two bytes.
      {kLanguageEnglish, kHeaderTextsGbk, "Beijing", e.repeated(63), nullptr},
      {kLanguageEnglish, kHeaderTextsGbk, "Beijing", e.repeated(127), tooLong},
      {kLanguageGerman, kHeaderTextsGbk, "Beijing", e.repeated(64), tooLong},
      // GBK would make the site 200 bytes long.
      {kLanguageEnglish, kHeaderTextsLatin, latinSite.c_str(), QString::fromUtf8("王"),
       &kTextHeaderTextNotStored},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.language) + " " + std::to_string(c.typed.size()));
    Reset();
    recordedMessages.clear();
    messageBoxHook = [](const QString& text, int) -> int {
      recordedMessages.push_back(text);
      return kAnswerOk;
    };
    currentLanguage = c.language;
    currentGameHeader.textPage = c.page;
    SetHeaderText(currentGameHeader.site, c.site);
    const GameHeader before = currentGameHeader;
    CGameStatusDlg* d = Open();
    ASSERT_NE(d, nullptr);
    Type(d, kCtlHeaderEvent, c.typed);
    if (c.refusal != nullptr) {
      ASSERT_EQ(recordedMessages.size(), 1u);
      EXPECT_EQ(recordedMessages[0], TrText(*c.refusal).arg(TrText(kTextEvent)));
      EXPECT_EQ(0, std::memcmp(&currentGameHeader, &before, sizeof before));
      EXPECT_EQ(d->GetDlgItemText(kCtlHeaderEvent), "");
    } else {
      EXPECT_TRUE(recordedMessages.empty());
      EXPECT_EQ(DecodeHeaderText(currentGameHeader, currentGameHeader.event), c.typed);
      EXPECT_EQ(DecodeHeaderText(currentGameHeader, currentGameHeader.site),
                DecodeHeaderText(before, before.site));
      EXPECT_EQ(d->GetDlgItemText(kCtlHeaderEvent), c.typed);
    }
    ASSERT_TRUE(CloseAndDelete(d));
  }
  messageBoxHook = nullptr;
}

// A typed text is kept as typed in every language: typed under each
// language, it is stored in a code page that holds it (the header marked
// with it), and shows the same after a switch to every other language; a
// text no such page holds with the header's other texts is refused with a
// message naming its field, never stored as "?"; the message blames the
// other texts only when the typed text fits a page on its own.
TEST_F(GameStatusDlgTest, TypedTextsAreKeptAsTypedInEveryLanguage) {
  enum Page { kGbkPage, kLatinPage, kLatinUnderLatin, kRefused, kRefusedAlone };
  struct Case {
    const char* site;  // typed first, ASCII or not
    const char* red;   // then the red player's name
    Page page;
  };
  const Case cases[] = {
      {"", "王天一", kGbkPage},                // simplified characters
      {"", "張國榮", kGbkPage},                // traditional ones: GBK holds them too
      {"", "Peña Schröder", kLatinPage},      // not in GBK
      {"", "José", kLatinUnderLatin},         // in both: the interface's own page first
      {"Logroño", "王天一", kRefused},         // no page holds both texts
      {"", "王 Peña", kRefusedAlone},          // nor both scripts in one text
      {"", "Chess \U0001F600", kRefusedAlone},  // nor this
      {"", "\u0634\u0637\u0631\u0646\u062C", kRefusedAlone},  // nor Arabic
  };
  for (int language = 0; language < kLanguageCount; ++language) {
    for (const Case& c : cases) {
      const QString site = QString::fromUtf8(c.site), red = QString::fromUtf8(c.red);
      SCOPED_TRACE(std::to_string(language) + " " + c.red);
      Reset();
      recordedMessages.clear();
      messageBoxHook = [](const QString& text, int) -> int {
        recordedMessages.push_back(text);
        return kAnswerOk;
      };
      currentLanguage = language;
      CGameStatusDlg* d = Open();
      ASSERT_NE(d, nullptr);
      SetHeaderText(currentGameHeader.blackName, "Li");
      d->Refresh();
      if (!site.isEmpty()) Type(d, kCtlHeaderSite, site);
      Type(d, kCtlHeaderRedName, red);
      const bool latin = c.page == kLatinPage || (c.page == kLatinUnderLatin && language < 4);
      const CodePage page = latin ? CodePage::kWindows1252 : CodePage::kGbk;
      const bool refused = c.page == kRefused || c.page == kRefusedAlone;
      if (refused) {
        ASSERT_EQ(recordedMessages.size(), 1u);
        const TextRow& why =
            c.page == kRefused ? kTextHeaderTextNotStored : kTextHeaderTextNoCodePage;
        EXPECT_EQ(recordedMessages[0], TrText(why).arg(TrText(kTextRed)));
        EXPECT_STREQ(currentGameHeader.redName, "");
        EXPECT_EQ(d->GetDlgItemText(kCtlHeaderRedName), "");
      } else {
        EXPECT_TRUE(recordedMessages.empty());
        EXPECT_EQ(QByteArray(currentGameHeader.redName), EncodeText(red, page));
        EXPECT_EQ(currentGameHeader.textPage, latin ? kHeaderTextsLatin : kHeaderTextsGbk);
      }
      const GameHeader typed = currentGameHeader;
      for (int shown = 0; shown < kLanguageCount; ++shown) {
        currentLanguage = shown;
        d->SetTexts();
        d->Refresh();
        EXPECT_EQ(d->GetDlgItemText(kCtlHeaderRedName), refused ? QString() : red)
            << shown;
        EXPECT_EQ(DecodeHeaderText(currentGameHeader, currentGameHeader.site), site) << shown;
        // Typing in another field keeps the name's bytes.
        Type(d, kCtlHeaderRound, QString::number(shown));
        EXPECT_EQ(0, std::memcmp(currentGameHeader.redName, typed.redName, kHeaderTextSize));
        EXPECT_EQ(currentGameHeader.textPage, typed.textPage);
      }
      EXPECT_EQ(recordedMessages.size(), refused ? 1u : 0u);
      ASSERT_TRUE(CloseAndDelete(d));
    }
  }
  messageBoxHook = nullptr;
}

// The header edits hold one line: a line break pasted or typed into one
// becomes a blank as it comes in, so the edit shows what the header holds,
// with the caret after what came in. A text read from a file keeps its
// line breaks while it is not edited.
TEST_F(GameStatusDlgTest, PastedLineBreaksBecomeBlanksAsTheyComeIn) {
  struct Case {
    QString pasted;
    QString kept;
  };
  const Case cases[] = {
      {"Line1\r\nLine2", "Line1 Line2"},
      {"a\rb\nc\r\n", "a b c "},
      {QString("x") + QChar(QChar::LineSeparator) + "y" + QChar(QChar::ParagraphSeparator), "x y "},
      {"tab\tstays", "tab\tstays"},
  };
  recordedMessages.clear();
  messageBoxHook = [](const QString& text, int) -> int {
    recordedMessages.push_back(text);
    return kAnswerOk;
  };
  SetHeaderText(currentGameHeader.site, "Hall\r\nB");
  CGameStatusDlg* d = Open();
  ASSERT_NE(d, nullptr);
  auto* event = qobject_cast<QLineEdit*>(d->GetDlgItem(kCtlHeaderEvent));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kept.toStdString());
    event->setText("<>");
    event->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(c.pasted);
    event->paste();
    EXPECT_EQ(event->text(), "<" + c.kept + ">");
    EXPECT_EQ(event->cursorPosition(), 1 + c.kept.size());
    EXPECT_EQ(QString::fromLatin1(currentGameHeader.event), "<" + c.kept + ">");
    EXPECT_STREQ(currentGameHeader.site, "Hall\r\nB");
  }
  // Typing into the site makes the whole text one line.
  auto* site = qobject_cast<QLineEdit*>(d->GetDlgItem(kCtlHeaderSite));
  site->end(false);
  site->insert("x");
  EXPECT_EQ(site->text(), "Hall Bx");
  EXPECT_STREQ(currentGameHeader.site, "Hall Bx");
  EXPECT_TRUE(recordedMessages.empty());
  messageBoxHook = nullptr;
}

TEST_F(GameStatusDlgTest, ClosingClearsThePointerAndSavesThePlacement) {
  // The close box, and the main frame's DestroyWindow.
  for (bool byFrame : {false, true}) {
    CGameStatusDlg* d = Open();
    ASSERT_NE(d, nullptr);
    QPointer<CGameStatusDlg> watch(d);
    if (byFrame) {
      d->DestroyWindow();
    } else {
      d->close();
    }
    EXPECT_EQ(gameStatusDlg, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_NE(StoredPlacement(), "");
  }
}

TEST_F(GameStatusDlgTest, PlacementIsRestoredAndResizingStretchesTheLongFields) {
  CGameStatusDlg* d = Open();
  ASSERT_NE(d, nullptr);
  const QSize initial = d->size();
  EXPECT_EQ(d->minimumSize(), initial);
  d->move(140, 60);
  d->resize(initial.width() + 100, initial.height() + 50);
  ASSERT_TRUE(CloseAndDelete(d));

  d = Open();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->pos(), QPoint(140, 60));
  ASSERT_EQ(d->size(), QSize(initial.width() + 100, initial.height() + 50));
  const QWidget* comment = d->GetDlgItem(kCtlHeaderComment);
  EXPECT_EQ(comment->geometry().right() + 1, d->width() - 10);
  EXPECT_EQ(comment->geometry().bottom() + 1, d->height() - 10);
  EXPECT_EQ(d->GetDlgItem(kCtlHeaderEvent)->geometry().right() + 1, d->width() - 10);
  EXPECT_EQ(d->GetDlgItem(kCtlHeaderRedName)->width(), 140);
}

}  // namespace
