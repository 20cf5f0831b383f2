// The comment store: slots, buffer growth, clearing and annotation marks;
// and comments a file holds for one place, which are all kept.
#include "game/comments.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

// Runs first, while no comment was ever stored.
TEST(CommentStoreTest, MarksAreClearedBeforeAnyComment) {
  ASSERT_EQ(hasComments, 0);
  SetAnnotation(7, kMarkGood);
  SetAnnotation(0, kMarkBlunder);
  currentGameHeader.hasInfo = 1;
  ResetGameHeaderAndComments();
  EXPECT_EQ(moveComments[7].annotation, kMarkNone);
  EXPECT_EQ(moveComments[0].annotation, kMarkNone);
  EXPECT_EQ(currentGameHeader.hasInfo, 0);
  EXPECT_EQ(hasComments, 0);
}

TEST(CommentStoreTest, SlotsOutsideTheStoreAreIgnored) {
  const int32_t before = hasComments;
  SetComment(1230, "x");
  SetComment(-1, "x");
  SetComment(5000, "x");
  EXPECT_EQ(hasComments, before);
  SetAnnotation(1230, kMarkGood);
  SetAnnotation(-5, kMarkGood);

  SetComment(1229, "last slot");
  SetComment(0, "game comment");
  ClearComment(1230);
  ClearComment(-2);
  EXPECT_STREQ(moveComments[1229].text, "last slot");
  EXPECT_STREQ(moveComments[0].text, "game comment");
  EXPECT_EQ(hasComments, 1);
  ClearComment(-1);
}

TEST(CommentStoreTest, BuffersGrowInSteps) {
  const std::string c1023(1023, 'a');
  const std::string c1024(1024, 'b');
  SetComment(12, c1023.c_str());
  EXPECT_EQ(moveComments[12].capacity, 1025u);
  EXPECT_EQ(std::string(moveComments[12].text), c1023);
  SetComment(12, c1024.c_str());
  EXPECT_EQ(moveComments[12].capacity, 2049u);
  EXPECT_EQ(std::string(moveComments[12].text), c1024);
  SetComment(12, "short");
  EXPECT_EQ(moveComments[12].capacity, 2049u);
  EXPECT_STREQ(moveComments[12].text, "short");
  SetComment(13, "");
  EXPECT_EQ(moveComments[13].capacity, 1025u);
  EXPECT_STREQ(moveComments[13].text, "");
  const std::string huge(5000, 'c');
  SetComment(13, huge.c_str());
  EXPECT_EQ(moveComments[13].capacity, 5121u);
  EXPECT_EQ(std::string(moveComments[13].text), huge);
  ClearComment(-1);
}

TEST(CommentStoreTest, SettingACommentKeepsTheMark) {
  SetAnnotation(3, kMarkMistake);
  SetComment(3, "dubious");
  EXPECT_EQ(moveComments[3].annotation, kMarkMistake);
  ClearComment(-1);
}

TEST(CommentStoreTest, ClearingOneSlotLeavesTheOthers) {
  SetComment(1, "one");
  SetAnnotation(1, kMarkGood);
  SetComment(2, "two");
  SetAnnotation(2, kMarkBrilliant);
  SetComment(3, "three");
  ClearComment(2);
  EXPECT_EQ(moveComments[2].text, nullptr);
  EXPECT_EQ(moveComments[2].capacity, 0u);
  EXPECT_EQ(moveComments[2].annotation, kMarkNone);
  EXPECT_STREQ(moveComments[1].text, "one");
  EXPECT_EQ(moveComments[1].annotation, kMarkGood);
  EXPECT_STREQ(moveComments[3].text, "three");
  // A cleared slot takes a new comment.
  SetComment(2, "again");
  EXPECT_STREQ(moveComments[2].text, "again");
  ClearComment(-1);
}

TEST(CommentStoreTest, ClearingEverythingEmptiesEverySlot) {
  SetComment(0, "game");
  SetComment(600, "middle");
  SetAnnotation(600, kMarkEven);
  SetComment(1229, "end");
  ClearComment(-1);
  for (int i = 0; i < kCommentSlots; ++i) {
    ASSERT_EQ(moveComments[i].text, nullptr) << i;
    ASSERT_EQ(moveComments[i].capacity, 0u) << i;
    ASSERT_EQ(moveComments[i].annotation, 0) << i;
  }
  EXPECT_EQ(hasComments, 1);  // never reset
}

TEST(CommentStoreTest, ResetClearsHeaderAndComments) {
  SetHeaderText(currentGameHeader.event, "Cup");
  currentGameHeader.result = kResultRedWins;
  SetComment(0, "about the game");
  SetComment(9, "a move");
  SetAnnotation(9, kMarkGood);
  ResetGameHeaderAndComments();
  EXPECT_EQ(std::memcmp(&currentGameHeader, &emptyGameHeader, sizeof(GameHeader)), 0);
  EXPECT_EQ(moveComments[0].text, nullptr);
  EXPECT_EQ(moveComments[9].text, nullptr);
  EXPECT_EQ(moveComments[9].annotation, 0);

  SetComment(4, "x");
  ClearCommentStore();
  EXPECT_EQ(moveComments[4].text, nullptr);
}

TEST(CommentStoreTest, AnnotationMarks) {
  char text[32] = "C2.5";
  AppendAnnotationMark(text, kMarkBrilliant);
  EXPECT_STREQ(text, "C2.5!!");
  std::strcpy(text, "C2.5");
  AppendAnnotationMark(text, 6);
  EXPECT_STREQ(text, "C2.5");
  AppendAnnotationMark(text, 0);
  EXPECT_STREQ(text, "C2.5");
  AppendAnnotationMark(text, -1);
  EXPECT_STREQ(text, "C2.5");
  const char* expected[6] = {"", "??", "?", "=", "!", "!!"};
  for (int code = 1; code <= 5; ++code) {
    std::strcpy(text, "R1+3");
    AppendAnnotationMark(text, code);
    EXPECT_EQ(std::string(text), std::string("R1+3") + expected[code]);
    EXPECT_STREQ(AnnotationMarkText(code), expected[code]);
  }
}

// ---------------------------------------------------------------------------
// Comments a file holds for one place
// ---------------------------------------------------------------------------

class RepeatedCommentsTest : public testing_support::ScratchFolderTest {
 protected:
  RepeatedCommentsTest() : ScratchFolderTest("repeated_comments") {}

  // A binary game file (version 7 or 6) of h2e2 h9g7 whose tags are two
  // game comments.
  std::string TwoGameComments(int version, const std::string& a, const std::string& b) {
    testing_support::InitEngine();
    ResetGameHeaderAndComments();
    LoadedGame game;
    for (const char* m : {"h2e2", "h9g7"})
      game.moves.push_back({testing_support::MoveFromText(m), 0, 0, 0});
    EXPECT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
    const std::string base = Path(version == 7 ? "base.egf" : "base.vgf");
    EXPECT_EQ(SaveGameFile(base.c_str(), emptyGameHeader), 0);
    std::ifstream in(base, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Version, tag count and the empty tags: 13 (32 bytes) or 11 (26).
    std::string out(1, static_cast<char>(version));
    out += '\x02';
    for (const std::string& text : {a, b})
      out += std::string("\x0B") + static_cast<char>(text.size()) + '\0' + text;
    return out + bytes.substr(version == 7 ? 34 : 28);
  }

  static std::string Comment(int ply) {
    return moveComments[ply].text != nullptr ? moveComments[ply].text : "(none)";
  }
};

// Two or more comments before the moves, or after one move, are kept in
// their order, joined by a line break (CR LF, as the keyword files read a
// comment's line breaks); an empty one adds nothing. Saved and loaded back
// (in the format itself, or in wxf for the formats that are only read),
// the joined comment stays.
TEST_F(RepeatedCommentsTest, EveryCommentOfOnePlaceIsKept) {
  const std::string moves = "START{\n 1.  C2.5 /*c*/ /*d*/  H8+7\n}END\n";
  const struct {
    const char* name;
    std::string file;
    const char* savedAs;
    const char* gameComment;
    const char* firstMove;  // the comment after h2e2
  } rows[] = {
      {"two.wxf", "FORMAT  \tWXF\n/*a*/\n/*b*/\n" + moves, "wxf", "a\r\nb", "c\r\nd"},
      {"lines.ccf", "FORMAT  \tWXF\n/*a\nb*/\n/*x*/ /*y*/\n" + moves, "ccf", "a\r\nb\r\nx\r\ny",
       "c\r\nd"},
      {"empty.axf", "FORMAT  \tAXF\n/**/\n/*b*/\n/**/\n" + moves, "axf", "b", "c\r\nd"},
      {"page.htm", "<PRE>\nFORMAT  \tWXF\n/*a*/ /*b*/\n" + moves + "</PRE>\n", "wxf", "a\r\nb",
       "c\r\nd"},
      {"tags.pgn", "[Event \"E\"]\n[Result \"*\"]\n/*a*/ /*b*/ 1. C2.5 /*c*/\n/*d*/ H8+7 *\n",
       "wxf", "a\r\nb", "c\r\nd"},
      {"three.pgn", "[Result \"*\"]\n1. C2.5 /*c*/ /**/ /*d*/ /*e*/ H8+7 *\n", "wxf", "(none)",
       "c\r\nd\r\ne"},
      {"two.egf", TwoGameComments(7, "a", "b"), "egf", "a\r\nb", "(none)"},
      {"two.vgf", TwoGameComments(6, "a\r\nb", "c"), "vgf", "a\r\nb\r\nc", "(none)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Write(row.name, row.file);
    ResetGameHeaderAndComments();
    ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), kLoadOk);
    ASSERT_EQ(gameLength, 2);
    EXPECT_EQ(Comment(0), row.gameComment);
    EXPECT_EQ(Comment(1), row.firstMove);
    EXPECT_TRUE(LastLoadCutTexts().empty());
    const std::string saved = Path(std::string("saved.") + row.savedAs);
    ASSERT_EQ(SaveGameFile(saved.c_str(), currentGameHeader), 0);
    ResetGameHeaderAndComments();
    ASSERT_EQ(LoadGameFile(saved.c_str(), &currentGameHeader, 0), kLoadOk);
    EXPECT_EQ(Comment(0), row.gameComment);
    EXPECT_EQ(Comment(1), row.firstMove);
  }
}

}  // namespace
