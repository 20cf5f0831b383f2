// Keyword text games (wxf, axf, ccf, htm) made from the real games of the
// test data and then damaged or written differently: each copy loads as
// the moves before the damage with result 5, or whole with result 0, and
// never as another game. Also the UTF-8 recognition of game texts.
#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "game/text_encoding.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::CurrentFen;
using testing_support::InitEngine;

const std::filesystem::path kGames = std::filesystem::path(VORELK_TESTDATA_DIR) / "games";

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::path(::testing::TempDir()) /
          ("damaged_keyword_" + std::to_string(getpid()) + "_" + name))
      .string();
}

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::vector<Move> GameMoves() {
  std::vector<Move> out;
  for (int ply = 1; ply <= gameLength; ++ply) out.push_back(history[ply].move);
  return out;
}

std::string StartFen() {
  const int32_t shown = gamePly;
  TakeBackAll();
  const std::string fen = CurrentFen();
  for (int32_t i = 0; i < shown; ++i) ReplayOne();
  return fen;
}

// A real game of the test data: its moves and its start position.
struct Source {
  std::vector<Move> moves;
  std::string startFen;
};

Source LoadSource(const char* name) {
  InitEngine();
  EXPECT_EQ(LoadGameFile((kGames / name).c_str(), &currentGameHeader, 0), kLoadOk) << name;
  return {GameMoves(), StartFen()};
}

// The source game from ply firstPly + 1 on (the position after firstPly as
// its start) saved by the program as a file of extension ext; its text.
std::string SavedText(const char* name, int firstPly, const char* ext) {
  LoadSource(name);
  while (gamePly > firstPly) TakeBackOne();
  LoadedGame game;
  game.header = currentGameHeader;
  if (firstPly > 0) {
    game.customStart = true;
    std::memcpy(game.startBoard, board, sizeof board);
    std::memcpy(game.startPieces, posPiece, sizeof posPiece);
    game.startSide = sideToMove;
  }
  for (int ply = firstPly + 1; ply <= gameLength; ++ply)
    game.moves.push_back({history[ply].move, 0, 0, 0});
  EXPECT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
  // A web page is made from the keyword text the program writes.
  const std::string saveExt = std::strcmp(ext, "htm") == 0 ? "wxf" : ext;
  const std::string path = TempPath("saved." + saveExt);
  EXPECT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
  return ReadBytes(path);
}

// The offset of the move text of ply (1 = first) in a keyword text's move
// section: the tokens after "START{" that are no move numbers.
size_t MoveOffset(const std::string& text, int ply) {
  size_t i = text.find("START{");
  EXPECT_NE(i, std::string::npos);
  i += 6;
  int seen = 0;
  for (;;) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    size_t end = i;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    const std::string token = text.substr(i, end - i);
    const bool number = !token.empty() && std::isdigit(static_cast<unsigned char>(token[0])) &&
                        token.back() == '.';
    if (!number && ++seen == ply) return i;
    EXPECT_LT(end, text.size()) << "no ply " << ply;
    if (end >= text.size()) return text.size();
    i = end;
  }
}

size_t TokenEnd(const std::string& text, size_t at) {
  while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

void ReplaceMove(std::string& text, int ply, const std::string& with) {
  const size_t at = MoveOffset(text, ply);
  text.replace(at, TokenEnd(text, at) - at, with);
}

// Every "12. " of the move section written as "12.".
void GlueNumbers(std::string& text) {
  std::string out = text.substr(0, text.find("START{"));
  for (size_t i = out.size(); i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '.' && i > 0 && std::isdigit(static_cast<unsigned char>(text[i - 1])))
      while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
  }
  text = out;
}

// The move lines of a championship record (Chinese notation, GBK, "  1.
// 炮八平五 马２进３"), up to its result line, in a WXF frame.
std::string ChineseWxf(const char* name, const std::string& header = "") {
  std::istringstream pgn(ReadBytes(kGames / name));
  std::string moves, line;
  while (std::getline(pgn, line)) {
    size_t i = line.find_first_not_of(' ');
    if (i == std::string::npos || !std::isdigit(static_cast<unsigned char>(line[i]))) continue;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
    if (i < line.size() && line[i] == '.') moves += line + "\n";  // CR kept
  }
  EXPECT_GT(moves.size(), 100u);
  return "FORMAT  \tWXF\r\n" + header + "START{\r\n" + moves + "}END\r\n";
}

// GBK text as UTF-8.
std::string Utf8(const std::string& gbk) {
  iconv_t cd = iconv_open("UTF-8", "GBK");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(gbk.size() * 2, '\0');
  char* in = const_cast<char*>(gbk.data());
  size_t inLeft = gbk.size();
  char* to = out.data();
  size_t toLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &to, &toLeft), static_cast<size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - toLeft);
  return out;
}

constexpr int kAll = -1;  // every move of the source game

struct DamagedCopy {
  const char* what;
  const char* source;  // file of tests/data/games
  int firstPly;        // the saved game starts after this ply of the source
  const char* ext;     // extension of the saved copy and of the file loaded
  std::function<std::string(std::string)> make;  // from the saved text
  int result;
  int moves;              // moves loaded (kAll: every move of the game)
  const char* redName = nullptr;  // expected red name (GBK); nullptr: not checked
};

const DamagedCopy kCopies[] = {
    {"one damaged byte at move 12 (P3+1 written P3)1)", "master-05.pgn", 0, "wxf",
     [](std::string t) { t[MoveOffset(t, 23) + 2] = ')'; return t; }, kLoadPartial, 22},
    {"an adviser move that cannot be made at ply 19", "master-04.pgn", 0, "axf",
     [](std::string t) { ReplaceMove(t, 19, "A5=4"); return t; }, kLoadPartial, 18},
    {"a move of a piece that is not there (K9+1)", "master-06.pgn", 0, "ccf",
     [](std::string t) { ReplaceMove(t, 7, "K9+1"); return t; }, kLoadPartial, 6},
    {"cut inside the move of ply 31", "master-07.pgn", 0, "wxf",
     [](std::string t) { return t.substr(0, MoveOffset(t, 31) + 3); }, kLoadPartial, 30},
    {"cut inside the end mark", "master-07.pgn", 0, "ccf",
     [](std::string t) { return t.substr(0, t.find("}END") + 2); }, kLoadPartial, kAll},
    {"end mark lost after the last move", "master-07.pgn", 0, "ccf",
     [](std::string t) { return t.substr(0, t.find("}END")); }, kLoadOk, kAll},
    {"a {comment} after the first move pair", "master-08.pgn", 0, "wxf",
     [](std::string t) { t.insert(MoveOffset(t, 3), "{comment} "); return t; }, kLoadPartial, 2},
    {"a (variation) at ply 10", "master-08.pgn", 0, "axf",
     [](std::string t) { t.insert(MoveOffset(t, 10), "(H2+3) "); return t; }, kLoadPartial, 9},
    {"the first move in another notation (H2-E2)", "master-09.pgn", 0, "wxf",
     [](std::string t) { ReplaceMove(t, 1, "H2-E2"); return t; }, kLoadPartial, 0},
    {"a mark the format does not know", "master-09.pgn", 0, "wxf",
     [](std::string t) {
       const size_t at = MoveOffset(t, 5);
       t.insert(TokenEnd(t, at), "?!!");
       return t;
     },
     kLoadPartial, 4},
    {"a comment that is never closed", "master-10.pgn", 0, "wxf",
     [](std::string t) { t.insert(MoveOffset(t, 15), "/* lost "); return t; }, kLoadPartial, 14},
    {"START damaged", "master-10.pgn", 0, "wxf",
     [](std::string t) { t[t.find("START{") + 2] = 'X'; return t; }, kLoadPartial, 0},
    {"move numbers glued to their moves (12.C2.5)", "master-11.pgn", 0, "wxf",
     [](std::string t) { GlueNumbers(t); return t; }, kLoadOk, kAll},
    {"a game from black's first move written 1. ... H8+7", "master-12.pgn", 1, "wxf",
     [](std::string t) {
       t.insert(MoveOffset(t, 1), "... ");
       return t;
     },
     kLoadOk, kAll},
    {"the same written 1...H8+7", "master-12.pgn", 1, "axf",
     [](std::string t) {
       const size_t at = MoveOffset(t, 1);
       t.replace(t.rfind(" 1.", at), at - t.rfind(" 1.", at), " 1...");
       return t;
     },
     kLoadOk, kAll},
    {"Chinese moves (GBK)", "ccgc-01.pgn", 0, "wxf",
     [](std::string) { return ChineseWxf("ccgc-01.pgn"); }, kLoadOk, kAll},
    {"Chinese moves glued to their numbers (1.炮八平五)", "ccgc-02.pgn", 0, "wxf",
     [](std::string) {
       std::string t = ChineseWxf("ccgc-02.pgn");
       GlueNumbers(t);
       return t;
     },
     kLoadOk, kAll},
    {"a piece name the table lacks (车 written 俥) at ply 4", "ccgc-01.pgn", 0, "ccf",
     [](std::string) {
       std::string t = ChineseWxf("ccgc-01.pgn");
       const size_t at = MoveOffset(t, 4);
       EXPECT_EQ(t.substr(at, 2), "\xB3\xB5");  // 车
       t.replace(at, 2, "\x82\x65");            // 俥
       return t;
     },
     kLoadPartial, 3},
    {"a web page whose game lost its end mark", "master-13.pgn", 0, "htm",
     [](std::string t) {
       return "<html><body>\r\n<PRE>\r\n" + t.substr(0, t.find("}END")) + "</PRE>\r\n</body></html>\r\n";
     },
     kLoadPartial, kAll},
    {"UTF-8 with Chinese moves and names", "ccgc-05.pgn", 0, "wxf",
     [](std::string) {
       return Utf8(ChineseWxf("ccgc-05.pgn", "RED     \t\xBA\xEC\xB7\xBD;2450;;\r\n"));
     },
     kLoadOk, kAll, "\xBA\xEC\xB7\xBD"},
    {"UTF-8 with a byte-order mark", "ccgc-06.pgn", 0, "ccf",
     [](std::string) { return "\xEF\xBB\xBF" + Utf8(ChineseWxf("ccgc-06.pgn")); },
     kLoadOk, kAll},
};

void PrintTo(const DamagedCopy& copy, std::ostream* out) { *out << copy.what; }

class DamagedKeywordGamesTest : public ::testing::TestWithParam<DamagedCopy> {};

TEST_P(DamagedKeywordGamesTest, LoadsWhatTheFileHoldsOrSaysItWasReadInPart) {
  const DamagedCopy& copy = GetParam();
  const Source source = LoadSource(copy.source);
  // The start: the source's position after firstPly.
  while (gamePly > copy.firstPly) TakeBackOne();
  const std::string startFen = CurrentFen();
  const std::string text = copy.make(SavedText(copy.source, copy.firstPly, copy.ext));
  const std::string path = WriteTemp(std::string("copy.") + copy.ext, text);

  InitEngine();
  const int result = LoadGameFile(path.c_str(), &currentGameHeader, 0);
  EXPECT_EQ(result, copy.result);
  const std::vector<Move> all(source.moves.begin() + copy.firstPly, source.moves.end());
  const size_t expected = copy.moves == kAll ? all.size() : static_cast<size_t>(copy.moves);
  ASSERT_LE(expected, all.size());
  // Exactly the game's first moves, never other ones.
  EXPECT_EQ(GameMoves(), std::vector<Move>(all.begin(), all.begin() + expected));
  EXPECT_EQ(StartFen(), startFen);
  if (copy.redName != nullptr) {
    EXPECT_STREQ(currentGameHeader.redName, copy.redName);
  }
}

INSTANTIATE_TEST_SUITE_P(Copies, DamagedKeywordGamesTest, ::testing::ValuesIn(kCopies),
                         [](const auto& info) { return "row" + std::to_string(info.index); });

TEST(GameTextEncodingTest, Utf8IsConvertedAndGbkLeftAlone) {
  // 马 in UTF-8 and in GBK.
  std::string text = "RED \xE9\xA9\xAC;;;";
  EXPECT_TRUE(ConvertUtf8TextToGbk(text));
  EXPECT_EQ(text, "RED \xC2\xED;;;");
  text = "\xEF\xBB\xBF" "C2.5 \xF0\x9F\x98\x80";  // a character GBK lacks after the mark
  EXPECT_TRUE(ConvertUtf8TextToGbk(text));
  EXPECT_EQ(text, "C2.5 ?");
  for (std::string same : {std::string("plain ASCII"), std::string("\xC2\xED\xB6\xFE"),
                           std::string("\xE9\xA9")}) {
    EXPECT_FALSE(ConvertUtf8TextToGbk(same));
  }
  // Every GBK game of the test data is read as GBK, byte for byte.
  for (const auto& entry : std::filesystem::directory_iterator(kGames)) {
    std::string bytes = ReadBytes(entry.path());
    const std::string before = bytes;
    EXPECT_FALSE(IsUtf8GameText(bytes)) << entry.path();
    EXPECT_FALSE(ConvertUtf8TextToGbk(bytes));
    EXPECT_EQ(bytes, before);
  }
}

}  // namespace
