// Long header texts and comments through every format that keeps them
// (vbf keeps none): a text of each code page (Windows-1252, GBK, ASCII) at
// and beyond what a format keeps is either saved and loaded back whole, or
// refused with nothing written and the formats that keep it named.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/position/position.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

// One piece of text repeated: its bytes in its page, the bytes a keyword
// file loads back (GBK, line breaks as CR LF).
struct Unit {
  const char* name;
  uint8_t page;
  const char* bytes;
  const char* keywordBytes;
};
const Unit kLatinE{"e-acute", kHeaderTextsLatin, "\xE9", "\xA8\xA6"};   // é: 2 bytes in GBK
const Unit kChinese{"zhong", kHeaderTextsGbk, "\xD6\xD0", "\xD6\xD0"};  // 中
const Unit kAscii{"ascii", kHeaderTextsUnknown, "a", "a"};
// Written "*\/": three bytes in the file.
const Unit kEndMark{"end-mark", kHeaderTextsUnknown, "*/", "*/"};
// Six bytes in the file as the reader gathers them: the LF is read as CR LF.
const Unit kCrLfLine{"crlf-line", kHeaderTextsUnknown, "line\r\n", "line\r\n"};
const Unit kLfLine{"lf-line", kHeaderTextsUnknown, "line\n", "line\r\n"};

struct Row {
  const Unit* unit;
  int count;
  bool keywordKeeps;  // else wxf, axf and ccf refuse the save
};

struct Format {
  const char* extension;
  bool keyword;
  bool moveComments;
};
const Format kFormats[] = {
    {"egf", false, true}, {"vgf", false, false}, {"wxf", true, true},
    {"axf", true, true},  {"ccf", true, true},
};

std::string Repeated(const char* bytes, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += bytes;
  return out;
}

class LongTextsTest : public testing_support::ScratchFolderTest {
 protected:
  LongTextsTest() : ScratchFolderTest("long_texts") {}

  // A new game of three moves with an empty header and no comment.
  static void NewGame() {
    testing_support::InitEngine();
    ResetGameHeaderAndComments();
    LoadedGame game;
    for (const char* m : {"h2e2", "h9g7", "h0g2"})
      game.moves.push_back({testing_support::MoveFromText(m), 0, 0, 0});
    ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
  }

  // Saves the current game with `header` as `format`; true when it was
  // written and loaded back, false when refused with `refusal` and nothing
  // written.
  bool SaveAndLoad(const Format& format, const GameHeader& header, bool kept, int refusal) {
    const std::string path = Path(std::string("long.") + format.extension);
    std::filesystem::remove(path);
    const int saved = SaveGameFile(path.c_str(), header);
    if (!kept) {
      EXPECT_EQ(saved, refusal);
      EXPECT_FALSE(std::filesystem::exists(path));
      return false;
    }
    EXPECT_EQ(saved, 0);
    ResetGameHeaderAndComments();
    EXPECT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), kLoadOk);
    EXPECT_EQ(gameLength, 3);
    return saved == 0;
  }
};

// The event field holds 127 bytes; keyword files hold it in GBK.
TEST_F(LongTextsTest, HeaderTextsAreSavedWholeOrRefused) {
  const Row rows[] = {
      {&kLatinE, 63, true},   {&kLatinE, 64, false}, {&kLatinE, 100, false},
      {&kLatinE, 127, false}, {&kChinese, 63, true}, {&kAscii, 127, true},
  };
  for (const Row& row : rows) {
    const std::string text = Repeated(row.unit->bytes, row.count);
    for (const Format& format : kFormats) {
      SCOPED_TRACE(std::string(row.unit->name) + " x" + std::to_string(row.count) + " ." +
                   format.extension);
      NewGame();
      GameHeader header = emptyGameHeader;
      header.textPage = row.unit->page;
      SetHeaderText(header.event, text.c_str());
      SetHeaderText(header.redName, "Red");
      const bool kept = !format.keyword || row.keywordKeeps;
      if (!SaveAndLoad(format, header, kept, kSaveTextsTooLong)) {
        if (!kept) {
          EXPECT_STREQ(TextKeepingGameFileExtensions(), "egf, vgf");
        }
        continue;
      }
      const std::string expected =
          format.keyword ? Repeated(row.unit->keywordBytes, row.count) : text;
      EXPECT_EQ(std::string(currentGameHeader.event), expected);
      EXPECT_STREQ(currentGameHeader.redName, "Red");
      EXPECT_EQ(currentGameHeader.textPage,
                format.keyword ? uint8_t{kHeaderTextsGbk} : row.unit->page);
    }
  }
}

// The binary files keep 10,239 bytes of a comment; keyword files as many
// as their reader gathers: in GBK, with its escapes and each line break
// as CR LF. vgf keeps the game comment only.
TEST_F(LongTextsTest, CommentsAreSavedWholeOrRefused) {
  const Row rows[] = {
      {&kLatinE, 5119, true},   {&kLatinE, 5120, false},  {&kLatinE, 6000, false},
      {&kChinese, 5119, true},  {&kAscii, 10239, true},   {&kEndMark, 3413, true},
      {&kEndMark, 3414, false}, {&kCrLfLine, 1706, true}, {&kLfLine, 1706, true},
      {&kLfLine, 1707, false},
  };
  for (const Row& row : rows) {
    const std::string text = Repeated(row.unit->bytes, row.count);
    for (const Format& format : kFormats) {
      for (const int ply : {0, 2}) {
        SCOPED_TRACE(std::string(row.unit->name) + " x" + std::to_string(row.count) + " ." +
                     format.extension + " ply " + std::to_string(ply));
        NewGame();
        SetComment(ply, text.c_str(), row.unit->page);
        SetComment(ply == 0 ? 1 : 0, "short");
        const bool kept = !format.keyword || row.keywordKeeps;
        if (!SaveAndLoad(format, emptyGameHeader, kept, kSaveCommentsTooLong)) {
          // vgf keeps no move comment.
          if (!kept) {
            EXPECT_STREQ(CommentKeepingGameFileExtensions(), ply == 0 ? "egf, vgf" : "egf");
          }
          continue;
        }
        if (ply != 0 && !format.moveComments) {
          EXPECT_EQ(moveComments[ply].text, nullptr);
          continue;
        }
        const std::string expected =
            format.keyword ? Repeated(row.unit->keywordBytes, row.count) : text;
        ASSERT_NE(moveComments[ply].text, nullptr);
        EXPECT_EQ(std::string(moveComments[ply].text), expected);
        EXPECT_EQ(moveComments[ply].page,
                  format.keyword ? uint8_t{kHeaderTextsGbk} : row.unit->page);
      }
    }
  }
}

}  // namespace
