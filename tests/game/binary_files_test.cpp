// Binary game files: round trips through versions 7, 6 and 3, files of
// every version built byte by byte, files damaged before their moves that
// must leave the game as it was, damaged moves and comments that end the
// game before them, the writers' failure codes and the autosave.
#include "game/binary_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/game_files_hooks.h"
#include "engine/search/opening_names.h"
#include "engine/search/new_game.h"
#include "game/comments.h"
#include "game/header.h"
#include "game/load_game.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::LegalMoves;
using testing_support::LogCapture;
using testing_support::MoveFromText;
using testing_support::PositionSnapshot;
using testing_support::SetUpFen;

using Bytes = std::vector<uint8_t>;

std::string ScratchDir() {
  static const std::string dir = [] {
    static const std::string d = testing::TempDir() + "vorelk-binary-" + std::to_string(getpid());
    mkdir(d.c_str(), 0755);
    // The folder goes when the test process ends.
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(d, ignored);
    });
    return d;
  }();
  return dir;
}
std::string TempPath(const std::string& name) { return ScratchDir() + "/" + name; }

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
int LoadBytes(const Bytes& bytes, const std::string& name = "built.vgf") {
  const std::string path = TempPath(name);
  WriteBytes(path, bytes);
  return LoadBinaryGame(path.c_str(), &currentGameHeader, 0);
}

// Appends a move to the game as a user move would, with its engine data.
void PlayMove(Move move, int32_t score = 0, int32_t depth = 0, uint8_t engine = 0) {
  HistoryRecord& r = history[gamePly + 1];
  r.move = move;
  gameLength = gamePly + 1;
  ASSERT_EQ(ReplayOne(), 1);
  r.engineScore = score;
  r.engineDepth = depth;
  r.engineMove = engine;
}

void PlayRandomGame(int plies, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int i = 1; i <= plies; ++i) {
    const std::vector<Move> moves = LegalMoves();
    ASSERT_FALSE(moves.empty());
    PlayMove(moves[rng() % moves.size()], 37 * i - 500, i % 13, static_cast<uint8_t>(i % 2));
  }
}

std::string Filled(char c, size_t n) { return std::string(n, c); }

// What a game file stores, for comparisons: start position, moves with
// engine data and texts, shown ply, header and comments.
struct GameRecord {
  std::string startFen;
  std::vector<uint32_t> startPieces;
  uint32_t startSide = 0;
  int32_t ply = 0, length = 0;
  std::vector<std::string> moves;  // move, score, depth, flag and texts
  GameHeader header{};
  std::vector<std::string> comments;  // "mark|text" or "mark|(none)"
  PositionSnapshot position{};
};

GameRecord Record() {
  GameRecord g;
  g.position = PositionSnapshot::Take();
  g.position.historyBase = nullptr;  // where the last replay left them
  g.position.historyPly = 0;
  g.ply = gamePly;
  g.length = gameLength;
  TakeBackAll();
  g.startFen = testing_support::CurrentFen();
  g.startPieces.assign(posPiece, posPiece + 33);
  g.startSide = startSideToMove;
  for (int32_t i = 0; i < g.ply; ++i) ReplayOne();
  for (int32_t i = 1; i <= gameLength; ++i) {
    const HistoryRecord& r = history[i];
    g.moves.push_back(testing_support::MoveText(r.move) + " " + std::to_string(r.engineScore) +
                      " " + std::to_string(r.engineDepth) + " " + std::to_string(r.engineMove) +
                      r.wxfText + r.axfText + r.wxfTextChinese + r.axfTextChinese);
  }
  g.header = currentGameHeader;
  for (const MoveComment& c : moveComments) {
    g.comments.push_back(std::to_string(c.annotation) + "|" +
                         (c.text != nullptr ? std::string(c.text) : "(none)"));
  }
  return g;
}

// Everything a failed load must leave alone, byte for byte.
struct FullState {
  PositionSnapshot position;
  Bytes historyBytes, displayBytes;
  int32_t ply, length, opening;
  uint32_t startSide, shownSide;
  GameHeader header;
  std::vector<std::string> comments;
  std::string fileName;

  static FullState Take() {
    FullState s{PositionSnapshot::Take(), {}, {}, gamePly, gameLength, currentOpening,
                startSideToMove, shownSideToMove, currentGameHeader, {}, gameFileName};
    const auto* h = reinterpret_cast<const uint8_t*>(history);
    s.historyBytes.assign(h, h + sizeof history);
    const auto* d = reinterpret_cast<const uint8_t*>(displayBoard);
    s.displayBytes.assign(d, d + sizeof displayBoard);
    for (const MoveComment& c : moveComments)
      s.comments.push_back(std::to_string(c.annotation) + "|" + (c.text ? c.text : "(none)"));
    return s;
  }
  bool operator==(const FullState& o) const {
    return position == o.position && historyBytes == o.historyBytes &&
           displayBytes == o.displayBytes && ply == o.ply && length == o.length &&
           opening == o.opening && startSide == o.startSide && shownSide == o.shownSide &&
           std::memcmp(&header, &o.header, sizeof header) == 0 && comments == o.comments &&
           fileName == o.fileName;
  }
};

// A user's game with header, comments and a marked move, shown at ply 3 of 4.
void SetUpUserGame() {
  SetUpFen(testing_support::kStartFen);
  for (const char* m : {"h2e2", "h9g7", "h0g2", "i9h9"}) PlayMove(MoveFromText(m), 11, 2, 1);
  TakeBackOne();
  SetHeaderText(currentGameHeader.event, "user event");
  currentGameHeader.hasInfo = 1;
  SetComment(0, "user game");
  SetComment(2, "user comment");
  SetAnnotation(3, kMarkGood);
  SetGameFileName("/user/game.egf");
  currentOpening = 7;
}

// Little-endian file bytes, built field by field.
struct Builder {
  Bytes bytes;
  Builder& N(uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
  }
  Builder& U8(uint32_t v) { return N(v, 1); }
  Builder& U16(uint32_t v) { return N(v, 2); }
  Builder& U32(uint32_t v) { return N(v, 4); }
  Builder& Raw(const std::string& s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  Builder& Tag8(int id, const std::string& s) { return U8(id).U8(s.size()).Raw(s); }
  Builder& Tag16(int id, const std::string& s) { return U8(id).U16(s.size()).Raw(s); }
  Builder& Board(const int8_t* cells) {
    bytes.insert(bytes.end(), cells, cells + kBoardSize);
    return *this;
  }
  Builder& Pieces(const uint32_t* pieces) {
    for (int i = 0; i < 33; ++i) U32(pieces[i]);
    return *this;
  }
  // A move record of the version's size.
  Builder& MoveRecord(int version, Move m, uint32_t captured = 0, int32_t score = 0,
                      int32_t depth = 0, uint8_t flag = 0) {
    U16(MoveFrom(m)).U16(MoveTo(m)).U32(captured);
    if (version >= 5) U32(static_cast<uint32_t>(score)).U32(static_cast<uint32_t>(depth)).U8(flag).N(0, 3);
    return *this;
  }
};

struct StartPosition {
  int8_t cells[kBoardSize] = {};
  uint32_t pieces[33] = {};
  void Put(PieceIndex piece, int file, int rank) {
    cells[MakeSquare(file, rank)] = static_cast<int8_t>(piece);
    pieces[piece] = MakeSquare(file, rank);
  }
};

StartPosition Standard() {
  StartPosition s;
  for (PieceIndex i = 1; i <= 32; ++i) s.Put(i, FileOf(startSquareOf[i]), RankOf(startSquareOf[i]));
  return s;
}

// Version byte, tags (4..7), start position (board always), side, ply and
// count for the standard start; the caller appends the moves.
Builder StandardFile(int version, uint32_t shownPly, uint32_t count) {
  Builder b;
  b.U8(version);
  if (version >= 4) b.U8(0);
  const StartPosition s = Standard();
  b.U8(1).Board(s.cells);
  if (version >= 3) b.Pieces(s.pieces);
  return std::move(b.U32(0).U32(shownPly).U32(count));
}

const char* const kOpening[] = {"h2e2", "h9g7", "h0g2", "i9h9"};

// ---------------------------------------------------------------------------
// Round trips
// ---------------------------------------------------------------------------

class BinaryRoundTrip : public testing::Test {
 protected:
  // A set-up start with black to move, twelve plies with engine data, every
  // header text at its longest, comments on many plies and marks; shown at
  // ply 5.
  void SetUp() override {
    SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABN1 b");
    PlayRandomGame(12, 2024);
    GameHeader& h = currentGameHeader;
    char c = 'a';
    for (auto* field : {&h.event, &h.site, &h.date, &h.round, &h.redName, &h.redElo,
                        &h.blackName, &h.author, &h.timeControl, &h.blackElo})
      SetHeaderText(*field, Filled(c++, 127).c_str());
    h.result = kResultBlackWins;
    SetComment(0, "game comment\r\nsecond line \xB3\xB5");
    for (int ply : {1, 2, 5, 9, 12}) SetComment(ply, ("comment " + std::to_string(ply)).c_str());
    SetComment(7, Filled('x', 12000).c_str());
    SetComment(10, "");
    SetAnnotation(3, kMarkBlunder);
    SetAnnotation(9, kMarkBrilliant);
    while (gamePly > 5) TakeBackOne();
    saved_ = Record();
  }

  // Saves with writer, starts an unrelated game and loads the file back.
  GameRecord SaveAndLoad(int (*writer)(const std::string&), const std::string& name) {
    const std::string path = TempPath(name);
    EXPECT_EQ(writer(path), kBinarySaveOk);
    EXPECT_EQ(std::string(gameFileName), path);
    const GameRecord afterSave = Record();
    EXPECT_EQ(afterSave.moves, saved_.moves) << "the writer changed the game";
    EXPECT_EQ(afterSave.position, saved_.position);
    EXPECT_EQ(afterSave.ply, 5);
    SetUpUserGame();
    EXPECT_EQ(LoadBinaryGame(path.c_str(), &currentGameHeader, 0), kBinaryLoadOk);
    EXPECT_EQ(std::string(gameFileName), path);
    return Record();
  }

  // The parts every version stores: start, moves, shown ply, position.
  void ExpectSameGame(const GameRecord& loaded, bool engineData) {
    EXPECT_EQ(loaded.startFen, saved_.startFen);
    EXPECT_EQ(loaded.startPieces, saved_.startPieces);
    EXPECT_EQ(loaded.startSide, 1u);
    EXPECT_EQ(loaded.length, 12);
    EXPECT_EQ(loaded.ply, 5);
    EXPECT_EQ(loaded.position, saved_.position);
    if (engineData) {
      EXPECT_EQ(loaded.moves, saved_.moves);
    } else {
      ASSERT_EQ(loaded.moves.size(), 12u);
      for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(history[i].engineScore, 0);
        EXPECT_EQ(history[i].engineDepth, 0);
        EXPECT_EQ(history[i].engineMove, 0);
        EXPECT_NE(history[i].wxfText[0], '\0');
        EXPECT_NE(history[i].axfTextChinese[0], '\0');
      }
    }
  }

  GameRecord saved_;
};

int WriteEgf(const std::string& p) { return SaveBinaryGame(p.c_str(), 7, currentGameHeader); }
int WriteVgf(const std::string& p) { return SaveBinaryGame(p.c_str(), 6, currentGameHeader); }
int WriteVbf(const std::string& p) { return SaveVbfGame(p.c_str()); }

TEST_F(BinaryRoundTrip, Version7KeepsEverythingAndRewritesTheSameBytes) {
  const GameRecord loaded = SaveAndLoad(WriteEgf, "round.egf");
  ExpectSameGame(loaded, true);
  GameHeader expected = saved_.header;
  expected.hasInfo = 1;
  EXPECT_EQ(std::memcmp(&loaded.header, &expected, sizeof expected), 0);
  std::vector<std::string> comments = saved_.comments;
  comments[7] = "0|" + Filled('x', kBinaryLongTextCap);  // cut to the longest stored
  comments[10] = "0|(none)";                              // an empty text is no text
  EXPECT_EQ(loaded.comments, comments);
  // Writing the loaded game again gives the very same file.
  const Bytes first = ReadBytes(TempPath("round.egf"));
  ASSERT_EQ(WriteEgf(TempPath("again.egf")), kBinarySaveOk);
  EXPECT_EQ(ReadBytes(TempPath("again.egf")), first);
}

TEST_F(BinaryRoundTrip, Version6HasNoAuthorTimeControlOrPlyComments) {
  const GameRecord loaded = SaveAndLoad(WriteVgf, "round.vgf");
  ExpectSameGame(loaded, true);
  EXPECT_EQ(ReadBytes(TempPath("round.vgf"))[0], 6);
  EXPECT_EQ(std::string(loaded.header.event), saved_.header.event);
  EXPECT_EQ(std::string(loaded.header.blackElo), saved_.header.blackElo);
  EXPECT_EQ(loaded.header.result, kResultBlackWins);
  EXPECT_EQ(loaded.header.author[0], '\0');
  EXPECT_EQ(loaded.header.timeControl[0], '\0');
  EXPECT_EQ(loaded.comments[0], saved_.comments[0]);
  for (int ply = 1; ply < kCommentSlots; ++ply) EXPECT_EQ(loaded.comments[ply], "0|(none)");
}

TEST_F(BinaryRoundTrip, Version3KeepsOnlyPositionMovesAndPly) {
  const GameRecord loaded = SaveAndLoad(WriteVbf, "round.vbf");
  ExpectSameGame(loaded, false);
  const Bytes file = ReadBytes(TempPath("round.vbf"));
  EXPECT_EQ(file.size(), 1u + 1 + 208 + 33 * 4 + 12 + 12 * 8);
  EXPECT_EQ(std::memcmp(&loaded.header, &emptyGameHeader, sizeof emptyGameHeader), 0);
  for (const std::string& c : loaded.comments) EXPECT_EQ(c, "0|(none)");
}

TEST_F(BinaryRoundTrip, EachExtensionWritesItsVersionAndLoadsBack) {
  for (const auto& [name, version] : {std::pair{"game.EGF", 7}, {"game.vgf", 6}, {"game.vbf", 3}}) {
    SCOPED_TRACE(name);
    const std::string path = TempPath(name);
    ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
    EXPECT_EQ(ReadBytes(path)[0], version);
    ResetGameState(0);
    ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), 0);
    ExpectSameGame(Record(), version >= 5);
    EXPECT_EQ(currentGameHeader.redName[0] != '\0', version >= 4);
  }
}

TEST(BinaryWriter, Version7CommentCountIsTheLastCommentedPly) {
  SetUpFen(testing_support::kStartFen);
  PlayRandomGame(40, 7);
  ASSERT_EQ(gameLength, 40);
  // Empty header: version, count, 8 short texts, tag 9, result, 3 long texts.
  constexpr size_t kTags = 1 + 1 + 8 * 2 + 5 + 2 + 3 * 3;
  constexpr size_t kCommentCount = kTags + 1 + 208 + 33 * 4 + 12 + 40 * 20;
  const std::string path = TempPath("count.egf");
  ASSERT_EQ(SaveBinaryGame(path.c_str(), 7, currentGameHeader), kBinarySaveOk);
  Bytes file = ReadBytes(path);
  ASSERT_EQ(file.size(), kCommentCount + 2);
  EXPECT_EQ(file[kCommentCount] | file[kCommentCount + 1] << 8, 0);

  SetComment(3, "third");
  SetAnnotation(2, kMarkEven);
  ASSERT_EQ(SaveBinaryGame(path.c_str(), 7, currentGameHeader), kBinarySaveOk);
  file = ReadBytes(path);
  const Bytes tail(file.begin() + kCommentCount, file.end());
  const Bytes expected = {3, 0, 0, 0, 0, kMarkEven, 0, 0, 0, 5, 0, 't', 'h', 'i', 'r', 'd'};
  EXPECT_EQ(tail, expected);
}

// ---------------------------------------------------------------------------
// Files built byte by byte, every version
// ---------------------------------------------------------------------------

TEST(BinaryReader, EveryVersionFromTheStandardStart) {
  for (int version = 1; version <= 7; ++version) {
    SCOPED_TRACE(version);
    Builder b;
    b.U8(version);
    if (version >= 4) {
      b.U8(version == 7 ? 6 : 4).Tag8(kTagEvent, "Cup").Tag8(kTagDate, "2001");
      if (version <= 5) {
        b.U8(kTagRound).U16(7).U8(kTagRedElo).U16(2450);
      } else {
        b.Tag8(kTagRound, "7").Tag8(kTagRedElo, "2450");
      }
      if (version == 7) b.Tag16(kTagAuthor, "me").Tag16(kTagTimeControl, "40/2h");
    }
    b.U8(0);  // no board: the standard start
    if (version >= 3) b.Pieces(Standard().pieces);
    b.U32(0).U32(2).U32(4);
    for (int i = 0; i < 4; ++i) b.MoveRecord(version, MoveFromText(kOpening[i]), 0, 100 + i, 5, 1);
    if (version == 7) b.U16(2).U8(kMarkGood).U16(0).U8(0).U16(3).Raw("ok!");
    SetUpUserGame();
    ASSERT_EQ(LoadBytes(b.bytes), kBinaryLoadOk);
    EXPECT_EQ(gameLength, 4);
    EXPECT_EQ(gamePly, 2);
    EXPECT_EQ(startSideToMove, 0u);
    for (int i = 1; i <= 4; ++i) {
      EXPECT_EQ(history[i].move, MoveFromText(kOpening[i - 1]));
      EXPECT_EQ(history[i].engineScore, version >= 5 ? 99 + i : 0);
      EXPECT_EQ(history[i].engineMove, version >= 5 ? 1 : 0);
    }
    EXPECT_STREQ(history[1].wxfText, " C2.5");
    const GameHeader& h = currentGameHeader;
    EXPECT_STREQ(h.event, version >= 4 ? "Cup" : "");
    EXPECT_STREQ(h.round, version >= 4 ? "7" : "");
    EXPECT_STREQ(h.redElo, version >= 4 ? "2450" : "");
    EXPECT_STREQ(h.author, version == 7 ? "me" : "");
    EXPECT_EQ(h.hasInfo, version >= 4 ? 1 : 0);
    EXPECT_EQ(moveComments[0].text, nullptr);  // the user's game comment is gone
    EXPECT_EQ(moveComments[1].annotation, version == 7 ? kMarkGood : kMarkNone);
    EXPECT_STREQ(moveComments[2].text, version == 7 ? "ok!" : nullptr);
  }
}

TEST(BinaryReader, NumericTagsAndTheDateAloneSetNoInformation) {
  Builder b;
  b.U8(5).U8(3).Tag8(kTagDate, "2001").U8(kTagBlackElo).U16(65535).U8(kTagRound).U16(0);
  b.U8(0).Pieces(Standard().pieces).U32(0).U32(0).U32(0);
  ASSERT_EQ(LoadBytes(b.bytes), kBinaryLoadOk);
  EXPECT_EQ(currentGameHeader.hasInfo, 0);
  EXPECT_STREQ(currentGameHeader.blackElo, "65535");
  EXPECT_STREQ(currentGameHeader.round, "0");
}

TEST(BinaryReader, CustomBoardsOfVersionsOneAndTwoRebuildThePieceList) {
  StartPosition s;
  s.Put(1, 4, 9);    // red king
  s.Put(17, 3, 0);   // black king
  s.Put(8, 0, 9);    // red chariot
  s.Put(28, 8, 3);   // black pawn
  s.Put(2, 4, 8);    // red adviser
  const Move moves[] = {MakeMoveCode(MakeSquare(0, 9), MakeSquare(0, 4)),
                        MakeMoveCode(MakeSquare(8, 3), MakeSquare(8, 4)),
                        MakeMoveCode(MakeSquare(0, 4), MakeSquare(8, 4)),
                        MakeMoveCode(MakeSquare(3, 0), MakeSquare(3, 1))};
  for (int version : {1, 2}) {
    SCOPED_TRACE(version);
    Builder b;
    b.U8(version).U8(1).Board(s.cells).U32(0).U32(0).U32(4);
    for (Move m : moves) b.MoveRecord(version, m);
    SetUpUserGame();
    LogCapture log;
    ASSERT_EQ(LoadBytes(b.bytes), kBinaryLoadOk) << (log.lines().empty() ? "" : log.lines()[0]);
    EXPECT_EQ(gamePly, 0);
    EXPECT_EQ(std::vector<uint32_t>(posPiece, posPiece + 33),
              std::vector<uint32_t>(s.pieces, s.pieces + 33));
    EXPECT_EQ(CheckPositionConsistency(), 1);
    EXPECT_EQ(gameLength, 4);
    ReplayAll();
    EXPECT_EQ(gamePly, 4);
    EXPECT_EQ(posPiece[28], 0u);  // the chariot took the pawn
    EXPECT_EQ(posPiece[8], MakeSquare(8, 4));
  }
}

TEST(BinaryReader, TagsInAnyOrderUnknownTagsAndCapturedPieces) {
  // Version 3 and up: 255 marks a captured piece. Red's knight 6 is gone.
  StartPosition s = Standard();
  s.cells[s.pieces[6]] = 0;
  s.pieces[6] = 255;
  Builder b;
  b.U8(7).U8(7).Tag16(kTagTimeControl, "tc").U8(42).U16(5).Raw("\1\2\3\4\5").U8(kTagReserved).U32(9);
  b.Tag8(kTagRedName, "first").Tag8(kTagRedName, "second").U8(kTagResult).U8(3);
  b.Tag16(kTagGameComment, "whole game");
  b.U8(1).Board(s.cells).Pieces(s.pieces).U32(1).U32(0).U32(0).U16(0);
  ASSERT_EQ(LoadBytes(b.bytes), kBinaryLoadOk);
  EXPECT_STREQ(currentGameHeader.timeControl, "tc");
  EXPECT_STREQ(currentGameHeader.redName, "second");
  EXPECT_EQ(currentGameHeader.result, kResultDraw);
  EXPECT_STREQ(moveComments[0].text, "whole game");
  EXPECT_EQ(posPiece[6], 0u);
  EXPECT_EQ(startSideToMove, 1u);
  EXPECT_EQ(shownSideToMove, 1u);
}

TEST(BinaryReader, OverlongTextsAreCutToTheirFields) {
  testing_support::InitEngine();
  Builder b;
  // 100 GBK characters: the cut keeps 63 of them whole (126 bytes).
  std::string chariots;
  for (int i = 0; i < 100; ++i) chariots += "\xB3\xB5";
  b.U8(7).U8(4).Tag8(kTagEvent, Filled('e', 200)).Tag16(kTagAuthor, Filled('a', 300));
  b.Tag8(kTagSite, chariots);
  b.U8(kTagResult).U8(77);  // no result code: unknown
  b.U8(0).Pieces(Standard().pieces).U32(0).U32(0).U32(1).MoveRecord(7, MoveFromText("h2e2"));
  b.U16(1).U8(9).U16(12000).Raw(Filled('c', 12000));
  ASSERT_EQ(LoadBytes(b.bytes), kBinaryLoadOk);
  EXPECT_EQ(std::string(currentGameHeader.event), Filled('e', 127));
  EXPECT_EQ(std::string(currentGameHeader.author), Filled('a', 127));
  EXPECT_EQ(std::string(currentGameHeader.site), chariots.substr(0, 126));
  EXPECT_EQ(currentGameHeader.result, kResultUnknown);
  EXPECT_EQ(std::string(moveComments[1].text), Filled('c', kBinaryLongTextCap));
  // 9 is no mark this program shows, but the file's byte is kept: a save
  // writes it back.
  EXPECT_EQ(moveComments[1].annotation, 9);
  const std::string saved = TempPath("mark9.egf");
  ASSERT_EQ(SaveBinaryGame(saved.c_str(), 7, currentGameHeader), kBinarySaveOk);
  SetAnnotation(1, kMarkNone);
  ASSERT_EQ(LoadBinaryGame(saved.c_str(), &currentGameHeader, 0), kBinaryLoadOk);
  EXPECT_EQ(moveComments[1].annotation, 9);
}

// ---------------------------------------------------------------------------
// Refused moves end the game (the file is read in part, the move logged);
// the shown ply is held to it
// ---------------------------------------------------------------------------

TEST(BinaryReader, TheFirstRefusedMoveEndsTheGame) {
  // Move 3 jumps a chariot over a pawn: not a move at all.
  Builder b = StandardFile(6, 5, 5);
  b.MoveRecord(6, MoveFromText("h2e2"), 0, 40, 3, 1).MoveRecord(6, MoveFromText("h9g7"), 0, -8, 4, 0);
  b.MoveRecord(6, MoveFromText("i0i5")).MoveRecord(6, MoveFromText("h0g2")).MoveRecord(6, MoveFromText("i9h9"));
  SetUpUserGame();
  LogCapture log;
  ASSERT_EQ(LoadBytes(b.bytes), kBinaryLoadPartial);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_NE(log.lines()[0].find("move 3 (i0i5) refused"), std::string::npos) << log.lines()[0];
  EXPECT_EQ(gameLength, 2);
  EXPECT_EQ(gamePly, 2);
  EXPECT_EQ(history[1].engineScore, 40);
  EXPECT_EQ(history[2].engineScore, -8);
  EXPECT_EQ(ReplayOne(), 0);
}

TEST(BinaryReader, AMoveThatExposesTheKingEndsTheGame) {
  // A red chariot shields its king from a black chariot; moving it off the
  // file is a chariot move (CheckUserMove takes it) that MakeMove refuses.
  StartPosition s;
  s.Put(1, 4, 9);
  s.Put(8, 4, 7);
  s.Put(24, 4, 2);
  s.Put(17, 3, 0);
  Builder b;
  b.U8(7).U8(0).U8(1).Board(s.cells).Pieces(s.pieces).U32(0).U32(9).U32(4);
  b.MoveRecord(7, MakeMoveCode(MakeSquare(4, 7), MakeSquare(4, 6)), 0, 55, 7, 1);
  b.MoveRecord(7, MakeMoveCode(MakeSquare(3, 0), MakeSquare(3, 1)));
  b.MoveRecord(7, MakeMoveCode(MakeSquare(4, 6), MakeSquare(0, 6)));
  b.MoveRecord(7, MakeMoveCode(MakeSquare(3, 1), MakeSquare(3, 0)));
  b.U16(4).U8(0).U16(1).Raw("1").U8(0).U16(1).Raw("2").U8(0).U16(1).Raw("3").U8(0).U16(1).Raw("4");
  SetUpUserGame();
  LogCapture log;
  ASSERT_EQ(LoadBytes(b.bytes), kBinaryLoadPartial);
  EXPECT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(gameLength, 2);
  EXPECT_EQ(gamePly, 2);
  EXPECT_EQ(history[1].engineDepth, 7);
  EXPECT_EQ(displayBoard[MakeSquare(4, 6)], 8);
  EXPECT_EQ(shownSideToMove, 0u);
  EXPECT_STREQ(moveComments[2].text, "2");
}

// ---------------------------------------------------------------------------
// Files damaged before their moves leave the game exactly as it was
// ---------------------------------------------------------------------------

void ExpectRefusedAndUnchanged(const Bytes& bytes, const std::string& what) {
  SetUpUserGame();
  const FullState before = FullState::Take();
  EXPECT_EQ(LoadBytes(bytes), kBinaryLoadFailed) << what;
  EXPECT_TRUE(FullState::Take() == before) << what;
}

// The moves of the game on the board.
std::vector<Move> GameMoves() {
  std::vector<Move> moves;
  for (int ply = 1; ply <= gameLength; ++ply) moves.push_back(history[ply].move);
  return moves;
}

TEST(BinaryReader, ATruncatedFileKeepsTheMovesReadBeforeTheCut) {
  // Each file with the offset of its first move record (0: not worked out).
  struct File {
    Bytes bytes;
    size_t movesStart;
  };
  std::vector<File> files;
  for (int version = 1; version <= 7; ++version) {
    Builder b = StandardFile(version, 1, 2);
    if (version >= 4) {
      b.bytes[1] = 1;  // one tag
      b.bytes.insert(b.bytes.begin() + 2, {kTagEvent, 2, 'e', 'v'});
    }
    const size_t movesStart = b.bytes.size();
    b.MoveRecord(version, MoveFromText("h2e2")).MoveRecord(version, MoveFromText("h9g7"));
    if (version == 7) b.U16(2).U8(1).U16(0).U8(0).U16(2).Raw("hi");
    files.push_back({b.bytes, movesStart});
  }
  SetUpFen(testing_support::kStartFen);
  PlayRandomGame(6, 3);
  SetComment(4, "four");
  ASSERT_EQ(SaveBinaryGame(TempPath("written.egf").c_str(), 7, currentGameHeader), 0);
  files.push_back({ReadBytes(TempPath("written.egf")), 0});

  LogCapture log;
  for (const File& file : files) {
    const int version = file.bytes[0];
    const size_t recordSize = version >= 5 ? 20 : 8;
    SetUpUserGame();
    ASSERT_EQ(LoadBytes(file.bytes), kBinaryLoadOk) << "version " << version;
    const std::vector<Move> whole = GameMoves();
    // A cut before the moves leaves the user's game alone; a later one
    // keeps the moves whose records are whole.
    bool kept = false;
    SetUpUserGame();
    for (size_t n = 0; n < file.bytes.size(); ++n) {
      SCOPED_TRACE("version " + std::to_string(version) + " cut at " + std::to_string(n));
      const FullState before = FullState::Take();
      const int result = LoadBytes(Bytes(file.bytes.begin(), file.bytes.begin() + n));
      if (result == kBinaryLoadFailed) {
        ASSERT_FALSE(kept) << "refused after a shorter cut was read in part";
        ASSERT_EQ(gameLength, 4) << "the user's game";
        ASSERT_TRUE(FullState::Take() == before);
        continue;
      }
      ASSERT_EQ(result, kBinaryLoadPartial);
      if (file.movesStart != 0) {
        ASSERT_GE(n, file.movesStart);
        const size_t records = std::min<size_t>((n - file.movesStart) / recordSize, whole.size());
        ASSERT_EQ(static_cast<size_t>(gameLength), records);
      }
      kept = true;
      const std::vector<Move> moves = GameMoves();
      ASSERT_LE(moves.size(), whole.size());
      ASSERT_TRUE(std::equal(moves.begin(), moves.end(), whole.begin()));
    }
    EXPECT_TRUE(kept);
    if (version == 7) {
      // Only the last comment is cut: every move is kept.
      SetUpUserGame();
      ASSERT_EQ(LoadBytes(Bytes(file.bytes.begin(), file.bytes.end() - 1)), kBinaryLoadPartial);
      EXPECT_EQ(GameMoves(), whole);
    }
  }
  EXPECT_FALSE(log.lines().empty());
}

TEST(BinaryReader, ADamagedRecordEndsTheGameBeforeIt) {
  const Move first = MoveFromText("h2e2"), second = MoveFromText("h9g7");
  const Move cannon = MoveFromText("h0g2");
  // Two good moves, a comment on the first, then the damage.
  auto file = [&](uint32_t count, const std::function<void(Builder&)>& damage) {
    Builder b = StandardFile(7, 2, count);
    b.MoveRecord(7, first).MoveRecord(7, second);
    damage(b);
    return b.bytes;
  };
  auto comments = [](Builder& b) { b.U16(2).U8(kMarkGood).U16(3).Raw("one"); };
  const struct {
    const char* what;
    Bytes bytes;
    const char* logged;
  } cases[] = {
      {"from-square 0", file(3, [&](Builder& b) { b.MoveRecord(7, MakeMoveCode(0, MoveTo(cannon))); }),
       "damaged at move 3"},
      {"to-square 172", file(3, [&](Builder& b) { b.MoveRecord(7, MakeMoveCode(MoveFrom(cannon), 172)); }),
       "damaged at move 3"},
      {"from equals to",
       file(3, [&](Builder& b) { b.MoveRecord(7, MakeMoveCode(MoveFrom(cannon), MoveFrom(cannon))); }),
       "damaged at move 3"},
      {"captured piece 33", file(3, [&](Builder& b) { b.MoveRecord(7, cannon, 33); }),
       "damaged at move 3"},
      {"move count beyond a game", file(kMaxGameMoves + 1, [](Builder&) {}), "damaged at move 3"},
      {"comment count", file(2, [](Builder& b) { b.U16(kCommentSlots); }), "damaged after move 2"},
      {"comment longer than the file",
       file(2, [&](Builder& b) { comments(b); b.U8(0).U16(20).Raw("short"); }),
       "damaged after move 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetUpUserGame();
    LogCapture log;
    ASSERT_EQ(LoadBytes(c.bytes), kBinaryLoadPartial);
    EXPECT_EQ(GameMoves(), (std::vector<Move>{first, second}));
    EXPECT_EQ(gamePly, 2);
    EXPECT_STREQ(currentGameHeader.event, "");  // the user's header is gone
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find(c.logged), std::string::npos) << log.lines()[0];
  }
  // Comments read before the damage are kept.
  SetUpUserGame();
  ASSERT_EQ(LoadBytes(cases[6].bytes), kBinaryLoadPartial);
  EXPECT_STREQ(moveComments[1].text, "one");
  EXPECT_EQ(moveComments[1].annotation, kMarkGood);
}

TEST(BinaryReader, UnknownVersionsAreLoggedAndRefused) {
  for (int version : {0, 8, 0x80, 0xFF}) {
    LogCapture log;
    Builder b = StandardFile(7, 0, 0);
    b.bytes[0] = static_cast<uint8_t>(version);
    ExpectRefusedAndUnchanged(b.U16(0).bytes, "version " + std::to_string(version));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], "Error while loading VBF game : unknown version\r\n");
  }
}

TEST(BinaryReader, ImpossibleFieldsAreRefused) {
  const StartPosition standard = Standard();
  // A version 3 file over the given board and piece list with one move.
  auto v3 = [&](const StartPosition& s, uint32_t side = 0, Move m = MoveFromText("h2e2"),
                uint32_t captured = 0) {
    return Builder().U8(3).U8(1).Board(s.cells).Pieces(s.pieces).U32(side).U32(1).U32(1)
        .MoveRecord(3, m, captured).bytes;
  };
  ExpectRefusedAndUnchanged(v3(standard, 2), "side to move 2");

  StartPosition s = standard;
  s.pieces[10] = MakeSquare(4, 4);  // the list disagrees with the board
  ExpectRefusedAndUnchanged(v3(s), "piece list off its square");
  s = standard;
  s.pieces[10] = 300;
  ExpectRefusedAndUnchanged(v3(s), "piece square 300");
  s = standard;
  s.cells[MakeSquare(4, 4)] = 40;
  ExpectRefusedAndUnchanged(v3(s), "board byte 40");
  s = standard;
  s.cells[0] = 5;
  ExpectRefusedAndUnchanged(v3(s), "a piece off the playing squares");
  s = standard;
  s.cells[s.pieces[17]] = 0;
  s.pieces[17] = 0;
  ExpectRefusedAndUnchanged(v3(s), "no black king");
  s = standard;
  s.cells[s.pieces[1]] = 0;
  s.Put(1, 4, 5);
  ExpectRefusedAndUnchanged(v3(s), "red king outside its palace");
  // Black to move while red's king is attacked: red's king could be taken.
  StartPosition check;
  check.Put(1, 3, 9);
  check.Put(17, 4, 0);
  check.Put(24, 3, 5);
  ExpectRefusedAndUnchanged(v3(check, 1, MakeMoveCode(MakeSquare(4, 0), MakeSquare(4, 1))),
                            "the side not to move in check");

  s = standard;
  s.Put(10, 4, 4);  // cannon 10 on two squares of a version 1 board
  ExpectRefusedAndUnchanged(Builder().U8(1).U8(1).Board(s.cells).U32(0).U32(0).U32(0).bytes,
                            "a piece twice on the board");
  // A negative tag count.
  Builder tags = StandardFile(7, 0, 0);
  tags.bytes[1] = 0xFF;
  ExpectRefusedAndUnchanged(tags.U16(0).bytes, "tag count -1");
}

TEST(BinaryReader, AFileThatCannotBeOpenedChangesNothing) {
  SetUpUserGame();
  const FullState before = FullState::Take();
  EXPECT_EQ(LoadBinaryGame(TempPath("missing.vgf").c_str(), &currentGameHeader, 0), 1);
  EXPECT_TRUE(FullState::Take() == before);
}

// ---------------------------------------------------------------------------
// Writer failures and the autosave
// ---------------------------------------------------------------------------

TEST(BinaryWriter, FailuresAreReported) {
  SetUpUserGame();
  const FullState before = FullState::Take();
  const std::string missing = TempPath("no-such-folder/game.egf");
  EXPECT_EQ(SaveBinaryGame(missing.c_str(), 7, currentGameHeader), kBinarySaveCannotCreate);
  EXPECT_EQ(SaveVbfGame(missing.c_str()), kBinarySaveCannotCreate);
  const std::string other = TempPath("version5.egf");
  EXPECT_EQ(SaveBinaryGame(other.c_str(), 5, currentGameHeader), kBinarySaveBadVersion);
  EXPECT_NE(access(other.c_str(), F_OK), 0);
  EXPECT_TRUE(FullState::Take() == before);
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_EQ(SaveBinaryGame("/dev/full", 7, currentGameHeader), kBinarySaveWriteError);
    EXPECT_EQ(SaveVbfGame("/dev/full"), kBinarySaveWriteError);
    EXPECT_EQ(gamePly, 3);
    EXPECT_EQ(gameLength, 4);
  }
}

class AutoSave : public testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitEngine();
    std::memcpy(savedDirectory_, installDirectory, sizeof savedDirectory_);
    const std::string dir = TempPath("install-" + std::to_string(counter_++) + "/nested");
    std::snprintf(installDirectory, sizeof installDirectory, "%s", dir.c_str());
    path_ = dir + "/CurrentGameV1.vgf";
    temporary_ = path_ + ".tmp";
  }
  void TearDown() override {
    std::memcpy(installDirectory, savedDirectory_, sizeof savedDirectory_);
  }
  char savedDirectory_[kPathBufferSize];
  std::string path_, temporary_;
  static inline int counter_ = 0;
};

TEST_F(AutoSave, WritesVersion7IntoTheInstallDirectory) {
  SetUpUserGame();
  const GameRecord saved = Record();
  AutoSaveCurrentGame();
  const Bytes file = ReadBytes(path_);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(file[0], 7);
  EXPECT_NE(access(temporary_.c_str(), F_OK), 0);
  EXPECT_EQ(std::string(gameFileName), path_);
  ResetGameState(0);
  ASSERT_EQ(LoadBinaryGame(path_.c_str(), &currentGameHeader, 1), kBinaryLoadOk);
  const GameRecord loaded = Record();
  EXPECT_EQ(loaded.moves, saved.moves);
  EXPECT_EQ(loaded.ply, 3);
  EXPECT_EQ(loaded.comments, saved.comments);
  EXPECT_STREQ(loaded.header.event, "user event");
}

// Runs the autosave in a child process whose files may grow to `limit`
// bytes (none when 0), as the program autosaves at exit.
void AutoSaveInChild(rlim_t limit) {
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit r{limit, limit};
    if (limit != 0 && setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(1);
    AutoSaveCurrentGame();
    _exit(0);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(AutoSave, AFailedSaveLeavesThePreviousAutosave) {
  SetUpUserGame();
  AutoSaveCurrentGame();
  const Bytes previous = ReadBytes(path_);
  ASSERT_FALSE(previous.empty());
  PlayMove(MoveFromText("h7e7"));
  // Writing fails part way (a file size limit): the previous autosave
  // stays, and nothing else is left beside it.
  AutoSaveInChild(16);
  EXPECT_EQ(ReadBytes(path_), previous);
  const std::string folder = std::filesystem::path(path_).parent_path().string();
  EXPECT_EQ(FolderListing(folder), std::vector<std::string>{"CurrentGameV1.vgf"});
  AutoSaveCurrentGame();
  EXPECT_NE(ReadBytes(path_), previous);
}

// Names planted where saves put their temporary files: links are never
// followed (the file a link leads to stays as it was, the autosave is a
// file of its own) and the files that saves killed part-way left are
// removed by the next save; other files stay.
TEST_F(AutoSave, PlantedLinksAreNeverFollowedAndLeftoversAreRemoved) {
  SetUpUserGame();
  AutoSaveCurrentGame();
  const std::string folder = std::filesystem::path(path_).parent_path().string();
  const std::string outside = TempPath("outside-" + std::to_string(getpid()));
  std::ofstream(outside) << "precious";
  const std::string patternLink = folder + "/.CurrentGameV1.vgf.0badf00d.tmp";
  ASSERT_EQ(symlink(outside.c_str(), temporary_.c_str()), 0);
  ASSERT_EQ(symlink(outside.c_str(), patternLink.c_str()), 0);
  for (const char* leftover : {"/.CurrentGameV1.vgf.12345678.tmp", "/.CurrentGameV1.vgf.abcdef01.tmp"}) {
    std::ofstream(folder + leftover) << "half a game";
  }
  std::ofstream(folder + "/.Other.vgf.12345678.tmp") << "another file's";
  PlayMove(MoveFromText("h7e7"));
  const std::string reference = TempPath("reference-" + std::to_string(getpid()) + ".vgf");
  ASSERT_EQ(SaveBinaryGame(reference.c_str(), kBinaryVersionEgf, currentGameHeader), kBinarySaveOk);

  AutoSaveInChild(0);
  EXPECT_EQ(ReadBytes(outside), (Bytes{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(FolderListing(folder),
            (std::vector<std::string>{".CurrentGameV1.vgf.0badf00d.tmp", ".Other.vgf.12345678.tmp",
                                      "CurrentGameV1.vgf", "CurrentGameV1.vgf.tmp"}));
  EXPECT_EQ(ReadBytes(path_), ReadBytes(reference));
  std::remove(outside.c_str());
  std::remove(reference.c_str());
}

}  // namespace
