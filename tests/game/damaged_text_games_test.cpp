// Real games of the test data, damaged or written differently, through the
// loader: each copy loads the moves it holds as written, and a copy whose
// moves end early (a move that cannot be read or made, a cut, text the
// reader does not read, a result among the moves, a further game) says so
// with kLoadPartial and logs why; a FEN tag that is no FEN is refused with
// its cause.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/game_loader.h"
#include "game/load_game.h"
#include "game/text_readers.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::ReadFileText;

using testing_support::CurrentFen;
using testing_support::LogCapture;
using testing_support::MoveFromText;
using testing_support::MoveText;

const std::string kGames = std::string(VORELK_TESTDATA_DIR) + "/games/";

std::vector<std::string> GameMoves() {
  std::vector<std::string> out;
  for (int i = 1; i <= gameLength; ++i) out.push_back(MoveText(history[i].move));
  return out;
}

// A published game: its PGN bytes, where each of its move words stands, and
// its moves as coordinates.
struct Source {
  std::string pgn;
  std::vector<size_t> at, length;  // move word of ply p: at[p - 1], length[p - 1]
  std::vector<std::string> moves;

  explicit Source(const std::string& name) : pgn(ReadFileText(kGames + name + ".pgn")) {
    // The moves begin at the first line that is not a tag; numbers and
    // results begin with a digit; the championship banner ends them.
    size_t i = 0;
    while (i < pgn.size() && (pgn[i] == '[' || pgn[i] == '\r' || pgn[i] == '\n'))
      i = pgn.find('\n', i) + 1;
    while (i < pgn.size()) {
      while (i < pgn.size() && std::isspace(static_cast<unsigned char>(pgn[i]))) ++i;
      size_t end = i;
      while (end < pgn.size() && !std::isspace(static_cast<unsigned char>(pgn[end]))) ++end;
      if (pgn.compare(i, 3, "===") == 0) break;
      if (end > i && !std::isdigit(static_cast<unsigned char>(pgn[i]))) {
        at.push_back(i);
        length.push_back(end - i);
      }
      i = end;
    }
    const std::string txt = kGames + name + ".txt";
    if (std::filesystem::exists(txt)) {
      std::istringstream lines(ReadFileText(txt));
      for (std::string line; std::getline(lines, line);)
        if (line.size() >= 4) moves.push_back(line.substr(0, 4));
    } else {
      EXPECT_EQ(LoadGameFile((kGames + name + ".pgn").c_str(), &currentGameHeader, 0), kLoadOk);
      moves = GameMoves();
    }
    EXPECT_EQ(moves.size(), at.size()) << name;
  }
  std::string Word(int ply) const { return pgn.substr(at[ply - 1], length[ply - 1]); }
  // The bytes up to the move word of ply, and from it.
  std::string Before(int ply) const { return pgn.substr(0, at[ply - 1]); }
  std::string From(int ply) const { return pgn.substr(at[ply - 1]); }
  std::string Tags() const { return pgn.substr(0, pgn.find("\n1.") + 1); }
  std::string Replaced(int ply, const std::string& word) const {
    return Before(ply) + word + pgn.substr(at[ply - 1] + length[ply - 1]);
  }
  std::string After(int ply, const std::string& text) const {
    return pgn.substr(0, at[ply - 1] + length[ply - 1]) + text +
           pgn.substr(at[ply - 1] + length[ply - 1]);
  }
  // The position after the first plies, as FEN.
  std::string FenAfter(int plies) const {
    LoadedGame g;
    StagingSession session(g);
    for (int p = 0; p < plies; ++p) StageMove(g, MoveFromText(moves[p]));
    return CurrentFen();
  }
};

// The text without the line that holds the move word of ply.
std::string WithoutLineOf(const Source& source, int ply) {
  const std::string& t = source.pgn;
  const size_t begin = t.rfind('\n', source.at[ply - 1]) + 1;
  return t.substr(0, begin) + t.substr(t.find('\n', source.at[ply - 1]) + 1);
}

// Move numbers written without the blank after them: "1.C2.5".
std::string Glued(const std::string& pgn) {
  return std::regex_replace(pgn, std::regex("(\\n *[0-9]+\\.|  ?[0-9]+\\.) "), "$1");
}

std::string Xqn(const std::vector<std::string>& moves) {
  std::string text = "[Red \"R\"]\n[Result \"1-0\"]\n";
  for (size_t i = 0; i < moves.size(); i += 2)
    text += std::to_string(i / 2 + 1) + ". " + moves[i] +
            (i + 1 < moves.size() ? " " + moves[i + 1] : "") + "\n";
  return text;
}
// The line of move n in an XQN text.
size_t XqnLine(const std::string& xqn, int n) { return xqn.find("\n" + std::to_string(n) + ". ") + 1; }

// An MXQ text with one "7C-4C" record per move ("h2e2").
std::string Mxq(const std::vector<std::string>& moves) {
  std::string text = std::string("\x01") + "Beijing\x08" + "2006.08.03#xx\xD6\x1B" +
                     "Red-Win--Black\x0A" + "2500\x0A" + "2400\x0A" + "...Moves ";
  for (const std::string& m : moves)
    text += std::string{static_cast<char>(m[0] - 'a' + '0'), static_cast<char>(m[1] - '0' + 'A'),
                        '-', static_cast<char>(m[2] - 'a' + '0'),
                        static_cast<char>(m[3] - '0' + 'A'), ' '};
  return text;
}

// Plain coordinate text, one move per line.
std::string Coordinates(const std::vector<std::string>& moves) {
  std::string text;
  for (const std::string& m : moves) text += m + "\n";
  return text;
}

std::string Zeros(size_t n) { return std::string(n, '\0'); }
std::string CrLf(const std::string& text) { return std::regex_replace(text, std::regex("\n"), "\r\n"); }
// The text with its byte at `at` a NUL.
std::string NulAt(std::string text, size_t at) {
  text[at] = '\0';
  return text;
}

// The moves of the source from ply `from` on with a number for every ply,
// from 1, one line each ("1. C2.5", "2. H8+7"); the ply `twice` (0: none)
// has the number of the ply before it.
std::string PerPlyPgnMoves(const Source& source, int from, int twice = 0) {
  std::string text;
  for (int ply = from, n = 1; ply <= static_cast<int>(source.moves.size()); ++ply, ++n)
    text += std::to_string(ply == twice ? n - 1 : n) + ". " + source.Word(ply) + "\r\n";
  return text;
}
std::string PerPlyXqn(const std::vector<std::string>& moves, int twice = 0) {
  std::string text = "[Red \"R\"]\n";
  for (size_t i = 0; i < moves.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    text += std::to_string(n == twice ? n - 1 : n) + ". " + moves[i] + "\n";
  }
  return text;
}

// Chinese (GBK) move texts and full-width signs of the test data.
const std::string kAdviserOneForward = "\xCA\xCB\xD2\xBB\xBD\xF8\xB6\xFE";  // 仕一进二
const std::string kUnknownPiece = "\xB3\x68";                                 // 砲
const std::string kFullWidthParen = "\xA3\xA9";                               // ）

class DamagedTextGamesTest : public testing_support::ScratchFolderTest {
 protected:
  DamagedTextGamesTest() : ScratchFolderTest("damaged_games") {}
  void SetUp() override {
    testing_support::InitEngine();
    ScratchFolderTest::SetUp();
  }
};

TEST_F(DamagedTextGamesTest, EachCopyLoadsWhatItHoldsOrSaysItWasReadInPart) {
  const Source master("master-03");  // 104 plies, full-width WXF
  const Source other("master-05");
  const Source first("master-01");  // 127 plies
  const Source ccgc("ccgc-01");  // Chinese notation, result and banner after the moves
  const Source ccgc2("ccgc-02");
  ASSERT_EQ(master.moves.size(), 104u);
  const int all = -1;

  std::string otherNotation = master.Tags() + "\r\n";
  for (size_t i = 0; i < master.moves.size(); ++i) {
    std::string m = master.moves[i];
    for (char& c : m) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (i % 2 == 0) otherNotation += std::to_string(i / 2 + 1) + ". ";
    otherNotation += m.substr(0, 2) + "-" + m.substr(2) + " ";
  }
  const std::string fromBlack = master.FenAfter(1);
  const std::string xqn = Xqn(master.moves);
  const std::string mxq = Mxq(master.moves);
  const std::string txt = Coordinates(master.moves);
  const size_t mxqMoves = mxq.find("Moves ");
  // Where the text of ply begins in the coordinate text.
  const auto txtPly = [](int ply) { return static_cast<size_t>(ply - 1) * 5; };

  const struct {
    const char* what;
    const Source& source;
    const char* ext;
    std::string bytes;
    int result;
    int moves;      // moves loaded, from the source's ply start + 1 on; all: to its end
    int start = 0;  // plies of the source before the start position
    const char* message = nullptr;  // text of the log line that says why, when checked
    bool movesLeft = true;          // a load in part leaves move text unread
  } rows[] = {
      {"as published", master, "pgn", master.pgn, kLoadOk, all},
      {"as published, with result and banner", ccgc, "pgn", ccgc.pgn, kLoadOk, all},
      // A move that cannot be read or made ends the game there.
      {"an adviser move that cannot be made at move 10", ccgc, "pgn",
       ccgc.Replaced(19, kAdviserOneForward), kLoadPartial, 18},
      {"one damaged byte in move 12", master, "pgn",
       master.Replaced(23, master.Word(23).replace(4, 2, kFullWidthParen)), kLoadPartial, 22},
      // A file cut short.
      {"cut inside move 30", master, "pgn", master.Before(59) + master.Word(59).substr(0, 3),
       kLoadPartial, 58},
      {"cut after the number of move 30", master, "pgn", master.Before(59), kLoadPartial, 58},
      // Text the reader does not read.
      {"a comment in braces after the first move pair", master, "pgn",
       master.After(2, " {a sound opening}"), kLoadPartial, 2},
      {"a variation after move 5", master, "pgn", master.After(10, " (6. R9.8)"), kLoadPartial,
       10},
      {"every move in another notation", master, "pgn", otherNotation, kLoadPartial, 0},
      {"a piece name the character table lacks at move 4", ccgc, "pgn",
       ccgc.Replaced(7, kUnknownPiece + ccgc.Word(7).substr(2)), kLoadPartial, 6},
      // A line of moves lost: the moves after it can be made, but their
      // numbers do not follow.
      {"the line of move 10 lost", ccgc, "pgn", WithoutLineOf(ccgc, 19), kLoadPartial, 18, 0,
       "move 19 \"11.\": a move number that does not follow the moves before it"},
      {"XQN without the line of move 10", master, "xqn",
       std::string(xqn).erase(XqnLine(xqn, 10), XqnLine(xqn, 11) - XqnLine(xqn, 10)),
       kLoadPartial, 18, 0, "a move number that does not follow the moves before it"},
      // Move numbers glued to their move; "..." for a move not written.
      {"numbers glued to Chinese moves", ccgc, "pgn", Glued(ccgc.pgn), kLoadOk, all},
      {"numbers glued to full-width moves", master, "pgn", Glued(master.pgn), kLoadOk, all},
      {"black first, \"1...\" glued", master, "pgn",
       master.Tags() + "[FEN \"" + fromBlack + "\"]\n1..." + master.From(2), kLoadOk, all, 1},
      {"black first, \"1. ...\"", master, "pgn",
       master.Tags() + "[FEN \"" + fromBlack + "\"]\n1. ... " + master.From(2), kLoadOk, all, 1},
      // A FEN tag after the result tag.
      {"a FEN tag after the result tag", master, "pgn",
       master.Tags() + "[FEN \"" + master.FenAfter(10) + "\"]\r\n\r\n" + master.From(11),
       kLoadOk, all, 10},
      {"a FEN tag with ten squares on a rank", master, "pgn",
       master.Tags() + "[FEN \"3k6/9/9/9/9/9/9/9/9/4K4 w\"]\n" + master.From(1), kLoadBadBoard,
       0, 0, "the FEN tag is not read: rank 1 from the top has 10 squares, not nine"},
      {"a FEN tag without its side letter", master, "pgn",
       master.Tags() + "[FEN \"" + fromBlack.substr(0, fromBlack.find(' ')) + "\"]\n" +
           master.From(2),
       kLoadBadBoard, 0, 0, "the FEN tag is not read: no side to move"},
      {"a FEN tag with six red pawns", master, "pgn",
       master.Tags() + "[FEN \"rheakaehr/9/1c5c1/p1p1p1p1p/9/P8/P1P1P1P1P/1C5C1/9/RHEAKAEHR w\"]\n" +
           master.From(1),
       kLoadBadBoard, 0, 0, "the FEN tag is not read: 6 red pawns, a side has at most 5"},
      {"a FEN tag with the red king outside its palace", master, "pgn",
       master.Tags() + "[FEN \"3k5/9/9/9/9/9/9/9/9/K8 w\"]\n" + master.From(1), kLoadBadBoard,
       0, 0, "the FEN tag is not read: red king missing or outside its palace"},
      // A result among the moves ends the game there; one after the last
      // move ends it, and a banner after it is not read.
      {"1/2-1/2 after move 9", master, "pgn", master.After(18, " 1/2-1/2"), kLoadPartial, 18, 0,
       "move 19 \"1/2-1/2\": a result among the moves"},
      {"1-0 and other text after the first move", master, "pgn", master.After(1, " 1-0 (resigned)"),
       kLoadPartial, 1, 0, "move 2 \"1-0\": a result among the moves"},
      {"0-1 on a line of its own after move 15", ccgc, "pgn", ccgc.After(15, "\r\n 0-1\r\n"),
       kLoadPartial, 15, 0, "move 16 \"0-1\": a result among the moves"},
      {"* after black's move 30", master, "pgn", master.After(60, " *"), kLoadPartial, 60, 0,
       "move 61 \"*\": a result among the moves"},
      {"an end mark after move 20", master, "pgn", master.After(40, " }END"), kLoadPartial, 40, 0,
       "move 41 \"}END\": an end mark among the moves"},
      {"a result before the first move", master, "pgn", master.Before(1) + "1-0 " + master.From(1),
       kLoadPartial, 0, 0, "move 1 \"1-0\": a result among the moves"},
      {"a result, a banner and a comment after the last move", master, "pgn",
       master.After(104, " 1-0\r\n=====\r\n/* 1. C2.5 loses */ www.example.com 2006.08.03\r\n"),
       kLoadOk, all},
      {"a second game without tags after a result", master, "pgn",
       master.After(104, " 0-1\r\n\r\n") + other.pgn.substr(other.pgn.find("\n1.") + 1),
       kLoadPartial, all, 0, "the file holds more than one game"},
      // Several games.
      {"two master games", master, "pgn", master.pgn + "\r\n\r\n" + other.pgn, kLoadPartial, all},
      {"two championship games", ccgc, "pgn", ccgc.pgn + ccgc2.pgn, kLoadPartial, all},
      // What a PGN file may hold besides its moves.
      {"a glyph, marks, a comment and a result", master, "pgn",
       master.After(104, " *\r\n").replace(master.at[4] + master.length[4], 0, " $1"),
       kLoadOk, all},
      {"marks and comments", master, "pgn",
       master.After(9, "!? /* the knight */").replace(master.at[2] + master.length[2], 0, "!"),
       kLoadOk, all},
      // XQN and MXQ copies of the same game.
      {"XQN as written", master, "xqn", xqn, kLoadOk, all},
      {"XQN with a comment line after move 10", master, "xqn",
       std::string(xqn).insert(XqnLine(xqn, 11), "{a quiet move}\n"), kLoadPartial, 20},
      {"XQN with two move pairs on line 10", master, "xqn",
       std::string(xqn).replace(XqnLine(xqn, 11) - 1, 1, " "), kLoadPartial, 20},
      {"XQN cut after the number of move 30", master, "xqn", xqn.substr(0, XqnLine(xqn, 30) + 4),
       kLoadPartial, 58},
      {"XQN with a number without its dot", master, "xqn",
       std::string(xqn).erase(XqnLine(xqn, 10) + 2, 1), kLoadPartial, 18},
      {"MXQ as written", master, "mxq", mxq + "End", kLoadOk, all},
      {"MXQ cut inside move 30", master, "mxq", mxq.substr(0, mxq.find("Moves ") + 6 + 29 * 6 + 3),
       kLoadPartial, 29},
      {"MXQ with a damaged record at move 12", master, "mxq",
       std::string(mxq).replace(mxq.find("Moves ") + 6 + 11 * 6, 1, "9"), kLoadPartial, 11},
      // A NUL byte stands where something of the file was lost: the moves
      // end there, and the file counts as read in part. Zero bytes after
      // the last line of moves (what a crash, or space set aside for the
      // file, leaves) hold no moves and lose none that can be told.
      {"XQN with a NUL in place of the line end after move 3", master, "xqn",
       NulAt(xqn, XqnLine(xqn, 4) - 1), kLoadPartial, 6, 0,
       "line 5 (3. "},
      {"XQN with a NUL in black's move 10", master, "xqn", NulAt(xqn, XqnLine(xqn, 10) + 12),
       kLoadPartial, 19, 0, "line 12 (10. "},
      {"XQN with a NUL in its result tag", master, "xqn", NulAt(xqn, xqn.find("1-0") + 1),
       kLoadPartial, all, 0, "line 2 ([Result \"1?0\"]): a NUL byte in the line", false},
      {"XQN and one zero byte", master, "xqn", xqn + Zeros(1), kLoadOk, all},
      {"XQN in CR LF and 4096 zero bytes", master, "xqn", CrLf(xqn) + Zeros(4096), kLoadOk, all},
      {"XQN zeroed from its last line end on", master, "xqn",
       xqn.substr(0, xqn.size() - 1) + Zeros(300), kLoadOk, all},
      {"XQN zeroed from the start of line 30 on", master, "xqn",
       xqn.substr(0, XqnLine(xqn, 30)) + Zeros(900), kLoadOk, 58},
      {"XQN zeroed from inside line 30 on", master, "xqn",
       xqn.substr(0, XqnLine(xqn, 30) + 6) + Zeros(900), kLoadPartial, 58},
      {"XQN zeroed from inside its tags on", master, "xqn",
       xqn.substr(0, 14) + Zeros(xqn.size() - 14), kLoadInvalidMove, 0, 0,
       "line 2 ([Res): the file ends in"},
      {"XQN zeroed from its moves on", master, "xqn",
       xqn.substr(0, XqnLine(xqn, 1)) + Zeros(xqn.size()), kLoadInvalidMove, 0, 0,
       "zero bytes after this line, which holds no move"},
      {"coordinates with a NUL in place of the line end after move 103", master, "txt",
       NulAt(txt, txtPly(104) - 1), kLoadPartial, 103, 0, "line 103 ("},
      {"coordinates with a NUL inside move 50", master, "txt", NulAt(txt, txtPly(50) + 2),
       kLoadPartial, 49, 0, "line 50 ("},
      {"coordinates with a NUL line among the moves", master, "txt",
       std::string(txt).insert(txtPly(60), Zeros(3) + "\n"), kLoadPartial, 59, 0,
       "line 60 (\?\?\?): a NUL byte in the line"},
      {"coordinates and one zero byte", master, "txt", txt + Zeros(1), kLoadOk, all},
      {"coordinates in CR LF and 4096 zero bytes", master, "txt", CrLf(txt) + Zeros(4096),
       kLoadOk, all},
      {"coordinates zeroed from the last line end on", master, "txt",
       txt.substr(0, txt.size() - 1) + Zeros(9), kLoadOk, all},
      {"coordinates zeroed whole", master, "txt", Zeros(txt.size()), kLoadEmpty, 0, 0,
       "no move found before the"},
      {"MXQ with a NUL in its word Moves", master, "mxq", NulAt(mxq, mxqMoves + 2) + "End",
       kLoadInvalidMove, 0, 0, "no \"Moves\" found"},
      {"MXQ cut before Moves", master, "mxq", mxq.substr(0, mxqMoves), kLoadInvalidMove, 0, 0,
       "no \"Moves\" found"},
      {"MXQ zeroed from its moves on", master, "mxq", mxq.substr(0, mxqMoves + 6) + Zeros(700),
       kLoadInvalidMove, 0, 0, "neither a move nor \"End\" after \"Moves\""},
      {"MXQ and 4096 zero bytes after its last record", master, "mxq", mxq + Zeros(4096),
       kLoadOk, all},
      {"a NUL in place of the blank after move 20", master, "pgn",
       NulAt(master.pgn, master.at[19] + master.length[19]), kLoadPartial, 20, 0,
       "move 21 \"?"},
      {"a NUL inside move 31", master, "pgn", NulAt(master.pgn, master.at[30] + 2), kLoadPartial,
       30, 0, "a NUL byte in the move text"},
      {"PGN and 4096 zero bytes", ccgc, "pgn", ccgc.pgn + Zeros(4096), kLoadOk, all},
      // A NUL byte in a tag line: the tag is read up to it (or not at all),
      // and the file counts as read in part. One in place of the line end
      // before the moves lost the first of them, and those after them would
      // be read on a position they were not written for: none are read.
      {"a NUL in the name of the event tag", master, "pgn", NulAt(master.pgn, 3), kLoadPartial,
       all, 0, "line 1 ([Ev?nt \"", false},
      {"a NUL in place of the line end between two tags", master, "pgn",
       std::string(master.pgn).replace(master.pgn.find("\r\n[Black"), 2, Zeros(1)),
       kLoadPartial, all, 0, "line 2 ([Red \"LIU DaHua\"]?[Black", false},
      {"a NUL in place of the line ends after the result tag", master, "pgn",
       std::string(master.pgn).replace(master.pgn.find("]\r\n\r\n1.") + 1, 4, Zeros(1)),
       kLoadPartial, 0, 0, "line 4 ([Result \"*\"]?1. "},
      {"a NUL in place of the line end after the result tag, a number for every ply", master,
       "pgn", master.Tags().substr(0, master.Tags().rfind(']') + 1) + Zeros(1) +
           PerPlyPgnMoves(master, 1),
       kLoadPartial, 0, 0, "line 4 ([Result \"*\"]?1. "},
      {"XQN with a NUL in place of the line end after its result tag", master, "xqn",
       NulAt(xqn, xqn.find("\n1. ")), kLoadInvalidMove, 0, 0, "line 2 ([Result \"1-0\"]?1. "},
      // Numbers for every ply: the moves are read whole, up to a number
      // that follows that count no more.
      {"a number for every ply", master, "pgn", master.Tags() + PerPlyPgnMoves(master, 1),
       kLoadOk, all},
      {"a number for every ply, black first", master, "pgn",
       master.Tags() + "[FEN \"" + fromBlack + "\"]\n" + PerPlyPgnMoves(master, 2), kLoadOk,
       all, 1},
      {"a number for every ply, ply 40 numbered as ply 39", master, "pgn",
       master.Tags() + PerPlyPgnMoves(master, 1, 40), kLoadPartial, 39, 0,
       "move 40 \"39.\": a move number that does not follow"},
      {"XQN with a number for every ply", master, "xqn", PerPlyXqn(master.moves), kLoadOk, all},
      // A game from the standard start whose numbers begin after 1 lost its
      // first moves: the later ones, made from the start, would give another
      // game (one ply lost, each side plays the other's moves, mirrored).
      {"the first ply lost, a number for every ply", first, "pgn",
       first.Tags() + PerPlyPgnMoves(first, 1).substr(PerPlyPgnMoves(first, 1).find('\n') + 1),
       kLoadPartial, 0, 0, "move 1 \"2.\": a move number that does not follow"},
      {"the first move pair lost", master, "pgn", master.Tags() + "2. " + master.From(3),
       kLoadPartial, 0, 0, "move 1 \"2.\": a move number that does not follow"},
      {"black first, \"1. ...\", its FEN tag lost", master, "pgn",
       master.Tags() + "1. ... " + master.From(2), kLoadPartial, 0, 0,
       "move 1 \"...\": a move not written before the first one"},
      {"black first, \"1...\" glued, its FEN tag lost", master, "pgn",
       master.Tags() + "1..." + master.From(2), kLoadPartial, 0, 0,
       "a move not written before the first one"},
      {"XQN without its first line", master, "xqn",
       std::string(xqn).erase(XqnLine(xqn, 1), XqnLine(xqn, 2) - XqnLine(xqn, 1)),
       kLoadInvalidMove, 0, 0, "line 3 (2. h0g2 i9h9): a move number that does not follow"},
      {"XQN with a number for every ply, ply 7 numbered as ply 6", master, "xqn",
       PerPlyXqn(master.moves, 7), kLoadPartial, 6, 0,
       "a move number that does not follow"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    testing_support::InitEngine();
    const std::string userFen = CurrentFen();
    LogCapture log;
    const std::string path = Write(std::string("copy.") + row.ext, row.bytes);
    const int result = LoadGameFile(path.c_str(), &currentGameHeader, 0);
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(log.lines().empty(), row.result == kLoadOk) << "a load that is not whole is logged";
    if (row.message != nullptr) {
      std::string logged;
      for (const std::string& line : log.lines()) logged += line;
      EXPECT_NE(logged.find(row.message), std::string::npos) << logged;
    }
    if (!GameWasLoaded(row.result)) {
      EXPECT_EQ(gameLength, 0);
      EXPECT_EQ(CurrentFen(), userFen);
      continue;
    }
    const auto first = row.source.moves.begin() + row.start;
    const std::vector<std::string> want(
        first, row.moves == all ? row.source.moves.end() : first + row.moves);
    EXPECT_EQ(GameMoves(), want);
    // (The coordinate reader keeps no unread text.)
    const bool unread = !text_reading::UnreadMoveText().empty();
    if (std::string(row.ext) != "txt") {
      EXPECT_EQ(unread, row.result != kLoadOk && row.movesLeft) << text_reading::UnreadMoveText();
    }
    TakeBackAll();
    EXPECT_EQ(CurrentFen(), row.source.FenAfter(row.start));
  }
}

}  // namespace
