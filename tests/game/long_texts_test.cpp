// Long header texts and comments through every format that keeps them
// (vbf keeps none): a text of each code page (Windows-1252, GBK, ASCII) at
// and beyond what a format keeps is either saved and loaded back whole, or
// refused with nothing written and the formats that keep it named. Every
// reader stores a text longer than the program keeps cut, and the load
// says which text was cut and how much of it was kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "game/loaded_texts.h"
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
    ASSERT_TRUE(testing_support::StartGameOf({"h2e2", "h9g7", "h0g2"}));
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

// ---------------------------------------------------------------------------
// Texts longer than the program keeps, read from files of every reader
// ---------------------------------------------------------------------------

std::vector<std::string> logged;
void KeepLogLine(const char* text) { logged.emplace_back(text); }

std::string U16(size_t n) {
  return {static_cast<char>(n & 0xFF), static_cast<char>(n >> 8 & 0xFF)};
}

// Where a text goes: a header field, or a comment slot.
struct Place {
  const char* what;  // as the log line names it
  bool comment;
  HeaderField field;
  int ply;
};
const Place kEvent{"the event", false, kHeaderEvent, 0};
const Place kSite{"the site", false, kHeaderSite, 0};
const Place kDate{"the date", false, kHeaderDate, 0};
const Place kRedName{"the red player's name", false, kHeaderRedName, 0};
const Place kBlackElo{"the black rating", false, kHeaderBlackElo, 0};
const Place kAuthor{"the author", false, kHeaderAuthor, 0};
const Place kTimeControl{"the time control", false, kHeaderTimeControl, 0};
const Place kGameComment{"the game comment", true, kHeaderEvent, 0};
const Place kFirstMoveComment{"the comment on ply 1", true, kHeaderEvent, 1};

class OverLongTextsTest : public LongTextsTest {
 protected:
  void SetUp() override {
    LongTextsTest::SetUp();
    logged.clear();
    logLineSink = KeepLogLine;
  }
  void TearDown() override {
    logLineSink = nullptr;
    LongTextsTest::TearDown();
  }

 public:
  // A binary file (version 7 or 6) of the three moves of NewGame with
  // `count` tag records `tags` and, for version 7, the ply comments `tail`
  // (the comment count first; empty: none).
  std::string Binary(int version, int count, const std::string& tags,
                     const std::string& tail = std::string()) {
    NewGame();
    const std::string base = Path(version == 7 ? "base.egf" : "base.vgf");
    EXPECT_EQ(SaveGameFile(base.c_str(), emptyGameHeader), 0);
    std::ifstream in(base, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Version, tag count, then the empty tags: 13 (32 bytes) or 11 (26).
    std::string rest = bytes.substr(version == 7 ? 34 : 28);
    if (!tail.empty()) rest = rest.substr(0, rest.size() - 2) + tail;
    return std::string(1, static_cast<char>(version)) + static_cast<char>(count) + tags + rest;
  }
};

// The keyword text of the three moves, with `head` before the moves and
// `afterFirst` after the first one.
std::string Keyword(const std::string& head, const std::string& afterFirst = "") {
  return "FORMAT  \tWXF\n" + head + "START{\n 1.  C2.5" + afterFirst + "  H8+7\n 2.  H2+3\n}END\n";
}

std::string Mxq(const std::string& site, const std::string& red) {
  return "\x01" + site + "\x08" + "2006.08.03#xx\xD6\x1B" + red + "-Win--Black\x0A" + "2500\x0A" +
         "2400\x0A" + "Moves 7C-4C 7J-6H 7A-6C End";
}

// Files of every reader with one text given as x.
using Maker = std::function<std::string(OverLongTextsTest&, const std::string&)>;
const Maker egfEvent = [](OverLongTextsTest& t, const std::string& x) {
  return t.Binary(7, 1, std::string("\x01") + static_cast<char>(x.size()) + x);
};
const Maker egfAuthor = [](OverLongTextsTest& t, const std::string& x) {
  return t.Binary(7, 1, "\x0C" + U16(x.size()) + x);
};
const Maker egfComment = [](OverLongTextsTest& t, const std::string& x) {
  return t.Binary(7, 1, "\x0B" + U16(x.size()) + x);
};
const Maker egfMoveComment = [](OverLongTextsTest& t, const std::string& x) {
  return t.Binary(7, 0, "", U16(1) + '\0' + U16(x.size()) + x);
};
const Maker vgfTimeControl = [](OverLongTextsTest& t, const std::string& x) {
  return t.Binary(6, 1, "\x0D" + U16(x.size()) + x);
};
const Maker vgfCommentTwice = [](OverLongTextsTest& t, const std::string& x) {
  const std::string half = x.substr(0, x.size() / 2), rest = x.substr(x.size() / 2 + 2);
  return t.Binary(6, 2, "\x0B" + U16(half.size()) + half + "\x0B" + U16(rest.size()) + rest);
};
const Maker wxfEvent = [](OverLongTextsTest&, const std::string& x) {
  return Keyword("EVENT    \t" + x + "\n");
};
const Maker wxfRed = [](OverLongTextsTest&, const std::string& x) {
  return Keyword("RED     \t" + x + ";;;\n");
};
const Maker wxfBlackElo = [](OverLongTextsTest&, const std::string& x) {
  return Keyword("BLACK   \tB;" + x + "\n");
};
const Maker wxfComment = [](OverLongTextsTest&, const std::string& x) {
  return Keyword("/*" + x + "*/\n");
};
const Maker wxfMoveComment = [](OverLongTextsTest&, const std::string& x) {
  return Keyword("", "\n/*" + x + "*/\n");
};
// Two comments on one move, joined by a line break that counts two bytes.
const Maker wxfMoveCommentTwice = [](OverLongTextsTest&, const std::string& x) {
  return Keyword("",
                 " /*" + x.substr(0, x.size() / 2) + "*/ /*" + x.substr(x.size() / 2 + 2) + "*/");
};
const Maker htmSite = [](OverLongTextsTest&, const std::string& x) {
  return "<html><PRE>\n" + Keyword("PLACE    \t" + x + "\n") + "</PRE></html>\n";
};
const Maker pgnEvent = [](OverLongTextsTest&, const std::string& x) {
  return "[Event \"" + x + "\"]\n[Result \"*\"]\n1. C2.5 H8+7 2. H2+3 *\n";
};
const Maker pgnMoveComment = [](OverLongTextsTest&, const std::string& x) {
  return "[Result \"*\"]\n1. C2.5 /*" + x + "*/ H8+7 2. H2+3 *\n";
};
const Maker xqnRed = [](OverLongTextsTest&, const std::string& x) {
  return "[Red \"" + x + "\"]\n1. h2e2 h9g7\n2. h0g2\n";
};
const Maker xqnDate = [](OverLongTextsTest&, const std::string& x) {
  return "[Date \"" + x + "\"]\n1. h2e2 h9g7\n2. h0g2\n";
};
const Maker mxqSite = [](OverLongTextsTest&, const std::string& x) { return Mxq(x, "R"); };
const Maker mxqRed = [](OverLongTextsTest&, const std::string& x) { return Mxq("S", x); };

// A text at and beyond each limit, in every reader: the game loads (result
// 0) with the text cut on a character boundary, and the load names the
// text, its length and what was kept. Comments given twice for one place
// are counted together.
TEST_F(OverLongTextsTest, TextsBeyondTheLimitsAreCutAndTold) {
  struct Length {
    size_t length, kept;
  };
  const std::vector<Length> header = {{127, 127}, {128, 127}, {200, 127}};
  const std::vector<Length> comment = {{10239, 10239}, {10240, 10239}, {12000, 10239}};
  // Two-byte characters: a cut never keeps half of one.
  const std::vector<Length> headerGbk = {{126, 126}, {128, 126}, {200, 126}};
  const std::vector<Length> commentGbk = {{10238, 10238}, {10240, 10238}};
  const struct Row {
    const char* ext;
    Maker make;
    Place place;
    const char* unit;
    std::vector<Length> lengths;
    bool twice = false;  // two comments: halves of the text, without its middle line break
  } rows[] = {
      {"egf", egfEvent, kEvent, "a", header},
      {"egf", egfEvent, kEvent, "\xD6\xD0", headerGbk},
      {"egf", egfAuthor, kAuthor, "a", {{127, 127}, {300, 127}}},
      {"egf", egfComment, kGameComment, "a", comment},
      {"egf", egfMoveComment, kFirstMoveComment, "\xD6\xD0", commentGbk},
      {"vgf", vgfTimeControl, kTimeControl, "a", {{127, 127}, {300, 127}}},
      {"vgf", vgfCommentTwice, kGameComment, "a", comment, true},
      {"wxf", wxfEvent, kEvent, "a", header},
      {"wxf", wxfRed, kRedName, "\xD6\xD0", headerGbk},
      {"wxf", wxfComment, kGameComment, "a", comment},
      {"wxf", wxfMoveCommentTwice, kFirstMoveComment, "a", comment, true},
      {"ccf", wxfBlackElo, kBlackElo, "1", header},
      {"axf", wxfMoveComment, kFirstMoveComment, "\xD6\xD0", commentGbk},
      {"htm", htmSite, kSite, "a", header},
      {"pgn", pgnEvent, kEvent, "a", header},
      {"pgn", pgnMoveComment, kFirstMoveComment, "a", comment},
      {"xqn", xqnRed, kRedName, "a", header},
      {"xqn", xqnDate, kDate, "\xD6\xD0", headerGbk},
      {"mxq", mxqSite, kSite, "a", header},
      {"mxq", mxqRed, kRedName, "a", {{127, 127}, {200, 127}}},
  };
  for (const Row& row : rows) {
    for (const Length& l : row.lengths) {
      SCOPED_TRACE(std::string(row.ext) + " " + row.place.what + " " + row.unit + " " +
                   std::to_string(l.length));
      std::string text;
      while (text.size() < l.length) text += row.unit;
      if (row.twice) text.replace(text.size() / 2, 2, "\r\n");
      const std::string path = Write(std::string("long.") + row.ext, row.make(*this, text));
      ResetGameHeaderAndComments();
      logged.clear();
      ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), kLoadOk);
      EXPECT_EQ(gameLength, 3);
      const char* stored = row.place.comment ? moveComments[row.place.ply].text
                                             : HeaderFieldText(currentGameHeader, row.place.field);
      ASSERT_NE(stored, nullptr);
      EXPECT_EQ(std::string(stored), text.substr(0, l.kept));
      const std::vector<CutText>& cuts = LastLoadCutTexts();
      if (l.kept == l.length) {
        EXPECT_TRUE(cuts.empty());
        EXPECT_TRUE(logged.empty()) << logged.front();
        continue;
      }
      ASSERT_EQ(cuts.size(), 1u);
      EXPECT_EQ(cuts[0].comment, row.place.comment);
      if (row.place.comment) {
        EXPECT_EQ(cuts[0].ply, row.place.ply);
      } else {
        EXPECT_EQ(cuts[0].field, row.place.field);
      }
      EXPECT_EQ(cuts[0].length, l.length);
      EXPECT_EQ(cuts[0].kept, l.kept);
      ASSERT_EQ(logged.size(), 1u);
      EXPECT_EQ(logged[0], "Loading " + path + ": " + row.place.what + " is " +
                               std::to_string(l.length) + " bytes long, only its first " +
                               std::to_string(l.kept) + " are kept\r\n");
    }
  }
}

// A NUL byte inside a text (a damaged file: a crash may leave a file's end
// filled with zeros) ends the text the program keeps: the rest is not read,
// so the load says the file was read in part, naming the text and how much
// of it was kept, in every reader that keeps texts whole otherwise.
TEST_F(OverLongTextsTest, TextsHoldingANulByteAreReadInPart) {
  const struct {
    const char* ext;
    Maker make;
    Place place;
    std::string text;
  } rows[] = {
      {"egf", egfEvent, kEvent, std::string("Cup\0 2006", 9)},
      {"egf", egfAuthor, kAuthor, std::string("\0\0\0\0", 4)},
      {"egf", egfComment, kGameComment, std::string("good\0\0\0\0\0", 9)},
      {"egf", egfMoveComment, kFirstMoveComment, std::string("\0\0\0\0\0\0", 6)},
      {"vgf", vgfTimeControl, kTimeControl, std::string("40/2h\0", 6)},
      {"wxf", wxfEvent, kEvent, std::string("Cup\0 2006", 9)},
      {"wxf", wxfRed, kRedName, std::string("Wang\0\0", 6)},
      {"wxf", wxfMoveComment, kFirstMoveComment, std::string("good\0move", 9)},
      {"htm", htmSite, kSite, std::string("\0Beijing", 8)},
      {"pgn", pgnEvent, kEvent, std::string("Cup\0 2006", 9)},
      {"pgn", pgnMoveComment, kFirstMoveComment, std::string("a\0b", 3)},
      {"xqn", xqnRed, kRedName, std::string("Wang\0Li", 7)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.ext) + " " + row.place.what);
    const std::string path = Write(std::string("nul.") + row.ext, row.make(*this, row.text));
    ResetGameHeaderAndComments();
    logged.clear();
    ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), kLoadPartial);
    EXPECT_EQ(gameLength, 3);
    const size_t kept = row.text.find('\0');
    const char* stored = row.place.comment ? moveComments[row.place.ply].text
                                           : HeaderFieldText(currentGameHeader, row.place.field);
    EXPECT_EQ(std::string(stored != nullptr ? stored : ""), row.text.substr(0, kept));
    // Not among the texts cut for their length.
    EXPECT_TRUE(LastLoadCutTexts().empty());
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], "Loading " + path + ": " + row.place.what + " holds a NUL byte after " +
                             std::to_string(kept) + " of its " + std::to_string(row.text.size()) +
                             " bytes, the rest of it is not read\r\n");
  }
}

}  // namespace
