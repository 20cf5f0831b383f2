// Comments typed in the comments window and the game information window in
// each interface language: kept as typed through a move back and forth, a
// save in each format and a load, shown alike in every language, and
// changed under another language only where the user typed; a text no
// code page holds is refused with a message.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "game/binary_files.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/comment_text.h"
#include "windows/comments_dlg.h"
#include "windows/game_status_dlg.h"
#include "windows/side_windows.h"

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

std::vector<QString> messages;

// The game on the board shown at `ply`.
void ShowPly(int ply) {
  while (gamePly > ply && TakeBackOne()) {
  }
  while (gamePly < ply && ReplayOne()) {
  }
  shownSideToMove = sideToMove;
}

// The short game on the board, shown at ply 2.
void SetGame() {
  testing_support::InitEngine();
  LoadedGame game;
  for (const char* m : {"h2e2", "h9g7", "h0g2"})
    game.moves.push_back({testing_support::MoveFromText(m), 0, 0, 0});
  ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
  ShowPly(2);
  engineState = kEngineIdle;
}

QPlainTextEdit* EditOf(CDialog* dialog, int control) {
  return qobject_cast<QPlainTextEdit*>(dialog->GetDlgItem(control));
}

// Pastes `text` at the end of an edit: one change.
void Paste(CDialog* dialog, int control, const QString& text) {
  QPlainTextEdit* edit = EditOf(dialog, control);
  edit->moveCursor(QTextCursor::End);
  edit->insertPlainText(text);
}

// Types `text` at the end of an edit, one key at a time.
void Type(CDialog* dialog, int control, const QString& text) {
  QPlainTextEdit* edit = EditOf(dialog, control);
  edit->setFocus();
  edit->moveCursor(QTextCursor::End);
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
  }
}

// Both windows refreshed under `language`.
void ShowIn(int language) {
  currentLanguage = language;
  commentsDlg->Refresh();
  gameStatusDlg->Refresh();
}

class TypedCommentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    ASSERT_TRUE(config_.isValid() && files_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    messages.clear();
    messageBoxHook = [](const QString& text, int) -> int {
      messages.push_back(text);
      return kAnswerOk;
    };
  }
  void TearDown() override {
    if (commentsDlg != nullptr) testing_support::CloseAsCloseBox(commentsDlg);
    if (gameStatusDlg != nullptr) testing_support::CloseAsCloseBox(gameStatusDlg);
    messageBoxHook = nullptr;
    currentLanguage = kLanguageEnglish;
    ResetGameHeaderAndComments();
  }
  // A new game shown at ply 2 with both windows open.
  static void Start(int language) {
    currentLanguage = language;
    ResetGameHeaderAndComments();
    SetGame();
    if (commentsDlg == nullptr) CCommentsDlg::CreateAndShow(nullptr);
    if (gameStatusDlg == nullptr) CGameStatusDlg::CreateAndShow(nullptr);
    ShowIn(language);
  }
  std::string Path(const std::string& name) const {
    return (std::filesystem::path(files_.path().toStdString()) / name).string();
  }

  QTemporaryDir config_;
  QTemporaryDir files_;
};

TEST_F(TypedCommentsTest, KeptAsTypedThroughEveryFormatAndShownAlikeInEveryLanguage) {
  struct Row {
    const char* text;  // UTF-8
    bool gbkLacksIt;   // wxf, axf and ccf refuse the save
  };
  const Row rows[] = {
      {"中文评论 ok", false},      // GBK only
      {"好棋 comment", false},     // GBK only
      {"Müller Weiß gut", true},   // Windows-1252 only
      {"Müller gut, José", false}, // both: Windows-1252 under a Latin language
      {"plain text", false},       // ASCII
  };
  const char* const formats[] = {"egf", "vgf", "wxf", "axf", "ccf"};
  for (const Row& row : rows) {
    const QString text = QString::fromUtf8(row.text);
    for (int typedIn = 0; typedIn < kLanguageCount; ++typedIn) {
      for (const char* format : formats) {
        SCOPED_TRACE(std::string(row.text) + " typed in " + std::to_string(typedIn) + " ." +
                     format);
        Start(typedIn);
        Type(commentsDlg, kCtlCommentText, text);
        Paste(gameStatusDlg, kCtlHeaderComment, text);
        // Left, Right.
        ShowPly(1);
        commentsDlg->Refresh();
        ShowPly(2);
        commentsDlg->Refresh();
        EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), text);

        const std::string path = Path(std::string("game.") + format);
        std::filesystem::remove(path);
        const bool keyword = format[0] != 'e' && format[0] != 'v';
        const int saved = SaveGameFile(path.c_str(), currentGameHeader);
        if (keyword && row.gbkLacksIt) {
          EXPECT_EQ(saved, kSaveCommentsNotKept);
          EXPECT_FALSE(std::filesystem::exists(path));
          continue;
        }
        ASSERT_EQ(saved, 0);
        ResetGameHeaderAndComments();
        ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), 0);
        ASSERT_EQ(gameLength, 3);
        ShowPly(2);
        // vgf keeps the game comment only.
        const QString move = std::string(format) == "vgf" ? QString() : text;
        for (int shown = 0; shown < kLanguageCount; ++shown) {
          ShowIn(shown);
          EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), move) << shown;
          EXPECT_EQ(gameStatusDlg->GetDlgItemText(kCtlHeaderComment), text) << shown;
        }
        // Added to under any language, the rest stays as it was.
        if (move.isEmpty()) continue;
        const std::string loaded = moveComments[2].text;
        const uint8_t loadedPage = moveComments[2].page;
        for (int edited = 0; edited < kLanguageCount; ++edited) {
          SetComment(2, loaded.c_str(), loadedPage);
          ShowIn(edited);
          Type(commentsDlg, kCtlCommentText, QStringLiteral(" x"));
          for (int shown = 0; shown < kLanguageCount; ++shown) {
            currentLanguage = shown;
            EXPECT_EQ(CommentString(2), text + " x") << edited << " " << shown;
          }
        }
      }
    }
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(TypedCommentsTest, TextsNoCodePageHoldsAreRefusedWithAMessage) {
  const TextRow* kRefused = &kTextCommentNotStored;
  for (int language = 0; language < kLanguageCount; ++language) {
    SCOPED_TRACE(language);
    Start(language);
    Type(commentsDlg, kCtlCommentText, QStringLiteral("ok"));
    Paste(commentsDlg, kCtlCommentText, QString::fromUtf8("王 Peña"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], TrText(*kRefused));
    EXPECT_STREQ(moveComments[2].text, "ok");
    EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), "ok");
    // A character typed onto a comment whose page lacks it, when the other
    // page lacks one of the comment's own.
    Paste(gameStatusDlg, kCtlHeaderComment, QString::fromUtf8("Weiß"));
    Type(gameStatusDlg, kCtlHeaderComment, QString::fromUtf8("王"));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(CommentString(0), QString::fromUtf8("Weiß"));
    EXPECT_EQ(gameStatusDlg->GetDlgItemText(kCtlHeaderComment), QString::fromUtf8("Weiß"));
    Type(gameStatusDlg, kCtlHeaderComment, QStringLiteral("!"));
    EXPECT_EQ(CommentString(0), QString::fromUtf8("Weiß!"));
    // A character no page holds at all, pasted onto an ASCII comment: the
    // message does not blame the rest of the comment.
    Paste(commentsDlg, kCtlCommentText, QString::fromUtf8("\U0001F600"));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], TrText(kTextCommentNoCodePage));
    EXPECT_STREQ(moveComments[2].text, "ok");
    messages.clear();
  }
}

// A save refused for a comment GBK lacks names the formats to use instead:
// each of them loads the comment back as typed (vgf keeps the game comment
// but no move comment).
TEST_F(TypedCommentsTest, FormatsNamedForARefusedCommentKeepIt) {
  const QString weiss = QString::fromUtf8("Weiß");
  for (const int ply : {0, 2}) {
    SCOPED_TRACE(ply);
    // A new game with the comment of ply typed under German.
    const auto typed = [&] {
      Start(kLanguageGerman);
      if (ply == 0) {
        Paste(gameStatusDlg, kCtlHeaderComment, weiss);
      } else {
        Paste(commentsDlg, kCtlCommentText, weiss);
      }
    };
    typed();
    ASSERT_EQ(SaveGameFile(Path("refused.wxf").c_str(), currentGameHeader), kSaveCommentsNotKept);
    const std::string named = CommentKeepingGameFileExtensions();
    ASSERT_FALSE(named.empty());
    for (size_t at = 0; at < named.size();) {
      const size_t end = std::min(named.find(", ", at), named.size());
      const std::string path = Path("named." + named.substr(at, end - at));
      at = end + 2;
      SCOPED_TRACE(path);
      typed();
      ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
      ResetGameHeaderAndComments();
      ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), 0);
      EXPECT_EQ(CommentString(ply), weiss);
    }
  }
  EXPECT_TRUE(messages.empty());
}

// The game files keep kBinaryLongTextCap bytes of a comment, counted in
// the page it is stored in: a comment as long as that loads back whole
// from an egf; one more character, typed or pasted, is refused in both
// windows with a message saying the comment is too long (it was taken,
// then cut inside a character when saved).
TEST_F(TypedCommentsTest, ACommentLongerThanTheFilesKeepIsRefused) {
  struct Row {
    int language;
    QString fits;
    QString more;  // then typed, or pasted, and refused
    bool paste;
  };
  const QString zhong(QChar(0x4E2D));  // 中: 2 bytes in GBK
  const QString e(QChar(0xE9));        // é: 1 byte in Windows-1252
  const Row rows[] = {
      {kLanguageSimplifiedChinese, zhong.repeated(kBinaryLongTextCap / 2) + "a", zhong, false},
      {kLanguageEnglish, e.repeated(kBinaryLongTextCap), e, false},
      {kLanguageGerman, QString(kBinaryLongTextCap, QChar('a')), QStringLiteral("aa"), true},
      // Each line break is stored as CR LF: one byte short, a line break
      // is two too many.
      {kLanguageEnglish, QStringLiteral("ab\r\n").repeated(kBinaryLongTextCap / 4) + "ab",
       QStringLiteral("\n"), true},
  };
  const std::string path = Path("long.egf");
  for (const Row& row : rows) {
    for (const int ply : {0, 2}) {
      SCOPED_TRACE(std::to_string(&row - rows) + " ply " + std::to_string(ply));
      Start(row.language);
      CDialog* dialog = ply == 0 ? static_cast<CDialog*>(gameStatusDlg) : commentsDlg;
      const int control = ply == 0 ? kCtlHeaderComment : kCtlCommentText;
      Paste(dialog, control, row.fits);
      EXPECT_TRUE(messages.empty());
      row.paste ? Paste(dialog, control, row.more) : Type(dialog, control, row.more);
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0], TrText(kTextCommentTooLong));
      EXPECT_EQ(dialog->GetDlgItemText(control), row.fits);
      ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
      ResetGameHeaderAndComments();
      ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), 0);
      EXPECT_EQ(CommentString(ply), row.fits);
      messages.clear();
    }
  }
}

// A comment of a file that names no code page (every file written before
// the pages were kept) shows in the interface language's page as before,
// and an egf keeps it that way. The pages are a tag that readers which do
// not know it skip by its length: with its id unknown, the file reads whole.
TEST_F(TypedCommentsTest, CommentsOfUnknownPageShowInTheLanguagesPage) {
  Start(kLanguageGerman);
  SetComment(2, "M\xFCller");
  const std::string path = Path("old.egf");
  ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
  ResetGameHeaderAndComments();
  ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), 0);
  ShowPly(2);
  EXPECT_EQ(moveComments[2].page, kHeaderTextsUnknown);
  ShowIn(kLanguageGerman);
  EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), QString::fromUtf8("Müller"));
  ShowIn(kLanguageSimplifiedChinese);
  EXPECT_EQ(commentsDlg->GetDlgItemText(kCtlCommentText), QString::fromUtf8("M黮ler"));

  ShowIn(kLanguageEnglish);
  Paste(commentsDlg, kCtlCommentText, QString::fromUtf8("好棋"));
  ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Slots 0 to 2, the last one GBK.
  const std::string tag("\x0E\x03\x00\x00\x00\x01", 6);
  const size_t at = bytes.find(tag);
  ASSERT_NE(at, std::string::npos);
  bytes[at] = '\x63';
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  ResetGameHeaderAndComments();
  ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), 0);
  EXPECT_EQ(gameLength, 3);
  // "Müller好棋" in GBK.
  EXPECT_STREQ(moveComments[2].text, "M\xA8\xB9ller\xBA\xC3\xC6\xE5");
  EXPECT_EQ(moveComments[2].page, kHeaderTextsUnknown);
}

}  // namespace
