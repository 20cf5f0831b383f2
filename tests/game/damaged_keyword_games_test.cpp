// Keyword text games (wxf, axf, ccf, htm) made from the real games of the
// test data and then damaged (a byte, a "/" that begins no comment, a cut
// between moves, a result among the moves, a second game, a FEN line that
// is no FEN) or written differently: each copy loads as the moves before
// the damage with result 5 and the reason logged, or whole with result 0,
// and never as another game; a start position that cannot be read leaves
// the game as it was. Also the UTF-8 recognition of game texts.
#include <gtest/gtest.h>
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
#include "tests/support/recode.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::CurrentFen;
using testing_support::InitEngine;
using testing_support::LogCapture;

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

// The offset of the move number written before the move of ply (a red
// move of a game from the standard start).
size_t NumberOffset(const std::string& text, int ply) {
  const size_t at = MoveOffset(text, ply);
  size_t i = at;
  while (i > 0 && text[i - 1] == ' ') --i;
  while (i > 0 && (text[i - 1] == '.' || std::isdigit(static_cast<unsigned char>(text[i - 1])))) --i;
  EXPECT_TRUE(i < at && std::isspace(static_cast<unsigned char>(text[i - 1])))
      << "no move number before ply " << ply;
  return i;
}

// A comment put on the line after the move of ply.
void CommentAfter(std::string& text, int ply, const std::string& comment) {
  text.insert(TokenEnd(text, MoveOffset(text, ply)), "\n/*" + comment + "*/\n");
}

// A comment after the last move, just before the end mark: a "/" read as
// the start of a comment would run to its end and lose every move between.
void CommentOnLastMove(std::string& text) { text.insert(text.find("}END"), "/*good move*/\n"); }

void ReplaceMove(std::string& text, int ply, const std::string& with) {
  const size_t at = MoveOffset(text, ply);
  text.replace(at, TokenEnd(text, at) - at, with);
}

// text inserted right after the move of ply.
void InsertAfter(std::string& text, int ply, const std::string& what) {
  text.insert(TokenEnd(text, MoveOffset(text, ply)), what);
}

// The game's end mark replaced by what.
std::string EndReplaced(std::string text, const std::string& what) {
  return text.replace(text.find("}END"), 4, what);
}

// The FEN of the "FEN" line made by edit, the line's keyword replaced by
// keyword.
std::string FenEdited(std::string text, const std::function<void(std::string&)>& edit,
                      const std::string& keyword = "FEN") {
  const size_t line = text.find("\nFEN") + 1;
  EXPECT_NE(line, 0u);
  const size_t fen = text.find_first_not_of(" \t", line + 3);
  const size_t end = text.find('\n', fen);
  std::string value = text.substr(fen, end - fen);
  edit(value);
  return text.substr(0, line) + keyword + "\t" + value + text.substr(end);
}

// Rank index (0 = the top rank written) of a FEN replaced by rank.
void SetRank(std::string& fen, int index, const std::string& rank) {
  size_t at = 0;
  for (int i = 0; i < index; ++i) at = fen.find('/', at) + 1;
  fen.replace(at, fen.find_first_of("/ ", at) - at, rank);
}
void DropSide(std::string& fen) { fen.erase(fen.find(' ')); }

// The line that holds the move of ply removed, or given twice.
std::string LineOfPly(const std::string& text, int ply, bool twice) {
  const size_t at = MoveOffset(text, ply);
  const size_t begin = text.rfind('\n', at) + 1, end = text.find('\n', at) + 1;
  const std::string line = text.substr(begin, end - begin);
  return text.substr(0, begin) + (twice ? line + line : "") + text.substr(end);
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

// The move section with a number for every ply, from 1, one line each
// ("1. C2.5", "2. H8+7"); the ply `twice` (0: none) has the number of the
// ply before it.
std::string PerPlyNumbers(const std::string& text, int twice = 0) {
  const size_t start = text.find("START{") + 6, end = text.find("}END");
  std::istringstream tokens(text.substr(start, end - start));
  std::string out = text.substr(0, start) + "\n";
  int ply = 0;
  for (std::string token; tokens >> token;) {
    if (std::isdigit(static_cast<unsigned char>(token[0])) && token.back() == '.') continue;
    ++ply;
    out += std::to_string(ply == twice ? ply - 1 : ply) + ". " + token + "\n";
  }
  return out + text.substr(end);
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
std::string Utf8(const std::string& gbk) { return testing_support::Utf8FromGbk(gbk); }

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
  // Text of the log line that tells why a file was not read whole; nullptr:
  // none expected (a file read whole logs nothing).
  const char* message = nullptr;
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
     [](std::string t) { return t.substr(0, t.find("}END")); }, kLoadPartial, kAll},
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
    {"the first move written ... (a game from black's first move, its FEN line lost)",
     "master-12.pgn", 0, "wxf",
     [](std::string t) { ReplaceMove(t, 1, "..."); return t; }, kLoadPartial, 0, nullptr,
     "move 1: a move not written before the first one"},
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
    {"a move number written 2/, a comment on the last move", "master-05.pgn", 0, "wxf",
     [](std::string t) {
       CommentOnLastMove(t);
       t[NumberOffset(t, 3) + 1] = '/';
       return t;
     },
     kLoadPartial, 2},
    {"a lone / between two moves, a comment on the last move", "master-05.pgn", 0, "axf",
     [](std::string t) {
       CommentOnLastMove(t);
       t.insert(MoveOffset(t, 4), "/ ");
       return t;
     },
     kLoadPartial, 3},
    {"a / glued to the move of ply 5 (H2+3/), a comment on the last move", "master-14.pgn", 0,
     "ccf",
     [](std::string t) {
       CommentOnLastMove(t);
       t.insert(TokenEnd(t, MoveOffset(t, 5)), "/");
       return t;
     },
     kLoadPartial, 5},
    {"a / in a name and in comments", "master-14.pgn", 0, "wxf",
     [](std::string t) {
       CommentAfter(t, 7, "/");  // the later ply first: a comment is no move to count
       CommentAfter(t, 6, "1/2? a/b / c");
       const size_t name = t.find("RED     \t") + 9;
       t.replace(name, t.find(';', name) - name, "Li/Wang");
       return t;
     },
     kLoadOk, kAll, "Li/Wang"},
    {"a second game after the end mark", "master-15.pgn", 0, "wxf",
     [](std::string t) { return t + t; }, kLoadPartial, kAll},
    {"a second move section after the end mark", "master-15.pgn", 0, "ccf",
     [](std::string t) { return t + "\nSTART{\n 1.  C2.5\n}END\n"; }, kLoadPartial, kAll},
    {"a web page with two games", "master-13.pgn", 0, "htm",
     [](std::string t) {
       const std::string block = "<PRE>\r\n" + t + "</PRE>\r\n";
       return "<html><body>\r\n" + block + "<p>\r\n" + block + "</body></html>\r\n";
     },
     kLoadPartial, kAll},
    {"blank lines, a page end and stray moves after the end mark", "master-15.pgn", 0, "axf",
     [](std::string t) { return t + "\r\n\r\n \t\n</PRE>\n 3.  C2=5\n\x1A"; }, kLoadOk, kAll},
    // A result among the moves ends the game there, read in part; one after
    // the last move ends it harmlessly.
    {"1/2-1/2 after move 9 of a 73-move game", "master-04.pgn", 0, "wxf",
     [](std::string t) { InsertAfter(t, 18, " 1/2-1/2"); return t; }, kLoadPartial, 18, nullptr,
     "move 19: a result among the moves \"1/2-1/2\""},
    {"1-0 and other text after the first move", "master-05.pgn", 0, "axf",
     [](std::string t) { InsertAfter(t, 1, " 1-0 resigned"); return t; }, kLoadPartial, 1,
     nullptr, "move 2: a result among the moves \"1-0\""},
    {"0-1 on a line of its own after ply 30", "master-06.pgn", 0, "ccf",
     [](std::string t) { InsertAfter(t, 30, "\n0-1\n"); return t; }, kLoadPartial, 30, nullptr,
     "move 31: a result among the moves \"0-1\""},
    {"0-0 before the first move", "master-08.pgn", 0, "htm",
     [](std::string t) { return t.insert(t.find("START{") + 7, "0-0\n"); }, kLoadPartial, 0,
     nullptr, "move 1: a result among the moves \"0-0\""},
    {"* after ply 41 of a game from black's first move", "master-09.pgn", 1, "wxf",
     [](std::string t) { InsertAfter(t, 41, " *"); return t; }, kLoadPartial, 41, nullptr,
     "move 42: a result among the moves \"*\""},
    {"a result after the last move, before the end mark", "master-10.pgn", 0, "wxf",
     [](std::string t) { return t.insert(t.find("}END"), "1-0\n"); }, kLoadOk, kAll},
    {"a result and a comment instead of the end mark", "master-11.pgn", 0, "ccf",
     [](std::string t) { return EndReplaced(t, "0-1 /* 1. C2.5 would lose */"); }, kLoadOk, kAll},
    {"a web page whose game ends with a result", "master-13.pgn", 0, "htm",
     [](std::string t) {
       return "<html><body>\r\n<PRE>\r\n" + EndReplaced(t, "1/2-1/2 (agreed)") +
              "</PRE>\r\n</body></html>\r\n";
     },
     kLoadOk, kAll},
    {"a result, then a second game", "master-14.pgn", 0, "axf",
     [](std::string t) { return EndReplaced(t, "1-0") + t; }, kLoadPartial, kAll, nullptr,
     "the file holds more than one game"},
    {"a result, then moves of a second game without START", "master-15.pgn", 0, "wxf",
     [](std::string t) { return EndReplaced(t, "0-1\n\n 1.  C2.5  H8+7\n}END"); },
     kLoadPartial, kAll, nullptr, "the file holds more than one game"},
    // Move numbers that do not follow the moves before them: a line of
    // moves lost or given twice, though the moves after it can be made.
    {"the line of moves 9 and 10 lost", "ccgc-01.pgn", 0, "wxf",
     [](std::string t) { return LineOfPly(t, 17, false); }, kLoadPartial, 16, nullptr,
     "move 17: a move number that does not follow the moves before it"},
    {"the line of moves 53 and 54 given twice", "master-01.pgn", 0, "axf",
     [](std::string t) { return LineOfPly(t, 105, true); }, kLoadPartial, 108, nullptr,
     "move 109: a move number that does not follow the moves before it"},
    // A number for every ply is a numbering too.
    {"a number for every ply", "master-13.pgn", 0, "wxf",
     [](std::string t) { return PerPlyNumbers(t); }, kLoadOk, kAll},
    {"a number for every ply from black's first move", "master-12.pgn", 1, "axf",
     [](std::string t) { return PerPlyNumbers(t); }, kLoadOk, kAll},
    {"a number for every ply, ply 30 numbered as ply 29", "master-11.pgn", 0, "ccf",
     [](std::string t) { return PerPlyNumbers(t, 30); }, kLoadPartial, 29, nullptr,
     "move 30: a move number that does not follow the moves before it"},
    {"a number for every ply, the first ply lost", "master-01.pgn", 0, "wxf",
     [](std::string t) {
       t = PerPlyNumbers(t);
       const size_t first = t.find("\n1. ") + 1;
       return t.erase(first, t.find('\n', first) + 1 - first);
     },
     kLoadPartial, 0, nullptr, "move 1: a move number that does not follow the moves before it"},
    // A NUL byte stands where something was lost; zero bytes after the end
    // mark lose nothing.
    {"a NUL in place of the blank before the move of ply 12", "master-06.pgn", 0, "wxf",
     [](std::string t) { t[MoveOffset(t, 12) - 1] = '\0'; return t; }, kLoadPartial, 11,
     nullptr, "move 12: a NUL byte in the move text"},
    {"a NUL right after the move of ply 9", "master-06.pgn", 0, "axf",
     [](std::string t) { InsertAfter(t, 9, std::string(1, '\0')); return t; }, kLoadPartial, 9,
     nullptr, "move 10: a NUL byte in the move text"},
    {"4096 zero bytes after the end mark", "master-06.pgn", 0, "ccf",
     [](std::string t) { return t + std::string(4096, '\0'); }, kLoadOk, kAll},
    // One in a header line loses what stood there: the file is read in part.
    {"a NUL in the keyword RED", "master-03.pgn", 0, "wxf",
     [](std::string t) { t[t.find("RED") + 1] = '\0'; return t; }, kLoadPartial, kAll, "",
     "a NUL byte in the line \"R?D"},
    {"a NUL in place of the line end after GAME", "master-03.pgn", 0, "axf",
     [](std::string t) { t[t.find("\nRED")] = '\0'; return t; }, kLoadPartial, kAll, "",
     "a NUL byte in the line \"GAME    ?RED"},
    {"a NUL after the end of the game comment", "master-03.pgn", 0, "ccf",
     [](std::string t) {
       return t.insert(t.find("START{"), "/*first\nsecond*/" + std::string(1, '\0') + "DATE x\n");
     },
     kLoadPartial, kAll, "LIU DaHua", "a NUL byte in the line \"second*/?DATE x"},
    {"a FEN line among the moves", "master-02.pgn", 0, "wxf",
     [](std::string t) {
       return t.insert(MoveOffset(t, 5), "\nFEN  \t\t4k4/9/9/9/9/9/9/9/9/4K4 w\n");
     },
     kLoadPartial, 4, nullptr, "move 5: a FEN line among the moves"},
    {"a second START among the moves", "master-07.pgn", 0, "ccf",
     [](std::string t) { InsertAfter(t, 20, "\nSTART{\n"); return t; }, kLoadPartial, 20,
     nullptr, "move 21: a second \"START\" among the moves"},
    // A FEN line that is no FEN is not read, and neither is the file: it
    // would give some other position or side to move.
    {"a FEN line without its side letter", "master-01.pgn", 10, "wxf",
     [](std::string t) { return FenEdited(t, DropSide); }, kLoadFailed, 0, nullptr,
     "the FEN line is not read: no side to move"},
    {"a CFEN line without its side letter", "master-01.pgn", 10, "wxf",
     [](std::string t) { return FenEdited(t, DropSide, "CFEN"); }, kLoadFailed, 0, nullptr,
     "the CFEN line is not read: no side to move"},
    {"a FEN line with the side letter x", "master-02.pgn", 10, "ccf",
     [](std::string t) { return FenEdited(t, [](std::string& f) { f.back() = 'x'; }); },
     kLoadFailed, 0, nullptr, "the FEN line is not read: unknown side letter 'x'"},
    {"a FEN line with a rank of eight squares", "master-03.pgn", 10, "axf",
     [](std::string t) { return FenEdited(t, [](std::string& f) { SetRank(f, 5, "8"); }); },
     kLoadFailed, 0, nullptr, "the FEN line is not read: rank 6 from the top has 8 squares"},
    {"a FEN line with a last rank of ten squares", "master-04.pgn", 10, "wxf",
     [](std::string t) {
       return FenEdited(t, [](std::string& f) { f.insert(f.find(' '), "1"); });
     },
     kLoadFailed, 0, nullptr, "the FEN line is not read: rank 10 from the top has 10 squares"},
    {"a FEN line with nine ranks", "master-05.pgn", 10, "wxf",
     [](std::string t) { return FenEdited(t, [](std::string& f) { f.erase(0, f.find('/') + 1); }); },
     kLoadFailed, 0, nullptr, "the FEN line is not read: the board has 9 ranks, not ten"},
    {"a FEN line with an unknown piece letter", "master-06.pgn", 10, "htm",
     [](std::string t) { return FenEdited(t, [](std::string& f) { SetRank(f, 4, "4X4"); }); },
     kLoadFailed, 0, nullptr, "the FEN line is not read: unknown piece letter 'X'"},
    {"a FEN line with six red pawns and more", "master-07.pgn", 10, "wxf",
     [](std::string t) { return FenEdited(t, [](std::string& f) { SetRank(f, 5, "PPPPPP3"); }); },
     kLoadFailed, 0, nullptr, "red pawns, a side has at most 5"},
    {"a FEN line with a second black king", "master-08.pgn", 10, "ccf",
     [](std::string t) { return FenEdited(t, [](std::string& f) { SetRank(f, 4, "4k4"); }); },
     kLoadFailed, 0, nullptr, "the FEN line is not read: 2 black kings, a side has at most 1"},
    {"a FEN line with the red king outside its palace", "master-09.pgn", 10, "wxf",
     [](std::string t) {
       return FenEdited(t, [](std::string& f) {
         SetRank(f, 9, "9");
         SetRank(f, 5, "K8");
       });
     },
     kLoadFailed, 0, nullptr, "the FEN line is not read: red king missing or outside its palace"},
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
  const std::string userFen = CurrentFen();
  LogCapture log;
  const int result = LoadGameFile(path.c_str(), &currentGameHeader, 0);
  EXPECT_EQ(result, copy.result);
  std::string logged;
  for (const std::string& line : log.lines()) logged += line;
  if (copy.message != nullptr) {
    EXPECT_NE(logged.find(copy.message), std::string::npos) << logged;
  } else if (copy.result == kLoadOk) {
    EXPECT_EQ(logged, "");
  }
  if (!GameWasLoaded(result)) {
    // The game on the board is left as it was.
    EXPECT_EQ(gameLength, 0);
    EXPECT_EQ(CurrentFen(), userFen);
    return;
  }
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

// Files cut short between two moves (before a move number, between the
// number and its move, after a move, after the line end), as a copy or
// download that stopped early leaves them: no "}END", and the load keeps
// the moves before the cut and says the file was read in part.
TEST(CutKeywordGamesTest, KeepTheMovesBeforeTheCutAndSayItWasReadInPart) {
  struct Source {
    const char* name;
    const char* ext;
  };
  for (const Source source : {Source{"master-01.pgn", "wxf"}, Source{"master-02.pgn", "axf"},
                              Source{"master-03.pgn", "ccf"}}) {
    const std::vector<Move> all = LoadSource(source.name).moves;
    const std::string text = SavedText(source.name, 0, source.ext);
    const int n = static_cast<int>(all.size());
    struct Cut {
      size_t at;
      int kept;
    };
    std::vector<Cut> cuts;
    for (int ply : {1, 2, 5, n / 3, n / 2 | 1, n}) {
      const size_t move = MoveOffset(text, ply);
      const size_t end = TokenEnd(text, move);
      cuts.insert(cuts.end(), {{move, ply - 1}, {end, ply}, {end + 1, ply}});
      if (ply % 2 == 1) cuts.push_back({NumberOffset(text, ply), ply - 1});
    }
    // Cut in the header, before the "START" of the moves.
    cuts.push_back({text.find("START{"), 0});
    for (const Cut& cut : cuts) {
      SCOPED_TRACE(std::string(source.name) + " cut at byte " + std::to_string(cut.at) + ": \"" +
                   text.substr(cut.at > 12 ? cut.at - 12 : 0, 12) + "|\"");
      InitEngine();
      const std::string path = WriteTemp(std::string("cut.") + source.ext, text.substr(0, cut.at));
      EXPECT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), kLoadPartial);
      EXPECT_EQ(GameMoves(), std::vector<Move>(all.begin(), all.begin() + cut.kept));
    }
    // The whole file, and the file up to its end mark without a line end.
    for (const size_t length : {text.size(), text.find("}END") + 4}) {
      InitEngine();
      const std::string path = WriteTemp(std::string("whole.") + source.ext, text.substr(0, length));
      EXPECT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), kLoadOk) << source.name;
      EXPECT_EQ(GameMoves(), all) << source.name;
    }
  }
}

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
