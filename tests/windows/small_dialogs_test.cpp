// The small modal dialogs: the side-to-move chooser, the game header editor
// and the one-line input, each driven while it runs modally.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/comments.h"
#include "game/header.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/game_info_dlg.h"
#include "windows/input_dlg.h"
#include "windows/side_to_move_dlg.h"

namespace {

// Runs `drive` once the dialog's modal run has started; a run left open
// ends with -99 after a minute.
int RunModal(CDialog& dialog, const std::function<void(CDialog&)>& drive) {
  bool reached = false;
  QTimer::singleShot(0, [&] {
    reached = QApplication::activeModalWidget() == &dialog;
    if (reached) drive(dialog);
  });
  QTimer::singleShot(60000, &dialog, [&] { dialog.done(-99); });
  const int code = dialog.DoModal();
  EXPECT_TRUE(reached);
  return code;
}

void Click(CDialog& dialog, int id) {
  qobject_cast<QAbstractButton*>(dialog.GetDlgItem(id))->click();
}

QComboBox* ResultList(CDialog& d) {
  return qobject_cast<QComboBox*>(d.GetDlgItem(kCtlHeaderResult));
}

std::vector<QString> messages;

// Message boxes are answered at once and their texts kept in `messages`.
void RecordMessages() {
  messages.clear();
  messageBoxHook = [](const QString& text, int) -> int {
    messages.push_back(text);
    return kAnswerOk;
  };
}

class SmallDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    currentLanguage = kLanguageEnglish;
    ResetGameHeaderAndComments();
  }
  void TearDown() override { SetUp(); }
};

TEST_F(SmallDialogsTest, SideToMoveStartsOnRedAndReportsTheLastRadioClicked) {
  struct Case {
    std::vector<int> clicks;
    int button, redToMove;
  };
  const Case cases[] = {{{}, IDOK, 1},
                        {{kCtlSideBlack}, IDOK, 0},
                        {{kCtlSideBlack, kCtlSideRed}, IDOK, 1},
                        {{kCtlSideBlack}, IDCANCEL, 0}};
  currentLanguage = kLanguageGerman;
  for (const Case& c : cases) {
    CSideToMoveDlg dialog;
    dialog.redToMove = 0;  // whatever the caller left, the dialog starts on Red
    const int code = RunModal(dialog, [&](CDialog& d) {
      EXPECT_EQ(dialog.redToMove, 1);
      EXPECT_EQ(d.IsDlgButtonChecked(kCtlSideRed) * 2 + d.IsDlgButtonChecked(kCtlSideBlack), 2);
      EXPECT_EQ(d.windowTitle(), "Dialog");
      EXPECT_EQ(d.GetDlgItemText(kCtlSideToMoveLabel), "Am Zug");
      EXPECT_EQ(d.GetDlgItemText(kCtlSideBlack), "Schwarz");
      for (int id : c.clicks) Click(d, id);
      EXPECT_EQ(d.IsDlgButtonChecked(kCtlSideBlack), 1 - c.redToMove);
      Click(d, c.button);
    });
    EXPECT_EQ(code, c.button);
    EXPECT_EQ(dialog.redToMove, c.redToMove) << c.clicks.size();
  }
}

TEST_F(SmallDialogsTest, GameInfoShowsTheHeaderAndCancelKeepsItAndTheEmptyDate) {
  SetHeaderText(currentGameHeader.event, "Open \xE9t\xE9");  // Windows-1252
  SetHeaderText(currentGameHeader.blackElo, "2400");
  currentGameHeader.result = 7;  // not a result code: shown as "*"
  SetComment(0, "line one\r\nline two");
  const GameHeader before = currentGameHeader;
  CGameInfoDlg dialog(currentGameHeader);
  const int code = RunModal(dialog, [](CDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Game Status");
    EXPECT_EQ(d.GetDlgItemText(kCtlHeaderEvent), QString::fromUtf8("Open \u00e9t\u00e9"));
    EXPECT_EQ(d.GetDlgItemText(kCtlHeaderBlackElo), "2400");
    const QDate today = QDate::currentDate();
    EXPECT_EQ(d.GetDlgItemText(kCtlHeaderDate),
              QString("%1-%2-%3").arg(today.day()).arg(today.month()).arg(today.year()));
    EXPECT_EQ(d.GetDlgItemText(kCtlHeaderComment), "line one\r\nline two");
    EXPECT_EQ(d.GetDlgItemText(kCtlLabelRedElo), "Red ELO");
    ASSERT_EQ(ResultList(d)->count(), 4);
    EXPECT_EQ(ResultList(d)->itemText(3), QString::fromUtf8("\u00bd-\u00bd"));
    EXPECT_EQ(ResultList(d)->currentIndex(), 0);
    d.SetDlgItemText(kCtlHeaderRound, "5");
    d.SetDlgItemText(kCtlHeaderComment, QString(kGameCommentEditLimit + 50, QChar('a')));
    EXPECT_EQ(d.GetDlgItemText(kCtlHeaderComment).size(), kGameCommentEditLimit);
    ResultList(d)->setCurrentIndex(2);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(code, IDCANCEL);
  EXPECT_EQ(std::memcmp(&before, &currentGameHeader, sizeof before), 0);
  EXPECT_STREQ(moveComments[0].text, "line one\r\nline two");
}

TEST_F(SmallDialogsTest, GameInfoOkStoresEveryFieldAndRefusesATooLongText) {
  RecordMessages();
  currentLanguage = kLanguageSimplifiedChinese;
  currentGameHeader.result = kResultRedWins;
  SetHeaderText(currentGameHeader.date, "1-2-2003");
  const std::pair<int, char(GameHeader::*)[kHeaderTextSize]> fields[] = {
      {kCtlHeaderEvent, &GameHeader::event},
      {kCtlHeaderSite, &GameHeader::site},
      {kCtlHeaderDate, &GameHeader::date},
      {kCtlHeaderRound, &GameHeader::round},
      {kCtlHeaderRedElo, &GameHeader::redElo},
      {kCtlHeaderBlackName, &GameHeader::blackName},
      {kCtlHeaderBlackElo, &GameHeader::blackElo},
      {kCtlHeaderAuthor, &GameHeader::author},
      {kCtlHeaderTimeControl, &GameHeader::timeControl}};
  // 100 two-byte characters do not fit the 127-byte field: refused, the
  // dialog stays open; 63 of them do.
  const QString longName(100, QChar(0x7EA2));  // "红"
  CGameInfoDlg dialog(currentGameHeader);
  const int code = RunModal(dialog, [&](CDialog& d) {
    EXPECT_EQ(d.GetDlgItemText(kCtlHeaderDate), "1-2-2003");
    EXPECT_EQ(ResultList(d)->currentIndex(), kResultRedWins);
    EXPECT_EQ(d.GetDlgItemText(kCtlLabelResult), QString::fromUtf8("结果"));
    for (const auto& [id, field] : fields) d.SetDlgItemText(id, QString::number(id));
    d.SetDlgItemText(kCtlHeaderRedName, longName);
    d.SetDlgItemText(kCtlHeaderComment, QString::fromUtf8("好棋\n第二行"));
    ResultList(d)->setCurrentIndex(kResultDraw);
    Click(d, IDOK);
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], TrText(kTextHeaderTextTooLong).arg(TrText(kTextRed)));
    EXPECT_EQ(d.focusWidget(), d.GetDlgItem(kCtlHeaderRedName));
    EXPECT_STREQ(currentGameHeader.event, "");
    d.SetDlgItemText(kCtlHeaderRedName, longName.left(63));
    Click(d, IDOK);
  });
  messageBoxHook = nullptr;
  EXPECT_EQ(code, IDOK);
  for (const auto& [id, field] : fields) EXPECT_EQ(currentGameHeader.*field, std::to_string(id));
  EXPECT_EQ(currentGameHeader.result, kResultDraw);
  EXPECT_EQ(std::strlen(currentGameHeader.redName), 126u);
  EXPECT_EQ(DecodeText(currentGameHeader.redName, CodePage::kGbk), longName.left(63));
  EXPECT_EQ(DecodeText(moveComments[0].text, CodePage::kGbk), QString::fromUtf8("好棋\r\n第二行"));
}

// A header read from a GBK file shows its names as GBK in every language;
// what the user leaves alone keeps its bytes, and a changed field is
// stored in GBK like the rest (here a byte pair no code page decodes).
TEST_F(SmallDialogsTest, GameInfoShowsGbkHeadersAsGbkInEveryLanguage) {
  for (int language = 0; language < kLanguageCount; ++language) {
    currentLanguage = language;
    ResetGameHeaderAndComments();
    currentGameHeader.textPage = kHeaderTextsGbk;
    SetHeaderText(currentGameHeader.redName, "\xD5\xC5\xC8\xFD");  // 张三
    SetHeaderText(currentGameHeader.site, "\xFF\xFF");
    const GameHeader before = currentGameHeader;
    CGameInfoDlg dialog(currentGameHeader);
    RunModal(dialog, [](CDialog& d) {
      EXPECT_EQ(d.GetDlgItemText(kCtlHeaderRedName), QString::fromUtf8("张三"));
      d.SetDlgItemText(kCtlHeaderBlackName, QString::fromUtf8("李四"));
      Click(d, IDOK);
    });
    EXPECT_STREQ(currentGameHeader.redName, before.redName) << language;
    EXPECT_STREQ(currentGameHeader.site, before.site) << language;
    EXPECT_STREQ(currentGameHeader.blackName, "\xC0\xEE\xCB\xC4") << language;
  }
}

// OK with a text no code page holds together with the others says which
// field (or the comment) it is and keeps the dialog open with the header
// unchanged; the comment is kept in a page that holds it.
TEST_F(SmallDialogsTest, GameInfoOkRefusesTextsNoCodePageCanKeep) {
  RecordMessages();
  const GameHeader before = currentGameHeader;
  CGameInfoDlg dialog(currentGameHeader);
  const int code = RunModal(dialog, [&](CDialog& d) {
    d.SetDlgItemText(kCtlHeaderSite, QString::fromUtf8("Logroño"));
    d.SetDlgItemText(kCtlHeaderBlackName, QString::fromUtf8("王天一"));
    Click(d, IDOK);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(0, std::memcmp(&currentGameHeader, &before, sizeof before));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The characters typed in \"Black\" cannot be stored in the game files "
                           "together with the game's other texts; they were not taken.");
    EXPECT_EQ(d.focusWidget(), d.GetDlgItem(kCtlHeaderBlackName));
    d.SetDlgItemText(kCtlHeaderBlackName, QString::fromUtf8("Wáng"));
    // Nor a comment no code page holds.
    d.SetDlgItemText(kCtlHeaderComment, QString::fromUtf8("王 Peña"));
    Click(d, IDOK);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(0, std::memcmp(&currentGameHeader, &before, sizeof before));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], TrText(kTextCommentNotStored));
    EXPECT_EQ(d.focusWidget(), d.GetDlgItem(kCtlHeaderComment));
    d.SetDlgItemText(kCtlHeaderComment, QString::fromUtf8("好棋"));
    Click(d, IDOK);
  });
  messageBoxHook = nullptr;
  EXPECT_EQ(code, IDOK);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_STREQ(moveComments[0].text, "\xBA\xC3\xC6\xE5");
  EXPECT_EQ(moveComments[0].page, kHeaderTextsGbk);
  EXPECT_STREQ(currentGameHeader.site, "Logro\xF1o");
  EXPECT_STREQ(currentGameHeader.blackName, "W\xE1ng");
  EXPECT_EQ(currentGameHeader.textPage, kHeaderTextsLatin);
}

// A two-line text pasted into a header edit is taken as the one line the
// edit shows; the texts the dialog was opened with keep their bytes, line
// breaks of every kind included.
TEST_F(SmallDialogsTest, GameInfoTakesPastedTextsAsOneLine) {
  SetHeaderText(currentGameHeader.event, "Cup\r\nFinal");
  SetHeaderText(currentGameHeader.date, "2024\r");
  CGameInfoDlg dialog(currentGameHeader);
  const int code = RunModal(dialog, [](CDialog& d) {
    auto* red = qobject_cast<QLineEdit*>(d.GetDlgItem(kCtlHeaderRedName));
    QGuiApplication::clipboard()->setText("Wang\r\nFEN  \t\t4k4/9/9/9/9/9/9/9/9/4K4 w");
    red->paste();
    EXPECT_EQ(red->text(), "Wang FEN  \t\t4k4/9/9/9/9/9/9/9/9/4K4 w");
    Click(d, IDOK);
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_STREQ(currentGameHeader.redName, "Wang FEN  \t\t4k4/9/9/9/9/9/9/9/9/4K4 w");
  EXPECT_STREQ(currentGameHeader.event, "Cup\r\nFinal");
  EXPECT_STREQ(currentGameHeader.date, "2024\r");
}

TEST_F(SmallDialogsTest, GameInfoNeverCutsALongerStoredComment) {
  const std::string stored(kGameCommentEditLimit + 7, 'b');
  SetComment(0, stored.c_str());
  CGameInfoDlg longer(currentGameHeader);
  longer.OnInitDialog();
  longer.OnOK();
  EXPECT_EQ(std::strlen(moveComments[0].text), stored.size());
}

TEST_F(SmallDialogsTest, InputShowsItsFieldsAndReadsBackAtMost48Bytes) {
  struct Case {
    int language, button;
    QString typed;
    std::string stored;
  };
  // One byte and 30 two-byte characters: 48 bytes end inside the 24th.
  const QString chinese = "x" + QString(30, QChar(0x7EA2));
  const Case cases[] = {{kLanguageSimplifiedChinese, IDOK, chinese,
                         EncodeText(chinese.left(24), CodePage::kGbk).toStdString()},
                        {kLanguageEnglish, IDOK, QString(60, QChar('7')), std::string(48, '7')},
                        {kLanguageEnglish, IDCANCEL, "99", "12"}};
  for (const Case& c : cases) {
    currentLanguage = c.language;
    CInputDlg dialog;
    EXPECT_EQ(std::string(dialog.caption) + dialog.prompt + dialog.text, "");
    std::strcpy(dialog.caption, "Goto");
    std::strcpy(dialog.prompt, Tr(kTextEnterMoveNumber));
    std::strcpy(dialog.text, "12");
    const int code = RunModal(dialog, [&](CDialog& d) {
      EXPECT_EQ(d.windowTitle(), "Goto");
      EXPECT_EQ(d.GetDlgItemText(kCtlInputPrompt), TrText(kTextEnterMoveNumber));
      EXPECT_EQ(d.GetDlgItemText(kCtlInputText), "12");
      d.SetDlgItemText(kCtlInputText, c.typed);
      Click(d, c.button);
    });
    EXPECT_EQ(code, c.button);
    EXPECT_EQ(dialog.text, c.stored) << c.language;
  }
}

// However short its text, every small box leaves the window manager room
// for its whole title, in every language: the message boxes of the
// shortest messages, and the one-line input under the captions the program
// gives it.
TEST_F(SmallDialogsTest, BoxesAreWideEnoughForTheirWholeTitleInEveryLanguage) {
  struct Box {
    const char* name;
    const TextRow* row;  // the message, or the input's caption
    bool input;
  };
  const Box boxes[] = {
      {"hash table message", &kTextHashTableTooBig, false},
      {"learning tables message", &kTextLearningTablesTooBig, false},
      {"integer message", &kTextEnterInteger, false},
      {"goto move input", &kTextGotoMoveCaption, true},
      {"automove input", &kTextSecondsPerMove, true},
  };
  messageBoxHook = nullptr;
  for (int language = 0; language < kLanguageCount; ++language) {
    currentLanguage = language;
    for (const Box& box : boxes) {
      SCOPED_TRACE(std::string(box.name) + " in language " + std::to_string(language));
      QString title;
      int width = 0;
      const auto measure = [&](QWidget* shown) {
        title = shown->windowTitle();
        width = shown->width();
      };
      if (box.input) {
        CInputDlg dialog;
        std::snprintf(dialog.caption, sizeof dialog.caption, "%s", Tr(*box.row));
        std::snprintf(dialog.prompt, sizeof dialog.prompt, "%s", Tr(kTextEnterMoveNumber));
        RunModal(dialog, [&](CDialog& d) {
          measure(&d);
          Click(d, IDCANCEL);
        });
        EXPECT_EQ(title, TrText(*box.row));
      } else {
        QTimer::singleShot(0, [&] {
          QWidget* shown = QApplication::activeModalWidget();
          ASSERT_NE(shown, nullptr);
          measure(shown);
          shown->close();
        });
        ShowMessageBox(nullptr, TrText(*box.row));
        EXPECT_EQ(title, kMessageBoxCaption);
      }
      EXPECT_GE(width, TitleBarMinimumWidth(title));
    }
  }
}

// The text starts selected in the focused edit: a key typed at once
// replaces it ("1" over "2" reads 1, not 21).
TEST_F(SmallDialogsTest, InputTypingReplacesTheShownText) {
  CInputDlg dialog;
  std::strcpy(dialog.text, "2");
  const int code = RunModal(dialog, [&](CDialog& d) {
    QWidget* focused = d.GetDlgItem(kCtlInputText);
    EXPECT_EQ(d.focusWidget(), focused);
    focused->setFocus(Qt::ActiveWindowFocusReason);  // as the window's activation gives it
    QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
    QApplication::sendEvent(focused, &one);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(focused, &enter);
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_STREQ(dialog.text, "1");
}

}  // namespace
