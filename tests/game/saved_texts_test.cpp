// Every format the program writes, against texts that are hard to keep:
// line breaks (LF, CR LF, CR), tabs and blanks at either end, ";", quotes,
// "*/", "}END", ratings of every shape, in each header text and in the
// comments; and comments a file gives twice for one place, as loaded. A save
// either loads back with every text the format keeps as it was, or is
// refused before the file is touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/keyword_files.h"
#include "game/load_game.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using Field = char (GameHeader::*)[kHeaderTextSize];

// The ten texts, in the order of the bits of Format::fields.
constexpr Field kFields[] = {
    &GameHeader::event,       &GameHeader::site,     &GameHeader::date,      &GameHeader::round,
    &GameHeader::redName,     &GameHeader::redElo,   &GameHeader::blackName, &GameHeader::author,
    &GameHeader::timeControl, &GameHeader::blackElo,
};
constexpr unsigned kAllTexts = 0x3FF;
constexpr unsigned kKeywordTexts = 1u << 0 | 1u << 2 | 1u << 4 | 1u << 5 | 1u << 6 | 1u << 9;

// What each written format keeps of a game, as the README's table says.
struct Format {
  const char* extension;
  unsigned fields;  // bit i: kFields[i]
  bool result;
  bool gameComment;
  bool moveComments;
  bool keyword;  // comments' line breaks come back as CR LF; the refusals apply
  int marks;     // 2: every mark, 1: the five marks the program shows, 0: none
};
const Format kFormats[] = {
    {"egf", kAllTexts, true, true, true, false, 2},
    {"vgf", kAllTexts & ~(1u << 7 | 1u << 8), true, true, false, false, 0},
    {"vbf", 0, false, false, false, false, 0},
    {"wxf", kKeywordTexts, false, true, true, true, 1},
    {"axf", kKeywordTexts, false, true, true, true, 1},
    {"ccf", kKeywordTexts, false, true, true, true, 1},
    {"txt", 0, false, false, false, false, 0},
};
// The marks of every row's game: "!" on the first move, one the program
// does not know (kept from an egf file) on the third.
constexpr uint8_t kUnknownMark = 7;

class SavedTextsTest;

// A text put into one header field (comment -1), or into comment slot
// `comment` (0 the game comment, 2 the second move's); what keyword files
// answer (0: saved). A row with a file loads it (its extension and bytes)
// instead of typing the text: `text` is then the comment as loaded.
// keywordLoaded: the field as keyword files load it back, when not `text`.
struct Row {
  Field field;
  int comment;
  std::string text;
  int keywordRefusal;
  const char* fileExtension = nullptr;
  std::function<std::string(SavedTextsTest&)> file = nullptr;
  const char* keywordLoaded = nullptr;
};

// An unknown rating: kept as written where every text is, saved as none
// by the keyword files.
Row UnknownRating(Field field, const char* text) {
  Row row{field, -1, text, 0};
  row.keywordLoaded = "";
  return row;
}

constexpr int kOneLine = kSaveTextsNotOneLine;
constexpr int kRating = kSaveRatingsNotKept;

// The three moves of every row's game, in a keyword text file with `head`
// before them and `afterSecond` after the second one.
std::string KeywordGame(const std::string& head, const std::string& afterSecond = "") {
  return "FORMAT  \tWXF\n" + head + "START{\n 1.  C2.5  H8+7" + afterSecond + "\n 2.  H2+3\n}END\n";
}

// Two comments of 5,200 and 5,037 bytes, 10,239 with the line break that
// joins them: all a comment keeps. Given as 5,200 and 5,100 they are cut.
const std::string kLongA(5200, 'a');
const std::string kLongB(5037, 'b');

std::string BinaryGame(SavedTextsTest& test, int version, const std::string& tags, int count);

const std::vector<Row> kRows = {
    // Line breaks in the one-line texts the keyword files write, and in
    // those they do not write at all.
    {&GameHeader::event, -1, "Line1\r\nLine2", kOneLine},
    {&GameHeader::event, -1, "Line1\nLine2", kOneLine},
    {&GameHeader::event, -1, "Line1\rLine2", kOneLine},
    {&GameHeader::blackName, -1, "X\nFEN  \t\t4k4/9/9/9/9/9/9/9/9/4K4 w", kOneLine},
    {&GameHeader::redName, -1, "Wang\r\n", kOneLine},
    {&GameHeader::date, -1, "2024-01-02\r", kOneLine},
    {&GameHeader::redElo, -1, "2400\n", kRating},
    {&GameHeader::site, -1, "Line1\r\nLine2", 0},
    {&GameHeader::round, -1, "3\r", 0},
    {&GameHeader::author, -1, "a\nb", 0},
    {&GameHeader::timeControl, -1, "40/2h\r\n", 0},
    // Blanks and tabs at either end, and inside.
    {&GameHeader::event, -1, " Cup", kOneLine},
    {&GameHeader::date, -1, "\t2024", kOneLine},
    {&GameHeader::redName, -1, "\tWang", kOneLine},
    {&GameHeader::redName, -1, "  Wang", 0},
    {&GameHeader::blackName, -1, " \tLi", 0},
    {&GameHeader::blackName, -1, "Li \t", 0},
    {&GameHeader::event, -1, "Cup\t2024 ", 0},
    {&GameHeader::date, -1, "2024 \t", 0},
    // Separators and marks of the files.
    {&GameHeader::event, -1, "\"Open\" */ }END /*", 0},
    {&GameHeader::redName, -1, "a;b;;", 0},
    {&GameHeader::blackName, -1, "}END", 0},
    {&GameHeader::date, -1, "START{", 0},
    // Ratings: plain whole numbers are kept, the marks of an unknown rating
    // and blanks are saved as none, anything else is refused.
    UnknownRating(&GameHeader::redElo, "?"),
    UnknownRating(&GameHeader::blackElo, "?"),
    UnknownRating(&GameHeader::redElo, "-"),
    UnknownRating(&GameHeader::blackElo, "-"),
    UnknownRating(&GameHeader::redElo, ""),
    UnknownRating(&GameHeader::blackElo, ""),
    UnknownRating(&GameHeader::redElo, "   "),
    UnknownRating(&GameHeader::blackElo, " "),
    {&GameHeader::redElo, -1, "2400", 0},
    {&GameHeader::redElo, -1, "0", 0},
    {&GameHeader::redElo, -1, "-5", 0},
    {&GameHeader::blackElo, -1, "0", 0},
    {&GameHeader::blackElo, -1, "2147483647", 0},
    {&GameHeader::redElo, -1, "2400 (est)", kRating},
    {&GameHeader::blackElo, -1, "2400 (est)", kRating},
    {&GameHeader::redElo, -1, "??", kRating},
    {&GameHeader::blackElo, -1, "--", kRating},
    {&GameHeader::redElo, -1, " ?", kRating},
    {&GameHeader::blackElo, -1, "\t", kRating},
    {&GameHeader::redElo, -1, "abc", kRating},
    {&GameHeader::blackElo, -1, "24;00", kRating},
    {&GameHeader::blackElo, -1, "+5", kRating},
    {&GameHeader::redElo, -1, " 5", kRating},
    {&GameHeader::redElo, -1, "5 ", kRating},
    {&GameHeader::blackElo, -1, "05", kRating},
    {&GameHeader::blackElo, -1, "-0", kRating},
    {&GameHeader::redElo, -1, "2147483648", kRating},
    // Comments: line breaks of every kind, the end marks, what looks like
    // two comments in one place, and lines that look like keywords.
    {nullptr, 0, "one\rtwo\nthree\r\nfour", 0},
    {nullptr, 2, "one\rtwo\nthree\r\nfour", 0},
    {nullptr, 0, "first*/ /*second", 0},
    {nullptr, 2, "first*/ /*second", 0},
    {nullptr, 2, "\"quoted\" }END\nFORMAT  \tWXF\nSTART{", 0},
    {nullptr, 2, "\t tab and blank \t", 0},
    {nullptr, 0, "*/", 0},
    // Comments a file gives twice for one place, loaded joined by a line
    // break: a game comment twice before START, two comments on one move,
    // two game comment records of the binary files; together at the limit
    // of a comment, and beyond it (kept cut).
    {nullptr, 0, "one\r\ntwo", 0, "wxf",
     [](SavedTextsTest&) { return KeywordGame("/*one*/\n/*two*/\n"); }},
    {nullptr, 0, "one\r\ntwo\r\nthree", 0, "ccf",
     [](SavedTextsTest&) { return KeywordGame("/*one\ntwo*/ /*three*/\n"); }},
    {nullptr, 2, "one\r\ntwo", 0, "axf",
     [](SavedTextsTest&) { return KeywordGame("", " /*one*/\n/*two*/"); }},
    {nullptr, 2, "first*/\r\n/*second", 0, "pgn",
     [](SavedTextsTest&) {
       return std::string("[Result \"1-0\"]\n1. C2.5 H8+7 /*first*\\/*/ /*/*second*/ 2. H2+3 *\n");
     }},
    {nullptr, 0, "one\r\ntwo", 0, "egf",
     [](SavedTextsTest& t) {
       return BinaryGame(t, 7, std::string("\x0B\x03\x00one\x0B\x03\x00two", 12), 2);
     }},
    {nullptr, 0, "one\r\ntwo", 0, "vgf",
     [](SavedTextsTest& t) {
       return BinaryGame(t, 6, std::string("\x0B\x03\x00one\x0B\x03\x00two", 12), 2);
     }},
    {nullptr, 0, kLongA + "\r\n" + kLongB, 0, "wxf",
     [](SavedTextsTest&) { return KeywordGame("/*" + kLongA + "*/\n/*" + kLongB + "*/\n"); }},
    {nullptr, 2, kLongA + "\r\n" + kLongB, 0, "wxf",
     [](SavedTextsTest&) { return KeywordGame("", " /*" + kLongA + "*/ /*" + kLongB + "c*/"); }},
    {nullptr, 0, (kLongA + "\r\n" + kLongB).substr(0, 10239), 0, "wxf",
     [](SavedTextsTest&) {
       return KeywordGame("/*" + kLongA + "*/\n/*" + kLongB + std::string(63, 'b') + "*/\n");
     }},
    {nullptr, 0, (kLongA + "\r\n" + kLongB).substr(0, 10239), 0, "egf",
     [](SavedTextsTest& t) {
       const std::string b = kLongB + std::string(63, 'b');
       return BinaryGame(t, 7,
                         std::string("\x0B\x50\x14", 3) + kLongA + "\x0B" +
                             static_cast<char>(b.size() & 0xFF) + static_cast<char>(b.size() >> 8) +
                             b,
                         2);
     }},
};

// Line breaks as the keyword files give them back: CR LF.
std::string CrLfLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string CommentOf(int ply) {
  return moveComments[ply].text != nullptr ? moveComments[ply].text : "<none>";
}

class SavedTextsTest : public testing_support::ScratchFolderTest {
 public:
  SavedTextsTest() : ScratchFolderTest("saved_texts") {}

  // The current game saved as a binary file of `version`, its empty tags
  // replaced by `count` tags `tags`.
  std::string Binary(int version, const std::string& tags, int count) {
    const std::string base = Path(version == 7 ? "base.egf" : "base.vgf");
    EXPECT_EQ(SaveGameFile(base.c_str(), emptyGameHeader), 0);
    // Version, tag count, then the empty tags: 13 (32 bytes) or 11 (26).
    return std::string(1, static_cast<char>(version)) + static_cast<char>(count) + tags +
           FileText(base).substr(version == 7 ? 34 : 28);
  }

  std::string FileText(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

std::string BinaryGame(SavedTextsTest& test, int version, const std::string& tags, int count) {
  return test.Binary(version, tags, count);
}

TEST_F(SavedTextsTest, EveryFormatLoadsTextsBackAsTheyWereOrRefusesTheSave) {
  for (const Row& row : kRows) {
    for (const Format& format : kFormats) {
      SCOPED_TRACE(std::string(format.extension) + " comment " + std::to_string(row.comment) +
                   " \"" + row.text.substr(0, 60) + "\"" +
                   (row.file ? std::string(" loaded from ") + row.fileExtension : ""));
      // A game of three moves from the standard start, a result, and the
      // text under test.
      ASSERT_TRUE(testing_support::StartGameOf({"h2e2", "h9g7", "h0g2"}));
      GameHeader header = emptyGameHeader;
      if (row.file) {
        const std::string source =
            Write(std::string("source.") + row.fileExtension, row.file(*this));
        ASSERT_TRUE(GameWasLoaded(LoadGameFile(source.c_str(), &currentGameHeader, 0)));
        ASSERT_EQ(CommentOf(row.comment), row.text);
        ASSERT_EQ(gameLength, 3);
        header = currentGameHeader;
      }
      header.result = kResultRedWins;
      if (row.field != nullptr) SetHeaderText(header.*row.field, row.text.c_str());
      if (row.comment >= 0 && !row.file) SetComment(row.comment, row.text.c_str());
      SetAnnotation(1, kMarkGood);
      SetAnnotation(3, kUnknownMark);

      const std::string path = Path(std::string("texts.") + format.extension);
      std::ofstream(path, std::ios::binary) << "old";
      const int saved = SaveGameFile(path.c_str(), header);
      EXPECT_EQ(saved, format.keyword ? row.keywordRefusal : 0);
      if (saved != 0) {
        EXPECT_EQ(FileText(path), "old");
        EXPECT_STREQ(TextKeepingGameFileExtensions(), "egf, vgf");
        // The refusal of a rating names it, for the message.
        const RatingNotKept named = row.field == &GameHeader::redElo     ? RatingNotKept::kRed
                                    : row.field == &GameHeader::blackElo ? RatingNotKept::kBlack
                                                                         : RatingNotKept::kNone;
        EXPECT_EQ(KeywordRatingNotKept(header), saved == kRating ? named : RatingNotKept::kNone);
        continue;
      }

      ResetGameHeaderAndComments();
      const int loaded = LoadGameFile(path.c_str(), &currentGameHeader, 0);
      EXPECT_EQ(loaded, kLoadOk);
      EXPECT_EQ(gameLength, 3);
      if (!GameWasLoaded(loaded)) continue;
      for (size_t i = 0; i < std::size(kFields); ++i) {
        const bool kept = (format.fields >> i & 1u) != 0;
        std::string expected = kept ? header.*kFields[i] : "";
        if (format.keyword && row.keywordLoaded != nullptr && row.field == kFields[i])
          expected = row.keywordLoaded;
        EXPECT_EQ(std::string(currentGameHeader.*kFields[i]), expected) << "field " << i;
      }
      EXPECT_EQ(currentGameHeader.result, format.result ? kResultRedWins : kResultUnknown);
      EXPECT_EQ(moveComments[1].annotation, format.marks >= 1 ? kMarkGood : kMarkNone);
      EXPECT_EQ(moveComments[3].annotation, format.marks == 2 ? kUnknownMark : uint8_t{kMarkNone});
      if (row.comment < 0) continue;
      const bool kept = row.comment == 0 ? format.gameComment : format.moveComments;
      const std::string expected = format.keyword ? CrLfLines(row.text) : row.text;
      EXPECT_EQ(CommentOf(row.comment), kept ? expected : "<none>");
    }
  }
}

}  // namespace
