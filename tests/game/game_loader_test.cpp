// The staging of loaded games: the session that saves and restores the
// user's game, staged moves and start positions, the commit and the capture
// of the current game.
#include "game/game_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/new_game.h"
#include "engine/search/opening_names.h"
#include "game/comments.h"
#include "game/header.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::CurrentFen;
using testing_support::InitEngine;
using testing_support::MoveFromText;
using testing_support::PositionSnapshot;

// Everything of the user's game that a failed or aborted load must keep.
struct GameSnapshot {
  PositionSnapshot position;
  std::vector<uint8_t> historyBytes;
  GameHeader header;
  std::vector<std::string> comments;
  std::vector<uint8_t> marks;
  std::string fileName;
  int32_t ply, length, opening;
  uint32_t startSide, shownSide;
  std::vector<int8_t> shown;

  static GameSnapshot Take() {
    GameSnapshot s;
    s.position = PositionSnapshot::Take();
    const auto* h = reinterpret_cast<const uint8_t*>(history);
    s.historyBytes.assign(h, h + sizeof history);
    s.header = currentGameHeader;
    for (int i = 0; i < kCommentSlots; ++i) {
      s.comments.push_back(moveComments[i].text != nullptr ? moveComments[i].text : "<none>");
      s.marks.push_back(moveComments[i].annotation);
    }
    s.fileName = gameFileName;
    s.ply = gamePly;
    s.length = gameLength;
    s.opening = currentOpening;
    s.startSide = startSideToMove;
    s.shownSide = shownSideToMove;
    s.shown.assign(displayBoard, displayBoard + kBoardSize);
    return s;
  }
  bool operator==(const GameSnapshot& o) const {
    return position == o.position && historyBytes == o.historyBytes &&
           std::memcmp(&header, &o.header, sizeof header) == 0 && comments == o.comments &&
           marks == o.marks && fileName == o.fileName && ply == o.ply && length == o.length &&
           opening == o.opening && startSide == o.startSide && shownSide == o.shownSide &&
           shown == o.shown;
  }
};

LoadedGame GameOf(const std::vector<std::string>& moves) {
  LoadedGame g;
  for (const std::string& m : moves) {
    LoadedMove lm;
    lm.move = MoveFromText(m);
    g.moves.push_back(lm);
  }
  return g;
}

// A user game: six moves, comments, marks, a header, shown at ply 4.
void SetUpUserGame() {
  InitEngine();
  LoadedGame g = GameOf({"h2e2", "h9g7", "h0g2", "i9h9", "b2c2", "b9c7"});
  SetHeaderText(g.header.redName, "User Red");
  g.header.result = kResultDraw;
  SetLoadedComment(g, 0, "game comment");
  SetLoadedComment(g, 3, "third");
  SetLoadedMark(g, 2, kMarkGood);
  g.moves[1].engineScore = 35;
  g.moves[1].engineDepth = 9;
  g.moves[1].engineMove = 1;
  g.fileName = "/somewhere/user.egf";
  g.shownPly = 4;
  ASSERT_EQ(CommitLoadedGame(g), 1);
}

constexpr const char* kPinFen = "3k5/9/4r4/9/9/4R4/9/9/9/4K4 w";

TEST(StagingSessionTest, LeavesTheUserGameExactlyAsItWas) {
  SetUpUserGame();
  const GameSnapshot before = GameSnapshot::Take();
  LoadedGame staged = GameOf({"b0c2"});
  {
    StagingSession session(staged);
    ASSERT_TRUE(session.open());
    EXPECT_EQ(StagingActive(), 1);
    EXPECT_EQ(gamePly, 1);
    EXPECT_EQ(sideToMove, kBlack);
    EXPECT_EQ(StageMove(staged, MoveFromText("b9c7")), kStageAccepted);
    UnstageMove(staged);
    EXPECT_EQ(staged.moves.size(), 1u);
    ASSERT_EQ(StageStartFen(staged, kPinFen), 1);
    EXPECT_EQ(CurrentFen(), kPinFen);
    EXPECT_EQ(StageMove(staged, MoveFromText("e4e7")), kStageAccepted);
    EXPECT_EQ(CheckPositionConsistency(), 1);
    // A second session cannot open inside the first.
    EXPECT_EQ(BeginStaging(staged), 0);
  }
  EXPECT_EQ(StagingActive(), 0);
  EXPECT_TRUE(GameSnapshot::Take() == before);
  EXPECT_EQ(CheckPositionConsistency(), 1);
  // The restored game still steps as before.
  ASSERT_EQ(ReplayOne(), 1);
  EXPECT_EQ(gamePly, 5);
}

TEST(StagingSessionTest, MoveOutcomes) {
  InitEngine();
  LoadedGame g;
  EXPECT_EQ(StageMove(g, MoveFromText("h2e2")), kStageFull) << "no session";
  StagingSession session(g);
  ASSERT_TRUE(session.open());
  EXPECT_EQ(StageMove(g, MoveFromText("h9g7")), kStageInvalid) << "black piece, red to move";
  EXPECT_EQ(StageMove(g, MoveFromText("h2h8")), kStageInvalid) << "cannon cannot jump";
  EXPECT_EQ(StageMove(g, 0), kStageInvalid);
  EXPECT_TRUE(g.moves.empty());
  ASSERT_EQ(StageStartFen(g, kPinFen), 1);
  // The chariot in front of its king may not leave the file.
  EXPECT_EQ(StageMove(g, MoveFromText("e4a4")), kStageIllegal);
  EXPECT_EQ(CurrentFen(), kPinFen);
  EXPECT_EQ(StageMove(g, MoveFromText("e4e7")), kStageAccepted);
  EXPECT_EQ(g.moves.size(), 1u);
  EXPECT_EQ(g.moves[0].engineScore, 0);
}

TEST(StagingSessionTest, UnsoundStartPositionsAreRefused) {
  InitEngine();
  LoadedGame g = GameOf({"h2e2"});
  StagingSession session(g);
  ASSERT_TRUE(session.open());
  const std::string afterMove = CurrentFen();
  const char* unsound[] = {
      "3k5/9/9/9/9/9/9/9/9/9 w",               // no red king
      "3k5/9/9/9/9/9/9/9/9/K8 w",              // red king outside its palace
      "4k4/9/9/9/9/9/9/9/9/4K4 w",             // kings facing
      "3k5/9/9/9/9/9/9/9/3R5/4K4 w",           // black, not to move, in check
      "",                                      // nothing at all
  };
  for (const char* fen : unsound) {
    EXPECT_EQ(StageStartFen(g, fen), 0) << fen;
    EXPECT_EQ(CurrentFen(), afterMove) << fen;
    EXPECT_FALSE(g.customStart);
    EXPECT_EQ(g.moves.size(), 1u);
  }
  // Board and piece list that do not describe each other.
  int8_t cells[kBoardSize];
  uint32_t pieces[33];
  uint32_t side = 0;
  ReadFenToBoard("3k5/9/9/9/9/9/9/9/9/4K4 w", cells, pieces, &side);
  pieces[8] = MakeSquare(0, 0);  // a chariot that is not on the board
  EXPECT_EQ(IsSoundStartPosition(cells, pieces), 0);
  EXPECT_EQ(StageStartBoard(g, cells, pieces, side), 0);
  cells[MakeSquare(4, 4)] = 40;  // not a piece index
  pieces[8] = 0;
  EXPECT_EQ(IsSoundStartPosition(cells, pieces), 0);
  // A sound one replaces the start and drops the moves.
  ASSERT_EQ(StageStartFen(g, "3k5/9/9/9/9/9/9/9/9/4K4 b"), 1);
  EXPECT_TRUE(g.customStart);
  EXPECT_EQ(g.startSide, kBlack);
  EXPECT_TRUE(g.moves.empty());
}

TEST(ReadFenToBoardTest, AgreesWithParseFen) {
  const char* fens[] = {
      testing_support::kStartFen,
      "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR r",
      "3k5/9/9/9/9/9/9/9/9/4K4 b",
      "PPPPPPkPP/9/9/9/9/9/9/9/9/4K4 w",  // more pawns than a side owns
      "4k4/9/9/9/9/9/9/9/9/4K4/RRRR w",   // text beyond the tenth rank
      "3k5/9/9/9/9/9/9/9/9/4K4",          // no side: black, as ParseFen reads it
  };
  for (const char* fen : fens) {
    int8_t cells[kBoardSize];
    uint32_t pieces[33];
    uint32_t side = 7;
    ReadFenToBoard(fen, cells, pieces, &side);
    InitEngine();
    uint32_t parsedSide = 7;
    ParseFen(fen, board, posPiece, &parsedSide);
    EXPECT_EQ(std::memcmp(cells, board, sizeof cells), 0) << fen;
    EXPECT_EQ(std::memcmp(pieces, posPiece, sizeof pieces), 0) << fen;
    EXPECT_EQ(side, parsedSide) << fen;
  }
}

TEST(CommitLoadedGameTest, ReplacesTheGameWithEverythingStaged) {
  SetUpUserGame();
  Handicap = 3;  // a load always starts without a handicap
  LoadedGame g;
  {
    StagingSession session(g);
    ASSERT_TRUE(session.open());
    ASSERT_EQ(StageStartFen(g, "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b"),
              1);
    for (const char* m : {"h7e7", "h2e2", "h9g7"})
      ASSERT_EQ(StageMove(g, MoveFromText(m)), kStageAccepted) << m;
  }
  g.moves[2].engineScore = -120;
  g.moves[2].engineDepth = 11;
  g.moves[2].engineMove = 1;
  SetHeaderText(g.header.event, "Staged event");
  g.header.hasInfo = 1;
  SetLoadedComment(g, 0, "whole game");
  SetLoadedComment(g, 2, "");  // an empty text is still a text
  SetLoadedMark(g, 3, kMarkBrilliant);
  g.fileName = "/tmp/staged.pgn";
  g.shownPly = 2;
  GameHeader header = emptyGameHeader;
  ASSERT_EQ(CommitLoadedGame(g, header, 0), 1);

  EXPECT_STREQ(header.event, "Staged event");
  EXPECT_EQ(header.hasInfo, 1);
  EXPECT_EQ(Handicap, 0);
  EXPECT_EQ(gameLength, 3);
  EXPECT_EQ(gamePly, 2);
  EXPECT_EQ(startSideToMove, kBlack);
  EXPECT_EQ(sideToMove, kBlack);
  EXPECT_EQ(shownSideToMove, kBlack);
  EXPECT_EQ(std::memcmp(displayBoard, board, sizeof board), 0);
  EXPECT_STREQ(history[1].wxfText, " c8.5");
  EXPECT_STREQ(history[2].wxfText, " C2.5");
  EXPECT_STREQ(history[2].axfText, " C2=5");
  EXPECT_STREQ(history[3].wxfText, " h8+7");
  EXPECT_STRNE(history[3].wxfTextChinese, "");
  EXPECT_STRNE(history[3].axfTextChinese, "");
  EXPECT_EQ(history[3].engineScore, -120);
  EXPECT_EQ(history[3].engineDepth, 11);
  EXPECT_EQ(history[3].engineMove, 1);
  EXPECT_EQ(history[1].engineMove, 0);
  EXPECT_STREQ(moveComments[0].text, "whole game");
  ASSERT_NE(moveComments[2].text, nullptr);
  EXPECT_STREQ(moveComments[2].text, "");
  EXPECT_EQ(moveComments[3].text, nullptr);
  EXPECT_EQ(moveComments[3].annotation, kMarkBrilliant);
  EXPECT_EQ(moveComments[2].annotation, kMarkNone) << "the user game's marks are gone";
  EXPECT_STREQ(gameFileName, "/tmp/staged.pgn");
  EXPECT_EQ(CheckPositionConsistency(), 1);
  ASSERT_EQ(ReplayOne(), 1);
  EXPECT_EQ(CurrentFen(),
            "rnbakab1r/9/1c2c1n2/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w");
}

TEST(CommitLoadedGameTest, ShownPlyIsHeldToTheGame) {
  struct Case {
    int32_t shownPly, expected;
  } cases[] = {{-1, 4}, {99, 4}, {0, 0}, {3, 3}, {-5, 0}};
  for (const Case& c : cases) {
    InitEngine();
    LoadedGame g = GameOf({"h2e2", "h9g7", "h0g2", "i9h9"});
    g.shownPly = c.shownPly;
    ASSERT_EQ(CommitLoadedGame(g), 1);
    EXPECT_EQ(gameLength, 4);
    EXPECT_EQ(gamePly, c.expected) << c.shownPly;
    EXPECT_EQ(std::memcmp(displayBoard, board, sizeof board), 0);
  }
}

TEST(CommitLoadedGameTest, EndsBeforeAMoveItCannotReplay) {
  InitEngine();
  LoadedGame g = GameOf({"h2e2", "h9g7", "e2e5", "a9a8"});  // the cannon cannot jump to e5
  EXPECT_EQ(CommitLoadedGame(g), 0);
  EXPECT_EQ(gameLength, 2);
  EXPECT_EQ(gamePly, 2);
  LoadedGame bad;
  bad.customStart = true;  // an empty board: no kings
  EXPECT_EQ(CommitLoadedGame(bad), 0);
  EXPECT_EQ(gameLength, 0);
  EXPECT_EQ(CurrentFen(), testing_support::kStartFen);
}

TEST(CommitLoadedGameTest, TheLongestGameFitsAndOneMoreMoveDoesNot) {
  InitEngine();
  LoadedGame g;
  {
    StagingSession session(g);
    ASSERT_TRUE(session.open());
    const char* cycle[] = {"h0g2", "h9g7", "g2h0", "g7h9"};
    for (int i = 0; i < kMaxGameMoves; ++i)
      ASSERT_EQ(StageMove(g, MoveFromText(cycle[i % 4])), kStageAccepted) << i;
    EXPECT_EQ(StageMove(g, MoveFromText(cycle[kMaxGameMoves % 4])), kStageFull);
  }
  ASSERT_EQ(CommitLoadedGame(g), 1);
  EXPECT_EQ(gameLength, kMaxGameMoves);
}

TEST(CommitLoadedGameTest, OpeningNamesFollowTheReplayUnlessTurnedOff) {
  InitEngine();
  // The central cannon is named opening 1; the game keeps the last name met.
  LoadedGame g = GameOf({"h2e2", "h9g7"});
  ASSERT_EQ(CommitLoadedGame(g), 1);
  EXPECT_EQ(currentOpening, 1);
  g.findOpening = false;
  ASSERT_EQ(CommitLoadedGame(g), 1);
  EXPECT_EQ(currentOpening, 0);
}

TEST(CaptureCurrentGameTest, CaptureThenCommitGivesTheSameGame) {
  InitEngine();
  LoadedGame g;
  {
    StagingSession session(g);
    ASSERT_TRUE(session.open());
    ASSERT_EQ(StageStartFen(g, "3ak4/9/9/9/9/9/9/4C4/4A4/3AK1R2 w"), 1);
    for (const char* m : {"g0g7", "e9f9", "e2d2", "d9e8"})
      ASSERT_EQ(StageMove(g, MoveFromText(m)), kStageAccepted) << m;
  }
  g.moves[0].engineScore = 77;
  SetLoadedComment(g, 4, "last");
  SetLoadedMark(g, 1, kMarkBlunder);
  SetHeaderText(g.header.site, "Site");
  g.fileName = "/tmp/capture.egf";
  g.shownPly = 3;
  ASSERT_EQ(CommitLoadedGame(g), 1);
  const GameSnapshot committed = GameSnapshot::Take();

  LoadedGame c;
  CaptureCurrentGame(c);
  EXPECT_TRUE(c.customStart);
  EXPECT_EQ(std::memcmp(c.startBoard, g.startBoard, sizeof c.startBoard), 0);
  EXPECT_EQ(std::memcmp(c.startPieces, g.startPieces, sizeof c.startPieces), 0);
  EXPECT_EQ(c.moves.size(), 4u);
  EXPECT_EQ(c.moves[0].engineScore, 77);
  EXPECT_EQ(c.shownPly, 3);
  EXPECT_EQ(c.fileName, "/tmp/capture.egf");
  EXPECT_STREQ(c.header.site, "Site");
  ASSERT_EQ(c.comments.size(), 5u);
  EXPECT_EQ(c.comments[4].text, "last");
  EXPECT_EQ(c.comments[1].mark, kMarkBlunder);
  EXPECT_TRUE(GameSnapshot::Take() == committed) << "capturing changes nothing";

  ASSERT_EQ(CommitLoadedGame(c), 1);
  EXPECT_TRUE(GameSnapshot::Take() == committed);

  // A game from the standard position is captured without a set-up start.
  InitEngine();
  ASSERT_EQ(CommitLoadedGame(GameOf({"h2e2"})), 1);
  CaptureCurrentGame(c);
  EXPECT_FALSE(c.customStart);
}

}  // namespace
