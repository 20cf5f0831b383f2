// The database reader on records built byte by byte: header fields, start
// positions, both move forms, comments, and every way a damaged record or
// index entry is refused without touching the user's game.
#include "game/database.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/search/game_files_hooks.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/gzip_reader.h"
#include "tests/support/test_position.h"
#include "tests/support/zlib_deflate.h"

namespace {

using testing_support::CurrentFen;
using testing_support::LegalMoves;
using testing_support::MoveFromText;
using Bytes = std::vector<uint8_t>;

// ---------------------------------------------------------------------------
// Record bytes
// ---------------------------------------------------------------------------
struct Writer {
  Bytes bytes;
  Writer& U8(uint32_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  Writer& U16Be(uint32_t v) { return U8(v >> 8).U8(v); }
  Writer& U16Le(uint32_t v) { return U8(v).U8(v >> 8); }
  Writer& U32Le(uint32_t v) { return U16Le(v & 0xFFFF).U16Le(v >> 16); }
  Writer& Raw(const std::string& s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  Writer& Text(const std::string& s) { return U8(static_cast<uint32_t>(s.size())).Raw(s); }
};

struct MoveSpec {
  Move move;
  int32_t score = 0;
  int32_t depth = 0;
};
struct CommentSpec {
  uint8_t mark = 0;
  std::string text;
};

struct RecordSpec {
  int version = 0;
  // event, site, date, round, redName, redElo, blackName, blackElo
  std::vector<std::string> texts = {"Cup", "Paris", "2003.01.02", "7", "Lin", "2450", "Wu", "2390"};
  uint16_t databaseValue = 0x1234;
  uint8_t result = 1;
  std::string author = "ed";
  std::string timeControl = "40/2h";
  bool customStart = false;
  int8_t board[kBoardSize] = {};
  uint32_t pieces[33] = {};
  uint8_t side = 0;
  uint16_t shownPly = 0;
  bool longForm = true;
  std::vector<MoveSpec> moves;
  uint32_t lastCommentSlot = 0;  // written as the comment count N
  std::vector<CommentSpec> comments = {{0, ""}};  // the slots actually written
};

Bytes Build(const RecordSpec& r) {
  Writer w;
  w.U8(static_cast<uint32_t>(r.version));
  for (int i = 0; i < 8; ++i) w.Text(r.texts[i]);
  w.U16Be(r.databaseValue).U8(r.result).Text(r.author).Text(r.timeControl);
  w.U8(r.customStart ? 0 : 1);
  if (r.customStart) {
    for (int8_t c : r.board) w.U8(static_cast<uint8_t>(c));
    for (uint32_t s : r.pieces) w.U32Le(s);
    w.U8(r.side);
  }
  w.U16Le(r.shownPly).U16Le(static_cast<uint32_t>(r.moves.size())).U8(r.longForm ? 1 : 0);
  for (const MoveSpec& m : r.moves) {
    w.U16Le(MoveFrom(m.move)).U16Le(MoveTo(m.move));
    if (r.longForm) w.U32Le(static_cast<uint32_t>(m.score)).U32Le(static_cast<uint32_t>(m.depth));
  }
  w.U16Be(r.lastCommentSlot);
  for (const CommentSpec& c : r.comments)
    w.U8(c.mark).U16Be(static_cast<uint32_t>(c.text.size())).Raw(c.text);
  return w.bytes;
}

// A game from the standard start: cannon to the centre and three replies.
RecordSpec FourMoveGame() {
  RecordSpec r;
  const char* moves[] = {"h2e2", "h9g7", "h0g2", "i9h9"};
  int n = 0;
  for (const char* text : moves) r.moves.push_back({MoveFromText(text), 10 * ++n, n + 3});
  r.shownPly = 2;
  r.lastCommentSlot = 2;
  r.comments = {{0, "the game"}, {4, ""}, {2, "second move"}};
  return r;
}

std::string FenAfter(const std::vector<const char*>& moves) {
  testing_support::SetUpFen(testing_support::kStartFen);
  for (const char* m : moves) EXPECT_EQ(testing_support::PlayMove(MoveFromText(m)), 1) << m;
  return CurrentFen();
}

// A gzip member holding the data.
Bytes Gzip(const Bytes& data) { return testing_support::ZlibDeflate(data, 31, 32); }

// A stored record: 3 lead bytes, then the data as given.
Bytes Stored(const Bytes& data) {
  Bytes out = {0xA5, 0x5A, 0x00};
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// ---------------------------------------------------------------------------
// The whole game as the user sees it, for "nothing changed" checks.
// ---------------------------------------------------------------------------
struct GameImage {
  testing_support::PositionSnapshot position;
  std::vector<int8_t> shown;
  uint32_t shownSide, startSide;
  int32_t ply, length;
  std::vector<Move> moves;
  std::string header;
  std::vector<std::string> comments;
  std::string fileName;

  static GameImage Take() {
    GameImage g;
    g.position = testing_support::PositionSnapshot::Take();
    g.shown.assign(displayBoard, displayBoard + kBoardSize);
    g.shownSide = shownSideToMove;
    g.startSide = startSideToMove;
    g.ply = gamePly;
    g.length = gameLength;
    for (int i = 1; i <= gameLength; ++i) g.moves.push_back(history[i].move);
    g.header.assign(reinterpret_cast<const char*>(&currentGameHeader), sizeof currentGameHeader);
    for (const MoveComment& c : moveComments)
      g.comments.push_back(std::to_string(c.annotation) + (c.text ? c.text : "<none>"));
    g.fileName = gameFileName;
    return g;
  }
  bool operator==(const GameImage& o) const {
    return position == o.position && shown == o.shown && shownSide == o.shownSide &&
           startSide == o.startSide && ply == o.ply && length == o.length && moves == o.moves &&
           header == o.header && comments == o.comments && fileName == o.fileName;
  }
};

class DatabaseTest : public testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitEngine();
    // The user's game: two moves, a comment and a named player.
    LoadedGame game;
    game.moves = {{MoveFromText("b2e2")}, {MoveFromText("b9c7")}};
    SetLoadedComment(game, 1, "user comment");
    SetHeaderText(game.header.redName, "User");
    game.fileName = "user.egf";
    ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
    before_ = GameImage::Take();
    directory_ = testing::TempDir() + "vorelk-database-" + std::to_string(getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  bool Unchanged() const { return GameImage::Take() == before_; }

  // Writes the stored records one after another behind some leading bytes
  // and points db at them.
  void WriteDatabase(CGameDatabase& db, const std::vector<Bytes>& records) {
    db.fileName = directory_ + "/games.vzd";
    Bytes file(100, 0x77);
    db.index.clear();
    for (const Bytes& r : records) {
      db.index.push_back({static_cast<uint16_t>(r.size()), 0, static_cast<uint32_t>(file.size())});
      file.insert(file.end(), r.begin(), r.end());
    }
    db.gameCount = static_cast<int32_t>(db.index.size());
    std::FILE* f = std::fopen(db.fileName.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(file.data(), 1, file.size(), f), file.size());
    std::fclose(f);
  }

  int Parse(const Bytes& data, GameHeader* header, int load, int withComments,
            int32_t* count = nullptr) {
    return ParseDatabaseGame(data.data(), data.size(), header, count, load, withComments);
  }

  GameImage before_;
  std::string directory_;
};

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------
TEST_F(DatabaseTest, HeaderOnlyReadLeavesTheGame) {
  GameHeader h = emptyGameHeader;
  int32_t count = -1;
  EXPECT_EQ(Parse(Build(FourMoveGame()), &h, 0, 0, &count), kDatabaseRecordRead);
  EXPECT_EQ(count, 4);
  EXPECT_STREQ(h.event, "Cup");
  EXPECT_STREQ(h.site, "Paris");
  EXPECT_STREQ(h.date, "2003.01.02");
  EXPECT_STREQ(h.round, "7");
  EXPECT_STREQ(h.redName, "Lin");
  EXPECT_STREQ(h.redElo, "2450");
  EXPECT_STREQ(h.blackName, "Wu");
  EXPECT_STREQ(h.blackElo, "2390");
  EXPECT_STREQ(h.author, "ed");
  EXPECT_STREQ(h.timeControl, "40/2h");
  EXPECT_EQ(h.databaseValue, 0x1234);  // big-endian in the record
  EXPECT_EQ(h.result, 1);
  EXPECT_EQ(h.hasInfo, 1);
  EXPECT_TRUE(Unchanged());

  // The date alone is no header information.
  RecordSpec dateOnly = FourMoveGame();
  dateOnly.texts = {"", "", "2003", "", "", "", "", ""};
  dateOnly.author = dateOnly.timeControl = "";
  EXPECT_EQ(Parse(Build(dateOnly), &h, 0, 0, &count), kDatabaseRecordRead);
  EXPECT_EQ(h.hasInfo, 0);
  EXPECT_STREQ(h.date, "2003");
  EXPECT_STREQ(h.event, "");
  dateOnly.timeControl = "5 min";
  EXPECT_EQ(Parse(Build(dateOnly), &h, 0, 0, &count), kDatabaseRecordRead);
  EXPECT_EQ(h.hasInfo, 1);
}

TEST_F(DatabaseTest, LoadsMovesScoresShownPlyAndComments) {
  const std::string shownFen = FenAfter({"h2e2", "h9g7"});
  SetUp();
  EXPECT_EQ(Parse(Build(FourMoveGame()), &currentGameHeader, 1, 1), kDatabaseRecordRead);
  EXPECT_EQ(gameLength, 4);
  EXPECT_EQ(gamePly, 2);
  EXPECT_STREQ(currentGameHeader.redName, "Lin");
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(history[i].engineScore, 10 * i);
    EXPECT_EQ(history[i].engineDepth, i + 3);
  }
  EXPECT_EQ(history[1].move, MoveFromText("h2e2"));
  EXPECT_STREQ(history[1].wxfText, " C2.5");
  EXPECT_STREQ(history[4].wxfText, " r9.8");
  EXPECT_EQ(CurrentFen(), shownFen);
  EXPECT_EQ(std::memcmp(displayBoard, board, sizeof board), 0);
  EXPECT_EQ(CheckPositionConsistency(), 1);
  ASSERT_NE(moveComments[0].text, nullptr);
  EXPECT_STREQ(moveComments[0].text, "the game");
  EXPECT_EQ(moveComments[1].text, nullptr);
  EXPECT_EQ(moveComments[1].annotation, 4);
  ASSERT_NE(moveComments[2].text, nullptr);
  EXPECT_STREQ(moveComments[2].text, "second move");
  EXPECT_EQ(moveComments[2].annotation, 2);
  EXPECT_EQ(gameFileName[0], '\0');

  // All four moves can be replayed.
  ReplayAll();
  EXPECT_EQ(gamePly, 4);
}

TEST_F(DatabaseTest, ShortMovesAndCommentsLeftOut) {
  RecordSpec r = FourMoveGame();
  r.longForm = false;
  r.shownPly = 9;  // beyond the moves: the last one is shown
  GameHeader h = emptyGameHeader;
  EXPECT_EQ(Parse(Build(r), &h, 1, 0), kDatabaseRecordRead);
  EXPECT_EQ(gameLength, 4);
  EXPECT_EQ(gamePly, 4);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(history[i].engineScore, 0);
  for (const MoveComment& c : moveComments) {
    EXPECT_EQ(c.text, nullptr);
    EXPECT_EQ(c.annotation, 0);
  }
  EXPECT_STREQ(h.event, "Cup");
}

TEST_F(DatabaseTest, CustomStartPosition) {
  const char* fen = "3k5/9/4P4/9/9/9/9/9/4A4/3AK4 b";
  RecordSpec r;
  uint32_t side = 0;
  ReadFenToBoard(fen, r.board, r.pieces, &side);
  ASSERT_EQ(side, kBlack);
  for (int i = 1; i <= 32; ++i)
    if (r.pieces[i] == 0 && i % 2 == 0) r.pieces[i] = 255;  // both absent forms
  r.customStart = true;
  r.side = 1;
  testing_support::SetUpFen(fen);
  const Move reply = LegalMoves().front();
  r.moves = {{reply}};
  r.shownPly = 1;
  testing_support::PlayMove(reply);
  const std::string expected = CurrentFen();

  // Back to the user's game, then load.
  SetUp();
  ASSERT_EQ(Parse(Build(r), &currentGameHeader, 1, 1), kDatabaseRecordRead);
  EXPECT_EQ(startSideToMove, kBlack);
  EXPECT_EQ(gameLength, 1);
  EXPECT_EQ(CurrentFen(), expected);
  EXPECT_EQ(CheckPositionConsistency(), 1);
  TakeBackAll();
  EXPECT_EQ(CurrentFen(), "3k5/9/4P4/9/9/9/9/9/4A4/3AK4 b");
}

TEST_F(DatabaseTest, BadVersionIsLoggedAndRefused) {
  RecordSpec r = FourMoveGame();
  r.version = 1;
  testing_support::LogCapture log;
  GameHeader h = emptyGameHeader;
  EXPECT_EQ(Parse(Build(r), &currentGameHeader, 1, 1), kDatabaseBadVersion);
  EXPECT_EQ(Parse(Build(r), &h, 0, 0), kDatabaseBadVersion);
  ASSERT_EQ(log.lines().size(), 2u);
  EXPECT_EQ(log.lines()[0], "Error while loading vzd game : unknown version\r\n");
  EXPECT_TRUE(Unchanged());
  r.version = -1;  // 0 and below are read
  EXPECT_EQ(Parse(Build(r), &currentGameHeader, 1, 1), kDatabaseRecordRead);
}

TEST_F(DatabaseTest, EveryTruncatedRecordIsRefused) {
  RecordSpec r = FourMoveGame();
  r.customStart = true;
  uint32_t side = 0;
  ReadFenToBoard(testing_support::kStartFen, r.board, r.pieces, &side);
  const Bytes whole = Build(r);
  GameHeader h = emptyGameHeader;
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    const Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
    ASSERT_EQ(Parse(part, &currentGameHeader, 1, 1), kDatabaseDamaged) << "cut at " << cut;
    ASSERT_TRUE(Unchanged()) << "cut at " << cut;
  }
  // Without comments only the comment count must be there; without loading
  // the record may end after the move count.
  const size_t slotBytes = (3 + 8) + 3 + (3 + 11);
  EXPECT_EQ(Parse(Bytes(whole.begin(), whole.end() - slotBytes), &h, 1, 0), kDatabaseRecordRead);
  EXPECT_EQ(Parse(Bytes(whole.begin(), whole.end() - slotBytes - 1), &h, 1, 0), kDatabaseDamaged);
  SetUp();
  const size_t countEnd = whole.size() - slotBytes - 2 - 4 * 12 - 1;
  int32_t count = 0;
  EXPECT_EQ(Parse(Bytes(whole.begin(), whole.begin() + static_cast<long>(countEnd)), &h, 0, 0, &count),
            kDatabaseRecordRead);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(Parse(Bytes(whole.begin(), whole.begin() + static_cast<long>(countEnd - 1)), &h, 0, 0),
            kDatabaseDamaged);
}

TEST_F(DatabaseTest, OverlongFieldsAreCut) {
  RecordSpec r = FourMoveGame();
  r.texts[0] = std::string(255, 'e');
  r.timeControl = std::string(200, 't');
  r.lastCommentSlot = 1500;  // more slots than the store holds: the rest is not read
  r.comments.assign(kCommentSlots, CommentSpec{});
  r.comments[1] = {1, std::string(12000, 'c')};
  r.comments[kCommentSlots - 1] = {5, "last slot"};
  ASSERT_EQ(Parse(Build(r), &currentGameHeader, 1, 1), kDatabaseRecordRead);
  EXPECT_EQ(std::string(currentGameHeader.event), std::string(127, 'e'));
  EXPECT_EQ(std::string(currentGameHeader.timeControl), std::string(127, 't'));
  ASSERT_NE(moveComments[1].text, nullptr);
  EXPECT_EQ(std::strlen(moveComments[1].text), kDatabaseCommentCap);
  ASSERT_NE(moveComments[kCommentSlots - 1].text, nullptr);
  EXPECT_STREQ(moveComments[kCommentSlots - 1].text, "last slot");
  EXPECT_EQ(moveComments[kCommentSlots - 1].annotation, 5);
}

TEST_F(DatabaseTest, MovesEndBeforeTheFirstUnplayableOne) {
  RecordSpec r = FourMoveGame();
  r.moves[1].move = MakeMoveCode(0xFFFF, 0xFFFF);
  r.shownPly = 3;
  ASSERT_EQ(Parse(Build(r), &currentGameHeader, 1, 1), kDatabaseRecordRead);
  EXPECT_EQ(gameLength, 1);
  EXPECT_EQ(gamePly, 1);
  // A red move where black is to move, and a move into check.
  r = FourMoveGame();
  r.moves[1].move = MoveFromText("h0g2");
  ASSERT_EQ(Parse(Build(r), &currentGameHeader, 1, 1), kDatabaseRecordRead);
  EXPECT_EQ(gameLength, 1);
  EXPECT_EQ(CheckPositionConsistency(), 1);
}

TEST_F(DatabaseTest, UnsoundStartPositionIsRefused) {
  RecordSpec good;
  good.customStart = true;
  uint32_t side = 0;
  ReadFenToBoard(testing_support::kStartFen, good.board, good.pieces, &side);
  RecordSpec outOfRange = good;
  outOfRange.board[MakeSquare(4, 4)] = 40;
  RecordSpec offBoard = good;
  offBoard.board[3] = 20;
  offBoard.pieces[20] = 3;
  RecordSpec disagree = good;
  disagree.pieces[8] = MakeSquare(4, 4);
  RecordSpec noKing = good;
  noKing.board[noKing.pieces[17]] = 0;
  noKing.pieces[17] = 0;
  RecordSpec hugeSquare = good;
  hugeSquare.pieces[9] = 0xFFFFFF00u;
  testing_support::LogCapture log;
  for (const RecordSpec* r : {&outOfRange, &offBoard, &disagree, &noKing, &hugeSquare}) {
    EXPECT_EQ(Parse(Build(*r), &currentGameHeader, 1, 1), kDatabaseDamaged);
    EXPECT_TRUE(Unchanged());
  }
  EXPECT_EQ(Parse(Build(good), &currentGameHeader, 1, 1), kDatabaseRecordRead);
}

// ---------------------------------------------------------------------------
// Stored records and the index
// ---------------------------------------------------------------------------
TEST_F(DatabaseTest, LoadsGzipAndPlainRecords) {
  CGameDatabase db;
  const Bytes record = Build(FourMoveGame());
  // Two members that together hold the record.
  const Bytes firstHalf(record.begin(), record.begin() + 40);
  const Bytes secondHalf(record.begin() + 40, record.end());
  Bytes joined = Stored(Gzip(firstHalf));
  const Bytes tail = Gzip(secondHalf);
  joined.insert(joined.end(), tail.begin(), tail.end());
  WriteDatabase(db, {Stored(Gzip(record)), Stored(record), joined});

  for (int32_t number = 0; number < 3; ++number) {
    SetUp();
    GameHeader h = emptyGameHeader;
    int32_t count = -1;
    ASSERT_EQ(db.LoadGame(number, &h, &count, 0, 0), 1) << number;
    EXPECT_EQ(count, 4);
    EXPECT_STREQ(h.blackName, "Wu");
    EXPECT_TRUE(Unchanged());
    ASSERT_EQ(db.LoadGame(number, &currentGameHeader, &count, 1, 1), 1) << number;
    EXPECT_EQ(gameLength, 4);
    EXPECT_EQ(gamePly, 2);
    EXPECT_STREQ(currentGameHeader.blackName, "Wu");
    ASSERT_NE(moveComments[2].text, nullptr);
    EXPECT_STREQ(moveComments[2].text, "second move");
  }
}

TEST_F(DatabaseTest, RefusedIndexEntriesAndRecords) {
  CGameDatabase db;
  const Bytes record = Build(FourMoveGame());
  Bytes badCrc = Stored(Gzip(record));
  badCrc[badCrc.size() - 7] ^= 0x10;
  Bytes truncated = Stored(Gzip(record));
  truncated.resize(truncated.size() - 5);
  Bytes bomb = record;  // a good record followed by 17 MB of zeros
  bomb.resize(17u * 1024 * 1024, 0);
  RecordSpec versioned = FourMoveGame();
  versioned.version = 3;
  WriteDatabase(db, {Stored(Gzip(record)), badCrc, truncated, Stored(Gzip(bomb)),
                     Stored(Gzip(Build(versioned))), Stored({})});
  ASSERT_LT(db.index[3].length, kDatabaseRecordSize);
  db.index.push_back(db.index[0]);
  db.index.back().length = 2;  // shorter than the lead bytes
  db.index.push_back(db.index[0]);
  db.index.back().length = static_cast<uint16_t>(kDatabaseRecordSize + 1);
  db.index.push_back(db.index[0]);
  db.index.back().offset = 1u << 30;  // beyond the end of the file
  db.gameCount = static_cast<int32_t>(db.index.size());

  testing_support::LogCapture log;
  int32_t count = 0;
  for (int32_t number = 1; number < db.gameCount; ++number) {
    EXPECT_EQ(db.LoadGame(number, &currentGameHeader, &count, 1, 1), 0) << number;
    EXPECT_TRUE(Unchanged()) << number;
  }
  // Numbers outside the index, or beyond the entries that exist.
  EXPECT_EQ(db.LoadGame(-1, &currentGameHeader, &count, 1, 1), 0);
  EXPECT_EQ(db.LoadGame(db.gameCount, &currentGameHeader, &count, 1, 1), 0);
  db.gameCount = 100;
  EXPECT_EQ(db.LoadGame(50, &currentGameHeader, &count, 1, 1), 0);
  // A missing file.
  db.fileName = directory_ + "/missing.vzd";
  EXPECT_EQ(db.LoadGame(0, &currentGameHeader, &count, 1, 1), 0);
  EXPECT_TRUE(Unchanged());
  // An empty index finds nothing.
  CGameDatabase empty;
  EXPECT_EQ(empty.LoadGame(0, &currentGameHeader, &count, 1, 1), 0);
  EXPECT_TRUE(Unchanged());
}

TEST_F(DatabaseTest, DeferredRequestLoadsTheCurrentGame) {
  RecordSpec other = FourMoveGame();
  other.texts[4] = "Second";
  WriteDatabase(gameDatabase, {Stored(Gzip(Build(FourMoveGame()))), Stored(Gzip(Build(other)))});
  gameDatabase.currentGame = 1;
  LoadDatabaseGameRequested();
  EXPECT_STREQ(currentGameHeader.redName, "Second");
  EXPECT_EQ(gameLength, 4);
  ASSERT_NE(moveComments[0].text, nullptr);
  EXPECT_STREQ(moveComments[0].text, "the game");

  // Without a game to read the request changes nothing.
  SetUp();
  gameDatabase.currentGame = 5;
  LoadDatabaseGameRequested();
  EXPECT_TRUE(Unchanged());
  gameDatabase.index.clear();
  gameDatabase.gameCount = 0;
  gameDatabase.currentGame = 0;
}

}  // namespace
